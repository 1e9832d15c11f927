#pragma once
// A firmware image for the Tavrin, read from an Intel-HEX file: its address
// range and its blocks of 63 bytes (the unit the device takes per 0xD7
// command), every byte no record fills being 0xFF; and the identity text
// that makes it firmware for this device.

#include "telegram/Errors.h"

#include <cstdint>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace vaskel {

inline constexpr std::size_t kFirmwareBlockBytes = 63;
// The device's block table holds no more.
inline constexpr std::size_t kMaxFirmwareBlocks = 8193;
inline constexpr std::string_view kFirmwareIdentity = "Vaskel/AT91SAM7S256";

// "Formatfehler in Zeile: " (a line that is no valid record: bad digits,
// wrong length or checksum, unknown type, data below the lowest address).
extern const char* const kFirmwareFormatError;
// "Keine gültige Programmversion!" (Windows-1252)
extern const char* const kFirmwareNoIdentity;

// The reader's errors, each an EFileError with its message, and what the
// message is about for a caller that words it itself.
class EFirmwareUnreadable : public EFileError { // the file cannot be read
public:
    using EFileError::EFileError;
};
class EFirmwareFormatError : public EFileError {
public:
    EFirmwareFormatError(const std::string& message, std::size_t line)
        : EFileError(message), Line(line) {}
    std::size_t Line; // from 1
};
class EFirmwareTooLarge : public EFileError {
public:
    EFirmwareTooLarge(const std::string& message, std::size_t blocks)
        : EFileError(message), Blocks(blocks) {}
    std::size_t Blocks; // the blocks the image would need
};

struct TFirmwareImage {
    int64_t Lowest = 0;  // first data address
    int64_t Highest = 0; // as the device's tools count it: two beyond the last data byte
    std::vector<std::string> Blocks; // each kFirmwareBlockBytes long

    std::size_t BlockCount() const { return Blocks.size(); }
    // The blocks one after the other.
    std::string Bytes() const;
    bool HasIdentity() const;
    // The printable text around the identity (empty without one).
    std::string Version() const;
};

// A text as a firmware image gives it: the printable run around the
// identity, or empty when the image has none.
std::string VersionFromImage(std::string_view image);

// Reads an Intel-HEX text in two passes: the address range (lines not
// starting with ':' and empty lines skipped, no checksum test), then the
// contents with every record checked (record types 0 data, 2 and 4
// extended segment and linear address, 1, 3 and 5 skipped). Throws
// EFirmwareFormatError with kFirmwareFormatError and the line number (from
// 1) for the first bad line, or EFirmwareTooLarge with a message naming the
// limit for an image of more than kMaxFirmwareBlocks blocks. A text without data records gives
// an image without blocks.
TFirmwareImage ReadFirmwareHex(std::string_view text);
// The same for a file; EFirmwareUnreadable "Kann Datei NAME nicht lesen!"
// when it cannot be read.
TFirmwareImage ReadFirmwareFile(const std::string& fileName);

} // namespace vaskel
