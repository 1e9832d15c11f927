#include "telegram/Catalogue.h"

#include "telegram/DelimitedText.h"
#include "telegram/Errors.h"
#include "telegram/TextConventions.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace vaskel {

namespace {

std::string RemoveChars(std::string_view s, std::string_view chars) {
    std::string out;
    out.reserve(s.size());
    for (char c : s)
        if (chars.find(c) == std::string_view::npos) out += c;
    return out;
}

bool ReadBoolField(const std::string& field) {
    return TrimBlanks(field) != "0";
}

// found is false when there is no file of that name. A folder of that name
// raises EFileError (opened as a file it would read as empty).
std::string ReadWholeFile(const std::string& fileName, bool& found, const char* what) {
    std::error_code ec;
    if (std::filesystem::is_directory(fileName, ec))
        throw EFileError(FormatText("%s%s is a folder, not a file.", {what, fileName}));
    std::ifstream in(fileName, std::ios::binary);
    found = static_cast<bool>(in);
    if (!found) return {};
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

} // namespace

std::string PatternPrefix(std::string_view pattern) {
    const auto pos = pattern.find_first_of("$()*0123456789@[]");
    return std::string(pattern.substr(0, pos));
}

void InsertSorted(TProfileArray& array, TWagenbusProfileRecord record) {
    auto it = std::lower_bound(
        array.begin(), array.end(), record.Pattern,
        [](const TWagenbusProfileRecord& r, const std::string& p) { return r.Pattern < p; });
    array.insert(it, std::move(record));
}

std::vector<TCatalogueRow> ReadCatalogueRows(std::string_view content) {
    std::vector<TCatalogueRow> rows;
    ForEachTextLine(content, [&](std::string_view raw, int lineNo) {
        const std::string_view line = TrimBlanks(raw);
        if (line.empty() || line.find("//") != std::string_view::npos) return;
        TCatalogueRow row;
        row.Fields = SplitDelimited(line, ';', '"');
        for (auto& s : row.Fields)
            s = std::string(TrimBlanks(s));
        row.LineNo = lineNo;
        rows.push_back(std::move(row));
    });
    return rows;
}

std::vector<std::string> CatalogueCommentLines(std::string_view content) {
    std::vector<std::string> lines;
    ForEachTextLine(content, [&](std::string_view raw, int) {
        const std::string_view line = TrimBlanks(raw);
        if (line.find("//") != std::string_view::npos) lines.emplace_back(line);
    });
    return lines;
}

TWagenbusProfileRecord RecordFromFields(const std::vector<std::string>& f) {
    auto field = [&](std::size_t k) -> const std::string& {
        static const std::string empty;
        return k < f.size() ? f[k] : empty;
    };
    TWagenbusProfileRecord r;
    r.RecordNo = field(0);
    r.PatternText = field(1);
    r.Pattern = RemoveChars(field(1), " ,");
    r.Example = field(2);
    r.Master = ReadBoolField(field(3));
    r.Answers = RemoveChars(field(4), " ");
    r.TrainBus = ReadBoolField(field(5));
    r.Filter = ReadBoolField(field(6));
    r.Description = field(7);
    r.Prefix = PatternPrefix(r.Pattern);
    return r;
}

TProfileArray SortRecords(std::vector<TWagenbusProfileRecord> read) {
    // Inserting each record before the first one with a pattern >= its own
    // is a stable sort of the reversed read order.
    std::reverse(read.begin(), read.end());
    std::stable_sort(read.begin(), read.end(),
                     [](const TWagenbusProfileRecord& a, const TWagenbusProfileRecord& b) {
                         return a.Pattern < b.Pattern;
                     });
    return read;
}

bool IsCatalogueFlag(std::string_view field) {
    const std::string_view t = TrimBlanks(field);
    return t.empty() || t == "0" || t == "-1" || t == "1";
}

TProfileArray ParseCatalogue(std::string_view content, const std::string& fileName) {
    std::vector<TWagenbusProfileRecord> read;
    for (const TCatalogueRow& row : ReadCatalogueRows(content)) {
        const std::string line = std::to_string(row.LineNo);
        if (row.Fields.size() < kCatalogueFields || row.Fields.size() > kCatalogueMaxFields)
            throw EFileError(FormatText(
                "TIBISTelegramParser error: Error parsing %s, line %d: invalid amount of tokens!",
                {fileName, line}));
        for (const std::size_t k : kCatalogueFlagFields)
            if (!IsCatalogueFlag(row.Fields[k]))
                throw EFileError(FormatText(
                    "TIBISTelegramParser error: Error parsing %s, line %d: field %d is no flag "
                    "(-1 or 0)!",
                    {fileName, line, std::to_string(k + 1)}));
        read.push_back(RecordFromFields(row.Fields));
    }
    if (read.empty())
        throw ENoRecordTypes(
            FormatText("TIBISTelegramParser error: %s holds no record types!", {fileName}));
    return SortRecords(std::move(read));
}

std::string ReadCatalogueFile(const std::string& fileName) {
    bool found = false;
    std::string content = ReadWholeFile(fileName, found, "TIBISTelegramParser error: ");
    if (!found)
        throw EFileError(FormatText("TIBISTelegramParser error: file %s not found.", {fileName}));
    return content;
}

TProfileArray LoadCatalogueFile(const std::string& fileName) {
    bool found = false;
    const std::string content = ReadWholeFile(fileName, found, "TIBISTelegramParser error: ");
    if (!found)
        throw EFileError(FormatText("TIBISTelegramParser error: file %s not found.", {fileName}));
    return ParseCatalogue(content, fileName);
}

TFirstCharIndex BuildFirstCharIndex(const TProfileArray& array) {
    TFirstCharIndex index;
    index.fill(-1);
    int prev = -1;
    for (std::size_t k = 0; k < array.size(); ++k) {
        const std::string& p = array[k].Pattern;
        const int c = p.empty() ? -1 : static_cast<unsigned char>(p[0]);
        if (c != prev && c >= 0x20 && c <= 0x7E) index[c - 0x20] = static_cast<int>(k);
        prev = c;
    }
    return index;
}

TFrameFile ParseFrameFile(std::string_view content) {
    TFrameFile result;
    ForEachTextLine(content, [&](std::string_view line, int) {
        // a quote never closed: the file was cut inside a field, or the
        // line is no clean line of groups (read as ever, but said)
        if (std::count(line.begin(), line.end(), '"') % 2 != 0) result.Damaged = true;
        std::vector<std::string> f = SplitDelimited(line, ';', '"');
        if (f.size() < 2) {
            result.Damaged = true;
            return;
        }
        if (f[0].empty()) return;
        TFrameEntry entry;
        entry.Kuerzel = f[0];
        entry.Description = f[1];
        entry.Descriptions.assign(f.begin() + 1, f.end());
        result.Entries.push_back(std::move(entry));
    });
    // a file without any group (empty, blanks, line ends only) is no list
    // of groups either
    if (result.Entries.empty()) result.Damaged = true;
    return result;
}

const std::string& TFrameEntry::DescriptionIn(int language) const {
    const auto k = static_cast<std::size_t>(language - 1);
    if (language >= 1 && k < Descriptions.size() && !Descriptions[k].empty())
        return Descriptions[k];
    return Description;
}

TFrameFile LoadFrameFile(const std::string& fileName) {
    bool found = false;
    const std::string content = ReadWholeFile(fileName, found, "");
    if (!found) throw EFileError(FormatText("File %s not found.", {fileName}));
    return ParseFrameFile(content);
}

std::string CatalogueStartupErrorText(const std::string& message, int language) {
    if (language == 2)
        return "The file \"IBIS.CSV\" is missing or damaged.\r\n"
               "The exact message was: \"" +
               message +
               "\"\r\n"
               "The program is not usable without this file.";
    return "Die IBIS-Datensatzdatei \"IBIS.CSV\" fehlt oder ist fehlerhaft.\r\n"
           "Die genaue Meldung lautet: \"" +
           message +
           "\"\r\n"
           "Ohne diese Datei ist dieses Programm nicht lauff\xE4hig.";
}

} // namespace vaskel
