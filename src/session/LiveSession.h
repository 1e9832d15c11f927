#pragma once
// TLiveSession: one live run on a device. It owns the device connection
// (with its controller), the one recorder of the run, the master scheduler
// while something records, the slave simulation, the protocol played back
// and the single calls, and it holds the rules of the run:
//  - every captured telegram goes to the recorder, then to the scheduler;
//    while nothing records the recorder only follows it with its clock;
//  - an active response list is unloaded when the device goes offline or
//    becomes bus master, and reloaded after a device restart;
//  - one protocol plays back at a time;
//  - what ends with the recording: the master simulation, the device's
//    answers from the response list.
// Time comes from the timer seam, work of the controller's thread through
// the main-thread hand-over; the outside world hears of everything through
// one ISessionObserver. The desktop program's TSession and the command
// line's bus-time simulation run this same object.

#include "link/DeviceLink.h"
#include "link/DeviceStatus.h"
#include "recording/Recorder.h"
#include "recording/Table.h"
#include "session/SessionObserver.h"
#include "shell/Environment.h"
#include "shell/HandOver.h"
#include "shell/Timers.h"
#include "simulation/ProtocolPlayer.h"
#include "simulation/Scheduler.h"
#include "simulation/SlaveSimulation.h"
#include "telegram/TelegramParser.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace vaskel {

class TLiveSession {
public:
    struct TOptions {
        // Creates the link to the device; none: no device at all.
        std::function<std::unique_ptr<IDeviceLink>()> CreateLink;
        // false: the controller runs no thread of its own; its owner does
        // the thread's work (ProcessThreadMessages) and the link is opened
        // at once.
        bool ControllerThread = true;
        // Where the link's trace lines, its information sound and the bytes
        // that pass go (any thread; the sound on the main thread).
        std::function<void(const std::string&)> Trace;
        std::function<void()> Beep;
        std::function<void(bool toDevice, std::string_view bytes)> Traffic;
        // Milliseconds of a steady clock (the device's silence);
        // absent: every polling tick counts as a second.
        std::function<int64_t()> SteadyMs;
        // The recording keeps a safety copy in the data folder.
        bool SafetyCopy = true;
        // Where single calls go instead of the master simulation (tests
        // that keep what a playback sends).
        std::function<void(const std::string&)> SingleCalls;
    };

    // Tried again this often: a mode switch the controller cannot take yet,
    // a response list's download waiting behind an earlier one.
    static constexpr int kRetryMs = 25;
    static constexpr int kPollMs = 1000;

    TLiveSession(TEnvironment& env, const TIBISTelegramParser& parser, IMainThreadHandOver& handOver,
                 ITimerFactory& timers, const IClock& clock, ISessionObserver& observer,
                 TOptions options);
    ~TLiveSession();
    TLiveSession(const TLiveSession&) = delete;
    TLiveSession& operator=(const TLiveSession&) = delete;

    // --- the device
    TDeviceStatus& Status() { return FStatus; }
    const TDeviceStatus& Status() const { return FStatus; }
    // The connection; null after EndDevice.
    TDeviceConnection* Connection() { return FConnection.get(); }
    TWBController* Controller() const;
    // Starts the connection: the controller and the polling.
    void StartDevice();
    // Ends the connection and its controller thread.
    void EndDevice();
    bool SimulationBusy() const;
    // Asks the device for the other mode; the status follows with the next
    // status byte. False without a controller.
    bool SwitchMasterMode();
    // Asks for master (true) or slave mode; asked again shortly while the
    // controller is busy with another mode change.
    void RequestMode(bool master);
    // The device's polling: its interval (kept while it is stopped, as the
    // connection starts and stops it) and whether it runs.
    void SetPollInterval(int ms);
    int PollInterval() const { return FPollMs; }
    void RunPolling(bool run);
    bool Polling() const;
    // Sends bytes to the device through the controller's send ring; false
    // without a controller or when the ring is full.
    bool Send(const std::string& bytes);
    // Program end: the device's list cleared, slave mode, polling stops.
    void Shutdown();

    // --- the recording
    bool Recording() const { return FRecording; }
    // Empties the recorder and starts the master simulation (once; a running
    // recording goes on).
    void StartRecording();
    // The recording ends: the master simulation ends, the device stops
    // answering from the response list; the observer hears of it after the
    // caller is done (the desktop's monitor is being destroyed).
    void StopRecording();
    void ClearRecording();
    TRecorder& Recorder() { return *FRecorder; }
    const TRecorder& Recorder() const { return *FRecorder; }
    // The master simulation; null while nothing records.
    TMasterScheduler* Scheduler() { return FScheduler.get(); }
    // One captured telegram ('M' or 'S'): recorded, then the master
    // simulation goes on.
    void Capture(const TTelegramm& record, char source);
    // Telegrams the master simulation handed to the device.
    uint64_t SentRequests() const { return FSentRequests; }

    // --- the active call list (while something records)
    // Missing while nothing records.
    TCallListActivation ActivateCallList(const std::string& file);
    void DeactivateCallList();
    std::string ActiveCallList() const;

    // --- the active response list
    TResponseActivation ActivateResponseList(const std::string& file);
    // Switched off by hand: not reloaded after a device restart.
    void DeactivateResponseList();
    std::string ActiveResponseList() const;
    TSlaveSimulation& Slave() { return *FSlave; }
    // The device restarted: the list active or remembered is loaded again.
    TResponseActivation ReloadResponseListAfterRestart();

    // --- sending
    // A single call (sent at once by the master simulation).
    void RequestSingleCall(const std::string& text);
    // A single call of the direct input; false when not placed.
    bool PlaceDirectCall(const std::string& text);

    // --- the protocol played back, one at a time
    struct TPlayback {
        const void* Owner = nullptr; // who plays (a window); compared only
        std::string File;
        TProtocolPlayer::TMode Mode = TProtocolPlayer::smOnce;
        int StartRow = 0;
        // the send delay's factor, asked at every step (never 0)
        std::function<int()> SendDelayFactor;
        // each row sent: the row to be sent next and the count so far
        std::function<void(int row, int sent)> Stepped;
    };
    // Starts playing table (which must outlive the playback) back; another
    // playback stops first. False when it ended at once.
    bool StartPlayback(const TTable& table, TPlayback playback);
    void StopPlayback();
    const void* PlaybackOwner() const { return FPlaying ? FPlayback.Owner : nullptr; }
    const TProtocolPlayer* Player() const { return FPlayer.get(); }

    // --- autonomous recording (nothing without a controller)
    TAutonomousDisplay AutonomousDisplay() const;
    bool SendAutonomous(const std::string& command);

private:
    void CreateScheduler();
    void DisplayUpdated(const TDeviceDisplay& display);
    void DeviceRestarted();
    void MarkLastRowUnanswered();
    void ResponseListChanged();
    void RetryResponseDownload();
    void PlaybackStep();
    void EndPlayback();

    TEnvironment& FEnv;
    const TIBISTelegramParser& FParser;
    IMainThreadHandOver& FHandOver;
    ITimerFactory& FTimers;
    const IClock& FClock;
    ISessionObserver& FObserver;
    TOptions FOptions;
    TDeviceStatus FStatus;
    std::unique_ptr<ITimer> FPollTimer, FSafetyTimer, FModeTimer, FDownloadTimer, FPlayTimer;
    int FPollMs = kPollMs;
    int FModeTries = 0;
    int FMode = 0;
    std::unique_ptr<TRecorder> FRecorder;
    std::unique_ptr<TMasterScheduler> FScheduler;
    std::unique_ptr<TSlaveSimulation> FSlave;
    std::unique_ptr<TProtocolPlayer> FPlayer;
    TPlayback FPlayback;
    bool FPlaying = false;
    bool FRecording = false;
    bool FLastMaster = false;
    uint64_t FSentRequests = 0;
    // last: its controller hands over through the members above
    std::unique_ptr<TDeviceConnection> FConnection;
};

} // namespace vaskel
