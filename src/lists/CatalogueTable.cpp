#include "lists/CatalogueTable.h"

#include "telegram/Errors.h"
#include "telegram/SafeFile.h"
#include "telegram/TextConventions.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <tuple>

namespace vaskel {

namespace C = CatalogueColumn;

namespace {

const char* Bool(bool b) {
    return b ? "-1" : "0";
}

// What identifies a record type's line in the file: every field the
// loader reads, as it reads them.
using TLineKey =
    std::tuple<std::string, std::string, std::string, bool, std::string, bool, bool, std::string>;
TLineKey KeyOf(const TWagenbusProfileRecord& r) {
    return {r.RecordNo, r.PatternText, r.Example, r.Master,
            r.Answers,  r.TrainBus,    r.Filter,  r.Description};
}

std::vector<std::string> RowCells(const TTable& table, int row) {
    std::vector<std::string> cells;
    table.ForEachCell(row, [&](int, std::string_view c) { cells.emplace_back(c); });
    return cells;
}

std::string Quoted(std::string_view s) {
    std::string out = "\"";
    for (char c : s) {
        if (static_cast<unsigned char>(c) < 0x20) c = ' ';
        out += c;
        if (c == '"') out += '"';
    }
    return out + '"';
}

} // namespace

TTable MakeCatalogueTable(int languages) {
    using S = TZK_InputStyle;
    std::vector<TZK_InputStyle> styles = {S::csString, S::csString,  S::csString, S::csBoolean,
                                          S::csString, S::csBoolean, S::csBoolean};
    for (int k = 0; k < std::max(1, languages); ++k)
        styles.push_back(S::csString);
    return TTable(std::move(styles));
}

void FillCatalogueTable(TTable& table, const TProfileArray& records, std::string_view fileContent) {
    // the further descriptions of each line, by the line's record type
    // (lines alike are taken in file order)
    std::multimap<TLineKey, std::vector<std::string>> further;
    for (const TCatalogueRow& row : ReadCatalogueRows(fileContent)) {
        if (row.Fields.size() < kCatalogueFields) continue;
        std::vector<std::string> more(row.Fields.begin() + kCatalogueFields, row.Fields.end());
        further.emplace(KeyOf(RecordFromFields(row.Fields)), std::move(more));
    }
    std::vector<const TWagenbusProfileRecord*> sorted;
    for (const TWagenbusProfileRecord& r : records)
        sorted.push_back(&r);
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const auto* a, const auto* b) { return a->PatternText < b->PatternText; });

    table.Clear();
    int row = 0;
    for (const TWagenbusProfileRecord* r : sorted) {
        std::vector<std::string> cells = {r->RecordNo,     r->PatternText, r->Example,
                                          Bool(r->Master), r->Answers,     Bool(r->TrainBus),
                                          Bool(r->Filter), r->Description};
        if (auto it = further.find(KeyOf(*r)); it != further.end()) {
            cells.insert(cells.end(), it->second.begin(), it->second.end());
            further.erase(it);
        }
        if (row > 0) table.AppendRow();
        table.SetRow(row++, cells);
    }
    table.Modified = false;
}

std::vector<TCatalogueRow> CatalogueTableRows(const TTable& table) {
    std::vector<TCatalogueRow> rows;
    for (int r = 0; r < table.RowCount(); ++r)
        rows.push_back({RowCells(table, r), 0});
    return rows;
}

bool EmptyAnswersOfSlaveRows(TTable& table) {
    bool changed = false;
    for (int r = 0; r < table.RowCount(); ++r)
        if (table.Cell(C::Master, r) != "-1" && !table.Cell(C::Answers, r).empty()) {
            table.SetCell(C::Answers, r, "");
            changed = true;
        }
    if (changed) table.Modified = true;
    return changed;
}

int KeepMasterAndAnswers(TTable& table, int row, int col) {
    if (col == C::Master && table.Cell(C::Master, row) != "-1" &&
        !table.Cell(C::Answers, row).empty()) {
        table.SetCell(C::Answers, row, "");
        table.Modified = true;
        return C::Answers;
    }
    if (col == C::Answers && !table.Cell(C::Answers, row).empty() &&
        table.Cell(C::Master, row) != "-1") {
        table.SetCell(C::Master, row, "-1");
        table.Modified = true;
        return C::Master;
    }
    return -1;
}

bool RemoveBlankRows(TTable& table) {
    bool removed = false;
    for (int r = table.RowCount() - 1; r >= 0 && table.RowCount() > 1; --r) {
        bool blank = true;
        for (int c = 0; c < table.ColCount() && blank; ++c)
            blank =
                table.Style(c) == TZK_InputStyle::csBoolean || TrimBlanks(table.Cell(c, r)).empty();
        if (blank) {
            table.DeleteRow(r);
            removed = true;
        }
    }
    if (removed) table.Modified = true;
    return removed;
}

void SortCatalogueTable(TTable& table, int col) {
    if (col < 0 || col >= table.ColCount()) return;
    std::vector<std::vector<std::string>> rows;
    for (int r = 0; r < table.RowCount(); ++r)
        rows.push_back(RowCells(table, r));
    std::stable_sort(rows.begin(), rows.end(),
                     [col](const auto& a, const auto& b) { return a[col] < b[col]; });
    for (int r = 0; r < table.RowCount(); ++r)
        table.SetRow(r, rows[r]);
}

std::string CatalogueFileText(const TTable& table, const std::vector<std::string>& comments) {
    std::string out;
    for (const std::string& c : comments)
        out += c + "\r\n";
    for (int r = 0; r < table.RowCount(); ++r) {
        if (table.RowEmpty(r)) continue;
        bool first = true;
        table.ForEachCell(r, [&](int col, std::string_view cell) {
            if (!first) out += ';';
            first = false;
            if (table.Style(col) == TZK_InputStyle::csBoolean)
                out += TrimBlanks(cell) == "0" ? "0" : "-1";
            else
                out += Quoted(TrimBlanks(cell));
        });
        out += "\r\n";
    }
    return out;
}

void SaveCatalogueTable(const TTable& table, const std::string& fileName) {
    namespace fs = std::filesystem;
    std::error_code ec;
    std::vector<std::string> comments;
    if (fs::exists(fileName, ec)) {
        comments = CatalogueCommentLines(ReadCatalogueFile(fileName));
        fs::path backup(fileName);
        backup.replace_extension(".BAK");
        try {
            CopyFileSafely(fileName, backup.string());
        } catch (const EFileError& e) {
            throw EFileError("Cannot write file " + fileName + " without its backup. " + e.what());
        }
    }
    WriteFileSafely(fileName, CatalogueFileText(table, comments));
}

} // namespace vaskel
