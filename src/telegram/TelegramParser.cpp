#include "telegram/TelegramParser.h"

#include "telegram/TextConventions.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace vaskel {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsClassLetter(char c) {
    return c == 'H' || c == 'X' || c == 'Z' || c == 'C';
}

// Value of body character b in class c, or -1 when b is outside the class.
int ClassValue(char c, char b) {
    switch (c) {
    case 'H':
        return (b >= 0x30 && b <= 0x3F) ? b - 0x30 : -1;
    case 'X':
        if (b >= '0' && b <= '9') return b - '0';
        if (b >= 'A' && b <= 'F') return b - 'A' + 10;
        return -1;
    case 'Z':
        return IsDigit(b) ? b - '0' : -1;
    default: // 'C'
        return 0;
    }
}

// A count of more digits than any telegram has characters is held at this
// ceiling instead of growing on: it fails like every count longer than the
// body, and the arithmetic stays in range whatever a catalogue holds.
constexpr int64_t kCountCeiling = int64_t{1} << 40;
// A repeat counter below this floor is held there. Counters only move by
// one per consumed body character, so the floor behaves like any other
// negative counter and never reaches the end of the range.
constexpr int64_t kRepeatFloor = INT64_MIN / 2;

struct WalkResult {
    bool Exact = false;
    int Consumed = 0; // body characters consumed when the walk ended
    int Head = -1;    // consumed before the first '[', digit or '*'
    bool EndedByStar = false;
    int AddressPos = -1;
};

// One left-to-right walk of a compact pattern over a telegram body. Scoring
// and splitting differ only in '@' and in how a group closes.
template <bool Split> WalkResult Walk(std::string_view body, std::string_view pat) {
    WalkResult r;
    const int B = static_cast<int>(body.size());
    const int P = static_cast<int>(pat.size());
    if (B == 0 || P == 0) return r;

    int i = 0, j = 0;
    int64_t count = 0;
    bool star = false;
    uint64_t acc = 0;
    int64_t vars[10] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    int64_t repeat = 0;
    int open = 0;
    int groupPos = 0;
    int groupEntry = 0; // body position when the current group pass began
    bool inSet = false;
    int setStart = 0;
    bool addrPending = false;

    auto fail = [&]() {
        r.Consumed = i;
        if (r.Head < 0) r.Head = i;
        return r;
    };
    auto done = [&](bool byStar) {
        r.Exact = true;
        r.EndedByStar = byStar;
        r.Consumed = i;
        if (r.Head < 0) r.Head = i;
        return r;
    };

    // One body character of class c: checked, taken into the number, and
    // marked as the address where one is pending. false: it does not fit.
    auto takeClassChar = [&](char c) {
        if (i == B) return false;
        const int v = ClassValue(c, body[i]);
        if (v < 0) return false;
        if (c == 'H' || c == 'X')
            acc = acc * 16 + static_cast<uint64_t>(v);
        else if (c == 'Z')
            acc = acc * 10 + static_cast<uint64_t>(v);
        if constexpr (Split) {
            if (addrPending && c != 'C') {
                r.AddressPos = i;
                addrPending = false;
            }
        }
        ++i;
        return true;
    };

    for (;;) {
        if (i == B && j == P) return done(false);
        if (j == P) return fail(); // body left over
        if (i == B && repeat != 0) return fail();
        const char c = pat[j];
        if (r.Head < 0 && (c == '[' || c == '*' || IsDigit(c))) r.Head = i;

        if (c == '[') {
            inSet = true;
            setStart = j + 1;
            ++j;
            continue;
        }
        if (inSet) {
            if (c != ']') {
                ++j;
                continue;
            }
            inSet = false;
            if (i == B) return fail();
            if (pat.substr(setStart, j - setStart).find(body[i]) == std::string_view::npos)
                return fail();
            ++i;
            ++j;
            continue;
        }
        if (c == ' ' || c == ',') {
            ++j;
            continue;
        }
        if (c == '@') {
            if constexpr (Split) addrPending = true;
            ++j;
            continue;
        }
        if (IsDigit(c) || c == '*') {
            const char next = j + 1 < P ? pat[j + 1] : '\0';
            const bool isCount =
                IsDigit(next) || next == '*' || IsClassLetter(next) || (i < B && body[i] != c);
            if (isCount) {
                if (c == '*') {
                    star = true;
                } else if (!star) {
                    acc = 0;
                    count = std::min(count * 10 + (c - '0'), kCountCeiling);
                }
                ++j;
                continue;
            }
            // a literal digit or star, equal to the body character
            if (i == B) return fail();
            ++i;
            ++j;
            star = false;
            continue;
        }
        if (IsClassLetter(c) && count > 0 && !star) {
            // A counted class: its characters are taken one after the other
            // with nothing else to check in between.
            if (c == 'C') {
                const int64_t take = std::min<int64_t>(count, B - i);
                i += static_cast<int>(take);
                count -= take;
                if (count > 0) return fail();
            }
            while (count > 0) {
                if (!takeClassChar(c)) return fail();
                --count;
            }
            ++j;
            continue;
        }
        if (IsClassLetter(c) && star) {
            if (!takeClassChar(c)) return fail();
            if (c == 'C' || i == B) return done(true);
            continue;
        }
        if (c == '=') {
            if (j + 2 >= P || pat[j + 1] != '$' || !IsDigit(pat[j + 2])) return fail();
            vars[pat[j + 2] - '0'] = static_cast<int64_t>(acc);
            j += 3;
            continue;
        }
        if (c == '$') {
            if (j + 1 >= P || !IsDigit(pat[j + 1])) return fail();
            const int64_t v = vars[pat[j + 1] - '0'];
            repeat = v > kRepeatFloor ? v - 1 : kRepeatFloor;
            j += 2;
            continue;
        }
        if (c == '(') {
            ++open;
            groupPos = j + 1;
            groupEntry = i;
            ++j;
            continue;
        }
        if (c == ')') {
            if (open == 0) return fail();
            const bool again = Split ? repeat > 0 : repeat != 0;
            if (again) {
                // A group that consumed nothing could never finish.
                if (i == groupEntry) return fail();
                --repeat;
                j = groupPos;
                groupEntry = i;
                continue;
            }
            --open;
            ++j;
            if constexpr (Split) {
                if (repeat < 0 && i > 0) --i;
            }
            continue;
        }
        // any other character: a literal
        if (i == B || body[i] != c) return fail();
        ++i;
        ++j;
    }
}

bool IsSpecialFirst(char c) {
    return IsDigit(c) || c == '$' || c == '(' || c == ')' || c == '*' || c == '=' || c == '@' ||
           c == '[' || c == ']' || c == ' ' || c == ',';
}

int Combo(TBusType bus, bool master) {
    return (bus == TBusType::bsTrainBus ? 2 : 0) + (master ? 1 : 0);
}

} // namespace

int MatchScore(std::string_view body, std::string_view pattern) {
    if (body.empty() || pattern.empty()) return -1000;
    const WalkResult w = Walk<false>(body, pattern);
    if (w.Exact) return -1;
    // Heads of millions of characters would leave the range: held at the top.
    const int64_t score = int64_t{1000} * w.Head + 1 + w.Consumed;
    return static_cast<int>(std::min<int64_t>(score, INT32_MAX));
}

TTelegramParts DivideTelegram(std::string_view t) {
    TTelegramParts parts;
    const std::size_t n = t.size();
    if (n >= 2 && t[n - 2] == kCR) {
        parts.HasCR = true;
        parts.CheckByte = t.substr(n - 1);
        parts.Body = t.substr(0, n - 2);
    } else if (n >= 1 && t[n - 1] == kCR) {
        parts.HasCR = true;
        parts.Body = t.substr(0, n - 1);
    } else {
        parts.Body = t;
    }
    return parts;
}

TTelegramData MakeTelegramData(const TTelegramRecord& record) {
    TTelegramData d;
    d.ExpectedAnswers = record.Answers;
    // An address taken by a hex class may not be an IBIS-hex digit.
    try {
        d.Address = IBISHexToInt(record.Address);
    } catch (const EConversionError&) {
        d.Address = HexToIntDef(record.Address, 0);
    }
    return d;
}

// The catalogue in force with the tables the classifier scans by.
struct TIBISTelegramParser::TCatalogue {
    std::shared_ptr<const TProfileArray> Records;
    TFirstCharIndex Index{};
    std::array<int, kIndexSize> BlockEnd{};
    std::vector<unsigned char> PlainFirst;
    // Per bus type and role: next record at or after k that takes part.
    std::array<std::vector<int>, 4> NextEligible;
    std::array<std::vector<int>, 4> NextPlainEligible;
    std::array<std::vector<int>, 4> SpecialEligible;
};

std::shared_ptr<const TIBISTelegramParser::TCatalogue>
TIBISTelegramParser::Prepare(TProfileArray records) {
    auto cat = std::make_shared<TCatalogue>();
    const auto arr = std::make_shared<const TProfileArray>(std::move(records));
    cat->Records = arr;
    cat->Index = BuildFirstCharIndex(*arr);
    const int n = static_cast<int>(arr->size());
    for (int c = 0; c < kIndexSize; ++c) {
        int k = cat->Index[c];
        if (k >= 0)
            while (k < n && !(*arr)[k].Pattern.empty() &&
                   static_cast<unsigned char>((*arr)[k].Pattern[0]) == c + 0x20)
                ++k;
        cat->BlockEnd[c] = k;
    }
    cat->PlainFirst.resize(n);
    for (int k = 0; k < n; ++k) {
        const std::string& p = (*arr)[k].Pattern;
        cat->PlainFirst[k] = !p.empty() && !IsSpecialFirst(p[0]);
    }
    for (int combo = 0; combo < 4; ++combo) {
        const bool train = combo >= 2;
        const bool master = combo % 2 == 1;
        auto& next = cat->NextEligible[combo];
        auto& nextPlain = cat->NextPlainEligible[combo];
        next.assign(n + 1, n);
        nextPlain.assign(n + 1, n);
        for (int k = n - 1; k >= 0; --k) {
            const auto& r = (*arr)[k];
            const bool eligible = r.TrainBus == train && r.Master == master;
            next[k] = eligible ? k : next[k + 1];
            nextPlain[k] = (eligible && cat->PlainFirst[k]) ? k : nextPlain[k + 1];
        }
        for (int k = 0; k < n; ++k) {
            const auto& r = (*arr)[k];
            if (r.TrainBus == train && r.Master == master && !cat->PlainFirst[k])
                cat->SpecialEligible[combo].push_back(k);
        }
    }
    return cat;
}

TIBISTelegramParser::TIBISTelegramParser(std::string fileName) : FFileName(std::move(fileName)) {
    Reload();
}

TIBISTelegramParser::TIBISTelegramParser(TProfileArray records)
    : FCat(Prepare(std::move(records))) {}

std::shared_ptr<const TProfileArray> TIBISTelegramParser::ProfileArray() const {
    return FCat->Records;
}

const TFirstCharIndex& TIBISTelegramParser::FirstCharIndex() const {
    return FCat->Index;
}

void TIBISTelegramParser::Reload() {
    // Load into a new array first: a broken file leaves the catalogue in force.
    FCat = Prepare(LoadCatalogueFile(FFileName));
}

void TIBISTelegramParser::SplitFields(TTelegramRecord& res, const TWagenbusProfileRecord& type) {
    res.RecordNo = type.RecordNo;
    res.Pattern = type.Pattern;
    res.PatternText = type.PatternText;
    res.Description = type.Description;
    res.Example = type.Example;
    res.Answers = type.Answers;
    res.TrainBus = type.TrainBus;
    res.Master = type.Master;
    res.Filter = type.Filter;

    res.Prefix.clear();
    const std::size_t pl = std::min(type.Prefix.size(), res.Telegram.size());
    for (std::size_t k = 0; k < pl; ++k)
        if (type.Prefix[k] == res.Telegram[k]) res.Prefix += type.Prefix[k];

    const TTelegramParts parts = DivideTelegram(res.Telegram);
    res.CRText = parts.HasCR ? "<CR>" : "";
    res.CheckByte.assign(parts.CheckByte);
    res.Address.clear();
    res.Data.clear();
    res.Rest.clear();
    res.DataText.clear();
    res.RestText.clear();

    const std::string_view body = parts.Body;
    const WalkResult w = Walk<true>(body, type.Pattern);
    const int B = static_cast<int>(body.size());
    if (w.AddressPos >= 0 && w.AddressPos < B) res.Address.assign(1, body[w.AddressPos]);
    if (!w.Exact) {
        res.Rest.assign(body.substr(std::min(w.Consumed, B)));
        res.RestText = TelegramToUmlautDisplay(res.Rest);
    }
    const int start = static_cast<int>(res.Prefix.size() + res.Address.size());
    const int end = w.EndedByStar ? B : std::min(w.Consumed, B);
    if (end > start) res.Data.assign(body.substr(start, end - start));
    res.DataText = TelegramToUmlautDisplay(res.Data);
}

TTelegramRecord TIBISTelegramParser::Classify(std::string_view text, bool asMaster,
                                              TBusType busType) const {
    TTelegramRecord r;
    Classify(text, asMaster, busType, r);
    return r;
}

void TIBISTelegramParser::Classify(std::string_view text, bool asMaster, TBusType busType,
                                   TTelegramRecord& res) const {
    // 1. "<CR>" typed as text stands for the CR byte.
    res.Telegram.clear();
    if (text.find("<CR>") == std::string_view::npos) {
        res.Telegram.assign(text);
    } else {
        std::size_t p = 0;
        while (p < text.size()) {
            if (text.compare(p, 4, "<CR>") == 0) {
                res.Telegram += kCR;
                p += 4;
            } else {
                res.Telegram += text[p++];
            }
        }
    }
    const TTelegramParts parts = DivideTelegram(res.Telegram);
    const std::string_view body = parts.Body;

    const TCatalogue& cat = *FCat;
    const TProfileArray& arr = *cat.Records;
    const int n = static_cast<int>(arr.size());

    int chosen = -1;
    bool exact = false;
    bool roleOk = false;
    int best = -1;
    int chosenScore = 0;

    const auto first = body.empty() ? 0 : static_cast<unsigned char>(body[0]);
    const bool searchable = !TrimBlanks(res.Telegram).empty() && !body.empty() && first >= 0x20 &&
                            first <= 0x7E && cat.Index[first - 0x20] >= 0;
    if (searchable) {
        const int start = cat.Index[first - 0x20];
        const int blockEnd = cat.BlockEnd[first - 0x20];
        for (int pass = 0; pass < 2 && !exact; ++pass) {
            const bool role = pass == 0 ? asMaster : !asMaster;
            const int combo = Combo(busType, role);
            const auto& next = cat.NextEligible[combo];
            auto consider = [&](int k, int score) {
                if (score == -1) {
                    chosen = k;
                    exact = true;
                    roleOk = pass == 0;
                    return true;
                }
                if (score > best) {
                    best = score;
                    chosen = k;
                    chosenScore = score;
                    roleOk = pass == 0;
                }
                return false;
            };
            // Records whose pattern starts with the body's first character.
            bool stop = false;
            for (int k = next[start]; k < blockEnd && !stop; k = next[k + 1])
                stop = consider(k, MatchScore(body, arr[k].Pattern));
            if (stop) break;
            // Past that block a pattern starting with another literal fails
            // at its first character and scores exactly 1, so only the first
            // such record can win; patterns with a special first character
            // are walked.
            int plain = cat.NextPlainEligible[combo][blockEnd];
            for (int k : cat.SpecialEligible[combo]) {
                if (k < blockEnd) continue;
                if (plain < k && plain < n) {
                    consider(plain, 1);
                    plain = n;
                }
                if (consider(k, MatchScore(body, arr[k].Pattern))) {
                    stop = true;
                    break;
                }
            }
            if (stop) break;
            if (plain < n) consider(plain, 1);
        }
    }

    if (chosen >= 0) {
        SplitFields(res, arr[chosen]);
        res.ExactMatch = exact;
        res.RoleAsExpected = roleOk;
        res.MatchedLength = exact ? -1 : chosenScore % 1000;
        return;
    }
    // No record type.
    res.RecordNo.clear();
    res.Pattern.clear();
    res.PatternText.clear();
    res.Description.clear();
    res.Example.clear();
    res.Answers.clear();
    res.Prefix.clear();
    res.Address.clear();
    res.CRText = parts.HasCR ? "<CR>" : "";
    res.CheckByte.assign(parts.CheckByte);
    res.Data.clear();
    res.DataText.clear();
    res.Rest.assign(body);
    res.RestText = TelegramToUmlautDisplay(res.Rest);
    res.TrainBus = res.Master = res.Filter = false;
    res.ExactMatch = res.RoleAsExpected = false;
    res.MatchedLength = 0;
}

} // namespace vaskel
