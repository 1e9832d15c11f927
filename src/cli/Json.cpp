#include "cli/Json.h"

#include <cstdio>

namespace vaskel {

std::string JsonByteString(std::string_view bytes) {
    std::string out = "\"";
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b == '"') {
            out += "\\\"";
        } else if (b == '\\') {
            out += "\\\\";
        } else if (b < 0x20 || b == 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04X", b);
            out += buf;
        } else if (b >= 0x80) {
            out += static_cast<char>(0xC0 | (b >> 6));
            out += static_cast<char>(0x80 | (b & 0x3F));
        } else {
            out += ch;
        }
    }
    out += '"';
    return out;
}

} // namespace vaskel
