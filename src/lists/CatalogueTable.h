#pragma once
// The record-type catalogue as the editor's table: one row per record type,
// the columns in file order (DS-Nr., pattern, example, master, answers,
// train bus, filter, then one description per interface language), the
// rules the editor keeps (master and answers, sorting) and the file it
// writes (IBIS.CSV, the previous one kept as IBIS.BAK).

#include "recording/Table.h"
#include "telegram/Catalogue.h"

#include <string>
#include <string_view>
#include <vector>

namespace vaskel {

// Column numbers of the table.
namespace CatalogueColumn {
inline constexpr int RecordNo = 0;
inline constexpr int Pattern = 1;
inline constexpr int Example = 2;
inline constexpr int Master = 3;
inline constexpr int Answers = 4;
inline constexpr int TrainBus = 5;
inline constexpr int Filter = 6;
inline constexpr int FirstDescription = 7;
} // namespace CatalogueColumn

// An empty table for languages description columns.
TTable MakeCatalogueTable(int languages);

// Fills the table from the catalogue in force, sorted ascending by the
// pattern as written. The first description is the record's own; the
// further ones are read from the catalogue file's text (the line of the
// same record type), since the loader keeps only the first.
void FillCatalogueTable(TTable& table, const TProfileArray& records, std::string_view fileContent);

// The rows as catalogue rows (fields in file order), for the save check.
std::vector<TCatalogueRow> CatalogueTableRows(const TTable& table);

// Master and answers: a row that is no master telegram expects no answer.
// Returns true when a cell changed.
bool EmptyAnswersOfSlaveRows(TTable& table);
// The rule while editing: a master cell set to anything but "-1" empties
// the answers; non-empty answers make the row a master telegram. Returns
// the column changed in consequence (-1: none).
int KeepMasterAndAnswers(TTable& table, int row, int col);

// Removes the rows whose text cells are all empty (a row added and never
// filled in), keeping at least one row. Returns true when one went.
bool RemoveBlankRows(TTable& table);

// Sorts the rows ascending by a column (byte-wise, rows with equal cells
// keep their order).
void SortCatalogueTable(TTable& table, int col);

// The file's text: the comment lines given first, then one line per row
// with every column, text fields quoted (a quote doubled), booleans as
// "-1" or "0", lines ended by CR LF. Control characters become blanks.
std::string CatalogueFileText(const TTable& table, const std::vector<std::string>& comments);

// Writes the table to fileName: the previous file is first copied to the
// same name with ".BAK", the new text goes to a temporary file that is then
// renamed over fileName. The previous file's comment lines are kept.
// Throws EFileError (nothing changed when the copy fails).
void SaveCatalogueTable(const TTable& table, const std::string& fileName);

} // namespace vaskel
