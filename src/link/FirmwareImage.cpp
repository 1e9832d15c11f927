#include "link/FirmwareImage.h"

#include "telegram/Errors.h"
#include "telegram/TextConventions.h"

#include <fstream>
#include <iterator>
#include <limits>
#include <sstream>

namespace vaskel {

const char* const kFirmwareFormatError = "Formatfehler in Zeile: ";
const char* const kFirmwareNoIdentity = "Keine g\xFCltige Programmversion!";

namespace {

struct TRecord {
    int Count = 0;
    int64_t Address = 0;
    int Type = 0;
    std::string Data;
    bool ChecksumOk = false;
};

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// One record of a line starting with ':'; false when the line is none (bad
// digits, odd length, a length that does not match its count).
bool ParseRecord(std::string_view line, TRecord& r) {
    if (line.size() < 11 || line[0] != ':' || (line.size() - 1) % 2 != 0) return false;
    std::string bytes;
    bytes.reserve((line.size() - 1) / 2);
    for (std::size_t k = 1; k + 1 < line.size(); k += 2) {
        const int hi = HexDigit(line[k]), lo = HexDigit(line[k + 1]);
        if (hi < 0 || lo < 0) return false;
        bytes += static_cast<char>(hi * 16 + lo);
    }
    auto byte = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
    r.Count = byte(0);
    if (bytes.size() != static_cast<std::size_t>(r.Count) + 5) return false;
    r.Address = byte(1) * 256 + byte(2);
    r.Type = byte(3);
    r.Data = bytes.substr(4, static_cast<std::size_t>(r.Count));
    unsigned sum = 0;
    for (std::size_t k = 0; k + 1 < bytes.size(); ++k)
        sum += byte(k);
    r.ChecksumOk = static_cast<unsigned char>(0x100 - (sum & 0xFF)) == byte(bytes.size() - 1);
    return true;
}

// The 16-bit value of an extended address record.
int64_t RecordValue(const TRecord& r) {
    if (r.Data.size() < 2) return 0;
    return static_cast<unsigned char>(r.Data[0]) * 256 + static_cast<unsigned char>(r.Data[1]);
}

// The lines of the text, each without its line end.
std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> out;
    std::size_t p = 0;
    while (p < text.size()) {
        std::size_t e = text.find('\n', p);
        if (e == std::string_view::npos) e = text.size();
        std::string_view line = text.substr(p, e - p);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
            line.remove_suffix(1);
        out.push_back(line);
        p = e + 1;
    }
    return out;
}

[[noreturn]] void FormatError(std::size_t line) {
    throw EFirmwareFormatError(kFirmwareFormatError + std::to_string(line), line);
}

} // namespace

std::string TFirmwareImage::Bytes() const {
    std::string out;
    out.reserve(Blocks.size() * kFirmwareBlockBytes);
    for (const auto& b : Blocks)
        out += b;
    return out;
}

bool TFirmwareImage::HasIdentity() const {
    return Bytes().find(kFirmwareIdentity) != std::string::npos;
}

std::string TFirmwareImage::Version() const {
    return VersionFromImage(Bytes());
}

std::string VersionFromImage(std::string_view image) {
    const auto pos = image.find(kFirmwareIdentity);
    if (pos == std::string_view::npos) return {};
    auto printable = [](char c) {
        return static_cast<unsigned char>(c) >= 0x20 && static_cast<unsigned char>(c) < 0x7F;
    };
    std::size_t b = pos, e = pos + kFirmwareIdentity.size();
    while (b > 0 && printable(image[b - 1]))
        --b;
    while (e < image.size() && printable(image[e]))
        ++e;
    return std::string(TrimBlanks(image.substr(b, e - b)));
}

TFirmwareImage ReadFirmwareHex(std::string_view text) {
    const std::vector<std::string_view> lines = Lines(text);
    TFirmwareImage image;
    // pass 1: the range
    int64_t lowest = std::numeric_limits<int32_t>::max();
    int64_t highest = 0;
    bool any = false;
    int64_t base = 0;
    TRecord r;
    for (const std::string_view line : lines) {
        if (line.empty() || line[0] != ':' || !ParseRecord(line, r)) continue;
        if (r.Type == 2) base = RecordValue(r) * 16;
        if (r.Type == 4) base = RecordValue(r) * 65536;
        if (r.Type != 0 || r.Count == 0) continue;
        any = true;
        lowest = std::min(lowest, base + r.Address);
        if (base + r.Address + r.Count - 1 > highest) highest = base + r.Address + r.Count + 1;
    }
    if (!any) return image;
    image.Lowest = lowest;
    image.Highest = highest;
    const int64_t blocks = (highest - lowest + 1 + static_cast<int64_t>(kFirmwareBlockBytes) - 1) /
                           static_cast<int64_t>(kFirmwareBlockBytes);
    if (blocks > static_cast<int64_t>(kMaxFirmwareBlocks))
        throw EFirmwareTooLarge("Die Firmware ist zu gro\xDF: " + std::to_string(blocks) +
                                    " Bl\xF6"
                                    "cke zu 63 Byte, das Ger\xE4t nimmt h\xF6"
                                    "chstens " +
                                    std::to_string(kMaxFirmwareBlocks) +
                                    " Bl\xF6"
                                    "cke.",
                                static_cast<std::size_t>(blocks));
    image.Blocks.assign(static_cast<std::size_t>(blocks), std::string(kFirmwareBlockBytes, '\xFF'));

    // pass 2: the contents, every record checked
    base = 0;
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const std::string_view line = lines[n];
        if (line.empty()) continue;
        if (!ParseRecord(line, r) || !r.ChecksumOk || r.Type > 5) FormatError(n + 1);
        if (r.Type == 2) base = RecordValue(r) * 16;
        if (r.Type == 4) base = RecordValue(r) * 65536;
        if (r.Type != 0) continue;
        const int64_t offset = base + r.Address - lowest;
        if (offset < 0) FormatError(n + 1);
        for (std::size_t k = 0; k < r.Data.size(); ++k) {
            const auto at = static_cast<std::size_t>(offset) + k;
            const std::size_t block = at / kFirmwareBlockBytes;
            if (block >= image.Blocks.size()) FormatError(n + 1);
            image.Blocks[block][at % kFirmwareBlockBytes] = r.Data[k];
        }
    }
    return image;
}

TFirmwareImage ReadFirmwareFile(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    std::ostringstream text;
    if (!in || !(text << in.rdbuf()) || in.bad())
        throw EFirmwareUnreadable("Kann Datei " + fileName + " nicht lesen!");
    return ReadFirmwareHex(text.str());
}

} // namespace vaskel
