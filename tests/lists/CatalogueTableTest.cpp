#include "lists/CatalogueTable.h"

#include "telegram/CatalogueCheck.h"
#include "telegram/Errors.h"
#include "telegram/TelegramParser.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace vaskel {
namespace {

namespace C = CatalogueColumn;

// Two languages, a comment line, a quote in a description, a line whose
// pattern sorts first although it comes last.
const std::string kFile =
    "// the catalogue\r\n"
    "\"001\";\"l 3Z\";\"l001\";-1;\"\";0;-1;\"Liniennummer\";\"Line number\"\r\n"
    "\"020\";\"a @1H\";\"a1\";-1;\"120\";0;-1;\"Status \"\"A\"\"\";\"Status\"\r\n"
    "\"120\";\"a @1H, 1Z\";\"a10\";0;\"\";0;0;\"Antwort\";\"Answer\"\r\n";

std::string Cells(const TTable& t, int row) {
    std::string s;
    t.ForEachCell(row, [&](int col, std::string_view c) {
        if (col) s += '|';
        s += c;
    });
    return s;
}

TEST(CatalogueTable, FilledFromTheRecordsWithEveryDescriptionOfTheFile) {
    const TProfileArray records = ParseCatalogue(kFile, "IBIS.CSV");
    TTable t = MakeCatalogueTable(2);
    FillCatalogueTable(t, records, kFile);
    ASSERT_EQ(t.RowCount(), 3);
    // sorted by the pattern as written
    EXPECT_EQ(Cells(t, 0), "020|a @1H|a1|-1|120|0|-1|Status \"A\"|Status");
    EXPECT_EQ(Cells(t, 1), "120|a @1H, 1Z|a10|0||0|0|Antwort|Answer");
    EXPECT_EQ(Cells(t, 2), "001|l 3Z|l001|-1||0|-1|Liniennummer|Line number");
    EXPECT_FALSE(t.Modified);
    // a catalogue in memory that the file does not hold: the further
    // descriptions stay empty
    TTable other = MakeCatalogueTable(2);
    FillCatalogueTable(other, records, "");
    EXPECT_EQ(Cells(other, 2), "001|l 3Z|l001|-1||0|-1|Liniennummer|");
}

TEST(CatalogueTable, MasterAndAnswersStayConsistent) {
    TTable t = MakeCatalogueTable(1);
    t.SetRow(0, {"020", "a @1H", "a1", "-1", "120", "0", "-1", "x"});
    // master off: the answers go
    t.SetCell(C::Master, 0, "0");
    EXPECT_EQ(KeepMasterAndAnswers(t, 0, C::Master), C::Answers);
    EXPECT_EQ(t.Cell(C::Answers, 0), "");
    // answers typed: the row becomes a master telegram
    t.SetCell(C::Answers, 0, "121");
    EXPECT_EQ(KeepMasterAndAnswers(t, 0, C::Answers), C::Master);
    EXPECT_EQ(t.Cell(C::Master, 0), "-1");
    // other cells and empty answers change nothing
    t.SetCell(C::Answers, 0, "");
    EXPECT_EQ(KeepMasterAndAnswers(t, 0, C::Answers), -1);
    EXPECT_EQ(KeepMasterAndAnswers(t, 0, C::Example), -1);

    // saving: a row whose master cell is not "-1" has no answers
    t.SetRow(0, {"120", "a @1H, 1Z", "a10", "0", "999", "0", "-1", "x"});
    EXPECT_TRUE(EmptyAnswersOfSlaveRows(t));
    EXPECT_EQ(t.Cell(C::Answers, 0), "");
    EXPECT_FALSE(EmptyAnswersOfSlaveRows(t));
}

TEST(CatalogueTable, SortIsByteWiseAndKeepsEqualRowsInOrder) {
    TTable t = MakeCatalogueTable(1);
    const std::vector<std::vector<std::string>> rows = {
        {"b", "p", "e", "-1", "", "0", "-1", "1"},
        {"B", "p", "e", "-1", "", "0", "-1", "2"},
        {"a", "p", "e", "-1", "", "0", "-1", "3"},
        {"b", "p", "e", "-1", "", "0", "-1", "4"},
        {"\xE4", "p", "e", "-1", "", "0", "-1", "5"}};
    for (std::size_t k = 0; k < rows.size(); ++k) {
        if (k) t.AppendRow();
        t.SetRow(static_cast<int>(k), rows[k]);
    }
    SortCatalogueTable(t, C::RecordNo);
    std::string order;
    for (int r = 0; r < t.RowCount(); ++r)
        order += t.Cell(7, r);
    EXPECT_EQ(order, "23145");
}

TEST(CatalogueTable, FileTextRoundTripsThroughTheLoader) {
    TTable t = MakeCatalogueTable(2);
    t.SetRow(0, {"020", "a @1H", "a1", "-1", "120", "0", "-1", "Status \"A\"", "Status; en"});
    t.AppendRow();
    t.SetRow(1, {"", "", "", "-1", "", "-1", "-1", "", ""}); // a row never filled in
    t.AppendRow();
    t.SetRow(2, {"777", "q *C", "qx", "0", "", "-1", "0", "Zeile\r\numbruch", ""});
    EXPECT_TRUE(RemoveBlankRows(t));
    ASSERT_EQ(t.RowCount(), 2);
    const std::string text = CatalogueFileText(t, {"// head"});
    EXPECT_EQ(text,
              "// head\r\n"
              "\"020\";\"a @1H\";\"a1\";-1;\"120\";0;-1;\"Status \"\"A\"\"\";\"Status; en\"\r\n"
              "\"777\";\"q *C\";\"qx\";0;\"\";-1;0;\"Zeile  umbruch\";\"\"\r\n");
    const auto rows = ReadCatalogueRows(text);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].Fields.size(), 9u);
    EXPECT_EQ(rows[0].Fields[7], "Status \"A\"");
    EXPECT_EQ(rows[0].Fields[8], "Status; en");
    const TProfileArray loaded = ParseCatalogue(text, "IBIS.CSV");
    ASSERT_EQ(loaded.size(), 2u);
    EXPECT_TRUE(loaded[1].TrainBus);
    EXPECT_FALSE(loaded[1].Master);
}

TEST(CatalogueTable, SaveKeepsTheBackupAndTheCommentsAndTheParserReloads) {
    test::TempDir dir;
    const std::string file = dir.Write("IBIS.CSV", kFile);
    TIBISTelegramParser parser(file);
    TTable t = MakeCatalogueTable(2);
    FillCatalogueTable(t, *parser.ProfileArray(), kFile);
    // a new record type, and 001's pattern changed
    t.SetCell(C::Pattern, 2, "l 4Z");
    t.SetCell(C::Example, 2, "l0001");
    const int row = t.AppendRow();
    t.SetRow(row, {"099", "yQ 2Z", "yQ12", "-1", "", "0", "-1", "Neu", "New"});
    ASSERT_TRUE(CheckCatalogue(CatalogueTableRows(t)).empty());
    EXPECT_EQ(parser.Classify("yQ12", true, TBusType::bsVehicleBus).RecordNo, "");
    SaveCatalogueTable(t, file);
    EXPECT_EQ(test::ReadFile(dir / "IBIS.BAK"), kFile);
    EXPECT_FALSE(std::filesystem::exists(file + ".vaskel-tmp"));
    const std::string written = test::ReadFile(file);
    EXPECT_EQ(written.substr(0, 18), "// the catalogue\r\n");
    parser.Reload();
    const TTelegramRecord added = parser.Classify("yQ12", true, TBusType::bsVehicleBus);
    EXPECT_EQ(added.RecordNo, "099");
    EXPECT_TRUE(added.ExactMatch);
    EXPECT_TRUE(parser.Classify("l0001", true, TBusType::bsVehicleBus).ExactMatch);
    EXPECT_FALSE(parser.Classify("l001", true, TBusType::bsVehicleBus).ExactMatch);
    // the second description came back from the file
    TTable again = MakeCatalogueTable(2);
    FillCatalogueTable(again, *parser.ProfileArray(), written);
    bool found = false;
    for (int r = 0; r < again.RowCount(); ++r)
        if (again.Cell(C::RecordNo, r) == "099") {
            found = true;
            EXPECT_EQ(again.Cell(8, r), "New");
        }
    EXPECT_TRUE(found);
}

TEST(CatalogueTable, ABackupThatCannotBeWrittenStopsTheSave) {
    test::TempDir dir;
    const std::string file = dir.Write("IBIS.CSV", kFile);
    std::filesystem::create_directory(dir / "IBIS.BAK"); // in the way
    TTable t = MakeCatalogueTable(2);
    FillCatalogueTable(t, ParseCatalogue(kFile, "IBIS.CSV"), kFile);
    t.SetCell(C::RecordNo, 0, "X");
    EXPECT_THROW(SaveCatalogueTable(t, file), EFileError);
    EXPECT_EQ(test::ReadFile(file), kFile);
}

} // namespace
} // namespace vaskel
