#pragma once
// The printed protocol as numbers: which rows are printed, the period in the
// header, the columns' shares of the page width and where pages break. All
// measures are in tenths of a millimetre; text widths come from the caller
// (the painter measures with the printer's font), so the layout itself is
// testable without drawing anything.

#include "recording/Table.h"
#include "telegram/DateTime.h"
#include "telegram/TelegramParser.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vaskel {

extern const char* const kPrintTitleLive;  // "Vaskel Protokoll"
extern const char* const kPrintFollowing;  // "%s - Folgeblatt"
extern const char* const kPrintPeriod;     // "Zeitraum: %s bis %s Uhr"
extern const char* const kPrintVersion;    // "Vaskel Version %s"
extern const char* const kPrintDate;       // "Ausdruck vom %s"
extern const char* const kPrintPage;       // "Seite %d"
extern const char* const kPrintJobTitle;   // "Vaskel 3 - Vaskelprotokoll"
inline constexpr int kPrintNoteMax = 55;   // characters of the note line

// Paper size in tenths of a millimetre.
struct TPrintPaper {
    int Width = 2100;
    int Height = 2970;
};
inline constexpr TPrintPaper kA4Portrait{2100, 2970};
inline constexpr TPrintPaper kA4Landscape{2970, 2100};

// Fixed measures of the page.
inline constexpr int kPrintMargin = 100;      // left and right
inline constexpr int kPrintRowHeight = 40;   // a row of one line
inline constexpr int kPrintLineStep = 32;    // each further line of a wrapped cell
inline constexpr int kPrintBodyFirst = 460;   // first body row, first page
inline constexpr int kPrintBodyFollow = 400;  // on following pages
inline constexpr int kPrintHeadFirst = 380;   // column header top, first page
inline constexpr int kPrintHeadFollow = 320;  // on following pages
inline constexpr int kPrintBodyEnd = 400;     // a row starting at or below height - this breaks
inline constexpr int kPrintCellLeft = 110;    // first cell's left edge
inline constexpr int kPrintCellPad = 5;       // room left and right of a cell's text

// The usable width W: paper width - 240.
inline int PrintUsableWidth(const TPrintPaper& paper) { return paper.Width - 240; }

// The rows a printout takes (0-based data rows, top to bottom): with a
// selection of one row or none the whole table, otherwise the selected rows
// in ascending order (duplicates once). Rows for which shown is false (rows
// of no height) are left out; without shown every row counts.
std::vector<int> PrintRows(int rowCount, std::vector<int> selectedRows,
                           const std::function<bool(int)>& shown = nullptr);

// The telegram of a row as the protocol window shows it, in the classified
// segments the printout draws each in its own style (Windows-1252).
struct TPrintTelegram {
    std::string Prefix, Address, Data, Rest, CR;
    std::string Check; // the check byte; a control character as "<$0D>"
    std::string Joined() const { return Prefix + Address + Data + Rest + CR + Check; }
};
TPrintTelegram PrintTelegramText(const TTable& table, int row, const TIBISTelegramParser& parser,
                                 TBusType bus);

// The reaction cell as the protocol window shows it: an answer's time in
// milliseconds as stored ("26", "ungültig"); nothing for a master's row.
std::string PrintReactionText(const TTable& table, int row);

// The text that stands for a cell when the columns are measured: the start
// time as time of day, the reaction as shown (PrintReactionText), the
// telegram as its shown segments joined ("M" for a row without kind), else
// the cell.
std::string PrintMeasureText(const TTable& table, int row, int col,
                             const TIBISTelegramParser& parser, TBusType bus);

// The columns whose long texts wrap onto further lines of their row (the
// telegram, its hex form and the description); every other column gets
// the width its longest text needs.
bool PrintColumnWraps(int col);

// Width of a text (Windows-1252) in the measuring font (Courier New, a
// monospaced face: the widest text is the longest one), in tenths of a mm.
using TPrintTextWidth = std::function<int(std::string_view)>;

// The least share of a shown column.
inline constexpr int kPrintMinShare = 2;

// One share in percent per column, 0 for a column that is not shown (a shown
// one gets at least kPrintMinShare); the
// description column takes up what is left to 100 when it is shown. titles:
// the column titles (the title row), measured with the rows.
// usableWidth: the page's usable width W (0: shares by the texts' ratio
// alone). A column's need is its longest text with the room either side.
// When the needs together fit W, a column left narrower than its need by
// the rounding and the extra points takes points from the column with the
// most to spare. When they do not fit, every column that does not wrap gets
// its need and the wrapping columns share the rest by their needs. longest,
// when given, receives each column's widest text (0 for a hidden one).
std::vector<int> PrintColumnShares(const TTable& table, const std::vector<int>& rows,
                                   const std::vector<std::string>& titles,
                                   const std::vector<bool>& columnShown,
                                   const TIBISTelegramParser& parser, TBusType bus,
                                   const TPrintTextWidth& width, int usableWidth = 0,
                                   std::vector<int>* longest = nullptr);

// The cells' widths: W x share / 100 each.
std::vector<int> PrintColumnWidths(const TPrintPaper& paper, const std::vector<int>& shares);

// The period of the header: the start times (time of day) of the first and
// the last printed row; "" for a printout without rows. A protocol holds
// times of day only; with reference, a moment at or after the last row was
// recorded (the protocol's save, or now for the live recording), each time
// carries its date: the last row's is the reference's day, or the day before
// when its time of day lies after the reference's; the first row's is the
// day before the last row's when its time of day is later (the recording
// ran over midnight). The last time carries its date only when that differs
// from the first's: "dd.mm.yyyy hh:nn:ss,zzz".
struct TPrintPeriod {
    std::string First;
    std::string Last;
};
TPrintPeriod PrintPeriodOf(const TTable& table, const std::vector<int>& rows,
                           const std::optional<TDateTime>& reference = std::nullopt);
// The moment a protocol's file name carries, as the program names protocols
// and set-aside safety copies ("yyyy-mm-dd-hh-nn-ss" in the name, the last
// such part counts); none when the name has no valid one.
std::optional<TDateTime> ProtocolNameTime(std::string_view fileName);
// The day before (the date only; the time stays).
TDateTime PreviousDay(TDateTime t);

// The height of a printed row of lines lines.
inline int PrintRowHeight(int lines) {
    return kPrintRowHeight + (lines > 1 ? (lines - 1) * kPrintLineStep : 0);
}
// The most lines a row may take: as many as fit on a first page, the
// smallest body, so every row fits on a page of its own.
int PrintMaxRowLines(const TPrintPaper& paper);

// The page breaks, computed without drawing: page p (0-based) holds the
// printed rows FirstRow(p) .. FirstRow(p) + RowsOn(p) - 1. A printout without
// rows still has its one page. A row goes on a page when it ends above the
// line that a row of one line starting at the break line would end at; the
// first row of a page always does.
class TPrintPages {
public:
    // linesOf: the lines of printed row index (1 when absent), at most
    // PrintMaxRowLines.
    TPrintPages(const TPrintPaper& paper, int rowCount,
                const std::function<int(int)>& linesOf = nullptr);
    int PageCount() const { return FPageCount; }
    // Rows of one line a first and a following page take.
    int RowsOnFirstPage() const { return FFirst; }
    int RowsOnFollowingPage() const { return FFollowing; }
    int FirstRow(int page) const;
    int RowsOn(int page) const;
    // The page that holds printed row index.
    int PageOfRow(int index) const;
    // Lines and height of printed row index.
    int LinesOf(int index) const;
    int RowHeightOf(int index) const { return PrintRowHeight(LinesOf(index)); }
    // The y of the column header top and of the first body row on a page.
    static int HeadTop(int page) { return page == 0 ? kPrintHeadFirst : kPrintHeadFollow; }
    static int BodyTop(int page) { return page == 0 ? kPrintBodyFirst : kPrintBodyFollow; }

private:
    int FRows;
    int FFirst;
    int FFollowing;
    int FPageCount;
    // Only where a row has more than one line: the lines of every row and
    // the first row of every page.
    std::vector<uint16_t> FLines;
    std::vector<int> FPageFirst;
};

// Pages to print from a range text such as "1-3,7" (1-based, inclusive),
// kept within 1..pageCount; empty when the text is no range.
std::vector<int> ParsePageRanges(std::string_view text, int pageCount);

} // namespace vaskel
