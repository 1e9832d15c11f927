#pragma once
// The master simulation on the virtual Tavrin, on bus time. The device
// connection, the controller, the master scheduler, the protocol player and
// the recorder are the desktop program's own; only the USB transport is
// replaced by a direct link to the virtual device, and the program's timers
// by the bus clock, so that an hour of bus time runs in seconds and the same
// seed gives the same protocol.

#include "emulator/VirtualTavrin.h"
#include "link/DeviceStatus.h"
#include "recording/Recorder.h"
#include "recording/Table.h"
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

namespace vaskel {

class TBusTimeSimulation {
public:
    // start: the PC clock at the start (the protocol's times, the clock
    // and date telegrams).
    TBusTimeSimulation(const TIBISTelegramParser& parser, TEnvironment& env,
                       TEmulatorOptions device, TDateTime start);
    ~TBusTimeSimulation();
    TBusTimeSimulation(const TBusTimeSimulation&) = delete;
    TBusTimeSimulation& operator=(const TBusTimeSimulation&) = delete;

    // Connects and asks the device for master mode, as the master/slave
    // switch does; runs until it is bus master, at most maxMs of bus time.
    bool SwitchToMaster(double maxMs = 5000);
    // The master simulation switch: loads and starts a call list.
    TCallListActivation ActivateCallList(const std::string& fileName);
    // The slave simulation switch: waits until the device is online (at most
    // maxMs of bus time), then activates a response list as the desktop
    // program does (downloaded, the device's simulation on). Fails while the
    // device is bus master.
    TResponseActivation ActivateResponseList(const std::string& fileName, double maxMs = 5000);
    // Plays a protocol table back (the table must outlive the run).
    void PlayProtocol(const TTable& table, TProtocolPlayer::TMode mode, int factor);
    // Moves bus time on by ms, in steps of one millisecond.
    void Run(int64_t ms);

    // The device connection, its one-second polling and the clock, for
    // work that drives the device itself (the firmware upload).
    TDeviceConnection& Connection() { return *FConnection; }
    void ComTimer(bool run);
    ITimerFactory& Timers() { return FTime; }
    // The device replied to an upload request.
    std::function<void(TUploadReplyStatus)> OnUploadReply;
    // A stalled controller thread writes nothing: its send ring fills.
    void StallController(bool stalled) { FStalled = stalled; }

    TRecorder& Recorder() { return *FRecorder; }
    TMasterScheduler& Scheduler() { return *FScheduler; }
    TSlaveSimulation& Slave() { return *FSlave; }
    TDeviceStatus& Status() { return FStatus; }
    TVirtualTavrin& Device() { return FDevice; }
    int64_t ElapsedMs() const { return FTime.Elapsed(); }
    // Telegrams the scheduler handed to the device.
    uint64_t SendRequests() const { return FSendRequests; }

private:
    class TDirectLink;
    // Runs what the last step set going until nothing moves any more: the
    // controller's queue, the device's output, the main-thread hand-over.
    void Settle();
    void Step();

    const TIBISTelegramParser& FParser;
    TEnvironment& FEnv;
    TVirtualTavrin FDevice;
    TManualTime FTime;
    TManualHandOver FHandOver;
    TDeviceStatus FStatus;
    TDirectLink* FLink = nullptr; // owned by the controller
    std::unique_ptr<ITimer> FComTimer, FPlayTimer;
    std::unique_ptr<TRecorder> FRecorder;
    std::unique_ptr<TMasterScheduler> FScheduler;
    std::unique_ptr<TSlaveSimulation> FSlave;
    std::unique_ptr<TProtocolPlayer> FPlayer;
    std::unique_ptr<TDeviceConnection> FConnection;
    int FFactor = 1;
    bool FLastMaster = false;
    uint64_t FSendRequests = 0;
    bool FStalled = false;
};

} // namespace vaskel
