#pragma once
// Timers and the clock as seams: the desktop program supplies window
// timers and the system clock, tests a manual time they advance by hand.

#include "telegram/DateTime.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace vaskel {

class ITimer {
public:
    virtual ~ITimer() = default;
    // (Re)starts the timer; it fires every intervalMs until stopped.
    virtual void Start(int intervalMs) = 0;
    virtual void Stop() = 0;
    virtual bool Running() const = 0;
    virtual int Interval() const = 0;
    std::function<void()> OnTimer;
};

class ITimerFactory {
public:
    virtual ~ITimerFactory() = default;
    virtual std::unique_ptr<ITimer> CreateTimer() = 0;
};

class IClock {
public:
    virtual ~IClock() = default;
    virtual TDateTime Now() const = 0;
};

// A moment of the system clock as local date and time (to the millisecond).
TDateTime LocalDateTime(std::chrono::system_clock::time_point moment);

// The system's local time.
class TSystemClock : public IClock {
public:
    TDateTime Now() const override;
};

// Manual time for tests: timers fire only when Advance passes their time.
class TManualTime : public ITimerFactory, public IClock {
public:
    explicit TManualTime(TDateTime start = {2026, 12, 10, 8, 0, 0, 0});
    std::unique_ptr<ITimer> CreateTimer() override;
    TDateTime Now() const override;
    // Moves time on, firing due timers in time order.
    void Advance(int64_t ms);
    int64_t Elapsed() const { return FNow; }

private:
    class TTimer;
    TDateTime FStart;
    int64_t FNow = 0;
    std::vector<TTimer*> FTimers;
    friend class TTimer;
};

} // namespace vaskel
