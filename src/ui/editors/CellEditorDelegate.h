#pragma once
// The cell editor of list tables: several lines; Return ends the editing.
#include "recording/Table.h"

#include <QStyledItemDelegate>

namespace vaskel {

class TCellEditorDelegate : public QStyledItemDelegate {
public:
    TCellEditorDelegate(TTable& table, QObject* parent)
        : QStyledItemDelegate(parent), FTable(table) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex&) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex&) const override;
    bool eventFilter(QObject* o, QEvent* ev) override;

private:
    TTable& FTable;
};

} // namespace vaskel
