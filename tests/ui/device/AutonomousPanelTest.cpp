// The autonomous-recording bar on the virtual Tavrin: the device records
// the bus alone, and its recording is read out into the live monitor.

#include "ui/device/AutonomousPanel.h"
#include "ui/device/DeviceWindows.h"

#include "ui/main/MainFormFixture.h"

#include <QPlainTextEdit>
#include <QToolButton>

namespace vaskel {
namespace {

using AutonomousPanelTest = MainWindowTest;

QString Shown(const char* cp1252, uint32_t n = 0) {
    QString t = FromCp1252(cp1252);
    return n ? t.replace(QStringLiteral("%d"), QString::number(n)) : t;
}

TEST_F(AutonomousPanelTest, RecordsAloneAndReadsOutIntoTheMonitor) {
    std::filesystem::create_directories(Env.DataDirectory()); // the monitor's safety copy
    Start(TScenario::Vehicle);
    // however the test ends, the monitor's rows are not saved
    struct TCloseWithoutSaving {
        std::unique_ptr<TfMainForm>& W;
        ~TCloseWithoutSaving() {
            TAutoAnswer no(QMessageBox::No);
            W->close();
            W.reset();
        }
    } closing{W};
    TDeviceWindows* dw = W->DeviceWindows();
    ASSERT_NE(dw, nullptr);
    EXPECT_TRUE(dw->PanelBar()->isHidden()) << "hidden until asked for";
    TAutonomousPanel* panel = dw->Panel();
    ASSERT_TRUE(WaitFor([&] { return W->Action(TAct::actShowOfflineMode)->isEnabled(); }));
    W->Action(TAct::actShowOfflineMode)->trigger();
    EXPECT_FALSE(dw->PanelBar()->isHidden());
    ASSERT_TRUE(WaitFor([&] {
        return panel->ModeField()->text() == Shown(AutonomousTexts::kModeInactive);
    }));
    EXPECT_EQ(panel->CountField()->text(), Shown(AutonomousTexts::kCountNone));
    EXPECT_TRUE(panel->isEnabled());
    EXPECT_TRUE(W->Action(TAct::actOfflineModeToogle)->isEnabled());
    EXPECT_FALSE(W->Action(TAct::actOfflineModeStop)->isEnabled());
    EXPECT_TRUE(W->Action(TAct::actOfflineDataGet)->isEnabled());

    {
        TAutoAnswer ok(QMessageBox::Ok);
        W->Action(TAct::actOfflineModeToogle)->trigger();
        EXPECT_EQ(ok.Count, 1);
        EXPECT_TRUE(ok.LastText.startsWith(QStringLiteral("Der autonome Modus ist aktiviert.")));
    }
    ASSERT_TRUE(WaitFor([&] {
        return panel->ModeField()->text() == Shown(AutonomousTexts::kModeActive);
    }));
    EXPECT_TRUE(Usb->WithDevice([](TVirtualTavrin& d) { return d.Recording(); }));
    EXPECT_FALSE(W->Action(TAct::actOfflineModeToogle)->isEnabled());
    EXPECT_TRUE(W->Action(TAct::actOfflineModeStop)->isEnabled());
    EXPECT_FALSE(W->Action(TAct::actOfflineDataGet)->isEnabled());
    EXPECT_FALSE(W->Action(TAct::actOfflineModeErase)->isEnabled());

    // the bus runs; nothing records on the PC, the device does
    ASSERT_EQ(W->Monitor(), nullptr);
    for (int k = 0; k < 40; ++k)
        Usb->Advance(100);
    const uint32_t stored = Usb->WithDevice([](TVirtualTavrin& d) { return d.RecordCount(); });
    ASSERT_GT(stored, 10u);
    // asked every second while recording: the field comes to the device's count
    ASSERT_TRUE(WaitFor([&] {
        return panel->CountField()->text() == Shown(AutonomousTexts::kCountSome, stored);
    }));

    {
        TAutoAnswer yes(QMessageBox::Yes);
        W->Action(TAct::actOfflineModeStop)->trigger();
        EXPECT_EQ(yes.Count, 1);
        EXPECT_TRUE(yes.LastText.contains(QStringLiteral("herunterladen")));
    }
    ASSERT_NE(W->Monitor(), nullptr) << "the read-out opens the monitor";
    ASSERT_TRUE(WaitFor([&] { return S->Recorder().RowCounter() >= static_cast<int>(stored); }));
    QTest::qWait(300);
    EXPECT_EQ(S->Recorder().RowCounter(), static_cast<int>(stored))
        << "every stored data set, and nothing else, arrives as a row";
    EXPECT_FALSE(Usb->WithDevice([](TVirtualTavrin& d) { return d.Recording(); }));
    ASSERT_TRUE(WaitFor([&] {
        return panel->ModeField()->text() == Shown(AutonomousTexts::kModeInactive);
    }));

    {
        TAutoAnswer ok(QMessageBox::Ok);
        W->Action(TAct::actOfflineModeErase)->trigger();
        EXPECT_EQ(ok.LastText, QStringLiteral("Alle aufgezeichneten Daten wurden gelöscht."));
    }
    ASSERT_TRUE(WaitFor([&] {
        return panel->CountField()->text() == Shown(AutonomousTexts::kCountNone);
    }));

    // offline the bar is disabled
    Usb->SetPlugged(false);
    ASSERT_TRUE(WaitFor([&] { return !panel->isEnabled(); }));
    EXPECT_FALSE(W->Action(TAct::actOfflineModeToogle)->isEnabled());
    EXPECT_FALSE(W->Action(TAct::actShowOfflineMode)->isEnabled());
}

TEST_F(AutonomousPanelTest, WindowsOfTheDiagnosticsMenuExistOnce) {
    Start(TScenario::Vehicle);
    TDeviceWindows* dw = W->DeviceWindows();
    W->Action(TAct::actCommunicationWindow)->trigger();
    TfCommunicationForm* first = dw->Communication();
    ASSERT_NE(first, nullptr);
    W->Action(TAct::actCommunicationWindow)->trigger();
    EXPECT_EQ(dw->Communication(), first);
    // the device's polling shows in both directions
    ASSERT_TRUE(WaitFor([&] {
        bool in = false, out = false;
        for (const auto& r : first->Model().Log().Rows()) {
            in |= r.Side == TTrafficSide::Received;
            out |= r.Side == TTrafficSide::Sent && r.Text == "<A0>";
        }
        return in && out;
    }));
    first->close();
    ASSERT_TRUE(WaitFor([&] { return dw->Communication() == nullptr; }));

    W->Action(TAct::actDebugWindow)->trigger();
    W->Action(TAct::actDeviceMessageWindow)->trigger();
    ASSERT_NE(dw->Debug(), nullptr);
    ASSERT_NE(dw->DeviceMessages(), nullptr);
    EXPECT_NE(static_cast<QWidget*>(dw->Debug()), static_cast<QWidget*>(dw->DeviceMessages()));
    ASSERT_TRUE(WaitFor([&] {
        return dw->Debug()->Log()->toPlainText().contains(QStringLiteral("Send request."));
    })) << "the controller's trace lines";
}

// In a main window 900 pixels wide every button of the bar shows its whole
// text, inside the bar; 1024 wide the three columns fit again.
TEST_F(AutonomousPanelTest, ButtonsShowTheirWholeTextsInANarrowWindow) {
    Start(TScenario::Vehicle);
    TDeviceWindows* dw = W->DeviceWindows();
    ASSERT_TRUE(WaitFor([&] { return W->Action(TAct::actShowOfflineMode)->isEnabled(); }));
    W->Action(TAct::actShowOfflineMode)->trigger();
    TAutonomousPanel* panel = dw->Panel();
    for (const int width : {900, 1024}) {
        W->resize(width, 700);
        QApplication::processEvents();
        QApplication::processEvents();
        ASSERT_GT(panel->width(), 0);
        for (QToolButton* b : panel->Buttons()) {
            EXPECT_GE(b->width(), b->sizeHint().width())
                << width << " " << b->text().toStdString();
            const QRect r(b->mapTo(W.get(), QPoint(0, 0)), b->size());
            EXPECT_TRUE(W->rect().contains(r)) << width << " " << b->text().toStdString()
                                               << " right edge " << r.right();
        }
        if (width == 1024) EXPECT_EQ(panel->ButtonColumns(), 3);
    }
}

} // namespace
} // namespace vaskel
