// The row rules of the three imports, on tables written with pxlib.

#include "import/V1Import.h"
#include "import/ParadoxTable.h"
#include "import/ParadoxWriter.h"

#include "lists/ListFiles.h"
#include "recording/OpenedProtocol.h"
#include "recording/Recorder.h"
#include "telegram/TextConventions.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>

namespace vaskel {
namespace {

using namespace vaskel::test;

const std::string kCatalogue = std::string(VASKEL_TEST_DATA_DIR) + "/IBIS.CSV";

class V1ImportTest : public ::testing::Test {
protected:
    std::unique_ptr<ITableReader> Table(const std::vector<TPxColumn>& columns,
                                        const std::vector<TPxRecord>& records) {
        WriteParadoxTable(Dir.Path() / "T.DB", columns, records);
        return OpenTable(Dir.Path().string(), "T.DB");
    }
    std::vector<std::string> Row(const TTable& t, int row) {
        std::vector<std::string> cells;
        for (int c = 0; c < t.ColCount(); ++c)
            cells.emplace_back(t.Cell(c, row));
        return cells;
    }
    TempDir Dir;
    TIBISTelegramParser Parser{kCatalogue};
};

TEST_F(V1ImportTest, ResponseListRows) {
    struct Case {
        TPxRecord record;
        std::vector<std::string> row;
    };
    const std::vector<Case> cases = {
        {ResponseRecord(true, "a1", "a10", 20), {"-1", "a1", "a10", "20"}},
        {ResponseRecord(false, "zM\xFCnchen\r", "", 0), {"0", "zM\xFCnchen\r", "", "0"}},
        {ResponseRecord(TPxValue{}, "l{|}~", "\xC4\xD6\xDC\xDF", TPxValue{}),
         {"0", "l{|}~", "\xC4\xD6\xDC\xDF", "0"}},
        {ResponseRecord(true, "", "x", 65000), {"-1", "", "x", "65000"}},
    };
    std::vector<TPxRecord> records;
    for (const Case& c : cases)
        records.push_back(c.record);
    auto source = Table(ResponseListColumns(), records);
    TTable t = MakeResponseListTable();
    ImportResponseList(*source, t);
    ASSERT_EQ(t.RowCount(), static_cast<int>(cases.size())) << "one row per record";
    for (std::size_t i = 0; i < cases.size(); ++i)
        EXPECT_EQ(Row(t, static_cast<int>(i)), cases[i].row) << "record " << i + 1;
    EXPECT_TRUE(t.Modified);
}

TEST_F(V1ImportTest, CallListRows) {
    struct Case {
        TPxRecord record;
        std::vector<std::string> row;
    };
    const std::vector<Case> cases = {
        {CallRecord(true, "l001", "Linie", "0:10"), {"-1", "l001", "Linie", "0:10"}},
        {CallRecord(false,
                    "zA1 Stra\xDF"
                    "e",
                    "Ziel \xFC", "12:30"),
         {"0",
          "zA1 Stra\xDF"
          "e",
          "Ziel \xFC", "12:30"}},
        // an empty call leaves the other columns at their defaults
        {CallRecord(false, "", "leer", "1:00"), {"0", "", "", "0:10"}},
        {CallRecord(TPxValue{}, "a1", "", "abc"), {"0", "a1", "", "abc"}},
    };
    std::vector<TPxRecord> records;
    for (const Case& c : cases)
        records.push_back(c.record);
    auto source = Table(CallListColumns(), records);
    TTable t = MakeCallListTable();
    EXPECT_EQ(ImportCallList(*source, t), TV1CallSource::CallList);
    ASSERT_EQ(t.RowCount(), static_cast<int>(cases.size()));
    for (std::size_t i = 0; i < cases.size(); ++i)
        EXPECT_EQ(Row(t, static_cast<int>(i)), cases[i].row) << "record " << i + 1;
    EXPECT_TRUE(t.Modified);
}

TEST_F(V1ImportTest, CallListFromAProtocolTakesTheMasterTelegrams) {
    for (const bool analysed : {false, true}) {
        std::vector<TPxRecord> records = {
            ProtocolRecord("M", 1, 0, 0, "", " \tl001\r\n"),
            ProtocolRecord("S", 2, 10, 10, "", "a10\r"), ProtocolRecord("M", 3, 20, 0, "X", "a1\r"),
            ProtocolRecord("M", 4, 30, 0, "", ""), ProtocolRecord("N", 5, 40, 0, "", "a2\r")};
        if (analysed)
            for (TPxRecord& r : records)
                r.insert(r.end(), {std::string("61"), std::string("1"), std::string("d")});
        auto source = Table(ProtocolColumns(analysed), records);
        TTable t = MakeCallListTable();
        EXPECT_EQ(ImportCallList(*source, t), TV1CallSource::Protocol);
        ASSERT_EQ(t.RowCount(), 5) << "every record is a row";
        const std::vector<std::string> defaults = {"-1", "", "", "0:10"};
        EXPECT_EQ(Row(t, 0), (std::vector<std::string>{"-1", "l001", "", "0:10"}))
            << "blanks and control characters trimmed";
        EXPECT_EQ(Row(t, 1), defaults) << "an answer leaves its row at the defaults";
        EXPECT_EQ(Row(t, 2), (std::vector<std::string>{"-1", "a1", "", "0:10"}));
        EXPECT_EQ(Row(t, 3), defaults) << "an empty telegram";
        EXPECT_EQ(Row(t, 4), defaults) << "only \"M\" is a call";

        RemoveUntouchedRows(t);
        ASSERT_EQ(t.RowCount(), 2);
        EXPECT_EQ(t.Cell(1, 0), "l001");
        EXPECT_EQ(t.Cell(1, 1), "a1");
    }
}

// A recorded master telegram ends with its carriage return and check byte;
// the call is the text before them, whatever the check byte is.
TEST_F(V1ImportTest, CallsFromAProtocolLeaveTheCarriageReturnAndCheckByteBehind) {
    auto recorded = [](const std::string& text) { return text + '\r' + CalcCheckByte(text); };
    ASSERT_EQ(CalcCheckByte("l001"), '/') << "a printable check byte";
    ASSERT_EQ(CalcCheckByte("a1"), '"') << "a quote as check byte";
    const struct {
        std::string Telegram;
        std::string Call;
        const char* What;
    } cases[] = {
        {recorded("l001"), "l001", "printable check byte"},
        {recorded("a1"), "a1", "quote as check byte"},
        {recorded("k07"), "k07", "control character as check byte"},
        {" " + recorded("zA1 Ende"), "zA1 Ende", "blanks around and inside"},
        {"a1\r", "a1", "carriage return without check byte"},
        {"l002", "l002", "neither carriage return nor check byte"},
        {"x7 ", "x7", "no carriage return, a blank after"},
    };
    std::vector<TPxRecord> records;
    for (const auto& c : cases)
        records.push_back(ProtocolRecord("M", 1, 0, 0, "", c.Telegram));
    TTable t = MakeCallListTable();
    ASSERT_EQ(ImportCallList(*Table(ProtocolColumns(false), records), t), TV1CallSource::Protocol);
    ASSERT_EQ(t.RowCount(), static_cast<int>(std::size(cases)));
    for (int r = 0; r < t.RowCount(); ++r)
        EXPECT_EQ(t.Cell(1, r), cases[r].Call) << cases[r].What;
}

TEST_F(V1ImportTest, EmptyListTablesGiveTheSingleDefaultRow) {
    TTable responses = MakeResponseListTable();
    ImportResponseList(*Table(ResponseListColumns(), {}), responses);
    EXPECT_EQ(responses.RowCount(), 1);
    EXPECT_EQ(Row(responses, 0), (std::vector<std::string>{"-1", "", "", "0"}));
    EXPECT_TRUE(responses.Modified);

    TTable calls = MakeCallListTable();
    ImportCallList(*Table(CallListColumns(), {}), calls);
    EXPECT_EQ(calls.RowCount(), 1);
    EXPECT_EQ(Row(calls, 0), (std::vector<std::string>{"-1", "", "", "0:10"}));
    EXPECT_TRUE(calls.Modified);
}

TEST_F(V1ImportTest, ATableOfAnotherLayoutIsRefusedByEveryImport) {
    const std::vector<TPxColumn> other = {{"Checked", pxfLogical}, {"Aufruf", pxfAlpha, 20}};
    auto source = Table(other, {{true, std::string("a1")}});
    TTable responses = MakeResponseListTable();
    EXPECT_THROW(ImportResponseList(*source, responses), ETableError);
    TTable calls = MakeCallListTable();
    EXPECT_THROW(ImportCallList(*source, calls), ETableError);
    TTable protocol = MakeProtocolTable();
    EXPECT_THROW(ImportProtocol(*source, protocol, Parser, TBusType::bsVehicleBus), ETableError);
    // a response list is no call list, a call list no response list
    TTable t = MakeCallListTable();
    EXPECT_THROW(ImportCallList(*Table(ResponseListColumns(), {}), t), ETableError);
    TTable r = MakeResponseListTable();
    EXPECT_THROW(ImportResponseList(*Table(CallListColumns(), {}), r), ETableError);
}

TEST_F(V1ImportTest, AValueThatCannotBeReadEndsTheImport) {
    const std::vector<TPxColumn> cols = {{"CHECKED", pxfLogical},
                                         {"AUFRUF", pxfAlpha, 10},
                                         {"ANTWORT", pxfAlpha, 10},
                                         {"REAKTIONSZ", pxfAlpha, 10}};
    auto source = Table(cols, {{true, std::string("a"), std::string("b"), std::string("12")},
                               {true, std::string("a"), std::string("b"), std::string("zwei")}});
    TTable t = MakeResponseListTable();
    EXPECT_THROW(ImportResponseList(*source, t), ETableError);
}

TEST_F(V1ImportTest, APlainProtocolIsClassifiedAnAnalysedOneTakenAsStored) {
    const std::vector<TPxRecord> plain = {ProtocolRecord("M", 7, 100, 0, "", "a1\r"),
                                          ProtocolRecord("S", 8, 120, 20, "", "a10\r")};
    TTable t = MakeProtocolTable();
    const TV1ProtocolImport p =
        ImportProtocol(*Table(ProtocolColumns(false), plain), t, Parser, TBusType::bsVehicleBus);
    EXPECT_EQ(p.Form, TV1ProtocolForm::Plain);
    EXPECT_EQ(p.Records, 2);
    EXPECT_FALSE(p.Cancelled);
    ASSERT_EQ(t.RowCount(), 2);
    const TTelegramRecord master = Parser.Classify("a1\r", true, TBusType::bsVehicleBus);
    const TTelegramRecord slave = Parser.Classify("a10\r", false, TBusType::bsVehicleBus);
    ASSERT_FALSE(master.RecordNo.empty()) << "the catalogue knows a1";
    EXPECT_EQ(Row(t, 0), (std::vector<std::string>{"M", "7", "100", "0", "", "a1\r", "61 31 0D",
                                                   master.RecordNo, master.Description, ""}));
    EXPECT_EQ(Row(t, 1),
              (std::vector<std::string>{"S", "8", "120", "20", "", "a10\r", "61 31 30 0D",
                                        slave.RecordNo, slave.Description, ""}));
    EXPECT_TRUE(t.Modified);

    const std::vector<TPxRecord> analysed = {
        AnalysedRecord("M", 7, 100, 0, "", "a1\r", "stored hex", "999", "stored text")};
    TTable a = MakeProtocolTable();
    EXPECT_EQ(
        ImportProtocol(*Table(ProtocolColumns(true), analysed), a, Parser, TBusType::bsVehicleBus)
            .Form,
        TV1ProtocolForm::Analysed);
    EXPECT_EQ(Row(a, 0), (std::vector<std::string>{"M", "7", "100", "0", "", "a1\r", "stored hex",
                                                   "999", "stored text", ""}));

    // the re-analysis renumbers and classifies; the hex notation stays
    Reanalyse(a, Parser, TBusType::bsVehicleBus);
    EXPECT_EQ(a.Cell(pcNr, 0), "1");
    EXPECT_EQ(a.Cell(pcRecordNo, 0), master.RecordNo);
    EXPECT_EQ(a.Cell(pcHex, 0), "stored hex");
}

TEST_F(V1ImportTest, ACancelledProtocolImportKeepsTheRowsReadSoFar) {
    std::vector<TPxRecord> records;
    for (int i = 0; i < 120; ++i)
        records.push_back(ProtocolRecord(i % 2 ? "S" : "M", i + 1, i * 10, 0, "", "a1\r"));
    auto source = Table(ProtocolColumns(false), records);
    TTable t = MakeProtocolTable();
    std::vector<int> asked;
    const TV1ProtocolImport p =
        ImportProtocol(*source, t, Parser, TBusType::bsVehicleBus, [&](int k) {
            asked.push_back(k);
            return k < 75;
        });
    EXPECT_TRUE(p.Cancelled);
    EXPECT_EQ(p.Records, 75);
    EXPECT_EQ(t.RowCount(), 75) << "no empty row after the last one read";
    EXPECT_EQ(t.Cell(pcNr, 74), "75");
    EXPECT_EQ(asked.size(), 76u) << "asked before every record";

    TTable none = MakeProtocolTable();
    EXPECT_TRUE(ImportProtocol(*source, none, Parser, TBusType::bsVehicleBus, [](int) {
                    return false;
                }).Cancelled);
    EXPECT_EQ(none.RowCount(), 1);
    EXPECT_TRUE(none.RowEmpty(0));
}

TEST(V1ImportTexts, TheErrorBoxNamesTheImport) {
    EXPECT_EQ(V1ImportErrorText(TV1Kind::CallList),
              "Die Datei konnte nicht importiert werden, da sie ein falsches Format hat.\r\n"
              "M\xF6glicherweise ist es keine g\xFCltige Aufrufliste?");
    EXPECT_NE(V1ImportErrorText(TV1Kind::ResponseList).find("Antwortliste"), std::string::npos);
    EXPECT_NE(V1ImportErrorText(TV1Kind::Protocol).find("kein g\xFCltiges IBIS-Protokoll?"),
              std::string::npos);
}

} // namespace
} // namespace vaskel
