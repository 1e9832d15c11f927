#include "analysis/ProtocolStatistics.h"

#include "recording/Recorder.h"
#include "telegram/TextConventions.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace vaskel {

namespace {

constexpr int32_t kMaxValidReactionMs = 60000;

// Floor division for times that may lie before midnight.
int64_t FloorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

// A cell's whole number: plain digits the quick way (the rows' own times
// and reactions), anything else as the text conventions read numbers.
bool CellNumber(std::string_view cell, int64_t& value) {
    if (!cell.empty() && cell.size() <= 18) {
        int64_t v = 0;
        bool digits = true;
        for (const char c : cell) {
            if (c < '0' || c > '9') {
                digits = false;
                break;
            }
            v = v * 10 + (c - '0');
        }
        if (digits) {
            value = v;
            return true;
        }
    }
    return TryStrToInt64(cell, value);
}

// The master row a slave row's partner number names: the row at the index
// the number gives, or (a protocol cut or renumbered by hand) the nearest
// earlier row with that "Nr.".
int MasterRowOf(const TTable& table, int slaveRow, int32_t partnerNr) {
    if (partnerNr < 1) return -1;
    const int at = partnerNr - 1;
    if (at < table.RowCount() && StrToIntDef(table.Cell(pcNr, at), -1) == partnerNr) return at;
    for (int r = slaveRow - 1, seen = 0; r >= 0 && seen < 1000; --r, ++seen)
        if (StrToIntDef(table.Cell(pcNr, r), -1) == partnerNr) return r;
    return -1;
}

} // namespace

// ---- reaction times --------------------------------------------------------

void TReactionTimes::Add(int32_t ms, int row) {
    ++FValues[ms];
    ++FCount;
    FSum += ms;
    if (row >= 0) {
        const auto [at, added] = FFirstRows.emplace(ms, row);
        if (!added && row < at->second) at->second = row;
    }
}

int TReactionTimes::FirstRow(int32_t fromMs, int32_t toMs) const {
    int first = -1;
    for (auto it = FFirstRows.lower_bound(fromMs); it != FFirstRows.end() && it->first < toMs; ++it)
        if (first < 0 || it->second < first) first = it->second;
    return first;
}

int32_t TReactionTimes::Min() const { return FValues.empty() ? 0 : FValues.begin()->first; }
int32_t TReactionTimes::Max() const { return FValues.empty() ? 0 : FValues.rbegin()->first; }

double TReactionTimes::Mean() const {
    return FCount == 0 ? 0.0 : static_cast<double>(FSum) / static_cast<double>(FCount);
}

int32_t TReactionTimes::Percentile(double p) const {
    if (FCount == 0) return 0;
    p = std::clamp(p, 0.0, 100.0);
    // nearest rank: ceil(p/100 * n), at least 1
    auto rank = static_cast<uint64_t>(std::ceil(p / 100.0 * static_cast<double>(FCount) - 1e-9));
    rank = std::clamp<uint64_t>(rank, 1, FCount);
    uint64_t seen = 0;
    for (const auto& [value, count] : FValues) {
        seen += count;
        if (seen >= rank) return value;
    }
    return FValues.rbegin()->first;
}

std::vector<TReactionTimes::TBucket> TReactionTimes::Histogram(int maxBuckets) const {
    std::vector<TBucket> out;
    if (FValues.empty()) return out;
    maxBuckets = std::max(maxBuckets, 1);
    const int64_t lo = Min();
    const int64_t hi = Max();
    int64_t width = 1;
    for (int64_t decade = 1;; decade *= 10) {
        bool found = false;
        for (const int64_t f : {1, 2, 5}) {
            width = f * decade;
            const int64_t first = FloorDiv(lo, width) * width;
            if ((hi - first) / width + 1 <= maxBuckets) {
                found = true;
                break;
            }
        }
        if (found) break;
    }
    const int64_t first = FloorDiv(lo, width) * width;
    const auto n = static_cast<std::size_t>((hi - first) / width + 1);
    out.resize(n);
    for (std::size_t k = 0; k < n; ++k) {
        out[k].FromMs = static_cast<int32_t>(first + static_cast<int64_t>(k) * width);
        out[k].ToMs = static_cast<int32_t>(first + static_cast<int64_t>(k + 1) * width);
    }
    for (const auto& [value, count] : FValues)
        out[static_cast<std::size_t>((value - first) / width)].Count += count;
    for (const auto& [value, row] : FFirstRows) {
        int& bucketRow = out[static_cast<std::size_t>((value - first) / width)].FirstRow;
        if (bucketRow < 0 || row < bucketRow) bucketRow = row;
    }
    return out;
}

// ---- the protocol ----------------------------------------------------------

TProtocolStatistics& TProtocolStatistics::operator=(const TProtocolStatistics& other) {
    if (this == &other) return *this;
    FRows = other.FRows;
    FMasterRows = other.FMasterRows;
    FSlaveRows = other.FSlaveRows;
    FUnpaired = other.FUnpaired;
    FFirstMs = other.FFirstMs;
    FLastMs = other.FLastMs;
    FRecordTypes = other.FRecordTypes;
    FAddresses = other.FAddresses;
    FSeconds = other.FSeconds;
    FTypeIndex.clear();
    for (auto& [no, t] : FRecordTypes) FTypeIndex.emplace(no, &t);
    FLastSecondFigures = nullptr;
    return *this;
}

void TProtocolStatistics::Clear() { *this = TProtocolStatistics(); }

void TProtocolStatistics::Compute(const TTable& table) {
    Clear();
    AddRows(table, 0, table.RowCount());
}

void TProtocolStatistics::AddRows(const TTable& table, int from, int to) {
    to = std::min(to, table.RowCount());
    for (int r = std::max(from, 0); r < to; ++r) AddRow(table, r);
}

void TProtocolStatistics::AddRow(const TTable& table, int row) {
    std::string_view kind, start, reaction, errors, telegram, recordNo, status;
    table.ForEachCell(row, [&](int col, std::string_view cell) {
        switch (col) {
        case pcKind: kind = cell; break;
        case pcStart: start = cell; break;
        case pcReaction: reaction = cell; break;
        case pcErrors: errors = cell; break;
        case pcTelegram: telegram = cell; break;
        case pcRecordNo: recordNo = cell; break;
        case pcAnswer: status = cell; break;
        default: break;
        }
    });
    if (kind.empty()) return;
    ++FRows;
    const bool master = IsMasterKind(kind);
    const bool slave = IsSlaveKind(kind);
    if (master) ++FMasterRows;
    if (slave) ++FSlaveRows;

    // record type and its error letters
    auto index = FTypeIndex.find(recordNo);
    if (index == FTypeIndex.end()) {
        auto type = FRecordTypes.emplace(std::string(recordNo), TRecordTypeFigures{}).first;
        index = FTypeIndex.emplace(type->first, &type->second).first;
    }
    TRecordTypeFigures& t = *index->second;
    ++t.Count;
    if (t.FirstRow < 0) t.FirstRow = row;
    bool anyError = false;
    for (std::size_t k = 0; k < kStatisticsErrorLetters.size(); ++k) {
        if (errors.find(kStatisticsErrorLetters[k]) != std::string_view::npos) {
            ++t.Errors[k];
            anyError = true;
        }
    }
    if (anyError) {
        ++t.RowsWithErrors;
        if (t.FirstErrorRow < 0) t.FirstErrorRow = row;
    }

    // requests and answers per address
    if (master && !table.ObjectAnswers(row).empty()) {
        TAddressFigures& a = FAddresses[table.ObjectAddress(row)];
        ++a.Requests;
        if (a.FirstRow < 0) a.FirstRow = row;
    } else if (slave) {
        const int masterRow =
            (status == "3" || status == "4") ? MasterRowOf(table, row, table.ObjectPartnerRow(row)) : -1;
        if (masterRow < 0 || !IsMasterKind(table.Cell(pcKind, masterRow))) {
            ++FUnpaired;
        } else {
            TAddressFigures& a = FAddresses[table.ObjectAddress(masterRow)];
            if (a.FirstRow < 0) a.FirstRow = masterRow;
            ++a.Answers;
            int64_t ms = 0;
            if (CellNumber(reaction, ms) && ms >= 0 && ms <= kMaxValidReactionMs)
                a.Reaction.Add(static_cast<int32_t>(ms), row);
            else
                ++a.Invalid;
        }
    }

    // the second it started in
    int64_t startMs = 0;
    if (CellNumber(start, startMs)) {
        if (FFirstMs < 0 || startMs < FFirstMs) FFirstMs = startMs;
        if (startMs > FLastMs) FLastMs = startMs;
        const int64_t second = FloorDiv(startMs, 1000);
        if (!FLastSecondFigures || second != FLastSecond) {
            FLastSecond = second;
            FLastSecondFigures = &FSeconds[second];
        }
        TSecondFigures& s = *FLastSecondFigures;
        ++s.Telegrams;
        s.Chars += telegram.size();
        if (anyError) ++s.Errors;
        if (s.FirstRow < 0) s.FirstRow = row;
    }
}

int TProtocolStatistics::BucketSeconds(int maxBuckets) const {
    static constexpr int kWidths[] = {1,    2,    5,    10,   15,    30,    60,    120,   300,
                                      600,  900,  1800, 3600, 7200,  10800, 21600, 43200, 86400};
    if (FSeconds.empty()) return 1;
    maxBuckets = std::max(maxBuckets, 1);
    const int64_t first = FSeconds.begin()->first;
    const int64_t last = FSeconds.rbegin()->first;
    for (const int w : kWidths) {
        const int64_t n = FloorDiv(last, w) - FloorDiv(first, w) + 1;
        if (n <= maxBuckets) return w;
    }
    return kWidths[std::size(kWidths) - 1];
}

std::vector<TTimelineBucket> TProtocolStatistics::Timeline(int bucketSeconds) const {
    std::vector<TTimelineBucket> out;
    if (FSeconds.empty()) return out;
    int64_t w = bucketSeconds > 0 ? bucketSeconds : BucketSeconds();
    // a timeline of more than a million buckets is no timeline (start times
    // far apart in a damaged file): wider buckets then
    constexpr int64_t kMaxBuckets = 1000000;
    const int64_t span = FSeconds.rbegin()->first - FSeconds.begin()->first;
    if (span / w + 2 > kMaxBuckets) w = span / (kMaxBuckets - 2) + 1;
    const int64_t firstBucket = FloorDiv(FSeconds.begin()->first, w);
    const int64_t lastBucket = FloorDiv(FSeconds.rbegin()->first, w);
    out.resize(static_cast<std::size_t>(lastBucket - firstBucket + 1));
    for (std::size_t k = 0; k < out.size(); ++k)
        out[k].StartMs = (firstBucket + static_cast<int64_t>(k)) * w * 1000;
    for (const auto& [second, s] : FSeconds) {
        TTimelineBucket& b = out[static_cast<std::size_t>(FloorDiv(second, w) - firstBucket)];
        b.Telegrams += s.Telegrams;
        b.Chars += s.Chars;
        b.Errors += s.Errors;
        if (b.FirstRow < 0 || (s.FirstRow >= 0 && s.FirstRow < b.FirstRow)) b.FirstRow = s.FirstRow;
    }
    for (TTimelineBucket& b : out) {
        b.CharsPerSecond = static_cast<double>(b.Chars) / static_cast<double>(w);
        b.Load = b.CharsPerSecond / kBusCharsPerSecond;
    }
    return out;
}

std::string StatisticsTimeText(int64_t ms) {
    const int64_t s = FloorDiv(ms, 1000);
    char buf[40];
    if (s < 0) {
        const int64_t a = -s;
        std::snprintf(buf, sizeof buf, "-%02lld:%02lld:%02lld", static_cast<long long>(a / 3600),
                      static_cast<long long>(a / 60 % 60), static_cast<long long>(a % 60));
    } else {
        std::snprintf(buf, sizeof buf, "%02lld:%02lld:%02lld", static_cast<long long>(s / 3600),
                      static_cast<long long>(s / 60 % 60), static_cast<long long>(s % 60));
    }
    return buf;
}

} // namespace vaskel
