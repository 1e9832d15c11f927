#include "link/UsbApi.h"

#include <cerrno>
#include <condition_variable>
#include <map>
#include <mutex>

#ifdef _WIN32
#include <windows.h>
#endif

namespace vaskel {

namespace {

#ifdef _WIN32

// libusb-win32's entry points, looked up by name in libusb0.dll. An entry
// point the DLL lacks makes the whole library unusable, as a missing DLL
// does: the calls then find nothing and usb_strerror tells why.
class TSystemUsbApi : public UsbApi {
public:
    void usb_init() override {
        if (Load()) F.init();
    }
    void usb_set_debug(int level) override {
        if (Load()) F.set_debug(level);
    }
    int usb_find_busses() override { return Load() ? F.find_busses() : 0; }
    int usb_find_devices() override { return Load() ? F.find_devices() : 0; }
    struct usb_bus* usb_get_busses() override {
        return Load() ? F.get_busses() : nullptr;
    }
    usb_dev_handle* usb_open(struct usb_device* dev) override {
        return Load() ? F.open(dev) : nullptr;
    }
    int usb_close(usb_dev_handle* dev) override { return Load() ? F.close(dev) : kUnusable; }
    int usb_set_configuration(usb_dev_handle* dev, int c) override {
        return Load() ? F.set_configuration(dev, c) : kUnusable;
    }
    int usb_claim_interface(usb_dev_handle* dev, int i) override {
        return Load() ? F.claim_interface(dev, i) : kUnusable;
    }
    int usb_release_interface(usb_dev_handle* dev, int i) override {
        return Load() ? F.release_interface(dev, i) : kUnusable;
    }
    int usb_reset(usb_dev_handle* dev) override { return Load() ? F.reset(dev) : kUnusable; }
    int usb_clear_halt(usb_dev_handle* dev, unsigned int ep) override {
        return Load() ? F.clear_halt(dev, ep) : kUnusable;
    }
    // libusb-win32 declares the buffers of its writes without const
    int usb_interrupt_write(usb_dev_handle* dev, int ep, const char* bytes, int size,
                            int timeout) override {
        return Load() ? F.interrupt_write(dev, ep, const_cast<char*>(bytes), size, timeout)
                      : kUnusable;
    }
    int usb_interrupt_read(usb_dev_handle* dev, int ep, char* bytes, int size,
                           int timeout) override {
        return Load() ? F.interrupt_read(dev, ep, bytes, size, timeout) : kUnusable;
    }
    int usb_bulk_write(usb_dev_handle* dev, int ep, const char* bytes, int size,
                       int timeout) override {
        return Load() ? F.bulk_write(dev, ep, const_cast<char*>(bytes), size, timeout)
                      : kUnusable;
    }
    int usb_bulk_read(usb_dev_handle* dev, int ep, char* bytes, int size, int timeout) override {
        return Load() ? F.bulk_read(dev, ep, bytes, size, timeout) : kUnusable;
    }
    std::string usb_strerror() override {
        if (!Load()) return FProblem;
        const char* s = F.strerror();
        return s ? s : "";
    }
    std::string LibraryProblem() override {
        Load();
        return FProblem;
    }

private:
    // what the calls of an unusable library return: "no such device"
    static constexpr int kUnusable = -ENODEV;

    struct TEntries {
        void (*init)();
        void (*set_debug)(int);
        int (*find_busses)();
        int (*find_devices)();
        struct usb_bus* (*get_busses)();
        usb_dev_handle* (*open)(struct usb_device*);
        int (*close)(usb_dev_handle*);
        int (*set_configuration)(usb_dev_handle*, int);
        int (*claim_interface)(usb_dev_handle*, int);
        int (*release_interface)(usb_dev_handle*, int);
        int (*reset)(usb_dev_handle*);
        int (*clear_halt)(usb_dev_handle*, unsigned int);
        int (*interrupt_write)(usb_dev_handle*, int, char*, int, int);
        int (*interrupt_read)(usb_dev_handle*, int, char*, int, int);
        int (*bulk_write)(usb_dev_handle*, int, char*, int, int);
        int (*bulk_read)(usb_dev_handle*, int, char*, int, int);
        char* (*strerror)();
    };

    bool Load() {
        std::call_once(FLoaded, [this] { FUsable = LoadLibusb(); });
        return FUsable;
    }

    template <typename T> bool Find(HMODULE dll, const char* name, T& entry, std::string& missing) {
        const FARPROC p = ::GetProcAddress(dll, name);
        if (!p) {
            missing += missing.empty() ? name : std::string(", ") + name;
            return false;
        }
        entry = reinterpret_cast<T>(reinterpret_cast<void (*)()>(p));
        return true;
    }

    bool LoadLibusb() {
        const HMODULE dll = ::LoadLibraryA("libusb0.dll");
        if (!dll) {
            FProblem = "libusb0.dll not found (error " + std::to_string(::GetLastError()) +
                       "): no USB device can be used. Install the libusb-win32 driver for "
                       "the Tavrin (see README, \"Windows\").";
            return false;
        }
        std::string missing;
        bool ok = true;
        ok &= Find(dll, "usb_init", F.init, missing);
        ok &= Find(dll, "usb_set_debug", F.set_debug, missing);
        ok &= Find(dll, "usb_find_busses", F.find_busses, missing);
        ok &= Find(dll, "usb_find_devices", F.find_devices, missing);
        ok &= Find(dll, "usb_get_busses", F.get_busses, missing);
        ok &= Find(dll, "usb_open", F.open, missing);
        ok &= Find(dll, "usb_close", F.close, missing);
        ok &= Find(dll, "usb_set_configuration", F.set_configuration, missing);
        ok &= Find(dll, "usb_claim_interface", F.claim_interface, missing);
        ok &= Find(dll, "usb_release_interface", F.release_interface, missing);
        ok &= Find(dll, "usb_reset", F.reset, missing);
        ok &= Find(dll, "usb_clear_halt", F.clear_halt, missing);
        ok &= Find(dll, "usb_interrupt_write", F.interrupt_write, missing);
        ok &= Find(dll, "usb_interrupt_read", F.interrupt_read, missing);
        ok &= Find(dll, "usb_bulk_write", F.bulk_write, missing);
        ok &= Find(dll, "usb_bulk_read", F.bulk_read, missing);
        ok &= Find(dll, "usb_strerror", F.strerror, missing);
        if (!ok) {
            // the DLL stays loaded: a library once loaded is kept until the end
            FProblem = "libusb0.dll lacks " + missing +
                       ": no USB device can be used. Install the libusb-win32 driver for "
                       "the Tavrin (see README, \"Windows\").";
            return false;
        }
        return true;
    }

    std::once_flag FLoaded;
    bool FUsable = false;
    std::string FProblem;
    TEntries F{};
};

#else

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

#endif

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
