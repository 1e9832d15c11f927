#include "link/UsbApi.h"

#include <cerrno>
#include <condition_variable>
#include <map>
#include <mutex>

namespace vaskel {

namespace {

class TSystemUsbApi : public UsbApi {
public:
    void usb_init() override { ::usb_init(); }
    void usb_set_debug(int level) override { ::usb_set_debug(level); }
    int usb_find_busses() override { return ::usb_find_busses(); }
    int usb_find_devices() override { return ::usb_find_devices(); }
    struct usb_bus* usb_get_busses() override {
        return ::usb_get_busses();
    }
    usb_dev_handle* usb_open(struct usb_device* dev) override { return ::usb_open(dev); }
    int usb_close(usb_dev_handle* dev) override { return ::usb_close(dev); }
    int usb_set_configuration(usb_dev_handle* dev, int c) override {
        return ::usb_set_configuration(dev, c);
    }
    int usb_claim_interface(usb_dev_handle* dev, int i) override {
        return ::usb_claim_interface(dev, i);
    }
    int usb_release_interface(usb_dev_handle* dev, int i) override {
        return ::usb_release_interface(dev, i);
    }
    int usb_reset(usb_dev_handle* dev) override { return ::usb_reset(dev); }
    int usb_clear_halt(usb_dev_handle* dev, unsigned int ep) override {
        return ::usb_clear_halt(dev, ep);
    }
    int usb_interrupt_write(usb_dev_handle* dev, int ep, const char* bytes, int size,
                            int timeout) override {
        return ::usb_interrupt_write(dev, ep, bytes, size, timeout);
    }
    int usb_interrupt_read(usb_dev_handle* dev, int ep, char* bytes, int size,
                           int timeout) override {
        return ::usb_interrupt_read(dev, ep, bytes, size, timeout);
    }
    int usb_bulk_write(usb_dev_handle* dev, int ep, const char* bytes, int size,
                       int timeout) override {
        return ::usb_bulk_write(dev, ep, bytes, size, timeout);
    }
    int usb_bulk_read(usb_dev_handle* dev, int ep, char* bytes, int size, int timeout) override {
        return ::usb_bulk_read(dev, ep, bytes, size, timeout);
    }
    std::string usb_strerror() override {
        const char* s = ::usb_strerror();
        return s ? s : "";
    }
};

} // namespace

UsbApi& SystemUsbApi() {
    static TSystemUsbApi api;
    return api;
}

namespace {

struct TUseRegistry {
    std::mutex Lock;
    std::condition_variable Signal;
    std::map<const UsbApi*, int> Users;
};

// Never destroyed: a worker may still be letting go of it while the
// program ends.
TUseRegistry& Registry() {
    static TUseRegistry* r = new TUseRegistry;
    return *r;
}

} // namespace

TUsbApiUse::TUsbApiUse(const UsbApi& api) : FApi(&api) {
    std::lock_guard<std::mutex> l(Registry().Lock);
    ++Registry().Users[FApi];
}

TUsbApiUse::~TUsbApiUse() {
    if (!FApi) return;
    TUseRegistry& r = Registry();
    // notified under the lock: once the waiter sees the count drop, this
    // thread has nothing more to do with the api or the registry
    std::lock_guard<std::mutex> l(r.Lock);
    if (--r.Users[FApi] == 0) r.Users.erase(FApi);
    r.Signal.notify_all();
}

void WaitUntilUnused(const UsbApi& api) {
    TUseRegistry& r = Registry();
    std::unique_lock<std::mutex> l(r.Lock);
    r.Signal.wait(l, [&] { return r.Users.count(&api) == 0; });
}

bool UsbIsTimeout(int rc) {
    return rc == -116 || rc == -ETIMEDOUT;
}
bool UsbIsDeviceGone(int rc) {
    return rc == -5 || rc == -ENODEV;
}
bool UsbIsEndpointUnusable(int rc) {
    return rc == -12 || rc == -22;
}
bool UsbIsStall(int rc) {
    return rc == -EPIPE;
}

} // namespace vaskel
