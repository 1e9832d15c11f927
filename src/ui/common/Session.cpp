#include "ui/common/Session.h"

#include "link/DeviceProtocol.h"
#include "platform/QtDebugOutput.h"
#include "platform/QtText.h"
#include "shell/Timers.h"
#include "ui/common/Texts.h"

#include <QApplication>
#include <QFile>
#include <QTimer>

#include <chrono>
#include <filesystem>

namespace vaskel {

TSession::TSession(TEnvironment& env, TIBISTelegramParser& parser, TOptions options)
    : FEnv(env), FParser(parser), FOptions(std::move(options)), FHandOver(this) {
    FComTimer = new QTimer(this);
    FComTimer->setInterval(1000);
    connect(FComTimer, &QTimer::timeout, this, [this] {
        if (FConnection) FConnection->StateChange(TDeviceConnection::eTimer);
        emit Tick();
    });
    FSafetyTimer = new QTimer(this);
    connect(FSafetyTimer, &QTimer::timeout, this, [this] { FRecorder->SafetyTick(); });

    TSlaveSimulation::THooks slh;
    slh.Download = [this](const TAntwortListe& list) {
        TWBController* c = Controller();
        return !c || c->CopyResponseList(list);
    };
    slh.SwitchDevice = [this](bool on) {
        if (FConnection && Controller()) FConnection->Send(Cmd::SlaveSimulation(on));
    };
    FSlave = std::make_unique<TSlaveSimulation>(FEnv, slh);

    TDeviceConnection::THooks hooks;
    hooks.CreateController = [this]() -> std::unique_ptr<TWBController> {
        if (!FOptions.CreateLink) return nullptr;
        try {
            // The controller hands trace and beep on to its link.
            TControllerHooks ch;
            ch.Trace = [this](const std::string& s) { DeviceTrace(s); };
            ch.Beep = [this] { FHandOver.Post([this] { DeviceBeep(); }); };
            // the traffic window: sent bytes come from the controller's
            // thread, received ones from the link; both reach it on the main
            // thread, stamped when they passed
            ch.Traffic = [this](bool toDevice, std::string_view bytes) {
                if (FTrafficWatchers.load() <= 0) return;
                const qint64 ms = TSystemClock().Now().MsOfDay();
                FHandOver.Post([this, toDevice, ms,
                                b = QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()))] {
                    emit TrafficLogged(toDevice, b, ms);
                });
            };
            return std::make_unique<TWBController>(
                FOptions.CreateLink(FHandOver), FHandOver,
                [this](const TControllerNotification& n) { FConnection->HandleNotification(n); },
                ch);
        } catch (const std::exception&) {
            return nullptr;
        }
    };
    hooks.UpdateDisplay = [this](const TDeviceDisplay& d) {
        // offline or bus master: the response list is unloaded (and kept
        // for a reload when the setting says so)
        if (FSlave->Active() && (FStatus.Master() || !FStatus.DeviceOnline())) {
            FSlave->Unload();
            EmitResponseListChanged();
            RetryResponseDownload();
        }
        if (FStatus.Master() != FLastMaster) {
            // the master simulation listens to the captures while the device
            // is bus master
            FLastMaster = FStatus.Master();
            if (FScheduler) FScheduler->Initialise();
        }
        emit DisplayChanged(d);
    };
    hooks.ComTimer = [this](bool run) {
        if (run)
            FComTimer->start();
        else
            FComTimer->stop();
    };
    hooks.Beep = [this] { DeviceBeep(); };
    hooks.NowMs = [] {
        return static_cast<int64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                        std::chrono::steady_clock::now().time_since_epoch())
                                        .count());
    };
    hooks.MonitorOpen = [this] { return FRecording; };
    hooks.DeviceRestarted = [this] {
        // the master simulation starts afresh after a device restart
        if (FScheduler) FScheduler->Initialise();
        if (FSlave->Active() ||
            (FEnv.ReloadResponseList() && !FEnv.LastLoadedResponseList().empty()))
            QMetaObject::invokeMethod(
                this, [this] { emit ResponseListReloadRequested(); }, Qt::QueuedConnection);
    };
    hooks.Capture = [this](const TTelegramm& record, char source) { Capture(record, source); };
    hooks.AutonomousChanged = [this] { emit AutonomousChanged(); };
    hooks.UploadReply = [this](TUploadReplyStatus reply) {
        emit UploadReplyReceived(static_cast<int>(reply));
    };

    // One recorder for the whole run: windows may keep its table.
    TRecorder::THooks rh;
    rh.NowMsOfDay = [] { return TSystemClock().Now().MsOfDay(); };
    // the recorder's trace lines go where the link's go
    rh.Trace = [this](const std::string& s) { DeviceTrace(s); };
    rh.SafetyCopyFailed = [this](const std::string& why) {
        emit StatusMessageRequested(Tr("Die Sicherungskopie kann nicht geschrieben werden:") +
                                    QStringLiteral(" ") + FromCp1252(why));
    };
    rh.StopSlaveTimeout = [this] {
        if (FScheduler) FScheduler->StopSlaveTimeout();
    };
    rh.StopMasterTimeout = [this] {
        if (FScheduler) FScheduler->StopMasterTimeout();
    };
    FRecorder = std::make_unique<TRecorder>(FParser, FEnv, rh);
    FConnection = std::make_unique<TDeviceConnection>(FEnv, FStatus, hooks);
}

void TSession::DeviceTrace(const std::string& line) {
    if (FOptions.Trace)
        FOptions.Trace(line);
    else
        DebugOutput(line);
    PostDebugLine(line);
}

void TSession::PostDebugLine(const std::string& line) {
    if (FDebugWatchers.load() <= 0) return;
    FHandOver.Post([this, l = FromCp1252(line)] { emit DebugLine(l); });
}

void TSession::PostDeviceMessage(const std::string& line) {
    if (FMessageWatchers.load() <= 0) return;
    FHandOver.Post([this, l = FromCp1252(line)] { emit DeviceMessage(l); });
}

TAutonomousDisplay TSession::AutonomousDisplay() const {
    return FConnection ? FConnection->AutonomousDisplay() : TAutonomousDisplay{};
}

bool TSession::SendAutonomous(const std::string& command) {
    return FConnection && FConnection->Controller() && FConnection->Send(command);
}

void TSession::DeviceBeep() const {
    if (FOptions.Beep)
        FOptions.Beep();
    else
        QApplication::beep();
}

void TSession::ReloadCatalogue() {
    FParser.Reload();
    emit CatalogueReloaded();
}

void TSession::ReportUploadMessage(const std::string& line) {
    PostDeviceMessage(line);
    emit UploadMessage(FromCp1252(line));
}

void TSession::ReportUploadDebugLine(const std::string& line) {
    DeviceTrace(line);
    emit UploadDebugLine(FromCp1252(line));
}

TSession::~TSession() {
    // the controller's thread ends before the members it hands over to
    EndDevice();
}

void TSession::StartDevice() {
    if (FConnection) FConnection->StateChange(TDeviceConnection::eStart);
}

void TSession::EndDevice() {
    FComTimer->stop();
    FScheduler.reset();
    FConnection.reset();
}

TWBController* TSession::Controller() {
    return FConnection ? FConnection->Controller() : nullptr;
}

bool TSession::LinkOpen() const {
    return FConnection && FConnection->Controller() != nullptr;
}

bool TSession::SimulationBusy() {
    return Controller() && Controller()->SimulationBusy();
}

bool TSession::SwitchMasterMode() {
    if (!Controller()) return false;
    emit MasterSwitchRequested();
    RequestMode(FStatus.Master() ? 0 : 1, 40);
    return true;
}

void TSession::RequestMode(int mode, int triesLeft) {
    if (!Controller()) return;
    // The controller takes one mode change at a time (the device's restart
    // handling may have one under way): the switch asked for is not lost,
    // it is asked again shortly.
    if (!Controller()->SetMode(mode)) {
        if (triesLeft > 0)
            QTimer::singleShot(25, this,
                               [this, mode, triesLeft] { RequestMode(mode, triesLeft - 1); });
        return;
    }
    // The device status follows with the next status byte.
    FConnection->Send(Cmd::StatusRequest());
}

void TSession::Shutdown() {
    FRecording = false;
    FSafetyTimer->stop();
    FScheduler.reset();
    if (FConnection) FConnection->Shutdown();
}

void TSession::CreateScheduler() {
    TMasterScheduler::THooks sh;
    sh.DeviceIsMaster = [this] { return FStatus.Master(); };
    sh.LinkRunning = [this] { return Controller() && FStatus.DeviceOnline(); };
    sh.SendRequest = [this](const std::string& t) {
        if (FConnection) FConnection->Send(t);
    };
    sh.MarkLastRowUnanswered = [this] { MarkLastRowUnanswered(); };
    FScheduler = std::make_unique<TMasterScheduler>(FParser, FEnv, FTimers, FClock, sh);
    FScheduler->Initialise();
}

void TSession::StartRecording() {
    if (FRecording) return;
    // a recording starts empty, with a master simulation of its own
    FRecorder->Clear();
    FRecorder->SafetyCopy = true;
    FRecorder->AutoWarnings = true;
    CreateScheduler();
    FRecording = true;
    FSafetyTimer->start(1000);
    emit RecordingStarted();
    if (FConnection) FConnection->UpdateDeviceStatusDisplay();
}

void TSession::ClearRecording() {
    FRecorder->Clear();
}

void TSession::StopRecording() {
    if (!FRecording) return;
    FRecording = false;
    FSafetyTimer->stop();
    FScheduler.reset();
    // the device stops answering from the monitor's response list
    const bool listActive = FSlave->Active();
    if (listActive) {
        FSlave->Unload();
        RetryResponseDownload();
    }
    if (TWBController* c = Controller(); c && !listActive) c->CopyResponseList(TAntwortListe{});
    const std::string last = FEnv.LastLoadedResponseList();
    if (!FEnv.ReloadResponseList() || last.empty() || !std::filesystem::exists(last))
        FEnv.SetLastLoadedResponseList("");
    // the windows hear of it once the monitor is gone ("Aufzeichnen" is
    // enabled again, a playback without monitor ends)
    QMetaObject::invokeMethod(
        this,
        [this] {
            emit RecordingStopped();
            emit CallListChanged(QString());
            emit ResponseListChanged(QString());
            if (FConnection) FConnection->UpdateDeviceStatusDisplay();
        },
        Qt::QueuedConnection);
}

void TSession::Capture(const TTelegramm& record, char source) {
    if (!FRecording) {
        // the recorder's clock follows the live traffic all the same, so
        // that a read-out opening the monitor finds it set
        FRecorder->Observe(record);
        return;
    }
    FRecorder->CopyTelegramm(record, source, FStatus.Master());
    emit RowAppended(FRecorder->RowCounter() - 1);
    // the master simulation goes on with the next telegram
    if (FScheduler) FScheduler->Hook(source, record.OwnMaster);
}

void TSession::MarkLastRowUnanswered() {
    const int row = FRecorder->MarkLastRowUnanswered();
    if (row >= 0) emit RowChanged(row);
}

TCallListActivation TSession::ActivateCallList(const std::string& file) {
    if (!FScheduler) return TCallListActivation::Missing;
    const TCallListActivation result = FScheduler->TryActivateCallList(file);
    // the windows refresh after every switching of a list: the scheduler
    // starts afresh with them
    FScheduler->Initialise();
    if (result != TCallListActivation::Missing)
        emit CallListChanged(QFile::decodeName(QByteArray::fromStdString(ActiveCallList())));
    return result;
}

void TSession::DeactivateCallList() {
    if (!FScheduler || FScheduler->ActiveFile().empty()) return;
    FScheduler->DeactivateCallList();
    FScheduler->Initialise();
    emit CallListChanged(QString());
}

std::string TSession::ActiveCallList() const {
    return FScheduler ? FScheduler->ActiveFile() : std::string();
}

TResponseActivation TSession::ActivateResponseList(const std::string& file) {
    const TResponseActivation result = FSlave->Activate(file);
    if (result != TResponseActivation::Missing) EmitResponseListChanged();
    RetryResponseDownload();
    return result;
}

void TSession::DeactivateResponseList() {
    if (!FSlave->Active()) return;
    FSlave->Deactivate();
    EmitResponseListChanged();
    RetryResponseDownload();
}

TResponseActivation TSession::ReloadResponseListAfterRestart() {
    const TResponseActivation result = FSlave->DeviceRestarted();
    if (result != TResponseActivation::Missing) EmitResponseListChanged();
    RetryResponseDownload();
    return result;
}

void TSession::EmitResponseListChanged() {
    emit ResponseListChanged(QFile::decodeName(QByteArray::fromStdString(ActiveResponseList())));
}

void TSession::RetryResponseDownload() {
    if (!FSlave->DownloadWaiting()) return;
    QTimer::singleShot(25, this, [this] {
        FSlave->RetryDownload();
        RetryResponseDownload();
    });
}

void TSession::RequestSingleCall(const std::string& text) {
    if (FScheduler) FScheduler->RequestSingleCall(text);
}

bool TSession::PlaceDirectCall(const std::string& text) {
    return FScheduler && FScheduler->PlaceDirectCall(text);
}

void TSession::SetPlayback(const QObject* owner, const QString& file) {
    FPlaybackOwner = owner;
    emit PlaybackChanged(file);
}

} // namespace vaskel
