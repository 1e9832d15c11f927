// The one exit-status rule of vaskel-cli: 0 done, 1 what was checked or
// asked for is not so, 2 the command could not do its work (a refused value
// named in the message). Notes on what was left out or changed go to the
// standard error stream.

#include "cli/CliCommands.h"
#include "cli/ScratchFile.h"
#include "recording/TableFile.h"
#include "recording/OpenedProtocol.h"
#include "recording/Recorder.h"
#include "analysis/ProtocolStatistics.h"
#include "cli/StatsCommand.h"
#include "telegram/TelegramParser.h"

#include "cli/CliRun.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#ifndef _WIN32
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace vaskel {
namespace {

using test::Cli;

TEST(CliExitStatus, RefusedValuesAreNamed) {
    struct Case {
        std::vector<std::string> Args;
        int Code;
        std::string Says; // a part of the standard error stream
    };
    const Case cases[] = {
        // the record type's length has two IBIS-hex digits
        {{"compose", "021a", std::string(255, 'r')}, 0, ""},
        {{"compose", "021a", std::string(256, 'r')}, 2, "255 Zeichen"},
        {{"compose", "021a", std::string(4095, 'r')}, 2, "255 Zeichen"},
        // an address is not made up
        {{"decompose", "aA"}, 2, "no destination address"},
        {{"decompose", "aL"}, 2, "no destination address"},
        {{"decompose", "aA0x"}, 2, "no destination address"},
        {{"decompose", "aA1x"}, 0, ""},
        // no number is NaN or infinite
        {{"emulate", "--seconds", "1", "--fault-rate", "NaN"}, 2, "--fault-rate needs a number from 0 to 1, not NaN"},
        {{"emulate", "--seconds", "1", "--fault-rate", "nan"}, 2, "not nan"},
        {{"emulate", "--seconds", "inf"}, 2, "not inf"},
        {{"emulate", "--speed", "infinity", "--seconds", "1"}, 2, "not infinity"},
        {{"simulate", "--seconds", "1", "--fault-rate", "NaN", "out.PRO.CSV"}, 2,
         "--fault-rate needs a number from 0 to 1"},
        {{"simulate", "--seconds", "nan", "out.PRO.CSV"}, 2, "--seconds"},
    };
    for (const Case& c : cases) {
        const test::CliRun r = Cli(c.Args);
        SCOPED_TRACE(c.Args[0] + " " + c.Args[1] + " " + c.Args.back().substr(0, 20));
        EXPECT_EQ(r.code, c.Code) << r.err;
        if (!c.Says.empty()) {
            EXPECT_NE(r.err.find(c.Says), std::string::npos) << r.err;
        }
        if (c.Code != 0) {
            EXPECT_TRUE(r.out.empty()) << r.out;
        }
    }
    const std::string help = Cli({"--help"}).out;
    EXPECT_NE(help.find("Exit status, the same for every command"), std::string::npos) << help;
}

// A result written over the file it is read from would lose the input: the
// command refuses, and the file stays as it was.
TEST(CliExitStatus, AResultIsNeverWrittenOverItsInput) {
    test::TempDir dir;
    const std::string row = "\"M\";\"1\";\"28800000\";\"\";\"\";\"l001\r/\";\"\";\"\";\"\";\"\"\r\n";
    const std::string p = dir.Write("p.PRO.CSV", row + row);
    const std::vector<std::vector<std::string>> commands = {
        {"filter", "--types", "001", p, p},
        {"reanalyse", p, p},
        {"filter", "--types", "001", p, (dir.Path() / "." / "p.PRO.CSV").string()},
    };
    for (const auto& args : commands) {
        const test::CliRun r = Cli(args);
        EXPECT_EQ(r.code, 2) << args[0] << ": " << r.err;
        EXPECT_NE(r.err.find("that is read"), std::string::npos) << r.err;
        EXPECT_EQ(test::ReadFile(p), row + row) << args[0];
    }
}

// A protocol whose start times the timeline cannot show as asked: the
// figures say so on the standard error stream.
TEST(CliExitStatus, StatsSaysWhatTheTimelineLeavesOutOrChanges) {
    test::TempDir dir;
    auto row = [](const std::string& start) {
        return "\"M\";\"1\";\"" + start + "\";\"\";\"\";\"l001\r/\";\"\";\"\";\"\";\"\"\r\n";
    };
    const std::string p = dir.Write(
        "p.PRO.CSV", row("-2160000000") + row("1000") + row("9223372036854775808") + row("2000"));
    test::CliRun r = Cli({"stats", p});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.err.find("note: 1 of 4 rows have no start time"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("start times from -600:00:00 to 00:00:02 lie outside one day"),
              std::string::npos)
        << r.err;
    // two rows 4,294,967,295 s apart in buckets of 1 s: wider buckets, said
    // (the figures themselves, without the JSON of a million buckets)
    const std::string q = dir.Write("q.PRO.CSV", row("0") + row("4294967295000"));
    TIBISTelegramParser parser(test::kShippedCatalogue);
    TTable table = MakeProtocolTable();
    LoadProtocolFile(table, q, parser, TBusType::bsVehicleBus);
    TProtocolStatistics figures;
    figures.Compute(table);
    std::string notes;
    for (const std::string& n : StatisticsNotes(figures, 1))
        notes += n + "\n";
    EXPECT_NE(notes.find("the timeline spans 4294967296 seconds: buckets of 4295 s are used, "
                         "not 1 s"),
              std::string::npos)
        << notes;
    EXPECT_NE(notes.find("the timeline has 999993 buckets"), std::string::npos) << notes;
    // a day's recording: no notes
    const std::string d = dir.Write("d.PRO.CSV", row("28800000") + row("28801000"));
    r = Cli({"stats", d});
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(r.err.empty()) << r.err;
}

TEST(ScratchFiles, GoWithTheirCommandAndTheirProcess) {
    namespace fs = std::filesystem;
    test::TempDir dir;
    auto name = [&](long pid, int n) {
        return dir / ("vaskel-stats-p" + std::to_string(pid) + "-" + std::to_string(n) +
                      ".PRO.CSV");
    };
    auto touch = [](const std::string& f) { std::ofstream(f) << "x"; };
    const std::string mine = name(ScratchProcessId(), 1);
    {
        TScratchFile f(mine);
        touch(mine);
        touch(BackupFileName(mine));
    }
    EXPECT_FALSE(fs::exists(mine));
    EXPECT_FALSE(fs::exists(BackupFileName(mine)));
#ifndef _WIN32
    // a process that no longer runs: its copies go at the next start
    const pid_t gone = fork();
    if (gone == 0) _exit(0);
    waitpid(gone, nullptr, 0);
    const std::string orphan = name(gone, 3);
    touch(orphan);
    touch(BackupFileName(orphan));
    // this process's, a running one's and other files stay
    const std::string running = name(getppid(), 2);
    const std::string own = name(ScratchProcessId(), 4);
    const std::string other = dir / "vaskel-notes.PRO.CSV";
    const std::string older = dir / "vaskel-print-123-456.PRO.CSV";
    for (const std::string& f : {running, own, other, older})
        touch(f);
    EXPECT_EQ(RemoveOrphanedScratchFiles(dir.Path().string()), 2);
    EXPECT_FALSE(fs::exists(orphan));
    EXPECT_FALSE(fs::exists(BackupFileName(orphan)));
    for (const std::string& f : {running, own, other, older})
        EXPECT_TRUE(fs::exists(f)) << f;

    // a command stopped by a signal takes its copy with it
    const std::string stopped = dir / "vaskel-stats-stopped.PRO.CSV";
    const pid_t child = fork();
    if (child == 0) {
        PrepareScratchFiles();
        TScratchFile f(stopped);
        touch(stopped);
        touch(BackupFileName(stopped));
        std::raise(SIGTERM);
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status));
    EXPECT_FALSE(fs::exists(stopped));
    EXPECT_FALSE(fs::exists(BackupFileName(stopped)));
#endif
}

} // namespace
} // namespace vaskel
