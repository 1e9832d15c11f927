#include "lists/ListFiles.h"

#include "recording/OpenedProtocol.h"

#include "telegram/DelimitedText.h"
#include "telegram/Errors.h"
#include "telegram/TextConventions.h"

#include <cctype>
#include <fstream>

namespace vaskel {

const char* const kAufrufHeader = "\"Ok\";\"Aufruf\";\"Beschreibung\";\"Intervall\"";
const char* const kAufrufHeaderComma = "'Ok','Aufruf','Beschreibung','Intervall',";
const char* const kAntwortHeader = "\"Ok\";\"Aufruf\";\"Antwort\";\"Reaktionszeit\"";
const char* const kAntwortHeaderComma = "'Ok','Aufruf','Antwort','Reaktionszeit',";
const char* const kResponsesFromProtocolError =
    "Es konnte keine Antwortliste erzeugt werden, da das Protokoll ein falsches Format hat.\r\n"
    "M\xF6glicherweise ist es keine g\xFCltiges Protokoll?";
const char* const kResponsesFromProtocolNone =
    "Das ausgew\xE4hlte Protokoll enth\xE4lt keine g\xFCltigen Slaveantworten,\r\n"
    "die extrahiert werden k\xF6nnen.";

namespace {

std::string FirstLine(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    if (!in) throw EFileError("Cannot open file " + fileName + ".");
    std::string line;
    char c;
    while (in.get(c) && c != '\r' && c != '\n')
        line += c;
    return line;
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
            SaveListFile(table, fileName, kind);
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

void LoadCallList(const std::string& fileName, std::vector<tAufruf>& entries) {
    entries.clear();
    std::ifstream in(fileName, std::ios::binary);
    if (!in) throw EFileError("Cannot open file " + fileName + ".");
    // A CR ends a line and the byte after it is skipped.
    std::vector<std::string> lines;
    std::string line;
    char c;
    while (in.get(c)) {
        if (c == '\r') {
            lines.push_back(line);
            line.clear();
            in.get(c);
            continue;
        }
        line += c;
    }
    if (!line.empty()) lines.push_back(line);
    for (std::size_t k = 1; k < lines.size(); ++k) {
        const std::string& l = lines[k];
        if (TrimBlanks(l).empty()) continue;
        const bool comma = !l.empty() && l.back() == ',';
        const std::vector<std::string> f =
            SplitDelimited(l, comma ? ',' : ';', comma ? '\'' : '"', true);
        if (f.empty() || !ReadBoolean(f[0])) continue;
        tAufruf a;
        a.Aufruf = f.size() > 1 ? f[1] : "";
        a.Intervall = f.size() > 3 ? IntervalSeconds(f[3]) : 0;
        entries.push_back(a);
    }
}

std::optional<TAntwortListeElement> ResponseListElement(std::vector<std::string>& f,
                                                        bool commaForm) {
    if (commaForm && f.size() == 5 && f.back().empty()) f.pop_back();
    if (f.size() != 4) return std::nullopt;
    if (f[0] == "Ok" || f[0].empty() || f[0] == " " || f[0] == "0") return std::nullopt;
    TAntwortListeElement el;
    el.Aufruf = f[1];
    el.Antwort = f[2];
    int64_t v = 0;
    el.ReactionMs =
        static_cast<uint16_t>(TryStrToInt64(f[3], v) && v >= 0 ? std::min<int64_t>(v, 65535) : 9);
    return el;
}

TAntwortListe LoadResponseList(const std::string& fileName) {
    const bool comma = IsCommaForm(fileName);
    TAntwortListe list;
    ForEachTableLine(fileName, comma ? '\'' : '"', comma ? ',' : ';',
                     [&](std::vector<std::string>& f) {
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
    // the form from the whole first row, read with its quotes (a telegram's
    // own CR and check byte do not end it)
    bool comma = false;
    try {
        const TProtocolForm form = ProtocolFormOfFile(protocolFile);
        comma = form == TProtocolForm::Comma || form == TProtocolForm::UnquotedComma;
    } catch (const EFileError&) {
        throw EFileError(kResponsesFromProtocolError);
    }
    std::string key;
    int added = 0;
    std::vector<std::string> calls;
    bool complete = false;
    try {
        complete = ForEachTableLine(
            protocolFile, comma ? '\'' : '"', comma ? ',' : ';', [&](std::vector<std::string>& f) {
                if (f.size() < 6) throw EFileError(kResponsesFromProtocolError);
                const std::string& kind = f[0];
                std::string telegram = f[5];
                if (kind.find('M') != std::string::npos || kind.find('N') != std::string::npos) {
                    const TTelegramRecord r = parser.Classify(telegram, true, bus);
                    key = r.Prefix + r.Address;
                    return;
                }
                if (key.empty() || !TrimBlanks(f[4]).empty()) return;
                for (const auto& c : calls)
                    if (c == key) return;
                // without its carriage return and check byte (the download
                // adds both again); an older comma-form row that holds them
                // loses them too, else its list could never be downloaded
                const std::size_t n = telegram.size();
                if (n >= 2 && telegram[n - 2] == '\r')
                    telegram.resize(n - 2);
                else if (!comma && n >= 1)
                    telegram.resize(n - 1);
                const int row = added == 0 ? 0 : table.AppendRow();
                table.SetRow(row, {"-1", key, telegram, "1"});
                calls.push_back(key);
                ++added;
            });
    } catch (const EVaskelError&) {
        throw EFileError(kResponsesFromProtocolError);
    }
    if (!complete) throw EFileError(kResponsesFromProtocolError);
    if (added > 0) table.Modified = true;
    return added;
}

} // namespace vaskel
