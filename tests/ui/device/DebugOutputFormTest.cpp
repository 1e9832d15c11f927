// The debug window and the device-message window.

#include "ui/device/DebugOutputForm.h"

#include "TestSupport.h"
#include "ui/UiTestSupport.h"
#include "ui/common/Session.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <thread>

namespace vaskel {
namespace {

class DebugOutputFormTest : public ::testing::Test {
protected:
    DebugOutputFormTest() { Platform.Program = Dir / "Vaskel"; }
    test::TempDir Dir;
    TFixedSystemPlatform Platform;
    TEnvironment Env{nullptr, Platform};
    TIBISTelegramParser Parser{kCatalogue};
    TSession S{Env, Parser};
};

TEST_F(DebugOutputFormTest, LinesMarkerClearAndSave) {
    TfDebugOutputForm f(S, TfDebugOutputForm::TKind::Debug);
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Debug-Fenster")) << "not the live monitor's caption";
    EXPECT_EQ(f.Button("btPause"), nullptr) << "the debug window has no pause";
    EXPECT_EQ(f.Button("btMark")->text(), QStringLiteral("Markieren"));
    f.AddLine(QStringLiteral("eins"));
    f.Button("btMark")->click();
    f.AddLine(QStringLiteral("zwei \u00e4"));
    EXPECT_EQ(f.Log()->toPlainText(),
              QStringLiteral("eins\n") + QString(67, QLatin1Char('-')) + QStringLiteral("\nzwei \u00e4"));

    // a selection the user made stays while lines arrive
    QTextCursor c = f.Log()->textCursor();
    c.setPosition(0);
    c.setPosition(4, QTextCursor::KeepAnchor);
    f.Log()->setTextCursor(c);
    f.AddLine(QStringLiteral("drei"));
    EXPECT_EQ(f.Log()->textCursor().selectedText(), QStringLiteral("eins"));

    const std::string file = Dir / "debug.LOG";
    TFileDialogSpec asked;
    f.AskSaveFile = [&](const TFileDialogSpec& spec) {
        asked = spec;
        return QString::fromStdString(file);
    };
    f.Button("btSave")->click();
    EXPECT_EQ(asked.Title, QStringLiteral("Debuglog speichern"));
    EXPECT_EQ(asked.DefaultSuffix, QStringLiteral("LOG"));
    EXPECT_EQ(asked.Filters, (QStringList{QStringLiteral("Debuglog"), QStringLiteral("*.LOG")}));
    std::ifstream in(file, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    EXPECT_EQ(ss.str(), "eins\r\n" + std::string(67, '-') + "\r\nzwei \xE4\r\ndrei\r\n");

    f.Button("btClear")->click();
    EXPECT_TRUE(f.Log()->toPlainText().isEmpty());
}

TEST_F(DebugOutputFormTest, DeviceMessagesPause) {
    TfDebugOutputForm f(S, TfDebugOutputForm::TKind::DeviceMessages);
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Gerätemeldungen (Debugausgabe)"));
    EXPECT_EQ(f.Button("btMark")->text(), QStringLiteral("Marker setzen"));
    QPushButton* pause = f.Button("btPause");
    ASSERT_NE(pause, nullptr);
    f.AddLine(QStringLiteral("a"));
    pause->click();
    EXPECT_EQ(pause->text(), QStringLiteral("Weiter"));
    f.AddLine(QStringLiteral("dropped"));
    f.Button("btMark")->click(); // the user's marker is no message: it stays
    pause->click();
    EXPECT_EQ(pause->text(), QStringLiteral("Pause"));
    f.AddLine(QStringLiteral("b"));
    EXPECT_EQ(f.Log()->toPlainText(),
              QStringLiteral("a\n") + QString(67, QLatin1Char('-')) + QStringLiteral("\nb"));
}

// Lines posted from other threads reach a window on the main thread, and
// only while it is open.
TEST_F(DebugOutputFormTest, LinesFromOtherThreadsWhileOpen) {
    auto* debug = new TfDebugOutputForm(S, TfDebugOutputForm::TKind::Debug);
    auto* messages = new TfDebugOutputForm(S, TfDebugOutputForm::TKind::DeviceMessages);
    std::thread([&] {
        S.PostDebugLine("Send request. Postmessage - FSePuffer Index: 3");
        S.PostDeviceMessage("Block 7 \xFC"
                            "bertragen");
    }).join();
    EXPECT_TRUE(debug->Log()->toPlainText().isEmpty()) << "not before the main thread runs";
    ASSERT_TRUE(WaitFor([&] { return !messages->Log()->toPlainText().isEmpty(); }));
    QApplication::processEvents();
    EXPECT_EQ(debug->Log()->toPlainText(),
              QStringLiteral("Send request. Postmessage - FSePuffer Index: 3"));
    EXPECT_EQ(messages->Log()->toPlainText(), QStringLiteral("Block 7 übertragen"));
    delete debug;
    delete messages;
    int emitted = 0;
    QObject::connect(&S, &TSession::DebugLine, [&] { ++emitted; });
    QObject::connect(&S, &TSession::DeviceMessage, [&] { ++emitted; });
    S.PostDebugLine("x");
    S.PostDeviceMessage("y");
    QApplication::processEvents();
    EXPECT_EQ(emitted, 0);
}

} // namespace
} // namespace vaskel
