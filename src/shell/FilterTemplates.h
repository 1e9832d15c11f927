#pragma once
// Filter templates: named filter choices in the program's INI file. Section
// "Filter" lists the templates (one key per name, value 1); each template
// has a section of its own named like it, with a key (value 1) for the
// description of every checked group, for the number of every checked
// record type and "NeverFilterErrors" when faulty telegrams stay visible.

#include "shell/IniFile.h"
#include "telegram/FilterLists.h"

#include <string>
#include <string_view>
#include <vector>

namespace vaskel {

inline constexpr const char* kFilterSection = "Filter";
inline constexpr const char* kNeverFilterErrorsKey = "NeverFilterErrors";

// The INI file of the templates. Beside the program (its name with the
// extension ".INI") when that folder can be written; otherwise (an
// installed program, a protected folder) in userFolder, which receives a
// copy of the file beside the program on first use so no template is lost.
// A file already in userFolder is used from then on. userFolder is created
// when missing.
std::string FilterIniFileName(const std::string& programFile, const std::string& userFolder);

std::vector<std::string> FilterTemplateNames(const TIniFile& ini);

// A name that would share the list section.
bool IsReservedTemplateName(std::string_view name);

// Writes the template (replacing one of the same name) and lists it.
void SaveFilterTemplate(TIniFile& ini, const std::string& name, const TFilterList& groups,
                        const TFilterList& recordTypes, bool neverFilterErrors);

// Checks exactly the entries the template names (groups by description,
// record types by number), recomputes the group checks and sets
// neverFilterErrors. Keys naming nothing in the lists are passed over.
void ApplyFilterTemplate(const TIniFile& ini, const std::string& name, TFilterList& groups,
                         TFilterList& recordTypes, bool& neverFilterErrors);

void DeleteFilterTemplate(TIniFile& ini, const std::string& name);

} // namespace vaskel
