#pragma once
// The row store behind every protocol and list table: typed columns, rows of
// byte-string cells packed into one string each, and for protocol rows an
// optional row object. Compact enough for protocols of millions of rows.

#include "telegram/TelegramParser.h"

#include <climits>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vaskel {

enum class TZK_InputStyle {
    csString,
    csBoolean,
    csInteger,
    csUnsignedInt,
    csMinSec,
    csLatitude,
    csLongitude,
    csDirection,
    csShortTime,
    csSerialnumber,
};

// A table of data rows (row 0 is the first data row; the title row of the
// windows is not stored). A table always holds at least one data row.
class TTable {
public:
    explicit TTable(std::vector<TZK_InputStyle> styles);

    int ColCount() const { return static_cast<int>(FStyles.size()); }
    TZK_InputStyle Style(int col) const { return FStyles[col]; }
    int RowCount() const { return static_cast<int>(FRows.size()); }

    std::string_view Cell(int col, int row) const;
    void SetCell(int col, int row, std::string_view text);
    void SetRow(int row, const std::vector<std::string>& cells);
    bool RowEmpty(int row) const;

    // Appends an empty row and returns its index.
    int AppendRow();
    // Inserts an empty row before row (row == RowCount() appends).
    void InsertRow(int row);
    // Removes a row; the last remaining row is emptied instead.
    void DeleteRow(int row);
    // Back to one empty data row; all row objects are freed.
    void Clear();
    void Reserve(std::size_t rows) { FRows.reserve(rows); }

    // Rows built elsewhere in the packed form (the file reader): cells in
    // order, each as its length (varint) and its bytes; missing trailing
    // cells are empty.
    static void PackCellLength(std::string& packed, std::size_t length);
    void SetPackedRow(int row, std::string_view packed, int cells);
    // The same for a new row at the end (stored once).
    int AppendPackedRow(std::string_view packed, int cells);
    // Visits the cells of a row in order.
    template <typename F> void ForEachCell(int row, F&& f) const {
        const std::string_view packed = Packed(row);
        std::size_t p = 0;
        for (int k = 0; k < ColCount(); ++k) {
            std::size_t n = 0;
            int shift = 0;
            for (;;) {
                const auto b = static_cast<unsigned char>(packed[p++]);
                n |= static_cast<std::size_t>(b & 0x7F) << shift;
                if (b < 0x80) break;
                shift += 7;
            }
            f(k, packed.substr(p, n));
            p += n;
        }
    }

    std::optional<TTelegramData> Object(int row) const;
    void SetObject(int row, const TTelegramData& data);
    void ClearObject(int row);
    bool HasObject(int row) const { return FRows[row].Answers != kNoObject; }
    // The expected answers of a row's object (empty without one), without
    // copying the object.
    std::string_view ObjectAnswers(int row) const;
    void SetPartnerRow(int row, int32_t partner);
    // The object's partner row and address without copying it (-1 and 0
    // without an object).
    int32_t ObjectPartnerRow(int row) const {
        return HasObject(row) ? FRows[row].PartnerRow : -1;
    }
    int32_t ObjectAddress(int row) const { return HasObject(row) ? FRows[row].Address : 0; }

    bool Modified = false;

    // The lowest row whose cells may differ from what they held at the last
    // ForgetChanges: a cell written with another text, a row set, appended,
    // inserted or removed (rows after an inserted or removed one move, so
    // they count from it). kNoChange when none did. Row objects do not count:
    // no file holds them. A writer that keeps a file in step with the table
    // rewrites it from here on.
    static constexpr int kNoChange = INT_MAX;
    int ChangedFrom() const { return FChangedFrom; }
    void ForgetChanges() { FChangedFrom = kNoChange; }

    // Memory held by the rows (for the benchmark's bytes-per-row figure).
    std::size_t MemoryBytes() const;

private:
    static constexpr uint32_t kNoObject = 0xFFFFFFFF;
    // The packed cells of all rows live in large chunks; a row refers to
    // its bytes by chunk, offset and the room its slot has. A changed row is
    // rewritten in its slot when it fits and stored anew at the end when it
    // does not; a chunk none of whose slots is in use any more is freed. So a
    // row that changes back and forth within its room (a re-analysis, again
    // and again) never adds memory.
    struct TRow {
        uint32_t Chunk = 0;
        uint32_t Offset = 0;
        uint32_t Size = 0;
        uint32_t Room = 0; // the slot's size: Size <= Room
        int32_t EndTime = 0;
        int32_t PartnerRow = -1;
        int32_t Address = 0;
        uint32_t Answers = kNoObject; // index into FAnswers, kNoObject: no row object
    };
    static constexpr std::size_t kChunkSize = 1 << 20;

    std::string_view Packed(int row) const {
        const TRow& r = FRows.at(row);
        return std::string_view(FChunks[r.Chunk].data() + r.Offset, r.Size);
    }
    // Puts a row's packed cells into its slot, or into a new one at the end.
    void Store(TRow& row, std::string_view packed);
    // The row gives up its slot (the row goes, or moves).
    void Release(const TRow& row);
    uint32_t InternAnswers(const std::string& a);
    void Changed(int row) {
        if (row < FChangedFrom) FChangedFrom = row;
    }

    std::vector<std::string> FChunks;
    std::vector<std::size_t> FChunkUsed; // bytes of the slots in use, per chunk
    std::vector<TZK_InputStyle> FStyles;
    std::vector<TRow> FRows;
    std::vector<std::string> FAnswers;
    std::unordered_map<std::string, uint32_t> FAnswerIds;
    int FChangedFrom = 0;
};

} // namespace vaskel
