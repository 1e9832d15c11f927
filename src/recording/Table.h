#pragma once
// The row store behind every protocol and list table: typed columns, rows of
// byte-string cells packed into one string each, and for protocol rows an
// optional row object. Compact enough for protocols of millions of rows.

#include "telegram/TelegramParser.h"

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
    // Back to one empty data row; all row objects are freed.
    void Clear();
    void Reserve(std::size_t rows) { FRows.reserve(rows); }

    std::optional<TTelegramData> Object(int row) const;
    void SetObject(int row, const TTelegramData& data);
    void ClearObject(int row);
    bool HasObject(int row) const { return FRows[row].HasObject; }
    void SetPartnerRow(int row, int32_t partner);

    bool Modified = false;

    // Memory held by the rows (for the benchmark's bytes-per-row figure).
    std::size_t MemoryBytes() const;

private:
    struct TRow {
        std::string Packed; // per cell: length (varint) then the bytes
        int32_t EndTime = 0;
        int32_t PartnerRow = -1;
        int32_t Address = 0;
        uint32_t Answers = 0; // index into FAnswers
        bool HasObject = false;
    };

    std::string EmptyPacked() const;
    uint32_t InternAnswers(const std::string& a);

    std::vector<TZK_InputStyle> FStyles;
    std::vector<TRow> FRows;
    std::vector<std::string> FAnswers;
    std::unordered_map<std::string, uint32_t> FAnswerIds;
};

} // namespace vaskel
