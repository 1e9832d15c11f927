#pragma once
// The import of the previous program generation's tables: response lists,
// call lists (also taken from a recorded protocol's master telegrams) and
// recorded protocols, each into the table of a window of the current kind.
// Every record becomes one row, in the table's order, starting with the
// first row; the table is marked modified. The table file is only read.

#include "import/TableReader.h"
#include "recording/Table.h"
#include "telegram/TelegramParser.h"

#include <functional>
#include <string>

namespace vaskel {

enum class TV1Kind { ResponseList, CallList, Protocol };

// Windows-1252, lines separated by CR LF.
extern const char* const kV1ImportFailed;       // the first line of every import's error box
extern const char* const kV1NoResponseList;     // the response-list import's second line
extern const char* const kV1NoCallList;         // the call-list import's second line
extern const char* const kV1NoProtocol;         // the protocol import's second line
extern const char* const kV1ImportCancelled;    // the warning after a cancelled protocol import
extern const char* const kV1ImportWait;         // the progress dialog's caption
extern const char* const kV1ImportProgressText; // its text

// The error box's text of an import: the first line, CR LF, its second.
std::string V1ImportErrorText(TV1Kind kind);

// Response-list table ("CHECKED", "AUFRUF", "ANTWORT", "REAKTIONSZ") into
// a response-list table (MakeResponseListTable). Throws ETableError on a
// missing field or a value that cannot be read; table then holds what was
// read before.
void ImportResponseList(ITableReader& source, TTable& table);

// What a call-list import was taken from.
enum class TV1CallSource { CallList, Protocol };

// Call-list table ("Checked", "Aufruf", "Beschreibu", "Interval") or a
// protocol table (its "M" rows' telegrams, without their carriage return
// and check byte, become active calls every 0:10; every other record leaves
// a row at the column defaults) into a call-list
// table (MakeCallListTable). The form is told by the fields of the first
// record. Throws ETableError when it is neither.
TV1CallSource ImportCallList(ITableReader& source, TTable& table);

// Rows at the column defaults (a protocol's non-master records) go, as the
// editor drops untouched rows; one row always stays.
void RemoveUntouchedRows(TTable& table);

enum class TV1ProtocolForm { Plain, Analysed };

struct TV1ProtocolImport {
    TV1ProtocolForm Form = TV1ProtocolForm::Plain;
    int Records = 0; // records read into rows
    bool Cancelled = false;
};

// Protocol table into a protocol table (MakeProtocolTable). Analysed
// tables ("Telegramm(Hex)", "DSNr", "Beschreibung") are taken as stored;
// plain ones get the hex notation, record type and description from the
// catalogue. beforeRecord(k) is asked before record k (0-based) is read;
// false ends the import there (Cancelled). The re-analysis is left to the
// caller (Reanalyse). Throws ETableError when the table is no protocol or a
// value cannot be read.
TV1ProtocolImport ImportProtocol(ITableReader& source, TTable& table,
                                 const TIBISTelegramParser& parser, TBusType bus,
                                 const std::function<bool(int)>& beforeRecord = nullptr);

// Every byte as two upper-case hex digits, separated by single blanks.
std::string HexBytes(std::string_view bytes);

} // namespace vaskel
