#include "recording/OpenedProtocol.h"

#include "recording/TableFile.h"
#include "telegram/Errors.h"
#include "telegram/TextConventions.h"

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

namespace {

namespace fs = std::filesystem;

// The file's lines as text: LF or CR LF end a line.
std::vector<std::string> TextLines(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    if (!in) throw EFileError("Cannot open file " + fileName + ".");
    std::vector<std::string> lines;
    std::string line;
    char c;
    while (in.get(c)) {
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty()) {
        if (line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

void EraseFirst(std::string& s, char c) {
    if (const auto p = s.find(c); p != std::string::npos) s.erase(p, 1);
}

} // namespace

void Reanalyse(TTable& table, const TIBISTelegramParser& parser, TBusType bus,
               const std::function<void(int)>& progress) {
    const int rows = table.RowCount();
    if (rows == 1 && table.RowEmpty(0)) return;
    TTelegramRecord r;
    for (int i = 0; i < rows; ++i) {
        if (progress) progress(i + 1);
        // 1.
        if (TrimBlanks(table.Cell(pcKind, i)).empty()) table.SetCell(pcKind, i, "M");
        const std::string kind(table.Cell(pcKind, i));
        const bool master = IsMasterKind(kind);
        // 2.
        table.ClearObject(i);
        parser.Classify(table.Cell(pcTelegram, i), master, bus, r);
        TTelegramData obj;
        obj.EndTime = StrToIntDef(table.Cell(pcStart, i), 0);
        obj.ExpectedAnswers = r.Answers;
        obj.Address = MakeTelegramData(r).Address;
        if (IsSlaveKind(kind) || (master && !obj.ExpectedAnswers.empty())) table.SetObject(i, obj);
        // 3.
        table.SetCell(pcNr, i, std::to_string(i + 1));
        // 4.
        // (a loaded empty cell holds one blank)
        std::string errors(TrimBlanks(table.Cell(pcErrors, i)));
        EraseFirst(errors, 'X');
        EraseFirst(errors, 'T');
        if (!r.ExactMatch) errors += 'X';
        if (!r.RecordNo.empty() && !r.RoleAsExpected) errors += 'T';
        table.SetCell(pcErrors, i, errors);
        // 5.
        table.SetCell(pcRecordNo, i,
                      r.ExactMatch && r.RoleAsExpected ? r.RecordNo : "[" + r.RecordNo + "]");
        table.SetCell(pcDescription, i, r.Description);
        table.SetCell(pcAnswer, i, "");
        // 6.
        if (master) {
            if (!r.Answers.empty()) table.SetCell(pcAnswer, i, "-1");
            continue;
        }
        // 7.
        int found = -1;
        if (!r.RecordNo.empty()) {
            for (int m = i; m >= std::max(0, i - 50); --m) {
                if (!IsMasterKind(table.Cell(pcKind, m))) continue;
                const auto o = table.Object(m);
                if (!o || o->ExpectedAnswers.find(r.RecordNo) == std::string::npos) continue;
                if (table.Cell(pcAnswer, m) == "0") continue;
                found = m;
                break;
            }
        }
        if (found < 0) {
            table.SetCell(pcAnswer, i, "2");
            table.SetCell(pcReaction, i, kReactionInvalid);
        } else if (found == i - 1) {
            table.SetCell(pcAnswer, i, "4");
            table.SetPartnerRow(i, StrToIntDef(table.Cell(pcNr, found), -1));
            table.SetCell(pcAnswer, found, "0");
        } else {
            table.SetCell(pcAnswer, i, "3");
            table.SetCell(pcAnswer, found, "1");
            table.SetPartnerRow(i, StrToIntDef(table.Cell(pcNr, found), -1));
            table.SetPartnerRow(found, i + 1);
            const auto o = table.Object(found);
            table.SetCell(
                pcReaction, i,
                std::to_string(static_cast<int64_t>(StrToIntDef(table.Cell(pcStart, i), 0)) -
                               o->EndTime));
        }
    }
    table.Modified = true;
}

TProtocolLoad LoadProtocolFile(TTable& table, const std::string& fileName,
                               const TIBISTelegramParser& parser, TBusType bus,
                               const std::function<void(int)>& progress) {
    TProtocolLoad info;
    std::vector<std::string> lines = TextLines(fileName);
    const std::string first = lines.empty() ? "" : std::string(TrimBlanks(lines[0]));
    info.CommaForm = !first.empty() && first.back() == ',';
    info.Unquoted = first.find('\'') == std::string::npos && first.find('"') == std::string::npos;
    const char sep = info.CommaForm ? ',' : ';';
    const char quote = info.CommaForm ? '\'' : '"';

    if (info.Unquoted) {
        // Convert in place: every token quoted, written to a temporary file
        // that then replaces the original.
        std::string out;
        for (const auto& l : lines) {
            std::vector<std::string> tokens = SplitTokens(l, std::string(1, sep));
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
        }
        fs::path tmp(fileName);
        tmp.replace_extension(".tmp");
        {
            std::ofstream o(tmp, std::ios::binary | std::ios::trunc);
            if (!o) throw EFileError("Cannot write " + tmp.string() + ".");
            o << out;
            if (!o) throw EFileError("Cannot write " + tmp.string() + ".");
        }
        std::error_code ec;
        fs::rename(tmp, fileName, ec);
        if (ec) throw EFileError("Cannot replace " + fileName + ".");
        lines = TextLines(fileName);
    }
    std::string lastNonEmpty;
    for (const auto& l : lines)
        if (!TrimBlanks(l).empty()) lastNonEmpty = l;
    if (lastNonEmpty.find(sep) == std::string::npos) throw EFileError(kInvalidProtocolFormat);

    const TLoadResult r = LoadFromCSV(table, fileName, quote, progress, std::nullopt, sep);
    info.LastLineIncomplete = r.LastLineIncomplete;
    table.Modified = false;
    if (info.CommaForm || info.Unquoted) {
        Reanalyse(table, parser, bus);
        info.Reanalysed = true;
    }
    if (info.CommaForm) {
        SaveToCSV(table, fileName, '"', 0, std::nullopt, ';');
        info.WrittenBack = true;
    }
    return info;
}

} // namespace vaskel
