#pragma once
// The libusb-0.1 calls the USB transport uses, as one table. The default is
// the real library; tests script their own, and the virtual Tavrin plugs in
// here, so a session without hardware runs the same transport code.

#include "link/UsbTypes.h"

#include <string>

namespace vaskel {

class UsbApi {
public:
    virtual ~UsbApi() = default;
    virtual void usb_init() = 0;
    virtual void usb_set_debug(int level) = 0;
    virtual int usb_find_busses() = 0;
    virtual int usb_find_devices() = 0;
    virtual struct usb_bus* usb_get_busses() = 0;
    virtual usb_dev_handle* usb_open(struct usb_device* dev) = 0;
    virtual int usb_close(usb_dev_handle* dev) = 0;
    virtual int usb_set_configuration(usb_dev_handle* dev, int configuration) = 0;
    virtual int usb_claim_interface(usb_dev_handle* dev, int interface) = 0;
    virtual int usb_release_interface(usb_dev_handle* dev, int interface) = 0;
    virtual int usb_reset(usb_dev_handle* dev) = 0;
    virtual int usb_clear_halt(usb_dev_handle* dev, unsigned int ep) = 0;
    virtual int usb_interrupt_write(usb_dev_handle* dev, int ep, const char* bytes, int size,
                                    int timeout) = 0;
    virtual int usb_interrupt_read(usb_dev_handle* dev, int ep, char* bytes, int size,
                                   int timeout) = 0;
    virtual int usb_bulk_write(usb_dev_handle* dev, int ep, const char* bytes, int size,
                               int timeout) = 0;
    virtual int usb_bulk_read(usb_dev_handle* dev, int ep, char* bytes, int size, int timeout) = 0;
    virtual std::string usb_strerror() = 0;
    // Empty while the library can be used; otherwise why not, in words the
    // user can act on. The calls of an unusable library find no bus and no
    // device and fail with this text.
    virtual std::string LibraryProblem() { return {}; }
};

// The libusb library of the system: libusb-compat on Linux, linked in; on
// Windows libusb-win32's libusb0.dll (installed with its driver), loaded at
// the first call.
UsbApi& SystemUsbApi();

// A thread that calls into an api holds one of these while it runs. The
// transport's worker threads may outlive the transport (a transfer that does
// not return in time is left to end on its own), so whoever owns an api
// object waits with WaitUntilUnused before destroying it.
class TUsbApiUse {
public:
    explicit TUsbApiUse(const UsbApi& api);
    TUsbApiUse(TUsbApiUse&& other) noexcept : FApi(other.FApi) { other.FApi = nullptr; }
    TUsbApiUse(const TUsbApiUse&) = delete;
    TUsbApiUse& operator=(const TUsbApiUse&) = delete;
    TUsbApiUse& operator=(TUsbApiUse&&) = delete;
    ~TUsbApiUse();

private:
    const UsbApi* FApi;
};
// Returns once no thread holds a TUsbApiUse of api.
void WaitUntilUnused(const UsbApi& api);

// libusb-0.1 error codes differ by platform (libusb-win32 returns -116 for
// a time-out and -5 for a device that is gone; the Linux compatibility layer
// returns negated errno values).
bool UsbIsTimeout(int rc);
bool UsbIsDeviceGone(int rc);
bool UsbIsEndpointUnusable(int rc);
// The endpoint is halted (stalled): usb_clear_halt makes it usable again.
bool UsbIsStall(int rc);

// Calls f(endpoint) for every endpoint of every alternate setting of every
// interface of every configuration the device describes (a missing list
// counts as empty).
template <class F> void ForEachEndpoint(const struct usb_device& dev, F&& f) {
    for (int c = 0; dev.config && c < dev.descriptor.bNumConfigurations; ++c) {
        const usb_config_descriptor& cfg = dev.config[c];
        for (int i = 0; cfg.interface && i < cfg.bNumInterfaces; ++i) {
            const usb_interface& itf = cfg.interface[i];
            for (int a = 0; itf.altsetting && a < itf.num_altsetting; ++a) {
                const usb_interface_descriptor& alt = itf.altsetting[a];
                for (int e = 0; alt.endpoint && e < alt.bNumEndpoints; ++e)
                    f(alt.endpoint[e]);
            }
        }
    }
}

} // namespace vaskel
