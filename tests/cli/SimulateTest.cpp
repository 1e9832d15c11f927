// vaskel-cli simulate: call lists and protocols on the virtual Tavrin, on
// bus time, end to end.

#include "cli/CliCommands.h"
#include "cli/CliRun.h"
#include "lists/ListFiles.h"
#include "recording/OpenedProtocol.h"
#include "recording/Recorder.h"
#include "session/BusTimeSession.h"
#include "telegram/TextConventions.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>

namespace vaskel {
namespace {

const std::string kCatalogue = std::string(VASKEL_TEST_DATA_DIR) + "/IBIS.CSV";

using test::Cli;
using test::CliRun;

class SimulateTest : public ::testing::Test {
protected:
    std::string List(const std::string& name, const std::string& rows) {
        return Dir.Write(name, std::string(kAufrufHeader) + "\r\n" + rows);
    }
    // The recorded telegrams (without CR and check byte) by kind letter and
    // text, with their start times in ms.
    std::map<std::string, std::vector<int64_t>> Recorded(const std::string& file) {
        TTable t = MakeProtocolTable();
        LoadProtocolFile(t, file, Parser, TBusType::bsVehicleBus);
        std::map<std::string, std::vector<int64_t>> m;
        for (int r = 0; r < t.RowCount(); ++r) {
            std::string text(t.Cell(pcTelegram, r));
            if (text.size() >= 2 && text[text.size() - 2] == '\r') text.resize(text.size() - 2);
            int64_t start = 0;
            TryStrToInt64(t.Cell(pcStart, r), start);
            m[std::string(t.Cell(pcKind, r)) + " " + text].push_back(start);
        }
        return m;
    }

    test::TempDir Dir;
    TIBISTelegramParser Parser{kCatalogue};
};

TEST_F(SimulateTest, EveryEntryAsOftenAsItsIntervalSays) {
    const std::string list = List("bench.AUF.CSV", "-1;\"a1\";\"Anzeige 1\";\"0:02\"\r\n"
                                                   "-1;\"l012\";\"\";\"0:05\"\r\n"
                                                   "-1;\"z034\";\"\";\"0:00\"\r\n"
                                                   "0;\"k07\";\"\";\"0:01\"\r\n");
    const std::string out = Dir / "run.PRO.CSV";
    const CliRun r = Cli({"simulate", "--call-list", list, "--seconds", "60", out});
    ASSERT_EQ(r.code, 0) << r.err;
    auto m = Recorded(out);
    EXPECT_NEAR(static_cast<double>(m["N a1"].size()), 30, 1);
    EXPECT_NEAR(static_cast<double>(m["N l012"].size()), 12, 1);
    EXPECT_EQ(m["N z034"].size(), 1u) << "0:00 is sent once";
    EXPECT_EQ(m.count("N k07"), 0u) << "an inactive row is never sent";
    EXPECT_EQ(m["S a10"].size(), m["N a1"].size()) << "display 1 answers every status request";
    // the sends keep the interval: two seconds apart, give or take the
    // telegrams in the way
    const std::vector<int64_t>& a1 = m["N a1"];
    for (std::size_t k = 1; k < a1.size(); ++k)
        EXPECT_NEAR(static_cast<double>(a1[k] - a1[k - 1]), 2000, 150) << k;
}

TEST_F(SimulateTest, BrokenOrMissingListsEndTheRunBeforeAnythingIsWritten) {
    const std::string broken = List("broken.AUF.CSV", "-1;\"a1\";\"\";\"0:02\"\r\n"
                                                      "vielleicht;\"l012\";\"\";\"0:05\"\r\n");
    // a missing list is called missing, not broken
    const std::string missing = Dir / "missing.AUF.CSV";
    for (const auto& [list, says] : std::vector<std::pair<std::string, std::string>>{
             {broken, "Die ausgewählte Datei ist entweder keine Aufrufliste oder "
                      "fehlerhaft. Sie wurde nicht geladen"},
             {missing, "call list " + missing + " does not exist"}}) {
        const std::string out = Dir / "none.PRO.CSV";
        const CliRun r = Cli({"simulate", "--call-list", list, out});
        EXPECT_EQ(r.code, 2) << list;
        EXPECT_NE(r.err.find(says), std::string::npos) << r.err;
        EXPECT_FALSE(std::filesystem::exists(out));
    }
    const std::string idle = List("idle.AUF.CSV", "0;\"a1\";\"\";\"0:02\"\r\n");
    const CliRun r = Cli({"simulate", "--call-list", idle, "--seconds", "5", Dir / "idle.PRO.CSV"});
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.err.find("inactive"), std::string::npos) << "said, not left to wonder";
    for (const auto& [row, starts] : Recorded(Dir / "idle.PRO.CSV"))
        EXPECT_NE(row[0], 'N') << row;
}

TEST_F(SimulateTest, ProtocolPlaybackIsTranslatedTheCallListIsNot) {
    // a protocol of one status request to display 1, recorded by a first run
    const std::string recorded = Dir / "recorded.PRO.CSV";
    ASSERT_EQ(Cli({"simulate", "--call-list", List("one.AUF.CSV", "-1;\"a1\";\"\";\"0:00\"\r\n"),
                   "--seconds", "2", recorded})
                  .code,
              0);
    const std::string list = List("line.AUF.CSV", "-1;\"a1\";\"\";\"0:00\"\r\n");
    const std::string out = Dir / "translated.PRO.CSV";
    const CliRun r = Cli({"simulate", "--protocol", recorded, "--translate", "1=2,3=4",
                          "--call-list", list, "--seconds", "3", out});
    ASSERT_EQ(r.code, 0) << r.err;
    auto m = Recorded(out);
    EXPECT_EQ(m["N a2"].size(), 1u) << "the protocol's a1 goes to display 2";
    EXPECT_EQ(m["S a20"].size(), 1u) << "and display 2 answers";
    EXPECT_EQ(m["N a1"].size(), 1u) << "the call list's a1 is not translated";

    const std::string cyclic = Dir / "cyclic.PRO.CSV";
    ASSERT_EQ(
        Cli({"simulate", "--protocol", recorded, "--send-mode", "cyclic", "--seconds", "5", cyclic})
            .code,
        0);
    EXPECT_GT(Recorded(cyclic)["N a1"].size(), 2u) << "cyclic: again and again";
}

TEST_F(SimulateTest, BadArgumentsExitTwoAndTheHelpNamesEveryOption) {
    const std::string list = List("l.AUF.CSV", "-1;\"a1\";\"\";\"0:02\"\r\n");
    const std::string out = Dir / "x.PRO.CSV";
    const std::vector<std::vector<std::string>> bad = {
        {"simulate"},
        {"simulate", "--call-list", list},
        {"simulate", "--send-mode", "once", out},
        {"simulate", "--protocol", out, "--send-mode", "twice", out},
        {"simulate", "--protocol", out, "--factor", "11", out},
        {"simulate", "--translate", "1=16", out},
        {"simulate", "--scenario", "tram", out},
        {"simulate", "--seconds", "-1", out},
        {"simulate", "--fault-rate", "2", out},
        {"simulate", "--frobnicate", out},
        {"simulate", "--protocol", Dir / "missing.PRO.CSV", out},
        {"simulate", "--response-list", Dir / "missing.ANT.CSV", out},
        // a slave and a bus master at once
        {"simulate", "--response-list", list, "--call-list", list, out},
        {"simulate", "--response-list", list, "--protocol", list, out},
    };
    for (const auto& args : bad) {
        const CliRun r = Cli(args);
        EXPECT_EQ(r.code, 2) << args.back() << " " << r.err;
    }
    EXPECT_FALSE(std::filesystem::exists(out));
    const CliRun help = Cli({"simulate", "--help"});
    EXPECT_EQ(help.code, 0);
    for (const char* option : {"--scenario", "--seconds", "--seed", "--fault-rate", "--call-list",
                               "--protocol", "--send-mode", "--factor", "--translate",
                               "--catalogue", "--train-bus", "--response-list"})
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    EXPECT_NE(Cli({"--help"}).out.find("simulate"), std::string::npos);
}

// The slave simulation end to end: the device itself answers every status
// request to display 1 with the list's answer, after the list's reaction
// time, and the protocol shows those answers as its own.
TEST_F(SimulateTest, ResponseListAnswersAsTheDevicesOwn) {
    const std::string list =
        Dir.Write("d1.ANT.CSV", std::string(kAntwortHeader) +
                                    "\r\n-1;\"a1\";\"a17\";30\r\n0;\"a2\";\"a27\";5\r\n");
    const std::string out = Dir / "slave.PRO.CSV";
    const CliRun r = Cli({"simulate", "--response-list", list, "--seconds", "40", out});
    ASSERT_EQ(r.code, 0) << r.err;
    TTable t = MakeProtocolTable();
    LoadProtocolFile(t, out, Parser, TBusType::bsVehicleBus);
    auto text = [&](int row) {
        std::string s(t.Cell(pcTelegram, row));
        if (s.size() >= 2 && s[s.size() - 2] == '\r') s.resize(s.size() - 2);
        return s;
    };
    // one character on the bus at 1200 baud, 7 data bits, parity, 2 stops
    const double characterMs = 11 * 1000.0 / 1200;
    int requests = 0, others = 0;
    for (int row = 0; row < t.RowCount(); ++row) {
        const std::string kind(t.Cell(pcKind, row));
        if (kind == "M" && (text(row) == "a1" || text(row) == "a2")) {
            const bool own = text(row) == "a1";
            (own ? requests : others)++;
            ASSERT_LT(row + 1, t.RowCount());
            EXPECT_EQ(std::string(t.Cell(pcKind, row + 1)), own ? "T" : "S") << row;
            EXPECT_EQ(text(row + 1), own ? "a17" : "a20") << row;
            if (own) {
                int64_t reaction = -1;
                TryStrToInt64(t.Cell(pcReaction, row + 1), reaction);
                EXPECT_NEAR(static_cast<double>(reaction), 30, characterMs) << row;
            }
        }
        if (kind == "S") {
            EXPECT_NE(text(row), "a10") << "display 1 itself never answers";
        }
    }
    EXPECT_GT(requests, 3);
    EXPECT_GT(others, 3) << "the inactive row leaves display 2 to answer itself";

    // a row that cannot reach the device whole ends the run before anything
    // is downloaded or written
    const std::string broken =
        Dir.Write("b.ANT.CSV",
                  std::string(kAntwortHeader) + "\r\n-1;\"a1\";\"a17\";30\r\n-1;\"\";\"x\";1\r\n");
    const std::string none = Dir / "none.PRO.CSV";
    const CliRun b = Cli({"simulate", "--response-list", broken, "--seconds", "2", none});
    EXPECT_EQ(b.code, 2);
    EXPECT_NE(b.err.find("row 2: the call is empty"), std::string::npos) << b.err;
    EXPECT_FALSE(std::filesystem::exists(none));
    const CliRun missing =
        Cli({"simulate", "--response-list", Dir / "fehlt.ANT.CSV", "--seconds", "2", none});
    EXPECT_EQ(missing.code, 2);
    EXPECT_NE(missing.err.find("response list"), std::string::npos) << missing.err;
    EXPECT_NE(missing.err.find("does not exist"), std::string::npos) << missing.err;
}

// The session `vaskel-cli simulate` runs: a response list active while the
// device is slave is unloaded as soon as the device becomes bus master (the
// desktop's rule, from the same live session), and the device's list is
// emptied.
TEST_F(SimulateTest, TheResponseListIsUnloadedWhenTheDeviceBecomesMaster) {
    struct TSeen : ISessionObserver {
        std::vector<std::string> Lists;
        void SimulationChanged(TSimulationKind kind, const std::string& file) override {
            if (kind == TSimulationKind::ResponseList) Lists.push_back(file);
        }
    } seen;
    const std::string list =
        Dir.Write("d1.ANT.CSV", std::string(kAntwortHeader) + "\r\n-1;\"a1\";\"a17\";30\r\n");
    TFixedSystemPlatform platform;
    platform.Program = Dir / "Vaskel";
    TEnvironment env(nullptr, platform);
    TEmulatorOptions device;
    device.Scenario = TScenario::Idle;
    TBusTimeSession sim(Parser, env, device, {2026, 12, 10, 8, 0, 0, 0}, &seen);
    ASSERT_EQ(sim.ActivateResponseList(list), TResponseActivation::Active);
    sim.Run(200);
    ASSERT_TRUE(sim.Device().SlaveSimulation());
    ASSERT_EQ(sim.Device().ResponseList().size(), 1u);

    ASSERT_TRUE(sim.SwitchToMaster());
    EXPECT_FALSE(sim.Slave().Active());
    EXPECT_EQ(seen.Lists, (std::vector<std::string>{list, ""}));
    sim.Run(200);
    EXPECT_TRUE(sim.Device().ResponseList().empty()) << "the device has nothing to answer from";

    // back to slave: nothing comes back by itself, the list was unloaded
    ASSERT_TRUE(sim.SwitchToSlave());
    sim.Run(200);
    EXPECT_FALSE(sim.Slave().Active());
}

// A call list runs while the device is bus master: a device that is slave
// again (switched back, or restarted after a firmware update) ends it, and
// whoever shows it hears so.
TEST_F(SimulateTest, TheCallListEndsWhenTheDeviceIsSlaveAgain) {
    struct TSeen : ISessionObserver {
        std::vector<std::string> Lists;
        void SimulationChanged(TSimulationKind kind, const std::string& file) override {
            if (kind == TSimulationKind::CallList) Lists.push_back(file);
        }
    } seen;
    const std::string list = Dir.Write(
        "l1.AUF.CSV", std::string(kAufrufHeader) + "\r\n-1;\"l012\";\"\";\"0:01\"\r\n");
    TFixedSystemPlatform platform;
    platform.Program = Dir / "Vaskel";
    TEnvironment env(nullptr, platform);
    TEmulatorOptions device;
    device.Scenario = TScenario::Idle;
    TBusTimeSession sim(Parser, env, device, {2026, 12, 10, 8, 0, 0, 0}, &seen);
    ASSERT_TRUE(sim.SwitchToMaster());
    ASSERT_EQ(sim.ActivateCallList(list), TCallListActivation::Active);
    sim.Run(2500);
    EXPECT_GT(sim.SendRequests(), 0u);

    ASSERT_TRUE(sim.SwitchToSlave());
    sim.Run(200);
    EXPECT_EQ(sim.Live().ActiveCallList(), "");
    EXPECT_EQ(seen.Lists, (std::vector<std::string>{list, ""}));
    const uint64_t sent = sim.SendRequests();
    sim.Run(3000);
    EXPECT_EQ(sim.SendRequests(), sent) << "nothing more is sent";
}

} // namespace
} // namespace vaskel
