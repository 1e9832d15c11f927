#include "session/BusTimeSession.h"
#include "cli/CliCommands.h"
#include "cli/CliRun.h"
#include "link/Controller.h"
#include "lists/ListFiles.h"
#include "recording/OpenedProtocol.h"
#include "telegram/TextConventions.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
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
    // rows, not lines: a destination text holds line feeds
    TTable t = MakeProtocolTable();
    LoadProtocolFile(t, file, TIBISTelegramParser(std::string(VASKEL_TEST_DATA_DIR) + "/IBIS.CSV"),
                     TBusType::bsVehicleBus);
    unsigned classified = 0;
    for (int row = 0; row < t.RowCount(); ++row)
        if (t.Cell(pcDescription, row) == "Liniennummer") ++classified;
    EXPECT_EQ(static_cast<unsigned>(t.RowCount()), rows);
    EXPECT_GT(classified, 0u) << "the rows are classified as recorded live";
}

// The device records while it is bus master and a call list runs; the
// recording is read out while it is still master and a telegram of the list
// waits for its report. Every data set becomes a row of its own, as the bus
// carried it (a master telegram, its recorded time), and the list's own
// telegrams go on as rows of their own: nothing glued, nothing lost.
TEST(AutonomousReadOut, AsBusMasterEveryDataSetIsARowOfItsOwn) {
    test::TempDir dir;
    TIBISTelegramParser parser(std::string(VASKEL_TEST_DATA_DIR) + "/IBIS.CSV");
    TFixedSystemPlatform platform;
    TEnvironment env(nullptr, platform);
    TEmulatorOptions eo;
    eo.Scenario = TScenario::Idle; // the device is the bus's only master
    TBusTimeSession sim(parser, env, eo, TDateTime{2026, 12, 11, 12, 0, 0, 0});
    ASSERT_TRUE(sim.SwitchToMaster());
    sim.ComTimer(true);
    const std::string list = dir.Write(
        "line.AUF.CSV", std::string(kAufrufHeader) +
                            "\r\n-1;\"aA12Hauptbahnhof    }ber Marktplatz \";\"\";\"0:01\"\r\n"
                            "-1;\"l012\";\"\";\"0:01\"\r\n");
    ASSERT_EQ(sim.ActivateCallList(list), TCallListActivation::Active);
    sim.Run(3000);
    ASSERT_TRUE(sim.Connection().Send(Cmd::AutonomousRecording(true)));
    sim.Run(6000);
    ASSERT_TRUE(sim.Connection().Send(Cmd::AutonomousRecording(false)));
    sim.Run(10);
    const uint32_t sets = sim.Device().RecordCount();
    ASSERT_GE(sets, 8u);
    // the read-out is asked for while a telegram of the list is on its way
    TWBController* c = sim.Connection().Controller();
    for (int ms = 0; ms < 3000 && !c->SimulationBusy(); ++ms)
        sim.Run(1);
    ASSERT_TRUE(c->SimulationBusy());
    const int before = sim.Recorder().RowCounter();
    ASSERT_TRUE(sim.Connection().Send(Cmd::TransferRecordedData()));
    sim.Run(3000);
    for (int ms = 0; ms < 3000 && c->SimulationBusy(); ++ms)
        sim.Run(1);

    const TTable& t = sim.Recorder().Table();
    std::set<std::pair<std::string, std::string>> own; // text, start
    int ownRows = 0;
    std::vector<int> readOut;
    for (int row = 0; row < sim.Recorder().RowCounter(); ++row) {
        const std::string kind(t.Cell(pcKind, row));
        const std::string text(t.Cell(pcTelegram, row));
        SCOPED_TRACE("row " + std::to_string(row) + " " + kind + " " + text);
        EXPECT_EQ(t.Cell(pcErrors, row), "");
        ASSERT_GE(text.size(), 2u);
        EXPECT_EQ(text.find('\r'), text.size() - 2) << "one telegram, CR and check byte";
        EXPECT_EQ(CalcCheckByte(text.substr(0, text.size() - 2)), text.back());
        if (kind == "N") {
            ++ownRows;
            own.insert({text, std::string(t.Cell(pcStart, row))});
        } else {
            EXPECT_EQ(kind, "M") << "the recording holds master telegrams only";
            EXPECT_GE(row, before);
            readOut.push_back(row);
        }
    }
    EXPECT_EQ(readOut.size(), sets);
    for (int row : readOut)
        EXPECT_TRUE(own.count({std::string(t.Cell(pcTelegram, row)),
                               std::string(t.Cell(pcStart, row))}))
            << "row " << row << " is a telegram of the list, at the time it was sent";
    EXPECT_EQ(static_cast<uint64_t>(ownRows), sim.SendRequests())
        << "every telegram of the list has its row";

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
