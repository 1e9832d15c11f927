#include "cli/BusTimeSimulation.h"

#include "link/Controller.h"
#include "link/DeviceLink.h"
#include "link/DeviceProtocol.h"

#include <utility>

namespace vaskel {

// The link straight into the virtual device: what the controller writes
// reaches the device at once, what the device says is handed on when the
// simulation collects it.
class TBusTimeSimulation::TDirectLink : public IDeviceLink {
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

TBusTimeSimulation::TBusTimeSimulation(const TIBISTelegramParser& parser, TEnvironment& env,
                                       TEmulatorOptions device, TDateTime start)
    : FParser(parser), FEnv(env), FDevice(std::move(device)), FTime(start) {
    TRecorder::THooks rh;
    rh.NowMsOfDay = [this] { return FTime.Now().MsOfDay(); };
    rh.StopSlaveTimeout = [this] { FScheduler->StopSlaveTimeout(); };
    rh.StopMasterTimeout = [this] { FScheduler->StopMasterTimeout(); };
    FRecorder = std::make_unique<TRecorder>(FParser, FEnv, rh);
    FRecorder->SafetyCopy = false;

    // the master simulation as the live monitor runs it
    TMasterScheduler::THooks sh;
    sh.DeviceIsMaster = [this] { return FStatus.Master(); };
    sh.LinkRunning = [this] {
        return FConnection && FConnection->Controller() && FStatus.DeviceOnline();
    };
    sh.SendRequest = [this](const std::string& t) {
        ++FSendRequests;
        FConnection->Send(t);
    };
    sh.MarkLastRowUnanswered = [this] { FRecorder->MarkLastRowUnanswered(); };
    FScheduler = std::make_unique<TMasterScheduler>(FParser, FEnv, FTime, FTime, sh);

    // the slave simulation as the main window runs it
    TSlaveSimulation::THooks slh;
    slh.Download = [this](const TAntwortListe& list) {
        TWBController* c = FConnection ? FConnection->Controller() : nullptr;
        return !c || c->CopyResponseList(list);
    };
    slh.SwitchDevice = [this](bool on) { FConnection->Send(Cmd::SlaveSimulation(on)); };
    FSlave = std::make_unique<TSlaveSimulation>(FEnv, slh);

    FDevice.OnFirmwareRestart = [this] {
        if (FLink) FLink->Drop();
    };
    FComTimer = FTime.CreateTimer();
    FComTimer->OnTimer = [this] { FConnection->StateChange(TDeviceConnection::eTimer); };
    FPlayTimer = FTime.CreateTimer();

    TDeviceConnection::THooks hooks;
    hooks.CreateController = [this]() -> std::unique_ptr<TWBController> {
        auto link = std::make_unique<TDirectLink>(FDevice);
        FLink = link.get();
        TWBController::TOptions o;
        o.StartThread = false; // the simulation does the thread's work in its steps
        auto c = std::make_unique<TWBController>(
            std::move(link), FHandOver,
            [this](const TControllerNotification& n) { FConnection->HandleNotification(n); },
            TControllerHooks{}, o);
        c->OpenLink();
        return c;
    };
    hooks.UpdateDisplay = [this](const TDeviceDisplay&) {
        // the device offline or bus master: the response list is unloaded
        if (FSlave->Active() && (FStatus.Master() || !FStatus.DeviceOnline())) FSlave->Unload();
        if (FStatus.Master() != FLastMaster) {
            FLastMaster = FStatus.Master();
            FScheduler->Initialise();
        }
    };
    hooks.ComTimer = [this](bool run) { ComTimer(run); };
    hooks.UploadReply = [this](TUploadReplyStatus reply) {
        if (OnUploadReply) OnUploadReply(reply);
    };
    hooks.MonitorOpen = [] { return true; };
    hooks.DeviceRestarted = [this] {
        FScheduler->Initialise();
        FSlave->DeviceRestarted();
    };
    hooks.Capture = [this](const TTelegramm& record, char source) {
        FRecorder->CopyTelegramm(record, source, FStatus.Master());
        FScheduler->Hook(source, record.OwnMaster);
    };
    FConnection = std::make_unique<TDeviceConnection>(FEnv, FStatus, hooks);
    FScheduler->Initialise();
    FConnection->StateChange(TDeviceConnection::eStart);
    Settle();
}

TBusTimeSimulation::~TBusTimeSimulation() {
    FPlayTimer.reset();
    FComTimer.reset();
    FConnection.reset();
}

void TBusTimeSimulation::ComTimer(bool run) {
    if (!run)
        FComTimer->Stop();
    else if (!FComTimer->Running())
        FComTimer->Start(1000);
}

void TBusTimeSimulation::Settle() {
    for (int guard = 0; guard < 10000; ++guard) {
        bool moved = false;
        // a reconnect replaces the controller
        TWBController* c = FConnection ? FConnection->Controller() : nullptr;
        if (c) {
            if (!FStalled) c->ProcessThreadMessages();
            moved |= FLink->TakeMoved();
            moved |= FLink->Deliver();
        }
        moved |= FHandOver.Pump() > 0;
        if (!moved) return;
    }
}

void TBusTimeSimulation::Step() {
    FTime.Advance(1);
    Settle();
    if (FSlave->DownloadWaiting()) {
        FSlave->RetryDownload();
        Settle();
    }
    // bus time in device ticks follows the clock exactly: 7.2 ticks a ms
    const uint64_t target = static_cast<uint64_t>(FTime.Elapsed()) * 36 / 5;
    if (target > FDevice.Now()) FDevice.Advance(target - FDevice.Now());
    Settle();
}

void TBusTimeSimulation::Run(int64_t ms) {
    for (int64_t k = 0; k < ms; ++k)
        Step();
}

bool TBusTimeSimulation::SwitchToMaster(double maxMs) {
    int64_t waited = 0;
    while (!FStatus.DeviceOnline() && waited < maxMs) {
        Step();
        ++waited;
    }
    if (!FStatus.DeviceOnline() || !FStatus.CanSwitchToMaster()) return FStatus.Master();
    // as the master/slave switch asks for it: the mode, then the status
    TWBController* c = FConnection->Controller();
    while (!c->SetMode(1) && waited < maxMs) {
        Step();
        ++waited;
    }
    FConnection->Send(Cmd::StatusRequest());
    Settle();
    while (!FStatus.Master() && waited < maxMs) {
        Step();
        ++waited;
    }
    return FStatus.Master();
}

TCallListActivation TBusTimeSimulation::ActivateCallList(const std::string& fileName) {
    const TCallListActivation result = FScheduler->TryActivateCallList(fileName);
    // as in the desktop program, whose windows refresh after the switching
    FScheduler->Initialise();
    Settle();
    return result;
}

TResponseActivation TBusTimeSimulation::ActivateResponseList(const std::string& fileName,
                                                             double maxMs) {
    for (int64_t waited = 0; !FStatus.DeviceOnline() && waited < maxMs; ++waited)
        Step();
    if (!FStatus.DeviceOnline() || FStatus.Master()) return TResponseActivation::Failed;
    const TResponseActivation result = FSlave->Activate(fileName);
    Settle();
    return result;
}

void TBusTimeSimulation::PlayProtocol(const TTable& table, TProtocolPlayer::TMode mode,
                                      int factor) {
    FFactor = factor == 0 ? 1 : factor;
    TProtocolPlayer::THooks h;
    h.SimulationBusy = [this] {
        TWBController* c = FConnection->Controller();
        return c && c->SimulationBusy();
    };
    h.MonitorExists = [] { return true; };
    h.RequestSingleCall = [this](const std::string& text) { FScheduler->RequestSingleCall(text); };
    h.ReformatUandD = [this] { return FEnv.ReformatUandD(); };
    h.SendDelayFactor = [this] { return FFactor; };
    FPlayer = std::make_unique<TProtocolPlayer>(table, h);
    FPlayer->Mode = mode;
    FPlayer->CurrentRow = 0;
    // the player's timer is a one-shot that each step sets again
    FPlayTimer->OnTimer = [this] {
        FPlayTimer->Stop();
        const int next = FPlayer->Step();
        if (next >= 0) FPlayTimer->Start(next);
    };
    const int first = FPlayer->Start();
    Settle();
    if (first >= 0 && mode != TProtocolPlayer::smSingle) FPlayTimer->Start(first);
}

} // namespace vaskel
