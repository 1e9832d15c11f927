#pragma once
// Opened protocols: loading (with the older file forms) and re-analysis.

#include "recording/Recorder.h"
#include "recording/Table.h"
#include "telegram/TelegramParser.h"

#include <functional>
#include <optional>
#include <string>

namespace vaskel {

extern const char* const kInvalidProtocolFormat; // "Ungültiges Protokollformat"
extern const char* const kProtocolLoadError;     // the two lines shown when loading fails
extern const char* const kDoubtfulProtocolForm;  // the form cannot be told for certain

// The forms of protocol files. Current: every field in double quotes, ";"
// between them. Comma: every field in apostrophes, "," after each. The
// unquoted forms have no quotes at all and ";" or (a line ending in ",")
// "," between the fields.
enum class TProtocolForm { Current, Comma, Unquoted, UnquotedComma };

// The form of a protocol file, from its first line that is not empty: the
// shape of the whole line (quoting and separators of all its fields, read
// with the quotes, so a telegram's own CR, LF or comma inside its field does
// not count) and a kind in its first field. Throws EFileError with
// kInvalidProtocolFormat when no form fits (too few fields, no kind, an
// empty file) and with kDoubtfulProtocolForm when quotes are there but not
// around whole fields as a form has them; such a file is never converted.
TProtocolForm ProtocolFormOfFile(const std::string& fileName);
// The same from the first bytes of a file; complete: head is the whole
// file. nullopt: more bytes are needed to decide.
std::optional<TProtocolForm> ProtocolFormOf(std::string_view head, bool complete);

struct TProtocolLoad {
    bool CommaForm = false;
    bool Unquoted = false;
    bool Reanalysed = false;
    bool WrittenBack = false; // comma form: rewritten in the current form
    // Not read to its end: a quote that is never closed (the file ends
    // inside quotes, or a row does not end as the form's rows do).
    bool Incomplete = false;
    int RowsRead = 0;
    int UnreadFromLine = 0; // with Incomplete: the file's line (1 = first) where the row
                            // begins that cannot be read; nothing from there on is loaded
};

// Loads a .PRO.CSV file in any accepted form into table (a protocol table),
// reading it once. An unquoted file with ";" is converted on disk first
// (the old one stays as the backup); the older forms are re-analysed, and a
// comma-form file (also an unquoted one with ",") is written back in the
// current form (the old one stays as the backup) unless it could not be
// read to its end. A file whose form is in doubt is refused untouched.
// Throws EFileError (kInvalidProtocolFormat also when the last non-empty
// line lacks the separator). progress gets the rows read, then the rows
// analysed; an exception it throws ends the load before anything more is
// written.
TProtocolLoad LoadProtocolFile(TTable& table, const std::string& fileName,
                               const TIBISTelegramParser& parser, TBusType bus,
                               const std::function<void(int)>& progress = nullptr);

// Reads a protocol's rows as they are stored, in any accepted form, and
// writes nothing beside it: the form check, the last-line check and the row
// ends of LoadProtocolFile (Incomplete and UnreadFromLine as there); an
// unquoted file is read through a quoted copy in the temporary folder. No
// re-analysis. Throws EFileError as LoadProtocolFile does.
TProtocolLoad ReadProtocolRows(TTable& table, const std::string& fileName);

// Gives the rows of a protocol loaded as it was stored the row objects the
// recording had attached (expected answers, address, the partner rows of the
// answers their status cells name), from the catalogue, without changing a
// cell. A row that already has an object keeps it.
void RestoreRowObjects(TTable& table, const TIBISTelegramParser& parser, TBusType bus);

// Classifies every row again, renumbers, and pairs answers with masters.
void Reanalyse(TTable& table, const TIBISTelegramParser& parser, TBusType bus,
               const std::function<void(int)>& progress = nullptr);

} // namespace vaskel
