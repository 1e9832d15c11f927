#include "ui/main/ModeArea.h"

#include "platform/QtText.h"
#include "shell/Environment.h"
#include "ui/common/TextWidgets.h"
#include "ui/common/Texts.h"
#include "ui/common/Theme.h"
#include "ui/main/DirectInputBox.h"
#include "ui/widgets/Led.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>

namespace vaskel {

namespace {

QString T(const char* utf8) {
    return QString::fromUtf8(utf8);
}

} // namespace

TModeArea::TModeArea(TEnvironment& env, TDirectInputBox& direct, QWidget* parent)
    : QWidget(parent), FEnv(env) {
    setObjectName(T("pnStatus"));
    setFixedHeight(143);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 4, 2);

    auto* master = NewGroup("Master Modus");
    FGroups["Master"] = master;
    master->setFixedWidth(430);
    auto* ml = new QVBoxLayout(master);
    FActiveProtocol = NewLabel("Aktives Protokoll: -");
    FActiveProtocol->setObjectName(T("lblActiveProtocol"));
    FActiveProtocol->installEventFilter(this);
    ml->addWidget(FActiveProtocol);
    auto* listRow = new QHBoxLayout;
    listRow->addWidget(NewLabel("Aktive Aufrufliste: -"), 1);
    ml->addLayout(listRow);
    auto* factorRow = new QHBoxLayout;
    FFixDelay = new QCheckBox;
    FFixDelay->setObjectName(T("cbFixDelay"));
    factorRow->addWidget(FFixDelay);
    auto* factorLabel = NewLabel("Sendeabstand der Telegramme um Faktor");
    factorLabel->setWordWrap(false);
    factorLabel->setStyleSheet(T("font-size: 8pt"));
    // a narrow window clips the label rather than the field
    factorLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    factorRow->addWidget(factorLabel, 1);
    FFactor = new QSpinBox;
    FFactor->setObjectName(T("edFixdelay"));
    FFactor->setRange(-5, 10);
    FFactor->setValue(FEnv.ProtocolSendDelay());
    FFixDelay->setChecked(FEnv.ProtocolSendDelay() != 1);
    connect(FFactor, &QSpinBox::valueChanged, this, [this](int v) {
        if (!FFixDelay->isChecked()) return;
        FEnv.SetProtocolSendDelay(v);
        // 0 is no factor: the setting keeps 1
        FFactor->setValue(FEnv.ProtocolSendDelay());
    });
    factorRow->addWidget(FFactor);
    auto* secondsLabel = NewLabel("vergrößern.");
    factorRow->addWidget(secondsLabel);
    const auto followCheck = [this, factorLabel, secondsLabel] {
        const bool on = FFixDelay->isChecked() && FFixDelay->isEnabled();
        for (QWidget* w : {static_cast<QWidget*>(factorLabel), static_cast<QWidget*>(FFactor),
                           static_cast<QWidget*>(secondsLabel)})
            w->setEnabled(on);
    };
    connect(FFixDelay, &QCheckBox::toggled, this, [this, followCheck](bool on) {
        FEnv.SetProtocolSendDelay(on ? FFactor->value() : 1);
        followCheck();
    });
    FFollowFixDelay = followCheck;
    followCheck();
    ml->addLayout(factorRow);
    auto* directRow = new QHBoxLayout;
    directRow->addWidget(direct.Input(), 1);
    directRow->addWidget(direct.SendButton());
    directRow->addWidget(direct.DetailButton());
    // the live check's verdict beside the call-list line
    listRow->addWidget(direct.RecordLabel());
    listRow->addWidget(direct.CheckLabel());
    ml->addLayout(directRow);
    row->addWidget(master);

    FSwitchButton = new QPushButton(T("⇄"));
    FSwitchButton->setObjectName(T("btSwitchMasterSlave"));
    FSwitchButton->setFixedWidth(23);
    FSwitchButton->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    FSwitchButton->setToolTip(Tr("Schaltet den Master-Modus ein und aus"));
    connect(FSwitchButton, &QPushButton::clicked, this, &TModeArea::SwitchClicked);
    row->addWidget(FSwitchButton);

    auto* slave = NewGroup("Slave Modus");
    FGroups["Slave"] = slave;
    auto* sl = new QVBoxLayout(slave);
    sl->addWidget(NewLabel("Aktive Antwortliste: -"));
    FWarningPanel = new QWidget;
    auto* wl = new QVBoxLayout(FWarningPanel);
    wl->setContentsMargins(0, 0, 0, 0);
    for (auto*& w : FWarnings) {
        w = new QLabel;
        wl->addWidget(w);
    }
    sl->addWidget(FWarningPanel);
    FMasterDetected = new QLabel;
    sl->addWidget(FMasterDetected);
    sl->addStretch();
    row->addWidget(slave, 1);

    auto* dev = NewGroup("Gerätestatus");
    FGroups["Device"] = dev;
    dev->setFixedWidth(140);
    auto* dl = new QVBoxLayout(dev);
    dl->setSpacing(1);
    dl->setContentsMargins(6, 4, 6, 4);
    const std::pair<const char*, QColor> leds[] = {{"Master", QColor(0, 200, 0)},
                                                   {"Overload", QColor(230, 0, 0)},
                                                   {"WBED", QColor(240, 200, 0)},
                                                   {"WBSD", QColor(240, 200, 0)},
                                                   {"Ein", QColor(0, 200, 0)}};
    for (const auto& [name, color] : leds) {
        auto* r = new QHBoxLayout;
        auto* led = new TLed(color);
        FLeds[name] = led;
        r->addWidget(led);
        r->addWidget(new QLabel(T(name)));
        r->addStretch();
        dl->addLayout(r);
    }
    // a click on the red lamp resets the overload protection (after asking)
    FLeds["Overload"]->OnClick = [this] { emit OverloadLampClicked(); };
    FBusTypeButton = new QToolButton;
    FBusTypeButton->setObjectName(T("btBusType"));
    ShowBusType();
    connect(FBusTypeButton, &QToolButton::clicked, this, [this] { BusTypeClicked(); });
    dl->addWidget(FBusTypeButton);
    row->addWidget(dev);
}

void TModeArea::ShowBusType() {
    {
        const bool train = FEnv.BusType() == TBusType::bsTrainBus;
        FBusTypeButton->setText(train ? Tr("Zugbus") : Tr("Wagenbus"));
        G_ZK_Pattern().Apply(FBusTypeButton,
                             train ? TZK_PatternStyle::psError : TZK_PatternStyle::psOk);
        FBusTypeButton->setToolTip(
            train ? Tr("Die Telegramme werden als Zugbus-Telegramme ausgewertet.")
                  : Tr("Die Telegramme werden als Wagenbus-Telegramme ausgewertet."));
    }
}

void TModeArea::BusTypeClicked() {
    const bool train = FEnv.BusType() == TBusType::bsTrainBus;
    const QString q = train ? Tr("Soll die Telegrammauswertung auf den Wagenbus umgestellt werden?")
                            : Tr("Soll die Telegrammauswertung auf den Zugbus umgestellt werden?");
    if (QMessageBox::question(this, Tr("Bustyp"), q) != QMessageBox::Yes) return;
    FEnv.SetBusType(train ? TBusType::bsVehicleBus : TBusType::bsTrainBus);
    ShowBusType();
}

void TModeArea::ApplyDisplay(const TDeviceDisplay& d) {
    using namespace DeviceTexts;
    FSwitchButton->setEnabled(d.MasterSwitchEnabled);
    G_ZK_Pattern().Apply(FSwitchButton, d.MasterSwitchEnabled ? TZK_PatternStyle::psInformation
                                                              : TZK_PatternStyle::psDisabled);
    G_ZK_Pattern().Apply(FWarningPanel, TZK_PatternStyle::psError);
    for (auto& [name, g] : FGroups)
        g->setEnabled(d.GroupsEnabled);
    FLeds["Master"]->SetOn(d.LedMaster);
    FLeds["Overload"]->SetOn(d.LedOverload);
    FLeds["WBED"]->SetOn(d.LedWBED);
    FLeds["WBSD"]->SetOn(d.LedWBSD);
    FLeds["Ein"]->SetOn(d.LedEin);
    FLeds["Ein"]->SetBlinking(d.EinBlinking);
    FGroups["Master"]->setVisible(true);
    FWarningPanel->setVisible(d.WarningPanelVisible);
    FWarnings[0]->setText(TrLines(kNoWBSD));
    FWarnings[0]->setVisible(d.NoSendLineVoltage);
    FWarnings[1]->setText(TrLines(kNoWBED));
    FWarnings[1]->setVisible(d.NoAnswerLineVoltage);
    FWarnings[2]->setText(TrLines(kNoPower));
    FWarnings[2]->setVisible(d.NoExternalPower);
    FWarnings[3]->setText(TrLines(d.WarningSecondLine));
    FMasterDetected->setText(TrLines(kMasterDetected1) + T("\n") + TrLines(kMasterDetected2));
    FMasterDetected->setVisible(d.MasterDetected);
    if (d.OverloadBalloon && !FOverloadWarned) {
        // the warning points at the overload lamp
        QToolTip::showText(FLeds["Overload"]->mapToGlobal(QPoint(7, 7)),
                           T("<b>") + Tr(kOverloadTitle) + T("</b><br>") +
                               TrLines(kOverloadText).replace(T("\n"), T("<br>")),
                           FLeds["Overload"], {}, 15000);
        FOverloadWarned = true;
    }
    if (!d.LedOverload) FOverloadWarned = false;
}

void TModeArea::SetActiveProtocol(const QString& file) {
    FActiveProtocol->setText(Tr("Aktives Protokoll: ") +
                             (file.isEmpty() ? T("-") : QFileInfo(file).fileName()));
    FActiveProtocol->setToolTip(QDir::toNativeSeparators(file));
}

QString TModeArea::ActiveProtocol() const {
    return FActiveProtocol->toolTip();
}

void TModeArea::SetFactorEnabled(bool on) {
    FFixDelay->setEnabled(on);
    if (FFollowFixDelay) FFollowFixDelay();
}

void TModeArea::ShowMasterSwitchHint() {
    if (FEnv.HintGiven(THint::MasterSlaveHintGiven)) return;
    FEnv.SetHintGiven(THint::MasterSlaveHintGiven);
    QToolTip::showText(
        FSwitchButton->mapToGlobal(QPoint(10, 10)),
        T("<b>") + Tr("Hinweis") + T("</b><br>") +
            Tr("Der Modus wechselt, sobald das Gerät ihn im nächsten Statusbyte meldet."),
        FSwitchButton, {}, 7000);
}

void TModeArea::ShowSendDelayTip() {
    if (QToolTip::isVisible() || FEnv.HintGiven(THint::SendDelayHintGiven) ||
        !window()->isActiveWindow())
        return;
    FEnv.SetHintGiven(THint::SendDelayHintGiven);
    QToolTip::showText(FFixDelay->mapToGlobal(FFixDelay->rect().center()),
                       T("<b>") + Tr("Tipp") + T("</b><br>") +
                           Tr("Sie können mit dieser Option die Ablaufgeschwindigkeit eines") +
                           T("<br>") + Tr("aufgezeichneten Protokolls verändern."),
                       FFixDelay, {}, 8000);
}

TLed* TModeArea::Led(const char* name) const {
    const auto it = FLeds.find(name);
    return it == FLeds.end() ? nullptr : it->second;
}

QGroupBox* TModeArea::Group(const char* name) const {
    const auto it = FGroups.find(name);
    return it == FGroups.end() ? nullptr : it->second;
}

bool TModeArea::eventFilter(QObject* watched, QEvent* e) {
    if (watched == FActiveProtocol && e->type() == QEvent::MouseButtonDblClick) {
        emit ActiveProtocolDoubleClicked();
        return true;
    }
    return QWidget::eventFilter(watched, e);
}

} // namespace vaskel
