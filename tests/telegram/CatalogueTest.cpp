#include "telegram/Catalogue.h"
#include "telegram/Errors.h"
#include "telegram/TelegramParser.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace vaskel {
namespace {

const char* const kSmall =
    "// comment line\r\n"
    "\r\n"
    "\"021\";\"aA 1H, 2Z\";\"aA105\";-1;\"1 20, 121\";0;-1;\"Ziel\";\"Destination\"\r\n"
    "  \"001\";\"l3Z\";\"l001\";-1;\"\";0;0;\"Linie\"  \r\n"
    "\"120\";\"a@1H1Z\";\"a10\";0;\"\";;\"0\";\"Antwort\"\n";

TEST(Catalogue, ReadsFieldsInColumnOrder) {
    const TProfileArray a = ParseCatalogue(kSmall, "IBIS.CSV");
    ASSERT_EQ(a.size(), 3u);
    // sorted by compact pattern: "a@1H1Z" < "aA1H2Z" < "l3Z"
    EXPECT_EQ(a[0].RecordNo, "120");
    EXPECT_EQ(a[1].RecordNo, "021");
    EXPECT_EQ(a[2].RecordNo, "001");

    const auto& r = a[1];
    EXPECT_EQ(r.Pattern, "aA1H2Z");
    EXPECT_EQ(r.PatternText, "aA 1H, 2Z");
    EXPECT_EQ(r.Prefix, "aA");
    EXPECT_EQ(r.Example, "aA105");
    EXPECT_EQ(r.Answers, "120,121");
    EXPECT_EQ(r.Description, "Ziel");
    EXPECT_TRUE(r.Master);
    EXPECT_FALSE(r.TrainBus);
    EXPECT_TRUE(r.Filter);

    EXPECT_FALSE(a[2].Filter);
    EXPECT_EQ(a[2].Description, "Linie");
    // empty boolean field reads true, "0" quoted reads false
    EXPECT_FALSE(a[0].Master);
    EXPECT_TRUE(a[0].TrainBus);
    EXPECT_FALSE(a[0].Filter);
}

TEST(Catalogue, PrefixStopsAtFirstSpecialCharacter) {
    const std::pair<std::string, std::string> cases[] = {
        {"aA1H2Z", "aA"}, {"l3Z", "l"},   {"zA1H=$1$1(16C)", "zA"},
        {"a@1H", "a"},    {"x[ab]", "x"}, {"HXZC", "HXZC"},
        {"*C", ""},       {"u$1", "u"},   {"(1C)", ""},
        {"a]b", "a"},     {"", ""},
    };
    for (const auto& [p, prefix] : cases)
        EXPECT_EQ(PatternPrefix(p), prefix) << p;
}

TEST(Catalogue, CommentsAnywhereInTheLineSkipIt) {
    const TProfileArray a =
        ParseCatalogue("\"001\";\"l3Z\";\"l001\";1;\"\";0;1;\"Linie // alt\"\r\n"
                       "\"002\";\"k2Z\";\"k01\";1;\"\";0;1;\"Kurs\"\r\n",
                       "IBIS.CSV");
    ASSERT_EQ(a.size(), 1u);
    EXPECT_EQ(a[0].RecordNo, "002");
}

TEST(Catalogue, UnquotedBlankShiftsColumns) {
    // "l 3Z" unquoted becomes two fields: the example column then holds "3Z".
    const TProfileArray a = ParseCatalogue("001;l 3Z;1;x;0;1;Linie;more\r\n", "IBIS.CSV");
    ASSERT_EQ(a.size(), 1u);
    EXPECT_EQ(a[0].Pattern, "l");
    EXPECT_EQ(a[0].Example, "3Z");
    EXPECT_EQ(a[0].Answers, "x");
    EXPECT_EQ(a[0].Description, "Linie");
    // Shifted so that a flag column holds text, the line is refused (the
    // record type would be nonsense, its pattern "l" taking every l
    // telegram).
    try {
        ParseCatalogue("\"000\";\"a\";\"a\";-1;\"\";0;-1;\"A\"\r\n"
                       "001;l 3Z;l001;1;x;0;1;Linie;more\r\n",
                       "IBIS.CSV");
        ADD_FAILURE() << "loaded";
    } catch (const EFileError& e) {
        EXPECT_STREQ(e.what(), "TIBISTelegramParser error: Error parsing IBIS.CSV, line 2: field 4 "
                               "is no flag (-1 or 0)!");
    }
}

TEST(Catalogue, FieldCountErrorNamesFileAndLine) {
    // line 3 has 7 fields; lines 1 and 2 (comment, empty) count as well
    const std::string text = "// x\r\n\r\n"
                             "\"001\";\"l3Z\";\"l001\";1;\"\";0;1\r\n";
    try {
        ParseCatalogue(text, "/data/IBIS.CSV");
        FAIL() << "no error";
    } catch (const EFileError& e) {
        EXPECT_STREQ(e.what(), "TIBISTelegramParser error: Error parsing /data/IBIS.CSV, line 3: "
                               "invalid amount of tokens!");
    }
    EXPECT_EQ(ParseCatalogue("\"001\";\"l3Z\";\"l001\";1;\"\";0;1;\r\n", "x").size(), 1u)
        << "a final ';' adds the eighth field";
}

TEST(Catalogue, MissingFile) {
    try {
        LoadCatalogueFile("/nonexistent/IBIS.CSV");
        FAIL() << "no error";
    } catch (const EFileError& e) {
        EXPECT_STREQ(e.what(), "TIBISTelegramParser error: file /nonexistent/IBIS.CSV not found.");
    }
}

TEST(Catalogue, AFolderIsNoCatalogue) {
    // read as a file, a folder gave an empty catalogue that classified nothing
    test::TempDir dir;
    const std::string folder = dir / "IBIS.CSV";
    std::filesystem::create_directory(folder);
    try {
        LoadCatalogueFile(folder);
        FAIL() << "no error";
    } catch (const EFileError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "TIBISTelegramParser error: " + folder + " is a folder, not a file.");
    }
    EXPECT_THROW(TIBISTelegramParser{folder}, EFileError);
    EXPECT_THROW(LoadFrameFile(folder), EFileError);
}

TEST(Catalogue, EqualPatternsLaterLineFirst) {
    const TProfileArray a = ParseCatalogue("A;l3Z;l001;1;;0;1;first\r\n"
                                           "B;k2Z;k01;1;;0;1;kurs\r\n"
                                           "C;l3Z;l001;1;;0;1;second\r\n"
                                           "D;l3;l3;1;;0;1;shorter\r\n",
                                           "IBIS.CSV");
    ASSERT_EQ(a.size(), 4u);
    EXPECT_EQ(a[0].RecordNo, "B");
    EXPECT_EQ(a[1].RecordNo, "D"); // "l3" sorts before "l3Z"
    EXPECT_EQ(a[2].RecordNo, "C");
    EXPECT_EQ(a[3].RecordNo, "A");
    // and the later one wins the tie in classification
    TIBISTelegramParser p(a);
    EXPECT_EQ(p.Classify("l001", true, TBusType::bsVehicleBus).RecordNo, "C");
}

TEST(Catalogue, InsertSortedMatchesLoaderOrder) {
    TProfileArray a;
    for (const char* p : {"b", "a", "b", "ab", "a"}) {
        TWagenbusProfileRecord r;
        r.Pattern = p;
        r.RecordNo = std::to_string(a.size());
        InsertSorted(a, r);
    }
    std::vector<std::string> order;
    for (const auto& r : a)
        order.push_back(r.Pattern + "/" + r.RecordNo);
    EXPECT_EQ(order, (std::vector<std::string>{"a/4", "a/1", "ab/3", "b/2", "b/0"}));
}

TEST(Catalogue, SortsBytewise) {
    const TProfileArray a =
        ParseCatalogue("1;\xE4;x;1;;0;1;d\r\n2;z;x;1;;0;1;d\r\n3;Z;x;1;;0;1;d\r\n", "IBIS.CSV");
    EXPECT_EQ(a[0].RecordNo, "3");
    EXPECT_EQ(a[1].RecordNo, "2");
    EXPECT_EQ(a[2].RecordNo, "1");
}

TEST(Catalogue, FirstCharacterIndex) {
    TProfileArray a;
    for (const char* p : {"", "a1", "a2", "b", "\xE4x", "z"}) {
        TWagenbusProfileRecord r;
        r.Pattern = p;
        InsertSorted(a, r);
    }
    const TFirstCharIndex idx = BuildFirstCharIndex(a);
    EXPECT_EQ(idx['a' - 0x20], 1);
    EXPECT_EQ(idx['b' - 0x20], 3);
    EXPECT_EQ(idx['z' - 0x20], 4);
    EXPECT_EQ(idx['c' - 0x20], -1);
    EXPECT_EQ(idx[' ' - 0x20], -1);
    int entries = 0;
    for (int v : idx)
        entries += v >= 0;
    EXPECT_EQ(entries, 3) << "the empty and the 0xE4 pattern get no entry";
}

TEST(FrameFile, ReadsEntriesAndReportsDamage) {
    const TFrameFile f = ParseFrameFile("\"l\";\"Liniennummer\"\r\n"
                                        "\";\"Leer\"\r\n"
                                        ";\"kein K\xFC"
                                        "rzel\"\r\n"
                                        "\r\n"
                                        "\"z\";\"Ziel\";\"Destination\"\r\n");
    ASSERT_EQ(f.Entries.size(), 3u);
    EXPECT_EQ(f.Entries[0].Kuerzel, "l");
    EXPECT_EQ(f.Entries[0].Description, "Liniennummer");
    EXPECT_EQ(f.Entries[1].Kuerzel, ";");
    EXPECT_EQ(f.Entries[1].Description, "Leer\"");
    EXPECT_EQ(f.Entries[2].Kuerzel, "z");
    EXPECT_TRUE(f.Damaged) << "the empty line yields no field";

    const TFrameFile ok = ParseFrameFile("\"l\";\"Linie\"\r\n\"k\";\"Kurs\"\r\n");
    EXPECT_FALSE(ok.Damaged);
    EXPECT_EQ(ok.Entries.size(), 2u);
    EXPECT_TRUE(ParseFrameFile("\"k\"\r\n").Damaged) << "one field only";
    EXPECT_THROW(LoadFrameFile("/nonexistent/IBIS_Frame.CSV"), EFileError);
}

TEST(Catalogue, StartupErrorText) {
    EXPECT_EQ(CatalogueStartupErrorText("boom", 1),
              "Die IBIS-Datensatzdatei \"IBIS.CSV\" fehlt oder ist fehlerhaft.\r\n"
              "Die genaue Meldung lautet: \"boom\"\r\n"
              "Ohne diese Datei ist dieses Programm nicht lauff\xE4hig.");
    EXPECT_EQ(CatalogueStartupErrorText("boom", 2),
              "The file \"IBIS.CSV\" is missing or damaged.\r\n"
              "The exact message was: \"boom\"\r\n"
              "The program is not usable without this file.");
}

TEST(Parser, FailedReloadKeepsCatalogueInForce) {
    test::TempDir dir;
    const std::string file =
        dir.Write("IBIS.CSV", "\"001\";\"l3Z\";\"l001\";1;\"\";0;1;\"Linie\"\r\n");
    TIBISTelegramParser parser(file);
    const auto held = parser.ProfileArray();
    ASSERT_EQ(held->size(), 1u);

    dir.Write("IBIS.CSV", "\"001\";\"l3Z\";\"l001\";1;\"\";0;1;\"Linie\"\r\n"
                          "\"002\";\"k2Z\"\r\n");
    EXPECT_THROW(parser.Reload(), EFileError);
    EXPECT_EQ(parser.ProfileArray()->size(), 1u);
    EXPECT_TRUE(parser.Classify("l001", true, TBusType::bsVehicleBus).ExactMatch);

    dir.Write("IBIS.CSV", "\"002\";\"k2Z\";\"k01\";1;\"\";0;1;\"Kurs\"\r\n"
                          "\"001\";\"l3Z\";\"l001\";1;\"\";0;1;\"Linie\"\r\n");
    parser.Reload();
    EXPECT_EQ(parser.ProfileArray()->size(), 2u);
    EXPECT_EQ(held->size(), 1u) << "a holder keeps the array it got";
    EXPECT_EQ(parser.Classify("k12", true, TBusType::bsVehicleBus).RecordNo, "002");

    std::filesystem::remove(file);
    EXPECT_THROW(parser.Reload(), EFileError);
    EXPECT_EQ(parser.ProfileArray()->size(), 2u);
}

TEST(Parser, ConstructionFailsOnMissingFile) {
    EXPECT_THROW(TIBISTelegramParser("/nonexistent/IBIS.CSV"), EFileError);
}

} // namespace
} // namespace vaskel
