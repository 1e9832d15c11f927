#include "shell/Timers.h"

#include <algorithm>
#include <chrono>
#include <ctime>

namespace vaskel {

TDateTime LocalDateTime(std::chrono::system_clock::time_point moment) {
    const std::time_t t = std::chrono::system_clock::to_time_t(moment);
    std::tm tm{};
#ifdef _WIN32
    localtime_s(&tm, &t);
#else
    localtime_r(&t, &tm);
#endif
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(moment.time_since_epoch()).count() %
        1000;
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,          tm.tm_hour,
            tm.tm_min,         tm.tm_sec,     static_cast<int>(ms)};
}

TDateTime TSystemClock::Now() const {
    return LocalDateTime(std::chrono::system_clock::now());
}

class TManualTime::TTimer : public ITimer {
public:
    explicit TTimer(TManualTime& owner) : FOwner(owner) { FOwner.FTimers.push_back(this); }
    ~TTimer() override {
        auto& v = FOwner.FTimers;
        v.erase(std::remove(v.begin(), v.end(), this), v.end());
    }
    void Start(int intervalMs) override {
        FInterval = std::max(1, intervalMs);
        FDue = FOwner.FNow + FInterval;
        FRunning = true;
    }
    void Stop() override { FRunning = false; }
    bool Running() const override { return FRunning; }
    int Interval() const override { return FInterval; }

    TManualTime& FOwner;
    int FInterval = 1000;
    int64_t FDue = 0;
    bool FRunning = false;
};

TManualTime::TManualTime(TDateTime start) : FStart(start) {}

std::unique_ptr<ITimer> TManualTime::CreateTimer() {
    return std::make_unique<TTimer>(*this);
}

TDateTime TManualTime::Now() const {
    const int64_t ms = FStart.MsOfDay() + FNow;
    TDateTime t = FStart;
    const int64_t inDay = ms % 86400000;
    t.Day += static_cast<int>(ms / 86400000); // tests stay within a month
    t.Hour = static_cast<int>(inDay / 3600000);
    t.Minute = static_cast<int>(inDay / 60000 % 60);
    t.Second = static_cast<int>(inDay / 1000 % 60);
    t.Millisecond = static_cast<int>(inDay % 1000);
    return t;
}

void TManualTime::Advance(int64_t ms) {
    const int64_t target = FNow + ms;
    for (;;) {
        TTimer* next = nullptr;
        for (TTimer* t : FTimers)
            if (t->FRunning && t->FDue <= target && (!next || t->FDue < next->FDue)) next = t;
        if (!next) break;
        FNow = next->FDue;
        next->FDue += next->FInterval;
        if (next->OnTimer) next->OnTimer();
    }
    FNow = target;
}

} // namespace vaskel
