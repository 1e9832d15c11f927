#pragma once
// TUSB_Communication: the link to the Tavrin over USB (libusb-0.1 calls
// through UsbApi). One sender and two receiver threads move the bytes;
// received data and link-state changes reach the owner on the main thread.

#include "link/DeviceLink.h"
#include "link/UsbApi.h"
#include "shell/HandOver.h"
#include "telegram/Errors.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace vaskel {

class EUsbError : public EVaskelError {
public:
    using EVaskelError::EVaskelError;
};

inline constexpr int kTavrinVendorId = 0x3A7C;
inline constexpr int kTavrinProductId = 0x0006;

struct TUsbOptions {
    // Time-out of every write, and of every read (ms). Reads time out
    // normally when the bus is quiet; a shorter read time-out lets the
    // receivers notice sooner that they are to end.
    int WriteTimeoutMs = 10255;
    int ReadTimeoutMs = 1000;
    // Re-scan the bus about once a second for arrival and removal.
    bool WatchDevices = true;
    int WatchIntervalMs = 1000;
    // Where the system reports arrival and removal (Windows), follow its
    // reports instead of scanning the bus; elsewhere the bus is scanned.
    bool SystemNotifications = false;
    // At its end the transport writes out what is still queued (the
    // program's last commands to the device), waiting at most this long.
    int ExitDrainMs = 1000;
    // A device that takes nothing lets the queue grow no further than this;
    // later packages are dropped.
    std::size_t MaxQueuedPackages = 4096;
    std::function<void(const std::string&)> Trace;
    std::function<void()> Beep;
};

// A package of the send queue.
struct TPackage {
    int SendType = 0; // 0 interrupt OUT, 1 bulk OUT
    std::string Data;
};

// Threads: the owner's threads (the main thread, and the controller thread
// for Connect and Send) and the transport's own workers -- a sender, a bulk
// and an interrupt receiver -- and a watcher that asks for a bus scan once a
// second. No call of the owner waits for a transfer: the workers share the
// transport's state with it, a device handle is closed by the last thread
// that uses it, and at the end the workers are left to finish their current
// transfer on their own (the destructor only waits, for ExitDrainMs at most,
// until the queued packages are written). After the destructor nothing
// reaches the owner any more: no callback, trace, beep or hand-over.
class TUSB_Communication : public IDeviceLink {
public:
    enum { kStateNotConnected = 0, kStateConnecting = 1, kStateConnected = 2 };
    enum TWorkerKind { wkBulkReceiver = 0, wkInterruptReceiver = 1, wkSender = 2 };

    TUSB_Communication(UsbApi& api, IMainThreadHandOver& handOver, int vendorId, int productId,
                       TUsbOptions options = {});
    ~TUSB_Communication() override;
    TUSB_Communication(const TUSB_Communication&) = delete;
    TUSB_Communication& operator=(const TUSB_Communication&) = delete;

    // IDeviceLink
    void SetCallbacks(DataCallback onData, StateCallback onState) override;
    void SetHooks(std::function<void(const std::string&)> trace,
                  std::function<void()> beep) override;
    int Connect() override;
    void Disconnect() override;
    bool Connected() const override;
    void Send(char first, std::string_view rest) override { Send(first, rest, 0); }
    void Send(char first, std::string_view rest, int sendType);

    int VendorID() const;
    int ProductID() const;
    int DeviceID() const;
    int ConnectionState() const;
    std::string DevicePath() const;
    std::size_t SentBytes() const;
    std::size_t QueuedPackages() const;

    // Arrival and removal of a device (path as the system names it).
    void DeviceArrived(const std::string& path, int vendorId, int productId);
    void DeviceRemoved(const std::string& path, int vendorId, int productId);
    // Re-scans the bus and reports arrival of our device while not
    // connected, and removal of the connected one. Main thread; a scan
    // that finds a connect under way elsewhere leaves it to the next one.
    void CheckDeviceChanges();
    // Vendor and product ID from a Windows device-interface path
    // ("\\?\USB#VID_3A7C&PID_0006#..."); -1 for what cannot be read.
    static void ParseDevicePath(const std::string& path, int& vendorId, int& productId);

    // A worker that ended after an error is replaced (main thread).
    void RestartWorker(int kind);

private:
    struct TCore;
    std::shared_ptr<TCore> FCore;
};

} // namespace vaskel
