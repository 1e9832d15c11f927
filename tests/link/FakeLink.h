#pragma once
// A device link for tests: records what is written, lets the test feed
// received bytes and switch the link state.

#include "link/DeviceLink.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace vaskel::test {

// A link that records what is written and lets the test feed received bytes.
class FakeLink : public IDeviceLink {
public:
    void SetCallbacks(DataCallback onData, StateCallback onState) override {
        FData = std::move(onData);
        FState = std::move(onState);
    }
    int Connect() override {
        FConnected = true;
        FState(true);
        std::lock_guard<std::mutex> l(Lock);
        Signal.notify_all();
        return 0;
    }
    void Disconnect() override {
        FConnected = false;
        FState(false);
    }
    bool Connected() const override { return FConnected; }
    void Send(char first, std::string_view rest) override {
        std::lock_guard<std::mutex> l(Lock);
        Written.push_back(first + std::string(rest));
        Signal.notify_all();
    }
    void Feed(const std::string& bytes) { FData(bytes[0], std::string_view(bytes).substr(1)); }
    // The hooks the owner gave (trace lines, information sound).
    void SetHooks(std::function<void(const std::string&)> trace,
                  std::function<void()> beep) override {
        if (trace) Trace = std::move(trace);
        if (beep) Beep = std::move(beep);
    }
    std::function<void(const std::string&)> Trace;
    std::function<void()> Beep;

    std::mutex Lock;
    std::condition_variable Signal;
    std::vector<std::string> Written;

private:
    DataCallback FData;
    StateCallback FState;
    std::atomic<bool> FConnected{false};
};

} // namespace vaskel::test
