#include "link/UsbTransport.h"

#include "telegram/TextConventions.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace vaskel {

namespace {

std::string Fmt(const char* format, int a) {
    char buf[256];
    std::snprintf(buf, sizeof buf, format, a);
    return buf;
}

std::string Fmt(const char* format, int a, int b) {
    char buf[256];
    std::snprintf(buf, sizeof buf, format, a, b);
    return buf;
}

std::string NowText() {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
#ifdef _WIN32
    localtime_s(&tm, &t);
#else
    localtime_r(&t, &tm);
#endif
    char buf[32];
    std::strftime(buf, sizeof buf, "%d.%m.%Y %H:%M", &tm);
    return buf;
}

} // namespace

// ---------------------------------------------------------------- workers

// A worker thread that can be suspended, resumed and told to end.
class TUSB_Communication::TWorker {
public:
    TWorker(TUSB_Communication& owner, int kind) : O(owner), Kind(kind) {}
    virtual ~TWorker() {
        Terminate();
        Join();
    }

    void Start(bool suspended) {
        FSuspended = suspended;
        FThread = std::thread([this] { Run(); });
    }
    void Suspend() {
        std::lock_guard<std::mutex> l(FLock);
        FSuspended = true;
    }
    void Resume() {
        {
            std::lock_guard<std::mutex> l(FLock);
            FSuspended = false;
            FWake = true;
        }
        FSignal.notify_all();
    }
    void Wake() {
        {
            std::lock_guard<std::mutex> l(FLock);
            FWake = true;
        }
        FSignal.notify_all();
    }
    void Terminate() {
        {
            std::lock_guard<std::mutex> l(FLock);
            FTerminate = true;
        }
        FSignal.notify_all();
    }
    void Join() {
        if (FThread.joinable() && FThread.get_id() != std::this_thread::get_id()) FThread.join();
    }
    bool Suspended() const {
        std::lock_guard<std::mutex> l(FLock);
        return FSuspended;
    }

    // Handle and endpoints change only while no transfer is running.
    void SetHandle(usb_dev_handle* h) {
        std::lock_guard<std::mutex> t(Transfer);
        Handle.store(h);
        Wake();
    }
    void SetEndpoints(const TEndpoints& ep) {
        std::lock_guard<std::mutex> t(Transfer);
        Ep = ep;
    }

    std::atomic<usb_dev_handle*> Handle{nullptr};
    std::mutex Transfer; // held during one transfer
    TEndpoints Ep;

protected:
    virtual void Turn() = 0;
    virtual const char* AbnormalText() const = 0;
    bool Terminating() const {
        std::lock_guard<std::mutex> l(FLock);
        return FTerminate;
    }
    void SuspendSelf() { Suspend(); }

    TUSB_Communication& O;
    const int Kind;

private:
    void Run() {
        try {
            for (;;) {
                {
                    std::unique_lock<std::mutex> l(FLock);
                    FSignal.wait(l, [this] { return FTerminate || !FSuspended; });
                    if (FTerminate) return;
                }
                Turn();
                {
                    // 1 ms between turns while there is a device to talk to;
                    // without one, wait until woken.
                    const auto pause = Handle.load() ? std::chrono::milliseconds(1)
                                                     : std::chrono::milliseconds(200);
                    std::unique_lock<std::mutex> l(FLock);
                    FSignal.wait_for(l, pause, [this] { return FTerminate || FWake; });
                    FWake = false;
                    if (FTerminate) return;
                }
            }
        } catch (const std::exception& e) {
            O.Trace(std::string(AbnormalText()) + e.what());
            if (Kind != wkSender && O.FOptions.Beep) O.FOptions.Beep();
            O.WorkerDied(Kind);
        }
    }

    mutable std::mutex FLock;
    std::condition_variable FSignal;
    bool FSuspended = false;
    bool FTerminate = false;
    bool FWake = false;
    std::thread FThread;
};

class TUSB_Communication::TSender : public TWorker {
public:
    using TWorker::TWorker;

protected:
    const char* AbnormalText() const override { return "ERROR: USB-Sender abnormal termination: "; }

    void Turn() override {
        for (;;) {
            usb_dev_handle* h = Handle.load();
            if (!h) return;
            TPackage pkg;
            uint64_t generation = 0;
            {
                std::lock_guard<std::mutex> l(O.FQueueLock);
                if (O.FCommandQueue.empty()) return;
                pkg = O.FCommandQueue.front();
                generation = O.FQueueGeneration;
                if (pkg.Data.empty()) {
                    O.Trace("ERROR: Command of size 0 found!");
                    O.FCommandQueue.pop_front();
                    continue;
                }
            }
            int rc = 0;
            {
                std::lock_guard<std::mutex> t(Transfer);
                h = Handle.load();
                if (!h) return;
                const int size = static_cast<int>(pkg.Data.size());
                if (pkg.SendType == 0) {
                    if (Ep.InterruptOut == 0) {
                        if (!FReportedNoEndpoint)
                            O.Trace("ERROR TUSBSender: F_Interrupt_TX_Endpoint == 0");
                        FReportedNoEndpoint = true;
                        return;
                    }
                    FReportedNoEndpoint = false;
                    rc = O.FApi.usb_interrupt_write(h, Ep.InterruptOut, pkg.Data.data(), size,
                                                    O.FOptions.WriteTimeoutMs);
                    if (rc >= 0 && rc < size)
                        O.Trace(Fmt("ERROR: Shall write %d bytes, but wrote %d bytes", size, rc));
                } else if (pkg.SendType == 1) {
                    O.Trace(NowText() + "usb_bulk_write: " + pkg.Data +
                            " (HEX: " + StrToHexDump(pkg.Data, true) + ")");
                    rc = O.FApi.usb_bulk_write(h, Ep.BulkOut, pkg.Data.data(), size,
                                               O.FOptions.WriteTimeoutMs);
                    if (rc >= 0 && rc != size)
                        throw EUsbError(Fmt("usb_bulk_write: myBytesToWrite (%d) != "
                                            "myBytesWritten (%d)",
                                            size, rc));
                } else {
                    throw EUsbError(
                        Fmt("Unbekannter Sendetypus %d beim USB-Versand", pkg.SendType));
                }
            }
            if (rc >= 0) {
                std::lock_guard<std::mutex> l(O.FQueueLock);
                // Disconnect may have emptied the queue meanwhile.
                if (O.FQueueGeneration == generation && !O.FCommandQueue.empty())
                    O.FCommandQueue.pop_front();
                continue;
            }
            if (UsbIsDeviceGone(rc))
                O.Trace("ERROR: USB connection lost during write-operation");
            else
                O.Trace(Fmt("ERROR: Timeout during write-operation: %d - ", rc) +
                        O.FApi.usb_strerror());
            if (Terminating()) O.Trace("ERROR during write-operation: Termination requested!");
            return; // the package stays first and is tried again
        }
    }

private:
    bool FReportedNoEndpoint = false;
};

class TUSB_Communication::TReceiver : public TWorker {
public:
    using TWorker::TWorker;

protected:
    const char* AbnormalText() const override {
        return "ERROR: USB-Receiver abnormal termination: ";
    }

    void Turn() override {
        usb_dev_handle* h = Handle.load();
        if (!h) return;
        int n = 0;
        int size = 0;
        {
            std::lock_guard<std::mutex> t(Transfer);
            h = Handle.load();
            if (!h) return;
            const bool bulk = Kind == wkBulkReceiver;
            const int ep = bulk ? Ep.BulkIn : Ep.InterruptIn;
            size = bulk ? Ep.BulkInSize : Ep.InterruptInSize;
            if (ep == 0 || size <= 0) return;
            FBuffer.resize(static_cast<std::size_t>(size));
            if (bulk) {
                n = O.FApi.usb_bulk_read(h, ep, FBuffer.data(), size, O.FOptions.ReadTimeoutMs);
                if (n > 0)
                    O.Trace(NowText() + "usb_bulk_read: " + std::string(FBuffer.data(), n) +
                            " (HEX: " + StrToHexDump(std::string(FBuffer.data(), n), true) + ")");
            } else {
                n = O.FApi.usb_interrupt_read(h, ep, FBuffer.data(), size,
                                              O.FOptions.ReadTimeoutMs);
            }
        }
        if (n < 0) {
            const std::string text = O.FApi.usb_strerror();
            O.Trace("ERROR usb-read: " + text);
            if (UsbIsTimeout(n)) {
                O.Trace("ERROR: Timeout during usb-read.");
            } else if (UsbIsDeviceGone(n)) {
                // The device went away; its removal is noticed by the bus scan.
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            } else if (UsbIsEndpointUnusable(n)) {
                O.Trace("ERROR: USB-endpoint invalid or not available " + text);
                SuspendSelf();
            } else {
                O.Trace("ERROR: during usb-read: " + text);
                throw EUsbError(text);
            }
            return;
        }
        if (n == 0) return;
        const std::string packet(FBuffer.data(), static_cast<std::size_t>(n));
        if (static_cast<unsigned char>(packet[0]) >= 0x80 || n < size) {
            std::string chunk = std::move(FPartial);
            FPartial.clear();
            chunk += packet;
            {
                std::lock_guard<std::mutex> l(O.FQueueLock);
                O.FReceived.push_back(std::move(chunk));
            }
            O.DataAvailable();
        } else {
            FPartial += packet; // a full packet: more of the same chunk follows
        }
    }

private:
    std::vector<char> FBuffer;
    std::string FPartial;
};

// ---------------------------------------------------------------- transport

TUSB_Communication::TUSB_Communication(UsbApi& api, IMainThreadHandOver& handOver, int vendorId,
                                       int productId, TUsbOptions options)
    : FApi(api), FHandOver(handOver), FVendorID(vendorId), FProductID(productId),
      FOptions(std::move(options)), FAlive(std::make_shared<std::atomic<bool>>(true)) {
#ifdef _WIN32
    FApi.usb_set_debug(4);
#else
    FApi.usb_set_debug(0); // on Linux the library's debug output goes to the terminal
#endif
    FApi.usb_init();
    FUSBSender = MakeWorker(wkSender);
    FBulkReceiver = MakeWorker(wkBulkReceiver);
    FInterruptReceiver = MakeWorker(wkInterruptReceiver);
    FUSBSender->Start(false);
    FBulkReceiver->Start(true);
    FInterruptReceiver->Start(false);
    if (FOptions.WatchDevices) FWatcher = std::thread([this] { WatchLoop(); });
}

TUSB_Communication::~TUSB_Communication() {
    FAlive->store(false);
    {
        std::lock_guard<std::mutex> l(FWatchLock);
        FStopWatching = true;
    }
    FWatchSignal.notify_all();
    if (FWatcher.joinable()) FWatcher.join();

    std::lock_guard<std::recursive_mutex> conn(FConnLock);
    FState.store(kStateNotConnected);
    for (auto* w : {&FUSBSender, &FBulkReceiver, &FInterruptReceiver}) {
        if (*w) {
            (*w)->Terminate();
            (*w)->Resume();
            (*w)->Join();
            w->reset();
        }
    }
    if (usb_dev_handle* h = FHandle.exchange(nullptr)) {
        int rc = FApi.usb_release_interface(h, 0);
        if (rc < 0) Trace(Fmt("Error (%d) releasing usb-interface", rc));
        rc = FApi.usb_close(h);
        if (rc < 0) Trace(Fmt("Error (%d) closing usb-interface %d", rc, FDeviceID.load()));
    }
    std::lock_guard<std::mutex> l(FQueueLock);
    FReceived.clear();
    FCommandQueue.clear();
}

void TUSB_Communication::Trace(const std::string& s) const {
    if (FOptions.Trace) FOptions.Trace(s);
}

std::unique_ptr<TUSB_Communication::TWorker> TUSB_Communication::MakeWorker(int kind) {
    std::unique_ptr<TWorker> w;
    if (kind == wkSender)
        w = std::make_unique<TSender>(*this, kind);
    else
        w = std::make_unique<TReceiver>(*this, kind);
    w->SetEndpoints(FEndpoints);
    w->Handle.store(FHandle.load());
    return w;
}

void TUSB_Communication::SetCallbacks(DataCallback onData, StateCallback onState) {
    FOnData = std::move(onData);
    FOnState = std::move(onState);
}

std::string TUSB_Communication::DevicePath() const {
    std::lock_guard<std::mutex> l(FPathLock);
    return FDevicePath;
}

std::size_t TUSB_Communication::QueuedPackages() const {
    std::lock_guard<std::mutex> l(FQueueLock);
    return FCommandQueue.size();
}

std::string TUSB_Communication::PathOf(const struct usb_device* dev) {
    std::string p = dev->bus ? dev->bus->dirname : "";
    p += '/';
    p += dev->filename;
    return p;
}

int TUSB_Communication::Connect() {
    std::lock_guard<std::recursive_mutex> conn(FConnLock);
    if (FState.load() == kStateConnected) return 0;
    FState.store(kStateConnecting);
    FSentBytes.store(0);
    if (FProductID == 0) {
        FState.store(kStateNotConnected);
        return 2;
    }
    if (FVendorID == 0) {
        FState.store(kStateNotConnected);
        return 1;
    }
    try {
        if (FindDevice()) Open();
    } catch (...) {
        if (FState.load() != kStateConnected) FState.store(kStateNotConnected);
        throw;
    }
    if (FState.load() != kStateConnected) {
        FState.store(kStateNotConnected);
        return 0;
    }
    ResumeWorkers();
    return 0;
}

void TUSB_Communication::ResumeWorkers() {
    for (int kind : {wkSender, wkBulkReceiver, wkInterruptReceiver}) {
        auto& w = kind == wkSender ? FUSBSender
                                   : (kind == wkBulkReceiver ? FBulkReceiver : FInterruptReceiver);
        if (!w) {
            PostToMain([this, kind] { RestartWorker(kind); });
            continue;
        }
        if (kind == wkBulkReceiver && FEndpoints.BulkIn == 0) continue;
        w->Resume();
    }
}

bool TUSB_Communication::FindDevice() {
    FState.store(kStateNotConnected);
    FFoundDevice = nullptr;
    FApi.usb_find_busses();
    FApi.usb_find_devices();
    for (struct usb_bus* bus = FApi.usb_get_busses(); bus; bus = bus->next) {
        for (struct usb_device* dev = bus->devices; dev; dev = dev->next) {
            if (dev->descriptor.idVendor != FVendorID || dev->descriptor.idProduct != FProductID)
                continue;
            // Probe: the device must accept configuration 1 and interface 0.
            usb_dev_handle* h = FApi.usb_open(dev);
            if (!h) continue;
            const bool usable =
                FApi.usb_set_configuration(h, 1) >= 0 && FApi.usb_claim_interface(h, 0) >= 0;
            if (usable) FApi.usb_release_interface(h, 0);
            FApi.usb_close(h);
            if (!usable) continue;

            FDeviceID.store(dev->devnum);
            TEndpoints ep;
            for (int c = 0; dev->config && c < dev->descriptor.bNumConfigurations; ++c) {
                const usb_config_descriptor& cfg = dev->config[c];
                for (int i = 0; cfg.interface && i < cfg.bNumInterfaces; ++i) {
                    const usb_interface& itf = cfg.interface[i];
                    for (int a = 0; itf.altsetting && a < itf.num_altsetting; ++a) {
                        const usb_interface_descriptor& alt = itf.altsetting[a];
                        for (int e = 0; alt.endpoint && e < alt.bNumEndpoints; ++e) {
                            const usb_endpoint_descriptor& d = alt.endpoint[e];
                            const bool in = (d.bEndpointAddress & 0x80) != 0;
                            switch (d.bmAttributes) {
                            case 0:
                            case 1:
                                break;
                            case 2:
                                if (in) {
                                    ep.BulkIn = d.bEndpointAddress;
                                    ep.BulkInSize = d.wMaxPacketSize;
                                } else {
                                    ep.BulkOut = d.bEndpointAddress;
                                }
                                break;
                            case 3:
                                if (in) {
                                    ep.InterruptIn = d.bEndpointAddress;
                                    ep.InterruptInSize = d.wMaxPacketSize;
                                } else {
                                    ep.InterruptOut = d.bEndpointAddress;
                                }
                                break;
                            default:
                                throw EUsbError(Fmt("Invalid endpoint attribute %d for endpoint "
                                                    "address %d",
                                                    d.bmAttributes, d.bEndpointAddress));
                            }
                        }
                    }
                }
            }
            FEndpoints = ep;
            for (auto* w : {FUSBSender.get(), FBulkReceiver.get(), FInterruptReceiver.get()})
                if (w) w->SetEndpoints(ep);
            if (FBulkReceiver && ep.BulkIn == 0 && ep.BulkOut == 0) FBulkReceiver->Suspend();
            if (FInterruptReceiver && ep.InterruptIn == 0 && ep.InterruptOut == 0)
                FInterruptReceiver->Suspend();
            FFoundDevice = dev;
            {
                std::lock_guard<std::mutex> l(FPathLock);
                if (FDevicePath.empty()) FDevicePath = PathOf(dev);
            }
            return true;
        }
    }
    return false;
}

void TUSB_Communication::Open() {
    if (!FFoundDevice) return;
    struct usb_device* dev = FFoundDevice;
    FFoundDevice = nullptr; // the bus scan may free it later
    usb_dev_handle* h = FApi.usb_open(dev);
    if (!h || FApi.usb_set_configuration(h, 1) < 0) {
        const std::string text = FApi.usb_strerror();
        if (h) FApi.usb_close(h);
        GiveHandleToWorkers(nullptr);
        throw EUsbError(text);
    }
    const int rc = FApi.usb_claim_interface(h, 0);
    if (rc < 0) {
        const std::string text = FApi.usb_strerror();
        if (FApi.usb_reset(h) < 0) Trace("Error resetting USB connection - second try");
        FApi.usb_close(h);
        FState.store(kStateNotConnected);
        GiveHandleToWorkers(nullptr);
        if (!UsbIsDeviceGone(rc)) throw EUsbError(text);
        PostToMain([this] { Disconnect(); });
        return;
    }
    FHandle.store(h);
    FState.store(kStateConnected);
    if (FOnState) FOnState(true);
    GiveHandleToWorkers(h);
}

void TUSB_Communication::GiveHandleToWorkers(usb_dev_handle* handle) {
    for (auto* w : {FUSBSender.get(), FBulkReceiver.get(), FInterruptReceiver.get()})
        if (w) w->SetHandle(handle);
}

void TUSB_Communication::Disconnect() {
    std::lock_guard<std::recursive_mutex> conn(FConnLock);
    DisconnectLocked();
}

void TUSB_Communication::DisconnectLocked() {
    if (FState.load() == kStateNotConnected) return;
    // Workers stop using the handle (waiting for a running transfer) before
    // it is closed.
    GiveHandleToWorkers(nullptr);
    if (usb_dev_handle* h = FHandle.exchange(nullptr)) {
        int rc = FApi.usb_release_interface(h, 0);
        if (rc < 0 && !UsbIsDeviceGone(rc)) Trace(Fmt("Error (%d) releasing usb-interface", rc));
        rc = FApi.usb_close(h);
        if (rc < 0) Trace(Fmt("Error (%d) closing usb-interface %d", rc, FDeviceID.load()));
    }
    FDeviceID.store(0);
    FState.store(kStateNotConnected);
    {
        std::lock_guard<std::mutex> l(FPathLock);
        FDevicePath.clear();
    }
    // What arrived while the device was there is passed on before the link
    // goes down: a telegram completed while connected is never lost.
    for (;;) {
        {
            std::lock_guard<std::mutex> l(FQueueLock);
            if (FReceived.empty()) break;
        }
        DeliverData();
        if (!FOnData) break;
    }
    if (FOnState) FOnState(false);
    std::lock_guard<std::mutex> l(FQueueLock);
    FReceived.clear();
    FCommandQueue.clear();
    ++FQueueGeneration;
}

void TUSB_Communication::Send(char first, std::string_view rest, int sendType) {
    if (!FHandle.load()) return;
    TPackage p;
    p.SendType = sendType;
    p.Data.reserve(rest.size() + 1);
    p.Data += first;
    p.Data.append(rest);
    {
        std::lock_guard<std::mutex> l(FQueueLock);
        FSentBytes += p.Data.size();
        FCommandQueue.push_back(std::move(p));
    }
    if (FUSBSender) FUSBSender->Wake();
}

void TUSB_Communication::PostToMain(std::function<void()> task) {
    FHandOver.Post([alive = FAlive, task = std::move(task)] {
        if (alive->load()) task();
    });
}

void TUSB_Communication::DataAvailable() {
    PostToMain([this] { DeliverData(); });
}

void TUSB_Communication::DeliverData() {
    if (!FOnData) return;
    std::string chunk;
    {
        std::lock_guard<std::mutex> l(FQueueLock);
        if (FReceived.empty()) return;
        chunk = std::move(FReceived.front());
        FReceived.pop_front();
    }
    if (chunk.empty()) return;
    try {
        FOnData(chunk[0], std::string_view(chunk).substr(1));
    } catch (const std::exception& e) {
        Trace(std::string("Data delivery: ") + e.what());
    }
}

void TUSB_Communication::WorkerDied(int kind) {
    PostToMain([this, kind] { RestartWorker(kind); });
}

void TUSB_Communication::RestartWorker(int kind) {
    std::lock_guard<std::recursive_mutex> conn(FConnLock);
    auto& slot = kind == wkSender ? FUSBSender
                                  : (kind == wkBulkReceiver ? FBulkReceiver : FInterruptReceiver);
    if (slot) {
        slot->Terminate();
        slot->Resume();
        slot->Join();
    }
    slot = MakeWorker(kind);
    slot->Start(false);
}

void TUSB_Communication::ParseDevicePath(const std::string& path, int& vendorId, int& productId) {
    vendorId = productId = -1;
    const auto h1 = path.find('#');
    if (h1 == std::string::npos) return;
    const auto h2 = path.find('#', h1 + 1);
    std::string part =
        path.substr(h1 + 1, h2 == std::string::npos ? std::string::npos : h2 - h1 - 1);
    const auto u = part.find('_');
    const auto amp = part.find('&', u == std::string::npos ? 0 : u);
    if (u == std::string::npos || amp == std::string::npos) return;
    vendorId = HexToIntDef(part.substr(u + 1, amp - u - 1), -1);
    // The vendor text and the five characters around it ("VID_" and "&")
    // are removed; the product ID follows the next '_'.
    part.erase(0, amp + 1);
    const auto u2 = part.find('_');
    if (u2 == std::string::npos) return;
    const auto end = part.find_first_not_of("0123456789abcdefABCDEF", u2 + 1);
    productId = HexToIntDef(
        part.substr(u2 + 1, end == std::string::npos ? std::string::npos : end - u2 - 1), -1);
}

void TUSB_Communication::DeviceArrived(const std::string& path, int vendorId, int productId) {
    if (vendorId != FVendorID || productId != FProductID) return;
    std::lock_guard<std::recursive_mutex> conn(FConnLock);
    if (FState.load() != kStateNotConnected) return;
    {
        std::lock_guard<std::mutex> l(FPathLock);
        FDevicePath = path;
    }
    try {
        Connect();
    } catch (const std::exception& e) {
        Trace(std::string("Connect on arrival: ") + e.what());
    }
    if (!Connected()) {
        std::lock_guard<std::mutex> l(FPathLock);
        FDevicePath.clear();
    }
}

void TUSB_Communication::DeviceRemoved(const std::string& path, int vendorId, int productId) {
    if (vendorId != FVendorID || productId != FProductID) return;
    std::lock_guard<std::recursive_mutex> conn(FConnLock);
    const std::string stored = DevicePath();
    if (!stored.empty() && stored != path) return;
    {
        std::lock_guard<std::mutex> l(FPathLock);
        FDevicePath.clear();
    }
    DisconnectLocked();
}

void TUSB_Communication::CheckDeviceChanges() {
    std::lock_guard<std::recursive_mutex> conn(FConnLock);
    FApi.usb_find_busses();
    FApi.usb_find_devices();
    std::vector<std::string> present;
    for (struct usb_bus* bus = FApi.usb_get_busses(); bus; bus = bus->next)
        for (struct usb_device* dev = bus->devices; dev; dev = dev->next)
            if (dev->descriptor.idVendor == FVendorID && dev->descriptor.idProduct == FProductID)
                present.push_back(PathOf(dev));
    const std::string stored = DevicePath();
    if (FState.load() == kStateConnected && !stored.empty()) {
        bool still = false;
        for (const auto& p : present)
            still = still || p == stored;
        if (!still) DeviceRemoved(stored, FVendorID, FProductID);
    }
    if (FState.load() == kStateNotConnected && !present.empty())
        DeviceArrived(present.front(), FVendorID, FProductID);
}

void TUSB_Communication::WatchLoop() {
    for (;;) {
        {
            std::unique_lock<std::mutex> l(FWatchLock);
            if (FWatchSignal.wait_for(l, std::chrono::milliseconds(FOptions.WatchIntervalMs),
                                      [this] { return FStopWatching; }))
                return;
        }
        // One scan at a time: a busy main thread does not pile them up.
        if (!FScanPending.exchange(true))
            PostToMain([this] {
                FScanPending.store(false);
                CheckDeviceChanges();
            });
    }
}

} // namespace vaskel
