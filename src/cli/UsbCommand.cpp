#include "cli/UsbCommand.h"

#include "cli/Json.h"
#include "link/UsbTransport.h"

#include <cstdio>
#include <ostream>

namespace vaskel {

namespace {

std::string Hex(unsigned value, int digits) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*x", digits, value);
    return buf;
}

const char* TransferType(unsigned attributes) {
    switch (attributes & 3) {
    case 0:
        return "control";
    case 1:
        return "isochronous";
    case 2:
        return "bulk";
    default:
        return "interrupt";
    }
}

std::string DeviceJson(const struct usb_bus* bus, const struct usb_device* dev) {
    std::string path = bus ? bus->dirname : "";
    path += '/';
    path += dev->filename;
    std::string j = "{\"Path\":" + JsonByteString(path) +
                    ",\"DeviceNumber\":" + std::to_string(dev->devnum) + ",\"Vendor\":\"" +
                    Hex(dev->descriptor.idVendor, 4) + "\",\"Product\":\"" +
                    Hex(dev->descriptor.idProduct, 4) + "\",\"Endpoints\":[";
    bool first = true;
    ForEachEndpoint(*dev, [&](const usb_endpoint_descriptor& d) {
        if (!first) j += ',';
        first = false;
        j += "{\"Address\":\"" + Hex(d.bEndpointAddress, 2) + "\",\"Type\":\"" +
             TransferType(d.bmAttributes) +
             "\",\"MaxPacketSize\":" + std::to_string(d.wMaxPacketSize) + "}";
    });
    return j + "]}";
}

} // namespace

int RunUsb(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           UsbApi& api) {
    bool all = false;
    for (std::size_t k = 1; k < args.size(); ++k) {
        if (args[k] == "-h" || args[k] == "--help") return ShowHelp(UsbCommand(), out);
        if (args[k] == "--all") {
            all = true;
            continue;
        }
        return RefuseUsage(UsbCommand(), err, "unknown argument " + args[k]);
    }
    const std::string problem = api.LibraryProblem();
    if (!problem.empty()) {
        err << "vaskel-cli: " << problem << "\n";
        return kCliFailure;
    }
    api.usb_init();
    api.usb_find_busses();
    api.usb_find_devices();
    int listed = 0;
    for (struct usb_bus* bus = api.usb_get_busses(); bus; bus = bus->next)
        for (struct usb_device* dev = bus->devices; dev; dev = dev->next) {
            const bool tavrin = dev->descriptor.idVendor == kTavrinVendorId &&
                                dev->descriptor.idProduct == kTavrinProductId;
            if (!all && !tavrin) continue;
            out << DeviceJson(bus, dev) << "\n";
            ++listed;
        }
    if (listed == 0) {
        err << "vaskel-cli: " << (all ? "no USB device found" : "no Tavrin found (USB 3a7c:0006)")
            << "\n";
        return kCliFailure;
    }
    return kCliOk;
}

const TCliCommand& UsbCommand() {
    static const TCliCommand command = [] {
        TCliCommand c;
        c.Name = "usb";
        c.Summary = "list the Tavrins the system's libusb finds";
        c.Synopsis = {"usb [--all]"};
        c.Description = "Lists the Tavrins (USB 3a7c:0006) the system's libusb finds, one JSON\n"
                        "object per line: the device's path, device number, vendor and product\n"
                        "and its endpoints. Exit status 1 when there is none. On Windows the\n"
                        "library is libusb-win32's libusb0.dll, installed with the Tavrin's\n"
                        "driver; without it the command says so and fails.\n";
        c.Options = {{"--all", "", "every USB device, not only the Tavrins"}};
        c.Run = [](const TCliCall& call) {
            return RunUsb(call.Args, call.Out, call.Err, SystemUsbApi());
        };
        return c;
    }();
    return command;
}

} // namespace vaskel
