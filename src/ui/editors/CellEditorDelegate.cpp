#include "ui/editors/CellEditorDelegate.h"
#include "lists/ListEditor.h"

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

QWidget* TCellEditorDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                           const QModelIndex&) const {
    auto* e = new QPlainTextEdit(parent);
    e->setObjectName(QStringLiteral("CellEditor"));
    e->setFrameShape(QFrame::NoFrame);
    e->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    e->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return e;
}
void TCellEditorDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* e = static_cast<QPlainTextEdit*>(editor);
    const std::string text(FTable.Cell(index.column(), index.row()));
    e->setPlainText(FromCp1252(TListEditorRows::OnEditorOpen(text)));
    if (FReplace)
        e->selectAll();
    else
        e->moveCursor(QTextCursor::End);
    FReplace = false;
}
void TCellEditorDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                       const QModelIndex& index) const {
    auto* e = static_cast<QPlainTextEdit*>(editor);
    const std::string text =
        TListEditorRows::OnEditorLeave(ToCp1252(e->toPlainText()), FTable.Style(index.column()));
    model->setData(index, FromCp1252(text), Qt::EditRole);
}
void TCellEditorDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                               const QModelIndex&) const {
    QRect r = option.rect;
    r.setHeight(std::max(r.height(), 3 * option.fontMetrics.height()));
    editor->setGeometry(r);
}
bool TCellEditorDelegate::eventFilter(QObject* o, QEvent* ev) {
    auto* e = qobject_cast<QPlainTextEdit*>(o);
    if (e && ev->type() == QEvent::KeyPress) {
        const auto* k = static_cast<QKeyEvent*>(ev);
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            emit commitData(e);
            emit closeEditor(e, QAbstractItemDelegate::SubmitModelCache);
            return true;
        }
        // Tab and Shift+Tab move on to the next or previous cell, as in
        // every table (a tab is no character of a telegram: "09h" puts one
        // in where it is meant)
        if (k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab) {
            const bool back =
                k->key() == Qt::Key_Backtab || (k->modifiers() & Qt::ShiftModifier);
            emit commitData(e);
            ReplaceOnNextOpen(true);
            emit closeEditor(e, back ? QAbstractItemDelegate::EditPreviousItem
                                     : QAbstractItemDelegate::EditNextItem);
            ReplaceOnNextOpen(false);
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(o, ev);
}

} // namespace vaskel
