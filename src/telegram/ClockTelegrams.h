#pragma once
// The time and date telegrams a master sends, built from the current time:
// the simulations put them in place of the recorded or listed ones.

#include "telegram/DateTime.h"

#include <string>
#include <string_view>

namespace vaskel {

std::string TimeTelegram(const TDateTime& t);     // u + HHNN
std::string DateTelegram(const TDateTime& t);     // d + DD MM Y (last digit of the year)
std::string DateTimeTelegram(const TDateTime& t); // dU + ddmmyyyyhhnnss

// True when text begins with "dU" in any letter case: a date-and-time call.
bool IsDateTimeCall(std::string_view text);

} // namespace vaskel
