#pragma once
// TSession: one per program run, created before the main window and handed
// by reference to every window. It holds what the windows share: the
// settings, the catalogue, the device status and connection (with the
// controller), the recorder, the master simulation while the live monitor
// records, the protocol being played back, and the filter choice.
// Windows observe it through its signals instead of calling each other.

#include "link/DeviceStatus.h"
#include "link/UsbTransport.h"
#include "platform/QtHandOver.h"
#include "recording/Recorder.h"
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

class QTimer;

namespace vaskel {

class TActionTable;

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
    };

    TSession(TEnvironment& env, TIBISTelegramParser& parser, TOptions options = {});
    ~TSession() override;

    TEnvironment& Env() { return FEnv; }
    // The program's actions, for the menus and buttons of every window
    // (null while no main window exists).
    const TActionTable* Actions() const { return FActions; }
    void SetActions(const TActionTable* actions) { FActions = actions; }
    const TIBISTelegramParser& Parser() const { return FParser; }
    // Loads the catalogue file again (the record-type editor saved it): the
    // recorder, the simulation and every window classify by it from now
    // on. On failure the catalogue in force stays and the error is thrown.
    void ReloadCatalogue();

    // --- the device
    TDeviceStatus& Status() { return FStatus; }
    // The connection to the device; gone after EndDevice.
    TDeviceConnection& Connection() { return *FConnection; }
    TWBController* Controller();
    // Starts the connection: the controller and the one-second polling.
    void StartDevice();
    // Ends the connection and its controller thread (the main window goes:
    // nothing of the device runs while the windows are destroyed).
    void EndDevice();
    // A controller exists (the error analysis names the expected check byte).
    bool LinkOpen() const;
    bool SimulationBusy();
    // Asks the device for the other mode; the status follows with the next
    // status byte. False without a controller.
    bool SwitchMasterMode();
    // The device's one-second polling (faster while waiting for a mode).
    QTimer* PollTimer() const { return FComTimer; }
    // Program end: clears the device's list, slave mode, polling stops.
    void Shutdown();

    // --- the live recording (while the monitor is open)
    bool Recording() const { return FRecording; }
    // Empties the recorder and starts the master simulation (once; a
    // running recording goes on).
    void StartRecording();
    // The monitor is gone: the master simulation ends, the device stops
    // answering from the response list.
    void StopRecording();
    // Empties the recording (the monitor's "Löschen").
    void ClearRecording();
    // One recorder for the whole run.
    TRecorder& Recorder() { return *FRecorder; }
    // The master simulation: call lists and single calls, sent while the
    // device is bus master; null while nothing records.
    TMasterScheduler* Scheduler() { return FScheduler.get(); }
    // One captured telegram ('M' or 'S'): recorded, then the master
    // simulation goes on.
    void Capture(const TTelegramm& record, char source);

    // --- the active call list (the master simulation, while the monitor
    // records)
    // Loads and starts a call list in the scheduler (another one active
    // before is replaced); without a monitor nothing is activated (Missing).
    TCallListActivation ActivateCallList(const std::string& file);
    void DeactivateCallList();
    // The active call list's file; empty when none or when nothing records.
    std::string ActiveCallList() const;
    // A window asks the main window to activate (with its messages) or to
    // switch off the master simulation.
    void RequestCallListActivation(const QString& file) { emit CallListActivationRequested(file); }
    void RequestMasterSimulationSwitch() { emit MasterSimulationSwitchRequested(); }
    // A short note in the main window's status bar.
    void ShowStatusMessage(const QString& text) { emit StatusMessageRequested(text); }

    // --- the active response list (the slave simulation)
    // Loads, checks and downloads a list and switches the device's
    // simulation on (another one active before is replaced).
    TResponseActivation ActivateResponseList(const std::string& file);
    // Switched off by hand: not reloaded after a device restart.
    void DeactivateResponseList();
    // The active response list's file; empty when none.
    std::string ActiveResponseList() const { return FSlave->ActualAntwortliste(); }
    TSlaveSimulation& Slave() { return *FSlave; }
    // The device restarted and a list is active or remembered: the main
    // window reloads it (opening the monitor first).
    TResponseActivation ReloadResponseListAfterRestart();
    void RequestResponseListActivation(const QString& file) {
        emit ResponseListActivationRequested(file);
    }
    void RequestSlaveSimulationSwitch() { emit SlaveSimulationSwitchRequested(); }

    // --- sending
    // A single call of a protocol playback (sent at once by the scheduler).
    virtual void RequestSingleCall(const std::string& text);
    // A single call of the direct input; false when not placed.
    bool PlaceDirectCall(const std::string& text);

    // --- the protocol played back (one at a time)
    // The window that sends (null: none) and its file.
    const QObject* PlaybackOwner() const { return FPlaybackOwner; }
    void SetPlayback(const QObject* owner, const QString& file);
    // Every playback stops (another one is to start).
    void StopAllPlayback() { emit StopPlaybackRequested(); }

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
    TAutonomousDisplay AutonomousDisplay() const;
    bool SendAutonomous(const std::string& command);

    // --- the filter choice changed (the filter window): windows apply it again
    void NotifyFilterChanged() { emit FilterChanged(); }

    // --- the firmware upload's lines: for the device-message window, and
    // for the debug window (they go to the device trace too)
    void ReportUploadMessage(const std::string& line);
    void ReportUploadDebugLine(const std::string& line);

    // --- requests a window cannot fulfil itself
    // tiled: the monitor is placed beside an opened protocol.
    void RequestMonitor(bool tiled) { emit MonitorRequested(tiled); }
    void RequestSendDelayTip() { emit SendDelayTipRequested(); }

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
    // The protocol played back changed (empty: none).
    void PlaybackChanged(const QString& file);
    void StopPlaybackRequested();
    void FilterChanged();
    void CatalogueReloaded();
    void MonitorRequested(bool tiled);
    void SendDelayTipRequested();
    // A mode switch was asked for (the hint at the switch button).
    void MasterSwitchRequested();
    // The active call list changed (empty: none).
    void CallListChanged(const QString& file);
    void CallListActivationRequested(const QString& file);
    void MasterSimulationSwitchRequested();
    void StatusMessageRequested(const QString& text);
    // The active response list changed (empty: none).
    void ResponseListChanged(const QString& file);
    void ResponseListActivationRequested(const QString& file);
    void SlaveSimulationSwitchRequested();
    // A list is to be reloaded after a device restart.
    void ResponseListReloadRequested();
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
    // Asks the controller for the mode, again a little later while it is
    // busy with another mode change.
    void RequestMode(int mode, int triesLeft);
    void MarkLastRowUnanswered();
    void CreateScheduler();
    void DeviceTrace(const std::string& line);
    void DeviceBeep() const;
    void EmitResponseListChanged();
    // The device's download waits behind an earlier one: tried again shortly.
    void RetryResponseDownload();

    TEnvironment& FEnv;
    TIBISTelegramParser& FParser;
    TOptions FOptions;
    TQtHandOver FHandOver;
    TQtTimerFactory FTimers;
    TSystemClock FClock;
    TDeviceStatus FStatus;
    QTimer* FComTimer = nullptr;
    QTimer* FSafetyTimer = nullptr;
    std::unique_ptr<TRecorder> FRecorder;
    std::unique_ptr<TMasterScheduler> FScheduler;
    std::unique_ptr<TSlaveSimulation> FSlave;
    bool FRecording = false;
    bool FLastMaster = false;
    const QObject* FPlaybackOwner = nullptr;
    const TActionTable* FActions = nullptr;
    std::atomic<int> FTrafficWatchers{0}, FDebugWatchers{0}, FMessageWatchers{0};
    // last: its controller hands over through the members above
    std::unique_ptr<TDeviceConnection> FConnection;
};

} // namespace vaskel
