#pragma once
// A live session on the virtual Tavrin, on bus time: the desktop program's
// TLiveSession whose USB transport is replaced by a direct link to the
// virtual device and whose timers run on a manual clock, so that an hour of
// bus time runs in seconds and the same seed gives the same protocol.
// `vaskel-cli simulate` and `firmware upload`, the benchmarks and the
// engine's end-to-end tests run on it.

#include "emulator/VirtualTavrin.h"
#include "session/LiveSession.h"
#include "session/SessionObserver.h"
#include "shell/HandOver.h"
#include "shell/Timers.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace vaskel {

class TBusTimeSession : private ISessionObserver {
public:
    // start: the PC clock at the start (the protocol's times, the clock
    // and date telegrams). observer: who else hears of the session (none:
    // nobody). The recording runs from the start, without a safety copy.
    TBusTimeSession(const TIBISTelegramParser& parser, TEnvironment& env, TEmulatorOptions device,
                    TDateTime start, ISessionObserver* observer = nullptr);
    ~TBusTimeSession() override;
    TBusTimeSession(const TBusTimeSession&) = delete;
    TBusTimeSession& operator=(const TBusTimeSession&) = delete;

    // Waits until the device is online and asks it for master mode, as the
    // master/slave switch does; runs until it is bus master, at most maxMs
    // of bus time.
    bool SwitchToMaster(int64_t maxMs = 5000);
    // Asks for slave mode; runs until the device is slave, at most maxMs.
    bool SwitchToSlave(int64_t maxMs = 5000);
    // The master simulation switch: loads and starts a call list.
    TCallListActivation ActivateCallList(const std::string& fileName);
    // The slave simulation switch: waits until the device is online (at most
    // maxMs of bus time), then activates a response list. Fails while the
    // device is bus master.
    TResponseActivation ActivateResponseList(const std::string& fileName, int64_t maxMs = 5000);
    // Plays a protocol table back (the table must outlive the run).
    void PlayProtocol(const TTable& table, TProtocolPlayer::TMode mode, int factor);
    // Moves bus time on by ms, in steps of one millisecond.
    void Run(int64_t ms);

    TLiveSession& Live() { return *FLive; }
    // The device connection, its polling and the clock, for work that
    // drives the device itself (the firmware upload).
    TDeviceConnection& Connection() { return *FLive->Connection(); }
    // Starts the polling unless it runs; stops it.
    void ComTimer(bool run);
    ITimerFactory& Timers() { return FTime; }
    // The device replied to an upload request.
    std::function<void(TUploadReplyStatus)> OnUploadReply;
    // A stalled controller thread writes nothing: its send ring fills.
    void StallController(bool stalled) { FStalled = stalled; }

    TRecorder& Recorder() { return FLive->Recorder(); }
    TMasterScheduler& Scheduler() { return *FLive->Scheduler(); }
    TSlaveSimulation& Slave() { return FLive->Slave(); }
    TDeviceStatus& Status() { return FLive->Status(); }
    TVirtualTavrin& Device() { return FDevice; }
    int64_t ElapsedMs() const { return FTime.Elapsed(); }
    // Telegrams the master simulation handed to the device.
    uint64_t SendRequests() const { return FLive->SentRequests(); }

private:
    class TDirectLink;
    // Runs what the last step set going until nothing moves any more: the
    // controller's queue, the device's output, the main-thread hand-over.
    void Settle();
    void Step();

    // ISessionObserver: passed on
    void RowAppended(int row) override;
    void RowChanged(int row) override;
    void RecordingStarted() override;
    void RecordingStopped() override;
    void DeviceDisplayChanged(const TDeviceDisplay& display) override;
    void Tick() override;
    void MasterSwitchAsked() override;
    void PlaybackChanged(const std::string& file) override;
    void SimulationChanged(TSimulationKind kind, const std::string& file) override;
    void RecordingNeeded() override;
    void Message(TSessionMessage message, const std::string& detail) override;
    void AutonomousChanged() override;
    void UploadReply(TUploadReplyStatus reply) override;

    TVirtualTavrin FDevice;
    TManualTime FTime;
    TManualHandOver FHandOver;
    ISessionObserver* FObserver;
    TDirectLink* FLink = nullptr; // owned by the controller
    int FFactor = 1;
    bool FStalled = false;
    // last: its controller's link talks to the members above
    std::unique_ptr<TLiveSession> FLive;
};

} // namespace vaskel
