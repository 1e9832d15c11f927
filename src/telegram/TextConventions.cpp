#include "telegram/TextConventions.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace vaskel {

namespace {

constexpr char kHexUpper[] = "0123456789ABCDEF";

// The seven IBIS national characters and their Windows-1252 umlauts.
constexpr char kNational[7] = {'[', '\\', ']', '{', '|', '}', '~'};
constexpr unsigned char kUmlauts[7] = {0xC4, 0xD6, 0xDC, 0xE4, 0xF6, 0xFC, 0xDF};

int NationalIndex(unsigned char b) {
    for (int k = 0; k < 7; ++k)
        if (static_cast<unsigned char>(kNational[k]) == b) return k;
    return -1;
}

int UmlautIndex(unsigned char b) {
    for (int k = 0; k < 7; ++k)
        if (kUmlauts[k] == b) return k;
    return -1;
}

void AppendHexByte(std::string& out, unsigned char b) {
    out += kHexUpper[b >> 4];
    out += kHexUpper[b & 0x0F];
}

void AppendControl(std::string& out, unsigned char b) {
    if (b == 0x0A) {
        out += "<LF>";
    } else if (b == 0x0D) {
        out += "<CR>";
    } else {
        out += "<$";
        AppendHexByte(out, b);
        out += '>';
    }
}

bool IsUpperHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

} // namespace

std::string FormatText(const std::string& format, std::initializer_list<std::string> args) {
    std::string out;
    auto it = args.begin();
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size() &&
            (format[i + 1] == 's' || format[i + 1] == 'd') && it != args.end()) {
            out += *it++;
            ++i;
        } else {
            out += format[i];
        }
    }
    return out;
}

std::string_view TrimBlanks(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= 0x20)
        ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= 0x20)
        --e;
    return s.substr(b, e - b);
}

bool TryStrToInt64(std::string_view text, int64_t& value) {
    const std::string_view s = TrimBlanks(text);
    std::size_t p = 0;
    const bool negative = !s.empty() && s[0] == '-';
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) p = 1;
    if (p == s.size()) return false;
    uint64_t v = 0;
    for (; p < s.size(); ++p) {
        if (s[p] < '0' || s[p] > '9') return false;
        if (v > (static_cast<uint64_t>(INT64_MAX) - 9) / 10) return false;
        v = v * 10 + static_cast<uint64_t>(s[p] - '0');
    }
    value = negative ? -static_cast<int64_t>(v) : static_cast<int64_t>(v);
    return true;
}

int32_t StrToIntDef(std::string_view text, int32_t def) {
    int64_t v = 0;
    if (!TryStrToInt64(text, v) || v < INT32_MIN || v > INT32_MAX) return def;
    return static_cast<int32_t>(v);
}

char CalcCheckByte(std::string_view text) {
    unsigned char c = 0x72;
    for (char b : text)
        c ^= static_cast<unsigned char>(b);
    return static_cast<char>(c);
}

std::string TelegramToDisplay(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + 8);
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b >= 0x7F && UmlautIndex(b) < 0)
            out += '.';
        else if (b < 0x20)
            AppendControl(out, b);
        else
            out += ch;
    }
    return out;
}

std::string TelegramToShownText(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + 8);
    for (char ch : bytes) {
        if (const int k = NationalIndex(static_cast<unsigned char>(ch)); k >= 0)
            out += static_cast<char>(kUmlauts[k]);
        else
            out += TelegramToDisplay(std::string_view(&ch, 1));
    }
    return out;
}

std::string TelegramToUmlautDisplay(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + 8);
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b >= 0x7F) {
            out += '.';
        } else if (b < 0x20) {
            AppendControl(out, b);
        } else if (b == ' ') {
            out += '.';
        } else if (int k = NationalIndex(b); k >= 0) {
            out += static_cast<char>(kUmlauts[k]);
        } else {
            out += ch;
        }
    }
    return out;
}

std::string DisplayToTelegram(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    const std::size_t n = s.size();
    std::size_t p = 0; // 0-based; the rules count "characters after p"
    while (p < n) {
        const char c = s[p];
        if (c == '<') {
            const std::size_t after = n - p - 1; // characters following '<'
            if (after < 3) {
                out += '<';
                ++p;
                continue;
            }
            const std::string_view four = s.substr(p, 4);
            if (four == "<LF>") {
                out += kLF;
                p += 4;
                continue;
            }
            if (four == "<CR>") {
                out += kCR;
                p += 4;
                continue;
            }
            if (after >= 4 && s[p + 1] == '$' && IsUpperHexDigit(s[p + 2]) &&
                IsUpperHexDigit(s[p + 3]) && s[p + 4] == '>') {
                const int v = HexValue(s[p + 2]) * 16 + HexValue(s[p + 3]);
                if (v <= 0x7F)
                    out += static_cast<char>(v);
                else
                    out.append(s.substr(p, 5));
                p += 5;
                continue;
            }
            out += '<';
            ++p;
            continue;
        }
        if (int k = UmlautIndex(static_cast<unsigned char>(c)); k >= 0)
            out += kNational[k];
        else
            out += c;
        ++p;
    }
    return out;
}

std::string ReplaceNulTokens(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t p = 0;
    while (p < text.size()) {
        if (text.compare(p, 5, "<$00>") == 0) {
            out += '\0';
            p += 5;
        } else {
            out += text[p++];
        }
    }
    return out;
}

std::string IBISHexToHex(std::string_view ibisHex) {
    const std::string_view t = TrimBlanks(ibisHex);
    std::string out;
    out.reserve(t.size());
    for (char c : t) {
        const auto pos = kIBISHexDigits.find(c);
        if (pos == std::string_view::npos)
            throw EConversionError(FormatText(
                "IBISHexToHex: Invalid character in IBIS-Hex string: %s", {std::string(ibisHex)}));
        out += kHexUpper[pos];
    }
    return out;
}

std::string HexToIBISHex(std::string_view hex) {
    const std::string_view t = TrimBlanks(hex);
    std::string out;
    out.reserve(t.size());
    for (char c : t) {
        const int v = HexValue(c);
        if (v < 0)
            throw EConversionError(FormatText("HexToIBISHex: Invalid character in Hex string: %s",
                                              {std::string(hex)}));
        out += kIBISHexDigits[v];
    }
    return out;
}

int32_t HexToInt(std::string_view hex) {
    if (hex.empty()) return 0;
    // Up to 32 bits are accepted; larger values wrap like the system's
    // integer reader does for 8 digits, more digits are rejected.
    if (hex.size() > 8)
        throw EConversionError(
            FormatText("HexToInt: Invalid character in Hex string: %s", {std::string(hex)}));
    uint32_t v = 0;
    for (char c : hex) {
        const int d = HexValue(c);
        if (d < 0)
            throw EConversionError(
                FormatText("HexToInt: Invalid character in Hex string: %s", {std::string(hex)}));
        v = v * 16 + static_cast<uint32_t>(d);
    }
    return static_cast<int32_t>(v);
}

int32_t HexToIntDef(std::string_view hex, int32_t def) {
    try {
        return HexToInt(hex);
    } catch (const EConversionError&) {
        return def;
    }
}

int32_t IBISHexToInt(std::string_view ibisHex) {
    if (ibisHex.empty()) return 0;
    return HexToInt(IBISHexToHex(ibisHex));
}

std::string IBISHexToIntStr(std::string_view ibisHex) {
    return std::to_string(IBISHexToInt(ibisHex));
}

std::string IntToIBISHex(int value) {
    const int v = value & 0xFF;
    std::string out;
    if (v >= 16) out += kIBISHexDigits[v >> 4];
    out += kIBISHexDigits[v & 0x0F];
    return out;
}

std::string StrToHexDump(std::string_view bytes, bool withSpaces) {
    std::string out;
    out.reserve(bytes.size() * (withSpaces ? 3 : 2));
    for (char c : bytes) {
        if (withSpaces) out += ' ';
        AppendHexByte(out, static_cast<unsigned char>(c));
    }
    return out;
}

std::string StrToPrintable(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x20 && b <= 0x7E) {
            out += c;
        } else {
            out += '<';
            AppendHexByte(out, b);
            out += '>';
        }
    }
    return out;
}

std::string MsToTimeText(int64_t ms) {
    uint64_t a = ms < 0 ? static_cast<uint64_t>(-(ms + 1)) + 1 : static_cast<uint64_t>(ms);
    a %= 86400000ULL;
    const unsigned h = static_cast<unsigned>(a / 3600000);
    const unsigned n = static_cast<unsigned>(a / 60000 % 60);
    const unsigned s = static_cast<unsigned>(a / 1000 % 60);
    const unsigned z = static_cast<unsigned>(a % 1000);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02u:%02u:%02u,%03u", h, n, s, z);
    return buf;
}

std::string MsToSecondsText(int64_t ms, bool secondsFormat, char decimalSeparator) {
    if (!secondsFormat) return std::to_string(ms);
    if (ms > 2000) return std::string(">2") + decimalSeparator + "000";
    std::string out;
    uint64_t a = static_cast<uint64_t>(ms);
    if (ms < 0) {
        out += '-';
        a = static_cast<uint64_t>(-(ms + 1)) + 1;
    }
    char frac[4];
    std::snprintf(frac, sizeof frac, "%03u", static_cast<unsigned>(a % 1000));
    out += std::to_string(a / 1000);
    out += decimalSeparator;
    out += frac;
    return out;
}

int64_t DeviceTicksToMs(int64_t ticks) {
    // ticks x 10 / 72 truncated towards zero, without forming ticks x 10:
    // 72 q + r gives 10 q + 10 r / 72 (q and r share the sign)
    return ticks / 72 * 10 + ticks % 72 * 10 / 72;
}

std::string GetNextToken(std::string& text, std::string_view delimiter) {
    if (delimiter.empty())
        throw EConversionError("GetNextToken: Delimiter may not be an empty string");
    const auto pos = text.find(delimiter);
    std::string token;
    if (pos == std::string::npos) {
        token = std::move(text);
        text.clear();
    } else {
        token = text.substr(0, pos);
        text.erase(0, pos + delimiter.size());
    }
    return token;
}

std::vector<std::string> SplitTokens(std::string text, std::string_view delimiter) {
    std::vector<std::string> tokens;
    if (delimiter.empty())
        throw EConversionError("GetNextToken: Delimiter may not be an empty string");
    while (!text.empty())
        tokens.push_back(GetNextToken(text, delimiter));
    return tokens;
}

} // namespace vaskel
