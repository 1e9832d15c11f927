#include "emulator/VirtualUsb.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace vaskel {

TVirtualUsb::TVirtualUsb(TEmulatorOptions options) : FDevice(std::move(options)) {
    std::snprintf(FBus.dirname, sizeof FBus.dirname, "%s", "virtual");
    FUsbDevice.bus = &FBus;
    FUsbDevice.devnum = 1;
    std::snprintf(FUsbDevice.filename, sizeof FUsbDevice.filename, "%03u", FUsbDevice.devnum);
    FUsbDevice.descriptor.bLength = 18;
    FUsbDevice.descriptor.bDescriptorType = 1;
    FUsbDevice.descriptor.idVendor = 0x3A7C;
    FUsbDevice.descriptor.idProduct = 0x0006;
    FUsbDevice.descriptor.bNumConfigurations = 1;
    FUsbDevice.config = &FConfig;
    FConfig.bConfigurationValue = 1;
    FConfig.bNumInterfaces = 1;
    FConfig.interface = &FInterface;
    FInterface.altsetting = &FAlt;
    FInterface.num_altsetting = 1;
    FAlt.bInterfaceNumber = 0;
    FAlt.bNumEndpoints = 3;
    FAlt.endpoint = FEndpoints;
    const uint8_t addresses[3] = {kEpInterruptOut, kEpInterruptIn, kEpBulkIn};
    const uint8_t types[3] = {3, 3, 2};
    for (int k = 0; k < 3; ++k) {
        FEndpoints[k].bLength = 7;
        FEndpoints[k].bDescriptorType = 5;
        FEndpoints[k].bEndpointAddress = addresses[k];
        FEndpoints[k].bmAttributes = types[k];
        FEndpoints[k].wMaxPacketSize = kPacketSize;
        FEndpoints[k].bInterval = 1;
    }
    // Programming new firmware restarts the device: it leaves the bus and
    // comes back a moment later.
    FDevice.OnFirmwareRestart = [this] {
        FRestarting = true;
        FReplugAt = FDevice.Now() + static_cast<uint64_t>(kRestartMs * kTicksPerMs);
        PlugLocked(false);
    };
}

TVirtualUsb::~TVirtualUsb() {
    StopClock();
    // A transport's workers may still be here: every call fails from now on
    // (a waiting read returns at once), and the face goes when they have let go.
    {
        std::lock_guard<std::mutex> l(FLock);
        FClosed = true;
        FHandles.clear();
    }
    FSignal.notify_all();
    WaitUntilUnused(*this);
}

void TVirtualUsb::StartClock(double speed) {
    StopClock();
    FClockStop = false;
    FClock = std::thread([this, speed] { ClockLoop(speed); });
}

void TVirtualUsb::StopClock() {
    FClockStop = true;
    if (FClock.joinable()) FClock.join();
}

void TVirtualUsb::ClockLoop(double speed) {
    auto last = std::chrono::steady_clock::now();
    while (!FClockStop) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        const auto now = std::chrono::steady_clock::now();
        const double ms = std::chrono::duration<double, std::milli>(now - last).count() * speed;
        last = now;
        std::lock_guard<std::mutex> l(FLock);
        AdvanceLocked(ms);
        FSignal.notify_all();
    }
}

void TVirtualUsb::Advance(double ms) {
    {
        std::lock_guard<std::mutex> l(FLock);
        AdvanceLocked(ms);
    }
    FSignal.notify_all();
}

void TVirtualUsb::AdvanceLocked(double ms) {
    const double ticks = ms * kTicksPerMs + FTickRemainder;
    const auto whole = static_cast<uint64_t>(ticks);
    FTickRemainder = ticks - static_cast<double>(whole);
    if (FRestarting && FDevice.Now() + whole >= FReplugAt) {
        const uint64_t before = FReplugAt - FDevice.Now();
        FDevice.Advance(before);
        FRestarting = false;
        PlugLocked(true);
        FDevice.Advance(whole - before);
        return;
    }
    FDevice.Advance(whole);
    // Unplugged, the device has no power: it hears nothing.
    if (!FPlugged) FDevice.DropOutput();
}

void TVirtualUsb::SetPlugged(bool plugged) {
    {
        std::lock_guard<std::mutex> l(FLock);
        FRestarting = false;
        PlugLocked(plugged);
    }
    FSignal.notify_all();
}

void TVirtualUsb::PlugLocked(bool plugged) {
    if (plugged == FPlugged) return;
    FPlugged = plugged;
    if (!plugged) {
        // Handles die with the device; what it had not sent yet is lost.
        FHandles.clear();
        FDevice.DropOutput();
    } else {
        // A device plugged in starts afresh, with a new device number.
        FDevice.Restart();
        FDevice.DropOutput();
        FUsbDevice.devnum = static_cast<uint8_t>(FUsbDevice.devnum % 127 + 1);
        std::snprintf(FUsbDevice.filename, sizeof FUsbDevice.filename, "%03u", FUsbDevice.devnum);
    }
}

bool TVirtualUsb::Plugged() const {
    std::lock_guard<std::mutex> l(FLock);
    return FPlugged;
}

int TVirtualUsb::Fail(int rc, const char* text) {
    FLastError = text;
    return rc;
}

int TVirtualUsb::usb_find_devices() {
    std::lock_guard<std::mutex> l(FLock);
    const bool present = FPlugged && !FClosed;
    FBus.devices = present ? &FUsbDevice : nullptr;
    return present ? 1 : 0;
}

struct usb_bus* TVirtualUsb::usb_get_busses() {
    return &FBus;
}

usb_dev_handle* TVirtualUsb::usb_open(struct usb_device* dev) {
    std::lock_guard<std::mutex> l(FLock);
    if (FClosed || !FPlugged || dev != &FUsbDevice) {
        Fail(-ENODEV, "No such device");
        return nullptr;
    }
    auto* h = reinterpret_cast<usb_dev_handle*>(FNextHandle++);
    FHandles.insert(h);
    return h;
}

int TVirtualUsb::usb_close(usb_dev_handle* dev) {
    std::lock_guard<std::mutex> l(FLock);
    FHandles.erase(dev);
    return 0;
}

int TVirtualUsb::usb_set_configuration(usb_dev_handle* dev, int configuration) {
    std::lock_guard<std::mutex> l(FLock);
    if (!Valid(dev)) return Fail(-ENODEV, "No such device");
    return configuration == 1 ? 0 : Fail(-EINVAL, "Invalid configuration");
}

int TVirtualUsb::usb_claim_interface(usb_dev_handle* dev, int interface) {
    std::lock_guard<std::mutex> l(FLock);
    if (!Valid(dev)) return Fail(-ENODEV, "No such device");
    return interface == 0 ? 0 : Fail(-EINVAL, "Invalid interface");
}

int TVirtualUsb::usb_release_interface(usb_dev_handle* dev, int) {
    std::lock_guard<std::mutex> l(FLock);
    return Valid(dev) ? 0 : Fail(-ENODEV, "No such device");
}

int TVirtualUsb::usb_reset(usb_dev_handle* dev) {
    std::lock_guard<std::mutex> l(FLock);
    return Valid(dev) ? 0 : Fail(-ENODEV, "No such device");
}

int TVirtualUsb::usb_clear_halt(usb_dev_handle* dev, unsigned int) {
    std::lock_guard<std::mutex> l(FLock);
    return Valid(dev) ? 0 : Fail(-ENODEV, "No such device");
}

int TVirtualUsb::usb_interrupt_write(usb_dev_handle* dev, int ep, const char* bytes, int size,
                                     int) {
    {
        std::lock_guard<std::mutex> l(FLock);
        if (!Valid(dev)) return Fail(-ENODEV, "No such device");
        if (ep != kEpInterruptOut) return Fail(-EINVAL, "Invalid endpoint");
        FDevice.FromPC(std::string_view(bytes, static_cast<std::size_t>(size)));
    }
    FSignal.notify_all();
    return size;
}

int TVirtualUsb::usb_interrupt_read(usb_dev_handle* dev, int ep, char* bytes, int size,
                                    int timeout) {
    std::unique_lock<std::mutex> l(FLock);
    if (!Valid(dev)) return Fail(-ENODEV, "No such device");
    if (ep != kEpInterruptIn) return Fail(-EINVAL, "Invalid endpoint");
    FSignal.wait_for(l, std::chrono::milliseconds(timeout),
                     [&] { return !Valid(dev) || FDevice.OutputSize() > 0; });
    if (!Valid(dev)) return Fail(-ENODEV, "No such device");
    if (FDevice.OutputSize() == 0) return Fail(-ETIMEDOUT, "Connection timed out");
    std::size_t n =
        std::min<std::size_t>({static_cast<std::size_t>(size),
                               static_cast<std::size_t>(kPacketSize), FDevice.OutputSize()});
    // A full packet that does not start with a control byte tells the host
    // that more of the same chunk follows; when nothing follows, one byte
    // less makes the packet short, so the host passes the data on at once.
    if (n == kPacketSize && FDevice.OutputSize() == n &&
        static_cast<unsigned char>(FDevice.Output()[0]) < 0x80)
        --n;
    const std::string packet = FDevice.TakeOutput(n);
    std::memcpy(bytes, packet.data(), n);
    return static_cast<int>(n);
}

int TVirtualUsb::usb_bulk_write(usb_dev_handle* dev, int, const char*, int, int) {
    std::lock_guard<std::mutex> l(FLock);
    if (!Valid(dev)) return Fail(-ENODEV, "No such device");
    return Fail(-EINVAL, "Invalid endpoint");
}

int TVirtualUsb::usb_bulk_read(usb_dev_handle* dev, int ep, char*, int, int timeout) {
    std::unique_lock<std::mutex> l(FLock);
    if (!Valid(dev)) return Fail(-ENODEV, "No such device");
    if (ep != kEpBulkIn) return Fail(-EINVAL, "Invalid endpoint");
    // The bulk endpoint exists but carries nothing.
    FSignal.wait_for(l, std::chrono::milliseconds(timeout), [&] { return !Valid(dev); });
    if (!Valid(dev)) return Fail(-ENODEV, "No such device");
    return Fail(-ETIMEDOUT, "Connection timed out");
}

std::string TVirtualUsb::usb_strerror() {
    std::lock_guard<std::mutex> l(FLock);
    return FLastError;
}

} // namespace vaskel
