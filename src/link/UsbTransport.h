#pragma once
// TUSB_Communication: the link to the Tavrin over USB (libusb-0.1 calls
// through UsbApi). One sender and two receiver threads move the bytes;
// received data and link-state changes reach the owner on the main thread.

#include "link/DeviceLink.h"
#include "link/UsbApi.h"
#include "shell/HandOver.h"
#include "telegram/Errors.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vaskel {

class EUsbError : public EVaskelError {
public:
    using EVaskelError::EVaskelError;
};

inline constexpr int kTavrinVendorId = 0x3A7C;
inline constexpr int kTavrinProductId = 0x0006;

struct TUsbOptions {
    // Time-out of every write, and of every read (ms). Reads time out
    // normally when the bus is quiet; a shorter read time-out keeps
    // Disconnect and shutdown quick.
    int WriteTimeoutMs = 10255;
    int ReadTimeoutMs = 1000;
    // Re-scan the bus about once a second for arrival and removal.
    bool WatchDevices = true;
    int WatchIntervalMs = 1000;
    std::function<void(const std::string&)> Trace;
    std::function<void()> Beep;
};

// A package of the send queue.
struct TPackage {
    int SendType = 0; // 0 interrupt OUT, 1 bulk OUT
    std::string Data;
};

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
    int Connect() override;
    void Disconnect() override;
    bool Connected() const override { return FState.load() == kStateConnected; }
    void Send(char first, std::string_view rest) override { Send(first, rest, 0); }
    void Send(char first, std::string_view rest, int sendType);

    int VendorID() const { return FVendorID; }
    int ProductID() const { return FProductID; }
    int DeviceID() const { return FDeviceID.load(); }
    int ConnectionState() const { return FState.load(); }
    std::string DevicePath() const;
    std::size_t SentBytes() const { return FSentBytes.load(); }
    std::size_t QueuedPackages() const;

    // Arrival and removal of a device (path as the system names it).
    void DeviceArrived(const std::string& path, int vendorId, int productId);
    void DeviceRemoved(const std::string& path, int vendorId, int productId);
    // Re-scans the bus and reports arrival of our device while not
    // connected, and removal of the connected one. Main thread.
    void CheckDeviceChanges();
    // Vendor and product ID from a Windows device-interface path
    // ("\\?\USB#VID_3A7C&PID_0006#..."); -1 for what cannot be read.
    static void ParseDevicePath(const std::string& path, int& vendorId, int& productId);

    // A worker that ended after an error is replaced (main thread).
    void RestartWorker(int kind);

private:
    class TWorker;
    class TSender;
    class TReceiver;
    friend class TSender;
    friend class TReceiver;

    struct TEndpoints {
        int InterruptOut = 0, InterruptIn = 0, InterruptInSize = 0;
        int BulkOut = 0, BulkIn = 0, BulkInSize = 0;
    };

    bool FindDevice();
    void Open();
    void DisconnectLocked();
    void GiveHandleToWorkers(usb_dev_handle* handle);
    std::unique_ptr<TWorker> MakeWorker(int kind);
    void ResumeWorkers();
    void PostToMain(std::function<void()> task);
    void DataAvailable(); // a receiver queued a string
    void DeliverData();   // main thread
    void WorkerDied(int kind);
    void Trace(const std::string& s) const;
    static std::string PathOf(const struct usb_device* dev);
    void WatchLoop();

    UsbApi& FApi;
    IMainThreadHandOver& FHandOver;
    const int FVendorID;
    const int FProductID;
    TUsbOptions FOptions;
    std::shared_ptr<std::atomic<bool>> FAlive;

    std::recursive_mutex FConnLock; // connect, disconnect, bus scans
    std::atomic<int> FState{kStateNotConnected};
    std::atomic<int> FDeviceID{0};
    struct usb_device* FFoundDevice = nullptr;
    std::atomic<usb_dev_handle*> FHandle{nullptr};
    TEndpoints FEndpoints;
    std::string FDevicePath;
    mutable std::mutex FPathLock;

    // The one lock over both queues.
    mutable std::mutex FQueueLock;
    std::deque<std::string> FReceived;
    std::deque<TPackage> FCommandQueue;
    std::atomic<std::size_t> FSentBytes{0};
    uint64_t FQueueGeneration = 0; // grows whenever Disconnect empties the queues

    DataCallback FOnData;
    StateCallback FOnState;

    std::unique_ptr<TWorker> FUSBSender;
    std::unique_ptr<TWorker> FBulkReceiver;
    std::unique_ptr<TWorker> FInterruptReceiver;

    std::thread FWatcher;
    std::mutex FWatchLock;
    std::condition_variable FWatchSignal;
    bool FStopWatching = false;
    std::atomic<bool> FScanPending{false};
};

} // namespace vaskel
