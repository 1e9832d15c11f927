#include "telegram/Filter.h"

#include "telegram/TextConventions.h"

#include <cctype>

namespace vaskel {

bool PrefixMatches(std::string_view t, std::string_view k) {
    if (k.size() < t.size()) t = t.substr(0, k.size());
    if (t.size() != k.size()) return false; // a key longer than the telegram
    for (std::size_t i = 0; i < t.size(); ++i)
        if (t[i] != ' ' && t[i] != k[i]) return false;
    return true;
}

bool FilterAccepts(std::string_view telegram, std::string_view recordNo,
                   std::string_view filterSatzArten, std::string_view filterKuerzel) {
    if (filterSatzArten.empty()) return true;
    bool listed = false;
    for (const std::string& entry : SplitTokens(std::string(filterSatzArten), ";"))
        listed = listed || entry == recordNo;
    if (!listed) return false;
    for (const std::string& key : SplitTokens(std::string(filterKuerzel), ";"))
        if (PrefixMatches(telegram, key)) return true;
    return false;
}

bool FilterShowsRow(std::string_view telegram, std::string_view recordNoCell,
                    std::string_view errorCell, std::string_view filterSatzArten,
                    std::string_view filterKuerzel, bool neverFilterErrors) {
    if (!telegram.empty() && FilterAccepts(telegram, recordNoCell, filterSatzArten, filterKuerzel))
        return true;
    return !TrimBlanks(errorCell).empty() && neverFilterErrors;
}

namespace {

// pattern elements: literal (ch), any run ('*' wildcard), one ('?' wildcard)
struct TElement {
    char Ch;
    int Kind; // 0 literal, 1 star, 2 one
};

// A Windows-1252 letter in upper case (the umlauts and accented letters
// too; the sharp s has no upper-case byte).
unsigned char UpperLetter(char c) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 0xE0 && b <= 0xFE && b != 0xF7) return static_cast<unsigned char>(b - 0x20);
    if (b == 0x9A || b == 0x9C || b == 0x9E) return static_cast<unsigned char>(b - 0x10);
    if (b == 0xFF) return 0x9F;
    return static_cast<unsigned char>(std::toupper(b));
}

bool SameLetter(char a, char b) {
    return UpperLetter(a) == UpperLetter(b);
}

// The whole of t against p. On a mismatch only the last star takes one more
// character: an earlier star never needs to, since whatever the later part
// matched after it could match after the last star too. At most
// |t| x |p| steps, whatever the stars (trying every split for every star
// took exponential time on a search text of many stars).
bool Match(std::string_view t, const std::vector<TElement>& p) {
    constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::size_t i = 0, j = 0;
    std::size_t star = kNone, resume = 0; // the last star and where its run ends
    while (i < t.size()) {
        if (j < p.size() && p[j].Kind == 1) {
            star = j++;
            resume = i;
        } else if (j < p.size() && (p[j].Kind == 2 || SameLetter(t[i], p[j].Ch))) {
            ++i;
            ++j;
        } else if (star != kNone) {
            j = star + 1;
            i = ++resume;
        } else {
            return false;
        }
    }
    while (j < p.size() && p[j].Kind == 1)
        ++j;
    return j == p.size();
}

} // namespace

bool MarkMatches(std::string_view telegram, std::string_view markText) {
    if (markText.empty()) return false;
    std::vector<TElement> p;
    for (std::size_t k = 0; k < markText.size(); ++k) {
        const char c = markText[k];
        if (c == '/' && k + 1 < markText.size() &&
            (markText[k + 1] == '?' || markText[k + 1] == '*')) {
            p.push_back({markText[++k], 0});
        } else if (c == '*') {
            p.push_back({c, 1});
        } else if (c == '?') {
            p.push_back({c, 2});
        } else {
            p.push_back({c, 0});
        }
    }
    if (p.empty() || p.back().Kind != 1) p.push_back({'*', 1});
    return Match(telegram, p);
}

} // namespace vaskel
