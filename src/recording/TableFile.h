#pragma once
// Table files: protocols (.PRO.CSV, no header) and lists (.AUF.CSV,
// .ANT.CSV, with a header line) written and read row by row.

#include "recording/Table.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace vaskel {

// The backup name: the last extension replaced by ".BAK" (x.PRO.CSV ->
// x.PRO.BAK).
std::string BackupFileName(const std::string& fileName);

// Writes rows from firstRow on. Rows are numbered as in the windows: 1 is
// the first data row. firstRow <= 0: the whole table replaces the file (an
// existing file is first copied to its backup name); firstRow > 0: the rows
// are appended when the file exists. Whole-file writes go through
// WriteFileSafely (telegram/SafeFile.h); appends write whole lines or
// nothing. Boolean cells are normalised in the table ("-1"/"0").
// Throws EFileError when the file cannot be written.
void SaveToCSV(TTable& table, const std::string& fileName, char quote, int firstRow,
               const std::optional<std::string>& header, char separator);

// Appends one row as the writer writes it, CR LF included. Boolean cells
// are normalised in the table first.
void AppendTableLine(std::string& out, TTable& table, int row, char quote, char separator);

struct TLoadResult {
    bool Loaded = false;             // false: the header did not match
    bool LastLineIncomplete = false; // the file ended inside quotes
    bool BrokenRow = false;          // a line did not end as rowEnd asks (reading stopped)
    int Rows = 0;
    // With LastLineIncomplete or BrokenRow: the byte offset in the file
    // where the line begins that could not be read (nothing from there on
    // is loaded).
    std::uint64_t UnreadFrom = 0;
    // The last row came from a last line without line end (loaded, its
    // quotes being closed): where it begins in the file and how many
    // fields it had. A reader whose rows have a number of fields tells a
    // row cut off (a file cut short, a crash while it was written) by it.
    bool LastRowUnended = false;
    int LastRowFields = 0;
    std::uint64_t LastRowFrom = 0;
};

// The warning texts of a header mismatch.
extern const char* const kMSGFeldnamenUnterschiedlich;
extern const char* const kMSGFeldnamenUnterschiedlichTitel;

// Reads a table file. The header (when given) must match the first bytes,
// letter case ignored. Every line ended by a CR, an LF or CR LF outside
// quotes becomes a row (inside quotes they are data); a last line without
// line end is loaded too when its quotes are closed (LastLineIncomplete
// reports one that is not). Empty fields are stored as one blank. progress is
// called with the number of rows read so far. rowEnd (when not empty): how
// every line of the file ends before its line end (a protocol's closing
// quote); reading stops at the first line that does not (BrokenRow): after a
// quote that is never closed, the line ends fall inside quotes and the quotes
// of the rows after it are read the wrong way round. Throws EFileError when
// the file cannot be read, and with LineTooLongText when a line is longer
// than MaxLineBytes() (read no further than that line).
TLoadResult LoadFromCSV(TTable& table, const std::string& fileName, char quote,
                        const std::function<void(int)>& progress,
                        const std::optional<std::string>& header, char separator,
                        std::string_view rowEnd = {});

// The file's line (1 = first) where the row beginning at byte offset starts
// (its first byte above a blank). CR LF, LF and CR end a line outside the
// quote character; inside it only an LF does (a telegram's own CR, which a
// protocol row holds, starts no new line). quote '\0': no quotes.
int FileLineAt(const std::string& fileName, std::uint64_t offset, char quote = '"');

struct TTableLines {
    bool Complete = true;     // false: the file ended inside quotes
    int UnterminatedLine = 0; // then: the file's line where that row begins
};

// Reads a table file line by line as the table reader does (CR LF, LF or CR
// outside quotes ends a line; inside quotes they are data; a line of one
// byte is no row) and hands each line's raw fields to f, with the file's
// line (1 = first) where the row begins. Throws EFileError when the file
// cannot be read, and with LineTooLongText for a line longer than
// MaxLineBytes().
TTableLines ForEachTableLine(const std::string& fileName, char quote, char separator,
                             const std::function<void(std::vector<std::string>&, int)>& f);
// The same, handing each line as it stands (quotes and separators in it).
TTableLines ForEachTableRawLine(const std::string& fileName, char quote,
                                const std::function<void(std::string_view, int)>& f);

// Splits one table-file line into cells: empty fields become one blank.
std::vector<std::string> SplitTableLine(std::string_view line, char quote, char separator);

// The same split straight into the table's packed row form (the reader's
// fast path); returns the number of cells written (at most cols).
int PackTableLine(std::string_view line, char quote, char separator, int cols, std::string& out);

} // namespace vaskel
