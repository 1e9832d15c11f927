#include "ui/device/AutonomousPanel.h"

#include "platform/QtText.h"
#include "ui/common/ActionTable.h"
#include "ui/common/Session.h"
#include "ui/common/Texts.h"
#include "ui/common/Theme.h"
#include "ui/help/ContextHelp.h"
#include "ui/widgets/ActionButton.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace vaskel {

namespace {

TZK_PatternStyle Style(TFieldLook look) {
    switch (look) {
    case TFieldLook::Information:
        return TZK_PatternStyle::psInformation;
    case TFieldLook::Error:
        return TZK_PatternStyle::psError;
    case TFieldLook::Ok:
        return TZK_PatternStyle::psOk;
    case TFieldLook::Disabled:
        break;
    }
    return TZK_PatternStyle::psDisabled;
}

void Show(QLabel* field, const TStatusField& f) {
    QString text = Tr(FromCp1252(f.Caption));
    if (!f.Value.empty()) text.replace(QStringLiteral("%d"), QString::fromStdString(f.Value));
    field->setText(text);
    field->setToolTip(Tr(FromCp1252(f.Tip)));
    G_ZK_Pattern().Apply(field, Style(f.Look));
}

} // namespace

TAutonomousPanel::TAutonomousPanel(TSession& session, const TActionTable& actions,
                                   QWidget* parent)
    : QWidget(parent), FSession(session) {
    SetHelpContext(this, help::kAutonomous);
    setObjectName(QStringLiteral("pnlOfflineMode"));
    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(2, 0, 2, 2);
    auto* group = new QGroupBox;
    SetDe(group, "Autonomes Aufzeichnen");
    outer->addWidget(group);
    auto* row = new QHBoxLayout(group);
    row->setContentsMargins(6, 2, 6, 4);
    // the two fields one above the other, the commands beside them
    auto* fields = new QVBoxLayout;
    fields->setSpacing(2);
    FMode = new QLabel;
    FMode->setObjectName(QStringLiteral("pnlOfflineModeAvailable"));
    FCount = new QLabel;
    FCount->setObjectName(QStringLiteral("pnlAmountOfOfflineData"));
    for (QLabel* f : {FMode, FCount}) {
        f->setFrameShape(QFrame::StyledPanel);
        f->setMinimumWidth(300);
        f->setMargin(2);
        fields->addWidget(f);
    }
    row->addLayout(fields);
    FCommands = new QGridLayout;
    FCommands->setSpacing(2);
    for (TAct a : {TAct::actOfflineModeToogle, TAct::actOfflineModeStop, TAct::actOfflineDataGet,
                   TAct::actOfflineModeFlash, TAct::actOfflineModeErase}) {
        auto* b = new TActionButton(actions[a]);
        b->setObjectName(actions[a]->objectName() + QStringLiteral("Button"));
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        FButtons << b;
    }
    PlaceButtons(3);
    row->addLayout(FCommands);
    row->addStretch(1);
    connect(&FSession, &TSession::AutonomousChanged, this, [this] { Refresh(); });
    connect(&FSession, &TSession::DisplayChanged, this, [this] { Refresh(); });
    Refresh();
}

void TAutonomousPanel::Refresh() {
    const TAutonomousDisplay d = FSession.AutonomousDisplay();
    Show(FMode, d.Mode);
    Show(FCount, d.Count);
    // offline: the bar and both fields are disabled
    setEnabled(d.PanelEnabled);
}

void TAutonomousPanel::PlaceButtons(int columns) {
    if (columns == FColumns) return;
    FColumns = columns;
    for (QToolButton* b : FButtons) FCommands->removeWidget(b);
    for (int k = 0; k < FButtons.size(); ++k)
        FCommands->addWidget(FButtons[k], k / columns, k % columns);
    for (int c = 0; c < 3; ++c) FCommands->setColumnStretch(c, c < columns ? 1 : 0);
}

void TAutonomousPanel::Arrange() {
    // a button never shows part of its text: where three columns do not fit
    // the width, the buttons take more rows
    // the room is the bar's (a tool bar gives the panel its wish and cuts
    // off what its window has no room for)
    const QWidget* bar = parentWidget();
    const int room = bar ? std::min(bar->contentsRect().width(), window()->width()) - 12 : width();
    if (room <= 0) return;
    // the width the bar wants with so many columns: the fields, each column
    // as wide as its widest button, the spacing and the frame around
    const int fields = std::max({300, FMode->sizeHint().width(), FCount->sizeHint().width()});
    auto needed = [&](int columns) {
        int w = fields + 40;
        for (int c = 0; c < columns; ++c) {
            int widest = 0;
            for (int k = c; k < FButtons.size(); k += columns)
                widest = std::max(widest, FButtons[k]->sizeHint().width());
            w += widest + FCommands->horizontalSpacing();
        }
        return w;
    };
    int columns = 3;
    while (columns > 2 && needed(columns) > room) --columns;
    PlaceButtons(columns);
    updateGeometry();
}

bool TAutonomousPanel::eventFilter(QObject* watched, QEvent* e) {
    if (watched == parentWidget() && (e->type() == QEvent::Resize || e->type() == QEvent::Show))
        Arrange();
    return QWidget::eventFilter(watched, e);
}

void TAutonomousPanel::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    Arrange();
}

void TAutonomousPanel::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    if (e->type() == QEvent::ParentChange && parentWidget()) parentWidget()->installEventFilter(this);
    if (e->type() == QEvent::LanguageChange) {
        Refresh();
        Arrange();
        if (QWidget* bar = parentWidget()) bar->setWindowTitle(Tr("Autonomes Aufzeichnen"));
    }
}

} // namespace vaskel
