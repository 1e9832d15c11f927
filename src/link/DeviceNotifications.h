#pragma once
// Arrival and removal of USB devices as the operating system reports them.
// Windows tells a window that registered for the device-interface class of
// USB devices (WM_DEVICECHANGE); TDeviceNotifications is such a window, a
// hidden message-only one on a thread of its own, with no Qt. Elsewhere the
// system reports nothing of the kind here and the transport scans the bus.

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace vaskel {

inline constexpr unsigned long kDeviceArrival = 0x8000;        // DBT_DEVICEARRIVAL
inline constexpr unsigned long kDeviceRemoveComplete = 0x8004; // DBT_DEVICEREMOVECOMPLETE

struct TDeviceChange {
    bool Arrived = false; // false: removed
    std::string Path;     // "\\?\USB#VID_3A7C&PID_0006#..."
};

// What a WM_DEVICECHANGE tells: event (its wParam) and record (its lParam,
// a DEV_BROADCAST_DEVICEINTERFACE_A). Only arrival and completed removal of
// a device interface (record type 5) count; nothing for anything else.
std::optional<TDeviceChange> ReadDeviceChange(unsigned long event, const void* record);

class TDeviceNotifications {
public:
    using TCallback = std::function<void(const TDeviceChange&)>;
    // Starts listening; onChange runs on the listening thread. nullptr where
    // the system has no such reports or the window cannot be made.
    static std::unique_ptr<TDeviceNotifications> Start(TCallback onChange);
    // Stops listening: after it onChange is not called any more.
    virtual ~TDeviceNotifications() = default;

protected:
    TDeviceNotifications() = default;
};

} // namespace vaskel
