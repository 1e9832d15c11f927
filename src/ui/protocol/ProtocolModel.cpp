#include "ui/protocol/ProtocolModel.h"

#include "platform/QtText.h"
#include "ui/common/Texts.h"
#include "ui/protocol/ProtocolCells.h"

namespace vaskel {

int TProtocolModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : FRows;
}

int TProtocolModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kProtocolColumns;
}

QVariant TProtocolModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= FRows) return {};
    if (role == Qt::DisplayRole) return FromCp1252(FTable.Cell(index.column(), index.row()));
    if (role == Qt::ToolTipRole) {
        if (CellTip) return CellTip(index.row(), index.column());
        return FromCp1252(FTable.Cell(index.column(), index.row()));
    }
    return {};
}

QVariant TProtocolModel::headerData(int section, Qt::Orientation o, int role) const {
    if (o != Qt::Horizontal) return {};
    if (role == Qt::DisplayRole) return ProtocolColumnTitle(section);
    if (role == Qt::ToolTipRole) return ProtocolColumnHint(section);
    return {};
}

void TProtocolModel::RowsAppended(int rows) {
    if (rows > FRows) {
        beginInsertRows({}, FRows, rows - 1);
        FRows = rows;
        endInsertRows();
    }
    // the statuses of up to 50 earlier rows may have changed
    if (FRows > 0)
        emit dataChanged(index(std::max(0, FRows - 52), 0), index(FRows - 1, kProtocolColumns - 1));
}

void TProtocolModel::Reset(int rows) {
    beginResetModel();
    FRows = rows;
    endResetModel();
}

} // namespace vaskel
