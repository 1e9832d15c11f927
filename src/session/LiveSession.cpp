#include "session/LiveSession.h"

#include "link/Controller.h"
#include "link/DeviceProtocol.h"

#include <filesystem>
#include <utility>

namespace vaskel {

TLiveSession::TLiveSession(TEnvironment& env, const TIBISTelegramParser& parser,
                           IMainThreadHandOver& handOver, ITimerFactory& timers,
                           const IClock& clock, ISessionObserver& observer, TOptions options)
    : FEnv(env), FParser(parser), FHandOver(handOver), FTimers(timers), FClock(clock),
      FObserver(observer), FOptions(std::move(options)) {
    FPollTimer = FTimers.CreateTimer();
    FPollTimer->OnTimer = [this] {
        if (FConnection) FConnection->StateChange(TDeviceConnection::eTimer);
        FObserver.Tick();
    };
    FSafetyTimer = FTimers.CreateTimer();
    FSafetyTimer->OnTimer = [this] { FRecorder->SafetyTick(); };
    FModeTimer = FTimers.CreateTimer();
    FModeTimer->OnTimer = [this] {
        FModeTimer->Stop();
        RequestMode(FMode == 1);
    };
    FDownloadTimer = FTimers.CreateTimer();
    FDownloadTimer->OnTimer = [this] {
        FDownloadTimer->Stop();
        FSlave->RetryDownload();
        RetryResponseDownload();
    };
    FPlayTimer = FTimers.CreateTimer();
    FPlayTimer->OnTimer = [this] { PlaybackStep(); };

    TSlaveSimulation::THooks slh;
    slh.Download = [this](const TAntwortListe& list) {
        TWBController* c = Controller();
        return !c || c->CopyResponseList(list);
    };
    slh.SwitchDevice = [this](bool on) {
        if (Controller()) FConnection->Send(Cmd::SlaveSimulation(on));
    };
    FSlave = std::make_unique<TSlaveSimulation>(FEnv, slh);

    // One recorder for the whole run: its table outlives every recording.
    TRecorder::THooks rh;
    rh.NowMsOfDay = [this] { return FClock.Now().MsOfDay(); };
    rh.Trace = FOptions.Trace;
    rh.SafetyCopyFailed = [this](const std::string& why) {
        FObserver.Message(TSessionMessage::SafetyCopyFailed, why);
    };
    rh.StopSlaveTimeout = [this] {
        if (FScheduler) FScheduler->StopSlaveTimeout();
    };
    rh.StopMasterTimeout = [this] {
        if (FScheduler) FScheduler->StopMasterTimeout();
    };
    rh.RowAppended = [this](int row) { FObserver.RowAppended(row); };
    rh.RowChanged = [this](int row) { FObserver.RowChanged(row); };
    FRecorder = std::make_unique<TRecorder>(FParser, FEnv, rh);

    TDeviceConnection::THooks hooks;
    hooks.CreateController = [this]() -> std::unique_ptr<TWBController> {
        if (!FOptions.CreateLink) return nullptr;
        try {
            TControllerHooks ch;
            ch.Trace = FOptions.Trace;
            if (FOptions.Beep) ch.Beep = [this] { FHandOver.Post([this] { FOptions.Beep(); }); };
            ch.Traffic = FOptions.Traffic;
            TWBController::TOptions o;
            o.StartThread = FOptions.ControllerThread;
            auto c = std::make_unique<TWBController>(
                FOptions.CreateLink(), FHandOver,
                [this](const TControllerNotification& n) { FConnection->HandleNotification(n); },
                ch, o);
            if (!FOptions.ControllerThread) c->OpenLink();
            return c;
        } catch (const std::exception&) {
            return nullptr;
        }
    };
    hooks.UpdateDisplay = [this](const TDeviceDisplay& d) { DisplayUpdated(d); };
    hooks.ComTimer = [this](bool run) { RunPolling(run); };
    hooks.Beep = FOptions.Beep;
    hooks.NowMs = FOptions.SteadyMs;
    hooks.MonitorOpen = [this] { return FRecording; };
    hooks.DeviceRestarted = [this] { DeviceRestarted(); };
    hooks.Capture = [this](const TTelegramm& record, char source) { Capture(record, source); };
    hooks.AutonomousChanged = [this] { FObserver.AutonomousChanged(); };
    hooks.UploadReply = [this](TUploadReplyStatus reply) { FObserver.UploadReply(reply); };
    FConnection = std::make_unique<TDeviceConnection>(FEnv, FStatus, hooks);
}

TLiveSession::~TLiveSession() {
    // the controller's thread ends before the members it hands over to
    EndDevice();
    FPlayTimer.reset();
    FPlayer.reset();
}

TWBController* TLiveSession::Controller() const {
    return FConnection ? FConnection->Controller() : nullptr;
}

void TLiveSession::StartDevice() {
    if (FConnection) FConnection->StateChange(TDeviceConnection::eStart);
}

void TLiveSession::EndDevice() {
    FPollTimer->Stop();
    FModeTimer->Stop();
    FScheduler.reset();
    FConnection.reset();
}

bool TLiveSession::SimulationBusy() const {
    TWBController* c = Controller();
    return c && c->SimulationBusy();
}

void TLiveSession::DisplayUpdated(const TDeviceDisplay& d) {
    // offline or bus master: the response list is unloaded (and kept for a
    // reload when the setting says so)
    if (FSlave->Active() && (FStatus.Master() || !FStatus.DeviceOnline())) {
        FSlave->Unload();
        ResponseListChanged();
        RetryResponseDownload();
    }
    // a call list runs only while the device is bus master: a device that
    // is slave again (switched, restarted after a firmware update) ends it
    if (!FStatus.Master() && !ActiveCallList().empty()) DeactivateCallList();
    if (FStatus.Master() != FLastMaster) {
        // the master simulation listens to the captures while the device is
        // bus master
        FLastMaster = FStatus.Master();
        if (FScheduler) FScheduler->Initialise();
    }
    FObserver.DeviceDisplayChanged(d);
}

void TLiveSession::DeviceRestarted() {
    // the master simulation starts afresh after a device restart
    if (FScheduler) FScheduler->Initialise();
    if (!FSlave->Active() && !(FEnv.ReloadResponseList() && !FEnv.LastLoadedResponseList().empty()))
        return;
    // the list is loaded again once the device's restart is dealt with;
    // it needs a recording, as every activation does
    FHandOver.Post([this] {
        if (!FRecording) FObserver.RecordingNeeded();
        const std::string file =
            FSlave->Active() ? FSlave->ActualAntwortliste() : FEnv.LastLoadedResponseList();
        if (ReloadResponseListAfterRestart() == TResponseActivation::Failed)
            FObserver.Message(TSessionMessage::ResponseListReloadFailed, file);
    });
}

bool TLiveSession::SwitchMasterMode() {
    if (!Controller()) return false;
    FObserver.MasterSwitchAsked();
    RequestMode(!FStatus.Master());
    return true;
}

void TLiveSession::RequestMode(bool master) {
    const int mode = master ? 1 : 0;
    if (FMode != mode || !FModeTimer->Running()) FModeTries = 40;
    FMode = mode;
    FModeTimer->Stop();
    TWBController* c = Controller();
    if (!c) return;
    // The controller takes one mode change at a time (the device's restart
    // handling may have one under way): the switch asked for is not lost,
    // it is asked again shortly.
    if (!c->SetMode(mode)) {
        if (FModeTries-- > 0) FModeTimer->Start(kRetryMs);
        return;
    }
    // the device status follows with the next status byte
    FConnection->Send(Cmd::StatusRequest());
}

void TLiveSession::SetPollInterval(int ms) {
    FPollMs = ms;
    if (FPollTimer->Running()) FPollTimer->Start(ms);
}

void TLiveSession::RunPolling(bool run) {
    if (!run)
        FPollTimer->Stop();
    else
        FPollTimer->Start(FPollMs);
}

bool TLiveSession::Polling() const {
    return FPollTimer->Running();
}

bool TLiveSession::Send(const std::string& bytes) {
    return Controller() && FConnection->Send(bytes);
}

void TLiveSession::Shutdown() {
    FRecording = false;
    FSafetyTimer->Stop();
    FScheduler.reset();
    if (FConnection) FConnection->Shutdown();
}

void TLiveSession::CreateScheduler() {
    TMasterScheduler::THooks sh;
    sh.DeviceIsMaster = [this] { return FStatus.Master(); };
    sh.LinkRunning = [this] { return Controller() && FStatus.DeviceOnline(); };
    sh.SendRequest = [this](const std::string& t) {
        ++FSentRequests;
        if (FConnection) FConnection->Send(t);
    };
    sh.MarkLastRowUnanswered = [this] { MarkLastRowUnanswered(); };
    FScheduler = std::make_unique<TMasterScheduler>(FParser, FEnv, FTimers, FClock, sh);
    FScheduler->Initialise();
}

void TLiveSession::StartRecording() {
    if (FRecording) return;
    // a recording starts empty, with a master simulation of its own
    FRecorder->Clear();
    FRecorder->SafetyCopy = FOptions.SafetyCopy;
    FRecorder->AutoWarnings = true;
    CreateScheduler();
    FRecording = true;
    if (FOptions.SafetyCopy) FSafetyTimer->Start(1000);
    FObserver.RecordingStarted();
    if (FConnection) FConnection->UpdateDeviceStatusDisplay();
}

void TLiveSession::ClearRecording() {
    FRecorder->Clear();
}

void TLiveSession::StopRecording() {
    if (!FRecording) return;
    FRecording = false;
    FSafetyTimer->Stop();
    FScheduler.reset();
    // the device stops answering from the recording's response list
    const bool listActive = FSlave->Active();
    if (listActive) {
        FSlave->Unload();
        RetryResponseDownload();
    }
    if (TWBController* c = Controller(); c && !listActive) c->CopyResponseList(TAntwortListe{});
    const std::string last = FEnv.LastLoadedResponseList();
    if (!FEnv.ReloadResponseList() || last.empty() || !std::filesystem::exists(last))
        FEnv.SetLastLoadedResponseList("");
    // the observer hears of it once the caller is done; a playback without
    // a recording sends nothing and ends
    FHandOver.Post([this] {
        StopPlayback();
        FObserver.RecordingStopped();
        FObserver.SimulationChanged(TSimulationKind::CallList, std::string());
        FObserver.SimulationChanged(TSimulationKind::ResponseList, std::string());
        if (FConnection) FConnection->UpdateDeviceStatusDisplay();
    });
}

void TLiveSession::Capture(const TTelegramm& record, char source) {
    if (!FRecording) {
        // the recorder's clock follows the live traffic all the same, so
        // that a read-out starting a recording finds it set
        FRecorder->Observe(record);
        return;
    }
    // the recorder tells the observer of the new row
    FRecorder->CopyTelegramm(record, source, FStatus.Master());
    // the master simulation goes on with the next telegram
    if (FScheduler) FScheduler->Hook(source, record.OwnMaster);
}

void TLiveSession::MarkLastRowUnanswered() {
    FRecorder->MarkLastRowUnanswered();
}

TCallListActivation TLiveSession::ActivateCallList(const std::string& file) {
    if (!FScheduler) return TCallListActivation::Missing;
    const TCallListActivation result = FScheduler->TryActivateCallList(file);
    // the scheduler starts afresh after every switching of a list
    FScheduler->Initialise();
    if (result != TCallListActivation::Missing)
        FObserver.SimulationChanged(TSimulationKind::CallList, ActiveCallList());
    return result;
}

void TLiveSession::DeactivateCallList() {
    if (!FScheduler || FScheduler->ActiveFile().empty()) return;
    FScheduler->DeactivateCallList();
    FScheduler->Initialise();
    FObserver.SimulationChanged(TSimulationKind::CallList, std::string());
}

std::string TLiveSession::ActiveCallList() const {
    return FScheduler ? FScheduler->ActiveFile() : std::string();
}

TResponseActivation TLiveSession::ActivateResponseList(const std::string& file) {
    const TResponseActivation result = FSlave->Activate(file);
    if (result != TResponseActivation::Missing) ResponseListChanged();
    RetryResponseDownload();
    return result;
}

void TLiveSession::DeactivateResponseList() {
    if (!FSlave->Active()) return;
    FSlave->Deactivate();
    ResponseListChanged();
    RetryResponseDownload();
}

std::string TLiveSession::ActiveResponseList() const {
    return FSlave->ActualAntwortliste();
}

TResponseActivation TLiveSession::ReloadResponseListAfterRestart() {
    const TResponseActivation result = FSlave->DeviceRestarted();
    if (result != TResponseActivation::Missing) ResponseListChanged();
    RetryResponseDownload();
    return result;
}

void TLiveSession::ResponseListChanged() {
    FObserver.SimulationChanged(TSimulationKind::ResponseList, ActiveResponseList());
}

void TLiveSession::RetryResponseDownload() {
    // the device's download waits behind an earlier one: tried again shortly
    if (FSlave->DownloadWaiting() && !FDownloadTimer->Running()) FDownloadTimer->Start(kRetryMs);
}

void TLiveSession::RequestSingleCall(const std::string& text) {
    if (FOptions.SingleCalls)
        FOptions.SingleCalls(text);
    else if (FScheduler)
        FScheduler->RequestSingleCall(text);
}

bool TLiveSession::PlaceDirectCall(const std::string& text) {
    return FScheduler && FScheduler->PlaceDirectCall(text);
}

bool TLiveSession::StartPlayback(const TTable& table, TPlayback playback) {
    StopPlayback();
    FPlayback = std::move(playback);
    TProtocolPlayer::THooks h;
    h.SimulationBusy = [this] { return SimulationBusy(); };
    h.MonitorExists = [this] { return FRecording; };
    h.RequestSingleCall = [this](const std::string& text) { RequestSingleCall(text); };
    h.ReformatUandD = [this] { return FEnv.ReformatUandD(); };
    h.SendDelayFactor = [this] {
        const int f = FPlayback.SendDelayFactor ? FPlayback.SendDelayFactor() : 1;
        return f == 0 ? 1 : f;
    };
    FPlayer = std::make_unique<TProtocolPlayer>(table, h);
    FPlayer->Mode = FPlayback.Mode;
    FPlayer->CurrentRow = FPlayback.StartRow;
    FPlaying = true;
    FObserver.PlaybackChanged(FPlayback.File);
    const int interval = FPlayer->Start();
    if (FPlayback.Stepped) FPlayback.Stepped(FPlayer->CurrentRow, FPlayer->SentCount());
    if (interval < 0) {
        EndPlayback();
        return false;
    }
    if (FPlayer->Mode != TProtocolPlayer::smSingle) FPlayTimer->Start(interval);
    return true;
}

void TLiveSession::PlaybackStep() {
    // the timer is a one-shot that each step sets again
    FPlayTimer->Stop();
    if (!FPlaying) return;
    const int interval = FPlayer->Step();
    if (FPlayback.Stepped) FPlayback.Stepped(FPlayer->CurrentRow, FPlayer->SentCount());
    if (interval < 0)
        EndPlayback();
    else
        FPlayTimer->Start(interval);
}

void TLiveSession::StopPlayback() {
    if (!FPlaying) return;
    FPlayer->Stop();
    EndPlayback();
}

void TLiveSession::EndPlayback() {
    FPlayTimer->Stop();
    if (!FPlaying) return;
    FPlaying = false;
    FObserver.PlaybackChanged(std::string());
}

TAutonomousDisplay TLiveSession::AutonomousDisplay() const {
    return FConnection ? FConnection->AutonomousDisplay() : TAutonomousDisplay{};
}

bool TLiveSession::SendAutonomous(const std::string& command) {
    return Controller() && FConnection->Send(command);
}

} // namespace vaskel
