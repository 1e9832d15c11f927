#pragma once
// The printed protocol as numbers: which rows are printed, the period in the
// header, the columns' shares of the page width and where pages break. All
// measures are in tenths of a millimetre; text widths come from the caller
// (the painter measures with the printer's font), so the layout itself is
// testable without drawing anything.

#include "recording/Table.h"
#include "telegram/TelegramParser.h"

#include <functional>
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
inline constexpr int kPrintRowHeight = 40;
inline constexpr int kPrintBodyFirst = 460;   // first body row, first page
inline constexpr int kPrintBodyFollow = 400;  // on following pages
inline constexpr int kPrintHeadFirst = 380;   // column header top, first page
inline constexpr int kPrintHeadFollow = 320;  // on following pages
inline constexpr int kPrintBodyEnd = 400;     // a row starting at or below height - this breaks
inline constexpr int kPrintCellLeft = 110;    // first cell's left edge

// The usable width W: paper width - 240.
inline int PrintUsableWidth(const TPrintPaper& paper) { return paper.Width - 240; }

// The rows a printout takes (0-based data rows, top to bottom): with a
// selection of one row or none the whole table, otherwise the selected rows
// in ascending order (duplicates once). Rows for which shown is false (rows
// of no height) are left out; without shown every row counts.
std::vector<int> PrintRows(int rowCount, std::vector<int> selectedRows,
                           const std::function<bool(int)>& shown = nullptr);

// The text that stands for a cell when the columns are measured: the start
// time as time of day, the reaction in the seconds form, the telegram as the
// classified segments joined ("M" for a row without kind), else the cell.
std::string PrintMeasureText(const TTable& table, int row, int col,
                             const TIBISTelegramParser& parser, TBusType bus);

// Width of a text (Windows-1252) in the measuring font (Courier New, a
// monospaced face: the widest text is the longest one), in tenths of a mm.
using TPrintTextWidth = std::function<int(std::string_view)>;

// The least share of a shown column.
inline constexpr int kPrintMinShare = 2;

// One share in percent per column, 0 for a column that is not shown (a shown
// one gets at least kPrintMinShare); the
// description column takes up what is left to 100 when it is shown. titles:
// the column titles (the title row), measured with the rows.
std::vector<int> PrintColumnShares(const TTable& table, const std::vector<int>& rows,
                                   const std::vector<std::string>& titles,
                                   const std::vector<bool>& columnShown,
                                   const TIBISTelegramParser& parser, TBusType bus,
                                   const TPrintTextWidth& width);

// The cells' widths: W x share / 100 each.
std::vector<int> PrintColumnWidths(const TPrintPaper& paper, const std::vector<int>& shares);

// The period of the header: the start times (time of day) of the first and
// the last printed row; "" for a printout without rows.
struct TPrintPeriod {
    std::string First;
    std::string Last;
};
TPrintPeriod PrintPeriodOf(const TTable& table, const std::vector<int>& rows);

// The page breaks, computed without drawing: page p (0-based) holds the
// printed rows FirstRow(p) .. FirstRow(p) + RowsOn(p) - 1. A printout without
// rows still has its one page.
class TPrintPages {
public:
    TPrintPages(const TPrintPaper& paper, int rowCount);
    int PageCount() const { return FPageCount; }
    int RowsOnFirstPage() const { return FFirst; }
    int RowsOnFollowingPage() const { return FFollowing; }
    int FirstRow(int page) const;
    int RowsOn(int page) const;
    // The page that holds printed row index.
    int PageOfRow(int index) const;
    // The y of the column header top and of the first body row on a page.
    static int HeadTop(int page) { return page == 0 ? kPrintHeadFirst : kPrintHeadFollow; }
    static int BodyTop(int page) { return page == 0 ? kPrintBodyFirst : kPrintBodyFollow; }

private:
    int FRows;
    int FFirst;
    int FFollowing;
    int FPageCount;
};

// Pages to print from a range text such as "1-3,7" (1-based, inclusive),
// kept within 1..pageCount; empty when the text is no range.
std::vector<int> ParsePageRanges(std::string_view text, int pageCount);

} // namespace vaskel
