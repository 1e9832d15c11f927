#pragma once
// The text rules every part of Vaskel shares: IBIS check byte, IBIS national
// characters, IBIS-hex digits, the display and entry notations, and the few
// number and time texts of the protocol views. Stateless; any thread.

#include "telegram/Errors.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vaskel {

inline constexpr char kCR = '\x0D';
inline constexpr char kLF = '\x0A';
inline constexpr std::string_view kIBISHexDigits = "0123456789:;<=>?";

// 0x72 XOR every byte of the text (0x7F XOR CR folded into the start value).
char CalcCheckByte(std::string_view text);

std::string TelegramToDisplay(std::string_view bytes);
std::string TelegramToUmlautDisplay(std::string_view bytes);
// Telegram bytes as the protocol windows and the printout show them with the
// IBIS conversion on: the plain display notation with the seven national
// characters as their umlauts. Unlike the umlaut display notation a blank
// stays a blank, so a full stop is always a full stop.
std::string TelegramToShownText(std::string_view bytes);
std::string DisplayToTelegram(std::string_view entry);
std::string ReplaceNulTokens(std::string_view text);

std::string IBISHexToHex(std::string_view ibisHex);
std::string HexToIBISHex(std::string_view hex);
int32_t HexToInt(std::string_view hex);
int32_t HexToIntDef(std::string_view hex, int32_t def);
int32_t IBISHexToInt(std::string_view ibisHex);
std::string IBISHexToIntStr(std::string_view ibisHex);
std::string IntToIBISHex(int value);

std::string StrToHexDump(std::string_view bytes, bool withSpaces);
std::string StrToPrintable(std::string_view bytes);

// "hh:nn:ss,zzz" of |ms| taken as a time of day.
std::string MsToTimeText(int64_t ms);
// Seconds with three decimals (">2,000" above 2000 ms) or the plain number.
std::string MsToSecondsText(int64_t ms, bool secondsFormat, char decimalSeparator = ',');
int64_t DeviceTicksToMs(int64_t ticks);

// Removes the first token (up to the first delimiter) from text and returns it.
std::string GetNextToken(std::string& text, std::string_view delimiter);
std::vector<std::string> SplitTokens(std::string text, std::string_view delimiter);

// A decimal integer (blanks around it and a sign allowed); false when the
// text is no number or does not fit in 64 bits.
bool TryStrToInt64(std::string_view text, int64_t& value);
// The same as a 32-bit number, or def.
int32_t StrToIntDef(std::string_view text, int32_t def);

// Blank trimming as the file readers use it: every byte up to 0x20 counts.
std::string_view TrimBlanks(std::string_view s);

} // namespace vaskel
