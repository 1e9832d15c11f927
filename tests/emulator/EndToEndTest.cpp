// The virtual Tavrin under the real USB transport, controller and decoder,
// on a bus clock the test steps by hand.

#include "emulator/VirtualUsb.h"
#include "link/Controller.h"
#include "link/UsbTransport.h"
#include "telegram/TextConventions.h"

#include <gtest/gtest.h>

#include <chrono>

namespace vaskel {
namespace {

class EndToEnd : public ::testing::Test {
protected:
    ~EndToEnd() override {
        C.reset(); // controller and transport go before the device
        Usb.reset();
    }

    void Start(TScenario scenario) {
        TEmulatorOptions o;
        o.Scenario = scenario;
        Usb = std::make_unique<TVirtualUsb>(o);
        TUsbOptions uo;
        uo.ReadTimeoutMs = 20;
        uo.WatchIntervalMs = 10;
        auto link = std::make_unique<TUSB_Communication>(*Usb, HandOver, kTavrinVendorId,
                                                         kTavrinProductId, uo);
        C = std::make_unique<TWBController>(
            std::move(link), HandOver, [this](const TControllerNotification& n) {
                Notes.push_back(n);
                if (n.Msg == TControllerMessage::FMsgMasterTelegramm)
                    C->ReleaseMasterRecord(static_cast<uint8_t>(n.WParam));
                if (n.Msg == TControllerMessage::FMsgSlaveTelegramm)
                    C->ReleaseSlaveRecord(static_cast<uint8_t>(n.WParam));
            });
        ASSERT_TRUE(WaitFor([&] { return Count(TControllerMessage::FMsgLinkUp) == 1; }));
    }

    // Pumps the main-thread queue until pred holds; the transport and the
    // controller are threads, so the result comes a little later.
    template <typename P> bool WaitFor(P pred) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (std::chrono::steady_clock::now() < end) {
            HandOver.Pump();
            if (pred()) return true;
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        return false;
    }
    std::size_t Count(TControllerMessage m) const {
        std::size_t n = 0;
        for (const auto& x : Notes)
            n += x.Msg == m;
        return n;
    }
    std::size_t Captures() const {
        return Count(TControllerMessage::FMsgMasterTelegramm) +
               Count(TControllerMessage::FMsgSlaveTelegramm);
    }
    const TControllerNotification& Last(TControllerMessage m) const {
        for (auto it = Notes.rbegin(); it != Notes.rend(); ++it)
            if (it->Msg == m) return *it;
        throw std::runtime_error("no such notification");
    }
    uint8_t PollStatus() {
        const std::size_t before = Count(TControllerMessage::FMsgStatus);
        EXPECT_TRUE(C->SendRequest(Cmd::StatusRequest()));
        EXPECT_TRUE(WaitFor([&] { return Count(TControllerMessage::FMsgStatus) > before; }));
        return static_cast<uint8_t>(Last(TControllerMessage::FMsgStatus).WParam);
    }
    uint64_t DeviceCaptures() {
        return Usb->WithDevice(
            [](TVirtualTavrin& d) { return d.MasterCaptures() + d.SlaveCaptures(); });
    }
    // Runs the bus for ms and waits until everything it said has arrived.
    void Run(double ms) {
        for (double t = 0; t < ms; t += 100) {
            Usb->Advance(100);
            ASSERT_TRUE(WaitFor([&] { return Captures() == DeviceCaptures(); }));
        }
    }

    TManualHandOver HandOver;
    std::unique_ptr<TVirtualUsb> Usb;
    std::unique_ptr<TWBController> C;
    std::vector<TControllerNotification> Notes;
};

TEST_F(EndToEnd, StatusPollingAndModeSwitches) {
    Start(TScenario::Idle);
    EXPECT_EQ(PollStatus(), 0x78) << "external power, no master, restarted";
    EXPECT_EQ(PollStatus(), 0x58);
    ASSERT_TRUE(C->SetMode(1));
    EXPECT_EQ(PollStatus(), 0xC0) << "bus master";
    ASSERT_TRUE(C->SetMode(0));
    EXPECT_EQ(PollStatus(), 0x58);
    ASSERT_TRUE(C->SendRequest(Cmd::VersionRequest()));
    ASSERT_TRUE(WaitFor([&] { return Count(TControllerMessage::FMsgVersion) == 1; }));
    EXPECT_EQ(C->ControllerVersion(), "Tavrin V2.14 (Emulator)");
}

TEST_F(EndToEnd, OwnTelegramComesBackWithItsCheckByte) {
    Start(TScenario::Idle);
    EXPECT_FALSE(C->SendRequest("a1")) << "slave mode";
    ASSERT_TRUE(C->SetMode(1));
    ASSERT_EQ(PollStatus() & 0x80, 0x80);
    const uint64_t sent = Usb->WithDevice([](TVirtualTavrin& d) { return d.TransfersReceived(); });
    ASSERT_TRUE(C->SendRequest("a1"));
    // the telegram reaches the device before its bus time moves on
    ASSERT_TRUE(WaitFor([&] {
        return Usb->WithDevice([](TVirtualTavrin& d) { return d.TransfersReceived(); }) > sent;
    }));
    Run(300);
    ASSERT_EQ(Count(TControllerMessage::FMsgMasterTelegramm), 1u);
    const TTelegramm& m = Last(TControllerMessage::FMsgMasterTelegramm).Record;
    EXPECT_EQ(m.Text, "a1\r");
    EXPECT_EQ(m.Check, static_cast<uint8_t>(CalcCheckByte("a1")));
    EXPECT_EQ(m.ErrorFlags, 0);
    EXPECT_EQ(m.EndTicks - m.StartTicks, 4u * kTicksPerCharacter);
    EXPECT_FALSE(C->SimulationBusy());
    ASSERT_EQ(Count(TControllerMessage::FMsgSlaveTelegramm), 1u);
    EXPECT_EQ(Last(TControllerMessage::FMsgSlaveTelegramm).Record.Text, TelegramBytes("a10"));
}

TEST_F(EndToEnd, DownloadedResponseListAnswers) {
    Start(TScenario::Vehicle);
    ASSERT_TRUE(C->CopyResponseList({{"Aufruf", "Antwort", 0}, {"z0", "ok1", 50}}));
    ASSERT_TRUE(C->SendRequest(Cmd::SlaveSimulation(true)));
    PollStatus(); // written after the list and the switch, so they have arrived
    EXPECT_EQ(Usb->WithDevice([](TVirtualTavrin& d) { return d.ResponseList().size(); }), 1u);
    Run(8000);
    bool answered = false;
    for (std::size_t k = 0; k < Notes.size(); ++k) {
        if (Notes[k].Msg != TControllerMessage::FMsgSlaveTelegramm || !Notes[k].Record.SentByDevice)
            continue;
        answered = true;
        EXPECT_EQ(Notes[k].Record.Text, TelegramBytes("ok1"));
        const auto& call = Notes[k - 1].Record;
        EXPECT_EQ(call.Text.substr(0, 2), "z0");
        EXPECT_GE(Notes[k].Record.StartTicks - call.EndTicks, 360u) << "50 ms reaction time";
    }
    EXPECT_TRUE(answered);
}

TEST_F(EndToEnd, FirmwareUploadHandshakeAndRestart) {
    Start(TScenario::Idle);
    PollStatus();
    ASSERT_TRUE(C->SendRequest(Cmd::UploadRequest(9000)));
    ASSERT_TRUE(WaitFor([&] { return Count(TControllerMessage::FMsgUploadReply) == 1; }));
    EXPECT_EQ(C->UploadGoAheadReply(), TUploadReplyStatus::urNotEnoughMenory);

    std::string image = "Tavrin V3.00 Vaskel/AT91SAM7S256";
    image.resize(126, '\xFF');
    ASSERT_TRUE(C->SendRequest(Cmd::UploadRequest(2)));
    ASSERT_TRUE(WaitFor([&] { return Count(TControllerMessage::FMsgUploadReply) == 2; }));
    EXPECT_EQ(C->UploadGoAheadReply(), TUploadReplyStatus::urGoAhead);
    ASSERT_TRUE(C->SendRequest(Cmd::FirmwareBlock(image.substr(0, 63))));
    ASSERT_TRUE(C->SendRequest(Cmd::FirmwareBlock(image.substr(63))));
    ASSERT_TRUE(C->SendRequest(Cmd::UploadEnd()));
    // the device programs its flash and restarts: the link drops ...
    ASSERT_TRUE(WaitFor([&] { return Count(TControllerMessage::FMsgLinkDown) == 1; }));
    EXPECT_EQ(C->DecoderState(), TDecoderState::Down);
    // ... and comes back
    Usb->Advance(TVirtualUsb::kRestartMs + 10);
    ASSERT_TRUE(WaitFor([&] { return Count(TControllerMessage::FMsgLinkUp) == 2; }));
    EXPECT_EQ(PollStatus() & 0x20, 0x20) << "restarted";
    ASSERT_TRUE(C->SendRequest(Cmd::VersionRequest()));
    ASSERT_TRUE(WaitFor([&] { return Count(TControllerMessage::FMsgVersion) == 1; }));
    EXPECT_EQ(C->ControllerVersion(), "Tavrin V3.00 Vaskel/AT91SAM7S256");
}

TEST_F(EndToEnd, AutonomousRecordingCountAndReplay) {
    Start(TScenario::Vehicle);
    ASSERT_TRUE(C->SendRequest(Cmd::AutonomousRecording(true)));
    EXPECT_EQ(PollStatus() & 0x01, 0x01);
    Run(5000);
    ASSERT_TRUE(C->SendRequest(Cmd::AutonomousRecording(false)));
    ASSERT_TRUE(C->SendRequest(Cmd::QueryRecordCount()));
    ASSERT_TRUE(WaitFor([&] { return Count(TControllerMessage::FMsgRecordCount) == 1; }));
    const uint32_t n = Last(TControllerMessage::FMsgRecordCount).WParam;
    EXPECT_GT(n, 10u);
    const std::size_t before = Captures();
    ASSERT_TRUE(C->SendRequest(Cmd::TransferRecordedData()));
    ASSERT_TRUE(WaitFor([&] { return Captures() == before + n; }));
}

TEST_F(EndToEnd, UnplugAndReplugDuringTraffic) {
    Start(TScenario::Vehicle);
    Run(3000);
    const std::size_t delivered = Captures();
    EXPECT_EQ(delivered, DeviceCaptures()) << "every telegram completed while connected";
    EXPECT_GT(delivered, 10u);
    Usb->SetPlugged(false);
    ASSERT_TRUE(WaitFor([&] { return Count(TControllerMessage::FMsgLinkDown) == 1; }));
    EXPECT_EQ(C->DecoderState(), TDecoderState::Down);
    EXPECT_FALSE(C->Link().Connected());
    Usb->Advance(2000); // the bus goes on; nobody listens
    Usb->SetPlugged(true);
    ASSERT_TRUE(WaitFor([&] { return Count(TControllerMessage::FMsgLinkUp) == 2; }));
    EXPECT_EQ(C->DecoderState(), TDecoderState::Idle);
    EXPECT_EQ(PollStatus() & 0x20, 0x20) << "a device plugged in again has restarted";
    const uint64_t base = DeviceCaptures();
    const std::size_t deliveredBase = Captures();
    for (int k = 0; k < 30; ++k) {
        Usb->Advance(100);
        ASSERT_TRUE(WaitFor([&] { return Captures() - deliveredBase == DeviceCaptures() - base; }));
    }
    EXPECT_GT(Captures(), deliveredBase);
}

// The program's exit: the list clearing and slave mode requested last reach
// the device before controller and transport are gone -- every time.
TEST_F(EndToEnd, LastCommandsReachTheDeviceAtTheEnd) {
    for (int run = 0; run < 30; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        Notes.clear();
        Start(TScenario::Idle);
        ASSERT_TRUE(C->SetMode(1));
        ASSERT_EQ(PollStatus() & 0x80, 0x80);
        ASSERT_TRUE(C->CopyResponseList({{"a1", "a10", 10}}));
        PollStatus();
        ASSERT_EQ(Usb->WithDevice([](TVirtualTavrin& d) { return d.ResponseList().size(); }), 1u);

        ASSERT_TRUE(C->SendRequest(Cmd::ClearResponseList()));
        ASSERT_TRUE(C->SetMode(0));
        C.reset();
        EXPECT_TRUE(Usb->WithDevice([](TVirtualTavrin& d) { return d.ResponseList().empty(); }));
        EXPECT_FALSE(Usb->WithDevice([](TVirtualTavrin& d) { return d.Master(); }));
        Usb.reset();
        HandOver.Pump();
    }
}

TEST_F(EndToEnd, RealTimeClock) {
    Start(TScenario::Vehicle);
    Usb->StartClock(20.0); // twenty times as fast as the bus
    EXPECT_TRUE(WaitFor([&] { return Captures() > 20; }));
    Usb->StopClock();
}

} // namespace
} // namespace vaskel
