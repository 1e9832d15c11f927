#include "recording/OpenedProtocol.h"

#include "recording/TableFile.h"
#include "telegram/DelimitedText.h"
#include "telegram/Errors.h"
#include "telegram/SafeFile.h"
#include "telegram/TextConventions.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace vaskel {

const char* const kInvalidProtocolFormat = "Ung\xFCltiges Protokollformat";
const char* const kProtocolLoadError =
    "Die ausgew\xE4hlte Datei ist kein g\xFCltiges Protokoll, besch\xE4"
    "digt oder durch einen "
    "anderen Prozess gesperrt. \r\n"
    "Falls Sie gleichzeitig mit anderen Programmen auf dieses Protokoll zugreifen, beenden Sie "
    "diese zuerst.";

const char* const kDoubtfulProtocolForm =
    "Die Form des Protokolls ist nicht eindeutig zu erkennen: Die Felder seiner ersten Zeile "
    "stehen nicht vollst\xE4ndig in Anf\xFChrungszeichen. Die Datei wurde weder geladen noch "
    "umgewandelt.";

namespace {

namespace fs = std::filesystem;

bool IsKind(std::string_view field) {
    const std::string_view k = TrimBlanks(field);
    return k.empty() || k == "M" || k == "N" || k == "S" || k == "T";
}

// A protocol row has ten fields; the first six (kind to telegram) are what
// every reader of a protocol needs.
constexpr int kMinFields = 6;

void EraseFirst(std::string& s, char c) {
    if (const auto p = s.find(c); p != std::string::npos) s.erase(p, 1);
}

// Whether the last line (LF ends a line) that holds more than blanks holds
// sep: read backwards from the end of the file.
bool LastNonEmptyLineHolds(const std::string& fileName, char sep, char quote) {
    std::ifstream in(fileName, std::ios::binary | std::ios::ate);
    if (!in) throw EFileError("Cannot open file " + fileName + ".");
    std::uint64_t from = static_cast<std::uint64_t>(in.tellg());
    constexpr std::uint64_t kBlock = 64 * 1024;
    std::string block;
    bool inLine = false; // past the blanks at the end, inside the last line
    // A file cut inside its first field ('"M'), as a crash while a row was
    // written leaves it, is judged by the line before that one.
    bool unended = true;
    char first = 0; // the first byte of the line looked at, once it is known
    while (from > 0) {
        const std::uint64_t n = std::min(kBlock, from);
        from -= n;
        block.resize(n);
        in.seekg(static_cast<std::streamoff>(from));
        in.read(block.data(), static_cast<std::streamsize>(n));
        for (std::size_t k = n; k-- > 0;) {
            const char c = block[k];
            if (!inLine) {
                if (c == '\r' || c == '\n') unended = false;
                inLine = static_cast<unsigned char>(c) > 0x20;
                if (!inLine) continue;
            }
            if (c == sep) return true;
            if (c == '\n') {
                if (!(unended && first == quote)) return false;
                unended = false; // the line before
                inLine = false;
                continue;
            }
            first = c;
        }
    }
    return false;
}

// Writes an unquoted protocol as quoted lines to out: each line (LF or
// CR LF ends it) split into its tokens, every token quoted.
void ConvertUnquoted(const std::string& fileName, TFileSink& o, char sep, char quote) {
    std::ifstream in(fileName, std::ios::binary);
    if (!in) throw EFileError("Cannot open file " + fileName + ".");
    std::string out;
    auto convert = [&](std::string& l) {
        if (!l.empty() && l.back() == '\r') l.pop_back();
        const std::vector<std::string> tokens = SplitTokens(l, std::string(1, sep));
        for (std::size_t k = 0; k < tokens.size(); ++k) {
            if (k > 0) out += sep;
            out += quote;
            for (char c : tokens[k]) {
                if (c == quote) out += quote;
                out += c;
            }
            out += quote;
        }
        out += "\r\n";
        if (out.size() >= (1 << 20)) {
            o.Write(out);
            out.clear();
        }
    };
    std::string line;
    while (std::getline(in, line))
        if (!in.eof() || !line.empty()) convert(line);
    o.Write(out);
}

void ConvertUnquoted(const std::string& fileName, const std::string& target, char sep,
                     char quote) {
    WriteFileSafely(target, [&](TFileSink& o) { ConvertUnquoted(fileName, o, sep, quote); });
}

} // namespace

std::optional<TProtocolForm> ProtocolFormOf(std::string_view s, bool complete) {
    const std::size_t n = s.size();
    std::size_t p = 0;
    // empty lines and blanks before the first row
    while (p < n && static_cast<unsigned char>(s[p]) <= 0x20)
        ++p;
    if (p == n) {
        if (complete) throw EFileError(kInvalidProtocolFormat);
        return std::nullopt;
    }
    const char q = s[p];
    if (q == '"' || q == '\'') {
        // Quoted fields, read with the quotes: a telegram's CR, LF, comma,
        // semicolon or doubled quote inside its field is part of it.
        const char sep = q == '"' ? ';' : ',';
        int fields = 0;
        bool kind = false;
        for (;;) {
            if (s[p] != q) throw EFileError(kDoubtfulProtocolForm);
            const std::size_t open = ++p;
            for (;;) {
                p = s.find(q, p);
                if (p == std::string_view::npos || p + 1 == n) {
                    if (!complete) return std::nullopt;
                    if (p == std::string_view::npos) {
                        // the file ends inside the first row's quotes: the
                        // loader reports it
                        return q == '"' ? TProtocolForm::Current : TProtocolForm::Comma;
                    }
                    break;
                }
                if (s[p + 1] == q) {
                    p += 2;
                    continue;
                }
                break;
            }
            if (fields++ == 0) kind = IsKind(s.substr(open, p - open));
            ++p; // the closing quote
            if (p == n) {
                if (!complete) return std::nullopt;
                if (q == '\'') throw EFileError(kDoubtfulProtocolForm); // no "," at the end
                break;
            }
            if (s[p] == '\r' || s[p] == '\n') {
                if (q == '\'') throw EFileError(kDoubtfulProtocolForm);
                break;
            }
            if (s[p] != sep) throw EFileError(kDoubtfulProtocolForm);
            ++p;
            if (q == '\'' && (p == n || s[p] == '\r' || s[p] == '\n')) {
                if (p == n && !complete) return std::nullopt;
                break; // the comma form's "," at the end of the line
            }
            if (p == n) {
                if (!complete) return std::nullopt;
                throw EFileError(kDoubtfulProtocolForm);
            }
        }
        // (a row of empty quoted fields is the recorder's empty protocol)
        if (fields < kMinFields || !kind) throw EFileError(kInvalidProtocolFormat);
        return q == '"' ? TProtocolForm::Current : TProtocolForm::Comma;
    }
    // No quote at its start: an unquoted line has none at all.
    std::size_t end = s.find_first_of("\r\n", p);
    if (end == std::string_view::npos) {
        if (!complete) return std::nullopt;
        end = n;
    }
    const std::string_view line = TrimBlanks(s.substr(p, end - p));
    if (line.find_first_of("\"'") != std::string_view::npos)
        throw EFileError(kDoubtfulProtocolForm);
    const bool comma = line.back() == ',';
    const char sep = comma ? ',' : ';';
    const auto fields = std::count(line.begin(), line.end(), sep) + 1;
    // a line of separators only is no row
    if (fields < kMinFields || !IsKind(line.substr(0, line.find(sep))) ||
        line.find_first_not_of(std::string(1, sep) + " \t") == std::string_view::npos)
        throw EFileError(kInvalidProtocolFormat);
    return comma ? TProtocolForm::UnquotedComma : TProtocolForm::Unquoted;
}

TProtocolForm ProtocolFormOfFile(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    if (!in) throw EFileError("Cannot open file " + fileName + ".");
    std::string head;
    // Each read doubles what is there, so the first row is looked at a few
    // times, not once per block.
    std::size_t block = 64 * 1024;
    for (;;) {
        const std::size_t old = head.size();
        head.resize(old + block);
        in.read(head.data() + old, static_cast<std::streamsize>(block));
        head.resize(old + static_cast<std::size_t>(in.gcount()));
        const bool complete = !in;
        if (const auto form = ProtocolFormOf(head, complete)) return *form;
        // a first row this long is no protocol row
        std::size_t start = 0;
        while (start < head.size() && static_cast<unsigned char>(head[start]) <= 0x20)
            ++start;
        if (head.size() - start > MaxLineBytes()) {
            const int line = FileLineAt(fileName, start);
            throw ELineTooLong(LineTooLongText(line), line);
        }
        block = std::min<std::size_t>(head.size(), MaxLineBytes() + 1);
    }
}

void Reanalyse(TTable& table, const TIBISTelegramParser& parser, TBusType bus,
               const std::function<void(int)>& progress) {
    const int rows = table.RowCount();
    if (rows == 1 && table.RowEmpty(0)) return;
    TTelegramRecord r;
    // Each row is read once and written once: written in its place when it
    // fits there, so analysing again adds nothing.
    std::vector<std::string> cells(static_cast<std::size_t>(table.ColCount()));
    for (int i = 0; i < rows; ++i) {
        if (progress) progress(i + 1);
        table.ForEachCell(i, [&](int c, std::string_view v) { cells[c].assign(v); });
        // 1.
        if (TrimBlanks(cells[pcKind]).empty()) cells[pcKind] = "M";
        const std::string& kind = cells[pcKind];
        const bool master = IsMasterKind(kind);
        // 2.
        table.ClearObject(i);
        parser.Classify(cells[pcTelegram], master, bus, r);
        TTelegramData obj;
        obj.EndTime = StrToIntDef(cells[pcStart], 0);
        obj.ExpectedAnswers = r.Answers;
        obj.Address = MakeTelegramData(r).Address;
        if (IsSlaveKind(kind) || (master && !obj.ExpectedAnswers.empty())) table.SetObject(i, obj);
        // 3.
        cells[pcNr] = std::to_string(i + 1);
        // 4.
        // (a loaded empty cell holds one blank)
        std::string errors(TrimBlanks(cells[pcErrors]));
        EraseFirst(errors, 'X');
        EraseFirst(errors, 'T');
        if (!r.ExactMatch) errors += 'X';
        if (!r.RecordNo.empty() && !r.RoleAsExpected) errors += 'T';
        cells[pcErrors] = std::move(errors);
        // 5.
        cells[pcRecordNo] = r.ExactMatch && r.RoleAsExpected ? r.RecordNo : "[" + r.RecordNo + "]";
        cells[pcDescription] = r.Description;
        cells[pcAnswer].clear();
        // 6.
        if (master) {
            if (!r.Answers.empty()) cells[pcAnswer] = "-1";
            table.SetRow(i, cells);
            continue;
        }
        // 7. (this row is no master row: the search starts before it)
        int found = -1;
        if (!r.RecordNo.empty()) {
            for (int m = i - 1; m >= std::max(0, i - 50); --m) {
                if (!IsMasterKind(table.Cell(pcKind, m))) continue;
                if (!table.HasObject(m) ||
                    table.ObjectAnswers(m).find(r.RecordNo) == std::string_view::npos)
                    continue;
                if (table.Cell(pcAnswer, m) == "0") continue;
                found = m;
                break;
            }
        }
        if (found < 0) {
            cells[pcAnswer] = "2";
            cells[pcReaction] = kReactionInvalid;
        } else if (found == i - 1) {
            cells[pcAnswer] = "4";
            table.SetPartnerRow(i, StrToIntDef(table.Cell(pcNr, found), -1));
            table.SetCell(pcAnswer, found, "0");
        } else {
            cells[pcAnswer] = "3";
            table.SetCell(pcAnswer, found, "1");
            table.SetPartnerRow(i, StrToIntDef(table.Cell(pcNr, found), -1));
            table.SetPartnerRow(found, i + 1);
            const auto o = table.Object(found);
            cells[pcReaction] =
                std::to_string(static_cast<int64_t>(StrToIntDef(cells[pcStart], 0)) - o->EndTime);
        }
        table.SetRow(i, cells);
    }
    table.Modified = true;
}

void RestoreRowObjects(TTable& table, const TIBISTelegramParser& parser, TBusType bus) {
    TTelegramRecord r;
    std::string telegram;
    for (int i = 0; i < table.RowCount(); ++i) {
        const std::string_view kind = table.Cell(pcKind, i);
        const bool master = IsMasterKind(kind);
        if (!master && !IsSlaveKind(kind)) continue;
        if (!table.HasObject(i)) {
            telegram.assign(table.Cell(pcTelegram, i));
            parser.Classify(telegram, master, bus, r);
            TTelegramData obj = MakeTelegramData(r);
            obj.EndTime = StrToIntDef(table.Cell(pcStart, i), 0);
            obj.PartnerRow = -1;
            if (!master || !obj.ExpectedAnswers.empty()) table.SetObject(i, obj);
        }
        if (master || table.ObjectPartnerRow(i) >= 0) continue;
        // the master this answer was paired with, as its status says
        const std::string_view status = table.Cell(pcAnswer, i);
        int found = -1;
        if (status == "4" && i > 0) {
            found = i - 1;
        } else if (status == "3") {
            const std::string_view no = table.Cell(pcRecordNo, i);
            for (int m = i - 1; m >= std::max(0, i - 50) && !no.empty(); --m) {
                if (!IsMasterKind(table.Cell(pcKind, m)) || table.Cell(pcAnswer, m) != "1")
                    continue;
                if (table.ObjectPartnerRow(m) >= 0) continue; // answered by an earlier row
                if (table.ObjectAnswers(m).find(no) == std::string_view::npos) continue;
                found = m;
                break;
            }
        }
        if (found < 0 || !IsMasterKind(table.Cell(pcKind, found)) || !table.HasObject(found))
            continue;
        table.SetPartnerRow(i, StrToIntDef(table.Cell(pcNr, found), -1));
        table.SetPartnerRow(found, StrToIntDef(table.Cell(pcNr, i), -1));
    }
}

namespace {

// The file's form as the load tells it; the separator and quote it takes.
struct TFileForm {
    TProtocolForm Form;
    char Sep;
    char Quote;
};

TFileForm ReadFileForm(const std::string& fileName, TProtocolLoad& info) {
    const TProtocolForm form = ProtocolFormOfFile(fileName);
    info.CommaForm = form == TProtocolForm::Comma || form == TProtocolForm::UnquotedComma;
    info.Unquoted = form == TProtocolForm::Unquoted || form == TProtocolForm::UnquotedComma;
    const char sep = info.CommaForm ? ',' : ';';
    const char quote = info.CommaForm ? '\'' : '"';
    if (!LastNonEmptyLineHolds(fileName, sep, quote)) throw EFileError(kInvalidProtocolFormat);
    return {form, sep, quote};
}

// Reads the rows of source (the file itself, or its quoted copy, which goes
// afterwards) into table and tells how far they could be read.
void ReadRows(TTable& table, const std::string& source, const std::string& fileName,
              const TFileForm& f, const std::function<void(int)>& progress,
              TProtocolLoad& info) {
    std::error_code ec;
    TLoadResult r;
    try {
        // every row ends with its last field's closing quote (and the comma
        // form's "," after it): reading stops at the first that does not
        const char* rowEnd = f.Form == TProtocolForm::Comma           ? "',"
                             : f.Form == TProtocolForm::UnquotedComma ? ""
                                                                      : "\"";
        r = LoadFromCSV(table, source, f.Quote, progress, std::nullopt, f.Sep, rowEnd);
        // A last row without line end and with fewer fields than a row has
        // was cut off (a file cut short, a crash while it was written): the
        // rows before it are read.
        if (f.Form == TProtocolForm::Current && r.LastRowUnended &&
            r.LastRowFields < table.ColCount()) {
            table.DeleteRow(table.RowCount() - 1);
            --r.Rows;
            r.LastLineIncomplete = true;
            r.UnreadFrom = r.LastRowFrom;
        }
        if (r.LastLineIncomplete || r.BrokenRow)
            info.UnreadFromLine = FileLineAt(source, r.UnreadFrom, f.Quote);
    } catch (...) {
        if (source != fileName) fs::remove(source, ec);
        throw;
    }
    if (source != fileName) fs::remove(source, ec);
    info.Incomplete = r.LastLineIncomplete || r.BrokenRow;
    info.RowsRead = r.Rows;
    table.Modified = false;
}

} // namespace

TProtocolLoad ReadProtocolRows(TTable& table, const std::string& fileName) {
    TProtocolLoad info;
    const TFileForm f = ReadFileForm(fileName, info);
    const char sep = f.Sep;
    const char quote = f.Quote;
    std::string source = fileName;
    std::error_code ec;
    if (info.Unquoted) {
        // every token quoted, into the temporary folder: the file stays as it is
        fs::path tmp = fs::temp_directory_path(ec);
        if (ec) throw EFileError("Cannot convert " + fileName + ".");
        tmp /= "vaskel-rows-" + std::to_string(reinterpret_cast<std::uintptr_t>(&table)) + "-" +
               fs::path(fileName).filename().string() + ".tmp";
        source = tmp.string();
        ConvertUnquoted(fileName, source, sep, quote);
    }
    ReadRows(table, source, fileName, f, nullptr, info);
    return info;
}

TProtocolLoad LoadProtocolFile(TTable& table, const std::string& fileName,
                               const TIBISTelegramParser& parser, TBusType bus,
                               const std::function<void(int)>& progress) {
    TProtocolLoad info;
    const TFileForm f = ReadFileForm(fileName, info);
    const TProtocolForm form = f.Form;
    const char sep = f.Sep;
    const char quote = f.Quote;

    std::string source = fileName;
    std::error_code ec;
    if (info.Unquoted) {
        // Every token quoted, into a temporary file. With ";" it replaces the
        // file (after the backup); with "," it is read, and the file is
        // written back in the current form below.
        if (form == TProtocolForm::Unquoted) {
            CopyFileSafely(fileName, BackupFileName(fileName));
            ConvertUnquoted(fileName, fileName, sep, quote);
        } else {
            fs::path tmp(fileName);
            tmp.replace_extension(".tmp");
            ConvertUnquoted(fileName, tmp.string(), sep, quote);
            source = tmp.string();
        }
    }
    ReadRows(table, source, fileName, f, progress, info);
    if (info.CommaForm || info.Unquoted) {
        Reanalyse(table, parser, bus, progress);
        info.Reanalysed = true;
    }
    // A file not read to its end is not rewritten from the rows read.
    if (info.CommaForm && !info.Incomplete) {
        if (progress) progress(table.RowCount()); // the last chance to stop before writing
        SaveToCSV(table, fileName, '"', 0, std::nullopt, ';');
        info.WrittenBack = true;
    }
    return info;
}

} // namespace vaskel
