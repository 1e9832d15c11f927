#include "ui/widgets/ActionButton.h"

#include <QAction>

namespace vaskel {

TActionButton::TActionButton(QAction* action, const QIcon& ownIcon, QWidget* parent)
    : QToolButton(parent), FAction(action), FOwnIcon(ownIcon) {
    setObjectName(action->objectName() + QStringLiteral("Button"));
    setAutoRaise(false);
    setIconSize(QSize(16, 16));
    connect(this, &QToolButton::clicked, this, [this] {
        if (FAction && FAction->isEnabled()) FAction->trigger();
        Follow(); // a click has toggled the button's own check mark
    });
    connect(action, &QAction::changed, this, [this] { Follow(); });
    Follow();
}

void TActionButton::Follow() {
    if (!FAction) return;
    setEnabled(FAction->isEnabled());
    setCheckable(FAction->isCheckable());
    setChecked(FAction->isChecked());
    const QIcon icon = FOwnIcon.isNull() ? FAction->icon() : FOwnIcon;
    setIcon(icon);
    setToolButtonStyle(icon.isNull() ? Qt::ToolButtonTextOnly : Qt::ToolButtonIconOnly);
    QString caption = FAction->text();
    caption.remove(QLatin1Char('&'));
    setText(caption);
    const QString hint = FAction->toolTip();
    setToolTip(hint.isEmpty() || hint == FAction->text() ? caption
                                                         : caption + QStringLiteral("\n") + hint);
}

} // namespace vaskel
