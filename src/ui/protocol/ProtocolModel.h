#pragma once
// The ten protocol columns over a protocol table, as a Qt table model.
#include "recording/Recorder.h"

#include <QAbstractTableModel>
#include <functional>

namespace vaskel {

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
    // The tooltip of a cell (what the cell shows); unset: the stored text.
    std::function<QString(int row, int col)> CellTip;

private:
    const TTable& FTable;
    int FRows = 0;
};

} // namespace vaskel
