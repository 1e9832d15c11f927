#pragma once
// Protocol tables in a window: the model over a protocol table, the cell
// look (colours, segments of the classified telegram), and the delegate
// that draws it.

#include "recording/Recorder.h"
#include "telegram/TelegramParser.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QStyledItemDelegate>
#include <functional>
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
    std::string MarkText; // rows whose telegram matches are marked orange
    int CurrentRow = -1;  // the current row is never marked
    int DetailRow = -1;   // the row the detail panel shows
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

// The ten protocol columns over a table; rows are the recorded ones.
class TProtocolModel : public QAbstractTableModel {
public:
    TProtocolModel(const TTable& table, QObject* parent = nullptr)
        : QAbstractTableModel(parent), FTable(table) {}

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;

    // The table has grown to rows (and earlier statuses may have changed).
    void RowsAppended(int rows);
    void Reset(int rows);
    const TTable& Table() const { return FTable; }

private:
    const TTable& FTable;
    int FRows = 0;
};

class TProtocolDelegate : public QStyledItemDelegate {
public:
    TProtocolDelegate(const TIBISTelegramParser& parser, std::function<TCellOptions()> options,
                      QObject* parent = nullptr)
        : QStyledItemDelegate(parent), FParser(parser), FOptions(std::move(options)) {}
    void paint(QPainter* p, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    const TIBISTelegramParser& FParser;
    std::function<TCellOptions()> FOptions;
};

} // namespace vaskel
