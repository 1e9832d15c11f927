#pragma once
// How protocol cells look (colours, segments of the classified telegram),
// the clipboard text of rows, and finding text in a protocol.
#include "recording/Recorder.h"
#include "telegram/TelegramParser.h"

#include <QColor>
#include <QString>
#include <vector>

namespace vaskel {

struct TSegment {
    QString Text;
    QColor Fore; // invalid: the normal text colour
    QColor Back; // invalid: the cell background
};

struct TCellLook {
    QColor Background; // invalid: the normal background
    std::vector<TSegment> Segments;
    bool Cross = false; // the grey cross of master rows in the reaction column
    QColor TextColor;   // for a plain text cell
    Qt::Alignment Align = Qt::AlignLeft | Qt::AlignVCenter;
};

struct TCellOptions {
    bool AutoWarnings = true;
    bool ConvertIBIS = true;
    TBusType Bus = TBusType::bsVehicleBus;
    // rows whose telegram as shown matches are marked orange (from its start
    // unless the text begins with "*"; letter case ignored)
    std::string MarkText;
    int CurrentRow = -1;      // the current row is never marked
    int DetailRow = -1;       // the row the detail panel shows
    bool RowSelected = false; // the cell's row is among the selected rows
};

// The text Ctrl+C puts on the clipboard: the titles of the shown columns,
// then one line per row with what each cell shows (ProtocolCellText), lines
// ended by CR LF, cells separated by tabs and quoted as a table file quotes
// them (every cell in double quotes, a quote inside doubled), so the table
// reader and a spreadsheet read the cells back as shown.
QString ProtocolCopyText(const TTable& table, const std::vector<int>& rows,
                         const std::vector<int>& shownColumns, const TIBISTelegramParser& parser,
                         const TCellOptions& options);
// A cell's text for the clipboard: in double quotes, a quote inside doubled.
QString QuotedCell(QString text);
// The first row from start on (in the direction) where a cell shows the
// text (as ProtocolCellText gives it: IBIS characters by the options, start
// times as times of day); -1 when none.
int FindInProtocol(const TTable& table, int rows, int start, bool down, const QString& text,
                   bool matchCase, const TIBISTelegramParser& parser, const TCellOptions& options);

// Whether the marking (options.MarkText) marks the row: its telegram as
// shown matches. A row without a kind and an empty mark text never match.
bool ProtocolRowMarked(const TTable& table, int row, const TIBISTelegramParser& parser,
                       const TCellOptions& options);

// How the cell (row, col) of a protocol table is drawn.
TCellLook ProtocolCellLook(const TTable& table, int row, int col, const TIBISTelegramParser& parser,
                           const TCellOptions& options);
// The text a cell shows: its segments in a row (the kind's letter, the
// answer status's symbol, nothing for the cross of a master's reaction).
QString ProtocolCellText(const TTable& table, int row, int col, const TIBISTelegramParser& parser,
                         const TCellOptions& options);
// The cell's tooltip: the text the cell shows (a start time as a time of
// day), the meaning of the kind and answer symbols; empty when the cell
// shows nothing.
QString ProtocolCellTip(const TTable& table, int row, int col, const TIBISTelegramParser& parser,
                        const TCellOptions& options);
// The column's title and hint, in the active language.
QString ProtocolColumnTitle(int col);
QString ProtocolColumnHint(int col);

} // namespace vaskel
