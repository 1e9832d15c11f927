#include "telegram/FilterLists.h"

#include "telegram/TextConventions.h"

#include <algorithm>

namespace vaskel {

namespace {

unsigned char Lower(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
    // Windows-1252 capitals with accents and umlauts
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
    return c;
}

int CompareText(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t k = 0; k < n; ++k) {
        const unsigned char x = Lower(static_cast<unsigned char>(a[k]));
        const unsigned char y = Lower(static_cast<unsigned char>(b[k]));
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

std::vector<std::string_view> SplitChoice(std::string_view choice) {
    std::vector<std::string_view> parts;
    while (!choice.empty()) {
        const std::size_t at = choice.find(';');
        parts.push_back(choice.substr(0, at));
        if (at == std::string_view::npos) break;
        choice.remove_prefix(at + 1);
    }
    return parts;
}

} // namespace

std::string_view EntryHead(std::string_view listText) {
    return listText.substr(0, listText.find(kNbsp));
}

void SortAndDropDuplicates(TFilterList& list) {
    std::stable_sort(list.begin(), list.end(), [](const TFilterEntry& a, const TFilterEntry& b) {
        return CompareText(a.ListText, b.ListText) < 0;
    });
    for (std::size_t k = list.size(); k-- > 1;) {
        if (CompareText(EntryHead(list[k - 1].ListText), EntryHead(list[k].ListText)) == 0)
            list.erase(list.begin() + static_cast<std::ptrdiff_t>(k - 1));
    }
}

TFilterList BuildGroupList(const TFrameFile& frame, int language) {
    TFilterList list;
    for (const TFrameEntry& e : frame.Entries) {
        if (e.Kuerzel.empty()) continue;
        TFilterEntry entry;
        entry.ListText = e.Kuerzel + kNbsp + e.DescriptionIn(language);
        entry.Rec.Key = e.Kuerzel;
        entry.Rec.Text = e.Description;
        list.push_back(std::move(entry));
    }
    SortAndDropDuplicates(list);
    return list;
}

TFilterList BuildRecordTypeList(const TProfileArray& records, TBusType bus) {
    TFilterList list;
    for (const TWagenbusProfileRecord& r : records) {
        if (!r.Filter || r.TrainBus != (bus == TBusType::bsTrainBus)) continue;
        TFilterEntry entry;
        entry.ListText = r.RecordNo + ' ' + kNbsp + '<' + r.Pattern + '>' + kNbsp + r.Description;
        entry.Rec.Key = r.RecordNo;
        entry.Rec.Text = r.Pattern;
        list.push_back(std::move(entry));
    }
    SortAndDropDuplicates(list);
    return list;
}

int GroupOf(const TFilterList& groups, const TFilterEntry& recordType) {
    if (recordType.Rec.Text.empty()) return -1;
    const std::string_view first = std::string_view(recordType.Rec.Text).substr(0, 1);
    for (std::size_t g = 0; g < groups.size(); ++g)
        if (groups[g].Rec.Key == first) return static_cast<int>(g);
    return -1;
}

void RecomputeGroupChecks(TFilterList& groups, TFilterList& recordTypes) {
    for (TFilterEntry& g : groups)
        g.Rec.CheckState = 0;
    for (const TFilterEntry& r : recordTypes) {
        const int g = GroupOf(groups, r);
        if (g >= 0) groups[static_cast<std::size_t>(g)].Rec.CheckState |= r.Checked ? 1 : 2;
    }
    for (TFilterEntry& g : groups)
        g.Checked = g.Rec.CheckState != 2;
}

void SetGroupChecked(TFilterList& groups, TFilterList& recordTypes, int group, bool checked) {
    if (group < 0 || group >= static_cast<int>(groups.size())) return;
    TFilterEntry& g = groups[static_cast<std::size_t>(group)];
    g.Checked = checked;
    if (!g.Rec.Text.empty())
        for (TFilterEntry& r : recordTypes)
            if (!r.Rec.Text.empty() && GroupOf(groups, r) == group) r.Checked = checked;
    RecomputeGroupChecks(groups, recordTypes);
    // a group without record types keeps the check it was given: the
    // recomputation alone would check it again at once
    if (g.Rec.CheckState == 0) g.Checked = checked;
}

std::string ChoiceString(const TFilterList& list) {
    std::string s;
    for (const TFilterEntry& e : list)
        if (e.Checked) {
            s += TrimBlanks(e.Rec.Key);
            s += ';';
        }
    return s;
}

void CheckFromChoice(TFilterList& list, std::string_view choice) {
    const auto parts = SplitChoice(choice);
    for (TFilterEntry& e : list)
        e.Checked = std::find(parts.begin(), parts.end(), std::string_view(e.Rec.Key)) != parts.end();
}

} // namespace vaskel
