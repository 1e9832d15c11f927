// vaskel-cli import: each kind of table converted, the output read back as
// the program reads its files; tables that do not fit end with status 2.

#include "cli/CliCommands.h"
#include "import/ParadoxWriter.h"
#include "lists/ListFiles.h"
#include "recording/OpenedProtocol.h"
#include "recording/Recorder.h"
#include "telegram/Cp1252.h"
#include "telegram/TextConventions.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace vaskel {
namespace {

const std::string kCatalogue = std::string(VASKEL_TEST_DATA_DIR) + "/IBIS.CSV";

struct ImportRun {
    int code;
    std::string out, err;
};

class CliImportTest : public ::testing::Test {
protected:
    void SetUp() override { test::WriteSampleTables(Dir.Path()); }
    ImportRun Import(const std::string& table, const std::string& out) {
        std::ostringstream o, e;
        std::istringstream in;
        const int code =
            RunCli({"import", (Dir.Path() / table).string(), (Dir.Path() / out).string()}, o, e,
                   kCatalogue, in);
        return {code, o.str(), e.str()};
    }
    std::string File(const std::string& name) const { return (Dir.Path() / name).string(); }
    static std::string Slurp(const std::string& f) {
        std::ifstream in(f, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    test::TempDir Dir;
};

TEST_F(CliImportTest, ResponseAndCallListsOpenAsTheEditorsOpenThem) {
    const std::string before = Slurp(File("ANTWORT.DB"));
    ASSERT_EQ(Import("ANTWORT.DB", "antwort.ant.csv").code, 0);
    EXPECT_EQ(Slurp(File("ANTWORT.DB")), before) << "the table is only read";
    TTable r = MakeResponseListTable();
    ASSERT_TRUE(OpenListFile(r, File("antwort.ant.csv"), TListKind::Antwort).Loaded);
    ASSERT_EQ(r.RowCount(), 3);
    EXPECT_EQ(r.Cell(1, 1), "zM\xFCnchen\r") << "umlaut and CR kept";
    EXPECT_EQ(r.Cell(0, 1), "0");
    EXPECT_EQ(r.Cell(2, 2), "A\xC4\xD6\xDC\xDF");
    EXPECT_EQ(r.Cell(3, 2), "0") << "an empty reaction time";

    ASSERT_EQ(Import("AUFRUF.DB", "aufruf.AUF.CSV").code, 0);
    TTable c = MakeCallListTable();
    ASSERT_TRUE(OpenListFile(c, File("aufruf.AUF.CSV"), TListKind::Aufruf).Loaded);
    ASSERT_EQ(c.RowCount(), 3);
    EXPECT_EQ(c.Cell(1, 0), "l001");
    EXPECT_EQ(c.Cell(0, 1), "0");
    // (the list loader gives an empty cell as one blank)
    EXPECT_EQ(c.Cell(1, 1).find_first_not_of(' '), std::string_view::npos)
        << "an empty call keeps the defaults";
    EXPECT_EQ(c.Cell(3, 1), "0:10");
    EXPECT_EQ(c.Cell(2, 2), "Ziel mit \xFC");
    EXPECT_EQ(c.Cell(3, 2), "2:30");
}

TEST_F(CliImportTest, ACallListFromAProtocolTableHoldsItsMasterTelegrams) {
    ASSERT_EQ(Import("PROTOKOLL.DB", "fahrt.AUF.CSV").code, 0);
    TTable c = MakeCallListTable();
    ASSERT_TRUE(OpenListFile(c, File("fahrt.AUF.CSV"), TListKind::Aufruf).Loaded);
    ASSERT_EQ(c.RowCount(), 2) << "the answer's row at the defaults is dropped";
    EXPECT_EQ(c.Cell(1, 0), "a1");
    EXPECT_EQ(c.Cell(1, 1), "l001");
    EXPECT_EQ(c.Cell(3, 1), "0:10");
}

// As recorded: each telegram with its carriage return and check byte
// (printable, a quote, a control character); the calls are the texts alone.
TEST_F(CliImportTest, CallsFromARecordedProtocolTableAreTheTelegramsWithoutCheckByte) {
    auto recorded = [](const std::string& text) { return text + '\r' + CalcCheckByte(text); };
    test::WriteParadoxTable(Dir.Path() / "FAHRT.DB", test::ProtocolColumns(false),
                            {test::ProtocolRecord("M", 1, 100, 0, "", recorded("l001")),
                             test::ProtocolRecord("S", 2, 120, 20, "", recorded("a10")),
                             test::ProtocolRecord("M", 3, 300, 0, "", recorded("a1")),
                             test::ProtocolRecord("M", 4, 400, 0, "", recorded("k07"))});
    ASSERT_EQ(Import("FAHRT.DB", "fahrt.AUF.CSV").code, 0);
    TTable c = MakeCallListTable();
    ASSERT_TRUE(OpenListFile(c, File("fahrt.AUF.CSV"), TListKind::Aufruf).Loaded);
    ASSERT_EQ(c.RowCount(), 3);
    EXPECT_EQ(c.Cell(1, 0), "l001");
    EXPECT_EQ(c.Cell(1, 1), "a1");
    EXPECT_EQ(c.Cell(1, 2), "k07");
    EXPECT_EQ(Slurp(File("fahrt.AUF.CSV")).find("\r/"), std::string::npos)
        << "no carriage return with a check byte in the file";
}

TEST_F(CliImportTest, PlainAndAnalysedProtocolsBecomeProtocolFiles) {
    TIBISTelegramParser parser(kCatalogue);
    for (const char* table : {"PROTOKOLL.DB", "ANALYSE.DB"}) {
        SCOPED_TRACE(table);
        const std::string out = std::string(table) + ".PRO.CSV";
        ASSERT_EQ(Import(table, out).code, 0);
        TTable t = MakeProtocolTable();
        const TProtocolLoad info = LoadProtocolFile(t, File(out), parser, TBusType::bsVehicleBus);
        EXPECT_FALSE(info.Reanalysed) << "written in the current form";
        ASSERT_GE(t.RowCount(), 2);
        EXPECT_EQ(t.Cell(pcKind, 1), "S");
        EXPECT_EQ(t.Cell(pcTelegram, 0), "a1\r");
        EXPECT_EQ(t.Cell(pcHex, 0), "61 31 0D");
        EXPECT_EQ(t.Cell(pcNr, 1), "2");
        EXPECT_EQ(t.Cell(pcRecordNo, 0),
                  parser.Classify("a1\r", true, TBusType::bsVehicleBus).RecordNo)
            << "analysed again";
    }
}

TEST_F(CliImportTest, ATableThatDoesNotFitEndsWithStatus2AndTheMessage) {
    for (const auto& [table, out, second] :
         std::vector<std::tuple<std::string, std::string, std::string>>{
             {"FALSCH.DB", "x.ANT.CSV", "keine g\xC3\xBCltige Antwortliste?"},
             {"FALSCH.DB", "x.AUF.CSV", "keine g\xC3\xBCltige Aufrufliste?"},
             {"FALSCH.DB", "x.PRO.CSV", "kein g\xC3\xBCltiges IBIS-Protokoll?"},
             {"KURZ.DB", "x.ANT.CSV", "keine g\xC3\xBCltige Antwortliste?"}}) {
        const ImportRun r = Import(table, out);
        EXPECT_EQ(r.code, 2) << table << " " << out;
        EXPECT_NE(r.err.find("Die Datei konnte nicht importiert werden, da sie ein falsches "
                             "Format hat.\nM\xC3\xB6glicherweise ist es " +
                             second),
                  std::string::npos)
            << r.err;
        EXPECT_FALSE(std::filesystem::exists(File(out))) << "nothing written";
    }
}

TEST_F(CliImportTest, TheOutputNameDecidesTheKind) {
    const ImportRun r = Import("ANTWORT.DB", "antwort.csv");
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find(".ANT.CSV, .AUF.CSV or .PRO.CSV"), std::string::npos);
    EXPECT_EQ(Import("FEHLT.DB", "x.ANT.CSV").code, 2);
}

} // namespace
} // namespace vaskel
