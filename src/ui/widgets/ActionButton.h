#pragma once
// TActionButton: a small button that shows an action (enabled state, check
// mark, hint) and executes it when clicked. It shows the action's icon, or an
// icon of its own, or else the action's caption.

#include <QIcon>
#include <QPointer>
#include <QToolButton>

class QAction;

namespace vaskel {

class TActionButton : public QToolButton {
public:
    TActionButton(QAction* action, const QIcon& ownIcon = {}, QWidget* parent = nullptr);
    QAction* Action() const { return FAction; }

private:
    // Takes the action's state.
    void Follow();

    QPointer<QAction> FAction;
    QIcon FOwnIcon;
};

} // namespace vaskel
