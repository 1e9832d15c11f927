// Unattended runs: no message box waits, the recording is never lost.

#include "ui/main/UnattendedRun.h"

#include "ui/main/MainFormFixture.h"

namespace vaskel {
namespace {

class UnattendedRunTest : public MainWindowTest {};

// A box that comes up is written out, answered at once and ends the run
// with a non-zero exit status.
TEST_F(UnattendedRunTest, NoMessageBoxWaits) {
    TUnattendedRun run(Env);
    QStringList lines;
    int ended = 0;
    run.Write = [&](const QString& line) { lines << line; };
    run.End = [&] { ++ended; };
    EXPECT_EQ(run.ExitStatus(0), 0);
    // (without the run's answer this call would wait for a click)
    QMessageBox::critical(nullptr, QStringLiteral("Protokoll"),
                          QStringLiteral("Fehlerhaft\nZeile 2"));
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0], QStringLiteral("vaskel: Fehlerhaft\nvaskel: Zeile 2"));
    EXPECT_TRUE(WaitFor([&] { return ended == 1; })) << "the run ends";
    // a question is answered as its escape button would: no
    const auto no = QMessageBox::question(nullptr, QStringLiteral("Vaskel"),
                                          QStringLiteral("Speichern?"),
                                          QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(no, QMessageBox::No);
    EXPECT_EQ(run.ExitStatus(0), 1);
    EXPECT_EQ(run.ExitStatus(3), 3);
    QApplication::processEvents();
    EXPECT_EQ(ended, 1) << "ended once";
    // the error report has it too
    const std::string report = test::ReadFile(Env.ProgramDirectory() + "STATUS.LOG");
    EXPECT_NE(report.find("Fehlerhaft"), std::string::npos);
}

TEST_F(UnattendedRunTest, SaveTargetIsCheckedWithoutLeavingAFile) {
    namespace fs = std::filesystem;
    const QString folder = FromFileName(Dir / "out");
    fs::create_directories(Dir / "out");
    const QString fresh = folder + QStringLiteral("/night.PRO.CSV");
    EXPECT_TRUE(TUnattendedRun::SaveTargetProblem(fresh).isEmpty());
    EXPECT_FALSE(fs::exists(Dir / "out/night.PRO.CSV")) << "the probe is removed";
    const std::string kept = Dir.Write("out/old.PRO.CSV", "rows");
    EXPECT_TRUE(TUnattendedRun::SaveTargetProblem(FromFileName(kept)).isEmpty());
    EXPECT_EQ(test::ReadFile(kept), "rows");
    EXPECT_TRUE(TUnattendedRun::SaveTargetProblem(folder).endsWith(QStringLiteral("is a folder")));
    EXPECT_TRUE(TUnattendedRun::SaveTargetProblem(folder + QStringLiteral("/none/x.PRO.CSV"))
                    .endsWith(QStringLiteral("does not exist")));
    EXPECT_TRUE(TUnattendedRun::SaveTargetProblem(QStringLiteral("/proc/vaskel.PRO.CSV"))
                    .contains(QStringLiteral("cannot be written")));
}

// The place asked for went away during the run: the recording is kept in
// the data folder, and the run is told where.
TEST_F(UnattendedRunTest, RecordingKeptWhenItsTargetCannotBeWritten) {
    namespace fs = std::filesystem;
    fs::create_directories(Dir / "out");
    QStringList told;
    AdjustOptions = [&](TfMainForm::TOptions& o) {
        o.SaveOnExit = FromFileName(Dir / "out/night.PRO.CSV");
        o.SaveOnExitFailed = [&](const QString& m) { told << m; };
    };
    Start(TScenario::Vehicle);
    ASSERT_TRUE(WaitFor([&] { return W->Session().Status().DeviceOnline(); }));
    TfMonitorForm* m = W->OpenMonitor();
    ASSERT_TRUE(WaitFor([&] {
        Usb->Advance(50);
        return m->Recorder().RowCounter() >= 3;
    }));
    fs::remove_all(Dir / "out");
    W->close();
    ASSERT_EQ(told.size(), 1);
    const std::string keptAs = Env.DataDirectory() + "night.PRO.CSV";
    EXPECT_TRUE(told[0].endsWith(QStringLiteral("it was kept as ") + FromFileName(keptAs)))
        << told[0].toStdString();
    const std::string kept = test::ReadFile(keptAs);
    EXPECT_NE(kept.find("\"M\""), std::string::npos) << "the rows are there:\n" << kept;
    W.reset();
}

} // namespace
} // namespace vaskel
