#include "link/UsbTransport.h"

#include "link/DeviceNotifications.h"
#include "shell/Timers.h"
#include "telegram/TextConventions.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace vaskel {

namespace {

using Clock = std::chrono::steady_clock;

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
    const TDateTime t = LocalDateTime(std::chrono::system_clock::now());
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d.%02d.%04d %02d:%02d", t.Day, t.Month, t.Year, t.Hour,
                  t.Minute);
    return buf;
}

struct TEndpoints {
    int InterruptOut = 0, InterruptIn = 0, InterruptInSize = 0;
    int BulkOut = 0, BulkIn = 0, BulkInSize = 0;
};

// How a worker is told to pause, go on or end (guarded by the core's lock).
struct TWorkerState {
    int Kind = 0;
    bool Suspended = false;
    bool Terminate = false;
    bool Exited = false;
    Clock::time_point NotBefore{}; // a worker replacing one that died just now waits
};

} // namespace

// Everything the transport's threads share with it. The transport object is
// only a handle on it: its threads keep it alive until they have ended.
struct TUSB_Communication::TCore : std::enable_shared_from_this<TCore> {
    // One opened device: the handle and the endpoints found for it. The
    // handle is released and closed when the last thread using it lets go,
    // so it is never closed under a running transfer and nobody waits for
    // one to end.
    struct THandle {
        TCore& Core;
        usb_dev_handle* H;
        TEndpoints Ep;
        int DeviceID;
        THandle(TCore& core, usb_dev_handle* h, const TEndpoints& ep, int id)
            : Core(core), H(h), Ep(ep), DeviceID(id) {}
        ~THandle() {
            int rc = Core.Api.usb_release_interface(H, 0);
            if (rc < 0 && !UsbIsDeviceGone(rc))
                Core.Trace(Fmt("Error (%d) releasing usb-interface", rc));
            rc = Core.Api.usb_close(H);
            if (rc < 0) Core.Trace(Fmt("Error (%d) closing usb-interface %d", rc, DeviceID));
        }
    };

    TCore(UsbApi& api, IMainThreadHandOver& handOver, int vendorId, int productId,
          TUsbOptions options)
        : Api(api), HandOver(handOver), VendorID(vendorId), ProductID(productId),
          Options(std::move(options)) {}

    UsbApi& Api;
    IMainThreadHandOver& HandOver; // used only while the owner is there
    const int VendorID;
    const int ProductID;
    TUsbOptions Options; // Trace and Beep under OwnerLock

    // --- the owner: nothing reaches it after the transport's destructor
    std::mutex OwnerLock;
    bool OwnerGone = false;

    // --- connection (the owner's threads)
    std::recursive_mutex ConnLock; // connect, disconnect, bus scans
    std::atomic<int> State{kStateNotConnected};
    std::atomic<int> DeviceID{0};
    struct usb_device* FoundDevice = nullptr;
    TEndpoints Endpoints;
    mutable std::mutex PathLock;
    std::string DevicePath;
    DataCallback OnData;
    StateCallback OnState;
    std::atomic<bool> ScanPending{false};
    std::atomic<bool> LibraryProblemTold{false};
    // The system's reports of arrival and removal, when they are followed
    // (made and ended on the owner's thread). Device paths are then the
    // system's: a device found without one keeps an empty path.
    std::unique_ptr<TDeviceNotifications> Notifications;
    std::atomic<bool> PathsFromSystem{false}; // set once, before any connect

    // --- the one lock over both queues, the current handle and the workers
    mutable std::mutex Lock;
    std::condition_variable Signal;
    std::deque<std::string> Received;
    std::deque<TPackage> CommandQueue;
    std::atomic<std::size_t> SentBytes{0};
    uint64_t Generation = 0; // grows whenever the handle goes and the queues are emptied
    std::shared_ptr<THandle> Handle;
    std::shared_ptr<TWorkerState> Workers[3];
    Clock::time_point LastStart[3]{};
    bool Writing = false; // a sender is writing the first package
    bool Closing = false; // the transport ends: the sender writes out what is queued
    bool StopWatching = false;

    // --- calls to the owner
    void Trace(const std::string& s) {
        std::lock_guard<std::mutex> o(OwnerLock);
        if (!OwnerGone && Options.Trace) Options.Trace(s);
    }
    void Beep() {
        std::lock_guard<std::mutex> o(OwnerLock);
        if (!OwnerGone && Options.Beep) Options.Beep();
    }
    // Runs task on the main thread, unless the owner is gone by then.
    void PostToMain(std::function<void()> task) {
        std::lock_guard<std::mutex> o(OwnerLock);
        if (OwnerGone) return;
        HandOver.Post([self = shared_from_this(), task = std::move(task)] {
            if (self->OwnerThere()) task();
        });
    }
    bool OwnerThere() {
        std::lock_guard<std::mutex> o(OwnerLock);
        return !OwnerGone;
    }

    // --- threads
    void StartWorker(int kind, bool suspended);
    void StartWatcher();
    void StartNotifications();
    void RunWorker(const std::shared_ptr<TWorkerState>& w);
    void SenderLoop(TWorkerState& w);
    void ReceiverLoop(TWorkerState& w);
    // Waits up to d unless w is told to end; false when it is.
    bool Pause(TWorkerState& w, Clock::duration d) {
        std::unique_lock<std::mutex> l(Lock);
        Signal.wait_for(l, d, [&] { return w.Terminate; });
        return !w.Terminate;
    }
    void WorkerDied(const std::shared_ptr<TWorkerState>& w);
    void Close();

    // --- connection
    int Connect();
    bool FindDevice();
    void Open();
    void SetHandle(std::shared_ptr<THandle> h);
    void ResumeWorkers();
    void DisconnectLocked();
    void DeliverData();
    void DataAvailable() {
        PostToMain([self = shared_from_this()] { self->DeliverData(); });
    }
    void DeviceArrived(const std::string& path, int vendorId, int productId);
    void DeviceRemoved(const std::string& path, int vendorId, int productId);
    void CheckDeviceChanges();
    std::string Path() const {
        std::lock_guard<std::mutex> l(PathLock);
        return DevicePath;
    }
    void SetPath(const std::string& p) {
        std::lock_guard<std::mutex> l(PathLock);
        DevicePath = p;
    }
    static std::string PathOf(const struct usb_device* dev) {
        std::string p = dev->bus ? dev->bus->dirname : "";
        p += '/';
        p += dev->filename;
        return p;
    }
};

// ---------------------------------------------------------------- workers

void TUSB_Communication::TCore::StartWorker(int kind, bool suspended) {
    auto w = std::make_shared<TWorkerState>();
    w->Kind = kind;
    w->Suspended = suspended;
    {
        std::lock_guard<std::mutex> l(Lock);
        const auto now = Clock::now();
        if (Workers[kind]) {
            Workers[kind]->Terminate = true;
            // one that lived less than a second (a fault that comes back at
            // once) is replaced a little later, not in a tight loop
            if (now - LastStart[kind] < std::chrono::seconds(1))
                w->NotBefore = now + std::chrono::seconds(1);
        }
        LastStart[kind] = now;
        Workers[kind] = w;
    }
    Signal.notify_all();
    // The thread keeps the core alive; its use of the api is registered
    // until it has let go of everything that calls into it.
    std::thread([core = shared_from_this(), w, use = TUsbApiUse(Api)]() mutable {
        core->RunWorker(w);
        {
            std::lock_guard<std::mutex> l(core->Lock);
            w->Exited = true;
        }
        core->Signal.notify_all();
        w.reset();
        core.reset();
    }).detach();
}

void TUSB_Communication::TCore::RunWorker(const std::shared_ptr<TWorkerState>& w) {
    {
        std::unique_lock<std::mutex> l(Lock);
        Signal.wait_until(l, w->NotBefore, [&] { return w->Terminate; });
    }
    try {
        if (w->Kind == wkSender)
            SenderLoop(*w);
        else
            ReceiverLoop(*w);
    } catch (const std::exception& e) {
        Trace(std::string(w->Kind == wkSender ? "ERROR: USB-Sender abnormal termination: "
                                              : "ERROR: USB-Receiver abnormal termination: ") +
              e.what());
        if (w->Kind != wkSender) Beep();
        WorkerDied(w);
    }
}

// The worker is replaced on the main thread -- unless it has been replaced
// already, or the transport ends.
void TUSB_Communication::TCore::WorkerDied(const std::shared_ptr<TWorkerState>& w) {
    PostToMain([self = shared_from_this(), w] {
        bool replace = false;
        {
            std::lock_guard<std::mutex> l(self->Lock);
            replace = !self->Closing && self->Workers[w->Kind] == w;
        }
        if (replace) self->StartWorker(w->Kind, false);
    });
}

void TUSB_Communication::TCore::SenderLoop(TWorkerState& w) {
    bool reportedNoEndpoint = false;
    for (;;) {
        std::shared_ptr<THandle> h;
        TPackage pkg;
        uint64_t generation = 0;
        {
            std::unique_lock<std::mutex> l(Lock);
            // (a sender that replaced one still writing waits for that write)
            Signal.wait(l, [&] {
                return w.Terminate || (Closing && (CommandQueue.empty() || !Handle)) ||
                       (!w.Suspended && Handle && !CommandQueue.empty() && !Writing);
            });
            if (w.Terminate || (Closing && (CommandQueue.empty() || !Handle))) return;
            Writing = true;
            h = Handle;
            pkg = CommandQueue.front();
            generation = Generation;
            if (pkg.Data.empty()) {
                CommandQueue.pop_front();
                Writing = false;
                l.unlock();
                Trace("ERROR: Command of size 0 found!");
                continue;
            }
        }
        // Writing ends with this turn, whichever way it leaves.
        struct TDone {
            TCore& C;
            ~TDone() {
                {
                    std::lock_guard<std::mutex> l(C.Lock);
                    C.Writing = false;
                }
                C.Signal.notify_all();
            }
        } done{*this};
        const int size = static_cast<int>(pkg.Data.size());
        int rc = 0;
        int ep = 0;
        if (pkg.SendType == 0) {
            ep = h->Ep.InterruptOut;
            if (ep == 0) {
                if (!reportedNoEndpoint) Trace("ERROR TUSBSender: F_Interrupt_TX_Endpoint == 0");
                reportedNoEndpoint = true;
                if (!Pause(w, std::chrono::milliseconds(200))) return;
                continue;
            }
            reportedNoEndpoint = false;
            rc = Api.usb_interrupt_write(h->H, ep, pkg.Data.data(), size, Options.WriteTimeoutMs);
            if (rc >= 0 && rc < size)
                Trace(Fmt("ERROR: Shall write %d bytes, but wrote %d bytes", size, rc));
        } else if (pkg.SendType == 1) {
            ep = h->Ep.BulkOut;
            Trace(NowText() + "usb_bulk_write: " + pkg.Data +
                  " (HEX: " + StrToHexDump(pkg.Data, true) + ")");
            rc = Api.usb_bulk_write(h->H, ep, pkg.Data.data(), size, Options.WriteTimeoutMs);
            if (rc >= 0 && rc != size)
                throw EUsbError(
                    Fmt("usb_bulk_write: myBytesToWrite (%d) != myBytesWritten (%d)", size, rc));
        } else {
            throw EUsbError(Fmt("Unbekannter Sendetypus %d beim USB-Versand", pkg.SendType));
        }
        if (rc >= 0) {
            std::lock_guard<std::mutex> l(Lock);
            // Disconnect may have emptied the queue meanwhile.
            if (Generation == generation && !CommandQueue.empty()) CommandQueue.pop_front();
            continue; // (the end may wait for the queue to empty: done notifies)
        }
        if (UsbIsStall(rc)) {
            // A halted endpoint takes nothing until the halt is cleared; the
            // sender is replaced and tries the package again.
            Trace(Fmt("ERROR: USB-endpoint halted during write-operation: %d - ", rc) +
                  Api.usb_strerror());
            Api.usb_clear_halt(h->H, static_cast<unsigned>(ep));
            throw EUsbError("endpoint halted");
        }
        const bool gone = UsbIsDeviceGone(rc);
        if (gone)
            Trace("ERROR: USB connection lost during write-operation");
        else
            Trace(Fmt("ERROR: Timeout during write-operation: %d - ", rc) + Api.usb_strerror());
        h.reset();
        // the package stays first and is tried again
        if (!Pause(w, std::chrono::milliseconds(gone ? 50 : 1))) {
            Trace("ERROR during write-operation: Termination requested!");
            return;
        }
    }
}

void TUSB_Communication::TCore::ReceiverLoop(TWorkerState& w) {
    const bool bulk = w.Kind == wkBulkReceiver;
    std::vector<char> buffer;
    std::string partial;
    uint64_t partialGeneration = 0;
    for (;;) {
        std::shared_ptr<THandle> h;
        uint64_t generation = 0;
        {
            std::unique_lock<std::mutex> l(Lock);
            Signal.wait(l, [&] {
                if (w.Terminate) return true;
                if (w.Suspended || !Handle) return false;
                return bulk ? Handle->Ep.BulkIn != 0 : Handle->Ep.InterruptIn != 0;
            });
            if (w.Terminate) return;
            h = Handle;
            generation = Generation;
        }
        const int ep = bulk ? h->Ep.BulkIn : h->Ep.InterruptIn;
        const int size = bulk ? h->Ep.BulkInSize : h->Ep.InterruptInSize;
        if (size <= 0) {
            if (!Pause(w, std::chrono::milliseconds(200))) return;
            continue;
        }
        buffer.resize(static_cast<std::size_t>(size));
        int n = 0;
        if (bulk) {
            n = Api.usb_bulk_read(h->H, ep, buffer.data(), size, Options.ReadTimeoutMs);
            if (n > 0)
                Trace(NowText() + "usb_bulk_read: " + std::string(buffer.data(), n) +
                      " (HEX: " + StrToHexDump(std::string(buffer.data(), n), true) + ")");
        } else {
            n = Api.usb_interrupt_read(h->H, ep, buffer.data(), size, Options.ReadTimeoutMs);
        }
        // A read that times out is the normal case: the device sends only
        // when there is bus traffic. It is no error and is not traced.
        if (UsbIsTimeout(n)) continue;
        if (n < 0) {
            const std::string text = Api.usb_strerror();
            Trace("ERROR usb-read: " + text);
            if (UsbIsDeviceGone(n)) {
                // The device went away; its removal is noticed by the bus scan.
                h.reset();
                if (!Pause(w, std::chrono::milliseconds(50))) return;
            } else if (UsbIsStall(n)) {
                // A halted endpoint: the halt is cleared and the receiver
                // replaced, as after any other failure.
                Trace("ERROR: USB-endpoint halted " + text);
                Api.usb_clear_halt(h->H, static_cast<unsigned>(ep));
                throw EUsbError(text);
            } else if (UsbIsEndpointUnusable(n)) {
                Trace("ERROR: USB-endpoint invalid or not available " + text);
                std::lock_guard<std::mutex> l(Lock);
                w.Suspended = true;
            } else {
                Trace("ERROR: during usb-read: " + text);
                throw EUsbError(text);
            }
            continue;
        }
        if (n == 0) continue;
        if (partialGeneration != generation) partial.clear(); // from an earlier connection
        partialGeneration = generation;
        const std::string packet(buffer.data(), static_cast<std::size_t>(n));
        if (static_cast<unsigned char>(packet[0]) >= 0x80 || n < size) {
            std::string chunk = std::move(partial);
            partial.clear();
            chunk += packet;
            {
                std::lock_guard<std::mutex> l(Lock);
                // read on a handle that has gone meanwhile: not ours any more
                if (Generation != generation) continue;
                Received.push_back(std::move(chunk));
            }
            DataAvailable();
        } else {
            partial += packet; // a full packet: more of the same chunk follows
        }
    }
}

void TUSB_Communication::TCore::StartNotifications() {
    std::weak_ptr<TCore> weak = shared_from_this();
    Notifications = TDeviceNotifications::Start([weak](const TDeviceChange& change) {
        const std::shared_ptr<TCore> core = weak.lock();
        if (!core) return;
        int vendorId = -1, productId = -1;
        ParseDevicePath(change.Path, vendorId, productId);
        core->PostToMain([c = core.get(), change, vendorId, productId] {
            if (change.Arrived)
                c->DeviceArrived(change.Path, vendorId, productId);
            else
                c->DeviceRemoved(change.Path, vendorId, productId);
        });
    });
    PathsFromSystem.store(Notifications != nullptr);
}

void TUSB_Communication::TCore::StartWatcher() {
    std::thread([core = shared_from_this()]() mutable {
        for (;;) {
            {
                std::unique_lock<std::mutex> l(core->Lock);
                if (core->Signal.wait_for(l,
                                          std::chrono::milliseconds(core->Options.WatchIntervalMs),
                                          [&] { return core->StopWatching; }))
                    break;
            }
            // One scan at a time: a busy main thread does not pile them up.
            if (!core->ScanPending.exchange(true))
                core->PostToMain([c = core.get()] {
                    c->ScanPending.store(false);
                    c->CheckDeviceChanges();
                });
        }
        core.reset();
    }).detach();
}

// The end: the queued packages are written out (for ExitDrainMs at most),
// then every worker is told to end and the owner is cut off. A worker still
// in a transfer finishes it on its own and closes the handle if it is the
// last one using it.
void TUSB_Communication::TCore::Close() {
    Notifications.reset(); // no report comes in after this
    {
        std::unique_lock<std::mutex> l(Lock);
        Closing = true;
        StopWatching = true;
        for (int kind : {wkBulkReceiver, wkInterruptReceiver})
            if (Workers[kind]) Workers[kind]->Terminate = true;
        Signal.notify_all();
        const auto sender = Workers[wkSender];
        Signal.wait_for(l, std::chrono::milliseconds(Options.ExitDrainMs), [&] {
            return !Handle || CommandQueue.empty() || !sender || sender->Exited;
        });
        for (auto& w : Workers)
            if (w) w->Terminate = true;
    }
    Signal.notify_all();
    {
        std::lock_guard<std::mutex> o(OwnerLock);
        OwnerGone = true;
    }
    std::shared_ptr<THandle> h;
    {
        std::lock_guard<std::mutex> l(Lock);
        h = std::move(Handle);
        Received.clear();
        CommandQueue.clear();
        ++Generation;
    }
    State.store(kStateNotConnected);
    // closed here unless a worker still uses it
}

// ---------------------------------------------------------------- connection

int TUSB_Communication::TCore::Connect() {
    std::lock_guard<std::recursive_mutex> conn(ConnLock);
    if (State.load() == kStateConnected) return 0;
    State.store(kStateConnecting);
    SentBytes.store(0);
    if (ProductID == 0) {
        State.store(kStateNotConnected);
        return 2;
    }
    if (VendorID == 0) {
        State.store(kStateNotConnected);
        return 1;
    }
    // A library that cannot be used (libusb0.dll missing on Windows) is
    // told once; the attempt then finds no device.
    if (!LibraryProblemTold.exchange(true)) {
        const std::string problem = Api.LibraryProblem();
        if (!problem.empty()) Trace(problem);
    }
    try {
        if (FindDevice()) Open();
    } catch (...) {
        if (State.load() != kStateConnected) State.store(kStateNotConnected);
        throw;
    }
    if (State.load() != kStateConnected) {
        State.store(kStateNotConnected);
        return 0;
    }
    ResumeWorkers();
    return 0;
}

void TUSB_Communication::TCore::ResumeWorkers() {
    // (a worker that died is being replaced already)
    {
        std::lock_guard<std::mutex> l(Lock);
        for (int kind : {wkSender, wkBulkReceiver, wkInterruptReceiver}) {
            const auto& w = Workers[kind];
            if (!w || (kind == wkBulkReceiver && Endpoints.BulkIn == 0)) continue;
            w->Suspended = false;
        }
    }
    Signal.notify_all();
}

bool TUSB_Communication::TCore::FindDevice() {
    State.store(kStateNotConnected);
    FoundDevice = nullptr;
    Api.usb_find_busses();
    Api.usb_find_devices();
    for (struct usb_bus* bus = Api.usb_get_busses(); bus; bus = bus->next) {
        for (struct usb_device* dev = bus->devices; dev; dev = dev->next) {
            if (dev->descriptor.idVendor != VendorID || dev->descriptor.idProduct != ProductID)
                continue;
            // Probe: the device must accept configuration 1 and interface 0.
            usb_dev_handle* h = Api.usb_open(dev);
            if (!h) continue;
            const bool usable =
                Api.usb_set_configuration(h, 1) >= 0 && Api.usb_claim_interface(h, 0) >= 0;
            if (usable) Api.usb_release_interface(h, 0);
            Api.usb_close(h);
            if (!usable) continue;

            DeviceID.store(dev->devnum);
            TEndpoints ep;
            ForEachEndpoint(*dev, [&](const usb_endpoint_descriptor& d) {
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
            });
            Endpoints = ep;
            {
                std::lock_guard<std::mutex> l(Lock);
                if (Workers[wkBulkReceiver] && ep.BulkIn == 0 && ep.BulkOut == 0)
                    Workers[wkBulkReceiver]->Suspended = true;
                if (Workers[wkInterruptReceiver] && ep.InterruptIn == 0 && ep.InterruptOut == 0)
                    Workers[wkInterruptReceiver]->Suspended = true;
            }
            FoundDevice = dev;
            if (Path().empty() && !PathsFromSystem.load()) SetPath(PathOf(dev));
            return true;
        }
    }
    return false;
}

void TUSB_Communication::TCore::Open() {
    if (!FoundDevice) return;
    struct usb_device* dev = FoundDevice;
    FoundDevice = nullptr; // the bus scan may free it later
    usb_dev_handle* h = Api.usb_open(dev);
    if (!h || Api.usb_set_configuration(h, 1) < 0) {
        const std::string text = Api.usb_strerror();
        if (h) Api.usb_close(h);
        SetHandle(nullptr);
        throw EUsbError(text);
    }
    const int rc = Api.usb_claim_interface(h, 0);
    if (rc < 0) {
        const std::string text = Api.usb_strerror();
        if (Api.usb_reset(h) < 0) Trace("Error resetting USB connection - second try");
        Api.usb_close(h);
        State.store(kStateNotConnected);
        SetHandle(nullptr);
        if (!UsbIsDeviceGone(rc)) throw EUsbError(text);
        PostToMain([self = shared_from_this()] {
            std::lock_guard<std::recursive_mutex> conn(self->ConnLock);
            self->DisconnectLocked();
        });
        return;
    }
    SetHandle(std::make_shared<THandle>(*this, h, Endpoints, DeviceID.load()));
    State.store(kStateConnected);
    if (OnState) OnState(true);
}

// The workers take the new handle with their next transfer; one that is
// in a transfer on the old one finishes it first (and closes that handle,
// if it is the last one using it).
void TUSB_Communication::TCore::SetHandle(std::shared_ptr<THandle> h) {
    std::shared_ptr<THandle> old;
    {
        std::lock_guard<std::mutex> l(Lock);
        old = std::move(Handle);
        Handle = std::move(h);
        if (old) ++Generation;
    }
    Signal.notify_all();
}

void TUSB_Communication::TCore::DisconnectLocked() {
    if (State.load() == kStateNotConnected) return;
    SetHandle(nullptr);
    DeviceID.store(0);
    State.store(kStateNotConnected);
    SetPath("");
    // What arrived while the device was there is passed on before the link
    // goes down: a telegram completed while connected is never lost.
    for (;;) {
        {
            std::lock_guard<std::mutex> l(Lock);
            if (Received.empty()) break;
        }
        DeliverData();
        if (!OnData) break;
    }
    if (OnState) OnState(false);
    {
        std::lock_guard<std::mutex> l(Lock);
        Received.clear();
        CommandQueue.clear();
        ++Generation;
    }
    Signal.notify_all();
}

void TUSB_Communication::TCore::DeliverData() {
    if (!OnData) return;
    std::string chunk;
    {
        std::lock_guard<std::mutex> l(Lock);
        if (Received.empty()) return;
        chunk = std::move(Received.front());
        Received.pop_front();
    }
    if (chunk.empty()) return;
    try {
        OnData(chunk[0], std::string_view(chunk).substr(1));
    } catch (const std::exception& e) {
        Trace(std::string("Data delivery: ") + e.what());
    }
}

void TUSB_Communication::TCore::DeviceArrived(const std::string& path, int vendorId,
                                              int productId) {
    if (vendorId != VendorID || productId != ProductID) return;
    std::lock_guard<std::recursive_mutex> conn(ConnLock);
    if (State.load() != kStateNotConnected) return;
    SetPath(path);
    try {
        Connect();
    } catch (const std::exception& e) {
        Trace(std::string("Connect on arrival: ") + e.what());
    }
    if (State.load() != kStateConnected) SetPath("");
}

void TUSB_Communication::TCore::DeviceRemoved(const std::string& path, int vendorId,
                                              int productId) {
    if (vendorId != VendorID || productId != ProductID) return;
    std::lock_guard<std::recursive_mutex> conn(ConnLock);
    const std::string stored = Path();
    if (!stored.empty() && stored != path) return;
    SetPath("");
    DisconnectLocked();
}

void TUSB_Communication::TCore::CheckDeviceChanges() {
    // A connect under way on another thread (the controller's first one)
    // is not waited for: the next scan comes a second later.
    std::unique_lock<std::recursive_mutex> conn(ConnLock, std::try_to_lock);
    if (!conn.owns_lock()) return;
    Api.usb_find_busses();
    Api.usb_find_devices();
    std::vector<std::string> present;
    for (struct usb_bus* bus = Api.usb_get_busses(); bus; bus = bus->next)
        for (struct usb_device* dev = bus->devices; dev; dev = dev->next)
            if (dev->descriptor.idVendor == VendorID && dev->descriptor.idProduct == ProductID)
                present.push_back(PathOf(dev));
    const std::string stored = Path();
    if (State.load() == kStateConnected && !stored.empty()) {
        bool still = false;
        for (const auto& p : present)
            still = still || p == stored;
        if (!still) DeviceRemoved(stored, VendorID, ProductID);
    }
    if (State.load() == kStateNotConnected && !present.empty())
        DeviceArrived(present.front(), VendorID, ProductID);
}

// ---------------------------------------------------------------- transport

TUSB_Communication::TUSB_Communication(UsbApi& api, IMainThreadHandOver& handOver, int vendorId,
                                       int productId, TUsbOptions options)
    : FCore(std::make_shared<TCore>(api, handOver, vendorId, productId, std::move(options))) {
#ifdef _WIN32
    api.usb_set_debug(4);
#else
    api.usb_set_debug(0); // on Linux the library's debug output goes to the terminal
#endif
    api.usb_init();
    FCore->StartWorker(wkSender, false);
    FCore->StartWorker(wkBulkReceiver, true);
    FCore->StartWorker(wkInterruptReceiver, false);
    if (FCore->Options.WatchDevices) {
        if (FCore->Options.SystemNotifications) FCore->StartNotifications();
        if (!FCore->Notifications) FCore->StartWatcher();
    }
}

TUSB_Communication::~TUSB_Communication() {
    FCore->Close();
}

void TUSB_Communication::SetCallbacks(DataCallback onData, StateCallback onState) {
    FCore->OnData = std::move(onData);
    FCore->OnState = std::move(onState);
}

void TUSB_Communication::SetHooks(std::function<void(const std::string&)> trace,
                                  std::function<void()> beep) {
    std::lock_guard<std::mutex> o(FCore->OwnerLock);
    if (trace) FCore->Options.Trace = std::move(trace);
    if (beep) FCore->Options.Beep = std::move(beep);
}

int TUSB_Communication::Connect() {
    return FCore->Connect();
}

void TUSB_Communication::Disconnect() {
    std::lock_guard<std::recursive_mutex> conn(FCore->ConnLock);
    FCore->DisconnectLocked();
}

bool TUSB_Communication::Connected() const {
    return FCore->State.load() == kStateConnected;
}

int TUSB_Communication::VendorID() const {
    return FCore->VendorID;
}

int TUSB_Communication::ProductID() const {
    return FCore->ProductID;
}

int TUSB_Communication::DeviceID() const {
    return FCore->DeviceID.load();
}

int TUSB_Communication::ConnectionState() const {
    return FCore->State.load();
}

std::string TUSB_Communication::DevicePath() const {
    return FCore->Path();
}

std::size_t TUSB_Communication::SentBytes() const {
    return FCore->SentBytes.load();
}

std::size_t TUSB_Communication::QueuedPackages() const {
    std::lock_guard<std::mutex> l(FCore->Lock);
    return FCore->CommandQueue.size();
}

void TUSB_Communication::Send(char first, std::string_view rest, int sendType) {
    TPackage p;
    p.SendType = sendType;
    p.Data.reserve(rest.size() + 1);
    p.Data += first;
    p.Data.append(rest);
    bool full = false;
    {
        std::lock_guard<std::mutex> l(FCore->Lock);
        if (!FCore->Handle) return;
        full = FCore->CommandQueue.size() >= FCore->Options.MaxQueuedPackages;
        if (!full) {
            FCore->SentBytes += p.Data.size();
            FCore->CommandQueue.push_back(std::move(p));
        }
    }
    if (full) {
        FCore->Trace(Fmt("ERROR: Send queue full (%d packages), package dropped",
                         static_cast<int>(FCore->Options.MaxQueuedPackages)));
        return;
    }
    FCore->Signal.notify_all();
}

void TUSB_Communication::DeviceArrived(const std::string& path, int vendorId, int productId) {
    FCore->DeviceArrived(path, vendorId, productId);
}

void TUSB_Communication::DeviceRemoved(const std::string& path, int vendorId, int productId) {
    FCore->DeviceRemoved(path, vendorId, productId);
}

void TUSB_Communication::CheckDeviceChanges() {
    FCore->CheckDeviceChanges();
}

void TUSB_Communication::RestartWorker(int kind) {
    if (kind < wkBulkReceiver || kind > wkSender) return;
    FCore->StartWorker(kind, false);
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

} // namespace vaskel
