#include "lists/ListFiles.h"

#include "recording/OpenedProtocol.h"
#include "recording/Recorder.h"

#include "telegram/DelimitedText.h"
#include "telegram/Errors.h"
#include "telegram/TextConventions.h"

#include <algorithm>
#include <cctype>
#include <fstream>

namespace vaskel {

const char* const kAufrufHeader = "\"Ok\";\"Aufruf\";\"Beschreibung\";\"Intervall\"";
const char* const kAufrufHeaderComma = "'Ok','Aufruf','Beschreibung','Intervall',";
const char* const kAntwortHeader = "\"Ok\";\"Aufruf\";\"Antwort\";\"Reaktionszeit\"";
const char* const kAntwortHeaderComma = "'Ok','Aufruf','Antwort','Reaktionszeit',";
const char* const kResponsesFromProtocolError =
    "Es konnte keine Antwortliste erzeugt werden, da das Protokoll ein falsches Format hat.\r\n"
    "M\xF6glicherweise ist es kein g\xFCltiges Protokoll?";
const char* const kResponsesFromProtocolNone =
    "Das ausgew\xE4hlte Protokoll enth\xE4lt keine g\xFCltigen Slaveantworten,\r\n"
    "die extrahiert werden k\xF6nnen.";

namespace {

// The first line (up to CR or LF). A first line longer than the readers
// take raises ELineTooLong, read no further than that.
std::string FirstLine(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    if (!in) throw EFileError("Cannot open file " + fileName + ".");
    const std::size_t limit = MaxLineBytes();
    std::string line;
    std::vector<char> block(64 * 1024);
    while (in) {
        in.read(block.data(), static_cast<std::streamsize>(block.size()));
        const auto n = static_cast<std::size_t>(in.gcount());
        for (std::size_t k = 0; k < n; ++k) {
            const char c = block[k];
            if (c == '\r' || c == '\n') return line;
            line += c;
        }
        if (line.size() > limit) throw ELineTooLong(LineTooLongText(1), 1);
    }
    return line;
}

std::string Upper(std::string u) {
    for (char& c : u)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return u;
}

// "True"/"False" in any letter case, or a number (non-zero: true).
bool ReadBoolean(const std::string& field) {
    std::string u(TrimBlanks(field));
    for (char& c : u)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (u == "TRUE") return true;
    if (u == "FALSE") return false;
    int64_t v = 0;
    if (TryStrToInt64(u, v)) return v != 0;
    throw EConversionError("'" + field + "' is not a valid boolean value");
}

} // namespace

bool IsListBoolean(std::string_view field) {
    if (TrimBlanks(field).empty()) return true;
    try {
        (void)ReadBoolean(std::string(field));
        return true;
    } catch (const EConversionError&) {
        return false;
    }
}

TTable MakeCallListTable() {
    return TTable({TZK_InputStyle::csBoolean, TZK_InputStyle::csString, TZK_InputStyle::csString,
                   TZK_InputStyle::csMinSec});
}

TTable MakeResponseListTable() {
    return TTable({TZK_InputStyle::csBoolean, TZK_InputStyle::csString, TZK_InputStyle::csString,
                   TZK_InputStyle::csUnsignedInt});
}

bool IsCommaForm(const std::string& fileName) {
    const std::string first = FirstLine(fileName);
    const std::string_view t = TrimBlanks(first);
    return !t.empty() && t.back() == ',';
}

namespace {

void EmptyLoadedBlanks(TTable& table) {
    // The table reader keeps an empty field as one blank (so that it keeps
    // its column). A list has no use for a lone blank: the field was empty,
    // and stays so when the list is written again. An empty "Ok" field is
    // an inactive row, as the download reads it.
    for (int r = 0; r < table.RowCount(); ++r)
        for (int c = 0; c < table.ColCount(); ++c) {
            const std::string_view cell = table.Cell(c, r);
            if (table.Style(c) == TZK_InputStyle::csBoolean) {
                if (TrimBlanks(cell).empty()) table.SetCell(c, r, "0");
            } else if (cell == " ") {
                table.SetCell(c, r, "");
            }
        }
}

} // namespace

TLoadResult OpenListFile(TTable& table, const std::string& fileName, TListKind kind) {
    const bool aufruf = kind == TListKind::Aufruf;
    if (IsCommaForm(fileName)) {
        TLoadResult r =
            LoadFromCSV(table, fileName, '\'', nullptr,
                        std::string(aufruf ? kAufrufHeaderComma : kAntwortHeaderComma), ',');
        if (r.Loaded) {
            EmptyLoadedBlanks(table);
            // a file cut short is not rewritten with the rows before the cut
            if (!r.LastLineIncomplete && !r.BrokenRow) SaveListFile(table, fileName, kind);
        }
        return r;
    }
    TLoadResult r = LoadFromCSV(table, fileName, '"', nullptr,
                                std::string(aufruf ? kAufrufHeader : kAntwortHeader), ';');
    if (r.Loaded) EmptyLoadedBlanks(table);
    table.Modified = false;
    return r;
}

std::string CallDescription(const TIBISTelegramParser& parser, TBusType bus,
                            std::string_view call) {
    const bool trainBus = bus == TBusType::bsTrainBus;
    // the request type whose prefix the call is (the last one of several)
    std::string description;
    if (const auto records = parser.ProfileArray())
        for (const TWagenbusProfileRecord& r : *records)
            if (r.Master && r.TrainBus == trainBus && r.Prefix == call)
                description = r.Description;
    if (!description.empty()) return description;
    // else the request type the whole telegram is
    std::string bytes;
    try {
        bytes = DisplayToTelegram(call);
    } catch (const EConversionError&) {
        bytes = std::string(call);
    }
    const TTelegramRecord r = parser.Classify(bytes, true, bus);
    if (r.ExactMatch && r.Master && r.TrainBus == trainBus) return r.Description;
    return {};
}

void SaveListFile(TTable& table, const std::string& fileName, TListKind kind) {
    SaveToCSV(table, fileName, '"', 0,
              std::string(kind == TListKind::Aufruf ? kAufrufHeader : kAntwortHeader), ';');
}

int32_t IntervalSeconds(std::string_view text) {
    const auto refuse = [&text]() {
        return EConversionError("'" + std::string(text) + "' is not a valid interval (too long)");
    };
    // A part that is no number counts 0; digits too many for any number
    // are refused, not taken for 0.
    auto part = [&](std::string_view s) -> int64_t {
        int64_t v = 0;
        if (TryStrToInt64(s, v)) return v;
        std::string_view t = TrimBlanks(s);
        if (!t.empty() && (t[0] == '-' || t[0] == '+')) t.remove_prefix(1);
        if (!t.empty() && t.find_first_not_of("0123456789") == std::string_view::npos)
            throw refuse();
        return 0;
    };
    const auto colon = text.find(':');
    const int64_t minutes = part(text.substr(0, colon));
    const int64_t seconds = colon == std::string_view::npos ? 0 : part(text.substr(colon + 1));
    // minutes x 60 + seconds, refused where it leaves the 32-bit range
    constexpr int64_t kMinutesLimit = INT32_MAX / 60 + 1;
    if (minutes > kMinutesLimit || minutes < -kMinutesLimit) throw refuse();
    if (seconds > INT32_MAX || seconds < INT32_MIN) throw refuse();
    const int64_t total = minutes * 60 + seconds;
    if (total > INT32_MAX || total < INT32_MIN) throw refuse();
    return static_cast<int32_t>(total);
}

std::string CallListProblemText(const TCallListProblem& p, int language) {
    using K = TCallListProblem::TKind;
    const bool en = language == 2;
    const std::string line = std::to_string(p.Line);
    const std::string head = en ? "Line " + line + ": " : "Zeile " + line + ": ";
    switch (p.Kind) {
    case K::None:
        return {};
    case K::Unreadable:
        return (en ? "The file cannot be read: " : "Die Datei kann nicht gelesen werden: ") +
               p.Text;
    case K::LineTooLong:
        return head + (en ? "longer than " : "l\xE4nger als ") + std::to_string(MaxLineBytes()) +
               (en ? " bytes: the file is no call list"
                   : " Bytes: die Datei ist keine Aufrufliste");
    case K::NoHeader:
        return head + (en ? "not the header of a call list (\"Ok\";\"Aufruf\";...)"
                          : "nicht die Kopfzeile einer Aufrufliste (\"Ok\";\"Aufruf\";...)");
    case K::Unterminated:
        return head + (en ? "a quote is never closed, so the rows from here on run together"
                          : "ein Anf\xFChrungszeichen wird nie geschlossen, daher laufen die "
                            "Zeilen ab hier ineinander");
    case K::FieldCount:
        return head + p.Text + (en ? " fields instead of 4" : " Felder statt 4");
    case K::NoBoolean:
        return head + "\"" + p.Text +
               (en ? "\" in \"Ok\" is neither -1 nor 0" : "\" in \"Ok\" ist weder -1 noch 0");
    case K::BadInterval:
        return head + (en ? "the interval \"" : "das Intervall \"") + p.Text +
               (en ? "\" is too long" : "\" ist zu lang");
    case K::NoRows:
        return en ? "The call list holds no row." : "Die Aufrufliste enth\xE4lt keine Zeile.";
    }
    return {};
}

void LoadCallList(const std::string& fileName, std::vector<tAufruf>& entries) {
    using K = TCallListProblem::TKind;
    entries.clear();
    auto fail = [](K kind, int line, std::string text = {}) {
        throw ECallListError(TCallListProblem{kind, line, std::move(text)});
    };
    bool header = false;
    int rows = 0;
    TTableLines lines;
    try {
        // Line ends inside the file's quotes are data; each line is split
        // in its own form, as the older loader did (a line ending in "," is
        // in the comma form).
        lines = ForEachTableRawLine(
            fileName, IsCommaForm(fileName) ? '\'' : '"', [&](std::string_view raw, int line) {
                const std::string_view trimmed = TrimBlanks(raw);
                const bool comma = !trimmed.empty() && trimmed.back() == ',';
                std::vector<std::string> f =
                    SplitDelimited(raw, comma ? ',' : ';', comma ? '\'' : '"', true);
                if (comma && f.size() == 5 && f.back().empty()) f.pop_back();
                if (!header) {
                    static const char* const names[] = {"OK", "AUFRUF", "BESCHREIBUNG",
                                                        "INTERVALL"};
                    bool ok = f.size() == 4;
                    for (std::size_t k = 0; ok && k < 4; ++k)
                        ok = Upper(std::string(TrimBlanks(f[k]))) == names[k];
                    if (!ok) fail(K::NoHeader, line);
                    header = true;
                    return;
                }
                if (f.empty()) return; // blanks only
                if (f.size() != 4) fail(K::FieldCount, line, std::to_string(f.size()));
                bool active = false;
                try {
                    active = ReadBoolean(f[0]);
                } catch (const EConversionError&) {
                    fail(K::NoBoolean, line, f[0]);
                }
                ++rows;
                if (!active) return;
                tAufruf a;
                a.Aufruf = f[1];
                try {
                    a.Intervall = IntervalSeconds(f[3]);
                } catch (const EConversionError&) {
                    fail(K::BadInterval, line, f[3]);
                }
                entries.push_back(std::move(a));
            });
    } catch (const ECallListError&) {
        throw;
    } catch (const ELineTooLong& e) {
        fail(K::LineTooLong, e.Line);
    } catch (const EFileError& e) {
        fail(K::Unreadable, 0, e.what());
    }
    if (!lines.Complete) fail(K::Unterminated, lines.UnterminatedLine);
    if (!header || rows == 0) fail(K::NoRows, 0);
}

uint16_t ReactionTimeOf(std::string_view field, TReactionRead& how) {
    const std::string_view t = TrimBlanks(field);
    std::size_t k = 0;
    const bool negative = !t.empty() && t[0] == '-';
    if (!t.empty() && (t[0] == '-' || t[0] == '+')) k = 1;
    if (k == t.size() || t.find_first_not_of("0123456789", k) != std::string_view::npos) {
        how = TReactionRead::NoNumber;
        return 9;
    }
    uint64_t value = 0;
    for (std::size_t p = k; p < t.size(); ++p)
        value = std::min<uint64_t>(value * 10 + static_cast<uint64_t>(t[p] - '0'), 1000000);
    if (negative && value > 0) {
        how = TReactionRead::Clamped;
        return 0;
    }
    if (value > 1000) {
        how = TReactionRead::Clamped;
        return 1000;
    }
    how = TReactionRead::Plain;
    return static_cast<uint16_t>(value);
}

bool IsResponseListRow(std::vector<std::string>& f, bool commaForm) {
    if (commaForm && f.size() == 5 && f.back().empty()) f.pop_back();
    return f.size() == 4 && f[0] != "Ok";
}

std::optional<TAntwortListeElement> ResponseListElement(std::vector<std::string>& f, bool commaForm,
                                                        TReactionRead* how) {
    if (!IsResponseListRow(f, commaForm)) return std::nullopt;
    if (f[0].empty() || f[0] == " " || f[0] == "0") return std::nullopt;
    TAntwortListeElement el;
    el.Aufruf = f[1];
    el.Antwort = f[2];
    TReactionRead read = TReactionRead::Plain;
    el.ReactionMs = ReactionTimeOf(f[3], read);
    if (how) *how = read;
    return el;
}

TAntwortListe LoadResponseList(const std::string& fileName) {
    const bool comma = IsCommaForm(fileName);
    TAntwortListe list;
    ForEachTableLine(fileName, comma ? '\'' : '"', comma ? ',' : ';',
                     [&](std::vector<std::string>& f, int) {
                         if (auto el = ResponseListElement(f, comma))
                             list.push_back(std::move(*el));
                     });
    return list;
}

void TMonitorResponseList::Load(const std::string& fileName) {
    TAntwortListe list = LoadResponseList(fileName);
    FFile = fileName;
    FList = std::move(list);
    if (FDownload) FDownload(FList);
}

void TMonitorResponseList::Clear(TEnvironment& env) {
    if (FDownload) FDownload(TAntwortListe{});
    env.SetLastLoadedResponseList(env.ReloadResponseList() ? FFile : "");
    FFile.clear();
    FList.clear();
}

int ResponseListFromProtocol(const std::string& protocolFile, const TIBISTelegramParser& parser,
                             TBusType bus, TTable& table) {
    table.Clear();
    // The protocol read as every other reader of protocols reads it: its
    // form from the whole first row, every row ending as the form's rows do.
    // A quote out of place, a form in doubt or a protocol cut short is a
    // protocol in the wrong format, not one to take calls from.
    TTable rows = MakeProtocolTable();
    TProtocolLoad info;
    try {
        info = ReadProtocolRows(rows, protocolFile);
    } catch (const EVaskelError&) {
        throw EFileError(kResponsesFromProtocolError);
    }
    if (info.Incomplete) throw EFileError(kResponsesFromProtocolError);
    const bool comma = info.CommaForm;
    std::string key;
    int added = 0;
    std::vector<std::string> calls;
    const int count = rows.RowCount() == 1 && rows.RowEmpty(0) ? 0 : rows.RowCount();
    for (int i = 0; i < count; ++i) {
        const std::string kind(TrimBlanks(rows.Cell(pcKind, i)));
        std::string telegram(rows.Cell(pcTelegram, i));
        if (kind.find('M') != std::string::npos || kind.find('N') != std::string::npos) {
            const TTelegramRecord r = parser.Classify(telegram, true, bus);
            key = r.Prefix + r.Address;
            continue;
        }
        if (key.empty() || !TrimBlanks(rows.Cell(pcErrors, i)).empty()) continue;
        // an answer the recording found no call for ("2"), or one that
        // answers an earlier call than the last ("3"), is no answer to key
        const std::string_view pairing = TrimBlanks(rows.Cell(pcAnswer, i));
        if (pairing == "2" || pairing == "3") continue;
        if (std::find(calls.begin(), calls.end(), key) != calls.end()) continue;
        // without its carriage return and check byte (the download adds
        // both again); an older comma-form row that holds them loses them
        // too, else its list could never be downloaded
        const std::size_t n = telegram.size();
        if (n >= 2 && telegram[n - 2] == '\r')
            telegram.resize(n - 2);
        else if (!comma && n >= 1)
            telegram.resize(n - 1);
        const int row = added == 0 ? 0 : table.AppendRow();
        table.SetRow(row, {"-1", key, telegram, "1"});
        calls.push_back(key);
        ++added;
    }
    if (added > 0) table.Modified = true;
    return added;
}

} // namespace vaskel
