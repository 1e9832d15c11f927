#include "link/TrafficLog.h"

#include "telegram/TextConventions.h"

#include <algorithm>
#include <cstdio>

namespace vaskel {

namespace {

const std::string kEmpty;

std::string Two(int v) {
    char b[16];
    std::snprintf(b, sizeof b, "%.2d", v);
    return b;
}

std::string Stamp(int64_t ms) {
    if (ms < 0) ms = 0;
    char b[32];
    std::snprintf(b, sizeof b, "%.2d:%.2d:%.2d,%.3d", static_cast<int>(ms / 3600000 % 24),
                  static_cast<int>(ms / 60000 % 60), static_cast<int>(ms / 1000 % 60),
                  static_cast<int>(ms % 1000));
    return b;
}

} // namespace

std::string TrafficText(std::string_view bytes, TTrafficMode mode) {
    std::string t = mode == TTrafficMode::Hex ? StrToHexDump(bytes, true) : StrToPrintable(bytes);
    const std::size_t first = t.find_first_not_of(' ');
    t.erase(0, first == std::string::npos ? t.size() : first);
    return t;
}

std::size_t HighlightLength(std::string_view text, TTrafficMode mode, int count) {
    if (count <= 0) return 0;
    if (mode == TTrafficMode::Hex)
        return std::min(text.size(), static_cast<std::size_t>(count) * 3);
    std::size_t p = 0;
    for (int k = 0; k < count && p < text.size(); ++k)
        p += text[p] == '<' && p + 3 < text.size() && text[p + 3] == '>' ? 4 : 1;
    return p;
}

void TTrafficLog::Append(TTrafficSide side, std::string_view bytes, int64_t msOfDay) {
    FRows.push_back({side, TrafficText(bytes, FMode), msOfDay, FMode});
}

std::size_t TTrafficLog::Log(TTrafficSide side, std::string_view bytes, int64_t msOfDay) {
    Append(side, bytes, msOfDay);
    // Both directions count: a long master simulation only sends, and its
    // rows are bounded as much as received ones.
    std::size_t dropped = 0;
    while (OverFull()) {
        DropOldest();
        ++dropped;
    }
    return dropped;
}

const std::string& TTrafficLog::Text(TTrafficSide list, std::size_t index) const {
    const TTrafficRow& r = FRows[index];
    return r.Side == list ? r.Text : kEmpty;
}

void TTrafficLog::SetHighlightCount(int count) {
    FHighlight = std::clamp(count, 0, kMaxHighlight);
}

std::string TTrafficLog::SaveText(const TDateTime& now) const {
    std::string out = "Kommunikationsprotokoll. Aufgezeichnet: " + Two(now.Day) + "." +
                      Two(now.Month) + "." + std::to_string(now.Year) + " " + Two(now.Hour) + ":" +
                      Two(now.Minute) + "\r\n";
    out += std::string(65, '-') + "\r\n";
    for (const TTrafficRow& r : FRows) {
        out += r.Side == TTrafficSide::Received ? "[Ger\xE4t > PC " : "[PC > Ger\xE4t ";
        out += Stamp(r.MsOfDay) + "] " + r.Text + "\r\n";
    }
    out += "----ENDE DER AUFZEICHNUNG -----------------------------------\r\n";
    return out;
}

std::string TTrafficLog::ProposedFileName(const TDateTime& now) {
    return "Kommunikationsprotokoll_" + Two(now.Day) + "-" + Two(now.Month) + "-" +
           std::to_string(now.Year) + "_" + Two(now.Hour) + "-" + Two(now.Minute) + ".txt";
}

} // namespace vaskel
