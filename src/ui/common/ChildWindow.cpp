#include "ui/common/ChildWindow.h"

#include "ui/common/HelpContext.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>

namespace vaskel {

TfChildWindow::TfChildWindow(TSession& session, QWidget* parent)
    : QWidget(parent), FSession(session) {
    SetHelpContext(this, help::kIndex);
}

void TfChildWindow::SetCaption(const QString& caption) {
    FCaption = caption;
    setWindowTitle(caption);
    if (parentWidget()) parentWidget()->setWindowTitle(caption);
}

bool TfChildWindow::CloseWindow() {
    if (parentWidget() && parentWidget()->inherits("QMdiSubWindow")) return parentWidget()->close();
    return close();
}

void TfChildWindow::closeEvent(QCloseEvent* e) {
    if (MayClose())
        e->accept();
    else
        e->ignore();
}

bool TfChildWindow::TableEditCommand(TEditCommand command, QAbstractItemView* view,
                                     const QString& selectionText) {
    switch (command) {
    case TEditCommand::Copy:
        QApplication::clipboard()->setText(selectionText);
        return true;
    case TEditCommand::SelectAll:
        view->selectAll();
        return true;
    default:
        return false;
    }
}

} // namespace vaskel
