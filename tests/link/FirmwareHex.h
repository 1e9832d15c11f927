#pragma once
// Firmware files for the tests: Intel-HEX text of given bytes, and images
// that carry a version text with the device's identity.

#include "link/FirmwareImage.h"

#include <cstdint>
#include <cstdio>
#include <string>

namespace vaskel::test {

// One Intel-HEX record with its checksum (wrong: the checksum off by one).
inline std::string HexRecord(int type, int address, const std::string& data, bool wrong = false) {
    unsigned sum = static_cast<unsigned>(data.size()) + ((address >> 8) & 0xFF) + (address & 0xFF) +
                   static_cast<unsigned>(type);
    char buf[16];
    std::snprintf(buf, sizeof buf, ":%02X%04X%02X", static_cast<unsigned>(data.size()),
                  static_cast<unsigned>(address & 0xFFFF), static_cast<unsigned>(type));
    std::string line = buf;
    for (const char c : data) {
        const auto b = static_cast<unsigned char>(c);
        sum += b;
        std::snprintf(buf, sizeof buf, "%02X", b);
        line += buf;
    }
    std::snprintf(buf, sizeof buf, "%02X\r\n", (0x100 - (sum & 0xFF) + (wrong ? 1 : 0)) & 0xFF);
    return line + buf;
}

// The bytes as data records of 16 bytes from address on, with extended
// linear address records where a 64 KiB page begins, and the end record.
inline std::string FirmwareHex(const std::string& bytes, uint32_t address = 0) {
    std::string out;
    uint32_t page = 0xFFFFFFFF;
    for (std::size_t k = 0; k < bytes.size(); k += 16) {
        const uint32_t at = address + static_cast<uint32_t>(k);
        if (at >> 16 != page) {
            page = at >> 16;
            out += HexRecord(
                4, 0, std::string{static_cast<char>(page >> 8), static_cast<char>(page & 0xFF)});
        }
        out += HexRecord(0, static_cast<int>(at & 0xFFFF), bytes.substr(k, 16));
    }
    return out + ":00000001FF\r\n";
}

// size bytes of program (a repeating pattern, no 0xFF) with the version
// text and the identity after the first 40 bytes.
inline std::string FirmwareBytes(std::size_t size, const std::string& version) {
    std::string bytes;
    for (std::size_t k = 0; k < size; ++k)
        bytes += static_cast<char>(1 + (k * 7) % 200);
    const std::string text = '\0' + version + ' ' + std::string(kFirmwareIdentity) + '\0';
    if (size >= 40 + text.size()) bytes.replace(40, text.size(), text);
    return bytes;
}

} // namespace vaskel::test
