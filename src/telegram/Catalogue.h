#pragma once
// The record-type catalogue (IBIS.CSV) and the initial-letter groups
// (IBIS_Frame.CSV).

#include "telegram/Errors.h"

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vaskel {

enum class TBusType { bsVehicleBus = 0, bsTrainBus = 1 };

// One record type ("Datensatz") of the catalogue.
struct TWagenbusProfileRecord {
    std::string RecordNo;    // "DS-Nr.", compared as text
    std::string Pattern;     // compact pattern: blanks and commas removed
    std::string PatternText; // pattern as written, trimmed
    std::string Description;
    std::string Example;
    std::string Answers; // expected answer numbers, blanks removed
    std::string Prefix;  // leading literal characters of Pattern
    bool TrainBus = false;
    bool Master = false;
    bool Filter = false;
};

// Sorted ascending by Pattern (byte order); among equal patterns the record
// read later from the file comes first.
using TProfileArray = std::vector<TWagenbusProfileRecord>;

// Number of first-character index entries: one per byte 0x20..0x7E.
inline constexpr int kIndexSize = 95;
using TFirstCharIndex = std::array<int, kIndexSize>;

// The leading characters of a compact pattern up to the first of
// $ ( ) * 0-9 @ [ ].
std::string PatternPrefix(std::string_view pattern);

// The fields of a catalogue line, in file order: DS-Nr., pattern, example,
// master, answers, train bus, filter, then one description per interface
// language. The loader reads the first eight.
inline constexpr std::size_t kCatalogueFields = 8;
inline constexpr int kCatalogueFixedColumns = 7; // the fields before the descriptions
// The most fields a catalogue line may have: the fixed columns and far more
// description languages than the program will ever have.
inline constexpr std::size_t kCatalogueMaxFields = 64;

// Whether a flag field (master, train bus, filter) holds what a catalogue
// writes there: "-1", "1", "0", or nothing (which reads true). Anything else
// is no flag: the loader refuses the line.
bool IsCatalogueFlag(std::string_view field);
// The positions (0-based) of the flag fields.
inline constexpr std::size_t kCatalogueFlagFields[] = {3, 5, 6};

// One data line of a catalogue file with all its fields, trimmed.
struct TCatalogueRow {
    std::vector<std::string> Fields;
    int LineNo = 0; // 1-based, counting every line; 0: not read from a file
};

// The data lines of catalogue text (empty and comment lines left out), as
// the loader splits them, whatever their number of fields.
std::vector<TCatalogueRow> ReadCatalogueRows(std::string_view content);
// The comment lines (those holding "//"), trimmed, in file order.
std::vector<std::string> CatalogueCommentLines(std::string_view content);
// The record type of a line's fields (missing fields read as empty).
TWagenbusProfileRecord RecordFromFields(const std::vector<std::string>& fields);
// Records in file order sorted as the loader sorts them.
TProfileArray SortRecords(std::vector<TWagenbusProfileRecord> inFileOrder);
// The bytes of a catalogue file; throws EFileError as the loader does.
std::string ReadCatalogueFile(const std::string& fileName);

// Raised when a catalogue holds no record type at all.
class ENoRecordTypes : public EFileError {
public:
    using EFileError::EFileError;
};

// Parses one catalogue file into a new sorted array. Throws EFileError with
// the catalogue's error texts: a line with fewer than eight fields, with more
// than kCatalogueMaxFields or with a flag that is no flag (naming the line),
// a line longer than MaxLineBytes(), and a catalogue without any record type.
TProfileArray LoadCatalogueFile(const std::string& fileName);

// Parses catalogue text (the file's bytes); fileName only names it in errors.
TProfileArray ParseCatalogue(std::string_view content, const std::string& fileName);

// Inserts a record at its sorted place.
void InsertSorted(TProfileArray& array, TWagenbusProfileRecord record);

// Builds the first-character index of a sorted array.
TFirstCharIndex BuildFirstCharIndex(const TProfileArray& array);

// One initial-letter group of IBIS_Frame.CSV.
struct TFrameEntry {
    std::string Kuerzel;
    std::string Description; // the first description column
    // Every description column in file order, one per interface language
    // (1 German, 2 English, ...); Descriptions[0] is Description.
    std::vector<std::string> Descriptions;
    // The description in the interface language's column; the first one
    // where the line has no (or an empty) column for it.
    const std::string& DescriptionIn(int language) const;
};

struct TFrameFile {
    std::vector<TFrameEntry> Entries;
    bool Damaged = false; // some line had fewer than two fields or a quote never closed, or no line was a group
};

// Reads IBIS_Frame.CSV (lines end at CR LF, LF or CR). Throws EFileError
// when the file cannot be read or holds a line longer than MaxLineBytes().
TFrameFile LoadFrameFile(const std::string& fileName);
TFrameFile ParseFrameFile(std::string_view content);

// The three-line message of the start-up when the catalogue cannot be
// loaded (Windows-1252). language: 1 German, 2 English.
std::string CatalogueStartupErrorText(const std::string& message, int language);

} // namespace vaskel
