// The program's INI file and what lives in it: any bytes read as the INI
// file, written and read again (the same sections, keys and values); the
// filter templates it names applied to the shipped catalogue's lists, saved
// and applied again; and its values as the settings the program starts
// with (section\key as the settings path).

#include "FuzzSupport.h"

#include "shell/Environment.h"
#include "shell/FilterTemplates.h"
#include "shell/IniFile.h"
#include "shell/SettingsStorage.h"
#include "shell/SystemPlatform.h"
#include "telegram/Catalogue.h"
#include "telegram/Errors.h"
#include "telegram/FilterLists.h"

#include <cstdlib>

namespace {

struct TLists {
    vaskel::TFilterList Groups, RecordTypes;
};

const TLists& Shipped() {
    static const TLists lists = [] {
        const char* file = std::getenv("VASKEL_FUZZ_CATALOGUE");
        const std::string catalogue = file && *file ? file : VASKEL_FUZZ_SHIPPED_CATALOGUE;
        const std::string frame =
            catalogue.substr(0, catalogue.find_last_of('/') + 1) + "IBIS_Frame.CSV";
        TLists l;
        l.Groups = vaskel::BuildGroupList(vaskel::LoadFrameFile(frame));
        l.RecordTypes = vaskel::BuildRecordTypeList(vaskel::LoadCatalogueFile(catalogue),
                                                    vaskel::TBusType::bsVehicleBus);
        return l;
    }();
    return lists;
}

bool SameIni(const vaskel::TIniFile& a, const vaskel::TIniFile& b,
             const std::vector<std::string>& sections) {
    for (const std::string& s : sections) {
        if (a.SectionExists(s) != b.SectionExists(s)) return false;
        if (a.SectionKeys(s) != b.SectionKeys(s)) return false;
        for (const std::string& k : a.SectionKeys(s))
            if (a.ReadString(s, k) != b.ReadString(s, k)) return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vaskel;
    const std::string_view content = fuzz::Bytes(data, size);
    TIniFile ini("");
    ini.Parse(content);

    // the section names the file holds, as far as a line shows one
    std::vector<std::string> sections{kFilterSection, ""};
    for (std::size_t p = content.find('['); p != std::string_view::npos;
         p = content.find('[', p + 1)) {
        const std::size_t end = content.find(']', p);
        if (end == std::string_view::npos) break;
        sections.emplace_back(content.substr(p + 1, end - p - 1));
    }
    // written and read again, the file says the same
    TIniFile again("");
    again.Parse(ini.Text());
    if (!SameIni(ini, again, sections)) __builtin_trap();

    TLists lists = Shipped();
    bool neverFilterErrors = false;
    for (const std::string& name : FilterTemplateNames(ini)) {
        (void)IsReservedTemplateName(name);
        ApplyFilterTemplate(ini, name, lists.Groups, lists.RecordTypes, neverFilterErrors);
        if (IsReservedTemplateName(name)) continue;
        // saved as applied, it applies to the same choice
        TIniFile saved("");
        SaveFilterTemplate(saved, name, lists.Groups, lists.RecordTypes, neverFilterErrors);
        TLists back = Shipped();
        bool backErrors = !neverFilterErrors;
        ApplyFilterTemplate(saved, name, back.Groups, back.RecordTypes, backErrors);
        if (backErrors != neverFilterErrors) __builtin_trap();
        for (std::size_t k = 0; k < back.RecordTypes.size(); ++k)
            if (back.RecordTypes[k].Checked != lists.RecordTypes[k].Checked) __builtin_trap();
        DeleteFilterTemplate(saved, name);
    }

    // the values as the settings a start reads
    TMemorySettingsStorage storage;
    for (const std::string& s : sections)
        for (const std::string& k : ini.SectionKeys(s)) {
            const std::string path = s.empty() ? k : s + "\\" + k;
            const std::string value = ini.ReadString(s, k);
            char* end = nullptr;
            const long n = std::strtol(value.c_str(), &end, 10);
            if (!value.empty() && end && *end == '\0')
                storage.WriteInteger(path, static_cast<int32_t>(n));
            else
                storage.WriteString(path, value);
        }
    TFixedSystemPlatform platform;
    platform.Program = "/nonexistent/vaskel-fuzz/Vaskel.exe";
    try {
        TEnvironment env(&storage, platform);
        for (int a = 1; a <= kAddressCount; ++a) {
            const int t = env.GetAddressTranslation(a);
            if (t < 1 || t > kAddressCount) __builtin_trap();
        }
        (void)env.ColorDepthBit();
        env.SaveSettings();
    } catch (const EVaskelError&) {
    }
    return 0;
}
