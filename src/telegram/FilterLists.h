#pragma once
// The filter window's two lists as data: the initial-letter groups of
// IBIS_Frame.CSV and the catalogue's filterable record types, their texts,
// sorting and duplicate dropping, the group <-> record-type consistency and
// the choice strings of the settings FilterKuerzel and FilterSatzArten.

#include "telegram/Catalogue.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vaskel {

// The no-break space that separates the parts of an entry's text.
inline constexpr char kNbsp = '\xA0';

// The object attached to every list entry.
struct TFilterRec {
    std::string Key;
    std::string Text;
    // Groups only: bit 0 = one of its record types is checked, bit 1 = one
    // is unchecked.
    int32_t CheckState = 0;
};

struct TFilterEntry {
    std::string ListText; // as the list shows it (Windows-1252)
    TFilterRec Rec;
    bool Checked = false;
};

using TFilterList = std::vector<TFilterEntry>;

// Text before the first NBSP.
std::string_view EntryHead(std::string_view listText);

// Sorts by text (letter case ignored, stable) and drops duplicates: walking
// from the last entry to the first, an entry whose head equals (letter case
// ignored) that of the entry after it goes, so the last of equal keys stays.
void SortAndDropDuplicates(TFilterList& list);

// One entry per frame line with a key: "key NBSP description", the
// description in the interface language (1 German, 2 English, ...). The
// entry's Text stays the first description column whatever the language:
// templates name their groups by it.
TFilterList BuildGroupList(const TFrameFile& frame, int language = 1);
// One entry per record type with the Filter flag whose TrainBus flag matches
// the bus: "no NBSP<pattern>NBSP description".
TFilterList BuildRecordTypeList(const TProfileArray& records, TBusType bus);

// The index of the group a record-type entry belongs to (the group whose
// key is the first character of the pattern), -1 for none.
int GroupOf(const TFilterList& groups, const TFilterEntry& recordType);

// Every group's CheckState from its record types, then its check: unchecked
// exactly when all its record types are (CheckState 2).
void RecomputeGroupChecks(TFilterList& groups, TFilterList& recordTypes);

// Checks or unchecks a group and every record type of it, then recomputes;
// a group without record types keeps the given check.
void SetGroupChecked(TFilterList& groups, TFilterList& recordTypes, int group, bool checked);

// The keys of the checked entries, trimmed, each followed by ";".
std::string ChoiceString(const TFilterList& list);
// Checks exactly the entries whose key is one of the ";"-separated entries.
void CheckFromChoice(TFilterList& list, std::string_view choice);

} // namespace vaskel
