#pragma once
// Reading the tables of the previous program generation record by record:
// the few operations the imports need (open, first, next, end, a field by
// name, its value as text, boolean or integer), behind an interface of our
// own so that the imports do not depend on the table engine.

#include "telegram/Errors.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace vaskel {

// A table that cannot be opened, a missing field, a value that cannot be
// read as asked. The message says what (Windows-1252).
class ETableError : public EFileError {
public:
    using EFileError::EFileError;
};

class ITableReader {
public:
    virtual ~ITableReader() = default;

    // Records in stored order.
    virtual int RecordCount() const = 0;
    virtual void First() = 0;
    virtual void Next() = 0;
    virtual bool Eof() const = 0;

    // The field of that name (letter case ignored); throws ETableError when
    // the table has none.
    virtual int FieldByName(std::string_view name) const = 0;
    virtual bool HasField(std::string_view name) const = 0;

    // The current record's value of a field. Text is Windows-1252; an empty
    // field reads "", false or 0. A value that cannot be read as asked (a
    // number in a text that is none, a date as boolean ...) throws
    // ETableError; so does reading at the end.
    virtual std::string AsString(int field) const = 0;
    virtual bool AsBoolean(int field) const = 0;
    virtual int32_t AsInteger(int field) const = 0;
};

// Opens the Paradox table fileName in folder (a ".DB" file); throws
// ETableError when the file cannot be read or is no sound table (see
// ParadoxTable.h).
std::unique_ptr<ITableReader> OpenTable(const std::string& folder, const std::string& fileName);

} // namespace vaskel
