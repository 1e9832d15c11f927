// A stand-in for libusb-win32's libusb0.dll, built as a DLL of that name on
// Windows: one bus with one Tavrin (configuration 1, interface 0, the
// Tavrin's four endpoints), whose transfers fail as for a device that is
// gone. tools/windows-build.sh --test puts it beside vaskel-cli.exe to check
// that the program finds the library at run time and reads its records.

#include "link/UsbTypes.h"

#include <cstring>

#define EXPORT extern "C" __declspec(dllexport)

namespace {

usb_endpoint_descriptor GEndpoints[4];
usb_interface_descriptor GAlt;
usb_interface GInterface;
usb_config_descriptor GConfig;
usb_device GDevice;
usb_bus GBus;
char GError[] = "libusb0-dll:err [stand-in] device gone";

void Endpoint(int k, unsigned char address, unsigned char type, unsigned short size) {
    GEndpoints[k] = {};
    GEndpoints[k].bLength = 7;
    GEndpoints[k].bDescriptorType = 5;
    GEndpoints[k].bEndpointAddress = address;
    GEndpoints[k].bmAttributes = type;
    GEndpoints[k].wMaxPacketSize = size;
}

} // namespace

EXPORT void usb_init() {
    Endpoint(0, 0x01, 3, 64);
    Endpoint(1, 0x81, 3, 8);
    Endpoint(2, 0x02, 2, 64);
    Endpoint(3, 0x82, 2, 64);
    GAlt = {};
    GAlt.bNumEndpoints = 4;
    GAlt.endpoint = GEndpoints;
    GInterface = {};
    GInterface.altsetting = &GAlt;
    GInterface.num_altsetting = 1;
    GConfig = {};
    GConfig.bNumInterfaces = 1;
    GConfig.bConfigurationValue = 1;
    GConfig.interface = &GInterface;
    GDevice = {};
    std::strcpy(GDevice.filename, "\\\\.\\libusb0-0001--0x3a7c-0x0006");
    GDevice.bus = &GBus;
    GDevice.descriptor.bLength = 18;
    GDevice.descriptor.bDescriptorType = 1;
    GDevice.descriptor.idVendor = 0x3A7C;
    GDevice.descriptor.idProduct = 0x0006;
    GDevice.descriptor.bNumConfigurations = 1;
    GDevice.config = &GConfig;
    GDevice.devnum = 1;
    GBus = {};
    std::strcpy(GBus.dirname, "bus-0");
    GBus.devices = &GDevice;
}
EXPORT void usb_set_debug(int) {}
EXPORT int usb_find_busses() { return 1; }
EXPORT int usb_find_devices() { return 1; }
EXPORT usb_bus* usb_get_busses() { return &GBus; }
EXPORT usb_dev_handle* usb_open(usb_device*) { return nullptr; }
EXPORT int usb_close(usb_dev_handle*) { return -5; }
EXPORT int usb_set_configuration(usb_dev_handle*, int) { return -5; }
EXPORT int usb_claim_interface(usb_dev_handle*, int) { return -5; }
EXPORT int usb_release_interface(usb_dev_handle*, int) { return -5; }
EXPORT int usb_reset(usb_dev_handle*) { return -5; }
EXPORT int usb_clear_halt(usb_dev_handle*, unsigned int) { return -5; }
EXPORT int usb_interrupt_write(usb_dev_handle*, int, char*, int, int) { return -5; }
EXPORT int usb_interrupt_read(usb_dev_handle*, int, char*, int, int) { return -5; }
EXPORT int usb_bulk_write(usb_dev_handle*, int, char*, int, int) { return -5; }
EXPORT int usb_bulk_read(usb_dev_handle*, int, char*, int, int) { return -5; }
EXPORT char* usb_strerror() { return GError; }
