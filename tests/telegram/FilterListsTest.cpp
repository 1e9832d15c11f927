#include "shell/FilterTemplates.h"
#include "telegram/Errors.h"
#include "telegram/FilterLists.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace vaskel {
namespace {

TWagenbusProfileRecord Type(std::string no, std::string pattern, bool filter = true,
                            bool trainBus = false) {
    TWagenbusProfileRecord r;
    r.RecordNo = std::move(no);
    r.Pattern = std::move(pattern);
    r.Description = "d" + r.RecordNo;
    r.Filter = filter;
    r.TrainBus = trainBus;
    return r;
}

struct Lists {
    TFilterList Groups;
    TFilterList Types;
};

Lists Sample() {
    TFrameFile frame;
    for (const auto& [key, text] : {std::pair{"l", "Linie"}, std::pair{"a", "Anzeige"},
                                    std::pair{"A", "Doppelt"}, std::pair{"zz", "Lang"},
                                    std::pair{"", "leer"}}) {
        TFrameEntry e;
        e.Kuerzel = key;
        e.Description = text;
        frame.Entries.push_back(e);
    }
    TProfileArray types = {Type("021", "aA1"), Type("020", "aA2"), Type("003a", "l123"),
                           Type("099", "x", false), Type("500", "a9", true, true)};
    return {BuildGroupList(frame), BuildRecordTypeList(types, TBusType::bsVehicleBus)};
}

TEST(FilterListsTest, TextsSortingAndDuplicates) {
    const Lists l = Sample();
    // "a" and "A" have the same key ignoring case: the last in sorted order stays
    ASSERT_EQ(l.Groups.size(), 3u);
    EXPECT_EQ(l.Groups[0].ListText, std::string("A\xA0") + "Doppelt");
    EXPECT_EQ(l.Groups[1].Rec.Key, "l");
    EXPECT_EQ(l.Groups[2].Rec.Key, "zz");
    ASSERT_EQ(l.Types.size(), 3u); // not filterable and train-bus types left out
    EXPECT_EQ(l.Types[0].ListText, std::string("003a \xA0<l123>\xA0") + "d003a");
    EXPECT_EQ(l.Types[1].Rec.Key, "020");
    EXPECT_EQ(l.Types[2].Rec.Text, "aA1");
}

// The groups show the interface language's column of IBIS_Frame.CSV, the
// first column where a line has none (or an empty one) for it; the entry's
// Text, which templates store, is the first column in every language.
TEST(FilterListsTest, GroupTextsInTheInterfaceLanguage) {
    const TFrameFile frame = ParseFrameFile("\"a\";\"Anzeigen\";\"Displays\"\r\n"
                                            "\"d\";\"Datum\"\r\n"
                                            "\"z\";\"Ziel\";\"\"\r\n");
    ASSERT_FALSE(frame.Damaged);
    struct Case {
        int Language;
        const char* A;
        const char* D;
        const char* Z;
    };
    for (const Case c : {Case{1, "Anzeigen", "Datum", "Ziel"}, Case{2, "Displays", "Datum", "Ziel"},
                         Case{3, "Anzeigen", "Datum", "Ziel"}}) {
        const TFilterList groups = BuildGroupList(frame, c.Language);
        ASSERT_EQ(groups.size(), 3u);
        EXPECT_EQ(groups[0].ListText, std::string("a\xA0") + c.A) << c.Language;
        EXPECT_EQ(groups[1].ListText, std::string("d\xA0") + c.D) << c.Language;
        EXPECT_EQ(groups[2].ListText, std::string("z\xA0") + c.Z) << c.Language;
        EXPECT_EQ(groups[0].Rec.Text, "Anzeigen") << c.Language;
    }
}

TEST(FilterListsTest, GroupChecksFollowRecordTypes) {
    Lists l = Sample();
    const int linie = 1, lang = 2;
    SetGroupChecked(l.Groups, l.Types, linie, false);
    EXPECT_FALSE(l.Types[0].Checked);
    EXPECT_FALSE(l.Groups[linie].Checked);
    l.Types[0].Checked = true;
    RecomputeGroupChecks(l.Groups, l.Types);
    EXPECT_TRUE(l.Groups[linie].Checked);
    // a group without record types is checked by the recomputation but keeps
    // a check given to it by hand
    EXPECT_TRUE(l.Groups[lang].Checked);
    SetGroupChecked(l.Groups, l.Types, lang, false);
    EXPECT_FALSE(l.Groups[lang].Checked);
    EXPECT_EQ(ChoiceString(l.Types), "003a;");
    CheckFromChoice(l.Types, "021;");
    EXPECT_EQ(ChoiceString(l.Types), "021;");
}

TEST(FilterListsTest, TemplateRoundTripThroughIni) {
    Lists l = Sample();
    CheckFromChoice(l.Groups, "l;");
    CheckFromChoice(l.Types, "003a;");
    TIniFile ini("");
    SaveFilterTemplate(ini, "Linien", l.Groups, l.Types, true);
    ini.WriteString("Linien", "777", "1"); // a record type the catalogue does not know
    const std::string text = ini.Text();
    EXPECT_NE(text.find("[Filter]\r\nLinien=1\r\n"), std::string::npos);
    EXPECT_NE(text.find("Linie=1\r\n003a=1\r\nNeverFilterErrors=1\r\n"), std::string::npos);
    TIniFile back("");
    back.Parse(text);
    Lists m = Sample();
    bool never = false;
    ApplyFilterTemplate(back, "Linien", m.Groups, m.Types, never);
    EXPECT_TRUE(never);
    EXPECT_EQ(ChoiceString(m.Types), "003a;");
    EXPECT_TRUE(m.Groups[1].Checked);
    // "A" has no record types ("aA1" starts with a small letter): checked
    EXPECT_TRUE(m.Groups[0].Checked);
    EXPECT_FALSE(m.Groups[2].Rec.CheckState);
    DeleteFilterTemplate(back, "linien");
    EXPECT_TRUE(FilterTemplateNames(back).empty());
    EXPECT_FALSE(back.SectionExists("Linien"));
    EXPECT_TRUE(IsReservedTemplateName("FILTER"));
}

TEST(FilterListsTest, IniFileMovesToUserFolderWhenProgramFolderIsReadOnly) {
    namespace fs = std::filesystem;
    const fs::path root = fs::temp_directory_path() / "vaskel-filter-ini-test";
    fs::remove_all(root);
    fs::create_directories(root / "prog");
    EXPECT_EQ(FilterIniFileName((root / "prog" / "vaskel").string(), (root / "user").string()),
              (root / "prog" / "vaskel.INI").string());
    TIniFile ini((root / "prog" / "vaskel.INI").string());
    ini.WriteString("Filter", "a", "1");
    ini.UpdateFile();
    fs::permissions(root / "prog", fs::perms::owner_read | fs::perms::owner_exec);
    fs::permissions(root / "prog" / "vaskel.INI", fs::perms::owner_read);
    const std::string moved =
        FilterIniFileName((root / "prog" / "vaskel").string(), (root / "user").string());
    fs::permissions(root / "prog", fs::perms::owner_all);
    // (Windows removes no read-only file)
    fs::permissions(root / "prog" / "vaskel.INI", fs::perms::owner_read | fs::perms::owner_write);
    if (moved != (root / "prog" / "vaskel.INI").string()) { // not running as root
        EXPECT_EQ(moved, (root / "user" / "vaskel.INI").string());
        EXPECT_EQ(FilterTemplateNames(TIniFile(moved)), std::vector<std::string>{"a"});
    }
    fs::remove_all(root);
}

// A template file that is there but cannot be read is refused rather than
// read as empty (the next write would replace it); a missing one is empty.
TEST(FilterListsTest, IniFileThatCannotBeReadIsRefused) {
    namespace fs = std::filesystem;
    const fs::path root = fs::temp_directory_path() / "vaskel-filter-ini-unreadable";
    fs::remove_all(root);
    fs::create_directories(root / "vaskel.INI");
    EXPECT_THROW(TIniFile((root / "vaskel.INI").string()), EFileError);
    EXPECT_TRUE(FilterTemplateNames(TIniFile((root / "none.INI").string())).empty());
    fs::remove_all(root);
}

} // namespace
} // namespace vaskel
