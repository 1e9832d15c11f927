#include "telegram/DisplayRecords.h"

#include "telegram/TextConventions.h"

#include <cstdio>

namespace vaskel {

namespace {

constexpr char kBlank = ' ';

struct TTypeInfo {
    TDisplayRecord Type;
    const char* No;
    const char* Prefix;
};
constexpr TTypeInfo kTypes[] = {{TDisplayRecord::DS021, "021", "aA"},
                                {TDisplayRecord::DS003a, "003a", "zA"},
                                {TDisplayRecord::DS003c, "003c", "zI"},
                                {TDisplayRecord::DS004c, "004c", "eT"},
                                {TDisplayRecord::DS021a, "021a", "aL"}};

const TTypeInfo& Info(TDisplayRecord type) {
    for (const TTypeInfo& t : kTypes)
        if (t.Type == type) return t;
    return kTypes[0];
}

bool ValidAddress(int a) {
    return a >= 1 && a <= 15;
}

int IbisHexDigitValue(char c) {
    const auto p = kIBISHexDigits.find(c);
    return p == std::string_view::npos ? -1 : static_cast<int>(p);
}

void PadTo(std::string& data, std::size_t block) {
    while (data.size() % block != 0)
        data += kBlank;
}

// IBIS national characters as the umlauts they stand for.
std::string NationalToUmlauts(std::string_view s) {
    static constexpr char kNational[] = "[\\]{|}~";
    static constexpr unsigned char kUmlauts[] = {0xC4, 0xD6, 0xDC, 0xE4, 0xF6, 0xFC, 0xDF};
    std::string out;
    out.reserve(s.size());
    for (char c : s) {
        const char* at = nullptr;
        for (int k = 0; k < 7; ++k)
            if (kNational[k] == c) at = &kNational[k];
        out += at ? static_cast<char>(kUmlauts[at - kNational]) : c;
    }
    return out;
}

int AddressOf(std::string_view telegram) {
    if (telegram.size() < 3) return 2;
    const int v = IbisHexDigitValue(telegram[2]);
    return ValidAddress(v) ? v : 2;
}

// 021: the lines in pairs. doubleLf: an empty line after a pair ends the
// phase. An open line (text after the last LF) completes the last pair or
// starts one more.
std::vector<std::string> Pairs021(const std::vector<std::string>& ended, const std::string* open,
                                  bool doubleLf) {
    std::vector<std::string> rows;
    bool openTaken = open == nullptr;
    for (std::size_t k = 0; k < ended.size();) {
        rows.push_back(ended[k++]);
        if (k < ended.size()) {
            rows.push_back(ended[k++]);
        } else if (!openTaken) {
            rows.push_back(*open);
            openTaken = true;
        } else {
            rows.emplace_back();
        }
        if (doubleLf && k < ended.size() && ended[k].empty()) ++k;
    }
    if (!openTaken) {
        rows.push_back(*open);
        rows.emplace_back();
    }
    return rows;
}

// The text the composer makes of rows: each line with its LF, one more
// after each pair with double line feeds.
std::string Join021(const std::vector<std::string>& rows, bool doubleLf) {
    std::string text;
    for (std::size_t k = 0; k < rows.size(); ++k) {
        text += rows[k];
        text += kLF;
        if (k % 2 == 1 && doubleLf) text += kLF;
    }
    return text;
}

// 003a/003c/004c: LF-terminated pieces, then the rest; the rest loses the
// padding blanks as long as the data keeps its block count.
std::vector<std::string> RowsJoined(std::string_view data, std::size_t block) {
    std::string d(data);
    const std::size_t keepAbove = d.size() >= block ? d.size() - block : 0;
    if (d.size() % block == 0)
        while (d.size() > keepAbove + 1 && d.back() == kBlank)
            d.pop_back();
    std::vector<std::string> rows;
    std::size_t from = 0;
    for (;;) {
        const auto lf = d.find(kLF, from);
        if (lf == std::string::npos) break;
        rows.push_back(d.substr(from, lf - from));
        from = lf + 1;
    }
    rows.push_back(d.substr(from));
    return rows;
}

std::string UpperHex(uint32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%X", v);
    return buf;
}

} // namespace

const char* DisplayRecordNo(TDisplayRecord type) {
    return Info(type).No;
}

bool DisplayRecordFromNo(std::string_view no, TDisplayRecord& type) {
    for (const TTypeInfo& t : kTypes)
        if (no == t.No) {
            type = t.Type;
            return true;
        }
    return false;
}

bool DisplayRecordFromPrefix(std::string_view text, TDisplayRecord& type) {
    std::size_t p = 0;
    while (p < text.size() && text[p] == kBlank)
        ++p;
    const std::string_view two = text.substr(p, 2);
    for (const TTypeInfo& t : kTypes)
        if (two == t.Prefix) {
            type = t.Type;
            return true;
        }
    return false;
}

std::string PhaseTimeText(int index) {
    if (index == kNoPhaseTime) return "Ohne Takt";
    if (index < 0 || index >= kPhaseTimeCount) return {};
    std::string s = std::to_string((index + 2) / 2);
    if (index % 2 == 1) s += ",5";
    return s;
}

int PhaseTimeFromText(std::string_view text) {
    if (text == "none" || text == "Ohne Takt") return kNoPhaseTime;
    for (int i = 0; i < kPhaseTimeCount; ++i) {
        std::string t = PhaseTimeText(i);
        if (text == t) return i;
        if (i % 2 == 1) {
            t[t.size() - 2] = '.';
            if (text == t) return i;
        }
    }
    return kPhaseTimeUnset;
}

int PhaseTimeMs(int index) {
    if (index < 0 || index >= kPhaseTimeCount) return 0;
    return (index + 2) * 500;
}

std::vector<std::string> EmptyRows(TDisplayRecord type) {
    if (type == TDisplayRecord::DS021) return {std::string(), std::string()};
    return {std::string()};
}

TComposeResult ComposeDisplayRecord(const TComposerInput& in) {
    TComposeResult r;
    auto refuse = [&r](TComposeProblem p) {
        r.Problem = p;
        r.Telegram.clear();
        return r;
    };
    switch (in.Type) {
    case TDisplayRecord::DS021: {
        if (!ValidAddress(in.Address)) return refuse(TComposeProblem::NoAddress);
        if (in.PhaseTime < 0 || in.PhaseTime > kNoPhaseTime)
            return refuse(TComposeProblem::NoPhaseTime);
        const bool phased = in.PhaseTime != kNoPhaseTime;
        std::string data = phased ? "A " : "";
        for (std::size_t k = 0; k < in.Rows.size(); ++k) {
            data += in.Rows[k];
            data += kLF;
            if (k % 2 == 1 && in.DoubleLineFeed) data += kLF;
        }
        PadTo(data, 16);
        if (phased) data[1] = kIBISHexDigits[static_cast<std::size_t>(in.PhaseTime)];
        if (data.size() >= 256) return refuse(TComposeProblem::Over15Blocks16);
        r.Telegram = "aA" + IntToIBISHex(in.Address) +
                     IntToIBISHex(static_cast<int>(data.size() / 16)) + data;
        return r;
    }
    case TDisplayRecord::DS003a:
    case TDisplayRecord::DS003c:
    case TDisplayRecord::DS004c: {
        std::string data;
        for (std::size_t k = 0; k < in.Rows.size(); ++k) {
            if (k > 0) data += kLF;
            data += in.Rows[k];
        }
        const bool big = in.Type == TDisplayRecord::DS003a;
        const std::size_t block = big ? 16 : 4;
        PadTo(data, block);
        if (data.size() > 15 * block)
            return refuse(big ? TComposeProblem::Over15Blocks16 : TComposeProblem::Over15Blocks4);
        r.Telegram = std::string(Info(in.Type).Prefix) +
                     IntToIBISHex(static_cast<int>(data.size() / block)) + data;
        return r;
    }
    case TDisplayRecord::DS021a: {
        if (!ValidAddress(in.Address)) return refuse(TComposeProblem::NoAddress);
        const std::string data = in.Rows.empty() ? std::string() : in.Rows[0];
        const std::size_t n = data.size();
        // two IBIS-hex length digits, as the record type has them: n up to
        // 255 (from 256 on the length would take three digits)
        if (n > 255) return refuse(TComposeProblem::TooLong);
        r.Telegram = "aL" + IntToIBISHex(in.Address) + IntToIBISHex(static_cast<int>(n / 16)) +
                     IntToIBISHex(static_cast<int>(n % 16)) + data;
        return r;
    }
    }
    return r;
}

std::string ComposeProblemText(TComposeProblem problem) {
    const std::string tail = "\nDies ist nicht m\xF6glich.\nBitte die Eingabe entsprechend reduzieren!";
    switch (problem) {
    case TComposeProblem::None:
        return {};
    case TComposeProblem::NoAddress:
        return "Bitte geben Sie eine g\xFCltige Adresse ein.";
    case TComposeProblem::NoPhaseTime:
        return "Bitte w\xE4hlen Sie eine Taktzeit aus.";
    case TComposeProblem::Over15Blocks16:
        return "Die Eingabe erfordert das \xDC" "bertragen von mehr als 15 Bl\xF6" "cken zu je 16 Zeichen." +
               tail;
    case TComposeProblem::Over15Blocks4:
        return "Die Eingabe erfordert das \xDC" "bertragen von mehr als 15 Bl\xF6" "cken zu je 4 Zeichen." +
               tail;
    case TComposeProblem::TooLong:
        return "Die Daten sind l\xE4nger als 255 Zeichen." + tail;
    }
    return {};
}

TRecord021 Split021(std::string_view telegram) {
    TRecord021 r;
    const std::string_view t = telegram.substr(0, telegram.find(kCR));
    if (t.size() >= 3) r.Address = IbisHexDigitValue(t[2]);
    std::size_t from = 4;
    if (t.size() >= 6 && t[4] == 'A' && IbisHexDigitValue(t[5]) >= 0) {
        r.PhaseTime = IbisHexDigitValue(t[5]);
        from = 6;
    }
    const std::string_view text = from < t.size() ? t.substr(from) : std::string_view();
    // the lines that end with an LF, and what follows the last one
    std::vector<std::string> ended;
    std::size_t start = 0;
    for (std::size_t lf = text.find(kLF); lf != std::string_view::npos;
         lf = text.find(kLF, start)) {
        ended.emplace_back(text.substr(start, lf - start));
        start = lf + 1;
    }
    std::string open(text.substr(start));
    const std::size_t keep = open.find_last_not_of(kBlank);
    r.Padding = keep == std::string::npos ? open : open.substr(keep + 1);
    open.resize(open.size() - r.Padding.size());
    const std::string_view endedText = text.substr(0, start);
    const std::vector<std::string> asDouble = Pairs021(ended, nullptr, true);
    r.DoubleLineFeed = Join021(asDouble, true) == endedText ||
                       Join021(Pairs021(ended, nullptr, false), false) != endedText;
    r.Lines = Pairs021(ended, open.empty() ? nullptr : &open, r.DoubleLineFeed);
    return r;
}

TComposerInput DecomposeDisplayRecord(TDisplayRecord type, std::string_view telegramIn) {
    TComposerInput in;
    in.Type = type;
    in.Rows = EmptyRows(type);
    if (telegramIn.empty()) {
        if (type == TDisplayRecord::DS021) in.PhaseTime = kPhaseTimeUnset;
        return in;
    }
    const std::string telegram = NationalToUmlauts(telegramIn);
    auto from = [&telegram](std::size_t pos) {
        return pos < telegram.size() ? telegram.substr(pos) : std::string();
    };
    switch (type) {
    case TDisplayRecord::DS021: {
        const TRecord021 r = Split021(telegramIn);
        in.Address = ValidAddress(r.Address) ? r.Address : 2;
        in.PhaseTime = r.PhaseTime;
        in.DoubleLineFeed = r.DoubleLineFeed;
        in.Rows.clear();
        for (const std::string& line : r.Lines)
            in.Rows.push_back(NationalToUmlauts(line));
        if (in.Rows.empty()) in.Rows = EmptyRows(type);
        return in;
    }
    case TDisplayRecord::DS003a:
        in.Rows = RowsJoined(from(3), 16);
        return in;
    case TDisplayRecord::DS003c:
    case TDisplayRecord::DS004c:
        in.Rows = RowsJoined(from(3), 4);
        return in;
    case TDisplayRecord::DS021a: {
        in.Address = AddressOf(telegram);
        in.Rows = {from(5)};
        // from 256 characters on the length takes three digits
        if (ComposeDisplayRecord(in).Telegram != telegram && telegram.size() > 6) {
            TComposerInput longer = in;
            longer.Rows = {from(6)};
            if (ComposeDisplayRecord(longer).Telegram == telegram) return longer;
        }
        return in;
    }
    }
    return in;
}

// --- the passenger's view -------------------------------------------------

int DisplayColumns(TDisplayClass c) {
    switch (c) {
    case TDisplayClass::Front:
        return 24;
    case TDisplayClass::Side:
        return 20;
    case TDisplayClass::Inside:
        return 20;
    }
    return 24;
}

int DisplayLines(TDisplayClass) {
    return 2;
}

TDisplayClass DefaultDisplayClass(TDisplayRecord type) {
    switch (type) {
    case TDisplayRecord::DS021:
    case TDisplayRecord::DS003a:
        return TDisplayClass::Front;
    case TDisplayRecord::DS021a:
        return TDisplayClass::Side;
    case TDisplayRecord::DS003c:
    case TDisplayRecord::DS004c:
        return TDisplayClass::Inside;
    }
    return TDisplayClass::Front;
}

bool BuildDisplayView(std::string_view telegram, TDisplayClass displayClass, TDisplayView& view) {
    std::string t(telegram);
    // the check byte and CR of a captured telegram are no part of the text
    if (const auto cr = t.find(kCR); cr != std::string::npos) t.erase(cr);
    TDisplayRecord type;
    if (!DisplayRecordFromPrefix(t, type)) return false;
    t.erase(0, t.find_first_not_of(kBlank));
    const TComposerInput in = DecomposeDisplayRecord(type, t);
    view = TDisplayView();
    view.Type = type;
    view.PhaseTime = type == TDisplayRecord::DS021 ? in.PhaseTime : kNoPhaseTime;
    const std::size_t columns = static_cast<std::size_t>(DisplayColumns(displayClass));
    const std::size_t lines = static_cast<std::size_t>(DisplayLines(displayClass));
    auto addPhase = [&](std::vector<std::string> rows) {
        // a line's own LF bytes (typed in a cell) break it too
        std::vector<std::string> split;
        for (const std::string& r : rows) {
            std::size_t from = 0;
            for (;;) {
                const auto lf = r.find(kLF, from);
                split.push_back(r.substr(from, lf == std::string::npos ? lf : lf - from));
                if (lf == std::string::npos) break;
                from = lf + 1;
            }
        }
        // empty lines at the end show nothing
        while (split.size() > 1 && split.back().find_first_not_of(kBlank) == std::string::npos)
            split.pop_back();
        TDisplayPhase phase;
        for (std::size_t k = 0; k < split.size(); ++k) {
            if (k >= lines) {
                phase.MoreLines = true;
                break;
            }
            std::string s = split[k];
            while (!s.empty() && s.back() == kBlank)
                s.pop_back();
            TDisplayLine line;
            if (s.size() > columns) {
                line.Cut = true;
                s.resize(columns);
            }
            line.Text = s;
            phase.Lines.push_back(line);
        }
        view.Phases.push_back(phase);
    };
    if (type == TDisplayRecord::DS021) {
        for (std::size_t k = 0; k < in.Rows.size(); k += 2) {
            std::vector<std::string> pair{in.Rows[k]};
            if (k + 1 < in.Rows.size()) pair.push_back(in.Rows[k + 1]);
            addPhase(pair);
        }
    } else {
        addPhase(in.Rows);
    }
    return true;
}

// --- the IBIS-hex converter -----------------------------------------------

TNumberNotations FromDecimalText(std::string_view decimal) {
    TNumberNotations n;
    for (char c : decimal)
        if (c >= '0' && c <= '9') n.Decimal += c;
    if (n.Decimal.empty()) {
        n.Hex = "0";
    } else {
        int64_t v = 0;
        if (!TryStrToInt64(n.Decimal, v) || v < 0 || v > 0xFFFFFFFFLL) v = 0;
        n.Hex = UpperHex(static_cast<uint32_t>(v));
    }
    n.IbisHex = HexToIBISHex(n.Hex);
    return n;
}

TNumberNotations FromHexText(std::string_view hex) {
    TNumberNotations n;
    for (char c : hex) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')) n.Hex += c;
    }
    const int32_t v = n.Hex.empty() ? 0 : HexToIntDef(n.Hex, 0);
    n.Decimal = std::to_string(static_cast<uint32_t>(v));
    n.IbisHex = HexToIBISHex(n.Hex);
    return n;
}

TNumberNotations FromIbisHexText(std::string_view ibisHex) {
    TNumberNotations n;
    for (char c : ibisHex)
        if (c >= 0x30 && c <= 0x3F) n.IbisHex += c;
    int32_t v = 0;
    try {
        v = IBISHexToInt(n.IbisHex);
    } catch (...) {
        v = 0;
    }
    n.Decimal = std::to_string(static_cast<uint32_t>(v));
    n.Hex = UpperHex(static_cast<uint32_t>(v));
    return n;
}

} // namespace vaskel
