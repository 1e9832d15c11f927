#include "link/Controller.h"

#include "telegram/TextConventions.h"

namespace vaskel {

TWBController::TWBController(std::unique_ptr<IDeviceLink> link, IMainThreadHandOver& handOver,
                             std::function<void(const TControllerNotification&)> onNotify,
                             TControllerHooks hooks)
    : TWBController(std::move(link), handOver, std::move(onNotify), std::move(hooks), TOptions{}) {}

TWBController::TWBController(std::unique_ptr<IDeviceLink> link, IMainThreadHandOver& handOver,
                             std::function<void(const TControllerNotification&)> onNotify,
                             TControllerHooks hooks, TOptions options)
    : FLink(std::move(link)), FHandOver(handOver),
      FNotifyTarget(onNotify
                        ? std::make_shared<std::function<void(const TControllerNotification&)>>(
                              std::move(onNotify))
                        : nullptr),
      FHooks(std::move(hooks)), FDecoder(*this) {
    FDecoder.SetState(TDecoderState::Down);
    FLink->SetCallbacks([this](char first, std::string_view rest) { OnLinkData(first, rest); },
                        [this](bool connected) { OnLinkState(connected); });
    // the link traces and beeps where the controller does
    FLink->SetHooks(FHooks.Trace, FHooks.Beep);
    if (options.StartThread) FThread = std::thread([this] { Run(); });
}

TWBController::~TWBController() {
    Terminate();
    FLink.reset();
}

void TWBController::Trace(const std::string& s) const {
    if (FHooks.Trace) FHooks.Trace(s);
}

void TWBController::Notify(TControllerNotification n) {
    if (!FNotifyTarget) return;
    // The closure shares the target: it may run after the controller is gone.
    FHandOver.Post([target = FNotifyTarget, n = std::move(n)] { (*target)(n); });
}

void TWBController::PostThreadMessage(TThreadMessage msg, uint32_t wParam) {
    {
        std::lock_guard<std::mutex> lock(FQueueLock);
        FQueue.push_back({msg, wParam});
    }
    FQueueSignal.notify_one();
}

bool TWBController::SendRequest(std::string_view bytes) {
    if (bytes.empty()) {
        Trace("Send request rejected. Empty telegram.");
        return false;
    }
    const bool telegram = static_cast<unsigned char>(bytes[0]) < 0x80;
    if (telegram && FMode.load() != 1) return false;

    std::lock_guard<std::mutex> lock(FSendLock);
    const uint8_t index = FSendIndex;
    TSendEntry& e = FSePuffer[index];
    if (e.Pending.load()) {
        Trace(FormatText("Send request rejected. Buffer full. FSePuffer Index: %d",
                         {std::to_string(index)}));
        if (FHooks.Beep) FHooks.Beep();
        PostThreadMessage(TThreadMessage::FMsgSenden, index | (e.Seq << 8));
        Trace(FormatText("Send message again, because it's still \"unverarbeitet\". Postmessage - "
                         "FSePuffer Index: %d",
                         {std::to_string(index)}));
        ++FSendIndex;
        return false;
    }
    e.Text.assign(bytes);
    e.Check = FMode.load() == 1 ? static_cast<uint8_t>(CalcCheckByte(bytes)) : 0;
    FSendSeq = (FSendSeq + 1) & 0xFFFFFF;
    e.Seq = FSendSeq;
    e.Pending.store(true);
    PostThreadMessage(TThreadMessage::FMsgSenden, index | (e.Seq << 8));
    Trace(FormatText("Send request. Postmessage - FSePuffer Index: %d", {std::to_string(index)}));
    ++FSendIndex;
    return true;
}

bool TWBController::SetMode(int mode) {
    if (FModePending.load()) return false;
    FRequestedMode = mode;
    FModePending.store(true);
    PostThreadMessage(TThreadMessage::FMsgModus, 0);
    std::this_thread::yield();
    return true;
}

bool TWBController::CopyResponseList(const TAntwortListe& list) {
    if (FCopyPending.load()) return false;
    {
        std::lock_guard<std::mutex> lock(FListLock);
        FStagingList = list;
    }
    FCopyPending.store(true);
    PostThreadMessage(TThreadMessage::FMsgCopy, 0);
    std::this_thread::yield();
    return true;
}

int TWBController::WriteDataSeriellOrUSB(std::string_view bytes) {
    if (FHooks.Traffic) FHooks.Traffic(true, bytes);
    if (!bytes.empty() && FLink->Connected()) FLink->Send(bytes[0], bytes.substr(1));
    return static_cast<int>(bytes.size());
}

void TWBController::ProcessThreadMessages() {
    while (ProcessNextThreadMessage()) {
    }
}

bool TWBController::ProcessNextThreadMessage() {
    TThreadMsg m;
    {
        std::lock_guard<std::mutex> lock(FQueueLock);
        if (FQueue.empty()) return false;
        m = FQueue.front();
        FQueue.pop_front();
        FLastWParam = m.Msg == TThreadMessage::FMsgSenden ? m.WParam & 0xFF : m.WParam;
    }
    HandleThreadMessage(m);
    return true;
}

void TWBController::HandleThreadMessage(const TThreadMsg& m) {
    if (FHooks.Trace) {
        const char* name = m.Msg == TThreadMessage::FMsgSenden  ? "\"FMsgSenden\""
                           : m.Msg == TThreadMessage::FMsgCopy  ? "\"FMsgCopy\""
                           : m.Msg == TThreadMessage::FMsgModus ? "\"FMsgModus\""
                                                                : ">Unbekannt<";
        const uint32_t index = m.Msg == TThreadMessage::FMsgSenden ? m.WParam & 0xFF : m.WParam;
        Trace(std::string(">>>>>>>>>>>>>: PeekMessage ") + name +
              " - FSePuffer Index:" + std::to_string(index));
    }
    switch (m.Msg) {
    case TThreadMessage::FMsgSenden: {
        TSendEntry& e = FSePuffer[m.WParam & 0xFF];
        // An entry announced again while it was pending has been written by
        // the first announcement already; when it was filled anew since, the
        // later announcement writes it in its turn, not this one.
        if (!e.Pending.load()) return;
        if ((m.WParam >> 8) != e.Seq) return;
        const std::string text = e.Text;
        if (text.empty()) {
            Trace("ERROR: TWBController.Execute Strange thing: I shall send a telegram with "
                  "length 0 ???");
        } else if (static_cast<unsigned char>(text[0]) < 0x80) {
            std::string bytes = text;
            bytes += '\r';
            {
                std::lock_guard<std::mutex> lock(FDecoderLock);
                FDecoder.PrepareOwnMaster(bytes, e.Check);
            }
            bytes += static_cast<char>(e.Check);
            FSimulationBusy.store(true);
            WriteDataSeriellOrUSB(bytes);
        } else {
            WriteDataSeriellOrUSB(text);
        }
        e.Pending.store(false);
        break;
    }
    case TThreadMessage::FMsgCopy: {
        {
            std::lock_guard<std::mutex> lock(FListLock);
            FActiveList = FStagingList;
        }
        DownloadResponseList();
        FCopyPending.store(false);
        break;
    }
    case TThreadMessage::FMsgModus: {
        const int mode = FRequestedMode;
        FMode.store(mode);
        {
            std::lock_guard<std::mutex> lock(FDecoderLock);
            FDecoder.SetMasterMode(mode == 1);
        }
        WriteDataSeriellOrUSB(mode == 1 ? Cmd::MasterMode() : Cmd::SlaveMode());
        FModePending.store(false);
        break;
    }
    }
}

// Written directly, in order, by this thread: a list of any length reaches
// the device whole, and nothing else is written in between.
void TWBController::DownloadResponseList() {
    TAntwortListe list;
    {
        std::lock_guard<std::mutex> lock(FListLock);
        list = FActiveList;
    }
    WriteDataSeriellOrUSB(Cmd::ClearResponseList());
    for (const auto& el : list) {
        if (el.Aufruf == "Aufruf" || el.Antwort == "Antwort") continue;
        WriteDataSeriellOrUSB(Cmd::ResponseListElement(el.Aufruf, el.Antwort, el.ReactionMs));
    }
}

void TWBController::WakeUpTimeout() {
    Trace("WaitRes = WAIT_TIMEOUT");
    if (DecoderState() == TDecoderState::Down) {
        Trace("WBController >> try to reanimate");
        WriteDataSeriellOrUSB(Cmd::VersionRequest());
    } else if (FMode.load() == 1) {
        // The master-mode command is prepared as a heartbeat but not sent:
        // the device needs none, and repeating 0x80 would only add traffic.
        Trace("WBController >> sending heartbeat");
    }
}

void TWBController::OpenLink() {
    try {
        FLink->Connect();
    } catch (const std::exception& e) {
        // The link stays down; the device's next arrival connects it.
        Trace(std::string("WBController: connect failed: ") + e.what());
    }
}

void TWBController::Run() {
    OpenLink();
    for (;;) {
        std::unique_lock<std::mutex> lock(FQueueLock);
        const bool woke = FQueueSignal.wait_for(lock, kWakeUpInterval,
                                                [this] { return FTerminate || !FQueue.empty(); });
        if (!woke) {
            lock.unlock();
            WakeUpTimeout();
            continue;
        }
        const bool terminate = FTerminate;
        lock.unlock();
        // Work queued before the end (the exit's list clearing and slave
        // mode) still reaches the device.
        ProcessThreadMessages();
        if (terminate) {
            Trace(">>>>>>>>>>>>>: FEvTerminate - FSePuffer Index:" + std::to_string(FLastWParam));
            break;
        }
    }
    Trace("WBController terminated");
    Trace(">>>>>>>>> FATAL <<<<<<<<<<<< WBController terminated");
}

void TWBController::Terminate() {
    {
        std::lock_guard<std::mutex> lock(FQueueLock);
        FTerminate = true;
    }
    FQueueSignal.notify_all();
    if (FThread.joinable()) {
        if (FThread.get_id() != std::this_thread::get_id()) FThread.join();
    } else {
        ProcessThreadMessages(); // without a thread the caller does its work
    }
}

void TWBController::OnLinkData(char first, std::string_view rest) {
    std::string chunk;
    chunk.reserve(rest.size() + 1);
    chunk += first;
    chunk.append(rest);
    if (FHooks.Traffic) FHooks.Traffic(false, chunk);
    std::lock_guard<std::mutex> lock(FDecoderLock);
    FDecoder.Decode(chunk);
}

void TWBController::OnLinkState(bool connected) {
    {
        std::lock_guard<std::mutex> lock(FDecoderLock);
        FDecoder.SetState(connected ? TDecoderState::Idle : TDecoderState::Down);
    }
    TControllerNotification n;
    n.Msg = connected ? TControllerMessage::FMsgLinkUp : TControllerMessage::FMsgLinkDown;
    n.WParam = connected ? 1 : 0;
    Notify(std::move(n));
}

void TWBController::MasterTelegramm(uint8_t index, const TTelegramm& record) {
    // the telegram sent last is through; a read-out of the device's
    // recording in between is not it
    if (record.OwnMaster || FMode.load() != 1) FSimulationBusy.store(false);
    TControllerNotification n;
    n.Msg = TControllerMessage::FMsgMasterTelegramm;
    n.WParam = index;
    n.Record = record;
    Notify(std::move(n));
}

void TWBController::SlaveTelegramm(uint8_t index, const TTelegramm& record) {
    TControllerNotification n;
    n.Msg = TControllerMessage::FMsgSlaveTelegramm;
    n.WParam = index;
    n.Record = record;
    Notify(std::move(n));
}

void TWBController::StatusByte(uint8_t status) {
    TControllerNotification n;
    n.Msg = TControllerMessage::FMsgStatus;
    n.WParam = status;
    Notify(std::move(n));
}

void TWBController::VersionReceived(const std::string& version) {
    TControllerNotification n;
    n.Msg = TControllerMessage::FMsgVersion;
    n.Text = version;
    Notify(std::move(n));
}

void TWBController::DeviceTextReceived(const std::string& text) {
    TControllerNotification n;
    n.Msg = TControllerMessage::FMsgDeviceText;
    n.Text = text;
    Notify(std::move(n));
}

void TWBController::UploadReplyReceived(TUploadReplyStatus reply) {
    TControllerNotification n;
    n.Msg = TControllerMessage::FMsgUploadReply;
    n.Upload = reply;
    Notify(std::move(n));
}

void TWBController::RecordCountReceived(uint32_t count) {
    TControllerNotification n;
    n.Msg = TControllerMessage::FMsgRecordCount;
    n.WParam = count;
    Notify(std::move(n));
}

void TWBController::RingOverrun(bool master) {
    Trace(master ? "\xDC"
                   "berlauf bei Mastertelegrammempfang"
                 : "\xDC"
                   "berlauf bei Slavetelegrammempfang");
}

std::string TWBController::ControllerVersion() const {
    std::lock_guard<std::mutex> lock(FDecoderLock);
    return FDecoder.ControllerVersion();
}

std::string TWBController::LastMessage() const {
    std::lock_guard<std::mutex> lock(FDecoderLock);
    return FDecoder.LastMessage();
}

TUploadReplyStatus TWBController::UploadGoAheadReply() const {
    std::lock_guard<std::mutex> lock(FDecoderLock);
    return FDecoder.UploadGoAheadReply();
}

TDecoderState TWBController::DecoderState() const {
    std::lock_guard<std::mutex> lock(FDecoderLock);
    return FDecoder.State();
}

TAntwortListe TWBController::ActiveResponseList() const {
    std::lock_guard<std::mutex> lock(FListLock);
    return FActiveList;
}

void TWBController::ReleaseMasterRecord(uint8_t index) {
    std::lock_guard<std::mutex> lock(FDecoderLock);
    FDecoder.ReleaseMaster(index);
}

void TWBController::ReleaseSlaveRecord(uint8_t index) {
    std::lock_guard<std::mutex> lock(FDecoderLock);
    FDecoder.ReleaseSlave(index);
}

TTelegramm TWBController::MasterRecord(uint8_t index) const {
    std::lock_guard<std::mutex> lock(FDecoderLock);
    return FDecoder.MasterRecord(index);
}

TTelegramm TWBController::SlaveRecord(uint8_t index) const {
    std::lock_guard<std::mutex> lock(FDecoderLock);
    return FDecoder.SlaveRecord(index);
}

} // namespace vaskel
