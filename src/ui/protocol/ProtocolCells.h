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
    std::string MarkText;     // rows whose telegram matches are marked orange
    int CurrentRow = -1;      // the current row is never marked
    int DetailRow = -1;       // the row the detail panel shows
    bool RowSelected = false; // the cell's row is among the selected rows
};

// The text Ctrl+C puts on the clipboard: titles of the shown columns, then
// one line per row, tab-separated, CR removed, times as times of day and
// the telegram in umlaut notation in double quotes.
QString ProtocolCopyText(const TTable& table, const std::vector<int>& rows,
                         const std::vector<int>& shownColumns);
// The first row from start on (in the direction) where a cell contains the
// text; -1 when none.
int FindInProtocol(const TTable& table, int rows, int start, bool down, const QString& text,
                   bool matchCase);

// How the cell (row, col) of a protocol table is drawn.
TCellLook ProtocolCellLook(const TTable& table, int row, int col, const TIBISTelegramParser& parser,
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
