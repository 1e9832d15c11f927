#include "lists/ListEditor.h"

#include "telegram/TextConventions.h"

#include <algorithm>
#include <cstdio>

namespace vaskel {

namespace ListEditorTexts {
const char* const kRowIncomplete =
    "Die aktuelle Zeile ist unvollst\xE4ndig.\r\n"
    "Bitte f\xFCllen Sie sie korrekt aus oder l\xF6schen Sie sie, bevor Sie zu einer anderen "
    "Zeile wechseln.";
const char* const kSaveQuestion =
    "Die Daten wurden ver\xE4ndert, jedoch noch nicht gespeichert.\r\n"
    "Wollen Sie die \xC4nderung jetzt speichern?";
const char* const kCloseIncomplete = "Die aktuelle Zeile ist unvollst\xE4ndig ausgef\xFCllt.\r\n"
                                     "Wenn Sie das Fenster jetzt schlie\xDF"
                                     "en, gehen alle bisherigen \xC4nderungen verloren.\r\n"
                                     "Wollen Sie das Fenster schlie\xDF"
                                     "en?";
} // namespace ListEditorTexts

TListEditorRows::TListEditorRows(TTable& table, std::vector<bool> optional)
    : FTable(table), FOptional(std::move(optional)) {
    FOptional.resize(static_cast<std::size_t>(table.ColCount()), false);
}

std::string TListEditorRows::ColumnDefault(TZK_InputStyle style) {
    switch (style) {
    case TZK_InputStyle::csString:
        return "";
    case TZK_InputStyle::csBoolean:
        return "-1";
    case TZK_InputStyle::csMinSec:
        return "0:10";
    default:
        return "0";
    }
}

bool TListEditorRows::IsComplete(int row) const {
    for (int c = 0; c < FTable.ColCount(); ++c) {
        if (FTable.Style(c) == TZK_InputStyle::csBoolean || FOptional[c]) continue;
        if (FTable.Cell(c, row).empty()) return false;
    }
    return true;
}

bool TListEditorRows::IsUntouched(int row) const {
    for (int c = 0; c < FTable.ColCount(); ++c) {
        const std::string_view v = FTable.Cell(c, row);
        switch (FTable.Style(c)) {
        case TZK_InputStyle::csBoolean:
            if (v == "0") return false;
            break;
        case TZK_InputStyle::csString:
            if (!v.empty()) return false;
            break;
        case TZK_InputStyle::csMinSec:
            if (v != "0:10") return false;
            break;
        default:
            if (v != "0") return false;
        }
    }
    return true;
}

void TListEditorRows::SetDefaults(int row) {
    for (int c = 0; c < FTable.ColCount(); ++c)
        FTable.SetCell(c, row, ColumnDefault(FTable.Style(c)));
}

TListEditorRows::TMove TListEditorRows::MoveTo(int current, int& target) {
    const bool beyond = current >= FTable.RowCount();
    if (target != current && !beyond && !IsUntouched(current) && !IsComplete(current)) {
        // the last row may still be reached when it is untouched
        if (!(target == FTable.RowCount() - 1 && IsUntouched(target))) return TMove::Refused;
    }
    if (beyond) return TMove::Allowed;
    for (int c = 0; c < FTable.ColCount(); ++c) {
        const TZK_InputStyle s = FTable.Style(c);
        if (s != TZK_InputStyle::csString && s != TZK_InputStyle::csBoolean &&
            FTable.Cell(c, current).empty())
            FTable.SetCell(c, current, "0");
    }
    if (target != current && FTable.RowCount() > 1 && IsUntouched(current)) {
        FTable.DeleteRow(current);
        if (target > current) --target;
    }
    return TMove::Allowed;
}

TListEditorRows::TAppend TListEditorRows::Append(int current, int& newRow) {
    const int last = FTable.RowCount() - 1;
    if (IsUntouched(last)) return TAppend::UntouchedLast;
    if (!IsComplete(current)) return TAppend::Incomplete;
    newRow = FTable.AppendRow();
    SetDefaults(newRow);
    FTable.Modified = true;
    return TAppend::Appended;
}

void TListEditorRows::Insert(int row) {
    FTable.InsertRow(row);
    SetDefaults(row);
    FTable.Modified = true;
}

void TListEditorRows::Delete(int row) {
    if (FTable.RowCount() <= 1) {
        SetDefaults(0);
    } else {
        FTable.DeleteRow(row);
    }
    FTable.Modified = true;
}

void TListEditorRows::DeleteKey(int row, int col) {
    if (!IsComplete(row)) return;
    if (FTable.Style(col) == TZK_InputStyle::csString)
        FTable.SetCell(col, row, "");
    else if (FTable.Style(col) == TZK_InputStyle::csInteger)
        FTable.SetCell(col, row, "0");
    else
        return;
    FTable.Modified = true;
}

std::string TListEditorRows::OnEditorOpen(const std::string& text) {
    if (!text.empty() && text.back() == '\n') return text + " ";
    return text;
}

std::string TListEditorRows::OnEditorLeave(const std::string& text, TZK_InputStyle style) {
    std::string t = text;
    if (t.size() > 1 && t[t.size() - 2] == '\n' && t.back() == ' ') t.pop_back();
    if (style == TZK_InputStyle::csMinSec) {
        if (t.empty()) return "0";
        int64_t seconds = 0;
        const bool plain = t.find_first_not_of("0123456789") == std::string::npos;
        if (plain && TryStrToInt64(t, seconds)) {
            char buf[32];
            std::snprintf(buf, sizeof buf, "%lld:%02lld", static_cast<long long>(seconds / 60),
                          static_cast<long long>(seconds % 60));
            return buf;
        }
    }
    return t;
}

std::string TListEditorRows::InsertLineFeed(const std::string& text, int& caret, int selection) {
    const std::size_t start = static_cast<std::size_t>(std::max(0, caret));
    const std::size_t end =
        std::min(text.size(), start + static_cast<std::size_t>(std::max(0, selection)));
    if (end == text.size()) {
        // at the end: a line feed and a blank, the caret before the blank
        if (start >= 2 && text.compare(start - 2, 2, "\n ") == 0 && end == start) {
            std::string t = text.substr(0, start - 1) + "\n " + text.substr(end);
            caret = static_cast<int>(start);
            return t;
        }
        std::string t = text.substr(0, start) + "\n ";
        caret = static_cast<int>(start + 1);
        return t;
    }
    std::string t = text.substr(0, start) + "\n" + text.substr(end);
    caret = static_cast<int>(start + 1);
    return t;
}

std::string TListEditorRows::InsertByte(const std::string& text, int& caret, int selection,
                                        unsigned char byte) {
    const std::size_t start = std::min(text.size(), static_cast<std::size_t>(std::max(0, caret)));
    const std::size_t end =
        std::min(text.size(), start + static_cast<std::size_t>(std::max(0, selection)));
    caret = static_cast<int>(start + 1);
    return text.substr(0, start) + static_cast<char>(byte) + text.substr(end);
}

void TListEditorRows::SetFirstColumn(const std::vector<int>& rows, bool all) {
    if (rows.size() < 2) return;
    for (int r : rows)
        FTable.SetCell(0, r, all ? "-1" : "0");
    FTable.Modified = true;
}

std::string TListEditorRows::CopyText(
    const std::vector<int>& rows, const std::vector<int>& columns,
    const std::function<std::string(std::string_view)>& display) const {
    std::string out;
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const int row = rows[k];
        if (row < 0 || row >= FTable.RowCount()) continue;
        if (!out.empty()) out += "\r\n";
        bool first = true;
        for (int col : columns) {
            if (col < 0 || col >= FTable.ColCount()) continue;
            if (!first) out += '\t';
            first = false;
            const std::string_view cell = FTable.Cell(col, row);
            switch (FTable.Style(col)) {
            case TZK_InputStyle::csBoolean:
                out += cell == "0" || TrimBlanks(cell).empty() ? "0" : "-1";
                break;
            case TZK_InputStyle::csInteger:
            case TZK_InputStyle::csUnsignedInt:
            case TZK_InputStyle::csDirection:
                out.append(cell);
                break;
            default: {
                const std::string shown = display ? display(cell) : std::string(cell);
                out += '"';
                for (char c : shown) {
                    if (c == '"') out += '"';
                    out += c;
                }
                out += '"';
            }
            }
        }
    }
    return out;
}

namespace {

bool Inside(const TTable& table, int row) {
    return row >= 0 && row < table.RowCount();
}

} // namespace

bool TListEditorRows::MaySave(int current) const {
    if (!Inside(FTable, current)) return false;
    return IsComplete(current) || (FTable.RowCount() > 1 && IsUntouched(current));
}

TTable TListEditorRows::RowsToSave(int current) const {
    TTable rows = FTable;
    if (Inside(FTable, current) && FTable.RowCount() > 1 && IsUntouched(current))
        rows.DeleteRow(current);
    return rows;
}

TListEditorRows::TCloseQuestion TListEditorRows::CloseQuestion(int current) const {
    if (!FTable.Modified) return TCloseQuestion::None;
    return MaySave(current) ? TCloseQuestion::Save : TCloseQuestion::Incomplete;
}

} // namespace vaskel
