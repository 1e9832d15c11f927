// The windows' saves onto a full disk and into a read-only folder: each
// shows a message naming the file, never its "saved" message, and the
// previous version of the file stays as it was.

#include "ui/device/CommunicationForm.h"
#include "ui/device/DebugOutputForm.h"
#include "ui/dialogs/ErrorReport.h"
#include "ui/editors/AntwortListenForm.h"
#include "ui/editors/AufrufListenForm.h"
#include "ui/filter/Filter.h"
#include "ui/print/PreviewForm.h"
#include "ui/protocol/MonitorFixture.h"
#include "ui/protocol/StatisticsForm.h"

#include "print/ProtocolPrint.h"

#include <QComboBox>
#include <QPushButton>

namespace vaskel {
namespace {

using test::FaultyFolder;
using test::TWriteFault;

struct TWindowSave {
    const char* Kind;
    const char* File;
    // Saves through the window to file; returns false when the window
    // itself reports the failure (a save function's result).
    std::function<bool(FaultyFolder& folder, const QString& file)> Save;
};

class WindowFailedWrites : public ProtocolWindowTest,
                           public ::testing::WithParamInterface<TWriteFault> {};

TEST_P(WindowFailedWrites, EveryWindowSaysWhichFileFailedAndKeepsThePreviousVersion) {
    const TWriteFault fault = GetParam();
    const auto ask = [](const QString& file) {
        return [file](const TFileDialogSpec&) { return file; };
    };
    const TWindowSave saves[] = {
        {"protocol window", "p.PRO.CSV",
         [&](FaultyFolder&, const QString& file) {
             TfProtocolForm w(S, QString::fromStdString(File));
             const QString caption = w.Caption();
             const bool saved = w.SaveTo(file);
             EXPECT_EQ(w.Caption(), caption) << "still the file it was";
             return saved;
         }},
        {"call list editor", "l.AUF.CSV",
         [&](FaultyFolder&, const QString& file) {
             TfAufrufListenForm w(S, QString());
             w.AskSaveFile = ask(file);
             const bool saved = w.SaveListAs(); // what "Speichern unter..." runs
             EXPECT_TRUE(w.FileName().isEmpty()) << "no file taken";
             return saved;
         }},
        {"response list editor", "l.ANT.CSV",
         [&](FaultyFolder&, const QString& file) {
             TfAntwortListenForm w(S, QString());
             w.AskSaveFile = ask(file);
             const bool saved = w.SaveListAs(); // what "Speichern unter..." runs
             EXPECT_TRUE(w.FileName().isEmpty()) << "no file taken";
             return saved;
         }},
        {"communication log", "k.txt",
         [&](FaultyFolder&, const QString& file) {
             TfCommunicationForm w(S);
             w.LogTraffic(false, "abc", 1000);
             w.AskSaveFile = ask(file);
             w.SaveAsked();
             return true;
         }},
        {"debug log", "d.LOG",
         [&](FaultyFolder&, const QString& file) {
             TfDebugOutputForm w(S, TfDebugOutputForm::TKind::Debug);
             w.AddLine(QStringLiteral("a line of the trace"));
             w.AskSaveFile = ask(file);
             w.SaveAsked();
             return true;
         }},
        {"printout PDF", "p.pdf",
         [&](FaultyFolder&, const QString& file) {
             TfProtocolForm w(S, QString::fromStdString(File));
             TfPreviewForm preview(std::make_unique<TProtocolPrint>(w.PrintJob()));
             return preview.SavePdf(file);
         }},
        {"statistics table", "s.csv",
         [&](FaultyFolder&, const QString& file) {
             TfProtocolForm w(S, QString::fromStdString(File));
             TfStatisticsForm stats(S, &w, false);
             const QString why = stats.ExportTable(0, file);
             if (!why.isEmpty()) QMessageBox::warning(nullptr, QString(), why);
             return why.isEmpty();
         }},
        {"statistics chart", "s.png",
         [&](FaultyFolder&, const QString& file) {
             TfProtocolForm w(S, QString::fromStdString(File));
             TfStatisticsForm stats(S, &w, false);
             const QString why = stats.ExportChart(0, file);
             if (!why.isEmpty()) QMessageBox::warning(nullptr, QString(), why);
             return why.isEmpty();
         }},
        {"error report", "Vaskel/STATUS.LOG",
         [&](FaultyFolder& folder, const QString&) {
             TFixedSystemPlatform platform;
             platform.Program = folder / "Vaskel";
             platform.Documents = folder.Path().string() + "/";
             TEnvironment env(nullptr, platform);
             // more than the page the previous version left room in
             for (int k = 0; k < 100; ++k) env.Debugger().AddAction("Aktion", std::to_string(k));
             return !CreateErrorReport(env, nullptr, [](const QString&) {}).isEmpty();
         }},
    };
    for (const TWindowSave& s : saves) {
        SCOPED_TRACE(std::string(s.Kind) + " on a " + test::FaultName(fault));
        FaultyFolder folder(fault);
        if (!folder.Usable()) GTEST_SKIP() << folder.Why();
        const std::string file = folder / s.File;
        const std::string previous = "previous version\r\n";
        folder.Write(s.File, previous);
        const std::vector<std::string> before = folder.Names();
        folder.Break();
        TAutoAnswer ok(QMessageBox::Ok);
        const bool saved = s.Save(folder, QString::fromStdString(file));
        QApplication::processEvents();
        EXPECT_FALSE(saved && std::string(s.Kind) != "communication log" &&
                     std::string(s.Kind) != "debug log");
        EXPECT_GE(ok.Count, 1) << "no message";
        EXPECT_TRUE(ok.LastText.contains(QString::fromStdString(file)))
            << ok.LastText.toStdString();
        EXPECT_FALSE(ok.LastText.contains(QStringLiteral("gespeichert")))
            << ok.LastText.toStdString();
        EXPECT_EQ(test::ReadFile(file), previous);
        EXPECT_EQ(folder.Names(), before) << "a temporary file is left";
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, WindowFailedWrites,
                         ::testing::Values(TWriteFault::FullDisk, TWriteFault::ReadOnlyFolder),
                         [](const auto& info) {
                             return info.param == TWriteFault::FullDisk ? "FullDisk"
                                                                        : "ReadOnlyFolder";
                         });

// The protocol windows' fixture under a name of this file's own (a test
// suite has one fixture class in the whole program).
class CommunicationLogTest : public ProtocolWindowTest {};

// "Die Daten wurden gespeichert!" comes when the whole log is in the file.
TEST_F(CommunicationLogTest, TheCommunicationLogIsCompleteWhenItSaysSaved) {
    TfCommunicationForm w(S);
    for (int k = 0; k < 200; ++k) w.LogTraffic(k % 2 == 0, "telegram " + std::to_string(k), 1000 + k);
    const std::string file = Dir / "k.txt";
    w.AskSaveFile = [&](const TFileDialogSpec&) { return QString::fromStdString(file); };
    std::string atMessage;
    QTimer look;
    look.setInterval(5);
    QObject::connect(&look, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            atMessage = test::ReadFile(file);
            box->accept();
        }
    });
    look.start();
    w.SaveAsked();
    look.stop();
    ASSERT_FALSE(atMessage.empty()) << "empty while the message said saved";
    EXPECT_EQ(atMessage, test::ReadFile(file));
    EXPECT_NE(atMessage.find("telegram 199"), std::string::npos);
}

} // namespace
} // namespace vaskel
