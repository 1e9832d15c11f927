#include "shell/FilterTemplates.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace vaskel {

namespace fs = std::filesystem;

namespace {

bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t k = 0; k < a.size(); ++k) {
        auto up = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; };
        if (up(a[k]) != up(b[k])) return false;
    }
    return true;
}

// Whether files can be created in the folder (tried, not guessed from the
// permission bits).
bool FolderWritable(const fs::path& folder) {
    const fs::path probe = folder / ".vaskel-write-test";
    {
        std::ofstream out(probe, std::ios::binary | std::ios::trunc);
        if (!out) return false;
    }
    std::error_code ec;
    fs::remove(probe, ec);
    return true;
}

bool FileWritable(const fs::path& file) {
    std::ofstream out(file, std::ios::binary | std::ios::app);
    return static_cast<bool>(out);
}

} // namespace

std::string FilterIniFileName(const std::string& programFile, const std::string& userFolder) {
    fs::path besideProgram(programFile);
    besideProgram.replace_extension(".INI");
    std::error_code ec;
    const fs::path user = fs::path(userFolder) / besideProgram.filename();
    if (!userFolder.empty() && fs::is_regular_file(user, ec)) return user.string();
    const bool exists = fs::is_regular_file(besideProgram, ec);
    if (userFolder.empty() || (exists ? FileWritable(besideProgram)
                                      : FolderWritable(besideProgram.parent_path())))
        return besideProgram.string();
    fs::create_directories(userFolder, ec);
    if (exists) fs::copy_file(besideProgram, user, fs::copy_options::skip_existing, ec);
    return user.string();
}

std::vector<std::string> FilterTemplateNames(const TIniFile& ini) {
    return ini.SectionKeys(kFilterSection);
}

bool IsReservedTemplateName(std::string_view name) { return SameText(name, kFilterSection); }

void SaveFilterTemplate(TIniFile& ini, const std::string& name, const TFilterList& groups,
                        const TFilterList& recordTypes, bool neverFilterErrors) {
    ini.WriteString(kFilterSection, name, "1");
    ini.EraseSection(name);
    for (const TFilterEntry& g : groups)
        if (g.Checked && !g.Rec.Text.empty()) ini.WriteString(name, g.Rec.Text, "1");
    for (const TFilterEntry& r : recordTypes)
        if (r.Checked) ini.WriteString(name, r.Rec.Key, "1");
    if (neverFilterErrors) ini.WriteString(name, kNeverFilterErrorsKey, "1");
}

void ApplyFilterTemplate(const TIniFile& ini, const std::string& name, TFilterList& groups,
                         TFilterList& recordTypes, bool& neverFilterErrors) {
    for (TFilterEntry& e : groups)
        e.Checked = false;
    for (TFilterEntry& e : recordTypes)
        e.Checked = false;
    neverFilterErrors = false;
    for (const std::string& key : ini.SectionKeys(name)) {
        if (key == kNeverFilterErrorsKey) neverFilterErrors = true;
        for (TFilterEntry& g : groups)
            if (g.Rec.Text == key) g.Checked = true;
        for (TFilterEntry& r : recordTypes)
            if (r.Rec.Key == key) r.Checked = true;
    }
    RecomputeGroupChecks(groups, recordTypes);
}

void DeleteFilterTemplate(TIniFile& ini, const std::string& name) {
    ini.DeleteKey(kFilterSection, name);
    ini.EraseSection(name);
}

} // namespace vaskel
