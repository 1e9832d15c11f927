#pragma once
// The USB face of the virtual Tavrin: an implementation of the libusb seam
// that presents the device (3A7C:0006, configuration 1, interface 0, an
// interrupt OUT, an interrupt IN and a bulk IN endpoint of 64 bytes) and
// moves its bytes in 64-byte packets with real time-outs. The transport,
// controller and decoder run on it unchanged. Plugging and unplugging
// appear to the transport as arrival and removal on the bus.
//
// Bus time moves either with the wall clock (StartClock, optionally faster)
// or only when the owner steps it (Advance) -- the tests' way.

#include "emulator/VirtualTavrin.h"
#include "link/UsbApi.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <set>
#include <thread>

namespace vaskel {

class TVirtualUsb : public UsbApi {
public:
    static constexpr int kPacketSize = 64;
    static constexpr uint8_t kEpInterruptOut = 0x01;
    static constexpr uint8_t kEpInterruptIn = 0x81;
    static constexpr uint8_t kEpBulkIn = 0x82;
    // After programming new firmware the device is gone for this long.
    static constexpr double kRestartMs = 1500;

    explicit TVirtualUsb(TEmulatorOptions options = {});
    ~TVirtualUsb() override;
    TVirtualUsb(const TVirtualUsb&) = delete;
    TVirtualUsb& operator=(const TVirtualUsb&) = delete;

    // Bus time follows the wall clock, speed times as fast.
    void StartClock(double speed = 1.0);
    void StopClock();
    // Steps bus time by hand.
    void Advance(double ms);

    void SetPlugged(bool plugged);
    bool Plugged() const;

    // Runs f on the device under the face's lock (controls and queries).
    template <typename F> auto WithDevice(F&& f) {
        std::lock_guard<std::mutex> l(FLock);
        struct Notify {
            std::condition_variable& C;
            ~Notify() { C.notify_all(); }
        } notify{FSignal};
        return f(FDevice);
    }

    // UsbApi
    void usb_init() override {}
    void usb_set_debug(int) override {}
    int usb_find_busses() override { return 1; }
    int usb_find_devices() override;
    struct usb_bus* usb_get_busses() override;
    usb_dev_handle* usb_open(struct usb_device* dev) override;
    int usb_close(usb_dev_handle* dev) override;
    int usb_set_configuration(usb_dev_handle* dev, int configuration) override;
    int usb_claim_interface(usb_dev_handle* dev, int interface) override;
    int usb_release_interface(usb_dev_handle* dev, int interface) override;
    int usb_reset(usb_dev_handle* dev) override;
    int usb_clear_halt(usb_dev_handle* dev, unsigned int ep) override;
    int usb_interrupt_write(usb_dev_handle* dev, int ep, const char* bytes, int size,
                            int timeout) override;
    int usb_interrupt_read(usb_dev_handle* dev, int ep, char* bytes, int size,
                           int timeout) override;
    int usb_bulk_write(usb_dev_handle* dev, int ep, const char* bytes, int size,
                       int timeout) override;
    int usb_bulk_read(usb_dev_handle* dev, int ep, char* bytes, int size, int timeout) override;
    std::string usb_strerror() override;

private:
    bool Valid(usb_dev_handle* h) const { return FHandles.count(h) > 0; }
    int Fail(int rc, const char* text);
    void AdvanceLocked(double ms);
    void PlugLocked(bool plugged);
    void ClockLoop(double speed);

    mutable std::mutex FLock;
    std::condition_variable FSignal;
    TVirtualTavrin FDevice;
    bool FPlugged = true;
    bool FClosed = false;   // the face is being destroyed
    uint64_t FReplugAt = 0; // bus time at which a restarting device returns
    bool FRestarting = false;
    std::set<usb_dev_handle*> FHandles;
    uintptr_t FNextHandle = 0x7000;
    std::string FLastError;
    double FTickRemainder = 0;

    // libusb's view of the bus
    struct usb_bus FBus {};
    struct usb_device FUsbDevice {};
    struct usb_config_descriptor FConfig {};
    struct usb_interface FInterface {};
    struct usb_interface_descriptor FAlt {};
    struct usb_endpoint_descriptor FEndpoints[3]{};

    std::thread FClock;
    std::atomic<bool> FClockStop{false};
};

} // namespace vaskel
