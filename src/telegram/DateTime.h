#pragma once
// A local date and time as the clock gives it and the clock telegrams
// carry it.

#include <cstdint>

namespace vaskel {

struct TDateTime {
    int Year = 2000, Month = 1, Day = 1, Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
    int64_t MsOfDay() const { return ((Hour * 60LL + Minute) * 60 + Second) * 1000 + Millisecond; }
};

} // namespace vaskel
