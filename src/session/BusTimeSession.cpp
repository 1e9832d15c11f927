#include "session/BusTimeSession.h"

#include "link/Controller.h"
#include "link/DeviceLink.h"

#include <utility>

namespace vaskel {

// The link straight into the virtual device: what the controller writes
// reaches the device at once, what the device says is handed on when the
// session collects it.
class TBusTimeSession::TDirectLink : public IDeviceLink {
public:
    explicit TDirectLink(TVirtualTavrin& device) : FDevice(device) {}

    void SetCallbacks(DataCallback onData, StateCallback onState) override {
        FData = std::move(onData);
        FState = std::move(onState);
    }
    int Connect() override {
        FConnected = true;
        if (FState) FState(true);
        return 0;
    }
    void Disconnect() override {
        FConnected = false;
        if (FState) FState(false);
    }
    bool Connected() const override { return FConnected; }
    void Send(char first, std::string_view rest) override {
        std::string transfer(1, first);
        transfer.append(rest);
        FDevice.FromPC(transfer);
        FMoved = true;
    }
    // Hands the device's output to the controller; true when there was any.
    bool Deliver() {
        if (FDevice.OutputSize() == 0 || !FData) return false;
        if (!FConnected) {
            FDevice.DropOutput(); // nobody listens
            return false;
        }
        const std::string bytes = FDevice.TakeOutput();
        FData(bytes[0], std::string_view(bytes).substr(1));
        return true;
    }
    // Something was written since the last call.
    bool TakeMoved() { return std::exchange(FMoved, false); }
    // The device restarts after programming new firmware: the link drops.
    void Drop() {
        if (!FConnected) return;
        FConnected = false;
        FDevice.DropOutput();
        if (FState) FState(false);
    }

private:
    TVirtualTavrin& FDevice;
    DataCallback FData;
    StateCallback FState;
    bool FConnected = false;
    bool FMoved = false;
};

TBusTimeSession::TBusTimeSession(const TIBISTelegramParser& parser, TEnvironment& env,
                                 TEmulatorOptions device, TDateTime start,
                                 ISessionObserver* observer)
    : FDevice(std::move(device)), FTime(start), FObserver(observer) {
    FDevice.OnFirmwareRestart = [this] {
        if (FLink) FLink->Drop();
    };
    TLiveSession::TOptions o;
    o.CreateLink = [this]() -> std::unique_ptr<IDeviceLink> {
        auto link = std::make_unique<TDirectLink>(FDevice);
        FLink = link.get();
        return link;
    };
    o.ControllerThread = false; // the session does the thread's work in its steps
    o.SafetyCopy = false;
    FLive = std::make_unique<TLiveSession>(env, parser, FHandOver, FTime, FTime,
                                           static_cast<ISessionObserver&>(*this), o);
    FLive->StartRecording();
    FLive->StartDevice();
    Settle();
}

TBusTimeSession::~TBusTimeSession() {
    FLive.reset();
}

void TBusTimeSession::ComTimer(bool run) {
    if (!run)
        FLive->RunPolling(false);
    else if (!FLive->Polling())
        FLive->RunPolling(true);
}

void TBusTimeSession::Settle() {
    for (int guard = 0; guard < 10000; ++guard) {
        bool moved = false;
        // a reconnect replaces the controller
        if (TWBController* c = FLive->Controller()) {
            if (!FStalled) c->ProcessThreadMessages();
            moved |= FLink->TakeMoved();
            moved |= FLink->Deliver();
        }
        moved |= FHandOver.Pump() > 0;
        if (!moved) return;
    }
}

void TBusTimeSession::Step() {
    FTime.Advance(1);
    Settle();
    // bus time in device ticks follows the clock exactly: 7.2 ticks a ms
    const uint64_t target = static_cast<uint64_t>(FTime.Elapsed()) * 36 / 5;
    if (target > FDevice.Now()) FDevice.Advance(target - FDevice.Now());
    Settle();
}

void TBusTimeSession::Run(int64_t ms) {
    for (int64_t k = 0; k < ms; ++k)
        Step();
}

bool TBusTimeSession::SwitchToMaster(int64_t maxMs) {
    const TDeviceStatus& st = FLive->Status();
    int64_t waited = 0;
    for (; !st.DeviceOnline() && waited < maxMs; ++waited)
        Step();
    if (!st.DeviceOnline() || !st.CanSwitchToMaster()) return st.Master();
    FLive->RequestMode(true);
    Settle();
    for (; !st.Master() && waited < maxMs; ++waited)
        Step();
    return st.Master();
}

bool TBusTimeSession::SwitchToSlave(int64_t maxMs) {
    const TDeviceStatus& st = FLive->Status();
    FLive->RequestMode(false);
    Settle();
    for (int64_t waited = 0; st.Master() && waited < maxMs; ++waited)
        Step();
    return !st.Master();
}

TCallListActivation TBusTimeSession::ActivateCallList(const std::string& fileName) {
    const TCallListActivation result = FLive->ActivateCallList(fileName);
    Settle();
    return result;
}

TResponseActivation TBusTimeSession::ActivateResponseList(const std::string& fileName,
                                                          int64_t maxMs) {
    const TDeviceStatus& st = FLive->Status();
    for (int64_t waited = 0; !st.DeviceOnline() && waited < maxMs; ++waited)
        Step();
    if (!st.DeviceOnline() || st.Master()) return TResponseActivation::Failed;
    const TResponseActivation result = FLive->ActivateResponseList(fileName);
    Settle();
    return result;
}

void TBusTimeSession::PlayProtocol(const TTable& table, TProtocolPlayer::TMode mode, int factor) {
    FFactor = factor == 0 ? 1 : factor;
    TLiveSession::TPlayback p;
    p.Mode = mode;
    p.StartRow = 0;
    p.SendDelayFactor = [this] { return FFactor; };
    FLive->StartPlayback(table, std::move(p));
    Settle();
}

void TBusTimeSession::RowAppended(int row) {
    if (FObserver) FObserver->RowAppended(row);
}
void TBusTimeSession::RowChanged(int row) {
    if (FObserver) FObserver->RowChanged(row);
}
void TBusTimeSession::RecordingStarted() {
    if (FObserver) FObserver->RecordingStarted();
}
void TBusTimeSession::RecordingStopped() {
    if (FObserver) FObserver->RecordingStopped();
}
void TBusTimeSession::DeviceDisplayChanged(const TDeviceDisplay& display) {
    if (FObserver) FObserver->DeviceDisplayChanged(display);
}
void TBusTimeSession::Tick() {
    if (FObserver) FObserver->Tick();
}
void TBusTimeSession::MasterSwitchAsked() {
    if (FObserver) FObserver->MasterSwitchAsked();
}
void TBusTimeSession::PlaybackChanged(const std::string& file) {
    if (FObserver) FObserver->PlaybackChanged(file);
}
void TBusTimeSession::SimulationChanged(TSimulationKind kind, const std::string& file) {
    if (FObserver) FObserver->SimulationChanged(kind, file);
}
void TBusTimeSession::RecordingNeeded() {
    // the recording runs from the start; it was stopped by hand
    if (FObserver) FObserver->RecordingNeeded();
    FLive->StartRecording();
}
void TBusTimeSession::Message(TSessionMessage message, const std::string& detail) {
    if (FObserver) FObserver->Message(message, detail);
}
void TBusTimeSession::AutonomousChanged() {
    if (FObserver) FObserver->AutonomousChanged();
}
void TBusTimeSession::UploadReply(TUploadReplyStatus reply) {
    if (OnUploadReply) OnUploadReply(reply);
    if (FObserver) FObserver->UploadReply(reply);
}

} // namespace vaskel
