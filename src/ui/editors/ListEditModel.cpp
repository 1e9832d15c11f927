#include "ui/editors/ListEditModel.h"

#include "platform/QtText.h"
#include "telegram/TextConventions.h"
#include "ui/common/Texts.h"
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>

namespace vaskel {

TListEditModel::TListEditModel(TTable& table, std::vector<TEditColumn> columns,
                               const TEnvironment& env, QObject* parent)
    : QAbstractTableModel(parent), FTable(table), FColumns(std::move(columns)), FEnv(env) {}

int TListEditModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : FTable.RowCount();
}

int TListEditModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : FTable.ColCount();
}

QVariant TListEditModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= FTable.RowCount()) return {};
    const std::string_view cell = FTable.Cell(index.column(), index.row());
    if (role == Qt::EditRole) return FromCp1252(cell);
    if (role == Qt::DisplayRole) {
        if (FTable.Style(index.column()) == TZK_InputStyle::csBoolean) return {};
        return FromCp1252(FEnv.ConvertIBISCharacters() ? TelegramToDisplay(std::string(cell))
                                                       : std::string(cell));
    }
    if (role == Qt::CheckStateRole && FTable.Style(index.column()) == TZK_InputStyle::csBoolean)
        return cell == "0" ? Qt::Unchecked : Qt::Checked;
    return {};
}

bool TListEditModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || !Editable) return false;
    std::string text;
    if (role == Qt::CheckStateRole)
        text = value.toInt() == Qt::Checked ? "-1" : "0";
    else if (role == Qt::EditRole)
        text = ToCp1252(value.toString());
    else
        return false;
    if (FTable.Cell(index.column(), index.row()) == text) return true;
    FTable.SetCell(index.column(), index.row(), text);
    FTable.Modified = true;
    emit dataChanged(index, index);
    if (CellChanged) CellChanged(index.row(), index.column(), text.empty());
    return true;
}

Qt::ItemFlags TListEditModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (!Editable || !index.isValid()) return f;
    if (FTable.Style(index.column()) == TZK_InputStyle::csBoolean)
        return f | Qt::ItemIsUserCheckable;
    return f | Qt::ItemIsEditable;
}

QVariant TListEditModel::headerData(int section, Qt::Orientation o, int role) const {
    if (o != Qt::Horizontal || section < 0 || section >= static_cast<int>(FColumns.size()))
        return {};
    if (HeaderData)
        if (QVariant v = HeaderData(section, role); v.isValid()) return v;
    if (role == Qt::ToolTipRole && FColumns[section].Hint) return Tr(FColumns[section].Hint);
    if (role != Qt::DisplayRole) return {};
    return Tr(FColumns[section].Title);
}

void TListEditModel::Refresh() {
    beginResetModel();
    endResetModel();
}

} // namespace vaskel
