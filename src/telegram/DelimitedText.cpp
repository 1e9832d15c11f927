#include "telegram/DelimitedText.h"

#include "telegram/Errors.h"

namespace vaskel {

namespace {

bool IsBlank(char c, bool nulIsBlank) {
    const auto b = static_cast<unsigned char>(c);
    return (b >= 0x01 || nulIsBlank) && b <= 0x20;
}

} // namespace

std::vector<std::string> SplitDelimited(std::string_view line, char delimiter, char quote,
                                        bool keepNul) {
    std::vector<std::string> fields;
    // A NUL byte ends the line, as it would for the system's text routines.
    if (!keepNul)
        if (const auto nul = line.find('\0'); nul != std::string_view::npos)
            line = line.substr(0, nul);
    auto IsBlank = [keepNul](char c) { return ::vaskel::IsBlank(c, keepNul); };
    const std::size_t n = line.size();
    std::size_t p = 0;
    while (p < n && IsBlank(line[p]))
        ++p;
    while (p < n) {
        std::string field;
        if (line[p] == quote) {
            ++p;
            while (p < n) {
                if (line[p] == quote) {
                    if (p + 1 < n && line[p + 1] == quote) {
                        field += quote;
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                field += line[p++];
            }
        } else {
            const std::size_t start = p;
            while (p<n&& static_cast<unsigned char>(line[p])> 0x20 && line[p] != delimiter)
                ++p;
            field.assign(line.substr(start, p - start));
        }
        fields.push_back(std::move(field));
        while (p < n && IsBlank(line[p]))
            ++p;
        if (p < n && line[p] == delimiter) {
            if (p + 1 == n) fields.emplace_back();
            do {
                ++p;
            } while (p < n && IsBlank(line[p]));
        }
    }
    return fields;
}

} // namespace vaskel

namespace vaskel {

namespace {

constexpr std::size_t kDefaultMaxLineBytes = 1024 * 1024;
std::size_t gMaxLineBytes = kDefaultMaxLineBytes;

} // namespace

std::size_t MaxLineBytes() {
    return gMaxLineBytes;
}

void SetMaxLineBytes(std::size_t limit) {
    gMaxLineBytes = limit == 0 ? kDefaultMaxLineBytes : limit;
}

std::string LineTooLongText(int line) {
    return FormatText("Zeile %d ist l\xE4nger als %d Bytes: die Datei ist keine Textdatei "
                      "dieser Art.",
                      {std::to_string(line), std::to_string(MaxLineBytes())});
}

void ForEachTextLine(std::string_view text, const std::function<void(std::string_view, int)>& f) {
    const std::size_t n = text.size();
    const std::size_t limit = MaxLineBytes();
    std::size_t p = 0;
    int lineNo = 0;
    while (p < n) {
        ++lineNo;
        std::size_t e = text.find_first_of("\r\n", p);
        if (e == std::string_view::npos) e = n;
        if (e - p > limit) throw ELineTooLong(LineTooLongText(lineNo), lineNo);
        f(text.substr(p, e - p), lineNo);
        if (e < n && text[e] == '\r' && e + 1 < n && text[e + 1] == '\n') ++e;
        p = e + 1;
    }
}

} // namespace vaskel
