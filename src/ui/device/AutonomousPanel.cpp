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
#include <QVBoxLayout>

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
    auto* commands = new QGridLayout;
    commands->setSpacing(2);
    int k = 0;
    for (TAct a : {TAct::actOfflineModeToogle, TAct::actOfflineModeStop, TAct::actOfflineDataGet,
                   TAct::actOfflineModeFlash, TAct::actOfflineModeErase}) {
        auto* b = new TActionButton(actions[a]);
        b->setObjectName(actions[a]->objectName() + QStringLiteral("Button"));
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        commands->addWidget(b, k / 3, k % 3);
        ++k;
    }
    row->addLayout(commands);
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

void TAutonomousPanel::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    if (e->type() == QEvent::LanguageChange) {
        Refresh();
        if (QWidget* bar = parentWidget()) bar->setWindowTitle(Tr("Autonomes Aufzeichnen"));
    }
}

} // namespace vaskel
