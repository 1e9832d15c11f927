#pragma once
// Paradox tables (".DB") read through pxlib.
//
// pxlib trusts the file: it reads the header and the block list without
// checking them against the file's size (a short read leaves its buffers as
// they were), counts the records of an empty block as tens of thousands, and
// copies the table name without looking for its end. So every file is
// checked first (CheckParadoxTable) and only a sound one is handed to
// pxlib. pxlib reads the header and the field descriptions; as it looks
// each record up from the first block on (a large table would take time
// growing with the square of its size), the records are taken from the
// checked block list, the first one compared with pxlib's.

#include "import/TableReader.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vaskel {

// What is wrong with the bytes of a table file, or "" when pxlib may read
// it: a header of a known kind and size, field descriptions that add up to
// the record size, a table name and field names that end inside the header,
// and a block list that starts and stays inside the file, never meets a
// block twice, ends with its last block, holds whole records only and as
// many as the header says.
// Encrypted tables are refused.
std::string CheckParadoxTable(std::string_view bytes);

struct TParadoxField {
    std::string Name;
    int Type = 0;   // pxlib's pxf... type
    int Offset = 0; // in the record
    int Length = 0;
};

class TParadoxTable final : public ITableReader {
public:
    // The table in bytes (the whole file); throws ETableError with the
    // reason when it cannot be read.
    explicit TParadoxTable(std::string bytes);
    ~TParadoxTable() override;
    TParadoxTable(const TParadoxTable&) = delete;
    TParadoxTable& operator=(const TParadoxTable&) = delete;

    int RecordCount() const override { return static_cast<int>(FRecords.size()); }
    void First() override { FCurrent = 0; }
    void Next() override {
        if (FCurrent < RecordCount()) ++FCurrent;
    }
    bool Eof() const override { return FCurrent >= RecordCount(); }

    int FieldByName(std::string_view name) const override;
    bool HasField(std::string_view name) const override;
    std::string AsString(int field) const override;
    bool AsBoolean(int field) const override;
    int32_t AsInteger(int field) const override;

    const std::vector<TParadoxField>& Fields() const { return FFields; }
    // The table's code page as its header gives it (0: none given).
    int CodePage() const { return FCodePage; }

private:
    int Find(std::string_view name) const;
    const TParadoxField& Field(int field) const;
    // The field's bytes in the current record.
    std::string_view Bytes(int field) const;

    std::string FBytes; // the whole file
    std::vector<TParadoxField> FFields;
    std::vector<std::size_t> FRecords; // where each record starts in FBytes
    int FCurrent = 0;
    int FCodePage = 0;
    char FRecode[256] = {}; // the code page's bytes as Windows-1252
};

// The whole file of fileName in folder.
std::string ReadTableFile(const std::string& folder, const std::string& fileName);

} // namespace vaskel
