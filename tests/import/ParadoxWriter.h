#pragma once
// Paradox tables for the tests, written with pxlib's own writer: the
// layouts of the previous program generation's response lists, call lists
// and protocols, and any other set of fields.

// pxlib's header declares C functions without saying so
extern "C" {
#include <paradox.h>
}

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace vaskel::test {

struct TPxColumn {
    std::string Name;
    int Type = pxfAlpha; // pxfAlpha, pxfShort, pxfLong, pxfNumber, pxfLogical
    int Length = 0;      // alpha only: its room in bytes
};

// One value; monostate is an empty field. Text is written as its bytes.
using TPxValue = std::variant<std::monostate, std::string, int32_t, bool, double>;
using TPxRecord = std::vector<TPxValue>;

// Writes the table; codePage goes into its header (the bytes of the text
// are written as given).
void WriteParadoxTable(const std::filesystem::path& file, const std::vector<TPxColumn>& columns,
                       const std::vector<TPxRecord>& records, int codePage = 1252);

// The layouts, fields as the previous generation named them.
std::vector<TPxColumn> ResponseListColumns();
std::vector<TPxColumn> CallListColumns();
// Plain protocol tables; analysed ones add "Telegramm(Hex)", "DSNr" and
// "Beschreibung".
std::vector<TPxColumn> ProtocolColumns(bool analysed);

TPxRecord ResponseRecord(TPxValue checked, std::string call, std::string answer, TPxValue reaction);
TPxRecord CallRecord(TPxValue checked, std::string call, std::string description,
                     std::string interval);
TPxRecord ProtocolRecord(std::string kind, int32_t number, int32_t start, int32_t reaction,
                         std::string errors, std::string telegram);
TPxRecord AnalysedRecord(std::string kind, int32_t number, int32_t start, int32_t reaction,
                         std::string errors, std::string telegram, std::string hex,
                         std::string recordNo, std::string description);

// One table of each kind the imports meet, in folder (made when missing):
// ANTWORT.DB, AUFRUF.DB, PROTOKOLL.DB (plain), ANALYSE.DB (analysed),
// FALSCH.DB (a call list without "ANTWORT"/"Telegramm"), KURZ.DB (a
// response list cut short). Umlauts, IBIS characters, empty fields and
// inactive rows included.
void WriteSampleTables(const std::filesystem::path& folder);

} // namespace vaskel::test
