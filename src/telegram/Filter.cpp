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

bool Match(std::string_view t, const std::vector<TElement>& p, std::size_t i, std::size_t j) {
    while (j < p.size()) {
        if (p[j].Kind == 1) {
            while (j < p.size() && p[j].Kind == 1)
                ++j; // "**" counts as "*"
            if (j == p.size()) return true;
            for (std::size_t k = i; k <= t.size(); ++k)
                if (Match(t, p, k, j)) return true;
            return false;
        }
        if (i == t.size()) return false;
        if (p[j].Kind == 0 && std::toupper(static_cast<unsigned char>(t[i])) !=
                                  std::toupper(static_cast<unsigned char>(p[j].Ch)))
            return false;
        ++i;
        ++j;
    }
    return i == t.size();
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
    return Match(telegram, p, 0, 0);
}

} // namespace vaskel
