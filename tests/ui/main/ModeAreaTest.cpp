// The mode-and-status area of the main window, on Qt's offscreen platform:
// the groups as a function of the device's state, the active-file lines,
// the direct input, the send-delay factor, the bus type, the balloons and
// texts that fit their place. The device's state is set directly: no device
// runs.

#include "ui/main/ModeArea.h"
#include "platform/QtText.h"
#include "ui/common/Session.h"
#include "ui/common/Texts.h"
#include "ui/main/DirectInputBox.h"
#include "ui/main/MainForm.h"
#include "ui/protocol/MonitorForm.h"
#include "ui/widgets/ActionButton.h"
#include "ui/widgets/BalloonHint.h"
#include "ui/widgets/ElidedLabel.h"
#include "ui/widgets/Led.h"

#include "TestSupport.h"
#include "ui/AutoAnswer.h"
#include "ui/UiTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace vaskel {
namespace {

// The device's state, as its status byte and the connection leave it.
struct TState {
    const char* Name;
    bool Online, Master, WBSD, WBED, Power, Overloaded;
};
constexpr TState kOffline{"offline", false, false, false, false, false, false};
constexpr TState kVehicleBus{"slave, a master on the bus", true, false, true, true, true, false};
constexpr TState kIdleBus{"slave, idle bus", true, false, false, false, true, false};
constexpr TState kUnpowered{"slave, no external power", true, false, false, false, false, false};
constexpr TState kMaster{"master", true, true, true, true, true, false};

class ModeAreaTest : public ::testing::Test {
protected:
    ModeAreaTest() {
        Platform.Program = Dir / "Vaskel";
        Platform.Documents = Dir.Path().string();
        S = std::make_unique<TSession>(Env, Parser);
        TfMainForm::TOptions o;
        o.StartDevice = false;
        o.OfferSafetyCopy = false;
        W = std::make_unique<TfMainForm>(*S, o);
        W->resize(1024, 768);
        W->show();
        QApplication::setActiveWindow(W.get());
        Settle();
    }
    ~ModeAreaTest() override {
        TBalloonHint::CloseCurrent();
        if (W->Monitor()) W->Monitor()->Recorder().Table().Modified = false;
        W->close();
        W.reset();
        S.reset();
        SetUiLanguage(1);
    }

    // The device reports this state; the main window shows it.
    void Device(const TState& st) {
        TDeviceStatus& s = S->Status();
        s.Reset();
        s.SetDeviceOnline(st.Online);
        s.SetMaster(st.Master);
        s.SetWBSD(st.WBSD);
        s.SetWBED(st.WBED);
        s.SetExternalPowerOK(st.Power);
        s.SetOverloaded(st.Overloaded);
        W->ApplyDisplay(ComputeDeviceDisplay(s, S->Recording()));
        Settle();
    }
    static void Settle() {
        for (int k = 0; k < 3; ++k)
            QApplication::processEvents();
    }
    void English() {
        for (QAction* a : W->findChildren<QAction*>())
            if (a->text() == QStringLiteral("English")) a->trigger();
        Settle();
    }
    TModeArea& Area() { return *W->ModeArea(); }
    QComboBox* Input() { return W->DirectInputBox()->Input(); }

    test::TempDir Dir;
    TFixedSystemPlatform Platform;
    TEnvironment Env{nullptr, Platform};
    TIBISTelegramParser Parser{kCatalogue};
    std::unique_ptr<TSession> S;
    std::unique_ptr<TfMainForm> W;
};

TEST_F(ModeAreaTest, TheGroupsFollowTheDeviceState) {
    using P = TZK_PatternStyle;
    struct TCase {
        TState State;
        bool MasterOn, SlaveOn, StatusOn;
        P MasterLook, SlaveLook;
    };
    const TCase cases[] = {
        {kOffline, false, false, false, P::psEnabled, P::psEnabled},
        {kVehicleBus, false, true, true, P::psEnabled, P::psOk},
        {kIdleBus, false, true, true, P::psEnabled, P::psOk},
        {kUnpowered, false, true, true, P::psEnabled, P::psOk},
        {kMaster, true, false, true, P::psOk, P::psEnabled},
        // and back: each state from the one before
        {kVehicleBus, false, true, true, P::psEnabled, P::psOk},
        {kOffline, false, false, false, P::psEnabled, P::psEnabled},
        {kMaster, true, false, true, P::psOk, P::psEnabled},
        {kOffline, false, false, false, P::psEnabled, P::psEnabled},
    };
    for (const TCase& c : cases) {
        Device(c.State);
        SCOPED_TRACE(c.State.Name);
        EXPECT_EQ(Area().Group("Master")->isEnabled(), c.MasterOn);
        EXPECT_EQ(Area().Group("Direct")->isEnabled(), c.MasterOn);
        EXPECT_EQ(Input()->isEnabled(), c.MasterOn);
        EXPECT_EQ(Area().Group("Slave")->isEnabled(), c.SlaveOn);
        EXPECT_EQ(Area().Group("Device")->isEnabled(), c.StatusOn);
        EXPECT_EQ(Area().GroupPattern("Master"), c.MasterLook);
        EXPECT_EQ(Area().GroupPattern("Direct"), c.MasterLook);
        EXPECT_EQ(Area().GroupPattern("Slave"), c.SlaveLook);
        // the groups stay visible; only their state changes
        EXPECT_FALSE(Area().Group("Master")->isHidden());
        EXPECT_FALSE(Area().Group("Slave")->isHidden());
        // the bus warnings belong to a working slave group
        if (!c.SlaveOn) {
            EXPECT_TRUE(Area().WarningPanel()->isHidden());
            EXPECT_TRUE(Area().MasterDetectedLabel()->isHidden());
        }
    }
}

TEST_F(ModeAreaTest, ThePanelButtonsShowAndExecuteTheirActions) {
    const std::pair<TAct, const char*> buttons[] = {
        {TAct::acAufrufOnOff, "btPanelAufrufOnOff"},
        {TAct::acSendFromProtocoll, "btPanelSendFromProtocol"},
        {TAct::acAntwortOnOff, "btPanelAntwortOnOff"}};
    for (const auto& [act, name] : buttons) {
        auto* b = dynamic_cast<TActionButton*>(Area().PanelButton(act));
        ASSERT_NE(b, nullptr) << name;
        EXPECT_EQ(b->objectName(), QString::fromLatin1(name));
        EXPECT_EQ(b->Action(), W->Action(act)) << name;
    }
    // sending from a protocol is possible while master: its button works
    // only in the working master group
    QToolButton* send = Area().PanelButton(TAct::acSendFromProtocoll);
    Device(kIdleBus);
    EXPECT_TRUE(W->Action(TAct::acSendFromProtocoll)->isEnabled());
    EXPECT_FALSE(send->isEnabled()) << "the master group is off";
    Device(kMaster);
    EXPECT_TRUE(send->isEnabled());
    Device(kOffline);
    EXPECT_FALSE(send->isEnabled());
    EXPECT_EQ(Area().Group("Direct")->title(), QStringLiteral("Direkteingabe"));
}

TEST(ActionButton, FollowsItsActionAndTriggersIt) {
    QAction a(QStringLiteral("&Schalter"));
    a.setCheckable(true);
    a.setToolTip(QStringLiteral("Schaltet etwas"));
    int triggered = 0;
    QObject::connect(&a, &QAction::triggered, [&] { ++triggered; });
    TActionButton b(&a);
    EXPECT_EQ(b.text(), QStringLiteral("Schalter")) << "no picture: the caption";
    EXPECT_TRUE(b.toolTip().contains(QStringLiteral("Schaltet etwas")));
    b.click();
    EXPECT_EQ(triggered, 1);
    EXPECT_TRUE(a.isChecked());
    EXPECT_TRUE(b.isChecked());
    a.setChecked(false);
    EXPECT_FALSE(b.isChecked());
    a.setEnabled(false);
    EXPECT_FALSE(b.isEnabled());
    b.click();
    EXPECT_EQ(triggered, 1) << "a disabled action does not run";
}

TEST_F(ModeAreaTest, TheActiveFileLinesAndTheirColours) {
    using P = TZK_PatternStyle;
    const auto look = [](QWidget* w) { return static_cast<P>(w->property("zkPattern").toInt()); };
    const QString protocol = QString::fromStdString(Dir / "Fahrt.PRO.CSV");
    const QString calls = QString::fromStdString(Dir / "Linie 7.AUF.CSV");
    const QString answers = QString::fromStdString(Dir / "Anzeigen.ANT.CSV");

    Device(kMaster);
    Area().SetActiveCallList(calls);
    Area().SetActiveProtocol(protocol);
    EXPECT_EQ(Area().ActiveLine(1)->FullText(), QStringLiteral("Fahrt.PRO.CSV"))
        << "the protocol by its name";
    EXPECT_EQ(Area().ActiveLine(0)->FullText(), QDir::toNativeSeparators(calls))
        << "a list by its path";
    EXPECT_EQ(Area().ActiveProtocol(), protocol);
    EXPECT_EQ(look(Area().ActiveLine(0)), P::psActive);
    EXPECT_EQ(look(Area().ActiveLine(1)), P::psActive);
    EXPECT_TRUE(Area().FixDelayBox()->isEnabled()) << "a protocol is being sent";
    Area().SetActiveProtocol(QString());
    EXPECT_EQ(look(Area().ActiveLine(1)), P::psEnabled) << "no file: the normal colour";
    EXPECT_TRUE(Area().ActiveLine(1)->text().isEmpty());

    // the type-ahead detail button follows the text while the field works
    Input()->setCurrentText(QStringLiteral("zA1"));
    EXPECT_EQ(W->DirectInputBox()->DetailButton()->text(), QStringLiteral("DS 003a ..."));
    TBalloonHint::CloseCurrent();

    // leaving master mode empties the master group's lines
    Area().SetActiveProtocol(protocol);
    Device(kIdleBus);
    EXPECT_TRUE(Area().ActiveLine(0)->FullText().isEmpty());
    EXPECT_TRUE(Area().ActiveLine(1)->FullText().isEmpty());
    EXPECT_TRUE(Area().ActiveProtocol().isEmpty());
    EXPECT_EQ(look(Area().ActiveLine(0)), P::psEnabled);
    EXPECT_EQ(W->DirectInputBox()->DetailButton()->text(), QStringLiteral("Detaileingabe ..."))
        << "no record type while the field is off";

    Area().SetActiveResponseList(answers);
    EXPECT_EQ(Area().ActiveLine(2)->FullText(), QDir::toNativeSeparators(answers));
    EXPECT_EQ(look(Area().ActiveLine(2)), P::psActive);
    Device(kOffline);
    EXPECT_TRUE(Area().ActiveLine(2)->FullText().isEmpty()) << "the slave group went off";
    EXPECT_EQ(look(Area().ActiveLine(2)), P::psEnabled);
}

TEST(ElidedLabel, LeavesOutTheMiddleOfALongText) {
    TElidedLabel l;
    const QString path =
        QStringLiteral("/home/technik/Messungen/2024/Linie 7/Fahrt am Morgen.PRO.CSV");
    l.SetFullText(path);
    l.resize(l.sizeHint());
    l.show();
    EXPECT_EQ(l.text().toStdString(), path.toStdString()) << "room for all of it";
    l.resize(l.sizeHint().width() / 2, l.height());
    EXPECT_NE(l.text().toStdString(), path.toStdString());
    EXPECT_TRUE(l.text().contains(QChar(0x2026)));
    EXPECT_TRUE(l.text().endsWith(QStringLiteral("PRO.CSV"))) << l.text().toStdString();
    EXPECT_TRUE(l.text().startsWith(QStringLiteral("/home")));
    EXPECT_EQ(l.toolTip(), path);
}

TEST_F(ModeAreaTest, AfterEnterTheFocusStaysInTheDirectInput) {
    Device(kMaster);
    QLineEdit* edit = Input()->lineEdit();
    edit->setFocus();
    ASSERT_TRUE(WaitFor([&] { return edit->hasFocus(); }));
    Input()->setCurrentText(QStringLiteral("u"));
    EXPECT_EQ(W->DirectInputBox()->CheckLabel()->text(), QStringLiteral("Syntaxfehler"));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(edit, &enter);
    ASSERT_NE(W->Monitor(), nullptr) << "the send opens the monitor";
    // "u" went out with the time of day; the check speaks of what the field shows
    EXPECT_EQ(Input()->currentText().size(), 5);
    EXPECT_EQ(W->DirectInputBox()->CheckLabel()->text(), QStringLiteral("Fehlerfrei"));
    EXPECT_TRUE(edit->hasFocus()) << "what is typed next belongs to the field";
    ASSERT_TRUE(WaitFor([&] { return W->DirectInputBox()->SendButton()->isEnabled(); }));
    EXPECT_TRUE(edit->hasFocus()) << "and still after the send button works again";

    // a click leaves the focus on the button
    Input()->setCurrentText(QStringLiteral("l001"));
    W->DirectInputBox()->SendButton()->click();
    ASSERT_TRUE(WaitFor([&] { return W->DirectInputBox()->SendButton()->isEnabled(); }));
    EXPECT_TRUE(W->DirectInputBox()->SendButton()->hasFocus());
}

// A double click on the text field offers the master record types'
// examples; their list opens after the click, not inside its event.
TEST_F(ModeAreaTest, DoubleClickOffersTheExamplesAfterItsEvent) {
    Device(kMaster);
    QLineEdit* edit = Input()->lineEdit();
    bool inClick = false, openedInClick = false;
    QString first;
    QTimer watch;
    watch.setInterval(0);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) return;
        openedInClick = openedInClick || inClick;
        if (menu->actions().isEmpty()) return;
        first = menu->actions().first()->text();
        menu->setActiveAction(menu->actions().first());
        QTest::keyClick(menu, Qt::Key_Return);
    });
    watch.start();
    inClick = true;
    QTest::mouseDClick(edit, Qt::LeftButton, {}, edit->rect().center());
    inClick = false;
    EXPECT_FALSE(openedInClick) << "the list ran inside the double click";
    ASSERT_TRUE(WaitFor([&] { return !first.isEmpty() && Input()->currentText() == first; }))
        << first.toStdString();
    watch.stop();
    EXPECT_FALSE(openedInClick);
}

TEST_F(ModeAreaTest, TheArrowsStepTheFactorBelowOne) {
    Device(kMaster);
    Area().SetFactorEnabled(true);
    QSpinBox* factor = Area().FactorField();
    Area().FixDelayBox()->setChecked(true);
    ASSERT_TRUE(factor->isEnabled());
    ASSERT_EQ(factor->value(), 1);
    const std::pair<int, int> down[] = {{0, 1},   {-1, -1}, {-2, -2}, {-3, -3},
                                        {-4, -4}, {-5, -5}, {-5, -5}};
    for (const auto& [shown, setting] : down) {
        factor->stepDown();
        EXPECT_EQ(factor->value(), shown);
        EXPECT_EQ(Env.ProtocolSendDelay(), setting) << "0 is stored as 1";
    }
    for (int k = 0; k < 20; ++k)
        factor->stepUp();
    EXPECT_EQ(factor->value(), 10);
    EXPECT_EQ(Env.ProtocolSendDelay(), 10);
    Area().FixDelayBox()->setChecked(false);
    EXPECT_EQ(Env.ProtocolSendDelay(), 1);
    EXPECT_FALSE(factor->isEnabled());
}

// The sentence beside the send-delay box looks usable while the box is, and
// a click on it sets the mark, as on any check box's caption.
TEST_F(ModeAreaTest, AClickOnTheSendDelaySentenceSetsTheMark) {
    Device(kMaster);
    Area().SetFactorEnabled(true); // an opened protocol may be sent
    QWidget* sentence = nullptr;
    for (QWidget* w : Area().findChildren<QWidget*>()) {
        const QVariant text = w->property("text");
        if (text.toString() == QStringLiteral("Sendeabstand der Telegramme um Faktor"))
            sentence = w;
    }
    ASSERT_NE(sentence, nullptr);
    QCheckBox* box = Area().FixDelayBox();
    ASSERT_FALSE(box->isChecked());
    EXPECT_TRUE(sentence->isEnabled()) << "the sentence does not look disabled";
    EXPECT_FALSE(Area().FactorField()->isEnabled()) << "the field follows the mark";
    QTest::mouseClick(sentence, Qt::LeftButton, {},
                      QPoint(sentence->width() - 8, sentence->height() / 2));
    EXPECT_TRUE(box->isChecked());
    EXPECT_TRUE(Area().FactorField()->isEnabled());
    Area().FactorField()->setValue(3);
    EXPECT_EQ(Env.ProtocolSendDelay(), 3);
    QTest::mouseClick(sentence, Qt::LeftButton, {},
                      QPoint(sentence->width() - 8, sentence->height() / 2));
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(Env.ProtocolSendDelay(), 1);
    Area().SetFactorEnabled(false);
    EXPECT_FALSE(sentence->isEnabled()) << "nothing to send: no factor";
}

TEST_F(ModeAreaTest, TheBusTypeAsksOnlyOnTheWayToTheTrainBus) {
    Device(kVehicleBus);
    QToolButton* bus = Area().BusTypeButton();
    ASSERT_EQ(Env.BusType(), TBusType::bsVehicleBus);
    {
        TAutoAnswer no(QMessageBox::No);
        bus->click();
        EXPECT_EQ(no.Count, 1);
        EXPECT_EQ(Env.BusType(), TBusType::bsVehicleBus) << "No keeps the vehicle bus";
    }
    TAutoAnswer yes(QMessageBox::Yes);
    bus->click();
    EXPECT_EQ(yes.Count, 1);
    EXPECT_EQ(yes.LastText,
              QStringLiteral("Bitte beachten Sie, dass im Zugbusbetrieb andere IBIS-Telegramme "
                             "gelten, als im Wagenbusbetrieb.\nWenn Ihr Tavrin an einen "
                             "IBIS-Wagenbus angeschlossen ist, die Vaskel-Software jedoch im "
                             "Modus \"Zugbus\" arbeitet, werden die meisten Telegramme als "
                             "fehlerhaft gemeldet werden.\nWollen Sie wirklich umschalten?"));
    EXPECT_EQ(Env.BusType(), TBusType::bsTrainBus);
    EXPECT_EQ(bus->text(), QStringLiteral("Zugbus"));
    bus->click();
    EXPECT_EQ(yes.Count, 1) << "back to the vehicle bus without a question";
    EXPECT_EQ(Env.BusType(), TBusType::bsVehicleBus);
    EXPECT_EQ(bus->text(), QStringLiteral("Wagenbus"));
}

TEST_F(ModeAreaTest, TheMasterSlaveTipComesOnceAndNotFromTheSwitchButton) {
    Device(kIdleBus);
    // the switch button is the tip's subject: clicking it means the tip is known
    Area().SwitchButton()->click();
    EXPECT_TRUE(Env.HintGiven(THint::MasterSlaveHintGiven));
    Area().ShowMasterSwitchHint();
    EXPECT_EQ(TBalloonHint::Current(), nullptr);

    Env.SetHintGiven(THint::MasterSlaveHintGiven, false);
    Area().ShowMasterSwitchHint(); // what the menu's "Master ein" leads to
    TBalloonHint* tip = TBalloonHint::Current();
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(tip->Title(), QStringLiteral("Tipp"));
    EXPECT_EQ(
        tip->Text(),
        QStringLiteral("Sie können auch hier zwischen dem Master- und Slavemode umschalten."));
    EXPECT_EQ(tip->Anchor(), Area().SwitchButton());
    EXPECT_EQ(tip->TimeoutMs(), 7000);
    EXPECT_TRUE(Env.HintGiven(THint::MasterSlaveHintGiven));
    TBalloonHint::CloseCurrent();
    Area().ShowMasterSwitchHint();
    EXPECT_EQ(TBalloonHint::Current(), nullptr) << "once";
}

TEST_F(ModeAreaTest, TheOverloadWarningLastsAsLongAsTheOverload) {
    TState overloaded = kMaster;
    overloaded.Overloaded = true;
    Device(overloaded);
    TBalloonHint* w = Area().OverloadWarning();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Title(), QStringLiteral("Warnung"));
    EXPECT_TRUE(
        w->Text().startsWith(QStringLiteral("Es liegt ein Kurzschluss auf dem Wagenbus vor.\n")));
    EXPECT_EQ(w->TimeoutMs(), 0) << "no time limit";
    EXPECT_EQ(w->Anchor(), static_cast<QWidget*>(Area().Led("Overload")));
    Device(overloaded); // a further status report: still the one warning
    EXPECT_EQ(Area().OverloadWarning(), w);
    Device(kMaster);
    EXPECT_EQ(Area().OverloadWarning(), nullptr) << "the overload has cleared";
    EXPECT_EQ(TBalloonHint::Current(), nullptr);

    // in slave mode the device resets itself: no warning
    TState slave = kIdleBus;
    slave.Overloaded = true;
    Device(slave);
    EXPECT_EQ(Area().OverloadWarning(), nullptr);
    // another balloon is not closed by the end of an overload
    Env.SetHintGiven(THint::MasterSlaveHintGiven, false);
    Area().ShowMasterSwitchHint();
    Device(kIdleBus);
    EXPECT_NE(TBalloonHint::Current(), nullptr);
}

// Every text of the area fits its place: nothing is cut off.
TEST_F(ModeAreaTest, TheTextsFitAt1024x768AndLarger) {
    const auto check = [&](const char* where) {
        Settle();
        for (QWidget* w : Area().findChildren<QWidget*>()) {
            if (!w->isVisible() || dynamic_cast<TElidedLabel*>(w)) continue;
            const QString name =
                w->objectName().isEmpty() ? w->metaObject()->className() : w->objectName();
            QString text;
            if (auto* l = qobject_cast<QLabel*>(w))
                text = l->text();
            else if (auto* b = qobject_cast<QAbstractButton*>(w))
                text = b->text();
            else if (!qobject_cast<QGroupBox*>(w))
                continue;
            SCOPED_TRACE(std::string(where) + ", " + name.toStdString() + ": " +
                         text.toStdString());
            QSize hint = w->sizeHint();
            // a push button asks for a least width of its own; its text
            // and frame are what must fit
            if (qobject_cast<QPushButton*>(w))
                hint.setWidth(w->fontMetrics().horizontalAdvance(text) + 8);
            // a text that wraps on a narrow screen: its lines at the width it has
            if (auto* l = qobject_cast<QLabel*>(w); l && l->wordWrap())
                hint = QSize(w->width(), l->heightForWidth(w->width()));
            EXPECT_LE(hint.width(), w->width());
            EXPECT_LE(hint.height(), w->height());
            // inside the area
            const QRect r(w->mapTo(&Area(), QPoint(0, 0)), w->size());
            EXPECT_TRUE(Area().rect().contains(r));
        }
    };
    for (const QSize size : {QSize(1024, 768), QSize(1920, 1080)}) {
        W->resize(size);
        for (bool english : {false, true}) {
            if (english) English();
            const std::string where = std::to_string(size.width()) + (english ? " en" : " de");
            Device(kUnpowered); // the most warning lines
            check((where + ", no power").c_str());
            Device(kIdleBus);
            check((where + ", idle bus").c_str());
            Device(kMaster);
            Area().SetFactorEnabled(true);
            Area().FixDelayBox()->setChecked(true);
            // the verdicts and the captions of the detail button
            for (const char* typed : {"qqq", "l0", "zA1", "zI1", "aL"}) {
                Input()->setCurrentText(QString::fromLatin1(typed));
                TBalloonHint::CloseCurrent();
                check((where + ", master, " + typed).c_str());
            }
            Area().FixDelayBox()->setChecked(false);
        }
        for (QAction* a : W->findChildren<QAction*>())
            if (a->text() == QStringLiteral("Deutsch")) a->trigger();
    }
}

} // namespace
} // namespace vaskel
