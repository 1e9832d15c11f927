#include "telegram/ClockTelegrams.h"

#include <cctype>
#include <cstdio>

namespace vaskel {

std::string TimeTelegram(const TDateTime& t) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "u%02d%02d", t.Hour, t.Minute);
    return buf;
}

std::string DateTelegram(const TDateTime& t) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "d%02d%02d%d", t.Day, t.Month, t.Year % 10);
    return buf;
}

std::string DateTimeTelegram(const TDateTime& t) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "dU%02d%02d%04d%02d%02d%02d", t.Day, t.Month, t.Year, t.Hour,
                  t.Minute, t.Second);
    return buf;
}

bool IsDateTimeCall(std::string_view text) {
    return text.size() >= 2 && std::toupper(static_cast<unsigned char>(text[0])) == 'D' &&
           std::toupper(static_cast<unsigned char>(text[1])) == 'U';
}

} // namespace vaskel
