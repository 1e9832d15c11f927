#include "simulation/DirectInput.h"

#include "telegram/ClockTelegrams.h"
#include "telegram/DelimitedText.h"
#include "telegram/TextConventions.h"

#include <algorithm>
#include <cctype>

namespace vaskel {

namespace {

std::string Upper(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

} // namespace

std::string ExpandDirectInput(const std::string& text, const TDateTime& now) {
    if (text == "u") return TimeTelegram(now);
    if (text == "d") return DateTelegram(now);
    if (Upper(text) == "DU") return DateTimeTelegram(now);
    return text;
}

bool AddToHistory(std::vector<std::string>& history, const std::string& text) {
    const std::size_t start = text.find_first_not_of(' ');
    const std::string item = start == std::string::npos ? std::string() : text.substr(start);
    const std::string key = Upper(text);
    const auto same = [&](const std::string& h) {
        return Upper(h) == key || Upper(h) == Upper(item);
    };
    const auto it = std::find_if(history.begin(), history.end(), same);
    if (it == history.begin() && it != history.end()) return false;
    if (it != history.end()) {
        const std::string kept = *it;
        history.erase(it);
        history.insert(history.begin(), kept);
        return true;
    }
    while (history.size() >= kHistorySize)
        history.pop_back();
    history.insert(history.begin(), item);
    return true;
}

std::string HistoryToSetting(const std::vector<std::string>& history) {
    std::string out;
    for (std::size_t k = 0; k < history.size(); ++k) {
        if (k) out += ',';
        const std::string& h = history[k];
        const bool quote = h.empty() || h.find_first_of(" ,\"") != std::string::npos ||
                           std::any_of(h.begin(), h.end(),
                                       [](char c) { return static_cast<unsigned char>(c) < 0x20; });
        if (!quote) {
            out += h;
            continue;
        }
        out += '"';
        for (char c : h) {
            if (c == '"') out += '"';
            out += c;
        }
        out += '"';
    }
    return out;
}

std::vector<std::string> HistoryFromSetting(const std::string& setting) {
    if (setting.empty()) return {};
    std::vector<std::string> items = SplitDelimited(setting, ',', '"');
    std::erase_if(items, [](const std::string& s) { return s.empty(); });
    if (items.size() > kHistorySize) items.resize(kHistorySize);
    return items;
}

TLiveCheck LiveCheck(const std::string& typed, const TTelegramRecord& r) {
    TLiveCheck c;
    const bool found = !r.RecordNo.empty();
    if (!typed.empty()) c.RecordCaption = found ? "DS" + r.RecordNo : "???";
    c.RecordNo = r.RecordNo;
    c.Pattern = TelegramToUmlautDisplay(r.PatternText);
    if (r.ExactMatch && r.RoleAsExpected)
        c.Verdict = TLiveCheck::Fine;
    else if (r.ExactMatch)
        c.Verdict = TLiveCheck::TypeError;
    else if (r.RoleAsExpected && found)
        c.Verdict = TLiveCheck::SyntaxError;
    else if (found)
        c.Verdict = TLiveCheck::SyntaxAndTypeError;
    else
        c.Verdict = typed.empty() ? TLiveCheck::Empty : TLiveCheck::Unknown;
    if (r.RecordNo == "003a" || r.RecordNo == "003c" || r.RecordNo == "021" ||
        r.RecordNo == "004c" || r.RecordNo == "021a")
        c.DetailCaption = "DS " + r.RecordNo + " ...";
    return c;
}

} // namespace vaskel
