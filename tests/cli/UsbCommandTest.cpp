#include "cli/UsbCommand.h"

#include "link/FakeUsb.h"

#include <gtest/gtest.h>

#include <sstream>

namespace vaskel {
namespace {

using test::FakeUsb;

struct UsbRun {
    int code;
    std::string out, err;
};

UsbRun Usb(UsbApi& api, std::vector<std::string> args = {"usb"}) {
    std::ostringstream out, err;
    const int code = RunUsb(args, out, err, api);
    return {code, out.str(), err.str()};
}

const std::string kTavrinLine =
    "{\"Path\":\"001/002\",\"DeviceNumber\":2,\"Vendor\":\"3a7c\",\"Product\":\"0006\","
    "\"Endpoints\":[{\"Address\":\"01\",\"Type\":\"interrupt\",\"MaxPacketSize\":64},"
    "{\"Address\":\"81\",\"Type\":\"interrupt\",\"MaxPacketSize\":8},"
    "{\"Address\":\"02\",\"Type\":\"bulk\",\"MaxPacketSize\":64},"
    "{\"Address\":\"82\",\"Type\":\"bulk\",\"MaxPacketSize\":64}]}\n";

TEST(CliUsb, ListsTheTavrinsOrEveryDevice) {
    FakeUsb api;
    FakeUsb::Device mouse;
    mouse.Vendor = 0x046D;
    mouse.Product = 0xC077;
    mouse.DevNum = 5;
    mouse.Endpoints = {FakeUsb::Ep(0x81, 3, 4)};
    api.AddDevice(mouse);
    api.AddDevice(FakeUsb::Tavrin(2));

    const UsbRun tavrins = Usb(api);
    EXPECT_EQ(tavrins.code, kCliOk) << tavrins.err;
    EXPECT_EQ(tavrins.out, kTavrinLine);

    const UsbRun all = Usb(api, {"usb", "--all"});
    EXPECT_EQ(all.code, kCliOk);
    EXPECT_EQ(all.out, kTavrinLine +
                           "{\"Path\":\"001/005\",\"DeviceNumber\":5,\"Vendor\":\"046d\","
                           "\"Product\":\"c077\",\"Endpoints\":[{\"Address\":\"81\","
                           "\"Type\":\"interrupt\",\"MaxPacketSize\":4}]}\n")
        << "in the bus's order";
}

TEST(CliUsb, NothingFoundOrNoLibraryFails) {
    FakeUsb empty;
    const UsbRun none = Usb(empty);
    EXPECT_EQ(none.code, kCliFailure);
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(none.err, "vaskel-cli: no Tavrin found (USB 3a7c:0006)\n");

    struct TMissingLibrary : FakeUsb {
        std::string LibraryProblem() override { return "libusb0.dll not found"; }
    } missing;
    missing.AddDevice(FakeUsb::Tavrin(2));
    const UsbRun unusable = Usb(missing);
    EXPECT_EQ(unusable.code, kCliFailure);
    EXPECT_EQ(unusable.out, "");
    EXPECT_EQ(unusable.err, "vaskel-cli: libusb0.dll not found\n");

    const UsbRun wrong = Usb(empty, {"usb", "--every"});
    EXPECT_EQ(wrong.code, kCliUsage);
    EXPECT_NE(wrong.err.find("unknown argument --every"), std::string::npos);
}

} // namespace
} // namespace vaskel
