#include "cli/CliCommands.h"
#include "cli/CliRun.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace vaskel {
namespace {

using test::Cli;
using test::CliRun;

TEST(CliAutonomous, StatusStartAndEraseOnTheVirtualTavrin) {
    CliRun r = Cli({"autonomous", "status", "--virtual-device"});
    EXPECT_EQ(r.code, kCliOk) << r.err;
    EXPECT_EQ(r.out, "autonomous recording: inactive\ndata sets: 0\n");
    r = Cli({"autonomous", "start", "--virtual-device=idle"});
    EXPECT_EQ(r.code, kCliOk) << r.err;
    EXPECT_EQ(r.out.rfind("autonomous recording: active\n", 0), 0u) << r.out;
    r = Cli({"autonomous", "erase", "--virtual-device", "--virtual-recording", "5"});
    EXPECT_EQ(r.code, kCliOk) << r.err;
    EXPECT_EQ(r.out, "autonomous recording: inactive\ndata sets: 0\n");
}

// What the device recorded alone becomes a protocol, one row per data set.
TEST(CliAutonomous, ReadWritesTheRecordingAsAProtocol) {
    test::TempDir dir;
    const std::string file = dir / "read.PRO.CSV";
    const CliRun r =
        Cli({"autonomous", "read", "--virtual-device", "--virtual-recording", "10", file});
    ASSERT_EQ(r.code, kCliOk) << r.err;
    unsigned sets = 0, rows = 0;
    ASSERT_EQ(std::sscanf(r.out.c_str(), "data sets: %u\nrows written: %u", &sets, &rows), 2)
        << r.out;
    EXPECT_GT(sets, 20u);
    EXPECT_GE(rows, sets);
    std::ifstream in(file);
    std::string line;
    unsigned lines = 0, classified = 0;
    while (std::getline(in, line)) {
        ++lines;
        if (line.find("\"Liniennummer\"") != std::string::npos) ++classified;
    }
    EXPECT_EQ(lines, rows);
    EXPECT_GT(classified, 0u) << "the rows are classified as recorded live";
}

TEST(CliAutonomous, UsageErrors) {
    struct Case {
        std::vector<std::string> Args;
        const char* Problem;
    };
    const Case cases[] = {
        {{"autonomous"}, "an action is needed"},
        {{"autonomous", "pause", "--virtual-device"}, "unknown action pause"},
        {{"autonomous", "read", "--virtual-device"}, "read needs OUT.PRO.CSV"},
        {{"autonomous", "status", "x.PRO.CSV", "--virtual-device"}, "unexpected argument"},
        {{"autonomous", "status", "--virtual-recording", "5"}, "needs --virtual-device"},
        {{"autonomous", "status", "--virtual-device", "--virtual-recording", "-1"},
         "--virtual-recording needs seconds"},
        {{"autonomous", "status", "--virtual-device=tram"}, "unknown scenario tram"},
    };
    for (const Case& c : cases) {
        const CliRun r = Cli(c.Args);
        EXPECT_EQ(r.code, kCliUsage) << c.Problem;
        EXPECT_NE(r.err.find(c.Problem), std::string::npos) << r.err;
    }
    EXPECT_EQ(Cli({"autonomous", "--help"}).code, kCliOk);
}

} // namespace
} // namespace vaskel
