#pragma once
// The cell editor of list tables: several lines; Return ends the editing,
// Tab and Shift+Tab end it and move to the next or previous cell.
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

    // The editor about to open was started by typing or reached with Tab:
    // its text is selected so that what is typed replaces it (F2 and a
    // double click keep the text and put the caret at its end). Holds for
    // the next opening only, in whichever column.
    static void ReplaceOnNextOpen(bool on) { FReplace = on; }
    static bool ReplacingOnNextOpen() { return FReplace; }

private:
    TTable& FTable;
    static inline bool FReplace = false;
};

} // namespace vaskel
