#include "recording/Table.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace vaskel {

namespace {

void PutLength(std::string& s, std::size_t n) {
    while (n >= 0x80) {
        s += static_cast<char>(0x80 | (n & 0x7F));
        n >>= 7;
    }
    s += static_cast<char>(n);
}

std::size_t GetLength(std::string_view s, std::size_t& p) {
    std::size_t n = 0;
    int shift = 0;
    for (;;) {
        const auto b = static_cast<unsigned char>(s[p++]);
        n |= static_cast<std::size_t>(b & 0x7F) << shift;
        if (b < 0x80) return n;
        shift += 7;
    }
}

// Position and length of cell col within a packed row.
std::pair<std::size_t, std::size_t> Locate(std::string_view packed, int col) {
    std::size_t p = 0;
    for (int k = 0;; ++k) {
        const std::size_t len = GetLength(packed, p);
        if (k == col) return {p, len};
        p += len;
    }
}

} // namespace

TTable::TTable(std::vector<TZK_InputStyle> styles) : FStyles(std::move(styles)) {
    FAnswers.emplace_back();
    FAnswerIds.emplace("", 0);
    Clear();
}

void TTable::Store(TRow& row, std::string_view packed) {
    if (packed.size() <= row.Room) {
        // fits the row's slot: rewritten in place
        std::memmove(FChunks[row.Chunk].data() + row.Offset, packed.data(), packed.size());
        row.Size = static_cast<uint32_t>(packed.size());
        return;
    }
    if (FChunks.empty() || FChunks.back().size() + packed.size() > FChunks.back().capacity()) {
        FChunks.emplace_back();
        FChunks.back().reserve(std::max(kChunkSize, packed.size()));
        FChunkUsed.push_back(0);
    }
    std::string& chunk = FChunks.back();
    const TRow old = row;
    row.Chunk = static_cast<uint32_t>(FChunks.size() - 1);
    row.Offset = static_cast<uint32_t>(chunk.size());
    row.Size = row.Room = static_cast<uint32_t>(packed.size());
    chunk.append(packed);
    FChunkUsed.back() += packed.size();
    // the old slot goes only now: its chunk may have been the last
    Release(old);
}

void TTable::Release(const TRow& row) {
    if (row.Room == 0) return; // no slot yet
    std::size_t& used = FChunkUsed[row.Chunk];
    used -= row.Room;
    if (used == 0 && row.Chunk + 1 < FChunks.size()) std::string().swap(FChunks[row.Chunk]);
}

void TTable::Clear() {
    FRows.clear();
    FChunks.clear();
    FChunkUsed.clear();
    AppendRow();
    Changed(0);
}

int TTable::AppendRow() {
    FRows.emplace_back();
    Store(FRows.back(), std::string(FStyles.size(), '\0'));
    const int row = static_cast<int>(FRows.size()) - 1;
    Changed(row);
    return row;
}

void TTable::InsertRow(int row) {
    TRow r;
    Store(r, std::string(FStyles.size(), '\0'));
    FRows.insert(FRows.begin() + row, r);
    Changed(row);
}

void TTable::DeleteRow(int row) {
    Release(FRows.at(row));
    Changed(row);
    if (FRows.size() == 1) {
        TRow& r = FRows[0];
        r = TRow{};
        Store(r, std::string(FStyles.size(), '\0'));
        return;
    }
    FRows.erase(FRows.begin() + row);
}

std::string_view TTable::Cell(int col, int row) const {
    const std::string_view packed = Packed(row);
    const auto [p, len] = Locate(packed, col);
    return packed.substr(p, len);
}

void TTable::SetCell(int col, int row, std::string_view text) {
    const std::string_view packed = Packed(row);
    if (const auto [at, len] = Locate(packed, col); packed.substr(at, len) == text)
        return; // the text it holds: no change
    Changed(row);
    std::size_t p = 0;
    std::string out;
    out.reserve(packed.size() + text.size());
    for (int k = 0; k < ColCount(); ++k) {
        const std::size_t len = GetLength(packed, p);
        if (k == col) {
            PutLength(out, text.size());
            out.append(text);
        } else {
            PutLength(out, len);
            out.append(packed.substr(p, len));
        }
        p += len;
    }
    Store(FRows.at(row), out);
}

void TTable::SetRow(int row, const std::vector<std::string>& cells) {
    std::string out;
    std::size_t total = 0;
    for (const auto& c : cells)
        total += c.size() + 2;
    out.reserve(total);
    for (int k = 0; k < ColCount(); ++k) {
        const std::string_view c =
            k < static_cast<int>(cells.size()) ? std::string_view(cells[k]) : std::string_view();
        PutLength(out, c.size());
        out.append(c);
    }
    if (Packed(row) == out) return;
    Changed(row);
    Store(FRows.at(row), out);
}

void TTable::PackCellLength(std::string& packed, std::size_t length) {
    PutLength(packed, length);
}

void TTable::SetPackedRow(int row, std::string_view packed, int cells) {
    Changed(row);
    if (cells >= ColCount()) {
        Store(FRows.at(row), packed);
        return;
    }
    std::string full(packed);
    for (int k = cells; k < ColCount(); ++k)
        full += '\0';
    Store(FRows.at(row), full);
}

int TTable::AppendPackedRow(std::string_view packed, int cells) {
    FRows.emplace_back();
    const int row = static_cast<int>(FRows.size()) - 1;
    SetPackedRow(row, packed, cells);
    return row;
}

bool TTable::RowEmpty(int row) const {
    return Packed(row).size() == static_cast<std::size_t>(ColCount());
}

uint32_t TTable::InternAnswers(const std::string& a) {
    const auto it = FAnswerIds.find(a);
    if (it != FAnswerIds.end()) return it->second;
    const auto id = static_cast<uint32_t>(FAnswers.size());
    FAnswers.push_back(a);
    FAnswerIds.emplace(a, id);
    return id;
}

std::optional<TTelegramData> TTable::Object(int row) const {
    const TRow& r = FRows.at(row);
    if (r.Answers == kNoObject) return std::nullopt;
    TTelegramData d;
    d.EndTime = r.EndTime;
    d.ExpectedAnswers = FAnswers[r.Answers];
    d.PartnerRow = r.PartnerRow;
    d.Address = r.Address;
    return d;
}

void TTable::SetObject(int row, const TTelegramData& d) {
    TRow& r = FRows.at(row);
    r.EndTime = d.EndTime;
    r.Answers = InternAnswers(d.ExpectedAnswers);
    r.PartnerRow = d.PartnerRow;
    r.Address = d.Address;
}

void TTable::ClearObject(int row) {
    TRow& r = FRows.at(row);
    r.EndTime = 0;
    r.Answers = kNoObject;
    r.PartnerRow = -1;
    r.Address = 0;
}

std::string_view TTable::ObjectAnswers(int row) const {
    const TRow& r = FRows.at(row);
    return r.Answers == kNoObject ? std::string_view() : std::string_view(FAnswers[r.Answers]);
}

void TTable::SetPartnerRow(int row, int32_t partner) {
    FRows.at(row).PartnerRow = partner;
}

std::size_t TTable::MemoryBytes() const {
    std::size_t n = FRows.capacity() * sizeof(TRow);
    for (const auto& c : FChunks)
        n += c.capacity() + sizeof(std::string);
    return n;
}

} // namespace vaskel
