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
// wrong length or checksum, unknown type; and the faults below).
extern const char* const kFirmwareFormatError;
// "Keine gültige Programmversion!" (Windows-1252)
extern const char* const kFirmwareNoIdentity;

// What is wrong with a firmware file, for a caller that words it itself.
struct TFirmwareProblem {
    enum class TKind {
        BadRecord,    // Line: no valid record (digits, length, checksum, type)
        AfterEnd,     // Line: a record after the end-of-file record
        RecordLength, // Line, Type, Count: a record of a fixed size with another one
        Overlap,      // Line, OtherLine, From: data over data of an earlier line
        BeyondSpace,  // Line: data past the 32-bit address space
        NoEnd,        // the file ends without its end-of-file record (cut off)
        TooLarge,     // From, To: the data's first and last address
    };
    TKind Kind = TKind::BadRecord;
    std::size_t Line = 0;      // from 1
    std::size_t OtherLine = 0; // from 1
    int Type = 0;
    std::size_t Count = 0;     // the record's data bytes
    int64_t From = 0, To = 0;
};
// The problem's German text (Windows-1252): "Formatfehler in Zeile: N" with
// what is wrong in brackets, or the sentence of a whole-file problem.
std::string FirmwareProblemText(const TFirmwareProblem& problem);

// The reader's errors, each an EFileError with its message, and what the
// message is about for a caller that words it itself.
class EFirmwareUnreadable : public EFileError { // the file cannot be read
public:
    using EFileError::EFileError;
};
class EFirmwareFileProblem : public EFileError {
public:
    explicit EFirmwareFileProblem(const TFirmwareProblem& problem)
        : EFileError(FirmwareProblemText(problem)), Problem(problem) {}
    TFirmwareProblem Problem;
};
// A line that is no valid record, or a record that does not fit the others.
class EFirmwareFormatError : public EFirmwareFileProblem {
public:
    explicit EFirmwareFormatError(const TFirmwareProblem& problem)
        : EFirmwareFileProblem(problem), Line(problem.Line) {}
    std::size_t Line; // from 1
};
// No end-of-file record: the file was cut off.
class EFirmwareNoEnd : public EFirmwareFileProblem {
public:
    using EFirmwareFileProblem::EFirmwareFileProblem;
};
// Data spread wider than the device's block table.
class EFirmwareTooLarge : public EFirmwareFileProblem {
public:
    EFirmwareTooLarge(const TFirmwareProblem& problem, std::size_t blocks)
        : EFirmwareFileProblem(problem), Blocks(blocks) {}
    std::size_t Blocks; // the blocks the image would need
};

struct TFirmwareImage {
    int64_t Lowest = 0;  // first data address
    int64_t Highest = 0; // as the device's tools count it: two beyond the last data byte
    int64_t Last() const { return Highest - 2; } // the last data address
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

// Reads an Intel-HEX text in two passes, line by line (lines end in CR, LF
// or CR LF; blank lines are skipped): every record is checked first (digits,
// length, checksum, record types 0 data, 1 end of file, 2 and 4 extended
// segment and linear address with 2 data bytes, 3 and 5 start address with
// 4), and the file must end with its end-of-file record with nothing but
// blank lines after it; then the data is placed, where no two records may
// fill the same address. The image does not depend on how the data is split
// into records. Throws EFirmwareFormatError for the first bad line,
// EFirmwareNoEnd for a file cut off, EFirmwareTooLarge (naming the address
// range) for data spread wider than kMaxFirmwareBlocks blocks. A file with
// no data records gives an image without blocks.
TFirmwareImage ReadFirmwareHex(std::string_view text);
// The same for a file, read line by line; EFirmwareUnreadable "Kann Datei
// NAME nicht lesen!" when it cannot be read.
TFirmwareImage ReadFirmwareFile(const std::string& fileName);

} // namespace vaskel
