// The main window on Qt's offscreen platform, on the virtual Tavrin.

#include "ui/main/MainFormFixture.h"

#include "lists/ListFiles.h"

#include <QGuiApplication>
#include <QFileDialog>
#include <QProgressDialog>
#include <QScreen>
#include <QWindow>
#include <atomic>
#include <future>

namespace vaskel {
namespace {

TEST_F(MainWindowTest, VehicleBusShowsAMasterAndNoSwitch) {
    Start(TScenario::Vehicle);
    ASSERT_TRUE(WaitFor([&] { return W->Session().Status().DeviceOnline(); }));
    ASSERT_TRUE(WaitFor([&] { return W->ModeArea()->Led("Ein")->On(); }));
    EXPECT_TRUE(W->ModeArea()->Led("WBSD")->On());
    EXPECT_TRUE(W->ModeArea()->Led("WBED")->On());
    EXPECT_FALSE(W->ModeArea()->Led("Master")->On());
    EXPECT_FALSE(W->Action(TAct::acMasterOnOff)->isEnabled());
    EXPECT_FALSE(W->ModeArea()->MasterDetectedLabel()->isHidden());
    EXPECT_TRUE(W->ModeArea()->WarningPanel()->isHidden());
    EXPECT_TRUE(W->ModeArea()->Group("Slave")->isEnabled());
    ASSERT_TRUE(WaitFor([&] {
        return W->StatusPanel(1)->text() ==
               QStringLiteral("Firmware-Version: Tavrin V2.14 (Emulator)");
    }));
    EXPECT_TRUE(W->Action(TAct::acShowHardwarerevision)->isEnabled());
}

TEST_F(MainWindowTest, IdleBusSwitchesToMasterAndBack) {
    Start(TScenario::Idle);
    ASSERT_TRUE(WaitFor([&] { return W->Action(TAct::acMasterOnOff)->isEnabled(); }));
    EXPECT_EQ(W->Action(TAct::acMasterOnOff)->text(), QStringLiteral("Master ein"));
    EXPECT_FALSE(W->ModeArea()->WarningPanel()->isHidden()) << "no voltage on the lines";
    EXPECT_FALSE(W->ModeArea()->WarningLine(0)->isHidden());
    W->Action(TAct::acMasterOnOff)->trigger();
    ASSERT_TRUE(WaitFor([&] { return W->ModeArea()->Led("Master")->On(); }));
    EXPECT_EQ(W->Action(TAct::acMasterOnOff)->text(), QStringLiteral("Master aus"));
    EXPECT_TRUE(W->Action(TAct::acMasterOnOff)->isChecked());
    EXPECT_EQ(W->Session().Connection().Controller()->Mode(), 1);
    W->Action(TAct::acMasterOnOff)->trigger();
    ASSERT_TRUE(WaitFor([&] { return !W->ModeArea()->Led("Master")->On(); }));
    EXPECT_TRUE(Env.HintGiven(THint::MasterSlaveHintGiven));
}

TEST_F(MainWindowTest, DirectInputSendsThroughTheMonitorsScheduler) {
    Start(TScenario::Idle);
    ASSERT_TRUE(WaitFor([&] { return W->Action(TAct::acMasterOnOff)->isEnabled(); }));
    W->Action(TAct::acMasterOnOff)->trigger();
    ASSERT_TRUE(WaitFor([&] { return W->ModeArea()->Led("Master")->On(); }));

    W->DirectInputBox()->Input()->setCurrentText(QStringLiteral("u0730"));
    EXPECT_EQ(W->DirectInputBox()->CheckLabel()->text(), QStringLiteral("Fehlerfrei"));
    W->DirectInputBox()->Input()->setCurrentText(QStringLiteral("u07"));
    EXPECT_EQ(W->DirectInputBox()->CheckLabel()->text(), QStringLiteral("Syntaxfehler"));

    // the record types with a composer of their own: warned once
    W->DirectInputBox()->Input()->setCurrentText(QString());
    QTest::keyClicks(W->DirectInputBox()->Input()->lineEdit(), QStringLiteral("zA1"));
    EXPECT_EQ(W->DirectInputBox()->DetailButton()->text(), QStringLiteral("DS 003a ..."));
    EXPECT_TRUE(W->DirectInputBox()->LastWarning().startsWith(
        QStringLiteral("Sie sollten die Datensätze")));
    EXPECT_TRUE(Env.HintGiven(THint::DS003aHintGiven));
    W->DirectInputBox()->Input()->setCurrentText(QString());
    EXPECT_EQ(W->DirectInputBox()->DetailButton()->text(), QStringLiteral("Detaileingabe ..."));

    // Ctrl + digits: the character with that code
    W->DirectInputBox()->Input()->setCurrentText(QStringLiteral("l00"));
    for (Qt::Key key : {Qt::Key_4, Qt::Key_9}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::ControlModifier);
        QApplication::sendEvent(W->DirectInputBox()->Input()->lineEdit(), &press);
    }
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Control, Qt::NoModifier);
    QApplication::sendEvent(W->DirectInputBox()->Input()->lineEdit(), &release);
    EXPECT_EQ(W->DirectInputBox()->Input()->currentText(), QStringLiteral("l001"));

    // "u" goes out with the time of day, and the history keeps what was sent
    W->DirectInputBox()->Input()->setCurrentText(QStringLiteral("u"));
    const TDateTime now = TSystemClock().Now();
    W->DirectInputBox()->SendButton()->click();
    ASSERT_NE(W->Monitor(), nullptr) << "sending opens the monitor";
    const QString sent = W->DirectInputBox()->Input()->itemText(0);
    EXPECT_TRUE(sent.startsWith(QStringLiteral("u")));
    EXPECT_EQ(sent.size(), 5);
    EXPECT_EQ(sent.mid(1, 2).toInt(), now.Hour);
    TfMonitorForm* m = W->Monitor();
    ASSERT_TRUE(WaitFor([&] {
        Usb->Advance(20);
        for (int r = 0; r < m->Recorder().RowCounter(); ++r)
            if (m->Recorder().Table().Cell(pcTelegram, r).substr(0, 5) == ToCp1252(sent))
                return true;
        return false;
    })) << "the device's echo of the telegram is recorded";
    EXPECT_EQ(Env.Aufrufe(), ToCp1252(sent));
    EXPECT_FALSE(W->DirectInputBox()->SendButton()->isEnabled()) << "blocked for half a second";
    ASSERT_TRUE(WaitFor([&] { return W->DirectInputBox()->SendButton()->isEnabled(); }));
    m->Recorder().Table().Modified = false;
}

TEST_F(MainWindowTest, SendDelayFactor) {
    Start(TScenario::Unpowered);
    QCheckBox* box = W->ModeArea()->FixDelayBox();
    QSpinBox* factor = W->ModeArea()->FactorField();
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(Env.ProtocolSendDelay(), 1);
    box->setEnabled(true);
    box->setChecked(true);
    factor->setValue(2);
    EXPECT_EQ(Env.ProtocolSendDelay(), 2);
    factor->setValue(-7);
    EXPECT_EQ(factor->value(), -5) << "clamped";
    EXPECT_EQ(Env.ProtocolSendDelay(), -5);
    factor->setValue(0);
    EXPECT_EQ(Env.ProtocolSendDelay(), 1) << "no factor 0";
    factor->setValue(3);
    box->setChecked(false);
    EXPECT_EQ(Env.ProtocolSendDelay(), 1) << "unchecked: 1 whatever the field shows";
    EXPECT_FALSE(factor->isEnabled());
}

TEST_F(MainWindowTest, UnplugAndReplug) {
    Start(TScenario::Vehicle);
    ASSERT_TRUE(WaitFor([&] { return W->ModeArea()->Led("Ein")->On(); }));
    Usb->SetPlugged(false);
    ASSERT_TRUE(WaitFor([&] { return !W->ModeArea()->Led("Ein")->On(); }));
    EXPECT_FALSE(W->ModeArea()->Group("Device")->isEnabled());
    EXPECT_FALSE(W->Action(TAct::acAufzeichnen)->isEnabled()) << "no device: nothing to record";
    EXPECT_FALSE(W->Action(TAct::acSendFromProtocoll)->isEnabled());
    Usb->SetPlugged(true);
    ASSERT_TRUE(WaitFor([&] { return W->ModeArea()->Led("Ein")->On(); }));
}

TEST_F(MainWindowTest, DroppedFilesAndViewToggles) {
    Start(TScenario::Unpowered);
    const std::pair<const char*, TDroppedKind> kinds[] = {{"a.PRO.CSV", TDroppedKind::Protocol},
                                                          {"b.pro.csv", TDroppedKind::Protocol},
                                                          {"c.Ant.Csv", TDroppedKind::ResponseList},
                                                          {"d.AUF.CSV", TDroppedKind::CallList},
                                                          {"e.CSV", TDroppedKind::None},
                                                          {"PRO.CSV", TDroppedKind::None}};
    for (const auto& [name, kind] : kinds)
        EXPECT_EQ(DroppedFileKind(QString::fromLatin1(name)), kind) << name;

    W->Action(TAct::actHideAll)->trigger();
    EXPECT_TRUE(W->MainToolBar()->isHidden());
    EXPECT_FALSE(W->Action(TAct::actShowHideModeArea)->isChecked());
    EXPECT_FALSE(W->Action(TAct::actShowHideProtocolToolbar)->isChecked());
    W->Action(TAct::actShowAll)->trigger();
    EXPECT_FALSE(W->MainToolBar()->isHidden());
    EXPECT_TRUE(W->Action(TAct::actShowHideModeArea)->isChecked());
    W->Action(TAct::actShowAll)->trigger(); // all shown: nothing changes
    EXPECT_TRUE(W->Action(TAct::actShowHideMainToolbar)->isChecked());
    EXPECT_FALSE(W->Action(TAct::acWindowCloseAll)->isEnabled()) << "no child window";

    // lists open in their editors; of several files only the first counts
    const QString list = QString::fromStdString(
        Dir.Write("c.ant.csv", std::string(kAntwortHeader) + "\r\n-1;\"a1\";\"a17\";0\r\n"));
    const QString calls = QString::fromStdString(
        Dir.Write("a.AUF.CSV", std::string(kAufrufHeader) + "\r\n-1;\"a1\";\"\";\"0:10\"\r\n"));
    EXPECT_EQ(W->DropFiles({list, calls, QStringLiteral("/x/b.PRO.CSV")}),
              TDroppedKind::ResponseList);
    ASSERT_EQ(W->Area()->Windows().size(), 1) << "only the first file counts";
    EXPECT_EQ(W->Area()->Windows()[0]->FileName(), list);
    EXPECT_EQ(W->DropFiles({QStringLiteral("/x/notes.txt")}), TDroppedKind::None);
    EXPECT_EQ(W->Area()->Windows().size(), 1);
    EXPECT_TRUE(Opened.empty());
}

TEST_F(MainWindowTest, ColourSchemes) {
    Start(TScenario::Vehicle);
    QToolButton* bus = W->findChild<QToolButton*>(QStringLiteral("btBusType"));
    ASSERT_NE(bus, nullptr);
    EXPECT_FALSE(bus->styleSheet().isEmpty()) << "the program's own colours";
    W->Action(TAct::acUseWindowsPattern)->trigger();
    EXPECT_TRUE(Env.UseWindowsColorSchema());
    EXPECT_TRUE(bus->styleSheet().isEmpty()) << "the desktop's colours";
    EXPECT_FALSE(W->Action(TAct::acUseZKPattern)->isChecked());
    W->Action(TAct::acUseZKPattern)->trigger();
    EXPECT_FALSE(Env.UseWindowsColorSchema());
    EXPECT_FALSE(bus->styleSheet().isEmpty());
}

TEST_F(MainWindowTest, LanguageSwitchesAtRunTime) {
    Start(TScenario::Idle);
    ASSERT_TRUE(WaitFor([&] { return W->Action(TAct::acMasterOnOff)->isEnabled(); }));
    EXPECT_EQ(W->ModeArea()->Group("Master")->title(), QStringLiteral("Master Modus"));
    W->OpenMonitor();
    W->Monitor()->Recorder().SafetyCopy = false;
    ASSERT_FALSE(W->Action(TAct::acAufzeichnen)->isEnabled());
    QAction* english = nullptr;
    for (QAction* a : W->findChildren<QAction*>())
        if (a->text() == QStringLiteral("English")) english = a;
    ASSERT_NE(english, nullptr);
    english->trigger();
    EXPECT_EQ(Env.Language(), 2);
    EXPECT_EQ(W->ModeArea()->Group("Master")->title(), QStringLiteral("Master mode"));
    EXPECT_EQ(W->Action(TAct::acMasterOnOff)->text(), QStringLiteral("Master on"));
    EXPECT_EQ(W->Action(TAct::actHideAll)->text(), QStringLiteral("Hide all"));
    EXPECT_EQ(W->ModeArea()->WarningLine(0)->text(),
              QStringLiteral("There is no voltage on the IBIS send line. (WBSD)"));
    bool menuFound = false;
    for (QMenu* m : W->findChildren<QMenu*>())
        menuFound |= m->title() == QStringLiteral("&File");
    EXPECT_TRUE(menuFound);
    // the switch keeps what the device and the monitor decided
    EXPECT_FALSE(W->Action(TAct::acAufzeichnen)->isEnabled()) << "the monitor is open";
    EXPECT_EQ(W->StatusPanel(0)->text(), QStringLiteral("USB"));
    for (QAction* a : W->findChildren<QAction*>())
        if (a->text() == QStringLiteral("Deutsch")) a->trigger();
    W->Monitor()->Recorder().Table().Modified = false;
    EXPECT_EQ(W->Action(TAct::acMasterOnOff)->text(), QStringLiteral("Master ein"));
    SetUiLanguage(1);
}

// The settings dialog, open modally: the language chosen, then OK clicked.
class TSettingsDriver {
public:
    explicit TSettingsDriver(int languageIndex) {
        FTimer.setInterval(20);
        QObject::connect(&FTimer, &QTimer::timeout, [this, languageIndex] {
            auto* d = dynamic_cast<Tfrm_Einstellungen*>(QApplication::activeModalWidget());
            if (!d || !d->isVisible()) return;
            ++Shown;
            d->cbLanguage->setCurrentIndex(languageIndex);
            QTest::mouseClick(d->btOK, Qt::LeftButton);
        });
        FTimer.start();
    }
    int Shown = 0;

private:
    QTimer FTimer;
};

// A new language in the settings while the monitor records and nothing is
// saved: the program neither ends nor asks, the recording goes on, and the
// windows speak the new language.
TEST_F(MainWindowTest, ALanguageChosenInTheSettingsKeepsTheRecordingRunning) {
    Start(TScenario::Vehicle);
    ASSERT_TRUE(WaitFor([&] { return W->Action(TAct::acAufzeichnen)->isEnabled(); }));
    std::filesystem::create_directories(Env.DataDirectory());
    TfMonitorForm* m = W->OpenMonitor();
    ASSERT_TRUE(WaitFor([&] {
        Usb->Advance(50);
        return m->Recorder().RowCounter() > 0;
    }));
    ASSERT_TRUE(m->Recorder().Table().Modified) << "the recording is not saved";
    TAutoAnswer questions(QMessageBox::Cancel);
    {
        TSettingsDriver settings(1);
        W->Action(TAct::acEinstellungen)->trigger();
        EXPECT_EQ(settings.Shown, 1);
    }
    EXPECT_EQ(questions.Count, 0) << "nothing ends, so nothing is asked";
    EXPECT_EQ(Env.Language(), 2);
    EXPECT_EQ(UiLanguage(), 2);
    EXPECT_EQ(W->Monitor(), m) << "the monitor stays open";
    EXPECT_TRUE(W->isVisible());
    EXPECT_EQ(W->Action(TAct::actHideAll)->text(), QStringLiteral("Hide all"));
    EXPECT_EQ(W->ModeArea()->Group("Master")->title(), QStringLiteral("Master mode"));
    QAction* english = W->findChild<QAction*>(QStringLiteral("actLanguage2"));
    ASSERT_NE(english, nullptr);
    EXPECT_TRUE(english->isChecked()) << "the language menu follows";
    const int rows = m->Recorder().RowCounter();
    EXPECT_TRUE(WaitFor([&] {
        Usb->Advance(50);
        return m->Recorder().RowCounter() > rows;
    })) << "the recording goes on";
    EXPECT_TRUE(m->Recorder().Table().Modified);
    // and back: German again, the recording still there
    TSettingsDriver back(0);
    W->Action(TAct::acEinstellungen)->trigger();
    EXPECT_EQ(Env.Language(), 1);
    EXPECT_EQ(W->Action(TAct::actHideAll)->text(), QStringLiteral("Alles ausblenden"));
    EXPECT_EQ(W->Monitor(), m);
    m->Recorder().Table().Modified = false;
    SetUiLanguage(1);
}

// After the settings' language switch the program ends as always: its
// safety copy goes, and the next start finds nothing to recover.
TEST_F(MainWindowTest, AfterALanguageSwitchAndACleanEndNoRecoveryIsOffered) {
    Start(TScenario::Vehicle);
    ASSERT_TRUE(WaitFor([&] { return W->Action(TAct::acAufzeichnen)->isEnabled(); }));
    std::filesystem::create_directories(Env.DataDirectory());
    TfMonitorForm* m = W->OpenMonitor();
    const std::string copy = m->Recorder().SafetyCopyFile();
    ASSERT_TRUE(WaitFor([&] {
        Usb->Advance(50);
        return std::filesystem::exists(copy);
    })) << "the monitor keeps its safety copy";
    {
        TSettingsDriver settings(1);
        W->Action(TAct::acEinstellungen)->trigger();
    }
    ASSERT_EQ(Env.Language(), 2);
    EXPECT_TRUE(std::filesystem::exists(copy)) << "the recording goes on, with its copy";
    {
        TAutoAnswer save(QMessageBox::No);
        W->close();
        EXPECT_EQ(save.Count, 1) << "the end asks about the unsaved recording";
    }
    W.reset();
    S.reset();
    Usb.reset();
    EXPECT_FALSE(std::filesystem::exists(copy));
    // the next start
    TAutoAnswer offer(QMessageBox::Ok);
    Start(TScenario::Vehicle);
    EXPECT_TRUE(S->Recorder().EarlierCopy().empty()) << "no copy of an earlier run";
    EXPECT_EQ(W->OfferSafetyCopy(), nullptr);
    EXPECT_EQ(offer.Count, 0) << "no recovery offered";
    EXPECT_TRUE(W->Area()->Windows().isEmpty());
    SetUiLanguage(1);
}

// "Fehlerprotokoll erzeugen ...": the report goes to the data folder, and
// the message says which file it is.
TEST_F(MainWindowTest, TheErrorReportSaysWhereItWent) {
    Start(TScenario::Unpowered);
    std::filesystem::create_directories(Env.DataDirectory());
    const std::string file = Env.DataDirectory() + "STATUS.LOG";
    TAutoAnswer answer(QMessageBox::Ok);
    W->Action(TAct::acCreateDebuggerLog)->trigger();
    EXPECT_EQ(answer.Count, 1) << "a message, not silence";
    EXPECT_TRUE(answer.LastText.contains(QDir::toNativeSeparators(QString::fromStdString(file))))
        << answer.LastText.toStdString();
    EXPECT_NE(test::ReadFile(file).find("BEGINN FEHLEREINTRAG"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(Dir / "STATUS.LOG")) << "not in the program's folder";
}

// A protocol of two rows, in the current form.
std::string TwoRowProtocol(const test::TempDir& dir, const std::string& name) {
    return dir.Write(name,
                     "\"M\";\"1\";\"1000\";\"\";\"\";\"l001\r/\";\"\";\"001\";\"\";\"\"\r\n"
                     "\"M\";\"2\";\"1100\";\"\";\"\";\"k07\r\x1E\";\"\";\"002\";\"\";\"\"\r\n");
}

TEST_F(MainWindowTest, DirectSendOpensTheMonitorAndLeavesTheWindowsWhereTheyAre) {
    Start(TScenario::Vehicle);
    ASSERT_TRUE(WaitFor([&] { return W->Action(TAct::acAufzeichnen)->isEnabled(); }));
    TfProtocolForm* p = W->OpenProtocol(QString::fromStdString(TwoRowProtocol(Dir, "a.PRO.CSV")));
    ASSERT_NE(p, nullptr);
    const QRect frame = p->parentWidget()->geometry();
    W->DirectInputBox()->Input()->setCurrentText(QStringLiteral("l001"));
    W->DirectInputBox()->Send();
    ASSERT_NE(W->Monitor(), nullptr) << "sending needs the monitor";
    EXPECT_EQ(p->parentWidget()->geometry(), frame) << "opened, not tiled";
    W->Monitor()->Recorder().Table().Modified = false;
}

TEST_F(MainWindowTest, ShortcutsReachTheirCommands) {
    // the direct input takes text while the device is bus master
    Start(TScenario::Idle);
    ASSERT_TRUE(WaitFor([&] { return W->Action(TAct::acMasterOnOff)->isEnabled(); }));
    W->Action(TAct::acMasterOnOff)->trigger();
    ASSERT_TRUE(WaitFor([&] { return W->DirectInputBox()->Input()->isEnabled(); }));
    QApplication::setActiveWindow(W.get());
    TfProtocolForm* p = W->OpenProtocol(QString::fromStdString(TwoRowProtocol(Dir, "a.PRO.CSV")));
    ASSERT_NE(p, nullptr);
    QTableView* table = p->View();
    QLineEdit* direct = W->DirectInputBox()->Input()->lineEdit();
    QApplication::clipboard()->clear();
    const auto key = PressStandardKey;

    // Ctrl+A and Ctrl+C in a protocol table: every row, then on the clipboard
    key(table, QKeySequence::SelectAll);
    EXPECT_EQ(table->selectionModel()->selectedRows().size(), 2);
    key(table, QKeySequence::Copy);
    EXPECT_TRUE(QApplication::clipboard()->text().contains(QStringLiteral("\"l001")))
        << QApplication::clipboard()->text().toStdString();

    // in a text field the field's own commands, also from the menu
    direct->setText(QStringLiteral("a1"));
    key(direct, QKeySequence::SelectAll);
    EXPECT_EQ(direct->selectedText(), QStringLiteral("a1"));
    key(direct, QKeySequence::Copy);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("a1"));
    direct->setFocus();
    direct->deselect();
    W->Action(TAct::EditSelectAll)->trigger();
    EXPECT_EQ(direct->selectedText(), QStringLiteral("a1")) << "Bearbeiten > Alles markieren";
    W->Action(TAct::EditCut1)->trigger();
    EXPECT_TRUE(direct->text().isEmpty());
    W->Action(TAct::EditPaste1)->trigger();
    EXPECT_EQ(direct->text(), QStringLiteral("a1"));

    // "Protokoll öffnen ..." is an ordinary command
    EXPECT_TRUE(W->Action(TAct::acOeffnen)->isEnabled());
    EXPECT_EQ(W->Action(TAct::acOeffnen)->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
    // no shortcut is taken twice
    std::map<QString, QString> taken;
    for (QAction* a : W->findChildren<QAction*>()) {
        if (a->shortcut().isEmpty()) continue;
        const QString k = a->shortcut().toString();
        EXPECT_TRUE(taken.emplace(k, a->objectName()).second)
            << k.toStdString() << ": " << taken[k].toStdString() << " and "
            << a->objectName().toStdString();
    }
}

// Ctrl+O and the open dialog, as a user opens a protocol: the next dialog
// starts in the folder it came from, and the protocol folder of the
// settings stays the one the user set.
TEST_F(MainWindowTest, OpeningAProtocolKeepsTheFolderOfTheSettings) {
    std::filesystem::create_directories(Dir.Path() / "set");
    std::filesystem::create_directories(Dir.Path() / "elsewhere");
    const std::string file = TwoRowProtocol(Dir, "elsewhere/a.PRO.CSV");
    Env.SetProtokollDirectory(Dir / "set");
    const std::string set = Env.ProtokollDirectory();
    Start(TScenario::Idle);
    std::vector<QString> startedIn;
    QTimer answer;
    answer.setInterval(20);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!d) return;
        startedIn.push_back(QDir(d->directory()).absolutePath());
        // the file's name typed into the name field
        auto* name = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (!name) return d->reject();
        name->setText(FromFileName(file));
        QMetaObject::invokeMethod(d, "accept", Qt::QueuedConnection);
    });
    answer.start();
    W->activateWindow();
    PressStandardKey(W.get(), QKeySequence::Open);
    ASSERT_EQ(startedIn.size(), 1u);
    EXPECT_EQ(startedIn[0], QDir(FromFileName(set)).absolutePath());
    ASSERT_NE(W->Area()->ActiveWindow(), nullptr);
    EXPECT_EQ(W->Area()->ActiveWindow()->FileName(), FromFileName(file));
    EXPECT_EQ(Env.ProtokollDirectory(), set) << "the setting is the user's";

    W->Area()->ActiveWindow()->CloseWindow();
    W->activateWindow();
    PressStandardKey(W.get(), QKeySequence::Open);
    ASSERT_EQ(startedIn.size(), 2u);
    EXPECT_EQ(startedIn[1], QDir(FromFileName(Dir / "elsewhere")).absolutePath())
        << "the next dialog starts where the last file came from";
    EXPECT_EQ(Env.ProtokollDirectory(), set);
}

TEST_F(MainWindowTest, AFileOpensOnceAndAMissingOneNotAtAll) {
    Start(TScenario::Vehicle);
    TAutoAnswer answer(QMessageBox::Ok);
    const QString a = QString::fromStdString(TwoRowProtocol(Dir, "a.PRO.CSV"));
    const QString b = QString::fromStdString(TwoRowProtocol(Dir, "b.PRO.CSV"));
    TfProtocolForm* first = W->OpenProtocol(a);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(W->OpenProtocol(b), nullptr);
    EXPECT_EQ(W->Area()->ActiveWindow(), W->Area()->Windows().last());
    // the same file again, also by another spelling of its path
    EXPECT_EQ(W->OpenProtocol(QString::fromStdString(Dir / "./a.PRO.CSV")), first);
    EXPECT_EQ(W->Area()->Windows().size(), 2);
    EXPECT_EQ(W->Area()->ActiveWindow(), first) << "brought to the front";
    // a file that is not there: nothing happens
    EXPECT_EQ(W->DropFiles({QString::fromStdString(Dir / "missing.PRO.CSV")}),
              TDroppedKind::Protocol);
    EXPECT_EQ(W->Area()->Windows().size(), 2);
    QApplication::processEvents();
    EXPECT_EQ(answer.Count, 0) << "no message";
}

TEST_F(MainWindowTest, TilingAndArrangingTheWindows) {
    Start(TScenario::Vehicle);
    for (const char* name : {"a.PRO.CSV", "b.PRO.CSV"})
        ASSERT_NE(W->OpenProtocol(QString::fromStdString(TwoRowProtocol(Dir, name))), nullptr);
    const QRect area = W->Area()->viewport()->rect();
    const auto frames = [&] {
        QList<QRect> r;
        for (QMdiSubWindow* sub : W->Area()->subWindowList())
            r << sub->geometry();
        return r;
    };
    W->Action(TAct::WindowTileHorizontal1)->trigger();
    QList<QRect> f = frames();
    EXPECT_EQ(f[0], QRect(0, 0, area.width(), area.height() / 2)) << "one above the other";
    EXPECT_EQ(f[1].top(), f[0].bottom() + 1);
    EXPECT_EQ(f[1].width(), area.width());
    W->Action(TAct::WindowTileVertical1)->trigger();
    f = frames();
    EXPECT_EQ(f[0], QRect(0, 0, area.width() / 2, area.height())) << "side by side";
    EXPECT_EQ(f[1].left(), f[0].right() + 1);
    EXPECT_EQ(f[1].height(), area.height());
    W->Action(TAct::WindowMinimizeAll1)->trigger();
    W->Action(TAct::WindowArrange1)->trigger();
    f = frames();
    EXPECT_EQ(f[0].bottom(), area.bottom()) << "along the bottom edge";
    EXPECT_EQ(f[1].bottom(), area.bottom());
    EXPECT_EQ(f[0].left(), 0);
    EXPECT_EQ(f[1].left(), f[0].right() + 1);
}

TEST_F(MainWindowTest, AListEditorHasTheProgramsMenus) {
    Start(TScenario::Vehicle);
    TTable table{std::vector<TZK_InputStyle>{TZK_InputStyle::csBoolean, TZK_InputStyle::csString}};
    TfBaseEditForm editor(*S, table, {{"Ok"}, {"Aufruf"}}, QString());
    auto* bar = editor.findChild<QMenuBar*>(QStringLiteral("EditMenuBar"));
    ASSERT_NE(bar, nullptr);
    QStringList titles;
    for (QAction* a : bar->actions())
        titles << a->text();
    EXPECT_EQ(titles, (QStringList{QStringLiteral("&Datei"), QStringLiteral("Ansicht"),
                                   QStringLiteral("Sonderzeichen einfügen")}));
    // the view menu holds the protocol tool bar's toggle too: the same action
    QMenu* showHide = bar->actions()[1]->menu()->actions().first()->menu();
    ASSERT_NE(showHide, nullptr);
    EXPECT_TRUE(showHide->actions().contains(W->Action(TAct::actShowHideProtocolToolbar)));
    EXPECT_TRUE(bar->actions()[0]->menu()->actions().contains(W->Action(TAct::mmSpeichern)));
    auto* help = editor.findChild<QToolButton*>(QStringLiteral("tbHelp"));
    ASSERT_NE(help, nullptr);
    EXPECT_FALSE(help->icon().isNull());
}

TEST_F(MainWindowTest, TheAddressTranslationSwitch) {
    Start(TScenario::Vehicle);
    QToolButton* button = W->AddressTranslationButton();
    ASSERT_NE(button, nullptr);
    // on the tool bar right after the translation window's button
    const QList<QAction*> items = W->MainToolBar()->actions();
    const auto at = items.indexOf(W->Action(TAct::actOpenAddressForm));
    ASSERT_GE(at, 0);
    EXPECT_EQ(W->MainToolBar()->widgetForAction(items[at + 1]), button);
    ASSERT_TRUE(WaitFor([&] { return W->Session().Status().DeviceOnline(); }));
    QApplication::processEvents();
    EXPECT_FALSE(button->isEnabled()) << "no translation defined";
    Env.SetAddressTranslation(3, 5);
    ASSERT_TRUE(WaitFor([&] { return button->isEnabled(); }));
    EXPECT_TRUE(W->Action(TAct::actAddressTranslationOn)->isEnabled());
    button->click();
    EXPECT_EQ(Env.IBISAddressTranslationMode(), 1);
    EXPECT_EQ(button->toolTip(), QStringLiteral("Adressumsetzung eingeschaltet"));
    W->Action(TAct::actAddressTranslationOff)->trigger();
    EXPECT_EQ(Env.IBISAddressTranslationMode(), 0);
    EXPECT_EQ(button->toolTip(), QStringLiteral("Adressumsetzung ausgeschaltet"));
    button->click();
    ASSERT_EQ(Env.IBISAddressTranslationMode(), 1);
    // the translation taken back: switched off at the next refresh
    Env.SetAddressTranslation(3, 3);
    ASSERT_TRUE(WaitFor([&] { return !button->isEnabled(); }));
    EXPECT_EQ(Env.IBISAddressTranslationMode(), 0);
}

TEST_F(MainWindowTest, HintsLeaveTheStatusBarPanelsAlone) {
    Start(TScenario::Vehicle);
    const QString panel = W->StatusPanel(2)->text();
    QStatusTipEvent tip(QStringLiteral("Öffnet ein gespeichertes Protokoll"));
    QApplication::sendEvent(W.get(), &tip);
    EXPECT_TRUE(W->statusBar()->currentMessage().isEmpty());
    EXPECT_TRUE(W->StatusPanel(2)->isVisibleTo(W.get()));
    EXPECT_EQ(W->StatusPanel(2)->text(), panel);
    // the protocol tool bar's toggle is in the view menu
    bool found = false;
    for (QMenu* m : W->findChildren<QMenu*>())
        if (m->title() == QStringLiteral("Ein- und Ausblenden"))
            found = m->actions().contains(W->Action(TAct::actShowHideProtocolToolbar));
    EXPECT_TRUE(found);
}

TEST_F(MainWindowTest, ProgramEndSwitchesRecordingOff) {
    Start(TScenario::Vehicle);
    ASSERT_TRUE(WaitFor([&] { return W->Action(TAct::acAufzeichnen)->isEnabled(); }));
    W->close();
    EXPECT_FALSE(W->Action(TAct::acAufzeichnen)->isEnabled());
    EXPECT_FALSE(W->Session().Live().Polling());
}

TEST_F(MainWindowTest, TheWindowMenuListsTheOpenWindows) {
    Start(TScenario::Vehicle);
    QMenu* menu = WindowMenu();
    ASSERT_NE(menu, nullptr);
    const auto listed = [&] { return WindowMenuTexts([](const QAction* a) { return a->isCheckable(); }); };
    EXPECT_TRUE(listed().isEmpty());
    TfProtocolForm* a = W->OpenProtocol(QString::fromStdString(TwoRowProtocol(Dir, "a.PRO.CSV")));
    TfProtocolForm* b = W->OpenProtocol(QString::fromStdString(TwoRowProtocol(Dir, "b.PRO.CSV")));
    ASSERT_TRUE(a && b);
    const QStringList texts = listed();
    ASSERT_EQ(texts.size(), 2) << "listed once, however often the menu opens";
    EXPECT_TRUE(texts[0].startsWith(QStringLiteral("&1 Protokoll ")));
    EXPECT_TRUE(texts[0].endsWith(QStringLiteral("a.PRO.CSV")));
    EXPECT_TRUE(texts[1].startsWith(QStringLiteral("&2 ")));
    EXPECT_EQ(W->Area()->ActiveWindow(), b);
    for (QAction* act : menu->actions())
        if (act->text() == texts[0]) act->trigger();
    EXPECT_EQ(W->Area()->ActiveWindow(), a);
}

TEST_F(MainWindowTest, CloseAllAsksAgainUntilAnswered) {
    Start(TScenario::Vehicle);
    for (const char* name : {"a.PRO.CSV", "b.PRO.CSV"})
        ASSERT_NE(W->OpenProtocol(QString::fromStdString(TwoRowProtocol(Dir, name))), nullptr);
    W->Area()->Windows().first()->findChild<QPushButton*>(QStringLiteral("tbReanalyse"))->click();
    ASSERT_TRUE(W->Action(TAct::acWindowCloseAll)->isEnabled());
    TAutoAnswer answers({QMessageBox::Cancel, QMessageBox::No});
    W->Action(TAct::acWindowCloseAll)->trigger();
    EXPECT_EQ(answers.Count, 2) << "cancelled, then asked again";
    EXPECT_TRUE(W->Area()->Windows().isEmpty());
}

TEST_F(MainWindowTest, SafetyCopyIsOfferedAfterAnAbnormalEnd) {
    // a copy left behind by an earlier run, with two rows
    Platform.Program = Dir / "Vaskel";
    std::filesystem::create_directories(Env.DataDirectory());
    const std::string copy = Env.DataDirectory() + kSafetyCopyName;
    {
        std::ofstream f(copy, std::ios::binary);
        f << "\"M\";\"1\";\"1000\";\" \";\" \";\"a1\r\";\" \";\"020\";\"Status\";\"-1\"\r\n"
          << "\"M\";\"2\";\"2000\";\" \";\" \";\"l001\r\";\" \";\"001\";\"Linie\";\"\"\r\n";
    }
    TAutoAnswer answer(QMessageBox::No);
    Start(TScenario::Vehicle);
    ASSERT_TRUE(WaitFor([&] { return !W->Area()->Windows().isEmpty(); }));
    EXPECT_EQ(answer.Count, 1);
    EXPECT_TRUE(answer.LastText.contains(QStringLiteral("Sicherungsprotokoll")));
    auto* p = dynamic_cast<TfProtocolForm*>(W->Area()->Windows().first());
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->Model().rowCount(), 2);
    // the copy goes when the program ends: the window asks before that
    W->close();
    EXPECT_EQ(answer.Count, 2) << "the recovered rows are not saved yet";
    EXPECT_FALSE(std::filesystem::exists(copy));
    W.reset();
}

// The monitor records before the recovery comes (it was opened at start):
// the recovery offers the earlier recording alone, and this run's copy holds
// this run's rows alone. The earlier recording stays on disk after the end.
TEST_F(MainWindowTest, TheRecoveryOffersTheEarlierRecordingAloneWhileANewOneRuns) {
    Platform.Program = Dir / "Vaskel";
    std::filesystem::create_directories(Env.DataDirectory());
    const std::string copy = Env.DataDirectory() + kSafetyCopyName;
    const std::string earlier =
        "\"M\";\"1\";\"1000\";\" \";\" \";\"a1\r\";\" \";\"020\";\"Status\";\"-1\"\r\n"
        "\"M\";\"2\";\"2000\";\" \";\" \";\"l001\r\";\" \";\"001\";\"Linie\";\"\"\r\n";
    std::ofstream(copy, std::ios::binary) << earlier;
    TAutoAnswer answer(QMessageBox::No);
    Start(TScenario::Vehicle);
    W->OpenMonitor();
    // 500 rows: the copy is written without waiting for the tick
    for (int k = 0; k < 500; ++k) {
        TTelegramm t;
        t.Text = TelegramBytes("l002");
        t.StartTicks = 720 * k;
        t.EndTicks = 720 * k + 300;
        S->Capture(t, 'M');
    }
    // (no ASSERT below before the close: the windows' questions need the
    // answers above)
    EXPECT_TRUE(WaitFor([&] { return W->Area()->Windows().size() == 2; })) << "the offer";
    TfProtocolForm* p = nullptr;
    for (TfChildWindow* w : W->Area()->Windows())
        if (auto* f = dynamic_cast<TfProtocolForm*>(w)) p = f;
    EXPECT_NE(p, nullptr);
    std::string recovered;
    if (p) {
        EXPECT_EQ(p->Model().rowCount(), 2) << "the earlier recording, without this run's rows";
        recovered = QFile::encodeName(p->FileName()).toStdString();
        EXPECT_NE(recovered, copy);
        EXPECT_TRUE(test::ReadFile(recovered) == earlier) << "the earlier bytes, untouched";
    }
    TTable own = MakeProtocolTable();
    EXPECT_GE(LoadFromCSV(own, copy, '"', nullptr, std::nullopt, ';').Rows, 500);
    int misnumbered = 0; // the first row whose number is not its place
    for (int r = own.RowCount(); r > 0; --r)
        if (own.Cell(pcNr, r - 1) != std::to_string(r)) misnumbered = r;
    EXPECT_EQ(misnumbered, 0) << "this run's copy is numbered from 1 alone";
    EXPECT_EQ(own.Cell(pcTelegram, 0), TelegramBytes("l002"));
    // the end: this run's copy goes, the earlier recording stays
    W->close();
    W.reset();
    EXPECT_FALSE(std::filesystem::exists(copy));
    if (!recovered.empty()) {
        EXPECT_TRUE(test::ReadFile(recovered) == earlier);
    }
}

// Without a documents folder the data folder (catalogue, safety copy) lies
// elsewhere: the window says so once, and where.
TEST_F(MainWindowTest, ADataFolderOutsideTheDocumentsIsToldOnce) {
    struct TCase {
        bool Documents, UserData;
        bool Told;
    } const cases[] = {{true, true, false}, {false, true, true}, {false, false, true}};
    for (const TCase& c : cases) {
        Platform.Documents =
            c.Documents ? std::optional<std::string>(Dir.Path().string()) : std::nullopt;
        Platform.UserData =
            c.UserData ? std::optional<std::string>(Dir / "home/.local/share") : std::nullopt;
        Env.SetHintGiven(THint::DataFolderHintGiven, false); // a new installation
        Start(TScenario::Unpowered);
        for (int k = 0; k < 3; ++k)
            QApplication::processEvents();
        TBalloonHint* notice = TBalloonHint::Current();
        ASSERT_EQ(notice != nullptr, c.Told) << c.Documents << c.UserData;
        if (notice) {
            const QString folder =
                QDir::toNativeSeparators(QString::fromStdString(Env.DataDirectory()));
            EXPECT_TRUE(notice->Text().contains(folder)) << notice->Text().toStdString();
            EXPECT_EQ(notice->Anchor()->window(), W.get());
            // over the window area, clear of the mode area with the direct
            // input, and still there when the window becomes larger
            for (const QSize size : {QSize(1000, 720), QSize(1024, 740)}) {
                W->resize(size);
                for (int k = 0; k < 3; ++k)
                    QApplication::processEvents();
                const QRect balloon(notice->mapTo(W.get(), QPoint(0, 0)), notice->size());
                const QRect area(W->Area()->mapTo(W.get(), QPoint(0, 0)), W->Area()->size());
                const QRect modes(W->ModeArea()->mapTo(W.get(), QPoint(0, 0)),
                                  W->ModeArea()->size());
                EXPECT_TRUE(area.contains(balloon)) << size.height();
                EXPECT_FALSE(balloon.intersects(modes)) << size.height();
            }
            TBalloonHint::CloseCurrent();
            // once: not again when the window shows again
            W->hide();
            W->show();
            for (int k = 0; k < 3; ++k)
                QApplication::processEvents();
            EXPECT_EQ(TBalloonHint::Current(), nullptr);
        }
        W->close();
        W.reset();
        S.reset();
        Usb.reset();
        // nor at the next start
        Start(TScenario::Unpowered);
        for (int k = 0; k < 3; ++k)
            QApplication::processEvents();
        EXPECT_EQ(TBalloonHint::Current(), nullptr) << "told at an earlier start";
        W->close();
        W.reset();
        S.reset();
        Usb.reset();
    }
}

TEST_F(MainWindowTest, ACleanEndLeavesNoSafetyCopy) {
    Start(TScenario::Vehicle);
    ASSERT_TRUE(WaitFor([&] { return W->Action(TAct::acAufzeichnen)->isEnabled(); }));
    std::filesystem::create_directories(Env.DataDirectory());
    TfMonitorForm* m = W->OpenMonitor();
    const std::string copy = m->Recorder().SafetyCopyFile();
    ASSERT_TRUE(WaitFor([&] {
        Usb->Advance(50);
        return std::filesystem::exists(copy);
    })) << "the monitor keeps its safety copy";
    // more rows than the copy holds, then the program ends as it does when
    // its time is up: closed, and destroyed without another event loop turn
    for (int k = 0; k < 10; ++k)
        Usb->Advance(50);
    QApplication::processEvents();
    m->Recorder().Table().Modified = false;
    W->close();
    W.reset();
    S.reset();
    Usb.reset();
    EXPECT_FALSE(std::filesystem::exists(copy)) << "the next start must not offer it";
}

TEST_F(MainWindowTest, NoOfferWithoutASafetyCopyAndDroppedProtocolsOpen) {
    TAutoAnswer answer(QMessageBox::Ok);
    Start(TScenario::Unpowered);
    const std::string broken = Dir.Write("x.PRO.CSV", "nothing");
    EXPECT_EQ(W->DropFiles({QString::fromStdString(broken)}), TDroppedKind::Protocol);
    EXPECT_TRUE(Opened.empty()) << "protocols are opened by the main window itself";
    EXPECT_TRUE(W->Area()->Windows().isEmpty());
    EXPECT_EQ(answer.Count, 1) << "the load error";
    EXPECT_TRUE(answer.LastText.contains(QStringLiteral("kein gültiges Protokoll")));
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 1500)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(answer.Count, 1) << "no safety copy, no offer";

    // a good protocol opens; saving follows the active window
    const std::string good =
        Dir.Write("good.PRO.CSV",
                  "\"M\";\"1\";\"1000\";\" \";\" \";\"a1\r\";\" \";\"020\";\"Status\";\"-1\"\r\n");
    EXPECT_EQ(W->DropFiles({QString::fromStdString(good)}), TDroppedKind::Protocol);
    ASSERT_EQ(W->Area()->Windows().size(), 1);
    QApplication::processEvents();
    EXPECT_EQ(W->Area()->ActiveWindow(), W->Area()->Windows().first());
    EXPECT_TRUE(W->Action(TAct::acSearch)->isEnabled());
    EXPECT_FALSE(W->Action(TAct::mmSpeichern)->isEnabled()) << "only the monitor saves in place";
    EXPECT_TRUE(W->Action(TAct::mmSpeichernUnter)->isEnabled());
    EXPECT_EQ(answer.Count, 1);

    // the view menu's protocol toolbar toggle reaches the window
    QWidget* bar =
        W->Area()->Windows().first()->findChild<QWidget*>(QStringLiteral("ProtocolToolBar"));
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->isVisible());
    W->Action(TAct::actShowHideProtocolToolbar)->trigger();
    EXPECT_FALSE(bar->isVisible());
    W->Action(TAct::actShowHideProtocolToolbar)->trigger();
    EXPECT_TRUE(bar->isVisible());
}

} // namespace
} // namespace vaskel

namespace vaskel {
namespace {

// A comma-form protocol (opening it writes it back in the current form).
std::string CommaProtocol(const test::TempDir& dir, const std::string& name, int rows) {
    std::string text;
    for (int k = 0; k < rows; ++k)
        text += "'M','" + std::to_string(k + 1) + "','" + std::to_string(1000 + k) +
                "','','','l001\r/','','','','',\r\n";
    return dir.Write(name, text);
}

// A protocol loads on a worker thread: the progress dialog shows, the live
// monitor keeps recording, and cancelling leaves no window and the file as
// it was.
TEST_F(MainWindowTest, ProtocolsLoadOffTheMainThreadAndCanBeCancelled) {
    Start(TScenario::Vehicle);
    ASSERT_TRUE(WaitFor([&] { return W->Action(TAct::acAufzeichnen)->isEnabled(); }));
    TfMonitorForm* m = W->OpenMonitor();
    m->Recorder().SafetyCopy = false;
    const std::string file = CommaProtocol(Dir, "old.PRO.CSV", 3000);
    const std::string before = test::ReadFile(file);

    // the worker waits at its first row until the test lets it go on
    std::promise<void> go;
    std::shared_future<void> going = go.get_future().share();
    std::atomic<bool> held{false};
    W->FileOpening().SetLoaderHook([&](int) {
        if (!held.exchange(true)) going.wait();
    });
    bool dialogSeen = false, recorded = false;
    QString title, label;
    QTimer::singleShot(0, [&] {
        QProgressDialog* d = nullptr;
        dialogSeen = WaitFor([&] {
            d = W->findChild<QProgressDialog*>(QStringLiteral("ProtocolLoadProgress"));
            return d && d->isVisible();
        });
        if (dialogSeen) {
            title = d->windowTitle();
            label = d->labelText();
            const int rows = m->Recorder().RowCounter();
            recorded = WaitFor([&] {
                Usb->Advance(50);
                return m->Recorder().RowCounter() > rows;
            });
            // the user's click on "Abbrechen"
            if (auto* b = d->findChild<QPushButton*>();
                b && b->text() == QStringLiteral("Abbrechen"))
                b->click();
        }
        go.set_value();
    });
    EXPECT_EQ(W->OpenProtocol(QString::fromStdString(file)), nullptr) << "cancelled";
    EXPECT_TRUE(dialogSeen);
    EXPECT_EQ(title, QStringLiteral("Bitte haben Sie etwas Geduld ..."));
    EXPECT_EQ(label, QStringLiteral("Das Protokoll wird geladen."));
    EXPECT_TRUE(recorded) << "the monitor records while the protocol loads";
    EXPECT_EQ(W->Area()->Windows().size(), 1) << "only the monitor";
    EXPECT_TRUE(test::ReadFile(file) == before) << "nothing written";
    EXPECT_FALSE(std::filesystem::exists(Dir / "old.PRO.BAK"));

    // without cancel the rows arrive in their window
    W->FileOpening().SetLoaderHook(nullptr);
    TfProtocolForm* p = W->OpenProtocol(QString::fromStdString(file));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->Model().rowCount(), 3000);
    EXPECT_TRUE(p->LoadInfo().WrittenBack);
    EXPECT_TRUE(test::ReadFile(Dir / "old.PRO.BAK") == before);
    EXPECT_EQ(W->Area()->Windows().size(), 2);
    m->Recorder().Table().Modified = false;
}

// A file whose quote is never closed opens with the rows before it, and the
// window says what is missing.
TEST_F(MainWindowTest, AProtocolCutShortOpensWithWhatCouldBeReadAndSaysSo) {
    TAutoAnswer answer(QMessageBox::Ok);
    Start(TScenario::Unpowered);
    const std::string row = "\"M\";\"1\";\"1000\";\"\";\"\";\"l001\r/\";\"\";\"\";\"\";\"\"\r\n";
    std::string text = row + row + row + row;
    text.erase(text.size() - 3 - row.size(), 1); // the third row's last closing quote
    const std::string file = Dir.Write("cut.PRO.CSV", text);
    TfProtocolForm* p = W->OpenProtocol(QString::fromStdString(file));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->Model().rowCount(), 2);
    EXPECT_EQ(answer.Count, 1);
    EXPECT_TRUE(answer.LastText.contains(QStringLiteral("unvollständig")))
        << answer.LastText.toStdString();
    EXPECT_TRUE(answer.LastText.contains(QStringLiteral("Zeile 3 ")))
        << answer.LastText.toStdString();
    auto* label = p->findChild<QLabel*>(QStringLiteral("lblLoadWarning"));
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(label->isVisible());
    EXPECT_EQ(label->text(), answer.LastText);
    EXPECT_EQ(test::ReadFile(file), text);
    // a whole file has no such line
    TfProtocolForm* whole =
        W->OpenProtocol(QString::fromStdString(Dir.Write("whole.PRO.CSV", row + row)));
    ASSERT_NE(whole, nullptr);
    EXPECT_EQ(whole->findChild<QLabel*>(QStringLiteral("lblLoadWarning")), nullptr);
    EXPECT_EQ(answer.Count, 1);
}

// The available area of the offscreen screen the tests run on.
QRect ScreenArea() {
    return QGuiApplication::primaryScreen()->availableGeometry();
}

TEST_F(MainWindowTest, TheFirstRunOpensWholeOnTheScreen) {
    Start(TScenario::Vehicle);
    ASSERT_TRUE(WaitFor([&] { return W->windowHandle()->isExposed(); }));
    EXPECT_TRUE(ScreenArea().contains(W->frameGeometry()));
    // the status bar with the firmware revision and the active list is in sight
    const QRect bar(W->statusBar()->mapToGlobal(QPoint(0, 0)), W->statusBar()->size());
    EXPECT_TRUE(ScreenArea().contains(bar));
}

TEST_F(MainWindowTest, TheSizeAndPlaceOfTheLastRunComeBack) {
    // the screen is as wide as the window's least width: the frame's width
    // comes off it
    const QRect area = ScreenArea();
    const QRect last(area.x() + 2, area.y() + 40, area.width() - 4, area.height() - 100);
    Env.SetMainWindowGeometry({last.x(), last.y(), last.width(), last.height(), false});
    Start(TScenario::Vehicle);
    ASSERT_TRUE(WaitFor([&] { return W->windowHandle()->isExposed(); }));
    EXPECT_EQ(W->geometry(), last);
    EXPECT_TRUE(area.contains(W->frameGeometry()));
    // moved and made smaller by the user: kept as the program ends
    const QRect moved(last.x(), area.y() + 10, last.width(), 420);
    W->setGeometry(moved);
    W->close();
    EXPECT_EQ(Env.MainWindowGeometry(),
              (TWindowGeometry{moved.x(), moved.y(), moved.width(), moved.height(), false}));
}

TEST_F(MainWindowTest, APlaceOffEveryScreenIsDropped) {
    // the screen it was on is gone: right of every screen there is
    const QRect desktop = QGuiApplication::primaryScreen()->virtualGeometry();
    Env.SetMainWindowGeometry({desktop.right() + 500, 100, 800, 450, false});
    Start(TScenario::Vehicle);
    ASSERT_TRUE(WaitFor([&] { return W->windowHandle()->isExposed(); }));
    EXPECT_TRUE(ScreenArea().contains(W->frameGeometry()));
    EXPECT_EQ(W->height(), 450) << "the size stays";
}

TEST_F(MainWindowTest, AMaximisedWindowComesBackMaximised) {
    Env.SetMainWindowGeometry({0, 0, 800, 450, true});
    Start(TScenario::Vehicle);
    EXPECT_TRUE(W->isMaximized());
    W->close();
    EXPECT_TRUE(Env.MainWindowGeometry().Maximized);
}

TEST_F(MainWindowTest, TheWindowsKeepTheirButtonsInSightWhenTheAreaGetsSmaller) {
    Start(TScenario::Vehicle);
    ASSERT_TRUE(WaitFor([&] { return W->Action(TAct::acAufzeichnen)->isEnabled(); }));
    TfMonitorForm* monitor = W->OpenMonitor();
    W->Action(TAct::acAufruflisteNew)->trigger();
    const auto allInside = [&](const char* when) {
        QApplication::processEvents();
        const QRect area = W->Area()->viewport()->rect();
        for (QMdiSubWindow* sub : W->Area()->subWindowList())
            EXPECT_TRUE(area.contains(sub->geometry()))
                << when << ": " << sub->windowTitle().toStdString();
        for (QPushButton* b : monitor->findChildren<QPushButton*>()) {
            if (!b->isVisible()) continue;
            const QRect button(b->mapTo(W->Area()->viewport(), QPoint(0, 0)), b->size());
            EXPECT_TRUE(area.contains(button))
                << when << ": the monitor's button " << b->text().toStdString();
        }
    };
    allInside("opened");
    // the autonomous-recording bar takes room above the area
    W->Action(TAct::actShowOfflineMode)->setChecked(true);
    allInside("the bar shown");
    W->resize(W->width(), 380);
    allInside("the main window made smaller");
}

TEST_F(MainWindowTest, TheModeAreaFitsASmallScreenWithoutGroupsOverlapping) {
    // the offscreen screen is 800 pixels wide, as a small laptop's
    Start(TScenario::Vehicle);
    auto* detected = W->ModeArea()->findChild<QLabel*>(QStringLiteral("lblMasterDetected"));
    ASSERT_TRUE(WaitFor([&] { return detected->isVisible() && !detected->text().isEmpty(); }));
    QApplication::processEvents();
    ASSERT_LE(W->frameGeometry().width(), ScreenArea().width());
    QList<QRect> groups;
    for (const char* name : {"gbMasterMode", "btSwitchMasterSlave", "gbSlaveMode", "gbDeviceStatus"}) {
        auto* w = W->ModeArea()->findChild<QWidget*>(QLatin1String(name));
        ASSERT_NE(w, nullptr) << name;
        groups << w->geometry();
    }
    for (qsizetype k = 1; k < groups.size(); ++k)
        EXPECT_LT(groups[k - 1].right(), groups[k].left()) << "group " << k << " overlaps";
    EXPECT_LE(groups.last().right(), W->ModeArea()->width());
    EXPECT_TRUE(detected->rect().contains(detected->contentsRect()));
    EXPECT_LE(detected->heightForWidth(detected->width()), detected->height())
        << "the notice about the master on the bus is shown whole";
}

} // namespace
} // namespace vaskel
