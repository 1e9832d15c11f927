// The main window on Qt's offscreen platform, on the virtual Tavrin.

#include "ui/main/MainForm.h"
#include "emulator/VirtualUsb.h"
#include "link/UsbTransport.h"
#include "platform/QtText.h"
#include "recording/TableFile.h"
#include "telegram/Errors.h"
#include "ui/common/Texts.h"

#include "TestSupport.h"
#include "ui/AutoAnswer.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace vaskel {
namespace {

const std::string kCatalogue = std::string(VASKEL_TEST_DATA_DIR) + "/IBIS.CSV";

class MainWindowTest : public ::testing::Test {
protected:
    void Start(TScenario scenario) {
        Platform.Program = Dir / "Vaskel";
        TEmulatorOptions o;
        o.Scenario = scenario;
        Usb = std::make_unique<TVirtualUsb>(o);
        TfMainForm::TOptions options;
        options.Virtual = Usb.get();
        options.CreateLink = [this](IMainThreadHandOver& h) -> std::unique_ptr<IDeviceLink> {
            TUsbOptions uo;
            uo.ReadTimeoutMs = 20;
            uo.WatchIntervalMs = 20;
            return std::make_unique<TUSB_Communication>(*Usb, h, kTavrinVendorId, kTavrinProductId,
                                                        uo);
        };
        options.OpenFile = [this](TDroppedKind k, const QString& f) {
            Opened.push_back({k, f});
            return true;
        };
        W = std::make_unique<TfMainForm>(Env, Parser, options);
        W->show();
    }
    ~MainWindowTest() override {
        if (W) W->close();
        W.reset();
        Usb.reset();
    }
    // Runs the event loop until pred holds.
    template <typename P> bool WaitFor(P pred) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 20000) {
            QApplication::processEvents(QEventLoop::AllEvents, 10);
            if (pred()) return true;
        }
        return false;
    }

    test::TempDir Dir;
    TFixedSystemPlatform Platform;
    TEnvironment Env{nullptr, Platform};
    TIBISTelegramParser Parser{kCatalogue};
    std::unique_ptr<TVirtualUsb> Usb;
    std::unique_ptr<TfMainForm> W;
    std::vector<std::pair<TDroppedKind, QString>> Opened;
};

TEST_F(MainWindowTest, VehicleBusShowsAMasterAndNoSwitch) {
    Start(TScenario::Vehicle);
    ASSERT_TRUE(WaitFor([&] { return W->DeviceStatus().DeviceOnline(); }));
    ASSERT_TRUE(WaitFor([&] { return W->Led("Ein")->On(); }));
    EXPECT_TRUE(W->Led("WBSD")->On());
    EXPECT_TRUE(W->Led("WBED")->On());
    EXPECT_FALSE(W->Led("Master")->On());
    EXPECT_FALSE(W->Action("acMasterOnOff")->isEnabled());
    EXPECT_FALSE(W->MasterDetectedLabel()->isHidden());
    EXPECT_TRUE(W->WarningPanel()->isHidden());
    EXPECT_TRUE(W->Group("Slave")->isEnabled());
    ASSERT_TRUE(WaitFor([&] {
        return W->StatusPanel(1)->text() ==
               QStringLiteral("Firmware Revision: Tavrin V2.14 (virtuell)");
    }));
    EXPECT_TRUE(W->Action("acShowHardwarerevision")->isEnabled());
}

TEST_F(MainWindowTest, IdleBusSwitchesToMasterAndBack) {
    Start(TScenario::Idle);
    ASSERT_TRUE(WaitFor([&] { return W->Action("acMasterOnOff")->isEnabled(); }));
    EXPECT_EQ(W->Action("acMasterOnOff")->text(), QStringLiteral("Master ein"));
    EXPECT_FALSE(W->WarningPanel()->isHidden()) << "no voltage on the lines";
    EXPECT_FALSE(W->WarningLine(0)->isHidden());
    W->Action("acMasterOnOff")->trigger();
    ASSERT_TRUE(WaitFor([&] { return W->Led("Master")->On(); }));
    EXPECT_EQ(W->Action("acMasterOnOff")->text(), QStringLiteral("Master aus"));
    EXPECT_TRUE(W->Action("acMasterOnOff")->isChecked());
    EXPECT_EQ(W->Connection().Controller()->Mode(), 1);
    W->Action("acMasterOnOff")->trigger();
    ASSERT_TRUE(WaitFor([&] { return !W->Led("Master")->On(); }));
    EXPECT_TRUE(Env.HintGiven(THint::MasterSlaveHintGiven));
}

TEST_F(MainWindowTest, DirectInputSendsThroughTheMonitorsScheduler) {
    Start(TScenario::Idle);
    ASSERT_TRUE(WaitFor([&] { return W->Action("acMasterOnOff")->isEnabled(); }));
    W->Action("acMasterOnOff")->trigger();
    ASSERT_TRUE(WaitFor([&] { return W->Led("Master")->On(); }));

    W->DirectInput()->setCurrentText(QStringLiteral("u0730"));
    EXPECT_EQ(W->DirectCheckLabel()->text(), QStringLiteral("Fehlerfrei"));
    W->DirectInput()->setCurrentText(QStringLiteral("u07"));
    EXPECT_EQ(W->DirectCheckLabel()->text(), QStringLiteral("Syntaxfehler"));

    // the record types with a composer of their own: warned once
    W->DirectInput()->setCurrentText(QStringLiteral("zA1"));
    EXPECT_EQ(W->DetailInputButton()->text(), QStringLiteral("DS 003a ..."));
    EXPECT_TRUE(W->LastDirectWarning().startsWith(QStringLiteral("Sie sollten die Datensätze")));
    EXPECT_TRUE(Env.HintGiven(THint::DS003aHintGiven));
    W->DirectInput()->setCurrentText(QString());
    EXPECT_EQ(W->DetailInputButton()->text(), QStringLiteral("Detaileingabe ..."));

    // Ctrl + digits: the character with that code
    W->DirectInput()->setCurrentText(QStringLiteral("l00"));
    for (Qt::Key key : {Qt::Key_4, Qt::Key_9}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::ControlModifier);
        QApplication::sendEvent(W->DirectInput()->lineEdit(), &press);
    }
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Control, Qt::NoModifier);
    QApplication::sendEvent(W->DirectInput()->lineEdit(), &release);
    EXPECT_EQ(W->DirectInput()->currentText(), QStringLiteral("l001"));

    // "u" goes out with the time of day, and the history keeps what was sent
    W->DirectInput()->setCurrentText(QStringLiteral("u"));
    const TDateTime now = TSystemClock().Now();
    W->DirectSendButton()->click();
    ASSERT_NE(W->Monitor(), nullptr) << "sending opens the monitor";
    const QString sent = W->DirectInput()->itemText(0);
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
    EXPECT_FALSE(W->DirectSendButton()->isEnabled()) << "blocked for half a second";
    ASSERT_TRUE(WaitFor([&] { return W->DirectSendButton()->isEnabled(); }));
    m->Recorder().Table().Modified = false;
}

TEST_F(MainWindowTest, SendDelayFactor) {
    Start(TScenario::Unpowered);
    QCheckBox* box = W->FixDelayBox();
    QSpinBox* factor = W->FactorField();
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
    ASSERT_TRUE(WaitFor([&] { return W->Led("Ein")->On(); }));
    Usb->SetPlugged(false);
    ASSERT_TRUE(WaitFor([&] { return !W->Led("Ein")->On(); }));
    EXPECT_FALSE(W->Group("Device")->isEnabled());
    Usb->SetPlugged(true);
    ASSERT_TRUE(WaitFor([&] { return W->Led("Ein")->On(); }));
}

TEST_F(MainWindowTest, DroppedFilesAndViewToggles) {
    Start(TScenario::Unpowered);
    EXPECT_EQ(W->DropFiles({QStringLiteral("/x/a.auf.csv"), QStringLiteral("/x/b.PRO.CSV"),
                            QStringLiteral("/x/c.ANT.CSV")}),
              TDroppedKind::CallList);
    ASSERT_EQ(Opened.size(), 1u) << "only the first file counts";
    EXPECT_EQ(Opened[0].second, QStringLiteral("/x/a.auf.csv"));
    EXPECT_EQ(W->DropFiles({QStringLiteral("/x/notes.txt")}), TDroppedKind::None);
    EXPECT_EQ(Opened.size(), 1u);
    const std::pair<const char*, TDroppedKind> kinds[] = {{"a.PRO.CSV", TDroppedKind::Protocol},
                                                          {"b.pro.csv", TDroppedKind::Protocol},
                                                          {"c.Ant.Csv", TDroppedKind::ResponseList},
                                                          {"d.AUF.CSV", TDroppedKind::CallList},
                                                          {"e.CSV", TDroppedKind::None},
                                                          {"PRO.CSV", TDroppedKind::None}};
    for (const auto& [name, kind] : kinds)
        EXPECT_EQ(DroppedFileKind(QString::fromLatin1(name)), kind) << name;

    W->Action("actHideAll")->trigger();
    EXPECT_TRUE(W->MainToolBar()->isHidden());
    EXPECT_FALSE(W->Action("actShowHideModeArea")->isChecked());
    EXPECT_FALSE(W->Action("actShowHideProtocolToolbar")->isChecked());
    W->Action("actShowAll")->trigger();
    EXPECT_FALSE(W->MainToolBar()->isHidden());
    EXPECT_TRUE(W->Action("actShowHideModeArea")->isChecked());
    W->Action("actShowAll")->trigger(); // all shown: nothing changes
    EXPECT_TRUE(W->Action("actShowHideMainToolbar")->isChecked());
    EXPECT_FALSE(W->Action("acWindowCloseAll")->isEnabled()) << "no child window";
}

TEST_F(MainWindowTest, ColourSchemes) {
    Start(TScenario::Vehicle);
    QToolButton* bus = W->findChild<QToolButton*>(QStringLiteral("btBusType"));
    ASSERT_NE(bus, nullptr);
    EXPECT_FALSE(bus->styleSheet().isEmpty()) << "the program's own colours";
    W->Action("acUseWindowsPattern")->trigger();
    EXPECT_TRUE(Env.UseWindowsColorSchema());
    EXPECT_TRUE(bus->styleSheet().isEmpty()) << "the desktop's colours";
    EXPECT_FALSE(W->Action("acUseZKPattern")->isChecked());
    W->Action("acUseZKPattern")->trigger();
    EXPECT_FALSE(Env.UseWindowsColorSchema());
    EXPECT_FALSE(bus->styleSheet().isEmpty());
}

TEST_F(MainWindowTest, LanguageSwitchesAtRunTime) {
    Start(TScenario::Idle);
    ASSERT_TRUE(WaitFor([&] { return W->Action("acMasterOnOff")->isEnabled(); }));
    EXPECT_EQ(W->Group("Master")->title(), QStringLiteral("Master Modus"));
    QAction* english = nullptr;
    for (QAction* a : W->findChildren<QAction*>())
        if (a->text() == QStringLiteral("English")) english = a;
    ASSERT_NE(english, nullptr);
    english->trigger();
    EXPECT_EQ(Env.Language(), 2);
    EXPECT_EQ(W->Group("Master")->title(), QStringLiteral("Master mode"));
    EXPECT_EQ(W->Action("acMasterOnOff")->text(), QStringLiteral("Master on"));
    EXPECT_EQ(W->Action("actHideAll")->text(), QStringLiteral("Hide all"));
    EXPECT_EQ(W->WarningLine(0)->text(),
              QStringLiteral("There is no voltage on the IBIS send line. (WBSD)"));
    bool menuFound = false;
    for (QMenu* m : W->findChildren<QMenu*>())
        menuFound |= m->title() == QStringLiteral("&File");
    EXPECT_TRUE(menuFound);
    for (QAction* a : W->findChildren<QAction*>())
        if (a->text() == QStringLiteral("Deutsch")) a->trigger();
    EXPECT_EQ(W->Action("acMasterOnOff")->text(), QStringLiteral("Master ein"));
    SetUiLanguage(1);
}

} // namespace
} // namespace vaskel

namespace vaskel {
namespace {

class MonitorTest : public MainWindowTest {};

TEST_F(MonitorTest, LiveTrafficBecomesPairedRows) {
    Start(TScenario::Vehicle);
    ASSERT_TRUE(WaitFor([&] { return W->Action("acAufzeichnen")->isEnabled(); }));
    W->Action("acAufzeichnen")->trigger();
    TfMonitorForm* m = W->Monitor();
    ASSERT_NE(m, nullptr);
    EXPECT_FALSE(W->Action("acAufzeichnen")->isEnabled()) << "one monitor at a time";
    for (int k = 0; k < 50; ++k) {
        Usb->Advance(100);
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    ASSERT_TRUE(WaitFor([&] {
        return m->Recorder().RowCounter() > 0 &&
               static_cast<uint64_t>(m->Recorder().RowCounter()) ==
                   Usb->WithDevice(
                       [](TVirtualTavrin& d) { return d.MasterCaptures() + d.SlaveCaptures(); });
    }));
    const TTable& t = m->Recorder().Table();
    EXPECT_EQ(m->Model().rowCount(), m->Recorder().RowCounter());
    int answers = 0;
    for (int r = 0; r < m->Recorder().RowCounter(); ++r) {
        if (t.Cell(pcKind, r) == "S") {
            ++answers;
            EXPECT_EQ(t.Cell(pcAnswer, r), "4");
            EXPECT_EQ(t.Cell(pcRecordNo, r), "120");
            EXPECT_EQ(t.Cell(pcAnswer, r - 1), "0");
        }
    }
    EXPECT_GT(answers, 3);

    // saved and read back: the same rows
    const std::string file = Dir / "m.PRO.CSV";
    ASSERT_TRUE(m->Recorder().SaveActiveProtocol(file, 0));
    TTable back = MakeProtocolTable();
    EXPECT_EQ(LoadFromCSV(back, file, '"', nullptr, std::nullopt, ';').Rows,
              m->Recorder().RowCounter());
    for (int r = 0; r < back.RowCount(); ++r)
        ASSERT_EQ(back.Cell(pcTelegram, r), t.Cell(pcTelegram, r));

    m->Clear(false);
    EXPECT_EQ(m->Model().rowCount(), 0);
    EXPECT_EQ(m->Recorder().RowCounter(), 0);
}

TEST(ProtocolCellLook, DrawingRules) {
    TIBISTelegramParser parser(kCatalogue);
    TTable t = MakeProtocolTable();
    t.SetRow(0, {"M", "1", "28800000", "", "",
                 TelegramBytes("aA12Marktplatz      Rathaus/Museum 3"), "", "021", "", "0"});
    t.SetRow(t.AppendRow(), {"S", "2", "0", "20", "S", "a10\r\x01", "", "120", "", "4"});
    t.SetRow(t.AppendRow(),
             {"S", "3", "28800100", "ungültig", "", TelegramBytes("a1x"), "", "[120]", "", "2"});
    t.SetRow(t.AppendRow(),
             {"M", "4", "28800200", "", "", TelegramBytes("l001"), "", "001", "", ""});
    TCellOptions o;

    // 8: the classified telegram in coloured segments
    TCellLook tel = ProtocolCellLook(t, 0, pcTelegram, parser, o);
    ASSERT_GE(tel.Segments.size(), 5u);
    EXPECT_EQ(tel.Segments[0].Text, QStringLiteral("aA"));
    EXPECT_EQ(tel.Segments[0].Fore, QColor(0x00, 0xAE, 0x00));
    EXPECT_EQ(tel.Segments[1].Text, QStringLiteral("1"));
    EXPECT_EQ(tel.Segments[1].Fore, QColor(0xFF, 0x00, 0x00));
    EXPECT_EQ(tel.Segments.back().Fore, QColor(0x00, 0x00, 0xFF));
    EXPECT_EQ(tel.Background, QColor(0xE2, 0xE9, 0xFA)) << "021 stands out";
    // a check byte below '!' in hex form, on red with an S error
    TCellLook cc = ProtocolCellLook(t, 1, pcTelegram, parser, o);
    EXPECT_EQ(cc.Segments.back().Text, QStringLiteral("<$01>"));
    EXPECT_EQ(cc.Segments.back().Back, QColor(0xFF, 0x80, 0x80));
    // the rest of a partial match on red
    TCellLook rest = ProtocolCellLook(t, 2, pcTelegram, parser, o);
    bool restMarked = false;
    for (const auto& s : rest.Segments)
        restMarked |= s.Text == QStringLiteral("x") && s.Back == QColor(0xFF, 0x80, 0x80);
    EXPECT_TRUE(restMarked);
    // 9: times of day, "ungültig" below 1
    EXPECT_EQ(ProtocolCellLook(t, 0, pcStart, parser, o).Segments[0].Text,
              QStringLiteral("08:00:00,000"));
    EXPECT_EQ(ProtocolCellLook(t, 1, pcStart, parser, o).Segments[0].Text,
              QString::fromUtf8("ungültig"));
    // 10: reaction bands, the cross on master rows
    EXPECT_TRUE(ProtocolCellLook(t, 0, pcReaction, parser, o).Cross);
    EXPECT_EQ(ProtocolCellLook(t, 1, pcReaction, parser, o).Background, QColor(0xDF, 0xED, 0x7E));
    EXPECT_EQ(ProtocolCellLook(t, 2, pcReaction, parser, o).Background, QColor(0xFF, 0x80, 0x80));
    // 11: error letters on red
    EXPECT_EQ(ProtocolCellLook(t, 1, pcErrors, parser, o).Background, QColor(0xFF, 0x80, 0x80));
    EXPECT_FALSE(ProtocolCellLook(t, 3, pcErrors, parser, o).Background.isValid());
    // without automatic warnings: no marks
    o.AutoWarnings = false;
    EXPECT_FALSE(ProtocolCellLook(t, 1, pcErrors, parser, o).Background.isValid());
    EXPECT_TRUE(ProtocolCellLook(t, 1, pcAnswer, parser, o).Segments.empty());
    EXPECT_EQ(ProtocolCellLook(t, 2, pcReaction, parser, o).Segments[0].Text, QStringLiteral("0"));
}

} // namespace
} // namespace vaskel

namespace vaskel {
namespace {

// A monitor window of its own (no main window), fed with captures by hand.
class MonitorWindowTest : public ::testing::Test {
protected:
    MonitorWindowTest() {
        Platform.Program = Dir / "Vaskel";
        M = std::make_unique<TfMonitorForm>(Env, Parser);
        M->Recorder().SafetyCopy = false;
    }
    ~MonitorWindowTest() override { M->Recorder().Table().Modified = false; }
    // One captured telegram, 300 ms long.
    void Capture(const std::string& text, uint32_t start, char source = 'M') {
        TTelegramm t;
        t.Text = TelegramBytes(text);
        t.StartTicks = start;
        t.EndTicks = start + 300;
        M->CopyTelegramm(t, source, false);
    }

    test::TempDir Dir;
    TFixedSystemPlatform Platform;
    TEnvironment Env{nullptr, Platform};
    TIBISTelegramParser Parser{kCatalogue};
    std::unique_ptr<TfMonitorForm> M;
};

TEST_F(MonitorWindowTest, FilterFindCopyHexAndMarks) {
    Capture("l001", 0, 'M');
    Capture("a1", 1000, 'M');
    Capture("a10", 1500, 'S');
    Capture("z034", 3000, 'M');
    ASSERT_EQ(M->Model().rowCount(), 4);

    // hex column
    EXPECT_TRUE(M->View()->isColumnHidden(pcHex));
    M->SetHexShown(true);
    EXPECT_FALSE(M->View()->isColumnHidden(pcHex));
    M->SetHexShown(false);

    // filter on: only status requests and their answers' group
    Env.SetFilterSatzArten("020;");
    Env.SetFilterKuerzel("a;");
    M->SetFilterState(1);
    EXPECT_TRUE(M->View()->isRowHidden(0));
    EXPECT_FALSE(M->View()->isRowHidden(1));
    EXPECT_TRUE(M->View()->isRowHidden(2)) << "120 is not among the chosen types";
    Capture("k07", 4000, 'M'); // a new row is filtered as it comes
    EXPECT_TRUE(M->View()->isRowHidden(4));
    M->SetFilterState(2);
    EXPECT_FALSE(M->View()->isRowHidden(0)) << "the acoustic filter hides nothing";
    M->SetFilterState(0);

    // find, from the row after the current one
    M->View()->setCurrentIndex(M->Model().index(0, 0));
    EXPECT_TRUE(M->FindNext(QStringLiteral("Z034")));
    EXPECT_EQ(M->View()->currentIndex().row(), 3);
    EXPECT_FALSE(M->FindNext(QStringLiteral("Z034"), true, true)) << "match case";
    EXPECT_TRUE(M->FindNext(QStringLiteral("l001"), false)) << "upwards";
    EXPECT_EQ(M->View()->currentIndex().row(), 0);

    // Ctrl+C: the shown columns, times of day, telegram in quotes
    M->View()->clearSelection();
    M->View()->selectRow(2);
    const QString copied = M->SelectionText();
    const QStringList lines = copied.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_FALSE(lines[0].contains(QStringLiteral("HEX"))) << "the hidden hex column stays out";
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("S\t3\t")));
    EXPECT_TRUE(lines[1].contains(QStringLiteral("\"a10")));

    // marking by a search text
    TCellOptions o;
    o.MarkText = "a1";
    EXPECT_EQ(ProtocolCellLook(M->Recorder().Table(), 1, pcNr, Parser, o).Background,
              QColor(0xFF, 0x80, 0x00));
    EXPECT_FALSE(ProtocolCellLook(M->Recorder().Table(), 0, pcNr, Parser, o).Background.isValid());
    o.CurrentRow = 1;
    EXPECT_FALSE(ProtocolCellLook(M->Recorder().Table(), 1, pcNr, Parser, o).Background.isValid());
}

TEST(DetailKind, ByRecordTypeErrorsAndStatus) {
    TTable t = MakeProtocolTable();
    struct TCase {
        const char* RecordNo;
        const char* Errors;
        const char* Status;
        TDetailKind Kind;
    };
    const TCase cases[] = {
        {"021", " ", "", TDetailKind::DS021},    {"003a", "S", "-1", TDetailKind::DS003a},
        {"003c", " ", "", TDetailKind::DS003c},  {"005", " ", "", TDetailKind::General},
        {"005", "S", "", TDetailKind::Error},    {"005", " ", "-1", TDetailKind::Error},
        {"120", " ", "4", TDetailKind::General}, {"120", " ", "3", TDetailKind::Error},
        {"[005]", "X", "", TDetailKind::Error},  {"020", "  ", "0", TDetailKind::General},
    };
    for (const TCase& c : cases) {
        const int r = t.RowCount();
        t.InsertRow(r);
        t.SetCell(pcKind, r, "M");
        t.SetCell(pcRecordNo, r, c.RecordNo);
        t.SetCell(pcErrors, r, c.Errors);
        t.SetCell(pcAnswer, r, c.Status);
        EXPECT_EQ(DetailKindOf(t, r), c.Kind) << c.RecordNo << " '" << c.Errors << "' " << c.Status;
    }
}

// An empty cell comes back from a protocol file as a single blank.
std::string Stored(std::string_view cell) {
    return cell.empty() ? std::string(" ") : std::string(cell);
}

// A protocol recorded by the monitor, saved, and opened in a protocol window.
class ProtocolWindowTest : public MonitorWindowTest {
protected:
    ProtocolWindowTest() {
        Capture("a1", 1000);
        Capture("a10", 1700, 'S');
        Capture("l001", 2400);
        Capture("a2", 3100); // never answered
        Capture("z034", 3800);
        Rows = M->Recorder().RowCounter();
        EXPECT_TRUE(M->Recorder().SaveActiveProtocol(File, 0));
        Recorded = M->Recorder().Table();
    }
    std::string File = Dir / "rec.PRO.CSV";
    int Rows = 0;
    TTable Recorded = MakeProtocolTable();
};

TEST_F(ProtocolWindowTest, ShowsTheSavedRowsAndSavesThemAgain) {
    TfProtocolForm w(Env, Parser, QString::fromStdString(File));
    ASSERT_EQ(w.Model().rowCount(), Rows);
    for (int r = 0; r < Rows; ++r)
        for (int c = 0; c < kProtocolColumns; ++c)
            ASSERT_EQ(w.Model().data(w.Model().index(r, c), Qt::DisplayRole).toString(),
                      FromCp1252(Stored(Recorded.Cell(c, r))))
                << r << "/" << c;
    EXPECT_EQ(w.Caption(), QStringLiteral("Protokoll ") + QString::fromStdString(File));
    EXPECT_EQ(w.ProposedName(), QStringLiteral("rec.PRO.CSV"));
    EXPECT_TRUE(w.MayClose()) << "nothing changed: no question";
    EXPECT_TRUE(w.View()->isColumnHidden(pcHex));
    EXPECT_EQ(w.FilterState(), 0);
    EXPECT_TRUE(w.AutoWarnings());

    const std::string copy = Dir / "copy.PRO.CSV";
    ASSERT_TRUE(w.SaveTo(QString::fromStdString(copy)));
    EXPECT_EQ(w.FileName(), QString::fromStdString(copy));
    EXPECT_TRUE(w.Caption().endsWith(QStringLiteral("copy.PRO.CSV")));
    TTable back = MakeProtocolTable();
    ASSERT_EQ(LoadFromCSV(back, copy, '"', nullptr, std::nullopt, ';').Rows, Rows);
    for (int r = 0; r < Rows; ++r)
        for (int c = 0; c < kProtocolColumns; ++c)
            ASSERT_EQ(back.Cell(c, r), Stored(Recorded.Cell(c, r))) << r << "/" << c;
    EXPECT_EQ(Env.ProtokollDirectory(), Dir / "");
}

TEST_F(ProtocolWindowTest, DetailPanelOpensOncePerRow) {
    TfProtocolForm w(Env, Parser, QString::fromStdString(File));
    w.show();
    EXPECT_EQ(w.DetailTag(), -1);
    EXPECT_FALSE(w.DetailPanel()->isVisible());

    int analysed = 0;
    w.Analyse = [&](TDetailKind, int, QVBoxLayout*) {
        ++analysed;
        return false;
    };
    // the unanswered a2 is an error row
    w.DetailAnalysis(3);
    EXPECT_EQ(w.DetailKind(), TDetailKind::Error);
    EXPECT_EQ(w.DetailTag(), 4) << "the tag is the row's Nr.";
    EXPECT_TRUE(w.DetailPanel()->isVisible());
    EXPECT_TRUE(Env.HintGiven(THint::GridErrorDblClickHintGiven));
    EXPECT_TRUE(Env.HintGiven(THint::GridDblClickHintGiven));
    EXPECT_GT(w.DetailPanel()->findChildren<QLabel*>().size(), 1) << "the row's facts";
    w.DetailAnalysis(3);
    EXPECT_EQ(analysed, 1) << "the row already shown: nothing happens";
    EXPECT_TRUE(w.DetailPanel()->isVisible());

    // Enter on the current row opens its analysis
    w.View()->setCurrentIndex(w.Model().index(0, 0));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(&w, &enter);
    EXPECT_EQ(w.DetailTag(), 1);
    EXPECT_EQ(w.DetailKind(), TDetailKind::General);
    EXPECT_EQ(analysed, 2);

    w.HideDetail();
    EXPECT_EQ(w.DetailTag(), -1);
    EXPECT_FALSE(w.DetailPanel()->isVisible());
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w.DetailPanel()->findChildren<QLabel*>().isEmpty()) << "generic controls freed";
}

TEST_F(MonitorWindowTest, OneTimeTipsPauseFollowing) {
    M->resize(900, 500);
    M->show();
    QApplication::setActiveWindow(M.get());
    // the tips look at the rows once they are painted
    auto capture = [&](const std::string& text, uint32_t start) {
        Capture(text, start);
        for (int k = 0; k < 5; ++k)
            QApplication::processEvents();
    };
    capture("l001", 0);
    ASSERT_TRUE(M->isActiveWindow());
    EXPECT_TRUE(M->LastTip().isEmpty()) << "nothing worth a tip yet";
    EXPECT_TRUE(M->AutoScroll());
    capture("zA1Hauptbahnhof....", 1000); // a record type with an analysis of its own
    EXPECT_TRUE(M->LastTip().contains(QStringLiteral("003a, 003c oder 021")));
    EXPECT_FALSE(M->AutoScroll()) << "a tip pauses following";
    EXPECT_TRUE(Env.HintGiven(THint::GridDblClickHintGiven));
    // resuming closes the balloon (it fades out)
    auto resume = [&] {
        M->SetAutoScroll(true);
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 600)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
    };
    resume();
    capture("a2", 2000);   // never answered: an error row ...
    capture("l001", 2500); // ... once the next master shows it
    EXPECT_TRUE(M->LastTip().contains(QStringLiteral("Fehler")));
    EXPECT_TRUE(Env.HintGiven(THint::GridErrorDblClickHintGiven));
    resume();
    const QString last = M->LastTip();
    capture("zA1Hauptbahnhof....", 3000);
    EXPECT_EQ(M->LastTip(), last) << "each tip comes once";
    EXPECT_TRUE(M->AutoScroll());
}

TEST_F(ProtocolWindowTest, FilterTipOnceAfterTheFilterWindowWasUsed) {
    TfProtocolForm w(Env, Parser, QString::fromStdString(File));
    w.Activated();
    EXPECT_TRUE(w.LastTip().isEmpty()) << "the filter window was never opened";
    Env.SetFilterWindowWasOpened(true);
    w.SetFilterState(1);
    w.Activated();
    EXPECT_TRUE(w.LastTip().isEmpty()) << "the filter is on already";
    w.SetFilterState(0);
    w.Activated();
    EXPECT_TRUE(w.LastTip().startsWith(QStringLiteral("Sie müssen die Filterung erst aktivieren")));
    EXPECT_TRUE(Env.HintGiven(THint::FilterHint));
}

TEST_F(ProtocolWindowTest, PlaybackSendsTheMasterRows) {
    TfProtocolForm w(Env, Parser, QString::fromStdString(File));
    std::vector<std::string> sent;
    bool master = true;
    w.Links.MonitorExists = [] { return true; };
    w.Links.DeviceIsMaster = [&] { return master; };
    w.Links.DeviceOnline = [] { return true; };
    // the scheduler takes the cell as recorded (CR and check byte are its business)
    w.Links.RequestSingleCall = [&](const std::string& t) {
        sent.push_back(t.substr(0, t.find('\r')));
    };
    QString active;
    w.Links.ShowActiveProtocol = [&](const QString& f) { active = f; };
    auto runOut = [&] {
        QElapsedTimer t;
        t.start();
        while (w.Sending() && t.elapsed() < 10000)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
    };
    // once, from the top: the master rows in order, the answer skipped
    Env.SetProtocolSendDelay(-5);
    w.View()->setCurrentIndex(w.Model().index(0, 0));
    w.SendClicked();
    EXPECT_TRUE(w.Sending());
    EXPECT_EQ(active, QString::fromStdString(File));
    EXPECT_FALSE(w.AutoWarnings()) << "no warning marks while sending";
    EXPECT_EQ(w.SendButton()->text(), QStringLiteral("Anhalten"));
    runOut();
    EXPECT_FALSE(w.Sending());
    EXPECT_EQ(sent, (std::vector<std::string>{"a1", "l001", "a2", "z034"}));
    EXPECT_TRUE(w.AutoWarnings());
    EXPECT_TRUE(active.isEmpty());
    EXPECT_TRUE(w.InfoPanel()->text().endsWith(QStringLiteral(": 4")));

    // single telegram: exactly the selected one
    sent.clear();
    w.SetSendMode(TProtocolPlayer::smSingle);
    w.View()->setCurrentIndex(w.Model().index(2, 0));
    w.SendClicked();
    EXPECT_FALSE(w.Sending());
    EXPECT_EQ(sent, (std::vector<std::string>{"l001"}));
    EXPECT_EQ(w.View()->currentIndex().row(), 2) << "the selected row stays";

    // cyclic runs until the device stops being master
    sent.clear();
    w.SetSendMode(TProtocolPlayer::smCyclic);
    w.SendClicked();
    QElapsedTimer t;
    t.start();
    while (sent.size() < 6 && t.elapsed() < 10000)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    EXPECT_GE(sent.size(), 6u) << "it started again from the top";
    master = false;
    w.RefreshSendState();
    EXPECT_FALSE(w.Sending());
    EXPECT_EQ(w.SendButton()->text(), QStringLiteral("Senden"));
}

TEST_F(ProtocolWindowTest, OlderFormsAndTheCloseQuestion) {
    TAutoAnswer answer(QMessageBox::No);
    // the comma form is written back in the current form: nothing to ask
    const std::string comma =
        Dir.Write("old.PRO.CSV", "'M','1','1000','','','l001\r/',' 6C','001','x','',\r\n");
    TfProtocolForm a(Env, Parser, QString::fromStdString(comma));
    EXPECT_TRUE(a.LoadInfo().WrittenBack);
    EXPECT_TRUE(std::filesystem::exists(Dir / "old.PRO.BAK"));
    EXPECT_TRUE(a.MayClose());
    EXPECT_EQ(answer.Count, 0);
    // an unquoted file is re-analysed only in memory: closing asks
    const std::string plain = Dir.Write("plain.PRO.CSV", "M;1;1000;;;l001;;;;\r\n");
    TfProtocolForm b(Env, Parser, QString::fromStdString(plain));
    EXPECT_TRUE(b.MayClose()) << "No closes without saving";
    EXPECT_EQ(answer.Count, 1);
    EXPECT_TRUE(answer.LastText.contains(QStringLiteral("importiert oder erneut analysiert")));
    // the re-analysis button marks the rows as changed too
    TfProtocolForm c(Env, Parser, QString::fromStdString(File));
    c.ReanalyseRows();
    EXPECT_EQ(c.Model().rowCount(), Rows);
    EXPECT_TRUE(c.MayClose());
    EXPECT_EQ(answer.Count, 2);
}

TEST_F(ProtocolWindowTest, BrokenFilesAreRefused) {
    const std::string broken = Dir.Write("broken.PRO.CSV", "\"M\";\"1\"\r\nno separator here\r\n");
    EXPECT_THROW(TfProtocolForm(Env, Parser, QString::fromStdString(broken)), EVaskelError);
    const QString text = ProtocolLoadErrorText(QStringLiteral("Ungültiges Protokollformat"));
    EXPECT_TRUE(
        text.startsWith(QStringLiteral("Die ausgewählte Datei ist kein gültiges Protokoll")));
    EXPECT_TRUE(text.contains(QStringLiteral("\nFalls Sie gleichzeitig")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("Ungültiges Protokollformat")));
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
    ASSERT_TRUE(WaitFor([&] { return !W->ProtocolWindows().isEmpty(); }));
    EXPECT_EQ(answer.Count, 1);
    EXPECT_TRUE(answer.LastText.contains(QStringLiteral("Sicherungsprotokoll")));
    auto* p = dynamic_cast<TfProtocolForm*>(W->ProtocolWindows().first());
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->Model().rowCount(), 2);
    // the copy goes when the program ends: the window asks before that
    W->close();
    EXPECT_EQ(answer.Count, 2) << "the recovered rows are not saved yet";
    EXPECT_FALSE(std::filesystem::exists(copy));
    W.reset();
}

TEST_F(MainWindowTest, ACleanEndLeavesNoSafetyCopy) {
    Start(TScenario::Vehicle);
    ASSERT_TRUE(WaitFor([&] { return W->Action("acAufzeichnen")->isEnabled(); }));
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
    Usb.reset();
    EXPECT_FALSE(std::filesystem::exists(copy)) << "the next start must not offer it";
}

TEST_F(MainWindowTest, NoOfferWithoutASafetyCopyAndDroppedProtocolsOpen) {
    TAutoAnswer answer(QMessageBox::Ok);
    Start(TScenario::Unpowered);
    const std::string broken = Dir.Write("x.PRO.CSV", "nothing");
    EXPECT_EQ(W->DropFiles({QString::fromStdString(broken)}), TDroppedKind::Protocol);
    EXPECT_TRUE(Opened.empty()) << "protocols are opened by the main window itself";
    EXPECT_TRUE(W->ProtocolWindows().isEmpty());
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
    ASSERT_EQ(W->ProtocolWindows().size(), 1);
    QApplication::processEvents();
    EXPECT_EQ(W->ActiveProtocolWindow(), W->ProtocolWindows().first());
    EXPECT_TRUE(W->Action("acSearch")->isEnabled());
    EXPECT_FALSE(W->Action("mmSpeichern")->isEnabled()) << "only the monitor saves in place";
    EXPECT_TRUE(W->Action("mmSpeichernUnter")->isEnabled());
    EXPECT_EQ(answer.Count, 1);

    // the view menu's protocol toolbar toggle reaches the window
    QWidget* bar =
        W->ProtocolWindows().first()->findChild<QWidget*>(QStringLiteral("ProtocolToolBar"));
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->isVisible());
    W->Action("actShowHideProtocolToolbar")->trigger();
    EXPECT_FALSE(bar->isVisible());
    W->Action("actShowHideProtocolToolbar")->trigger();
    EXPECT_TRUE(bar->isVisible());
}

} // namespace
} // namespace vaskel
