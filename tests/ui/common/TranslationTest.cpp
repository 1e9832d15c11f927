// The English texts: every German text the program hands to its text
// functions has a translation in translations/vaskel_en.ts, the compiled
// translations are the ones of that file, and the language switches at run
// time.
//
// The German texts are found in the sources: the string literals handed to
// Tr, TrLines and SetDe, and to the helpers that pass one of their
// parameters on to them (NewMenu, Label, Add ...). A text that is not a
// literal at the call is followed to where it comes from: a constant or an
// array of the program or of the engine, a field the engine sets, a
// function that returns literals.

#include "emulator/VirtualUsb.h"
#include "platform/QtText.h"
#include "recording/OpenedProtocol.h"
#include "shell/SystemPlatform.h"
#include "telegram/TelegramParser.h"
#include "ui/common/ActionTable.h"
#include "ui/common/ChildWindow.h"
#include "ui/common/FileDialogs.h"
#include "ui/common/Session.h"
#include "ui/common/Texts.h"
#include "ui/main/DirectInputBox.h"
#include "ui/main/MainForm.h"
#include "ui/main/ModeArea.h"
#include "ui/protocol/ProtocolForm.h"

#include "TestSupport.h"
#include "ui/AutoAnswer.h"

#include <QAction>
#include <QMenu>
#include <QAbstractButton>
#include <QRegularExpression>
#include <QLabel>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QMenuBar>
#include <QPushButton>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>

namespace vaskel {
namespace {

namespace fs = std::filesystem;

const fs::path kRoot = fs::path(VASKEL_TEST_DATA_DIR).parent_path();

// ---------------------------------------------------------------------------
// A C++ token reader: just enough to follow texts through the sources.

struct TToken {
    enum TKind { Ident, Literal, Punct, Other };
    TKind Kind;
    std::string Text; // a literal: its bytes, escapes resolved
    int Line;
};

struct TSource {
    std::string Name;  // below src/, with '/'
    bool Utf8 = false; // the windows' sources; the engine's texts are Windows-1252
    std::vector<TToken> Tokens;
};

void AppendUtf8(std::string& out, uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool IsIdentStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}
bool IsIdentChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

std::vector<TToken> Tokenize(const std::string& s) {
    std::vector<TToken> out;
    std::size_t i = 0;
    int line = 1;
    bool lineStart = true;
    const auto at = [&](std::size_t k) { return k < s.size() ? s[k] : '\0'; };
    while (i < s.size()) {
        const char c = s[i];
        if (c == '\n') {
            ++line;
            ++i;
            lineStart = true;
            continue;
        }
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
            continue;
        }
        if (c == '#' && lineStart) { // a preprocessor line, continuations included
            while (i < s.size() && s[i] != '\n') {
                if (s[i] == '\\' && at(i + 1) == '\n') {
                    ++line;
                    ++i;
                }
                ++i;
            }
            continue;
        }
        lineStart = false;
        if (c == '/' && at(i + 1) == '/') {
            while (i < s.size() && s[i] != '\n')
                ++i;
            continue;
        }
        if (c == '/' && at(i + 1) == '*') {
            i += 2;
            while (i < s.size() && !(s[i] == '*' && at(i + 1) == '/')) {
                if (s[i] == '\n') ++line;
                ++i;
            }
            i += 2;
            continue;
        }
        if (IsIdentStart(c)) {
            std::size_t j = i;
            while (IsIdentChar(at(j)))
                ++j;
            const std::string word = s.substr(i, j - i);
            const bool prefix = word == "u8" || word == "u" || word == "U" || word == "L";
            const bool raw =
                word == "R" || word == "u8R" || word == "uR" || word == "UR" || word == "LR";
            if (raw && at(j) == '"') { // R"delimiter( ... )delimiter"
                const std::size_t open = s.find('(', j);
                const std::string end = ")" + s.substr(j + 1, open - j - 1) + "\"";
                const std::size_t close = s.find(end, open);
                const std::string body = s.substr(open + 1, close - open - 1);
                line += static_cast<int>(std::count(body.begin(), body.end(), '\n'));
                out.push_back({TToken::Literal, body, line});
                i = close + end.size();
                continue;
            }
            if (prefix && (at(j) == '"' || at(j) == '\'')) {
                i = j; // the literal itself follows
                continue;
            }
            out.push_back({TToken::Ident, word, line});
            i = j;
            continue;
        }
        if (std::isdigit(static_cast<unsigned char>(c)) ||
            (c == '.' && std::isdigit(static_cast<unsigned char>(at(i + 1))))) {
            std::size_t j = i + 1;
            while (IsIdentChar(at(j)) || at(j) == '.' || at(j) == '\'' ||
                   ((at(j) == '+' || at(j) == '-') &&
                    (at(j - 1) == 'e' || at(j - 1) == 'E' || at(j - 1) == 'p' || at(j - 1) == 'P')))
                ++j;
            out.push_back({TToken::Other, s.substr(i, j - i), line});
            i = j;
            continue;
        }
        if (c == '"' || c == '\'') {
            std::string bytes;
            std::size_t j = i + 1;
            while (j < s.size() && s[j] != c) {
                if (s[j] != '\\') {
                    bytes += s[j++];
                    continue;
                }
                const char e = at(j + 1);
                j += 2;
                switch (e) {
                case 'n':
                    bytes += '\n';
                    break;
                case 'r':
                    bytes += '\r';
                    break;
                case 't':
                    bytes += '\t';
                    break;
                case 'a':
                    bytes += '\a';
                    break;
                case 'b':
                    bytes += '\b';
                    break;
                case 'f':
                    bytes += '\f';
                    break;
                case 'v':
                    bytes += '\v';
                    break;
                case 'x': {
                    unsigned v = 0;
                    while (std::isxdigit(static_cast<unsigned char>(at(j))))
                        v = v * 16 + std::stoul(std::string(1, s[j++]), nullptr, 16);
                    bytes += static_cast<char>(v);
                    break;
                }
                case 'u':
                case 'U': {
                    const std::size_t n = e == 'u' ? 4 : 8;
                    AppendUtf8(bytes,
                               static_cast<uint32_t>(std::stoul(s.substr(j, n), nullptr, 16)));
                    j += n;
                    break;
                }
                default:
                    if (e >= '0' && e <= '7') {
                        unsigned v = static_cast<unsigned>(e - '0');
                        for (int k = 0; k < 2 && at(j) >= '0' && at(j) <= '7'; ++k)
                            v = v * 8 + static_cast<unsigned>(s[j++] - '0');
                        bytes += static_cast<char>(v);
                    } else {
                        bytes += e; // \\ \" \' \?
                    }
                }
            }
            if (c == '\'') {
                out.push_back({TToken::Other, "'" + bytes + "'", line});
            } else if (!out.empty() && out.back().Kind == TToken::Literal) {
                out.back().Text += bytes; // "adjacent" "literals"
            } else {
                out.push_back({TToken::Literal, bytes, line});
            }
            i = j + 1;
            continue;
        }
        static const char* const pairs[] = {"::", "->", "&&", "||", "==", "!=", "<=", ">="};
        std::string p(1, c);
        for (const char* two : pairs)
            if (s.compare(i, 2, two) == 0) p = two;
        out.push_back({TToken::Punct, p, line});
        i += p.size();
    }
    return out;
}

// ---------------------------------------------------------------------------
// The sources and what they define.

using TRange = std::pair<std::size_t, std::size_t>; // tokens [first, second)

struct TParam {
    std::string Name;
    TRange Default{0, 0};
};

// A function or a named lambda with its body.
struct TFunction {
    std::string Name;
    const TSource* Source;
    std::size_t NameToken;
    std::vector<TParam> Params;
    TRange Body; // inside the braces
};

struct TPlace {
    const TSource* Source;
    int Line;
};

bool Is(const TToken& t, const char* text) {
    return t.Kind != TToken::Literal && t.Text == text;
}

const std::set<std::string> kKeywords = {
    "if",       "for",     "while",  "switch",        "catch",    "return",  "sizeof",
    "decltype", "alignof", "new",    "delete",        "throw",    "case",    "else",
    "do",       "const",   "static", "static_assert", "operator", "noexcept"};

// The index of the bracket that closes the one at open.
std::size_t Close(const std::vector<TToken>& t, std::size_t open) {
    int depth = 0;
    for (std::size_t i = open; i < t.size(); ++i) {
        if (t[i].Kind != TToken::Punct) continue;
        const std::string& p = t[i].Text;
        if (p == "(" || p == "[" || p == "{") ++depth;
        if (p == ")" || p == "]" || p == "}")
            if (--depth == 0) return i;
    }
    return t.size();
}

// The comma-separated parts of [first, last); angle brackets count as
// brackets in declarations only.
std::vector<TRange> Split(const std::vector<TToken>& t, TRange r, bool angles) {
    std::vector<TRange> parts;
    if (r.first >= r.second) return parts;
    int depth = 0;
    std::size_t start = r.first;
    for (std::size_t i = r.first; i < r.second; ++i) {
        if (t[i].Kind != TToken::Punct) continue;
        const std::string& p = t[i].Text;
        if (p == "(" || p == "[" || p == "{" || (angles && p == "<")) ++depth;
        if (p == ")" || p == "]" || p == "}" || (angles && p == ">")) --depth;
        if (p == "," && depth == 0) {
            parts.push_back({start, i});
            start = i + 1;
        }
    }
    parts.push_back({start, r.second});
    return parts;
}

// A parameter declaration: "const char* caption", "std::function<void(bool)> f",
// "int pixels = 0", "const char* names[]", "QMouseEvent*" (no name). Not an
// argument such as "texts[state]" or "DeviceTexts::kSaveQuestion".
bool LooksLikeParameter(const std::vector<TToken>& t, TRange r, std::string* name,
                        TRange* defaultValue) {
    std::size_t end = r.second;
    int angle = 0;
    for (std::size_t i = r.first; i < r.second; ++i) {
        if (Is(t[i], "<")) ++angle;
        if (Is(t[i], ">")) --angle;
        if (angle == 0 && Is(t[i], "=")) {
            end = i;
            if (defaultValue) *defaultValue = {i + 1, r.second};
            break;
        }
    }
    // an array: name[] or name[8]
    while (end > r.first + 2 && Is(t[end - 1], "]") &&
           (Is(t[end - 2], "[") || (t[end - 2].Kind == TToken::Other && Is(t[end - 3], "["))))
        end -= Is(t[end - 2], "[") ? 2 : 3;
    // the type: names, ::, *, &, template arguments
    int idents = 0;
    angle = 0;
    for (std::size_t i = r.first; i < end; ++i) {
        if (Is(t[i], "<")) ++angle;
        if (Is(t[i], ">")) --angle;
        if (angle > 0 || Is(t[i], ">")) continue;
        if (t[i].Kind == TToken::Ident)
            ++idents;
        else if (!(Is(t[i], "::") || Is(t[i], "*") || Is(t[i], "&") || Is(t[i], "&&")))
            return false;
    }
    if (angle != 0 || idents == 0 || end == r.first) return false;
    const TToken& last = t[end - 1];
    if (last.Kind != TToken::Ident) // unnamed: "QMouseEvent*"
        return Is(last, "*") || Is(last, "&") || Is(last, "&&") || Is(last, ">");
    if (idents == 1) return false; // "german": an argument
    const TToken& before = t[end - 2];
    if (!(before.Kind == TToken::Ident || Is(before, "*") || Is(before, "&") || Is(before, "&&") ||
          Is(before, ">")))
        return false;
    if (name) *name = last.Text;
    return true;
}

bool LooksLikeParameters(const std::vector<TToken>& t, std::size_t open, std::size_t close,
                         std::vector<TParam>* params) {
    if (close == open + 1) return true; // ()
    if (close == open + 2 && t[open + 1].Text == "void") return true;
    for (const TRange& part : Split(t, {open + 1, close}, true)) {
        TParam p;
        if (part.first == part.second || !LooksLikeParameter(t, part, &p.Name, &p.Default))
            return false;
        if (params) params->push_back(p);
    }
    return true;
}

class TSourceTree {
public:
    TSourceTree() {
        const fs::path src = kRoot / "src";
        std::vector<fs::path> files;
        for (const auto& e : fs::recursive_directory_iterator(src))
            if (e.is_regular_file() &&
                (e.path().extension() == ".cpp" || e.path().extension() == ".h"))
                files.push_back(e.path());
        std::sort(files.begin(), files.end());
        for (const fs::path& f : files) {
            auto source = std::make_unique<TSource>();
            source->Name = fs::relative(f, src).generic_string();
            source->Utf8 = IsWindowsSource(*source);
            std::ifstream in(f, std::ios::binary);
            std::stringstream text;
            text << in.rdbuf();
            source->Tokens = Tokenize(text.str());
            FindFunctions(*source);
            FSources.push_back(std::move(source));
        }
    }

    const std::vector<std::unique_ptr<TSource>>& Sources() const { return FSources; }
    const std::vector<TFunction>& Functions() const { return FFunctions; }

    // The windows and the program: the places that show texts.
    static bool IsWindowsSource(const TSource& s) {
        return s.Name.rfind("ui/", 0) == 0 || s.Name.rfind("app/", 0) == 0;
    }
    // The text functions themselves, where the texts are only passed on,
    // and the action table, whose texts are read from the table itself.
    static bool IsTextsSource(const TSource& s) {
        const std::string file = fs::path(s.Name).filename().string();
        return file == "Texts.cpp" || file == "Texts.h" || file == "ActionTable.cpp";
    }

    // The innermost function around token i.
    const TFunction* Around(const TSource& s, std::size_t i) const {
        const TFunction* best = nullptr;
        for (const TFunction& f : FFunctions)
            if (f.Source == &s && f.Body.first <= i && i < f.Body.second &&
                (!best || f.Body.first > best->Body.first))
                best = &f;
        return best;
    }

    bool IsFunctionName(const TSource& s, std::size_t i) const {
        for (const TFunction& f : FFunctions)
            if (f.Source == &s && f.NameToken == i) return true;
        return false;
    }

private:
    void FindFunctions(const TSource& s) {
        const auto& t = s.Tokens;
        for (std::size_t i = 1; i < t.size(); ++i) {
            if (!Is(t[i], "(")) continue;
            std::size_t nameToken = 0;
            if (t[i - 1].Kind == TToken::Ident && !kKeywords.count(t[i - 1].Text)) {
                nameToken = i - 1;
            } else if (Is(t[i - 1], "]")) { // auto name = [captures](params) {
                std::size_t k = i - 1;
                int depth = 0;
                for (; k > 0; --k) {
                    if (Is(t[k], "]")) ++depth;
                    if (Is(t[k], "[") && --depth == 0) break;
                }
                if (k >= 2 && Is(t[k - 1], "=") && t[k - 2].Kind == TToken::Ident)
                    nameToken = k - 2;
                else
                    continue;
            } else {
                continue;
            }
            const std::size_t close = Close(t, i);
            std::size_t k = close + 1;
            while (k < t.size() &&
                   (Is(t[k], "const") || Is(t[k], "override") || Is(t[k], "noexcept") ||
                    Is(t[k], "mutable") || Is(t[k], "final") || Is(t[k], "&")))
                ++k;
            if (k < t.size() && Is(t[k], ":")) { // a constructor's initialisers
                ++k;
                while (k < t.size()) {
                    while (k < t.size() && (t[k].Kind == TToken::Ident || Is(t[k], "::")))
                        ++k;
                    if (k >= t.size() || !(Is(t[k], "(") || Is(t[k], "{"))) break;
                    k = Close(t, k) + 1;
                    if (k < t.size() && Is(t[k], ",")) {
                        ++k;
                        continue;
                    }
                    break;
                }
            }
            if (k < t.size() && Is(t[k], "->"))
                while (k < t.size() && !Is(t[k], "{") && !Is(t[k], ";") && !Is(t[k], "("))
                    ++k;
            if (k >= t.size() || !Is(t[k], "{")) continue;
            TFunction f{t[nameToken].Text, &s, nameToken, {}, {k + 1, Close(t, k)}};
            if (!LooksLikeParameters(t, i, close, &f.Params)) continue;
            FFunctions.push_back(f);
        }
    }

    std::vector<std::unique_ptr<TSource>> FSources;
    std::vector<TFunction> FFunctions;
};

// ---------------------------------------------------------------------------
// Following the texts.

// A text function: the parameter positions that take a German text, and
// whether the text is an engine text of CR LF lines.
struct TSink {
    std::set<std::size_t> Positions;
    bool Lines = false;
};

struct TFoundText {
    std::vector<TPlace> Places;
};

struct TScan {
    std::map<QString, TFoundText> Texts;
    // Texts only known at run time: the expression and where it is handed over.
    std::vector<std::pair<std::string, TPlace>> Open;
    std::map<std::string, TSink> Sinks;
};

std::string Spelled(const std::vector<TToken>& t, TRange r) {
    std::string out;
    for (std::size_t i = r.first; i < r.second; ++i) {
        if (i > r.first && t[i].Kind == TToken::Ident && t[i - 1].Kind == TToken::Ident) out += ' ';
        out += t[i].Kind == TToken::Literal ? "\"" + t[i].Text + "\"" : t[i].Text;
    }
    return out;
}

class TTextFinder {
public:
    explicit TTextFinder(const TSourceTree& tree) : FTree(tree) {}

    TScan Run() {
        FScan.Sinks["Tr"] = {{0}, false};
        FScan.Sinks["TrLines"] = {{0}, true};
        FScan.Sinks["SetDe"] = {{1, 2}, false};
        FScan.Sinks["SetDeHint"] = {{1}, false};
        Propagate();
        for (const auto& s : FTree.Sources())
            if (TSourceTree::IsWindowsSource(*s) && !TSourceTree::IsTextsSource(*s)) Calls(*s);
        // the defaults of the helpers' text parameters
        for (const TFunction& f : FTree.Functions()) {
            const auto sink = FScan.Sinks.find(f.Name);
            if (!TSourceTree::IsWindowsSource(*f.Source) || sink == FScan.Sinks.end()) continue;
            for (std::size_t p : sink->second.Positions)
                if (p < f.Params.size() && f.Params[p].Default.first < f.Params[p].Default.second)
                    Resolve(*f.Source, f.Params[p].Default, sink->second.Lines, 0);
        }
        return FScan;
    }

private:
    // A helper that hands one of its parameters to a text function is a
    // text function too.
    void Propagate() {
        for (bool grown = true; grown;) {
            grown = false;
            for (const TFunction& f : FTree.Functions()) {
                if (!TSourceTree::IsWindowsSource(*f.Source) ||
                    TSourceTree::IsTextsSource(*f.Source))
                    continue;
                const auto& t = f.Source->Tokens;
                for (std::size_t i = f.Body.first; i + 1 < f.Body.second; ++i) {
                    const auto sink = FScan.Sinks.find(t[i].Text);
                    if (t[i].Kind != TToken::Ident || !Is(t[i + 1], "(") ||
                        sink == FScan.Sinks.end())
                        continue;
                    const TSink s = sink->second;
                    const auto args = Split(t, {i + 2, Close(t, i + 1)}, false);
                    for (std::size_t p : s.Positions) {
                        if (p >= args.size()) continue;
                        const TRange a = Unwrapped(t, args[p]);
                        if (a.second != a.first + 1 || t[a.first].Kind != TToken::Ident) continue;
                        for (std::size_t q = 0; q < f.Params.size(); ++q) {
                            if (f.Params[q].Name != t[a.first].Text) continue;
                            TSink& mine = FScan.Sinks[f.Name];
                            if (mine.Positions.insert(q).second) grown = true;
                            if (s.Lines && !mine.Lines) grown = mine.Lines = true;
                        }
                    }
                }
            }
        }
    }

    void Calls(const TSource& s) {
        const auto& t = s.Tokens;
        for (std::size_t i = 0; i + 1 < t.size(); ++i) {
            const auto sink = FScan.Sinks.find(t[i].Text);
            if (t[i].Kind != TToken::Ident || !Is(t[i + 1], "(") || sink == FScan.Sinks.end())
                continue;
            const std::size_t close = Close(t, i + 1);
            if (FTree.IsFunctionName(s, i) || LooksLikeParameters(t, i + 1, close, nullptr))
                continue; // a definition or a declaration
            const auto args = Split(t, {i + 2, close}, false);
            const TFunction* around = FTree.Around(s, i);
            for (std::size_t p : sink->second.Positions) {
                if (p >= args.size()) continue;
                const TRange a = Unwrapped(t, args[p]);
                if (around && a.second == a.first + 1 && t[a.first].Kind == TToken::Ident &&
                    IsParam(*around, t[a.first].Text) && FScan.Sinks.count(around->Name))
                    continue; // the helper's callers hand the text in
                Resolve(s, args[p], sink->second.Lines, 0);
            }
        }
    }

    static bool IsParam(const TFunction& f, const std::string& name) {
        for (const TParam& p : f.Params)
            if (p.Name == name) return true;
        return false;
    }

    // Without the conversions around the text: FromCp1252(x), QString::fromUtf8(x) ...
    static TRange Unwrapped(const std::vector<TToken>& t, TRange r) {
        static const std::set<std::string> wrappers = {
            "FromCp1252",     "fromUtf8",      "fromLatin1", "fromStdString", "fromLocal8Bit",
            "QStringLiteral", "QLatin1String", "string",     "QString",       "string_view"};
        for (;;) {
            std::size_t k = r.first;
            while (k + 1 < r.second && t[k].Kind == TToken::Ident && Is(t[k + 1], "::"))
                k += 2;
            if (k + 1 < r.second && t[k].Kind == TToken::Ident && wrappers.count(t[k].Text) &&
                Is(t[k + 1], "(") && Close(t, k + 1) == r.second - 1) {
                r = {k + 2, r.second - 1};
                continue;
            }
            // x.c_str(), x.data()
            if (r.second - r.first > 4 && Is(t[r.second - 1], ")") && Is(t[r.second - 2], "(") &&
                (t[r.second - 3].Text == "c_str" || t[r.second - 3].Text == "data") &&
                Is(t[r.second - 4], ".")) {
                r.second -= 4;
                continue;
            }
            return r;
        }
    }

    void Add(const TSource& s, const TToken& literal, bool lines) {
        const QString text =
            s.Utf8 ? QString::fromUtf8(literal.Text.c_str()) : FromCp1252(literal.Text);
        const QStringList parts = lines ? text.split(QStringLiteral("\r\n")) : QStringList{text};
        for (const QString& part : parts)
            if (!part.isEmpty()) FScan.Texts[part].Places.push_back({&s, literal.Line});
    }

    // Finds the German texts the expression r can have.
    void Resolve(const TSource& s, TRange r, bool lines, int depth) {
        const auto& t = s.Tokens;
        r = Unwrapped(t, r);
        if (r.first >= r.second) return;
        const std::string spelled = Spelled(t, r);
        if (spelled == "nullptr" || spelled == "NULL" || spelled == "0" || spelled == "{}" ||
            spelled == "QString()")
            return;
        bool literals = false;
        for (std::size_t i = r.first; i < r.second; ++i)
            if (t[i].Kind == TToken::Literal) {
                Add(s, t[i], lines);
                literals = true;
            }
        if (literals) return;
        if (depth > 8) return Open(s, r);
        // c ? a : b
        int level = 0;
        for (std::size_t i = r.first; i < r.second; ++i) {
            if (Is(t[i], "(") || Is(t[i], "[") || Is(t[i], "{")) ++level;
            if (Is(t[i], ")") || Is(t[i], "]") || Is(t[i], "}")) --level;
            if (level == 0 && Is(t[i], "?")) {
                int inner = 0;
                for (std::size_t k = i + 1; k < r.second; ++k) {
                    if (Is(t[k], "(") || Is(t[k], "[") || Is(t[k], "{") || Is(t[k], "?")) ++inner;
                    if (Is(t[k], ")") || Is(t[k], "]") || Is(t[k], "}")) --inner;
                    if (Is(t[k], ":") && inner-- == 0) {
                        Resolve(s, {i + 1, k}, lines, depth + 1);
                        Resolve(s, {k + 1, r.second}, lines, depth + 1);
                        return;
                    }
                }
            }
        }
        // a.b.Field, p->Field: what the field is set to
        if (r.second - r.first >= 3 && t[r.second - 1].Kind == TToken::Ident &&
            (Is(t[r.second - 2], ".") || Is(t[r.second - 2], "->"))) {
            if (!Assignments(t[r.second - 1].Text, lines, depth)) Open(s, r);
            return;
        }
        // Ns::name, name[i], name.at(k)
        std::size_t k = r.first;
        while (k + 1 < r.second && t[k].Kind == TToken::Ident && Is(t[k + 1], "::"))
            k += 2;
        if (k < r.second && t[k].Kind == TToken::Ident) {
            const std::string& name = t[k].Text;
            const std::size_t next = k + 1;
            const bool element =
                next < r.second && Is(t[next], "[") && Close(t, next) == r.second - 1;
            const bool at = next + 2 < r.second && Is(t[next], ".") && t[next + 1].Text == "at" &&
                            Is(t[next + 2], "(") && Close(t, next + 2) == r.second - 1;
            const bool call = next < r.second && Is(t[next], "(") && Close(t, next) == r.second - 1;
            if (next == r.second && Parameter(s, r.first, name, lines, depth)) return;
            if (next == r.second || element || at) {
                if (!Variable(s, r.first, name, lines, depth)) Open(s, r);
                return;
            }
            if (call) {
                if (!Returns(name, lines, depth)) Open(s, r);
                return;
            }
        }
        Open(s, r);
    }

    void Open(const TSource& s, TRange r) {
        FScan.Open.push_back({Spelled(s.Tokens, r), {&s, s.Tokens[r.first].Line}});
    }

    // A parameter of the function around the use (the engine's helpers that
    // set a text field from one): its default and what the calls in the same
    // file hand in.
    bool Parameter(const TSource& s, std::size_t at, const std::string& name, bool lines,
                   int depth) {
        const TFunction* f = FTree.Around(s, at);
        if (!f) return false;
        std::size_t q = 0;
        while (q < f->Params.size() && f->Params[q].Name != name)
            ++q;
        if (q == f->Params.size()) return false;
        if (f->Params[q].Default.first < f->Params[q].Default.second)
            Resolve(s, f->Params[q].Default, lines, depth + 1);
        const auto& t = s.Tokens;
        for (std::size_t i = 0; i + 1 < t.size(); ++i) {
            if (t[i].Kind != TToken::Ident || t[i].Text != f->Name || !Is(t[i + 1], "(")) continue;
            const std::size_t close = Close(t, i + 1);
            if (FTree.IsFunctionName(s, i) || LooksLikeParameters(t, i + 1, close, nullptr))
                continue; // a definition or a declaration
            const auto args = Split(t, {i + 2, close}, false);
            if (q < args.size()) Resolve(s, args[q], lines, depth + 1);
        }
        return true;
    }

    // The initialiser of a variable, constant or array: the one in the same
    // file before the use first, then any other.
    bool Variable(const TSource& use, std::size_t at, const std::string& name, bool lines,
                  int depth) {
        struct TDef {
            const TSource* Source;
            std::size_t Token;
            TRange Init;
        };
        std::vector<TDef> defs;
        for (const auto& src : FTree.Sources()) {
            const auto& t = src->Tokens;
            for (std::size_t i = 1; i + 1 < t.size(); ++i) {
                if (t[i].Kind != TToken::Ident || t[i].Text != name) continue;
                // a declaration: a type before the name, not a statement
                const TToken& before = t[i - 1];
                static const std::set<std::string> statements = {"return", "case", "throw",
                                                                 "new",    "else", "do"};
                if (!(before.Kind == TToken::Ident || Is(before, "*") || Is(before, "&") ||
                      Is(before, ">")) ||
                    statements.count(before.Text))
                    continue;
                std::size_t k = i + 1;
                if (Is(t[k], "[")) k = Close(t, k) + 1;
                if (k >= t.size()) continue;
                std::size_t first;
                if (Is(t[k], "="))
                    first = k + 1;
                else if (Is(t[k], "{"))
                    first = k;
                else
                    continue;
                std::size_t end = first;
                while (end < t.size() && !Is(t[end], ";")) {
                    if (Is(t[end], "(") || Is(t[end], "[") || Is(t[end], "{")) end = Close(t, end);
                    ++end;
                }
                defs.push_back({src.get(), i, {first, end}});
            }
        }
        if (defs.empty()) return false;
        const TDef* chosen = nullptr;
        for (const TDef& d : defs)
            if (d.Source == &use && d.Token < at) chosen = &d; // the last one before the use
        if (!chosen)
            for (const TDef& d : defs)
                if (d.Source == &use) {
                    chosen = &d;
                    break;
                }
        if (chosen) {
            Initialiser(*chosen->Source, chosen->Init, lines, depth);
        } else {
            for (const TDef& d : defs)
                Initialiser(*d.Source, d.Init, lines, depth);
        }
        return true;
    }

    // A list of pairs {{key, text}, ...} gives its texts; anything else is
    // an expression or a list of texts.
    void Initialiser(const TSource& s, TRange r, bool lines, int depth) {
        const auto& t = s.Tokens;
        if (r.second > r.first && Is(t[r.first], "{") && Close(t, r.first) == r.second - 1) {
            const auto items = Split(t, {r.first + 1, r.second - 1}, false);
            bool pairs = !items.empty();
            for (const TRange& item : items)
                pairs = pairs && item.second > item.first && Is(t[item.first], "{") &&
                        Close(t, item.first) == item.second - 1 &&
                        Split(t, {item.first + 1, item.second - 1}, false).size() == 2;
            if (pairs) {
                for (const TRange& item : items)
                    Resolve(s, Split(t, {item.first + 1, item.second - 1}, false)[1], lines,
                            depth + 1);
                return;
            }
            for (const TRange& item : items)
                Resolve(s, item, lines, depth + 1);
            return;
        }
        Resolve(s, r, lines, depth + 1);
    }

    // What a field is set to anywhere: x.Field = ...; or p->Field = ...;
    bool Assignments(const std::string& field, bool lines, int depth) {
        bool found = false;
        for (const auto& src : FTree.Sources()) {
            const auto& t = src->Tokens;
            for (std::size_t i = 1; i + 1 < t.size(); ++i) {
                if (t[i].Text != field || t[i].Kind != TToken::Ident || !Is(t[i + 1], "=") ||
                    !(Is(t[i - 1], ".") || Is(t[i - 1], "->")))
                    continue;
                std::size_t end = i + 2;
                while (end < t.size() && !Is(t[end], ";")) {
                    if (Is(t[end], "(") || Is(t[end], "[") || Is(t[end], "{")) end = Close(t, end);
                    ++end;
                }
                Resolve(*src, {i + 2, end}, lines, depth + 1);
                found = true;
            }
        }
        return found;
    }

    // What a function returns.
    bool Returns(const std::string& function, bool lines, int depth) {
        bool found = false;
        for (const TFunction& f : FTree.Functions()) {
            if (f.Name != function) continue;
            const auto& t = f.Source->Tokens;
            for (std::size_t i = f.Body.first; i < f.Body.second; ++i) {
                if (!Is(t[i], "return")) continue;
                std::size_t end = i + 1;
                while (end < f.Body.second && !Is(t[end], ";")) {
                    if (Is(t[end], "(") || Is(t[end], "[") || Is(t[end], "{")) end = Close(t, end);
                    ++end;
                }
                Resolve(*f.Source, {i + 1, end}, lines, depth + 1);
                found = true;
            }
        }
        return found;
    }

    const TSourceTree& FTree;
    TScan FScan;
};

const TScan& Scan() {
    static const TSourceTree tree;
    static const TScan scan = TTextFinder(tree).Run();
    return scan;
}

// ---------------------------------------------------------------------------
// The translation file.

struct TMessage {
    QString Source, Translation;
    bool Finished = true;
};

struct TTsFile {
    QStringList Contexts;
    std::vector<TMessage> Messages;
};

TTsFile ReadTs() {
    TTsFile ts;
    QFile f(QString::fromStdString((kRoot / "translations" / "vaskel_en.ts").string()));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&f);
    TMessage m;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) continue;
        if (xml.name() == QLatin1String("name")) ts.Contexts << xml.readElementText();
        if (xml.name() == QLatin1String("source")) m.Source = xml.readElementText();
        if (xml.name() == QLatin1String("translation")) {
            m.Finished = xml.attributes().value(QLatin1String("type")).isEmpty();
            m.Translation = xml.readElementText();
            ts.Messages.push_back(m);
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return ts;
}

std::string Where(const std::vector<TPlace>& places) {
    std::string out;
    for (const TPlace& p : places)
        out += " src/" + p.Source->Name + ":" + std::to_string(p.Line);
    return out;
}

std::string XmlEscaped(const QString& s) {
    return s.toHtmlEscaped().replace(QLatin1Char('\''), QStringLiteral("&apos;")).toStdString();
}

// Texts that are only known at run time, and why no source text is missing.
const std::map<std::string, const char*> kRunTimeTexts = {
    {"FColumns[section].Title",
     "the list windows hand in their column titles: checked by the call-list editor's test"},
    {"FColumns[section].Hint",
     "the list windows hand in their column hints: checked by the call-list editor's test"},
    {"e.what()", "a failed protocol load: its German reason is in kEngineRunTimeTexts"},
    {"spec.Filters[k]", "the file dialogs' filter captions: taken from the dialogs themselves"},
};
// The engine's German texts among them.
const char* const* const kEngineRunTimeTexts[] = {&kInvalidProtocolFormat};

std::set<QString> UsedTexts() {
    std::set<QString> used;
    for (const auto& [german, found] : Scan().Texts)
        used.insert(german);
    for (const char* const* text : kEngineRunTimeTexts)
        used.insert(FromCp1252(*text));
    // the tables of actions and menus
    for (const TActionSpec& a : ActionSpecs()) {
        used.insert(QString::fromUtf8(a.Caption));
        if (a.Hint) used.insert(QString::fromUtf8(a.Hint));
    }
    for (const TMenuSpec& m : MenuSpecs())
        used.insert(QString::fromUtf8(m.Caption));
    // the file dialogs' filter captions
    for (const TFileDialogSpec& d : {ProtocolOpenDialog({}), ProtocolSaveDialog({}, {}),
                                     CallListOpenDialog({}), CallListSaveDialog({}, {})})
        for (qsizetype k = 0; k < d.Filters.size(); k += 2)
            used.insert(d.Filters[k]);
    return used;
}

TEST(Translation, TheScanFollowsTheTextsToTheirSources) {
    const TScan& scan = Scan();
    const auto has = [&](const char* text) {
        return scan.Texts.count(QString::fromUtf8(text)) > 0;
    };
    // literals handed to Tr, SetDe, TrLines
    EXPECT_TRUE(has("Monitor löschen"));
    EXPECT_TRUE(has("Gesamte Liste löschen")) << "SetDe's hint";
    // helpers that pass a parameter on, their defaults included
    EXPECT_TRUE(has("Master Modus")) << "NewGroup";
    EXPECT_TRUE(has("Eingesteckt")) << "a named lambda";
    EXPECT_TRUE(has("Satznr.:")) << "through NumberAndTime to Label";
    EXPECT_TRUE(has("Lfd-Nr.:")) << "a default argument";
    // a field the engine sets from its helpers' parameters
    EXPECT_TRUE(has("Anzahl der Datenblöcke zu je 16 Zeichen")) << "a hint, through Field";
    EXPECT_TRUE(has("Datensatz %1 ist ein Masterdatensatz. Er scheint jedoch von einem Slave "
                    "verschickt worden zu sein."))
        << "a message with places, through Message";
    // arrays, maps, functions returning literals
    EXPECT_TRUE(has("Akustischer Filter"));
    EXPECT_TRUE(has("Telegramm (HEX)"));
    EXPECT_TRUE(has("Dieses Telegramm ist fehlerhaft (Siehe VDV-300 bzgl. Aufbau eines DS 021)."));
    // the engine's texts: constants, fields it sets, CR LF lines, Windows-1252
    EXPECT_TRUE(has("Es liegt keine externe Spannung an."));
    EXPECT_TRUE(has("Möchten Sie den Überlast-Schutz tatsächlich zurücksetzen?"));
    EXPECT_TRUE(has("Wollen Sie die Änderung jetzt speichern?")) << "a line of kSaveQuestion";
    EXPECT_TRUE(has("Ist der IBIS-Wagenbus überhaupt angeschlossen?")) << "WarningSecondLine";
    EXPECT_TRUE(has("Master aus")) << "MasterCaption";
    EXPECT_TRUE(has("ungültig")) << "kReactionInvalid";
    EXPECT_TRUE(has("Dieser Dateityp kann in dieser Version noch nicht geöffnet werden: "))
        << "src/app";
}

TEST(Translation, EveryGermanTextHasAnEnglishOne) {
    const TScan& scan = Scan();
    ASSERT_GT(UsedTexts().size(), 300u) << "the scan found the program's texts";
    // the action and menu tables are texts too
    EXPECT_TRUE(UsedTexts().count(QStringLiteral("&Datei")));
    EXPECT_TRUE(
        UsedTexts().count(QStringLiteral("Startet die Protokollierung der IBIS-Telegramme")));
    std::string missing;
    for (const QString& german : UsedTexts()) {
        if (!English(german).isNull()) continue;
        const auto found = scan.Texts.find(german);
        missing += "    <message>\n        <source>" + XmlEscaped(german) +
                   "</source>\n        <translation type=\"unfinished\"></translation>\n"
                   "    </message>\n    <!--" +
                   (found == scan.Texts.end() ? " the engine" : Where(found->second.Places)) +
                   " -->\n";
    }
    EXPECT_TRUE(missing.empty()) << "German texts without English in translations/vaskel_en.ts:\n"
                                 << missing;
    std::string open;
    for (const auto& [expression, place] : scan.Open)
        if (!kRunTimeTexts.count(expression))
            open += "  " + expression + " at" + Where({place}) + "\n";
    EXPECT_TRUE(open.empty()) << "Texts the scan cannot follow to their source; give them a "
                                 "literal, or name them in kRunTimeTexts with the reason:\n"
                              << open;
}

TEST(Translation, TheProgramHasTheTranslationsOfTheFile) {
    const TTsFile ts = ReadTs();
    EXPECT_EQ(ts.Contexts, QStringList{QStringLiteral("Vaskel")});
    ASSERT_FALSE(ts.Messages.empty());
    std::set<QString> sources;
    for (const TMessage& m : ts.Messages) {
        EXPECT_TRUE(sources.insert(m.Source).second) << "twice: " << m.Source.toStdString();
        EXPECT_TRUE(m.Finished && !m.Translation.isEmpty())
            << "not translated yet: " << m.Source.toStdString();
        if (m.Finished) {
            EXPECT_EQ(English(m.Source), m.Translation) << m.Source.toStdString();
        }
    }
    // The other way round: translations whose German text the scan no
    // longer finds are reported, not refused (a text may come back).
    const std::set<QString> used = UsedTexts();
    std::string unused;
    for (const TMessage& m : ts.Messages)
        if (!used.count(m.Source)) unused += "  " + m.Source.toStdString() + "\n";
    if (!unused.empty())
        std::cout << "[ NOTE     ] translations whose German text is no longer used:\n" << unused;
}

TEST(Translation, QtsOwnTextsFollowTheLanguage) {
    const auto cancel = [] {
        QMessageBox box;
        box.setStandardButtons(QMessageBox::Cancel);
        return box.button(QMessageBox::Cancel)->text();
    };
    SetUiLanguage(1);
    EXPECT_EQ(cancel(), QStringLiteral("Abbrechen"));
    SetUiLanguage(2);
    EXPECT_EQ(cancel(), QStringLiteral("Cancel"));
    SetUiLanguage(1);
}

TEST(Translation, TrFollowsTheLanguage) {
    SetUiLanguage(2);
    EXPECT_EQ(Tr("&Datei"), QStringLiteral("&File"));
    EXPECT_EQ(Tr(QStringLiteral("Suchbegriff \"%1\" nicht gefunden.")),
              QStringLiteral("Search text \"%1\" not found."));
    EXPECT_EQ(Tr("  Anzahl versendeter Telegramme: %1"), QStringLiteral("  Telegrams sent: %1"))
        << "blanks are part of the text";
    EXPECT_EQ(Tr("Kein übersetzter Text"), QStringLiteral("Kein übersetzter Text"));
    EXPECT_EQ(TrLines("Es liegt ein Kurzschluss auf dem Wagenbus vor.\r\nnicht \xFC"
                      "bersetzt\r\n"
                      "um danach den \xDC"
                      "berlastschutz zur\xFC"
                      "ckzusetzen."),
              QStringLiteral("There is a short circuit on the vehicle bus.\nnicht übersetzt\n"
                             "to reset the overload protection."));
    EXPECT_EQ(QCoreApplication::translate("Vaskel", "Warnung"), QStringLiteral("Warning"))
        << "installed for Qt's look-up too";
    SetUiLanguage(1);
    EXPECT_EQ(Tr("&Datei"), QStringLiteral("&Datei"));
    EXPECT_EQ(QCoreApplication::translate("Vaskel", "Warnung"), QStringLiteral("Warnung"));
}

// The menus show an action's shortcut beside its caption by themselves: a
// caption that names it too shows it twice. A doubled blank inside a text
// is a slip of the pen in either language.
TEST(Translation, NoTextNamesAShortcutOrHasADoubledBlank) {
    const QRegularExpression shortcut(QStringLiteral("(Strg|Ctrl|Umschalt|Shift) ?\\+"));
    const QRegularExpression doubled(QStringLiteral("\\S  +\\S"));
    for (const TMessage& m : ReadTs().Messages)
        for (const QString& text : {m.Source, m.Translation}) {
            EXPECT_FALSE(text.contains(shortcut)) << text.toStdString();
            EXPECT_FALSE(text.contains(doubled)) << text.toStdString();
        }
    for (const TActionSpec& a : ActionSpecs())
        EXPECT_FALSE(QString::fromUtf8(a.Caption).contains(shortcut)) << a.Caption;
}

// The English texts hold no German word, and a display's phases ("Takt")
// are phases in English, not pulses.
TEST(Translation, EnglishTextsHoldNoGermanWords) {
    const QRegularExpression german(QStringLiteral(
        "\\b(und|oder|der|die|das|nicht|ist|Ein|ein|virtuell|virtuelles|Gerät|unbekannt|Takt|"
        "Taktung|Übernehmen|Datensatz|Datensätze|Aufruf|Antwort|Protokoll|Umlaute|Zeile|"
        "Fehler)\\b"));
    const QRegularExpression phase(QStringLiteral("\\bTakt"));
    for (const TMessage& m : ReadTs().Messages) {
        EXPECT_FALSE(m.Translation.contains(german))
            << m.Source.toStdString() << " => " << m.Translation.toStdString();
        EXPECT_FALSE(m.Translation.contains(QStringLiteral("pulse"), Qt::CaseInsensitive))
            << m.Translation.toStdString();
        if (m.Source.contains(phase)) {
            EXPECT_TRUE(m.Translation.contains(QStringLiteral("phase"), Qt::CaseInsensitive))
                << m.Source.toStdString() << " => " << m.Translation.toStdString();
        }
    }
}

// ---------------------------------------------------------------------------
// The switch at run time, in the main window and a protocol window in it.

class LanguageSwitchTest : public ::testing::Test {
protected:
    LanguageSwitchTest() {
        Platform.Program = Dir / "Vaskel";
        Platform.Documents = Dir.Path().string();
        TfMainForm::TOptions options;
        options.Virtual = &Usb;
        options.VirtualScenario = QStringLiteral("vehicle");
        options.StartDevice = false;
        options.OfferSafetyCopy = false;
        W = std::make_unique<TfMainForm>(S, options);
        W->show();
    }
    ~LanguageSwitchTest() override {
        TAutoAnswer no(QMessageBox::No);
        W->close();
        W.reset();
        SetUiLanguage(1);
    }
    void Choose(const char* language) {
        for (QAction* a : W->findChildren<QAction*>())
            if (a->text() == QLatin1String(language)) return a->trigger();
        ADD_FAILURE() << "no menu entry " << language;
    }
    QStringList MenuTitles() const {
        QStringList titles;
        for (QAction* a : W->menuBar()->actions())
            titles << a->text();
        return titles;
    }
    static bool HasButton(QWidget* w, const QString& text) {
        for (QPushButton* b : w->findChildren<QPushButton*>())
            if (b->text() == text) return true;
        return false;
    }

    test::TempDir Dir;
    TFixedSystemPlatform Platform;
    TEnvironment Env{nullptr, Platform};
    TIBISTelegramParser Parser{std::string(VASKEL_TEST_DATA_DIR) + "/IBIS.CSV"};
    TVirtualUsb Usb{TEmulatorOptions{}};
    TSession S{Env, Parser};
    std::unique_ptr<TfMainForm> W;
};

TEST_F(LanguageSwitchTest, MenusAndAProtocolWindowFollowTheLanguage) {
    const std::string file = Dir.Write("rec.PRO.CSV", "\"M\";\"1\";\"1000\";\"\";\"\";\"l001\r\";"
                                                      "\"\";\"001\";\"\";\"\"\r\n");
    TfProtocolForm* p = W->OpenProtocol(QString::fromStdString(file));
    ASSERT_NE(p, nullptr);
    const auto header = [p](int column) {
        return p->Model().headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    };
    const QStringList german = {
        QStringLiteral("&Datei"),     QStringLiteral("&Bearbeiten"),    QStringLiteral("Ansicht"),
        QStringLiteral("Simulation"), QStringLiteral("&Konfiguration"), QStringLiteral("&Optionen"),
        QStringLiteral("Fens&ter"),   QStringLiteral("&Hilfe"),         QStringLiteral("Diagnose")};
    ASSERT_EQ(MenuTitles(), german);

    Choose("English");
    EXPECT_EQ(MenuTitles(),
              (QStringList{QStringLiteral("&File"), QStringLiteral("&Edit"), QStringLiteral("View"),
                           QStringLiteral("Simulation"), QStringLiteral("&Configuration"),
                           QStringLiteral("&Options"), QStringLiteral("&Window"),
                           QStringLiteral("&Help"), QStringLiteral("Diagnostics")}));
    EXPECT_EQ(W->Action(TAct::acOeffnen)->text(), QStringLiteral("Open &protocol ..."));
    EXPECT_EQ(W->Action(TAct::acOeffnen)->statusTip(), QStringLiteral("Opens a saved protocol"));
    EXPECT_EQ(W->ModeArea()->Group("Device")->title(), QStringLiteral("Device status"));
    EXPECT_TRUE(HasButton(p, QStringLiteral("Close")));
    EXPECT_EQ(p->SendButton()->text(), QStringLiteral("Send"));
    EXPECT_EQ(header(pcStart), QStringLiteral("Start time"));
    EXPECT_EQ(header(pcRecordNo), QStringLiteral("Record"));

    Choose("Deutsch");
    EXPECT_EQ(MenuTitles(), german);
    EXPECT_EQ(W->Action(TAct::acOeffnen)->text(), QStringLiteral("&Protokoll öffnen ..."));
    EXPECT_EQ(W->Action(TAct::acOeffnen)->statusTip(),
              QStringLiteral("Öffnet ein gespeichertes Protokoll"));
    EXPECT_EQ(W->ModeArea()->Group("Device")->title(), QStringLiteral("Gerätestatus"));
    EXPECT_TRUE(HasButton(p, QStringLiteral("Schließen")));
    EXPECT_EQ(p->SendButton()->text(), QStringLiteral("Senden"));
    EXPECT_EQ(header(pcStart), QStringLiteral("Startzeit"));
    EXPECT_EQ(header(pcRecordNo), QStringLiteral("DS-Nr."));
}

// Every text a window shows, with where it is.
std::vector<std::pair<QString, std::string>> ShownTexts(QWidget* root) {
    std::vector<std::pair<QString, std::string>> out;
    const auto where = [](QObject* o) {
        return std::string(o->metaObject()->className()) + " " + o->objectName().toStdString();
    };
    for (QObject* o : root->findChildren<QObject*>()) {
        if (auto* b = qobject_cast<QAbstractButton*>(o)) out.emplace_back(b->text(), where(o));
        if (auto* l = qobject_cast<QLabel*>(o)) out.emplace_back(l->text(), where(o));
        if (auto* g = qobject_cast<QGroupBox*>(o)) out.emplace_back(g->title(), where(o));
        if (auto* m = qobject_cast<QMenu*>(o)) out.emplace_back(m->title(), where(o));
        if (auto* a = qobject_cast<QAction*>(o)) out.emplace_back(a->text(), where(o));
        if (auto* w = qobject_cast<QWidget*>(o)) {
            out.emplace_back(w->toolTip(), where(o) + " (hint)");
            if (w->isWindow() || qobject_cast<TfChildWindow*>(w))
                out.emplace_back(w->windowTitle(), where(o) + " (title)");
        }
    }
    out.emplace_back(root->windowTitle(), "the main window's title");
    return out;
}

// After a switch at run time no window keeps a text of the language before:
// no German text whose English differs stays in English, no English text
// stays in German. The captions that change with the state (the detail
// button's record type, the list editor's bar) included.
TEST_F(LanguageSwitchTest, NoWindowKeepsTheLanguageBeforeTheSwitch) {
    const std::string file = Dir.Write("rec.PRO.CSV", "\"M\";\"1\";\"1000\";\"\";\"\";\"l001\r\";"
                                                      "\"\";\"001\";\"\";\"\"\r\n");
    ASSERT_NE(W->OpenProtocol(QString::fromStdString(file)), nullptr);
    W->Action(TAct::acAufruflisteNew)->trigger();
    QApplication::processEvents();
    // a record type with a composer of its own in the direct input
    S.Status().SetDeviceOnline(true);
    S.Status().SetMaster(true);
    W->ApplyDisplay(ComputeDeviceDisplay(S.Status(), S.Recording()));
    QComboBox* input = W->DirectInputBox()->Input();
    input->setCurrentText(QStringLiteral("zA1"));
    ASSERT_EQ(W->DirectInputBox()->DetailButton()->text(), QStringLiteral("DS 003a ..."));

    std::map<QString, QString> germanOf; // an English text: its German one
    for (const TMessage& m : ReadTs().Messages)
        if (m.Translation != m.Source) germanOf[m.Translation] = m.Source;
    Choose("English");
    QApplication::processEvents();
    for (const auto& [text, where] : ShownTexts(W.get())) {
        const QString english = English(text);
        EXPECT_TRUE(text.isEmpty() || english.isNull() || english == text)
            << where << " still German: " << text.toStdString();
    }
    EXPECT_EQ(W->DirectInputBox()->DetailButton()->text(), QStringLiteral("Data set 003a ..."));
    EXPECT_TRUE(W->windowTitle().contains(QStringLiteral("virtual device")));
    EXPECT_EQ(W->StatusPanel(1)->text(), QStringLiteral("Firmware version: unknown"));

    Choose("Deutsch");
    QApplication::processEvents();
    for (const auto& [text, where] : ShownTexts(W.get())) {
        const auto it = germanOf.find(text);
        EXPECT_TRUE(text.isEmpty() || it == germanOf.end() || !English(text).isNull())
            << where << " still English: " << text.toStdString();
    }
    EXPECT_EQ(W->DirectInputBox()->DetailButton()->text(), QStringLiteral("DS 003a ..."));
    EXPECT_TRUE(W->windowTitle().contains(QStringLiteral("virtuelles Gerät")));
}

} // namespace
} // namespace vaskel
