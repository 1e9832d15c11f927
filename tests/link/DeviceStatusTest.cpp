#include "link/DeviceStatus.h"

#include "FakeLink.h"
#include "RecordingSink.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vaskel {
namespace {

using test::FakeLink;
using test::Hex;

class DeviceConnectionTest : public ::testing::Test {
protected:
    DeviceConnectionTest() {
        Platform.Program = Dir / "Vaskel";
        TDeviceConnection::THooks h;
        h.CreateController = [this] {
            auto link = std::make_unique<FakeLink>();
            Link = link.get();
            auto c = std::make_unique<TWBController>(
                std::move(link), HandOver,
                [this](const TControllerNotification& n) { Conn->HandleNotification(n); },
                TControllerHooks{}, TWBController::TOptions{false});
            c->OpenLink();
            return c;
        };
        h.UpdateDisplay = [this](const TDeviceDisplay&) { ++Refreshes; };
        h.ComTimer = [this](bool run) { TimerRunning = run; };
        h.DeviceRestarted = [this] { ++Restarts; };
        h.NowMs = [this] { return NowMs; };
        Conn = std::make_unique<TDeviceConnection>(Env, Dev, h);
    }
    ~DeviceConnectionTest() override { Conn.reset(); }

    // What the controller thread writes for the requests so far.
    std::vector<std::string> Written() {
        Conn->Controller()->ProcessThreadMessages();
        auto w = Link->Written;
        Link->Written.clear();
        return w;
    }
    void Status(uint8_t b) {
        Link->Feed(Hex("88") + static_cast<char>(b));
        HandOver.Pump();
    }
    void Start() {
        Conn->StateChange(TDeviceConnection::eStart);
        HandOver.Pump();
        Written();
    }

    test::TempDir Dir;
    TFixedSystemPlatform Platform;
    TEnvironment Env{nullptr, Platform};
    TDeviceStatus Dev;
    TManualHandOver HandOver;
    FakeLink* Link = nullptr;
    std::unique_ptr<TDeviceConnection> Conn;
    int Refreshes = 0, Restarts = 0;
    bool TimerRunning = false;
    int64_t NowMs = 0;
};

TEST_F(DeviceConnectionTest, FirstStatusByteBringsTheDeviceOnline) {
    Conn->StateChange(TDeviceConnection::eStart);
    EXPECT_TRUE(TimerRunning);
    EXPECT_EQ(Conn->VState(), 1);
    EXPECT_EQ(Env.ComPort(), 255);
    EXPECT_EQ(Written(), std::vector<std::string>{Cmd::StatusRequest()});
    Status(0x40);
    EXPECT_EQ(Conn->VState(), 2);
    EXPECT_TRUE(Dev.DeviceOnline());
    const std::vector<std::string> first = Written();
    ASSERT_GE(first.size(), 6u);
    EXPECT_EQ(std::vector<std::string>(first.begin(), first.begin() + 6),
              (std::vector<std::string>{Cmd::VersionRequest(), Cmd::MasterTimeout(500),
                                        Cmd::SlaveTimeout(500), Cmd::ResetOverload(),
                                        Cmd::SlaveMode(), Cmd::VersionRequest()}));
    // later status bytes send nothing but the version request while unknown
    Status(0x40);
    std::vector<std::string> later = Written();
    EXPECT_EQ(later, std::vector<std::string>{Cmd::VersionRequest()});
    Link->Feed(Hex("89") + "V2" + Hex("0D"));
    HandOver.Pump();
    EXPECT_EQ(Dev.HardwareRevision(), "V2");
    Written(); // the refresh asks for the record count (autonomous recording)
    Status(0x40);
    EXPECT_TRUE(Written().empty());
}

TEST_F(DeviceConnectionTest, StatusBytesAndTheirDisplay) {
    Start();
    Status(0x40); // external power, both lines carry voltage, slave
    TDeviceDisplay d = Conn->Display();
    EXPECT_TRUE(Dev.WBSD() && Dev.WBED());
    EXPECT_FALSE(Dev.CanSwitchToMaster());
    EXPECT_TRUE(d.MasterDetected);
    EXPECT_FALSE(d.WarningPanelVisible);
    EXPECT_FALSE(d.MasterSwitchEnabled);
    EXPECT_TRUE(d.ShowSlavePanel);
    EXPECT_TRUE(d.LedEin && !d.EinBlinking && d.LedWBED && d.LedWBSD && !d.LedMaster);

    Status(0x58); // no voltage on either line: the device may become master
    d = Conn->Display();
    EXPECT_TRUE(Dev.CanSwitchToMaster());
    EXPECT_TRUE(d.WarningPanelVisible);
    EXPECT_TRUE(d.NoSendLineVoltage && d.NoAnswerLineVoltage && !d.NoExternalPower);
    EXPECT_EQ(d.WarningSecondLine, DeviceTexts::kMasterMissing);
    EXPECT_FALSE(d.MasterDetected);
    EXPECT_TRUE(d.MasterSwitchEnabled);
    EXPECT_EQ(d.MasterCaption, "Master ein");

    Status(0x00); // no external power
    d = Conn->Display();
    EXPECT_TRUE(d.EinBlinking);
    EXPECT_TRUE(d.NoExternalPower);
    EXPECT_FALSE(d.NoSendLineVoltage);
    EXPECT_EQ(d.WarningSecondLine, DeviceTexts::kBusMissing);
}

TEST_F(DeviceConnectionTest, MasterBitSwitchesTheController) {
    Start();
    Status(0x58);
    Written();
    Status(0xC0);
    EXPECT_TRUE(Dev.Master());
    const auto w = Written();
    EXPECT_NE(std::find(w.begin(), w.end(), Cmd::MasterMode()), w.end());
    EXPECT_EQ(Conn->Controller()->Mode(), 1);
    EXPECT_EQ(Conn->Display().MasterCaption, "Master aus");
    EXPECT_TRUE(Conn->Display().DirectSendEnabled);
}

TEST_F(DeviceConnectionTest, OverloadInSlaveModeIsResetAtOnce) {
    Start();
    Status(0x40);
    Written();
    Status(0x44);
    auto w = Written();
    EXPECT_NE(std::find(w.begin(), w.end(), Cmd::ResetOverload()), w.end());
    EXPECT_TRUE(Conn->Display().ResetOverloadEnabled);
    EXPECT_FALSE(Conn->Display().OverloadBalloon);
    // as master: the warning instead
    Status(0xC4);
    EXPECT_TRUE(Conn->Display().OverloadBalloon);
}

TEST_F(DeviceConnectionTest, LinkLossAndReturn) {
    Start();
    Status(0x40);
    Written();
    Link->Disconnect();
    HandOver.Pump();
    EXPECT_EQ(Conn->VState(), 0);
    EXPECT_FALSE(Dev.DeviceOnline());
    EXPECT_FALSE(Conn->Display().LedEin);
    EXPECT_EQ(Written(), std::vector<std::string>{}) << "nothing reaches a device that is gone";
    Link->Connect();
    Conn->StateChange(TDeviceConnection::eTimer);
    EXPECT_EQ(Conn->VState(), 1);
    EXPECT_EQ(Written(), std::vector<std::string>{Cmd::StatusRequest()});
    Status(0x40);
    const auto w = Written();
    ASSERT_GE(w.size(), 3u);
    EXPECT_EQ(w[0], Cmd::VersionRequest());
    EXPECT_EQ(w[1], Cmd::MasterTimeout(500));
}

// A device that stops answering the status requests while its link stays up
// (a halted endpoint, a hung device) is not shown online for long: after a
// few seconds of silence it counts as lost, and its next answer brings it back.
TEST_F(DeviceConnectionTest, SilentDeviceGoesOffline) {
    Start();
    Status(0xC0); // bus master
    Written();
    auto tick = [&] {
        NowMs += 1000;
        Conn->StateChange(TDeviceConnection::eTimer);
    };
    // answered polls keep it online, however long it runs
    for (int k = 0; k < 10; ++k) {
        tick();
        Status(0xC0);
    }
    Written();
    // then silence: the first unanswered request goes out with the next tick
    const int64_t firstUnanswered = NowMs + 1000;
    while (NowMs + 1000 < firstUnanswered + TDeviceConnection::kStatusSilenceMs) {
        tick();
        ASSERT_TRUE(Dev.DeviceOnline()) << NowMs;
    }
    tick();
    EXPECT_FALSE(Dev.DeviceOnline());
    EXPECT_FALSE(Conn->Display().LedEin);
    EXPECT_FALSE(Conn->Display().ShowMasterPanel);
    const auto w = Written();
    EXPECT_NE(std::find(w.begin(), w.end(), Cmd::SlaveMode()), w.end()) << "slave mode";
    EXPECT_EQ(w.back(), Cmd::StatusRequest()) << "and it is asked again";
    EXPECT_EQ(Conn->Controller()->Mode(), 0);
    Status(0x40);
    EXPECT_TRUE(Dev.DeviceOnline());
    EXPECT_TRUE(Conn->Display().LedEin);
}

TEST_F(DeviceConnectionTest, RestartReport) {
    Start();
    Status(0x40);
    Written();
    Status(0x60);
    EXPECT_EQ(Restarts, 1);
    EXPECT_TRUE(Env.ResetTG());
    const auto w = Written();
    ASSERT_GE(w.size(), 5u);
    EXPECT_EQ(
        std::vector<std::string>(w.begin(), w.begin() + 5),
        (std::vector<std::string>{Cmd::ResetOverload(), Cmd::SlaveMode(), Cmd::VersionRequest(),
                                  Cmd::MasterTimeout(500), Cmd::SlaveTimeout(500)}));
}

TEST_F(DeviceConnectionTest, ShutdownClearsListAndLeavesSlaveMode) {
    Start();
    Status(0xC0);
    Written();
    Conn->Shutdown();
    EXPECT_FALSE(TimerRunning);
    const auto w = Link->Written;
    ASSERT_GE(w.size(), 2u);
    EXPECT_EQ(w[w.size() - 2], Cmd::ClearResponseList());
    EXPECT_EQ(w.back(), Cmd::SlaveMode());
}

// Which mode group works, as a function of the device's state: the master
// group while the device is bus master, the slave group while it is a slave
// (with its warnings), neither while it is offline, when the status group
// is off too.
TEST(DeviceDisplay, TheModeGroupsFollowTheDeviceState) {
    struct TCase {
        const char* Name;
        bool Online, Master, WBSD, WBED, Power;
        bool MasterGroup, SlaveGroup, StatusGroup, Warnings, MasterDetected;
    };
    const TCase cases[] = {
        {"offline", false, false, false, false, false, false, false, false, false, false},
        {"offline, stale master bit", false, true, true, true, true, false, false, false, false,
         false},
        {"slave, master on the bus", true, false, true, true, true, false, true, true, false, true},
        {"slave, idle bus", true, false, false, false, true, false, true, true, true, false},
        {"slave, send line only", true, false, true, false, true, false, true, true, true, true},
        {"slave, no power", true, false, false, false, false, false, true, true, true, true},
        {"master", true, true, false, false, true, true, false, true, false, false},
        {"master, lines carry voltage", true, true, true, true, true, true, false, true, false,
         false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TDeviceStatus s;
        s.SetDeviceOnline(c.Online);
        s.SetMaster(c.Master);
        s.SetWBSD(c.WBSD);
        s.SetWBED(c.WBED);
        s.SetExternalPowerOK(c.Power);
        const TDeviceDisplay d = ComputeDeviceDisplay(s, false);
        EXPECT_EQ(d.ShowMasterPanel, c.MasterGroup);
        EXPECT_EQ(d.ShowSlavePanel, c.SlaveGroup);
        EXPECT_FALSE(d.ShowMasterPanel && d.ShowSlavePanel) << "one group at a time";
        EXPECT_EQ(d.StatusGroupEnabled, c.StatusGroup);
        EXPECT_EQ(d.WarningPanelVisible, c.Warnings);
        EXPECT_EQ(d.MasterDetected, c.MasterDetected);
    }
}

TEST(DeviceStatus, ChangeMarkAndReset) {
    TDeviceStatus s;
    EXPECT_FALSE(s.StatusHasChanged());
    s.SetWBSD(true);
    EXPECT_TRUE(s.StatusHasChanged());
    EXPECT_FALSE(s.StatusHasChanged()) << "reading clears it";
    s.SetWBSD(true);
    EXPECT_FALSE(s.StatusHasChanged());
    s.SetHardwareRevision("  V1  ");
    EXPECT_EQ(s.HardwareRevision(), "V1");
    s.Reset();
    EXPECT_TRUE(s.StatusHasChanged());
    EXPECT_EQ(s.HardwareRevision(), "unbekannt");
    EXPECT_FALSE(s.CanSwitchToMaster());
}

} // namespace
} // namespace vaskel
