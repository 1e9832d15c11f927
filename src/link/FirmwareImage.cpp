#include "link/FirmwareImage.h"

#include "telegram/Errors.h"
#include "telegram/TextConventions.h"

#include <algorithm>
#include <cstdio>
#include <limits>

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
    return static_cast<unsigned char>(r.Data[0]) * 256 + static_cast<unsigned char>(r.Data[1]);
}

// A record longer than this is none: 1 + 2 × (5 + 255) characters.
constexpr std::size_t kMaxRecordChars = 521;

// The lines of a firmware text one at a time, each without its line end
// (CR, LF or CR LF) and trailing blanks; a line longer than any record is
// cut after kMaxRecordChars + 1 characters (and so is no record).
class TLineSource {
public:
    virtual ~TLineSource() = default;
    virtual bool Next(std::string& line) = 0;
    virtual void Rewind() = 0;

protected:
    static void Add(std::string& line, char c) {
        if (line.size() <= kMaxRecordChars) line += c;
    }
    static void Trim(std::string& line) {
        while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.pop_back();
    }
};

class TTextLines : public TLineSource {
public:
    explicit TTextLines(std::string_view text) : FText(text) {}
    bool Next(std::string& line) override {
        if (FPos >= FText.size()) return false;
        line.clear();
        while (FPos < FText.size()) {
            const char c = FText[FPos++];
            if (c == '\n') break;
            if (c == '\r') {
                if (FPos < FText.size() && FText[FPos] == '\n') ++FPos;
                break;
            }
            Add(line, c);
        }
        Trim(line);
        return true;
    }
    void Rewind() override { FPos = 0; }

private:
    std::string_view FText;
    std::size_t FPos = 0;
};

class TFileLines : public TLineSource {
public:
    explicit TFileLines(std::string fileName) : FName(std::move(fileName)) {
        FFile = std::fopen(FName.c_str(), "rb");
        if (!FFile) Unreadable();
    }
    ~TFileLines() override { std::fclose(FFile); }
    TFileLines(const TFileLines&) = delete;
    TFileLines& operator=(const TFileLines&) = delete;

    bool Next(std::string& line) override {
        int c = std::getc(FFile);
        if (c == EOF) {
            // an end that is a read error (a folder, a failing disk)
            if (std::ferror(FFile)) Unreadable();
            return false;
        }
        line.clear();
        while (c != EOF) {
            if (c == '\n') break;
            if (c == '\r') {
                const int d = std::getc(FFile);
                if (d != '\n' && d != EOF) std::ungetc(d, FFile);
                break;
            }
            Add(line, static_cast<char>(c));
            c = std::getc(FFile);
        }
        if (std::ferror(FFile)) Unreadable();
        Trim(line);
        return true;
    }
    void Rewind() override {
        if (std::fseek(FFile, 0, SEEK_SET) != 0) Unreadable();
        std::clearerr(FFile);
    }

private:
    [[noreturn]] void Unreadable() const {
        throw EFirmwareUnreadable("Kann Datei " + FName + " nicht lesen!");
    }
    std::string FName;
    std::FILE* FFile = nullptr;
};

[[noreturn]] void Fault(TFirmwareProblem::TKind kind, std::size_t line) {
    TFirmwareProblem p;
    p.Kind = kind;
    p.Line = line;
    throw EFirmwareFormatError(p);
}

// The data bytes a record of this type must have; -1: any number.
int FixedDataBytes(int type) {
    switch (type) {
    case 1: return 0;
    case 2: case 4: return 2;
    case 3: case 5: return 4;
    default: return -1;
    }
}

std::string Hex32(int64_t v) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "0x%08llX", static_cast<unsigned long long>(v));
    return buf;
}

// Both passes walk the records the same way: the line number, the record
// and the address of its first data byte (data records only).
template <class F> void ForEachRecord(TLineSource& lines, F&& each) {
    std::string line;
    std::size_t n = 0;
    TRecord r;
    int64_t base = 0;
    bool ended = false;
    while (lines.Next(line)) {
        ++n;
        if (line.empty()) continue;
        if (ended) Fault(TFirmwareProblem::TKind::AfterEnd, n);
        if (!ParseRecord(line, r) || !r.ChecksumOk || r.Type > 5)
            Fault(TFirmwareProblem::TKind::BadRecord, n);
        const int fixed = FixedDataBytes(r.Type);
        if (fixed >= 0 && r.Count != fixed) {
            TFirmwareProblem p;
            p.Kind = TFirmwareProblem::TKind::RecordLength;
            p.Line = n;
            p.Type = r.Type;
            p.Count = static_cast<std::size_t>(r.Count);
            throw EFirmwareFormatError(p);
        }
        if (r.Type == 1) ended = true;
        if (r.Type == 2) base = RecordValue(r) * 16;
        if (r.Type == 4) base = RecordValue(r) * 65536;
        if (r.Type != 0 || r.Count == 0) continue;
        const int64_t at = base + r.Address;
        if (at + r.Count - 1 > 0xFFFFFFFFLL) Fault(TFirmwareProblem::TKind::BeyondSpace, n);
        each(n, r, at);
    }
    if (!ended) {
        TFirmwareProblem p;
        p.Kind = TFirmwareProblem::TKind::NoEnd;
        throw EFirmwareNoEnd(p);
    }
}

TFirmwareImage ReadFirmware(TLineSource& lines) {
    TFirmwareImage image;
    // pass 1: every record checked, the range of the data
    int64_t lowest = 0, last = -1;
    ForEachRecord(lines, [&](std::size_t, const TRecord& r, int64_t at) {
        if (last < 0 || at < lowest) lowest = at;
        last = std::max(last, at + r.Count - 1);
    });
    if (last < 0) return image;
    image.Lowest = lowest;
    image.Highest = last + 2;
    const int64_t blocks = (image.Highest - lowest + 1 + static_cast<int64_t>(kFirmwareBlockBytes) - 1) /
                           static_cast<int64_t>(kFirmwareBlockBytes);
    if (blocks > static_cast<int64_t>(kMaxFirmwareBlocks)) {
        TFirmwareProblem p;
        p.Kind = TFirmwareProblem::TKind::TooLarge;
        p.From = lowest;
        p.To = last;
        throw EFirmwareTooLarge(p, static_cast<std::size_t>(blocks));
    }
    image.Blocks.assign(static_cast<std::size_t>(blocks), std::string(kFirmwareBlockBytes, '\xFF'));

    // pass 2: the contents; each byte filled once, by the line kept here
    std::vector<uint32_t> filledBy(static_cast<std::size_t>(blocks) * kFirmwareBlockBytes, 0);
    lines.Rewind();
    ForEachRecord(lines, [&](std::size_t n, const TRecord& r, int64_t at) {
        const auto offset = static_cast<std::size_t>(at - lowest);
        for (std::size_t k = 0; k < r.Data.size(); ++k) {
            const std::size_t i = offset + k;
            if (filledBy[i] != 0) {
                TFirmwareProblem p;
                p.Kind = TFirmwareProblem::TKind::Overlap;
                p.Line = n;
                p.OtherLine = filledBy[i];
                p.From = at + static_cast<int64_t>(k);
                throw EFirmwareFormatError(p);
            }
            filledBy[i] = static_cast<uint32_t>(n);
            image.Blocks[i / kFirmwareBlockBytes][i % kFirmwareBlockBytes] = r.Data[k];
        }
    });
    return image;
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

std::string FirmwareProblemText(const TFirmwareProblem& p) {
    using K = TFirmwareProblem::TKind;
    const std::string line = kFirmwareFormatError + std::to_string(p.Line);
    switch (p.Kind) {
    case K::BadRecord:
        return line;
    case K::AfterEnd:
        return line + " (nach dem Endesatz der Datei)";
    case K::RecordLength: {
        char type[8];
        std::snprintf(type, sizeof type, "%02X", static_cast<unsigned>(p.Type));
        return line + FormatText(" (ein Satz vom Typ %s hat %d Datenbytes, nicht %d)",
                                 {type, std::to_string(FixedDataBytes(p.Type)),
                                  std::to_string(p.Count)});
    }
    case K::Overlap:
        return line + FormatText(" (Adresse %s ist schon in Zeile %d belegt)",
                                 {Hex32(p.From), std::to_string(p.OtherLine)});
    case K::BeyondSpace:
        return line + " (die Daten reichen \xFC" "ber Adresse 0xFFFFFFFF hinaus)";
    case K::NoEnd:
        return "Die Datei endet ohne Endesatz (:00000001FF), sie ist unvollst\xE4ndig.";
    case K::TooLarge:
        return FormatText("Die Firmware belegt die Adressen %s bis %s (%d Byte), das Ger\xE4t "
                          "nimmt h\xF6" "chstens %d Byte (%d Bl\xF6" "cke zu 63 Byte).",
                          {Hex32(p.From), Hex32(p.To), std::to_string(p.To - p.From + 1),
                           std::to_string(kMaxFirmwareBlocks * kFirmwareBlockBytes),
                           std::to_string(kMaxFirmwareBlocks)});
    }
    return line;
}

TFirmwareImage ReadFirmwareHex(std::string_view text) {
    TTextLines lines(text);
    return ReadFirmware(lines);
}

TFirmwareImage ReadFirmwareFile(const std::string& fileName) {
    TFileLines lines(fileName);
    return ReadFirmware(lines);
}

} // namespace vaskel
