#pragma once
// TListEditModel: the cells of a list table as a Qt table model.
#include "recording/Table.h"
#include "shell/Environment.h"

#include <QAbstractTableModel>
#include <functional>
#include <vector>

namespace vaskel {

struct TEditColumn {
    const char* Title;          // German; shown in the active language
    bool Optional = false;      // an empty cell still counts as complete
    const char* Hint = nullptr; // German; the column title's tool tip
};

class TListEditModel : public QAbstractTableModel {
public:
    TListEditModel(TTable& table, std::vector<TEditColumn> columns, const TEnvironment& env,
                   QObject* parent = nullptr);
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    // The table's rows changed underneath (rows removed or inserted).
    void Refresh();
    TTable& Table() { return FTable; }
    bool Editable = true;
    // A cell was set (an empty value: the toolbar disables at once).
    std::function<void(int row, int col, bool empty)> CellChanged;
    // The window's own column titles (a null variant: the column's).
    std::function<QVariant(int section, int role)> HeaderData;

private:
    TTable& FTable;
    std::vector<TEditColumn> FColumns;
    const TEnvironment& FEnv;
};

} // namespace vaskel
