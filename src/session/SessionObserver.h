#pragma once
// What a live session tells the outside world (the desktop's windows, the
// command line), always on the main thread. Every notice has an empty
// default, so an observer overrides only what it shows.

#include "link/DeviceStatus.h"

#include <string>

namespace vaskel {

// Which simulation changed its list.
enum class TSimulationKind {
    CallList,     // the master simulation's active call list
    ResponseList, // the slave simulation's active response list
};

// Messages for the user; the observer words them.
enum class TSessionMessage {
    SafetyCopyFailed,         // detail: the file and why (Windows-1252)
    ResponseListReloadFailed, // after a device restart; detail: the file
};

class ISessionObserver {
public:
    virtual ~ISessionObserver() = default;

    // The recording's table has grown by a row / a row changed (its answer).
    virtual void RowAppended(int /*row*/) {}
    virtual void RowChanged(int /*row*/) {}
    virtual void RecordingStarted() {}
    virtual void RecordingStopped() {}
    // The device-related controls are to be refreshed.
    virtual void DeviceDisplayChanged(const TDeviceDisplay& /*display*/) {}
    // The one-second tick of the device polling.
    virtual void Tick() {}
    // A mode switch was asked for.
    virtual void MasterSwitchAsked() {}
    // The protocol played back changed (empty: none).
    virtual void PlaybackChanged(const std::string& /*file*/) {}
    // The active call or response list changed (empty: none).
    virtual void SimulationChanged(TSimulationKind /*kind*/, const std::string& /*file*/) {}
    // The device restarted with a response list to reload while nothing
    // records: the observer starts the recording (the desktop opens its
    // monitor) before the list is loaded again.
    virtual void RecordingNeeded() {}
    virtual void Message(TSessionMessage /*message*/, const std::string& /*detail*/) {}
    // What is known of autonomous recording, or the device's state, changed.
    virtual void AutonomousChanged() {}
    // The device replied to an upload request.
    virtual void UploadReply(TUploadReplyStatus /*reply*/) {}
};

} // namespace vaskel
