// The live monitor: in the main window on the virtual Tavrin, and on its own.

#include "ui/main/MainFormFixture.h"
#include "ui/protocol/MonitorFixture.h"
#include "ui/widgets/BalloonHint.h"

#include <QMdiSubWindow>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QTest>
#include <QStyleOptionSlider>
#include <QToolTip>
#include <QWheelEvent>
#include <functional>

namespace vaskel {
namespace {

class MonitorTest : public MainWindowTest {};

TEST_F(MonitorTest, LiveTrafficBecomesPairedRows) {
    Start(TScenario::Vehicle);
    ASSERT_TRUE(WaitFor([&] { return W->Action(TAct::acAufzeichnen)->isEnabled(); }));
    W->Action(TAct::acAufzeichnen)->trigger();
    TfMonitorForm* m = W->Monitor();
    ASSERT_NE(m, nullptr);
    EXPECT_FALSE(W->Action(TAct::acAufzeichnen)->isEnabled()) << "one monitor at a time";
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

TEST_F(MonitorTest, WindowsOpenInsideTheWindowArea) {
    // a safety copy left by an earlier run is recovered; then the monitor
    // and one more protocol open beside it
    Start(TScenario::Vehicle);
    W->resize(1024, 768);
    QApplication::processEvents();
    const std::string copy = SafetyCopyFile(Env);
    std::filesystem::create_directories(std::filesystem::path(copy).parent_path());
    std::ofstream(copy) << "\"M\";\"1\";\"1000\";\"\";\"\";\"l001\r/\";\"\";\"001\";\"\";\"\"\r\n";
    const std::string other = Dir.Write(
        "other.PRO.CSV", "\"M\";\"1\";\"1000\";\"\";\"\";\"l002\r,\";\"\";\"001\";\"\";\"\"\r\n");
    // the recovery's notice; on closing, nothing is saved
    TAutoAnswer answer(QMessageBox::No);
    ASSERT_NE(W->OfferSafetyCopy(), nullptr);
    W->Action(TAct::acAufzeichnen)->trigger();
    ASSERT_NE(W->Monitor(), nullptr);
    ASSERT_NE(W->OpenProtocol(QString::fromStdString(other)), nullptr);
    const QRect area = W->Area()->viewport()->rect();
    ASSERT_EQ(W->Area()->subWindowList().size(), 3);
    for (QMdiSubWindow* sub : W->Area()->subWindowList())
        EXPECT_TRUE(area.contains(sub->geometry()))
            << sub->windowTitle().toStdString() << " lies at " << sub->x() << "," << sub->y() << " "
            << sub->width() << "x" << sub->height() << " in " << area.width() << "x"
            << area.height();
    W->close();
    std::filesystem::remove(copy);
}

// The balloon of a tip is gone (it fades out).
void CloseBalloon() {
    TBalloonHint::CloseCurrent();
    QToolTip::hideText();
    QElapsedTimer t;
    t.start();
    while (QToolTip::isVisible() && t.elapsed() < 3000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

// A tip comes as a balloon in the window: the field the user types in keeps
// the focus, typing on does not sweep the tip away unread, and the tip
// comes once (its flag is one of the stored settings).
TEST_F(MonitorWindowTest, ATipLeavesTheFocusInTheTypedFieldAndComesOnce) {
    auto settle = [] {
        for (int k = 0; k < 5; ++k)
            QApplication::processEvents();
    };
    M->resize(900, 300);
    M->show();
    QApplication::setActiveWindow(M.get());
    QLineEdit* mark = M->MarkEdit();
    mark->setFocus();
    ASSERT_TRUE(WaitFor([&] { return mark->hasFocus(); }));
    QTest::keyClicks(mark, QStringLiteral("aA"));
    Capture("aA12Hauptbahnhof    }ber Marktplatz ", 1000); // a 021 row
    settle();
    TBalloonHint* tip = TBalloonHint::Current();
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(tip->Title(), QStringLiteral("Tipp"));
    EXPECT_TRUE(tip->Text().contains(QStringLiteral("003a, 003c oder 021")));
    EXPECT_TRUE(Env.HintGiven(THint::GridDblClickHintGiven));
    EXPECT_TRUE(mark->hasFocus()) << "the tip never takes the focus";
    QTest::keyClicks(mark, QStringLiteral("1"));
    EXPECT_EQ(mark->text(), QStringLiteral("aA1")) << "the keys still reach the field";
    EXPECT_EQ(TBalloonHint::Current(), tip) << "and the tip is still there to be read";
    TBalloonHint::CloseCurrent();

    // a new monitor of the same installation: no second tip
    M->Recorder().Table().Modified = false;
    M.reset();
    M = std::make_unique<TfMonitorForm>(S);
    M->Recorder().SafetyCopy = false;
    M->resize(900, 300);
    M->show();
    QApplication::setActiveWindow(M.get());
    Capture("aA12Hauptbahnhof    }ber Marktplatz ", 2000);
    settle();
    EXPECT_EQ(TBalloonHint::Current(), nullptr);
}

// Scrolling by hand, every way a user can, stops following the newest row;
// new rows alone never do.
TEST_F(MonitorWindowTest, ScrollingByHandPausesFollowing) {
    M->resize(900, 400);
    M->show();
    for (int k = 0; k < 80; ++k)
        Capture("l001", k * 1000);
    QApplication::processEvents();
    EXPECT_TRUE(M->AutoScroll()) << "new rows alone never pause";
    QTableView* view = M->View();
    QScrollBar* bar = view->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum()) << "it follows the newest row";
    // where a part of the scroll bar lies
    auto part = [bar](QStyle::SubControl sc) {
        QStyleOptionSlider o;
        o.initFrom(bar);
        o.orientation = bar->orientation();
        o.minimum = bar->minimum();
        o.maximum = bar->maximum();
        o.sliderPosition = bar->sliderPosition();
        o.sliderValue = bar->value();
        o.singleStep = bar->singleStep();
        o.pageStep = bar->pageStep();
        return bar->style()->subControlRect(QStyle::CC_ScrollBar, &o, sc, bar).center();
    };
    auto key = [view](Qt::Key k) { return [view, k] { QTest::keyClick(view, k); }; };
    const std::pair<const char*, std::function<void()>> cases[] = {
        {"arrow",
         [&] { QTest::mouseClick(bar, Qt::LeftButton, {}, part(QStyle::SC_ScrollBarSubLine)); }},
        {"track",
         [&] { QTest::mouseClick(bar, Qt::LeftButton, {}, part(QStyle::SC_ScrollBarSubPage)); }},
        {"slider",
         [&] { QTest::mouseClick(bar, Qt::LeftButton, {}, part(QStyle::SC_ScrollBarSlider)); }},
        {"wheel",
         [&] {
             QWheelEvent wheel(QPointF(20, 20), view->viewport()->mapToGlobal(QPointF(20, 20)),
                               QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                               Qt::NoScrollPhase, false);
             QApplication::sendEvent(view->viewport(), &wheel);
         }},
        {"Up", key(Qt::Key_Up)},
        {"Down", key(Qt::Key_Down)},
        {"PageUp", key(Qt::Key_PageUp)},
        {"PageDown", key(Qt::Key_PageDown)},
        {"Home", key(Qt::Key_Home)},
        {"End", key(Qt::Key_End)},
        {"click on a row",
         [&] {
             QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                               view->visualRect(M->Model().index(75, pcNr)).center());
         }},
    };
    for (const auto& [name, act] : cases) {
        M->SetAutoScroll(true);
        ASSERT_TRUE(M->AutoScroll());
        act();
        EXPECT_FALSE(M->AutoScroll()) << name;
    }
    // a key that does not move through the rows goes on following
    M->SetAutoScroll(true);
    QTest::keyClick(view, Qt::Key_A);
    Capture("l001", 90000);
    EXPECT_TRUE(M->AutoScroll());
    EXPECT_EQ(view->currentIndex().row(), M->Model().rowCount() - 1);
}

// The newest row, current and selected while the monitor follows, shows its
// reaction and error colours.
// "Löschen" starts a new recording, and with it a new safety copy: a crash
// afterwards offers the new rows alone, numbered from 1.
TEST_F(MonitorWindowTest, ClearingStartsANewSafetyCopy) {
    std::filesystem::create_directories(Env.DataDirectory());
    M->Recorder().SafetyCopy = true;
    const std::string copy = SafetyCopyFile(Env);
    for (int k = 0; k < 500; ++k) // written at the 500th row
        Capture("l001", k * 1000);
    M->Recorder().FinishSafetyCopy(); // written in the background
    TTable t = MakeProtocolTable();
    ASSERT_EQ(LoadFromCSV(t, copy, '"', nullptr, std::nullopt, ';').Rows, 500);
    QPushButton* clear = nullptr;
    for (QPushButton* b : M->findChildren<QPushButton*>())
        if (b->text() == QStringLiteral("Löschen")) clear = b;
    ASSERT_NE(clear, nullptr);
    {
        TAutoAnswer yes(QMessageBox::Yes);
        clear->click();
        EXPECT_EQ(yes.Count, 1);
    }
    ASSERT_EQ(M->Recorder().RowCounter(), 0);
    Capture("l002", 900000);
    Capture("l002", 901000);
    M->Recorder().SafetyTick();
    M->Recorder().FinishSafetyCopy();
    ASSERT_EQ(LoadFromCSV(t, copy, '"', nullptr, std::nullopt, ';').Rows, 2);
    EXPECT_EQ(t.Cell(pcNr, 0), "1");
    EXPECT_EQ(t.Cell(pcNr, 1), "2");
    EXPECT_EQ(t.Cell(pcTelegram, 0), TelegramBytes("l002"));
    EXPECT_EQ(M->Recorder().EarlierCopy(), "") << "the emptied rows are not an earlier run's";
    M->Recorder().SafetyCopy = false;
    std::filesystem::remove(copy);
}

TEST_F(MonitorWindowTest, TheFollowedRowShowsItsColours) {
    M->resize(900, 300);
    M->show();
    Capture("a1", 0); // ends at 300 ticks
    TTelegramm answer;
    answer.Text = TelegramBytes("a10");
    answer.StartTicks = 444; // 20 ms after the master's end
    answer.EndTicks = 700;
    answer.ErrorFlags = 4; // a checksum error
    S.Capture(answer, 'S');
    QApplication::processEvents();
    const int row = 1;
    ASSERT_EQ(M->Recorder().Table().Cell(pcReaction, row), "20");
    ASSERT_EQ(M->View()->currentIndex().row(), row);
    ASSERT_TRUE(M->View()->selectionModel()->isRowSelected(row, {}));
    const QImage shot = M->View()->viewport()->grab().toImage();
    auto colourAt = [&](int col) {
        const QRect r = M->View()->visualRect(M->Model().index(row, col));
        return shot.pixel(r.left() + 3, r.top() + 3);
    };
    EXPECT_EQ(colourAt(pcReaction), QColor(0xDF, 0xED, 0x7E).rgb());
    EXPECT_EQ(colourAt(pcErrors), QColor(0xFF, 0x80, 0x80).rgb());
    const QColor selection = M->View()->palette().highlight().color().lighter(160);
    EXPECT_EQ(colourAt(pcNr), selection.rgb()) << "the rest of the row shows the selection";
}

TEST_F(MonitorWindowTest, CaptionAndPauseButtonFollowTheLanguage) {
    M->SetAutoScroll(false);
    const QString started = M->Caption().section(QStringLiteral(": "), 1);
    SetUiLanguage(2);
    QApplication::processEvents();
    bool resume = false;
    for (QPushButton* b : M->findChildren<QPushButton*>())
        resume |= b->text() == QStringLiteral("Resume");
    const QString caption = M->Caption();
    SetUiLanguage(1);
    QApplication::processEvents();
    EXPECT_TRUE(resume);
    EXPECT_EQ(caption, English(QStringLiteral("Monitor - Beginn der Aufzeichnung: ")) + started);
    EXPECT_TRUE(M->Caption().startsWith(QStringLiteral("Monitor - Beginn der Aufzeichnung: ")));
}

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

    // Ctrl+C: the shown columns, times of day, every cell in quotes
    M->View()->clearSelection();
    M->View()->selectRow(2);
    const QString copied = M->SelectionText();
    const QStringList lines = copied.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_FALSE(lines[0].contains(QStringLiteral("HEX"))) << "the hidden hex column stays out";
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("\"S\"\t\"3\"\t")));
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

// Telegrams the device recorded on its own reach the monitor when they are
// read out, often as the first rows of a recording the read-out opened. The
// live traffic before reached the session while nothing recorded: the read-out
// rows keep the times they were recorded at, and the live rows after them
// the PC's time.
TEST_F(MonitorWindowTest, ReadOutOpeningTheMonitorKeepsTheRecordedTimes) {
    M.reset(); // no monitor: nothing records
    auto capture = [&](uint32_t start) {
        TTelegramm t;
        t.Text = TelegramBytes("l001");
        t.StartTicks = start;
        t.EndTicks = start + 300;
        S.Capture(t, 'M');
    };
    auto nowMs = [] { return TSystemClock().Now().MsOfDay(); };
    const uint32_t live = 7200 * 3600; // an hour after the device started
    const int64_t liveAt = nowMs();
    capture(live);
    M = std::make_unique<TfMonitorForm>(S); // opened by the read-out
    M->Recorder().SafetyCopy = false;
    capture(live - 20 * 7200); // recorded 20 s before
    capture(live - 19 * 7200);
    capture(live + 720); // live again, 100 ms later
    const TTable& t = M->Recorder().Table();
    ASSERT_EQ(M->Recorder().RowCounter(), 3);
    EXPECT_NEAR(std::stoll(std::string(t.Cell(pcStart, 0))), liveAt - 20000, 1500);
    EXPECT_NEAR(std::stoll(std::string(t.Cell(pcStart, 1))), liveAt - 19000, 1500);
    EXPECT_NEAR(std::stoll(std::string(t.Cell(pcStart, 2))), nowMs() + 100, 1500);
}

// The pause button of a monitor window.
QPushButton* PauseButton(TfMonitorForm& m) {
    for (QPushButton* b : m.findChildren<QPushButton*>())
        if (b->text() == QStringLiteral("Pause") || b->text() == QStringLiteral("Weiter")) return b;
    return nullptr;
}

// The one-time tips (a record type with an analysis of its own, a row with an
// error) come once each and never stop the monitor from following the newest
// row; its own scrolling to that row never counts as scrolling by hand. The
// user's wheel still pauses.
TEST_F(MonitorWindowTest, OneTimeTipsNeverPauseFollowing) {
    ASSERT_FALSE(Env.HintGiven(THint::GridDblClickHintGiven)) << "fresh settings";
    ASSERT_FALSE(Env.HintGiven(THint::GridErrorDblClickHintGiven));
    M->resize(900, 300);
    M->show();
    QApplication::setActiveWindow(M.get());
    QPushButton* pause = PauseButton(*M);
    ASSERT_NE(pause, nullptr);
    QTableView* view = M->View();
    QScrollBar* bar = view->verticalScrollBar();
    // the tips look at the rows once they are painted
    auto settle = [] {
        for (int k = 0; k < 5; ++k)
            QApplication::processEvents();
    };
    auto capture = [&](const std::string& text, uint32_t start, uint8_t flags = 0) {
        TTelegramm t;
        t.Text = flags & kErrAborted ? text : TelegramBytes(text);
        t.StartTicks = start;
        t.EndTicks = start + 300;
        t.ErrorFlags = flags;
        S.Capture(t, 'M');
        settle();
    };
    auto following = [&](const char* when) {
        EXPECT_TRUE(M->AutoScroll()) << when;
        EXPECT_EQ(pause->text(), QStringLiteral("Pause")) << when;
        EXPECT_EQ(view->currentIndex().row(), M->Model().rowCount() - 1) << when;
        EXPECT_EQ(bar->value(), bar->maximum()) << when;
    };
    capture("l001", 0);
    ASSERT_TRUE(M->isActiveWindow());
    EXPECT_TRUE(M->LastTip().isEmpty()) << "nothing worth a tip yet";
    capture("aA12Hauptbahnhof    }ber Marktplatz ", 1000); // a 021 row
    ASSERT_EQ(M->Recorder().Table().Cell(pcRecordNo, 1), "021");
    EXPECT_TRUE(M->LastTip().contains(QStringLiteral("003a, 003c oder 021")));
    EXPECT_TRUE(Env.HintGiven(THint::GridDblClickHintGiven));
    following("after the record-type tip");
    CloseBalloon();
    capture("l0", 2000, kErrAborted); // an aborted telegram: an error row
    ASSERT_EQ(M->Recorder().Table().Cell(pcErrors, 2).substr(0, 1), "A");
    EXPECT_TRUE(M->LastTip().contains(QStringLiteral("Fehler")));
    EXPECT_TRUE(Env.HintGiven(THint::GridErrorDblClickHintGiven));
    following("after the error tip");
    // enough rows for the table to scroll by itself, the balloon still up
    const QString last = M->LastTip();
    for (int k = 0; k < 40; ++k)
        capture(k % 2 ? "aA12Hauptbahnhof    }ber Marktplatz " : "l001", 3000 + k * 700);
    ASSERT_GT(bar->maximum(), 0);
    following("after more rows");
    CloseBalloon();
    capture("l0", 40000, kErrAborted);
    EXPECT_EQ(M->LastTip(), last) << "each tip comes once";
    following("after another error row");

    // the user turns the wheel: that pauses
    QWheelEvent wheel(QPointF(20, 20), view->viewport()->mapToGlobal(QPointF(20, 20)), QPoint(),
                      QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view->viewport(), &wheel);
    EXPECT_FALSE(M->AutoScroll());
    EXPECT_EQ(pause->text(), QStringLiteral("Weiter"));
    const int current = view->currentIndex().row();
    capture("l001", 41000);
    EXPECT_EQ(view->currentIndex().row(), current) << "paused: the new row is not followed";
    EXPECT_LT(bar->value(), bar->maximum());
    // "Weiter" follows again
    QTest::mouseClick(pause, Qt::LeftButton);
    following("after Weiter");
}


// Double-clicks a table row as a mouse does: press, release, double click.
void DoubleClickRow(QTableView* view, int row) {
    view->scrollTo(view->model()->index(row, pcTelegram));
    const QPoint at = view->visualRect(view->model()->index(row, pcTelegram)).center();
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
}

// The detail panel takes the room its analysis needs whatever panel was
// shown before, never shrinks to a line, and keeps the height the user
// gives it with the handle between table and panel.
TEST_F(MonitorWindowTest, DetailPanelKeepsAUsableSizeTheUserCanChange) {
    uint32_t at = 1000;
    for (int k = 0; k < 30; ++k, at += 700)
        Capture(k % 2 ? "l001" : "z034", at);
    Capture("zA2Hauptbahnhof    Messe/Stadthalle", at += 700);
    Capture("aA12Marktplatz      Rathaus/Museum 3", at += 700);
    const int row003a = M->Recorder().RowCounter() - 2;
    const int row021 = row003a + 1;
    M->resize(900, 600);
    M->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(M.get()));
    QSplitter* split = M->DetailSplitter();
    ASSERT_NE(split, nullptr);
    auto* scroll = M->DetailPanel()->findChild<QScrollArea*>(QStringLiteral("DetailScroll"));
    ASSERT_NE(scroll, nullptr);
    const auto shownWhole = [&] {
        QApplication::processEvents();
        return scroll->widget()->height() <= scroll->viewport()->height();
    };

    DoubleClickRow(M->View(), row003a);
    ASSERT_TRUE(M->DetailPanel()->isVisible()) << "the first double click shows the panel";
    EXPECT_EQ(M->DetailRow(), row003a);
    EXPECT_TRUE(shownWhole()) << "003a";
    const int first = M->DetailPanel()->height();

    DoubleClickRow(M->View(), row021);
    EXPECT_EQ(M->DetailRow(), row021);
    EXPECT_TRUE(shownWhole()) << "021 after 003a: " << M->DetailPanel()->height();
    EXPECT_GE(M->DetailPanel()->height(), first) << "the longer analysis has more room";

    DoubleClickRow(M->View(), row003a);
    EXPECT_TRUE(shownWhole()) << "003a again";

    // the user drags the handle up by 80 pixels; the height stays for the
    // next rows
    QSplitterHandle* handle = split->handle(1);
    ASSERT_NE(handle, nullptr);
    const int before = M->DetailPanel()->height();
    const QPoint grip = handle->rect().center();
    QTest::mousePress(handle, Qt::LeftButton, {}, grip);
    QMouseEvent move(QEvent::MouseMove, QPointF(grip - QPoint(0, 80)),
                     handle->mapToGlobal(QPointF(grip - QPoint(0, 80))), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(handle, &move);
    QTest::mouseRelease(handle, Qt::LeftButton, {}, grip - QPoint(0, 80));
    QApplication::processEvents();
    const int chosen = M->DetailPanel()->height();
    EXPECT_NEAR(chosen, before + 80, 2) << "the handle resizes the panel";
    DoubleClickRow(M->View(), row021);
    EXPECT_EQ(M->DetailRow(), row021);
    EXPECT_EQ(M->DetailPanel()->height(), chosen) << "kept between rows";
    M->HideDetail();
    DoubleClickRow(M->View(), row003a);
    EXPECT_EQ(M->DetailPanel()->height(), chosen) << "kept after hiding";
}

} // namespace
} // namespace vaskel
