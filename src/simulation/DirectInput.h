#pragma once
// The rules of the direct input: expanding the clock and date shortcuts,
// the history of sent texts, and the live check of what is typed.

#include "telegram/DateTime.h"
#include "telegram/TelegramParser.h"

#include <string>
#include <vector>

namespace vaskel {

// "u" → u + HHNN, "d" → d + DDMM + last digit of the year, "DU" (any case)
// → dU + ddmmyyyyhhnnss; every other text stays.
std::string ExpandDirectInput(const std::string& text, const TDateTime& now);

inline constexpr std::size_t kHistorySize = 10;
// Puts text (leading blanks removed) at the top of the history, once (letter
// case ignored), at most kHistorySize entries. false when nothing changed
// (the text was already at the top).
bool AddToHistory(std::vector<std::string>& history, const std::string& text);
// The stored form: comma-separated, items with blanks, commas or quotes in
// double quotes (inner quotes doubled).
std::string HistoryToSetting(const std::vector<std::string>& history);
std::vector<std::string> HistoryFromSetting(const std::string& setting);

// The verdict of the live check on a typed master telegram.
struct TLiveCheck {
    enum TVerdict { Empty, Fine, TypeError, SyntaxError, SyntaxAndTypeError, Unknown };
    TVerdict Verdict = Empty;
    std::string RecordNo;      // the record type found
    std::string Pattern;       // its pattern in umlaut display notation
    std::string RecordCaption; // "DS021", "???" or empty
    std::string DetailCaption; // "DS 021 ..." etc.; empty: the general caption
};
// record: the typed text (entry notation converted) classified as a master
// telegram.
TLiveCheck LiveCheck(const std::string& typed, const TTelegramRecord& record);

} // namespace vaskel
