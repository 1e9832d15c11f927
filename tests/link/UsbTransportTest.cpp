#include "link/UsbTransport.h"

#include "FakeUsb.h"

#include <gtest/gtest.h>

#include <chrono>

namespace vaskel {
namespace {

using test::FakeUsb;

class UsbTransportTest : public ::testing::Test {
protected:
    // The transport's threads trace into members below: it goes first.
    ~UsbTransportTest() override { T.reset(); }

    void Make(int vendor = kTavrinVendorId, int product = kTavrinProductId) {
        TUsbOptions o;
        o.ReadTimeoutMs = 20;
        o.WatchDevices = false;
        o.Trace = [this](const std::string& s) {
            std::lock_guard<std::mutex> l(TraceLock);
            Traces.push_back(s);
        };
        o.Beep = [this] { ++Beeps; };
        T = std::make_unique<TUSB_Communication>(Usb, HandOver, vendor, product, o);
        T->SetCallbacks(
            [this](char first, std::string_view rest) {
                Received.push_back(first + std::string(rest));
            },
            [this](bool up) { States.push_back(up); });
    }
    // Pumps the main-thread queue until pred holds (the workers are threads).
    template <typename P> bool WaitUntil(P pred) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < end) {
            HandOver.Pump();
            if (pred()) return true;
            std::this_thread::yield();
        }
        return false;
    }
    bool Traced(const std::string& prefix) {
        std::lock_guard<std::mutex> l(TraceLock);
        for (const auto& t : Traces)
            if (t.rfind(prefix, 0) == 0) return true;
        return false;
    }

    FakeUsb Usb;
    TManualHandOver HandOver;
    std::unique_ptr<TUSB_Communication> T;
    std::vector<std::string> Received;
    std::vector<bool> States;
    std::mutex TraceLock;
    std::vector<std::string> Traces;
    std::atomic<int> Beeps{0};
};

TEST_F(UsbTransportTest, MissingIdsDoNotTouchTheBus) {
    Make(kTavrinVendorId, 0);
    EXPECT_EQ(T->Connect(), 2);
    Make(0, kTavrinProductId);
    EXPECT_EQ(T->Connect(), 1);
    EXPECT_EQ(Usb.FindBussesCalls, 0);
    EXPECT_FALSE(T->Connected());
}

TEST_F(UsbTransportTest, ConnectsAndWrites) {
    Usb.AddDevice(FakeUsb::Tavrin(2));
    Make();
    EXPECT_EQ(T->Connect(), 0);
    EXPECT_TRUE(T->Connected());
    EXPECT_EQ(States, std::vector<bool>{true});
    EXPECT_EQ(T->DeviceID(), 2);
    EXPECT_EQ(T->DevicePath(), "001/002");
    T->Send('\xA0', "");
    T->Send('l', std::string("001\r/"));
    ASSERT_TRUE(WaitUntil([&] { return Usb.Written().size() == 2; }));
    EXPECT_EQ(Usb.Written(), (std::vector<std::string>{"\xA0", "l001\r/"}));
    EXPECT_EQ(T->SentBytes(), 7u);
}

TEST_F(UsbTransportTest, OtherProductIsIgnored) {
    FakeUsb::Device other = FakeUsb::Tavrin(4);
    other.Product = 0x0007;
    Usb.AddDevice(other);
    Make();
    EXPECT_EQ(T->Connect(), 0);
    EXPECT_FALSE(T->Connected());
    T->DeviceArrived("001/004", kTavrinVendorId, 0x0007);
    T->CheckDeviceChanges();
    EXPECT_FALSE(T->Connected());
    EXPECT_EQ(Usb.OpenCalls, 0);
}

TEST_F(UsbTransportTest, FullPacketsAreJoinedWithTheNextShortOne) {
    Usb.AddDevice(FakeUsb::Tavrin());
    Make();
    T->Connect();
    Usb.QueueRead(8, "abcdefgh"); // full size (8), no control byte first: held back
    Usb.QueueRead(2, "ij");
    ASSERT_TRUE(WaitUntil([&] { return Received.size() == 1; }));
    EXPECT_EQ(Received[0], "abcdefghij");
    Usb.QueueRead(8, "\x88"
                     "1234567"); // full size but starts with a control byte
    ASSERT_TRUE(WaitUntil([&] { return Received.size() == 2; }));
    EXPECT_EQ(Received[1], "\x88"
                           "1234567");
}

TEST_F(UsbTransportTest, TimedOutWriteIsRepeatedUntilItSucceeds) {
    Usb.AddDevice(FakeUsb::Tavrin());
    Make();
    T->Connect();
    Usb.QueueWriteResult(-ETIMEDOUT);
    Usb.QueueWriteResult(-ETIMEDOUT);
    T->Send('\xA0', "");
    ASSERT_TRUE(WaitUntil([&] { return Usb.Written().size() == 1; }));
    EXPECT_EQ(Usb.WriteAttempts, 3);
    EXPECT_EQ(T->QueuedPackages(), 0u);
    EXPECT_TRUE(Traced("ERROR: Timeout during write-operation: " + std::to_string(-ETIMEDOUT)));
    EXPECT_TRUE(T->Connected()) << "a failing write does not drop the connection";
}

TEST_F(UsbTransportTest, DisconnectDiscardsQueuedPackages) {
    Usb.AddDevice(FakeUsb::Tavrin());
    Make();
    T->Connect();
    Usb.BlockWrites = true;
    for (int k = 0; k < 3; ++k)
        T->Send('\xA0', "");
    EXPECT_GT(T->QueuedPackages(), 0u);
    T->Disconnect();
    EXPECT_EQ(T->QueuedPackages(), 0u);
    EXPECT_FALSE(T->Connected());
    EXPECT_EQ(States, (std::vector<bool>{true, false}));
    T->Send('\xA0', ""); // nothing is queued without a device
    EXPECT_EQ(T->QueuedPackages(), 0u);
}

TEST_F(UsbTransportTest, DataReceivedBeforeDisconnectIsDeliveredFirst) {
    Usb.AddDevice(FakeUsb::Tavrin());
    Make();
    std::vector<std::string> order;
    T->SetCallbacks(
        [&](char first, std::string_view rest) { order.push_back(first + std::string(rest)); },
        [&](bool up) { order.push_back(up ? "up" : "down"); });
    T->Connect();
    Usb.QueueRead(3, "\x88\x40\x88");
    // the receiver has queued it; the main thread has not delivered it yet
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (HandOver.Pending() == 0 && std::chrono::steady_clock::now() < end)
        std::this_thread::yield();
    ASSERT_GT(HandOver.Pending(), 0u);
    T->Disconnect();
    EXPECT_EQ(order, (std::vector<std::string>{"up", "\x88\x40\x88", "down"}));
    HandOver.Pump(); // the late delivery message finds nothing more
    EXPECT_EQ(order.size(), 3u);
}

TEST_F(UsbTransportTest, RemovalOfAnotherDeviceIsIgnored) {
    Usb.AddDevice(FakeUsb::Tavrin(2));
    Make();
    T->Connect();
    T->DeviceRemoved("001/009", kTavrinVendorId, kTavrinProductId);
    T->DeviceRemoved("001/002", kTavrinVendorId, 0x0007);
    EXPECT_TRUE(T->Connected());
    T->DeviceRemoved("001/002", kTavrinVendorId, kTavrinProductId);
    EXPECT_FALSE(T->Connected());
    EXPECT_EQ(T->DevicePath(), "");
}

TEST_F(UsbTransportTest, BusScanFollowsUnplugAndPlug) {
    Usb.AddDevice(FakeUsb::Tavrin(2));
    Make();
    T->Connect();
    T->CheckDeviceChanges();
    EXPECT_TRUE(T->Connected());
    Usb.RemoveDevices();
    T->CheckDeviceChanges();
    EXPECT_FALSE(T->Connected());
    Usb.AddDevice(FakeUsb::Tavrin(3)); // plugged in again: a new device number
    T->CheckDeviceChanges();
    EXPECT_TRUE(T->Connected());
    EXPECT_EQ(T->DevicePath(), "001/003");
    EXPECT_EQ(States, (std::vector<bool>{true, false, true}));
    T->Send('\xA0', "");
    ASSERT_TRUE(WaitUntil([&] { return Usb.Written().size() == 1; }));
}

TEST_F(UsbTransportTest, DeadReceiverIsReplaced) {
    Usb.AddDevice(FakeUsb::Tavrin());
    Make();
    T->Connect();
    Usb.QueueRead(-EPROTO);
    ASSERT_TRUE(WaitUntil([&] { return Traced("ERROR: USB-Receiver abnormal termination: "); }));
    ASSERT_TRUE(WaitUntil([&] { return Beeps.load() == 1; }));
    Usb.QueueRead(2, "\x88\x07");
    ASSERT_TRUE(WaitUntil([&] { return Received.size() == 1; }));
    EXPECT_EQ(Received[0], "\x88\x07");
}

TEST_F(UsbTransportTest, ClaimFailures) {
    FakeUsb::Device busy = FakeUsb::Tavrin();
    busy.ClaimResult = -EBUSY;
    Usb.AddDevice(busy);
    Make();
    EXPECT_EQ(T->Connect(), 0) << "the probe fails: the device is skipped";
    EXPECT_FALSE(T->Connected());
}

TEST(UsbDevicePath, VendorAndProductFromWindowsPath) {
    int v = 0, p = 0;
    TUSB_Communication::ParseDevicePath(
        "\\\\?\\USB#VID_3A7C&PID_0006#5&2b1f&0&1#{a5dcbf10-6530-11d2-901f-00c04fb951ed}", v, p);
    EXPECT_EQ(v, 0x3A7C);
    EXPECT_EQ(p, 0x0006);
    TUSB_Communication::ParseDevicePath("\\\\?\\USB#VID_XY&PID_0006#1", v, p);
    EXPECT_EQ(v, -1);
    EXPECT_EQ(p, 6);
    TUSB_Communication::ParseDevicePath("nothing here", v, p);
    EXPECT_EQ(v, -1);
    EXPECT_EQ(p, -1);
}

} // namespace
} // namespace vaskel
