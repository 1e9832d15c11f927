#include "ui/main/ModeArea.h"

#include "platform/QtText.h"
#include "shell/Environment.h"
#include "ui/common/TextWidgets.h"
#include "ui/common/Texts.h"
#include "ui/main/DirectInputBox.h"
#include "ui/widgets/ActionButton.h"
#include "ui/widgets/BalloonHint.h"
#include "ui/widgets/ElidedLabel.h"
#include "ui/widgets/Led.h"
#include "ui/widgets/PatternGroupBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace vaskel {

namespace {

QString T(const char* utf8) {
    return QString::fromUtf8(utf8);
}

TPatternGroupBox* NewPatternGroup(const char* german, const char* name) {
    auto* g = new TPatternGroupBox;
    g->setObjectName(T(name));
    SetDe(g, german);
    return g;
}

// The picture of the send-from-protocol button: a play sign (a pixmap, so
// that a disabled button shows it grey).
QIcon PlayIcon() {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x20, 0x70, 0x30));
    p.drawPolygon(QPolygonF({QPointF(4, 2.5), QPointF(13.5, 8), QPointF(4, 13.5)}));
    return QIcon(pm);
}

// A layout with small margins: the area is low.
template <typename L> L* Tight(L* l, int margin = 4) {
    l->setContentsMargins(margin, 2, margin, 2);
    l->setSpacing(3);
    return l;
}

} // namespace

TModeArea::TModeArea(TEnvironment& env, TDirectInputBox& direct, const TActionTable& actions,
                     QWidget* parent)
    : QWidget(parent), FEnv(env), FDirect(direct) {
    setObjectName(T("pnStatus"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 4, 2);
    row->setSpacing(4);

    // --- the master group
    auto* master = NewPatternGroup("Master Modus", "gbMasterMode");
    FGroups["Master"] = master;
    master->setFixedWidth(420);
    auto* ml = Tight(new QVBoxLayout(master));
    auto* lines = Tight(new QGridLayout, 0);
    lines->setColumnStretch(1, 1);
    // the active call list and the active protocol, each with its switch
    // an active-file line: its header, the file, the button of its action
    const auto addLine = [&](int index, QLabel* header, const char* name, TAct act,
                             const char* buttonName, const QIcon& icon, QGridLayout* grid) {
        header->setObjectName(T(name) + T("Header"));
        grid->addWidget(header, index % 2, 0);
        FLines[index] = new TElidedLabel;
        FLines[index]->setObjectName(T(name));
        grid->addWidget(FLines[index], index % 2, 1);
        auto* button = new TActionButton(actions[act], icon);
        button->setObjectName(T(buttonName));
        FPanelButtons[act] = button;
        grid->addWidget(button, index % 2, 2);
    };
    addLine(0, NewLabel("Aktive Aufrufliste:"), "lblActiveAufrufliste", TAct::acAufrufOnOff,
            "btPanelAufrufOnOff", QIcon(), lines);
    // sending from a protocol has no picture of its own
    addLine(1, NewLabel("Aktives Protokoll:"), "lblActiveProtocol", TAct::acSendFromProtocoll,
            "btPanelSendFromProtocol", PlayIcon(), lines);
    FLines[1]->installEventFilter(this);
    FLines[0]->installEventFilter(this);
    ml->addLayout(lines);

    auto* factorRow = Tight(new QHBoxLayout, 0);
    FFixDelay = new QCheckBox;
    FFixDelay->setObjectName(T("cbFixDelay"));
    factorRow->addWidget(FFixDelay);
    // the sentence's start is the check box's own caption: it looks
    // usable whenever the box is, and a click on it sets the mark
    SetDe(FFixDelay, "Sendeabstand der Telegramme um Faktor");
    FFactor = new QSpinBox;
    FFactor->setObjectName(T("edFixdelay"));
    FFactor->setRange(-5, 10);
    FFactor->setValue(FEnv.ProtocolSendDelay());
    FFixDelay->setChecked(FEnv.ProtocolSendDelay() != 1);
    // every value of the field counts, 0 too (the setting keeps 1 for it),
    // so the arrows step through 0 to the factors below 1
    connect(FFactor, &QSpinBox::valueChanged, this, [this](int v) {
        if (FFixDelay->isChecked()) FEnv.SetProtocolSendDelay(v);
    });
    factorRow->addWidget(FFactor);
    FSecondsLabel = NewLabel("vergrößern.");
    FSecondsLabel->setObjectName(T("lblSeconds"));
    factorRow->addWidget(FSecondsLabel);
    factorRow->addStretch(1);
    connect(FFixDelay, &QCheckBox::toggled, this, [this](bool on) {
        FEnv.SetProtocolSendDelay(on ? FFactor->value() : 1);
        FollowFixDelay();
    });
    ml->addLayout(factorRow);

    // the direct input
    auto* directGroup = NewPatternGroup("Direkteingabe", "gbDirekteingabe");
    FGroups["Direct"] = directGroup;
    auto* dl = Tight(new QGridLayout(directGroup));
    dl->addWidget(direct.Input(), 0, 0, 1, 2);
    dl->addWidget(direct.SendButton(), 0, 2);
    dl->addWidget(direct.DetailButton(), 0, 3);
    dl->addWidget(direct.RecordLabel(), 1, 0);
    dl->addWidget(direct.CheckLabel(), 1, 1, 1, 3);
    dl->setColumnStretch(1, 1);
    ml->addWidget(directGroup);
    row->addWidget(master);

    // --- the master/slave switch
    FSwitchButton = new QPushButton(T("⇄"));
    FSwitchButton->setObjectName(T("btSwitchMasterSlave"));
    FSwitchButton->setFixedWidth(23);
    FSwitchButton->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    SetDeHint(FSwitchButton, "Schaltet den Master-Modus ein und aus");
    connect(FSwitchButton, &QPushButton::clicked, this, [this] {
        // the tip explains this very button: it is not shown for it
        FEnv.SetHintGiven(THint::MasterSlaveHintGiven);
        emit SwitchClicked();
    });
    row->addWidget(FSwitchButton);

    // --- the slave group
    auto* slave = NewPatternGroup("Slave Modus", "gbSlaveMode");
    FGroups["Slave"] = slave;
    auto* sl = Tight(new QVBoxLayout(slave));
    auto* responseGrid = Tight(new QGridLayout, 0);
    responseGrid->setColumnStretch(1, 1);
    addLine(2, NewLabel("Aktive Antwortliste:"), "lblActiveAntwortliste", TAct::acAntwortOnOff,
            "btPanelAntwortOnOff", QIcon(), responseGrid);
    FLines[2]->installEventFilter(this);
    sl->addLayout(responseGrid);
    FWarningPanel = new QFrame;
    FWarningPanel->setObjectName(T("pnWarning"));
    auto* wl = new QVBoxLayout(FWarningPanel);
    wl->setContentsMargins(3, 1, 3, 1);
    wl->setSpacing(0);
    // on a narrow screen the texts wrap rather than push the groups over
    // each other
    for (auto*& w : FWarnings) {
        w = new QLabel;
        w->setWordWrap(true);
        wl->addWidget(w);
    }
    sl->addWidget(FWarningPanel);
    FMasterDetected = new QLabel;
    FMasterDetected->setObjectName(T("lblMasterDetected"));
    FMasterDetected->setWordWrap(true);
    sl->addWidget(FMasterDetected);
    sl->addStretch();
    row->addWidget(slave, 1);

    // --- the device status
    auto* dev = NewPatternGroup("Gerätestatus", "gbDeviceStatus");
    FGroups["Device"] = dev;
    auto* devLayout = new QVBoxLayout(dev);
    devLayout->setSpacing(1);
    devLayout->setContentsMargins(6, 2, 6, 2);
    const std::pair<const char*, QColor> leds[] = {{"Master", QColor(0, 200, 0)},
                                                   {"Overload", QColor(230, 0, 0)},
                                                   {"WBED", QColor(240, 200, 0)},
                                                   {"WBSD", QColor(240, 200, 0)},
                                                   {"Ein", QColor(0, 200, 0)}};
    for (const auto& [name, color] : leds) {
        auto* lr = new QHBoxLayout;
        auto* led = new TLed(color);
        FLeds[name] = led;
        lr->addWidget(led);
        auto* label = new QLabel(T(name));
        if (std::string_view(name) == "Ein") SetDe(label, "Ein"); // the power lamp: "On"
        lr->addWidget(label);
        lr->addStretch();
        devLayout->addLayout(lr);
    }
    // a click on the red lamp resets the overload protection (after asking)
    FLeds["Overload"]->OnClick = [this] { emit OverloadLampClicked(); };
    FBusTypeButton = new QToolButton;
    FBusTypeButton->setObjectName(T("btBusType"));
    ShowBusType();
    connect(FBusTypeButton, &QToolButton::clicked, this, [this] { BusTypeClicked(); });
    devLayout->addWidget(FBusTypeButton);
    devLayout->addStretch();
    row->addWidget(dev);

    // at start every group is off
    for (const char* name : {"Master", "Slave"})
        SetGroupPattern(FGroups[name], TZK_PatternStyle::psEnabled);
    SetGroupPattern(directGroup, TZK_PatternStyle::psEnabled);
    MasterControlsOff();
    slave->setEnabled(false);
    dev->setEnabled(false);
    ShowLine(2, QString());
    FollowFixDelay();
    // as low as the controls allow
    setFixedHeight(std::max(143, sizeHint().height()));
}

void TModeArea::ShowBusType() {
    const bool train = FEnv.BusType() == TBusType::bsTrainBus;
    FBusTypeButton->setText(train ? Tr("Zugbus") : Tr("Wagenbus"));
    G_ZK_Pattern().Apply(FBusTypeButton,
                         train ? TZK_PatternStyle::psError : TZK_PatternStyle::psOk);
    FBusTypeButton->setToolTip(
        train ? Tr("Die Telegramme werden als Zugbus-Telegramme ausgewertet.")
              : Tr("Die Telegramme werden als Wagenbus-Telegramme ausgewertet."));
}

void TModeArea::BusTypeClicked() {
    if (FEnv.BusType() == TBusType::bsVehicleBus) {
        // the train bus reads most vehicle bus telegrams as faulty: asked first
        const QString warning =
            Tr("Bitte beachten Sie, dass im Zugbusbetrieb andere IBIS-Telegramme gelten, als im "
               "Wagenbusbetrieb.") +
            T("\n") +
            Tr("Wenn Ihr Tavrin an einen IBIS-Wagenbus angeschlossen ist, die Vaskel-Software "
               "jedoch im Modus \"Zugbus\" arbeitet, werden die meisten Telegramme als fehlerhaft "
               "gemeldet werden.") +
            T("\n") + Tr("Wollen Sie wirklich umschalten?");
        if (QMessageBox::warning(this, Tr("Warnung"), warning,
                                 QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
            return;
        FEnv.SetBusType(TBusType::bsTrainBus);
    } else {
        FEnv.SetBusType(TBusType::bsVehicleBus);
    }
    ShowBusType();
}

void TModeArea::ApplyDisplay(const TDeviceDisplay& d) {
    using namespace DeviceTexts;
    FSwitchButton->setEnabled(d.MasterSwitchEnabled);
    G_ZK_Pattern().Apply(FSwitchButton, d.MasterSwitchEnabled ? TZK_PatternStyle::psInformation
                                                              : TZK_PatternStyle::psDisabled);
    G_ZK_Pattern().Apply(FWarningPanel, TZK_PatternStyle::psError);
    // the groups follow the device's mode
    FGroups["Device"]->setEnabled(d.StatusGroupEnabled);
    if (d.ShowMasterPanel) {
        MasterGroupOn();
    } else if (d.ShowSlavePanel) {
        SlaveGroupOn();
    } else {
        MasterGroupOff();
        SlaveGroupOff();
    }
    FLeds["Master"]->SetOn(d.LedMaster);
    FLeds["Overload"]->SetOn(d.LedOverload);
    FLeds["WBED"]->SetOn(d.LedWBED);
    FLeds["WBSD"]->SetOn(d.LedWBSD);
    FLeds["Ein"]->SetOn(d.LedEin);
    FLeds["Ein"]->SetBlinking(d.EinBlinking);
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

    // the short-circuit warning stays while the overload lasts
    if (d.OverloadBalloon && !OverloadWarning()) {
        TLed* lamp = FLeds["Overload"];
        const bool lampShown = lamp->isVisible();
        QWidget* anchor = lampShown ? static_cast<QWidget*>(lamp) : window();
        const QPoint at = lampShown ? lamp->rect().center()
                                    : QPoint(60, window()->height() - 24); // near the status bar
        FOverloadWarning = TBalloonHint::Show(anchor, at, TBalloonHint::TIcon::Warning,
                                              Tr(kOverloadTitle), TrLines(kOverloadText), 0);
    } else if (!d.LedOverload && OverloadWarning()) {
        TBalloonHint::CloseCurrent();
    }
}

TBalloonHint* TModeArea::OverloadWarning() const {
    TBalloonHint* up = TBalloonHint::Current();
    return up && up == FOverloadWarning ? up : nullptr;
}

void TModeArea::SetGroupPattern(TPatternGroupBox* g, TZK_PatternStyle style) {
    G_ZK_Pattern().Apply(g->Backdrop(), style);
}

TZK_PatternStyle TModeArea::GroupPattern(const char* name) const {
    const auto it = FGroups.find(name);
    if (it == FGroups.end()) return TZK_PatternStyle::psEnabled;
    const QVariant style = it->second->Backdrop()->property("zkPattern");
    return style.isValid() ? static_cast<TZK_PatternStyle>(style.toInt())
                           : TZK_PatternStyle::psEnabled;
}

void TModeArea::MasterGroupOn() {
    FFixDelay->setEnabled(FFactorAllowed || !FFiles[1].isEmpty());
    if (FGroupsOn == TGroups::Master) {
        FollowFixDelay();
        return;
    }
    SlaveGroupOff();
    FGroupsOn = TGroups::Master;
    for (const char* name : {"Master", "Direct"}) {
        FGroups[name]->setEnabled(true);
        SetGroupPattern(FGroups[name], TZK_PatternStyle::psOk);
    }
    FollowFixDelay();
    for (int k : {0, 1})
        ShowLine(k, FFiles[k]);
    FDirect.LiveCheck();
}

void TModeArea::MasterControlsOff() {
    for (const char* name : {"Master", "Direct"}) {
        FGroups[name]->setEnabled(false);
        SetGroupPattern(FGroups[name], TZK_PatternStyle::psEnabled);
    }
    for (int k : {0, 1})
        ShowLine(k, QString());
    FollowFixDelay();
}

void TModeArea::MasterGroupOff() {
    if (FGroupsOn != TGroups::Master) return;
    FGroupsOn = TGroups::None;
    MasterControlsOff();
    FDirect.LiveCheck();
}

void TModeArea::SlaveGroupOn() {
    if (FGroupsOn == TGroups::Slave) return;
    FGroupsOn = TGroups::Slave;
    MasterControlsOff();
    TPatternGroupBox* slave = FGroups["Slave"];
    slave->setEnabled(true);
    SetGroupPattern(slave, TZK_PatternStyle::psOk);
    ShowLine(2, FFiles[2]);
    FWarningPanel->hide();
    FMasterDetected->hide();
    FDirect.LiveCheck();
}

void TModeArea::SlaveGroupOff() {
    if (FGroupsOn != TGroups::Slave) return;
    FGroupsOn = TGroups::None;
    TPatternGroupBox* slave = FGroups["Slave"];
    slave->setEnabled(false);
    SetGroupPattern(slave, TZK_PatternStyle::psEnabled);
    FWarningPanel->hide();
    FMasterDetected->hide();
    ShowLine(2, QString());
}

void TModeArea::ShowLine(int index, const QString& file) {
    FFiles[index] = file;
    TElidedLabel* line = FLines[index];
    const QString path = QDir::toNativeSeparators(file);
    // the lists show their path, the protocol its file name
    line->SetFullText(index == 1 && !file.isEmpty() ? QFileInfo(file).fileName() : path);
    line->setToolTip(path);
    G_ZK_Pattern().Apply(line,
                         file.isEmpty() ? TZK_PatternStyle::psEnabled : TZK_PatternStyle::psActive);
}

void TModeArea::SetActiveProtocol(const QString& file) {
    ShowLine(1, file);
    if (FGroupsOn == TGroups::Master) FFixDelay->setEnabled(FFactorAllowed || !file.isEmpty());
    FollowFixDelay();
}

void TModeArea::SetActiveCallList(const QString& file) {
    ShowLine(0, file);
}

void TModeArea::SetActiveResponseList(const QString& file) {
    ShowLine(2, file);
}

void TModeArea::SetFactorEnabled(bool on) {
    FFactorAllowed = on;
    FFixDelay->setEnabled(on || !FFiles[1].isEmpty());
    FollowFixDelay();
}

void TModeArea::FollowFixDelay() {
    // the field and its labels follow the check box's mark
    const bool on = FFixDelay->isChecked() && FFixDelay->isEnabledTo(FGroups["Master"]);
    for (QWidget* w : {static_cast<QWidget*>(FFactor), static_cast<QWidget*>(FSecondsLabel)})
        w->setEnabled(on);
}

void TModeArea::ShowMasterSwitchHint() {
    if (FEnv.HintGiven(THint::MasterSlaveHintGiven)) return;
    FEnv.SetHintGiven(THint::MasterSlaveHintGiven);
    TBalloonHint::Show(
        FSwitchButton, FSwitchButton->rect().center(), TBalloonHint::TIcon::Information, Tr("Tipp"),
        Tr("Sie können auch hier zwischen dem Master- und Slavemode umschalten."), 7000);
}

void TModeArea::ShowSendDelayTip() {
    if (TBalloonHint::Current() || FEnv.HintGiven(THint::SendDelayHintGiven) ||
        !window()->isActiveWindow())
        return;
    FEnv.SetHintGiven(THint::SendDelayHintGiven);
    TBalloonHint::Show(FFixDelay, FFixDelay->rect().center(), TBalloonHint::TIcon::Information,
                       Tr("Tipp"),
                       Tr("Sie können mit dieser Option die Ablaufgeschwindigkeit eines") +
                           T("\n") + Tr("aufgezeichneten Protokolls verändern."),
                       8000);
}

TLed* TModeArea::Led(const char* name) const {
    const auto it = FLeds.find(name);
    return it == FLeds.end() ? nullptr : it->second;
}

QGroupBox* TModeArea::Group(const char* name) const {
    const auto it = FGroups.find(name);
    return it == FGroups.end() ? nullptr : it->second;
}

QToolButton* TModeArea::PanelButton(TAct action) const {
    const auto it = FPanelButtons.find(action);
    return it == FPanelButtons.end() ? nullptr : it->second;
}

bool TModeArea::eventFilter(QObject* watched, QEvent* e) {
    if (watched == FLines[1] && e->type() == QEvent::MouseButtonDblClick) {
        emit ActiveProtocolDoubleClicked();
        return true;
    }
    if (watched == FLines[0] && e->type() == QEvent::MouseButtonDblClick) {
        emit ActiveCallListDoubleClicked();
        return true;
    }
    if (watched == FLines[2] && e->type() == QEvent::MouseButtonDblClick) {
        emit ActiveResponseListDoubleClicked();
        return true;
    }
    return QWidget::eventFilter(watched, e);
}

} // namespace vaskel
