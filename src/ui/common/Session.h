#pragma once
// TSession: the desktop's face of the live session. One per program run,
// created before the main window and handed by reference to every window.
// The run itself, with all its rules, is the engine's TLiveSession
// (session/LiveSession.h); this adapter gives it Qt's timers, clock and
// main-thread hand-over, turns what it observes into signals, and keeps
// what only the desktop has: the settings and the catalogue the windows
// share, the communication windows' feeds, the filter notice.

#include "link/DeviceStatus.h"
#include "link/UsbTransport.h"
#include "platform/QtHandOver.h"
#include "recording/Recorder.h"
#include "session/LiveSession.h"
#include "session/SessionObserver.h"
#include "shell/Environment.h"
#include "simulation/Scheduler.h"
#include "simulation/SlaveSimulation.h"
#include "telegram/TelegramParser.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>

namespace vaskel {

class TSession : public QObject {
    Q_OBJECT

public:
    struct TOptions {
        // Creates the link to the device (the USB transport, on the real
        // libusb or on the virtual Tavrin); none: no device at all.
        std::function<std::unique_ptr<IDeviceLink>(IMainThreadHandOver&)> CreateLink;
        // Where the device link's trace lines and its information sound go
        // (any thread may trace; the sound is made on the main thread).
        // Absent: the platform's debug output and the desktop's beep.
        std::function<void(const std::string&)> Trace;
        std::function<void()> Beep;
        // Where single calls go instead of the master simulation (tests).
        std::function<void(const std::string&)> SingleCalls;
    };

    TSession(TEnvironment& env, TIBISTelegramParser& parser, TOptions options = {});
    ~TSession() override;

    // The live run itself.
    TLiveSession& Live() { return *FLive; }
    const TLiveSession& Live() const { return *FLive; }

    TEnvironment& Env() { return FEnv; }
    const TIBISTelegramParser& Parser() const { return FParser; }
    // Loads the catalogue file again (the record-type editor saved it): the
    // recorder, the simulation and every window classify by it from now
    // on. On failure the catalogue in force stays and the error is thrown.
    void ReloadCatalogue();

    // --- the device (see TLiveSession)
    TDeviceStatus& Status() { return FLive->Status(); }
    // The connection to the device; gone after EndDevice.
    TDeviceConnection& Connection() { return *FLive->Connection(); }
    TWBController* Controller() { return FLive->Controller(); }
    void StartDevice() { FLive->StartDevice(); }
    void EndDevice() { FLive->EndDevice(); }
    bool LinkOpen() const { return FLive->Controller() != nullptr; }
    bool SimulationBusy() { return FLive->SimulationBusy(); }
    bool SwitchMasterMode() { return FLive->SwitchMasterMode(); }
    void Shutdown() { FLive->Shutdown(); }

    // --- the live recording (while the monitor is open)
    bool Recording() const { return FLive->Recording(); }
    void StartRecording() { FLive->StartRecording(); }
    void StopRecording() { FLive->StopRecording(); }
    void ClearRecording() { FLive->ClearRecording(); }
    TRecorder& Recorder() { return FLive->Recorder(); }
    TMasterScheduler* Scheduler() { return FLive->Scheduler(); }
    void Capture(const TTelegramm& record, char source) { FLive->Capture(record, source); }

    // --- the active lists (see TLiveSession)
    TCallListActivation ActivateCallList(const std::string& file) {
        return FLive->ActivateCallList(file);
    }
    void DeactivateCallList() { FLive->DeactivateCallList(); }
    std::string ActiveCallList() const { return FLive->ActiveCallList(); }
    TResponseActivation ActivateResponseList(const std::string& file) {
        return FLive->ActivateResponseList(file);
    }
    void DeactivateResponseList() { FLive->DeactivateResponseList(); }
    std::string ActiveResponseList() const { return FLive->ActiveResponseList(); }
    TSlaveSimulation& Slave() { return FLive->Slave(); }

    // --- sending
    bool PlaceDirectCall(const std::string& text) { return FLive->PlaceDirectCall(text); }
    // Every playback stops (another one is to start).
    void StopAllPlayback() { FLive->StopPlayback(); }

    // --- the communication windows: what the device link says reaches them
    // on the main thread, and only while one of them listens (each window
    // counts itself in while it is open)
    void WatchTraffic(bool on) { FTrafficWatchers += on ? 1 : -1; }
    void WatchDebug(bool on) { FDebugWatchers += on ? 1 : -1; }
    void WatchDeviceMessages(bool on) { FMessageWatchers += on ? 1 : -1; }
    // Any thread: a trace line for the debug window, a progress line for
    // the device-message window (the firmware upload's).
    void PostDebugLine(const std::string& line);
    void PostDeviceMessage(const std::string& line);

    // --- autonomous recording: the device's commands (nothing without a
    // controller); the panel follows AutonomousChanged
    TAutonomousDisplay AutonomousDisplay() const { return FLive->AutonomousDisplay(); }
    bool SendAutonomous(const std::string& command) { return FLive->SendAutonomous(command); }

    // --- the filter choice changed (the filter window): windows apply it again
    void NotifyFilterChanged() { emit FilterChanged(); }

    // --- the firmware upload's lines: for the device-message window, and
    // for the debug window (they go to the device trace too)
    void ReportUploadMessage(const std::string& line);
    void ReportUploadDebugLine(const std::string& line);

signals:
    // The device-related controls are to be refreshed.
    void DisplayChanged(const TDeviceDisplay& display);
    // The one-second tick of the device polling.
    void Tick();
    // The monitor's table has grown by a row / a row's answer changed.
    void RowAppended(int row);
    void RowChanged(int row);
    void RecordingStarted();
    void RecordingStopped();
    // The device restarted with a response list to reload and nothing
    // records: the monitor is to open (it starts the recording).
    void RecordingNeeded();
    // The protocol played back changed (empty: none).
    void PlaybackChanged(const QString& file);
    void FilterChanged();
    void CatalogueReloaded();
    // A mode switch was asked for (the hint at the switch button).
    void MasterSwitchAsked();
    // The active call list changed (empty: none).
    void CallListChanged(const QString& file);
    // The active response list changed (empty: none).
    void ResponseListChanged(const QString& file);
    // A note for the user (the safety copy cannot be written).
    void UserMessage(const QString& text);
    // The list active or remembered could not be loaded again after a
    // device restart.
    void ResponseListReloadFailed();
    // Bytes written to the device (toDevice) or received from it, with the
    // time of day they passed; only while the traffic window is open.
    void TrafficLogged(bool toDevice, const QByteArray& bytes, qint64 msOfDay);
    void DebugLine(const QString& line);
    void DeviceMessage(const QString& line);
    // What is known of autonomous recording, or the device's state, changed.
    void AutonomousChanged();
    // The device replied to an upload request (a TUploadReplyStatus).
    void UploadReplyReceived(int reply);
    // The firmware upload's lines (see ReportUploadMessage).
    void UploadMessage(const QString& line);
    void UploadDebugLine(const QString& line);

private:
    void DeviceTrace(const std::string& line);
    void DeviceBeep() const;


    TEnvironment& FEnv;
    TIBISTelegramParser& FParser;
    TOptions FOptions;
    TQtHandOver FHandOver;
    TQtTimerFactory FTimers;
    TSystemClock FClock;
    std::atomic<int> FTrafficWatchers{0}, FDebugWatchers{0}, FMessageWatchers{0};
    // the engine's notices become signals
    class TObserver;
    std::unique_ptr<TObserver> FObserver;
    // last: its controller hands over through the members above
    std::unique_ptr<TLiveSession> FLive;
};

} // namespace vaskel
