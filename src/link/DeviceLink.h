#pragma once
// What the controller needs of a link to the device.

#include <functional>
#include <string>
#include <string_view>

namespace vaskel {

class IDeviceLink {
public:
    // Data arrives as its first byte and the rest, on the main thread.
    using DataCallback = std::function<void(char first, std::string_view rest)>;
    using StateCallback = std::function<void(bool connected)>;

    virtual ~IDeviceLink() = default;
    virtual void SetCallbacks(DataCallback onData, StateCallback onState) = 0;
    // Where the link's trace lines and its information sound go; an empty
    // function leaves that one as it is. Either may be called on any thread.
    virtual void SetHooks(std::function<void(const std::string&)> trace,
                          std::function<void()> beep) {
        (void)trace;
        (void)beep;
    }
    // 0 after an attempt (connected or not), 1 vendor ID 0, 2 product ID 0.
    virtual int Connect() = 0;
    virtual void Disconnect() = 0;
    virtual bool Connected() const = 0;
    // Queues one transfer (send type 0: interrupt OUT).
    virtual void Send(char first, std::string_view rest) = 0;
};

} // namespace vaskel
