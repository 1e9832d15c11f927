#include "link/UsbTransport.h"

#include "FakeUsb.h"
#include "link/DeviceNotifications.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <functional>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#endif

namespace vaskel {
namespace {

using test::FakeUsb;

class UsbTransportTest : public ::testing::Test {
protected:
    // The transport's threads trace into members below: it goes first.
    ~UsbTransportTest() override { T.reset(); }

    void Make(int vendor = kTavrinVendorId, int product = kTavrinProductId,
              const std::function<void(TUsbOptions&)>& adjust = nullptr) {
        TUsbOptions o;
        o.ReadTimeoutMs = 20;
        o.WatchDevices = false;
        if (adjust) adjust(o);
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

// The device sends only when there is bus traffic: a read that times out
// is the quiet bus, no error, and says nothing. A read that fails is still
// told as an error.
TEST_F(UsbTransportTest, QuietBusIsNoErrorButAFailedReadIs) {
    Usb.AddDevice(FakeUsb::Tavrin());
    Make();
    T->Connect();
    ASSERT_TRUE(WaitUntil([&] { return Usb.ReadTimeouts.load() >= 5; }));
    Usb.QueueRead(-EPROTO);
    ASSERT_TRUE(WaitUntil([&] { return Traced("ERROR usb-read: scripted error"); }));
    ASSERT_TRUE(WaitUntil([&] { return Usb.ReadTimeouts.load() >= 10; })) << "reading goes on";
    std::lock_guard<std::mutex> l(TraceLock);
    for (const std::string& t : Traces) {
        EXPECT_EQ(t.find("timed out"), std::string::npos) << t;
        EXPECT_EQ(t.find("Timeout during usb-read"), std::string::npos) << t;
    }
    EXPECT_NE(std::find(Traces.begin(), Traces.end(), "ERROR: during usb-read: scripted error " +
                                                          std::to_string(-EPROTO)),
              Traces.end());
}

TEST_F(UsbTransportTest, ClaimFailures) {
    FakeUsb::Device busy = FakeUsb::Tavrin();
    busy.ClaimResult = -EBUSY;
    Usb.AddDevice(busy);
    Make();
    EXPECT_EQ(T->Connect(), 0) << "the probe fails: the device is skipped";
    EXPECT_FALSE(T->Connected());
}

// Nothing the owner calls waits for a transfer: the transport's end, and a
// bus scan that finds the device gone, return while a write or a read still
// hangs; the handle is closed once that transfer is over.
TEST_F(UsbTransportTest, EndAndRemovalDoNotWaitForAHangingTransfer) {
    struct Case {
        const char* What;
        bool HangWrite;
        bool ByRemoval;
    };
    for (const Case c :
         {Case{"end during a write", true, false}, Case{"end during a read", false, false},
          Case{"removal during a write", true, true}, Case{"removal during a read", false, true}}) {
        SCOPED_TRACE(c.What);
        FakeUsb usb;
        usb.AddDevice(FakeUsb::Tavrin());
        TUsbOptions o;
        o.ReadTimeoutMs = 20;
        o.WatchDevices = false;
        auto t = std::make_unique<TUSB_Communication>(usb, HandOver, kTavrinVendorId,
                                                      kTavrinProductId, o);
        ASSERT_EQ(t->Connect(), 0);
        if (c.HangWrite) {
            usb.HangWrites();
            t->Send('\xD3', "");
        } else {
            usb.HangReads();
        }
        ASSERT_TRUE(usb.WaitForHangingTransfer());
        if (c.ByRemoval) {
            usb.RemoveDevices();
            t->CheckDeviceChanges();
            EXPECT_FALSE(t->Connected());
        } else {
            t.reset();
        }
        EXPECT_GE(usb.HangingTransfers(), 1) << "returned while the transfer still hangs";
        usb.Release();
        // the last thread that used the handle closes it
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (usb.OpenHandles() > 0 && std::chrono::steady_clock::now() < end)
            std::this_thread::yield();
        EXPECT_EQ(usb.OpenHandles(), 0u);
        t.reset();
        HandOver.Pump();
    }
}

// At its end the transport writes out what is still queued: the program's
// last commands reach the device.
TEST_F(UsbTransportTest, EndWritesOutTheQueue) {
    for (int k = 0; k < 20; ++k) {
        FakeUsb usb;
        usb.AddDevice(FakeUsb::Tavrin());
        TUsbOptions o;
        o.ReadTimeoutMs = 20;
        o.WatchDevices = false;
        auto t = std::make_unique<TUSB_Communication>(usb, HandOver, kTavrinVendorId,
                                                      kTavrinProductId, o);
        ASSERT_EQ(t->Connect(), 0);
        t->Send('\xD3', "");
        t->Send('\x81', "");
        t.reset();
        ASSERT_EQ(usb.Written(), (std::vector<std::string>{"\xD3", "\x81"})) << "run " << k;
    }
}

// A device that takes nothing does not let the queue grow without end.
TEST_F(UsbTransportTest, QueueIsBounded) {
    Usb.AddDevice(FakeUsb::Tavrin());
    Make(kTavrinVendorId, kTavrinProductId, [](TUsbOptions& o) { o.MaxQueuedPackages = 50; });
    T->Connect();
    Usb.BlockWrites = true;
    for (int k = 0; k < 200; ++k)
        T->Send('\xA0', std::to_string(k));
    EXPECT_EQ(T->QueuedPackages(), 50u);
    EXPECT_TRUE(Traced("ERROR: Send queue full"));
    Usb.BlockWrites = false;
    ASSERT_TRUE(WaitUntil([&] { return Usb.Written().size() == 50; }));
    EXPECT_EQ(Usb.Written().back(), "\xA0"
                                    "49");
    T->Send('\xA0', "new"); // room again
    ASSERT_TRUE(WaitUntil([&] { return Usb.Written().size() == 51; }));
}

// A halted endpoint is cleared and its worker replaced: reading and writing
// go on without the device being plugged in again.
TEST_F(UsbTransportTest, StalledEndpointsAreClearedAndWorkResumes) {
    Usb.AddDevice(FakeUsb::Tavrin());
    Make();
    T->Connect();
    Usb.Stall(0x81); // interrupt IN
    ASSERT_TRUE(WaitUntil([&] { return !Usb.HaltsCleared().empty(); }));
    EXPECT_EQ(Usb.HaltsCleared(), std::vector<int>{0x81});
    Usb.QueueRead(2, "\x88\x07");
    ASSERT_TRUE(WaitUntil([&] { return Received.size() == 1; }));
    EXPECT_EQ(Received[0], "\x88\x07");

    Usb.Stall(0x01); // interrupt OUT
    T->Send('\xA0', "");
    ASSERT_TRUE(WaitUntil([&] { return Usb.Written().size() == 1; }));
    EXPECT_EQ(Usb.HaltsCleared(), (std::vector<int>{0x81, 0x01}));
    EXPECT_EQ(Usb.Written()[0], "\xA0");
    EXPECT_TRUE(T->Connected());
}

// Sending from one thread while the sender is replaced on another loses,
// doubles and reorders nothing (and races on nothing, under the sanitizers).
TEST_F(UsbTransportTest, SendWhileTheSenderIsReplaced) {
    Usb.AddDevice(FakeUsb::Tavrin());
    Make();
    T->Connect();
    constexpr int kPackages = 2000;
    std::thread sender([&] {
        for (int k = 0; k < kPackages; ++k)
            T->Send('\xA0', std::to_string(k));
    });
    for (int k = 0; k < 50; ++k)
        T->RestartWorker(TUSB_Communication::wkSender);
    sender.join();
    ASSERT_TRUE(WaitUntil([&] { return Usb.Written().size() >= kPackages; }));
    const std::vector<std::string> written = Usb.Written();
    ASSERT_EQ(written.size(), static_cast<std::size_t>(kPackages));
    for (int k = 0; k < kPackages; ++k)
        ASSERT_EQ(written[k], "\xA0" + std::to_string(k));
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

// A libusb that cannot be used (libusb0.dll missing on Windows): the
// transport says why once, and finds no device.
TEST_F(UsbTransportTest, UnusableLibraryIsToldOnce) {
    struct TMissingLibrary : FakeUsb {
        std::string LibraryProblem() override { return "libusb0.dll not found"; }
    };
    TMissingLibrary missing;
    std::vector<std::string> traces;
    TUsbOptions o;
    o.WatchDevices = false;
    o.Trace = [&traces](const std::string& s) { traces.push_back(s); };
    {
        TUSB_Communication t(missing, HandOver, kTavrinVendorId, kTavrinProductId, o);
        EXPECT_EQ(t.Connect(), 0);
        EXPECT_EQ(t.Connect(), 0);
        EXPECT_FALSE(t.Connected());
    }
    EXPECT_EQ(std::count(traces.begin(), traces.end(), "libusb0.dll not found"), 1);
}

TEST(SystemUsb, UnusableLibrarySaysWhyAndFindsNothing) {
    UsbApi& api = SystemUsbApi();
    const std::string problem = api.LibraryProblem();
    if (problem.empty()) GTEST_SKIP() << "the system's libusb is there";
    EXPECT_NE(problem.find("libusb0.dll"), std::string::npos) << problem;
    EXPECT_NE(problem.find("libusb-win32"), std::string::npos) << problem;
    api.usb_init();
    EXPECT_EQ(api.usb_find_busses(), 0);
    EXPECT_EQ(api.usb_find_devices(), 0);
    EXPECT_EQ(api.usb_get_busses(), nullptr);
    EXPECT_EQ(api.usb_open(nullptr), nullptr);
    EXPECT_LT(api.usb_claim_interface(nullptr, 0), 0);
    EXPECT_EQ(api.usb_strerror(), problem);
}

// The record of a WM_DEVICECHANGE as the system lays it out: size, type,
// a reserved field, the class GUID, then the path and its NUL.
std::vector<unsigned char> DeviceRecord(std::uint32_t type, const std::string& path,
                                        bool withNul = true) {
    std::vector<unsigned char> r(28 + path.size() + (withNul ? 1 : 0), 0);
    const auto size = static_cast<std::uint32_t>(r.size());
    std::memcpy(r.data(), &size, 4);
    std::memcpy(r.data() + 4, &type, 4);
    std::memcpy(r.data() + 28, path.data(), path.size());
    return r;
}

const std::string kTavrinPath =
    "\\\\?\\USB#VID_3A7C&PID_0006#5&2b1f&0&1#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";

TEST(UsbDeviceChange, OnlyArrivalAndRemovalOfADeviceInterfaceCount) {
    struct Case {
        const char* what;
        unsigned long event;
        std::vector<unsigned char> record;
        std::optional<TDeviceChange> expected;
    };
    const std::vector<Case> cases = {
        {"arrival", 0x8000, DeviceRecord(5, kTavrinPath), TDeviceChange{true, kTavrinPath}},
        {"removal complete", 0x8004, DeviceRecord(5, kTavrinPath),
         TDeviceChange{false, kTavrinPath}},
        {"a path without its NUL ends with the record", 0x8000,
         DeviceRecord(5, "\\\\?\\USB#VID_3A7C&PID_0006#1", false),
         TDeviceChange{true, "\\\\?\\USB#VID_3A7C&PID_0006#1"}},
        {"query remove is no removal", 0x8001, DeviceRecord(5, kTavrinPath), std::nullopt},
        {"remove pending is no removal", 0x8003, DeviceRecord(5, kTavrinPath), std::nullopt},
        {"a volume record (type 2)", 0x8000, DeviceRecord(2, "E:"), std::nullopt},
        {"a port record (type 3)", 0x8004, DeviceRecord(3, "COM3"), std::nullopt},
    };
    for (const Case& c : cases) {
        const auto got = ReadDeviceChange(c.event, c.record.data());
        ASSERT_EQ(got.has_value(), c.expected.has_value()) << c.what;
        if (!got) continue;
        EXPECT_EQ(got->Arrived, c.expected->Arrived) << c.what;
        EXPECT_EQ(got->Path, c.expected->Path) << c.what;
    }
    EXPECT_FALSE(ReadDeviceChange(0x8000, nullptr)) << "no record";
    const std::vector<unsigned char> shortRecord = {12, 0, 0, 0, 5, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_FALSE(ReadDeviceChange(0x8000, shortRecord.data())) << "a record too short for a path";
}

// The system's reports, where it has them, replace the bus scan; elsewhere
// the bus is scanned as before.
TEST_F(UsbTransportTest, SystemReportsOfArrivalAndRemovalAreFollowed) {
    Make(kTavrinVendorId, kTavrinProductId, [](TUsbOptions& o) {
        o.WatchDevices = true;
        o.WatchIntervalMs = 10;
        o.SystemNotifications = true;
    });
    EXPECT_FALSE(T->Connected());
    Usb.AddDevice(FakeUsb::Tavrin(2));
#ifdef _WIN32
    // the hidden window listening for the system's reports
    HWND window = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        window = ::FindWindowExA(HWND_MESSAGE, nullptr, "VaskelDeviceNotifications", nullptr);
        return window != nullptr;
    }));
    HandOver.Pump();
    EXPECT_FALSE(T->Connected()) << "no bus scan while the system reports";
    auto other = DeviceRecord(5, "\\\\?\\USB#VID_3A7C&PID_0007#1");
    ::SendMessageA(window, WM_DEVICECHANGE, 0x8000, reinterpret_cast<LPARAM>(other.data()));
    HandOver.Pump();
    EXPECT_FALSE(T->Connected()) << "another product";
    auto arrival = DeviceRecord(5, kTavrinPath);
    ::SendMessageA(window, WM_DEVICECHANGE, 0x8000, reinterpret_cast<LPARAM>(arrival.data()));
    ASSERT_TRUE(WaitUntil([&] { return T->Connected(); }));
    EXPECT_EQ(T->DevicePath(), kTavrinPath);
    auto elsewhere = DeviceRecord(5, "\\\\?\\USB#VID_3A7C&PID_0006#other");
    ::SendMessageA(window, WM_DEVICECHANGE, 0x8004, reinterpret_cast<LPARAM>(elsewhere.data()));
    HandOver.Pump();
    EXPECT_TRUE(T->Connected()) << "removal of a device with another path";
    Usb.RemoveDevices();
    ::SendMessageA(window, WM_DEVICECHANGE, 0x8004, reinterpret_cast<LPARAM>(arrival.data()));
    ASSERT_TRUE(WaitUntil([&] { return !T->Connected(); }));
    EXPECT_EQ(T->DevicePath(), "");
    T.reset();
    EXPECT_EQ(::FindWindowExA(HWND_MESSAGE, nullptr, "VaskelDeviceNotifications", nullptr),
              nullptr)
        << "the window goes with the transport";
#else
    EXPECT_EQ(TDeviceNotifications::Start([](const TDeviceChange&) {}), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return T->Connected(); })) << "found by the bus scan";
    EXPECT_EQ(T->DevicePath(), "001/002");
    Usb.RemoveDevices();
    ASSERT_TRUE(WaitUntil([&] { return !T->Connected(); }));
#endif
    EXPECT_EQ(States, (std::vector<bool>{true, false}));
}

} // namespace
} // namespace vaskel
