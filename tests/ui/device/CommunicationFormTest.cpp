// The traffic window: two lists in step, the highlight, pause, copy, save,
// and the bytes of a real controller reaching it on the main thread.

#include "ui/device/CommunicationForm.h"
#include "ui/device/SyncListbox.h"

#include "TestSupport.h"
#include "link/FakeLink.h"
#include "link/RecordingSink.h"
#include "ui/AutoAnswer.h"
#include "ui/UiTestSupport.h"
#include "ui/common/FileDialogs.h"
#include "ui/common/Session.h"
#include "ui/common/Texts.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <mutex>
#include <sstream>

namespace vaskel {
namespace {

using test::Hex;

class CommunicationFormTest : public ::testing::Test {
protected:
    CommunicationFormTest() {
        Platform.Program = Dir / "Vaskel";
        S = std::make_unique<TSession>(Env, Parser, Options());
        F = new TfCommunicationForm(*S);
        F->show();
    }
    ~CommunicationFormTest() override {
        delete F.data();
        S.reset();
    }
    TSession::TOptions Options() {
        TSession::TOptions o;
        o.CreateLink = [this](IMainThreadHandOver&) -> std::unique_ptr<IDeviceLink> {
            auto l = std::make_unique<test::FakeLink>();
            Link = l.get();
            return l;
        };
        return o;
    }
    QString Row(TSyncListbox* list, int row) {
        return F->Model().index(row, list->modelColumn()).data().toString();
    }
    bool Filler(TSyncListbox* list, int row) {
        return F->Model().index(row, list->modelColumn()).data(TTrafficModel::kFillerRole).toBool();
    }
    int Current(TSyncListbox* list) { return list->currentIndex().row(); }

    test::TempDir Dir;
    TFixedSystemPlatform Platform;
    TEnvironment Env{nullptr, Platform};
    TIBISTelegramParser Parser{kCatalogue};
    test::FakeLink* Link = nullptr;
    std::unique_ptr<TSession> S;
    QPointer<TfCommunicationForm> F;
};

TEST_F(CommunicationFormTest, ThreeRowsEachSideFollowTheNewestAndSaveInOrder) {
    EXPECT_EQ(F->windowTitle(), QStringLiteral("Schnittstellenkommunikation"));
    F->LogTraffic(false, Hex("88 40"), 1000);
    F->LogTraffic(true, Hex("A0"), 1010);
    F->LogTraffic(true, Hex("C0"), 1020);
    TSyncListbox* in = F->ListIn();
    TSyncListbox* out = F->ListOut();
    ASSERT_EQ(in->model()->rowCount(), 3);
    EXPECT_EQ(Row(in, 0), QStringLiteral("<88>@"));
    EXPECT_TRUE(Filler(out, 0));
    EXPECT_TRUE(Filler(in, 1) && Filler(in, 2));
    EXPECT_EQ(Row(out, 1), QStringLiteral("<A0>"));
    EXPECT_EQ(Row(out, 2), QStringLiteral("<C0>"));
    EXPECT_EQ(Current(in), 2);
    EXPECT_EQ(Current(out), 2) << "the newest row of both lists is selected";

    // paused, the selection stays where the user put it
    F->PauseButton()->click();
    EXPECT_EQ(F->PauseButton()->text(), QStringLiteral("Weiter"));
    in->setCurrentIndex(F->Model().index(0, 0));
    F->LogTraffic(false, "x", 1030);
    EXPECT_EQ(Current(in), 0);
    F->PauseButton()->click();
    EXPECT_EQ(F->PauseButton()->text(), QStringLiteral("Pause"));
    F->LogTraffic(false, "y", 1040);
    EXPECT_EQ(Current(in), 4);

    const std::string file = Dir / "traffic.txt";
    TFileDialogSpec asked;
    F->AskSaveFile = [&](const TFileDialogSpec& spec) {
        asked = spec;
        return QString::fromStdString(file);
    };
    TAutoAnswer ok(QMessageBox::Ok);
    F->SaveButton()->click();
    EXPECT_EQ(ok.Count, 1);
    EXPECT_EQ(ok.LastText, QStringLiteral("Die Daten wurden gespeichert!"));
    EXPECT_EQ(asked.Title, QStringLiteral("Protokoll speichern"));
    EXPECT_EQ(asked.DefaultSuffix, QStringLiteral("txt"));
    EXPECT_TRUE(asked.File.startsWith(QStringLiteral("Kommunikationsprotokoll_")));
    // the dialog's file types in the program's language
    EXPECT_EQ(DialogFilters(asked), (QStringList{QStringLiteral("Textdatei (*.txt)"),
                                                 QStringLiteral("Alle Dateien (*.*)")}));
    SetUiLanguage(2);
    EXPECT_EQ(DialogFilters(asked), (QStringList{QStringLiteral("Text file (*.txt)"),
                                                 QStringLiteral("All files (*.*)")}));
    SetUiLanguage(1);
    std::ifstream f(file, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    const std::string text = ss.str();
    EXPECT_EQ(text.rfind("Kommunikationsprotokoll. Aufgezeichnet: ", 0), 0u);
    const std::string body = "\r\n[Ger\xE4t > PC 00:00:01,000] <88>@\r\n"
                             "[PC > Ger\xE4t 00:00:01,010] <A0>\r\n"
                             "[PC > Ger\xE4t 00:00:01,020] <C0>\r\n"
                             "[Ger\xE4t > PC 00:00:01,030] x\r\n";
    EXPECT_NE(text.find(std::string(65, '-') + body), std::string::npos) << text;
}

TEST_F(CommunicationFormTest, ListsKeepInStepWithKeysScrollAndWheel) {
    for (int k = 0; k < 200; ++k)
        F->LogTraffic(k % 3 == 0, "row " + std::to_string(k), k);
    TSyncListbox* in = F->ListIn();
    TSyncListbox* out = F->ListOut();
    QApplication::processEvents();
    // keys: both lists move
    in->setFocus();
    QTest::keyClick(in, Qt::Key_Home);
    EXPECT_EQ(Current(in), 0);
    EXPECT_EQ(Current(out), 0);
    QTest::keyClick(in, Qt::Key_Down);
    QTest::keyClick(in, Qt::Key_Down);
    EXPECT_EQ(Current(in), 2);
    EXPECT_EQ(Current(out), 2);
    EXPECT_EQ(in->verticalScrollBar()->value(), out->verticalScrollBar()->value());
    // scrolling one scrolls the other, both ways
    in->verticalScrollBar()->setValue(50);
    EXPECT_EQ(out->verticalScrollBar()->value(), 50);
    out->verticalScrollBar()->setValue(80);
    EXPECT_EQ(in->verticalScrollBar()->value(), 80);
    // the wheel on one list turns both by the same amount
    QWheelEvent wheel(QPointF(10, 10), out->mapToGlobal(QPointF(10, 10)), QPoint(),
                      QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(out->viewport(), &wheel);
    EXPECT_GT(out->verticalScrollBar()->value(), 80);
    EXPECT_EQ(in->verticalScrollBar()->value(), out->verticalScrollBar()->value());
    // horizontal scrolling is mirrored too
    F->LogTraffic(false, std::string(300, 'w'), 500);
    F->LogTraffic(true, std::string(300, 'w'), 501);
    QApplication::processEvents();
    ASSERT_GT(in->horizontalScrollBar()->maximum(), 30) << "the widest row sets the range";
    ASSERT_GT(out->horizontalScrollBar()->maximum(), 30);
    in->horizontalScrollBar()->setValue(30);
    EXPECT_EQ(out->horizontalScrollBar()->value(), 30);
    // a list that keeps to itself
    in->SetSyncKind(TSyncKind::skNone);
    in->verticalScrollBar()->setValue(10);
    EXPECT_NE(out->verticalScrollBar()->value(), 10);
    QTest::keyClick(in, Qt::Key_Home);
    EXPECT_EQ(Current(in), 0);
    EXPECT_EQ(Current(out), 201);
    // only the vertical position for skVScroll
    in->SetSyncKind(TSyncKind::skVScroll);
    in->verticalScrollBar()->setValue(20);
    EXPECT_EQ(out->verticalScrollBar()->value(), 20);
    in->horizontalScrollBar()->setValue(0);
    EXPECT_EQ(out->horizontalScrollBar()->value(), 30);
}

TEST_F(CommunicationFormTest, HighlightHexModeClearAndCopy) {
    F->HighlightBox()->setValue(2);
    F->LogTraffic(false, "\rAB", 0);
    const QModelIndex first = F->Model().index(0, 0);
    EXPECT_EQ(first.data().toString(), QStringLiteral("<0D>AB"));
    EXPECT_EQ(first.data(TTrafficModel::kHighlightRole).toInt(), 5) << "the token and the A";
    EXPECT_EQ(F->ModeButton()->text(), QStringLiteral("In HEX-Darstellung umschalten"));
    F->ModeButton()->click();
    EXPECT_EQ(F->ModeButton()->text(), QStringLiteral("In ASCII-Darstellung umschalten"));
    F->LogTraffic(true, "\rAB", 1);
    const QModelIndex second = F->Model().index(1, 1);
    EXPECT_EQ(second.data().toString(), QStringLiteral("0D 41 42"));
    EXPECT_EQ(second.data(TTrafficModel::kHighlightRole).toInt(), 6);
    EXPECT_EQ(first.data(TTrafficModel::kHighlightRole).toInt(), 5) << "a row keeps its form";

    F->ListIn()->setCurrentIndex(first);
    F->CopyFrom(F->ListIn());
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("<0D>AB\r\n"));
    F->ClearButton()->click();
    EXPECT_EQ(F->Model().rowCount(), 0);
    EXPECT_EQ(F->Model().Widest(0), 0);
}

TEST_F(CommunicationFormTest, RowsAreBoundedForBothDirections) {
    for (int k = 0; k < 1001; ++k)
        F->LogTraffic(false, "r" + std::to_string(k), k);
    EXPECT_EQ(F->Model().rowCount(), 1000);
    EXPECT_EQ(Row(F->ListIn(), 0), QStringLiteral("r1"));
    for (int k = 0; k < 1500; ++k)
        F->LogTraffic(true, "s" + std::to_string(k), 2000 + k);
    EXPECT_EQ(F->Model().rowCount(), 1000);
    EXPECT_EQ(F->ListIn()->model()->rowCount(), F->ListOut()->model()->rowCount());
    EXPECT_EQ(Current(F->ListOut()), 999);
}

// A controller's bytes of both directions arrive from its threads and are
// shown on the main thread, only while the window is open.
TEST_F(CommunicationFormTest, TheControllersTrafficReachesTheOpenWindow) {
    S->StartDevice();
    ASSERT_NE(Link, nullptr);
    ASSERT_TRUE(WaitFor([&] { return F->Model().rowCount() >= 1; })) << "the status request";
    Link->Feed(Hex("88 40"));
    ASSERT_TRUE(WaitFor([&] {
        const auto& rows = F->Model().Log().Rows();
        bool in = false, out = false;
        for (const auto& r : rows) {
            in |= r.Side == TTrafficSide::Received && r.Text == "<88>@";
            out |= r.Side == TTrafficSide::Sent && r.Text == "<A0>";
        }
        return in && out;
    }));
    delete F.data();
    QApplication::processEvents(); // what was handed over before
    // closed: nothing is handed over any more
    int logged = 0;
    QObject::connect(S.get(), &TSession::TrafficLogged, [&] { ++logged; });
    S->Controller()->SendRequest(Cmd::VersionRequest());
    Link->Feed(Hex("88 40"));
    ASSERT_TRUE(WaitFor([&] {
        std::lock_guard<std::mutex> l(Link->Lock);
        return std::count(Link->Written.begin(), Link->Written.end(), Cmd::VersionRequest()) > 0;
    }));
    QApplication::processEvents();
    EXPECT_EQ(logged, 0);
}

} // namespace
} // namespace vaskel
