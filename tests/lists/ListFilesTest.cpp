#include "lists/ListFiles.h"
#include "recording/Recorder.h"
#include "telegram/Errors.h"
#include "telegram/TextConventions.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace vaskel {
namespace {

const std::string kCatalogue = std::string(VASKEL_TEST_DATA_DIR) + "/IBIS.CSV";

TEST(ResponseListFile, ActiveRowsOnly) {
    test::TempDir dir;
    const std::string file =
        dir.Write("r.ANT.CSV", std::string(kAntwortHeader) + "\r\n"
                                                             "-1;\"a1\";\"a1x\";20\r\n"
                                                             "0;\"a2\";\"a2x\";20\r\n"
                                                             "-1;\"a3\";\"a\nb\";x\r\n"
                                                             "-1;\"a4\";\"a4x\"\r\n");
    const TAntwortListe list = LoadResponseList(file);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0], (TAntwortListeElement{"a1", "a1x", 20}));
    EXPECT_EQ(list[1], (TAntwortListeElement{"a3", "a\nb", 9}))
        << "a line feed in a quoted field stays in the row; no number: 9 ms";

    const std::string comma =
        dir.Write("c.ANT.CSV", std::string(kAntwortHeaderComma) + "\r\n"
                                                                  "'-1','a1','a1x','20',\r\n"
                                                                  "'0','a2','a2x','20',\r\n");
    EXPECT_EQ(LoadResponseList(comma), (TAntwortListe{{"a1", "a1x", 20}}));
    EXPECT_THROW(LoadResponseList(dir / "missing.ANT.CSV"), EFileError);
}

TEST(ListFiles, CommaFormIsRewrittenOnOpening) {
    test::TempDir dir;
    const std::string old = std::string(kAufrufHeaderComma) + "\r\n'-1','zI1','','0:10',\r\n";
    const std::string file = dir.Write("x.AUF.CSV", old);
    TTable t = MakeCallListTable();
    EXPECT_TRUE(OpenListFile(t, file, TListKind::Aufruf).Loaded);
    EXPECT_EQ(test::ReadFile(dir / "x.AUF.BAK"), old);
    // a loaded empty cell is empty, and is written so
    EXPECT_EQ(test::ReadFile(file),
              std::string(kAufrufHeader) + "\r\n-1;\"zI1\";\"\";\"0:10\"\r\n");
    EXPECT_EQ(t.Cell(1, 0), "zI1");

    // cut inside a field: not rewritten with the rows before the cut
    const std::string cut = std::string(kAufrufHeaderComma) + "\r\n'-1','zI1','','0:10',\r\n'0','l0";
    const std::string cutFile = dir.Write("c.AUF.CSV", cut);
    EXPECT_TRUE(OpenListFile(t, cutFile, TListKind::Aufruf).LastLineIncomplete);
    EXPECT_EQ(test::ReadFile(cutFile), cut);

    const std::string wrong = dir.Write("w.AUF.CSV", std::string(kAntwortHeader) + "\r\n");
    EXPECT_FALSE(OpenListFile(t, wrong, TListKind::Aufruf).Loaded);

    TTable r = MakeResponseListTable();
    r.SetRow(0, {"-1", "a1", "a1x", "20"});
    SaveListFile(r, dir / "r.ANT.CSV", TListKind::Antwort);
    EXPECT_EQ(test::ReadFile(dir / "r.ANT.CSV"),
              std::string(kAntwortHeader) + "\r\n-1;\"a1\";\"a1x\";20\r\n");
}

// Opened and saved again, a list is the same file: empty fields stay
// empty (the table reader's blank is not taken for text), an empty "Ok" is
// an inactive row as the download reads it.
TEST(ListFiles, EmptyFieldsSurviveOpeningAndSaving) {
    struct TCase {
        TListKind Kind;
        const char* Rows;  // as in the file
        const char* Saved; // written again
    };
    const TCase cases[] = {
        {TListKind::Aufruf, "-1;\"l001\";\"\";\"0:10\"\r\n", "-1;\"l001\";\"\";\"0:10\"\r\n"},
        {TListKind::Aufruf, "0;\"k07\";\"Kurs\";\"\"\r\n", "0;\"k07\";\"Kurs\";\"\"\r\n"},
        {TListKind::Aufruf, ";\"k07\";\"\";\"0:10\"\r\n", "0;\"k07\";\"\";\"0:10\"\r\n"},
        {TListKind::Antwort, "-1;\"a1\";\"\";20\r\n", "-1;\"a1\";\"\";20\r\n"},
        {TListKind::Antwort, " ;\"a1\";\"a10\";\r\n", "0;\"a1\";\"a10\";\r\n"},
    };
    test::TempDir dir;
    for (const TCase& c : cases) {
        const bool aufruf = c.Kind == TListKind::Aufruf;
        const std::string header = aufruf ? kAufrufHeader : kAntwortHeader;
        const std::string file =
            dir.Write(aufruf ? "l.AUF.CSV" : "l.ANT.CSV", header + "\r\n" + c.Rows);
        TTable t = aufruf ? MakeCallListTable() : MakeResponseListTable();
        ASSERT_TRUE(OpenListFile(t, file, c.Kind).Loaded) << c.Rows;
        for (int col = 1; col < t.ColCount(); ++col)
            EXPECT_NE(t.Cell(col, 0), " ") << c.Rows << " column " << col;
        EXPECT_FALSE(t.Modified);
        SaveListFile(t, file, c.Kind);
        EXPECT_EQ(test::ReadFile(file), header + "\r\n" + c.Saved) << c.Rows;
    }
    // a text of its own with blanks keeps them
    const std::string file =
        dir.Write("b.AUF.CSV", std::string(kAufrufHeader) + "\r\n-1;\"l001\";\"  \";\"0:10\"\r\n");
    TTable t = MakeCallListTable();
    ASSERT_TRUE(OpenListFile(t, file, TListKind::Aufruf).Loaded);
    EXPECT_EQ(t.Cell(2, 0), "  ");
}

// The automatic description is the request's, of the bus in use.
TEST(ListFiles, CallDescriptionIsTheRequestsOnTheBusInUse) {
    const TIBISTelegramParser parser(kCatalogue);
    struct TCase {
        const char* Call;
        TBusType Bus;
        const char* Description;
    };
    const TCase cases[] = {
        {"a", TBusType::bsVehicleBus, "Statusabfrage an Anzeige (Adresse IBIS-hex)"},
        {"a1", TBusType::bsVehicleBus, "Statusabfrage an Anzeige (Adresse IBIS-hex)"},
        {"a1", TBusType::bsTrainBus, "Zugbus: Statusabfrage an Anzeige (Adresse IBIS-hex)"},
        {"l", TBusType::bsVehicleBus, "Liniennummer"},
        {"l", TBusType::bsTrainBus, "Zugbus: Liniennummer"},
        {"zA2Hauptbahnhof    Messe/Stadthalle", TBusType::bsVehicleBus,
         "Zieltext: Anzahl Bl\xF6" "cke (IBIS-hex), je Block 16 Zeichen"},
        {"a10", TBusType::bsVehicleBus, ""}, // an answer describes no call
        {"lE05", TBusType::bsTrainBus, ""},  // no such request on the train bus
        {"keiner", TBusType::bsVehicleBus, ""},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(CallDescription(parser, c.Bus, c.Call), c.Description) << c.Call;
}

TEST(ListFiles, CallListLoaderRules) {
    test::TempDir dir;
    std::vector<tAufruf> entries;
    LoadCallList(dir.Write("a.AUF.CSV", std::string(kAufrufHeader) +
                                            "\r\n"
                                            "-1;\"l001\";\"\";\"0:10\"\r\n"
                                            "True;\"k07\";\"\";\"2\"\r\n"
                                            "false;\"z034\";\"\";\"0:10\"\r\n"
                                            "'1','zA1',\"\",'1:05',\r\n"),
                 entries);
    EXPECT_EQ(entries, (std::vector<tAufruf>{{"l001", 10, 0}, {"k07", 120, 0}, {"zA1", 65, 0}}));
}

TEST(ListFiles, IntervalsBeyondTheRangeAreRefused) {
    const std::pair<std::string, int32_t> kept[] = {{"35791394:07", INT32_MAX},
                                                    {"35791394", 2147483640},
                                                    {"0:2147483647", INT32_MAX},
                                                    {"-35791394:-8", INT32_MIN},
                                                    {" 1 : 05 ", 65}};
    for (const auto& [text, seconds] : kept)
        EXPECT_EQ(IntervalSeconds(text), seconds) << text;
    for (const char* text : {"999999999999999999", "999999999999999999:00", "0:999999999999999999",
                             "99999999999999999999", "1:99999999999999999999", "35791394:08",
                             "35791395", "0:2147483648", "-153722867280912931", "-35791394:-9"})
        EXPECT_THROW(IntervalSeconds(text), EConversionError) << text;

    // A hand-edited list with such an interval is refused with its text and
    // line.
    test::TempDir dir;
    std::vector<tAufruf> entries;
    const std::string file = dir.Write(
        "a.AUF.CSV", std::string(kAufrufHeader) + "\r\n-1;\"l001\";\"\";\"0:10\"\r\n"
                                                  "-1;\"k07\";\"\";\"999999999999999999\"\r\n");
    try {
        LoadCallList(file, entries);
        ADD_FAILURE() << "the list was loaded";
    } catch (const ECallListError& e) {
        EXPECT_EQ(e.Problem.Kind, TCallListProblem::TKind::BadInterval);
        EXPECT_EQ(e.Problem.Line, 3);
        EXPECT_EQ(CallListProblemText(e.Problem, 2),
                  "Line 3: the interval \"999999999999999999\" is too long");
    }
    EXPECT_EQ(entries, (std::vector<tAufruf>{{"l001", 10, 0}}));
}

TEST(MonitorResponseList, LoadDownloadsClearRemembers) {
    test::TempDir dir;
    TFixedSystemPlatform platform;
    platform.Program = dir / "Vaskel";
    TEnvironment env(nullptr, platform);
    std::vector<TAntwortListe> downloads;
    TMonitorResponseList m([&](const TAntwortListe& l) {
        downloads.push_back(l);
        return true;
    });
    const std::string file =
        dir.Write("r.ANT.CSV", std::string(kAntwortHeader) + "\r\n-1;\"a1\";\"a1x\";20\r\n");
    m.Load(file);
    EXPECT_EQ(m.ActualAntwortliste(), file);
    ASSERT_EQ(downloads.size(), 1u);
    EXPECT_EQ(downloads[0], (TAntwortListe{{"a1", "a1x", 20}}));

    env.SetReloadResponseList(true);
    m.Clear(env);
    EXPECT_TRUE(downloads.back().empty());
    EXPECT_EQ(env.LastLoadedResponseList(), file);
    EXPECT_EQ(m.ActualAntwortliste(), "");

    m.Load(file);
    env.SetReloadResponseList(false);
    m.Clear(env);
    EXPECT_EQ(env.LastLoadedResponseList(), "");
    EXPECT_THROW(m.Load(dir / "missing.ANT.CSV"), EFileError);
    EXPECT_EQ(m.ActualAntwortliste(), "") << "a failed load changes nothing";
}

class FromProtocol : public ::testing::Test {
protected:
    TIBISTelegramParser Parser{kCatalogue};
    test::TempDir Dir;
    TTable Table = MakeResponseListTable();
    std::string Line(const char* kind, const std::string& telegram, const char* errors = "") {
        std::string quoted;
        for (char c : telegram)
            quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
        return std::string("\"") + kind + "\";\"1\";\"0\";\"\";\"" + errors + "\";\"" + quoted +
               "\";\"\";\"\";\"\";\"\"\r\n";
    }
};

TEST_F(FromProtocol, FirstErrorFreeAnswerPerPrefixAndAddress) {
    const std::string file = Dir.Write(
        "p.PRO.CSV", Line("M", TelegramBytes("a1")) + Line("S", TelegramBytes("a10")) +
                         Line("M", TelegramBytes("a1")) + Line("S", TelegramBytes("a17")) +
                         Line("M", TelegramBytes("a2")) + Line("S", TelegramBytes("a20"), "S") +
                         Line("N", TelegramBytes("a3")) + Line("T", TelegramBytes("a30")));
    EXPECT_EQ(ResponseListFromProtocol(file, Parser, TBusType::bsVehicleBus, Table), 2);
    EXPECT_EQ(Table.RowCount(), 2);
    EXPECT_EQ(Table.Cell(1, 0), "a1");
    EXPECT_EQ(Table.Cell(2, 0), "a10") << "the first answer; without CR and check byte";
    EXPECT_EQ(Table.Cell(3, 0), "1");
    EXPECT_EQ(Table.Cell(0, 0), "-1");
    EXPECT_EQ(Table.Cell(1, 1), "a3") << "a2's only answer had an error";
    EXPECT_TRUE(Table.Modified);
}

// An answer the recording paired with no call (a clock telegram expects
// none) or with an earlier call than the one before it is not taken as the
// answer to that call.
TEST_F(FromProtocol, AnswersPairedWithNoOrAnotherCallAreNotTaken) {
    const auto row = [&](const char* kind, const char* telegram, const char* pairing) {
        std::string line = Line(kind, TelegramBytes(telegram));
        const std::size_t end = line.rfind("\"\"");
        return line.replace(end, 2, std::string("\"") + pairing + "\"");
    };
    const std::string file = Dir.Write(
        "p.PRO.CSV", row("M", "u0731", "0") + row("S", "a20", "2") + row("M", "a1", "1") +
                         row("M", "l001", "0") + row("S", "a10", "3") + row("M", "a2", "1") +
                         row("S", "a20", "4") + row("M", "a3", "1") + row("S", "a30", ""));
    EXPECT_EQ(ResponseListFromProtocol(file, Parser, TBusType::bsVehicleBus, Table), 2);
    EXPECT_EQ(Table.Cell(1, 0), "a2");
    EXPECT_EQ(Table.Cell(2, 0), "a20");
    EXPECT_EQ(Table.Cell(1, 1), "a3") << "a protocol without pairing cells still gives its answers";
}

// The protocol's form comes from its whole first line, not from the text up
// to the first telegram's own CR.
TEST_F(FromProtocol, FirstLineIsTakenWhole) {
    // a status query that ends in "," with a line feed as its check byte
    std::string lf;
    for (char c = '0'; c <= '9' && lf.empty(); ++c)
        if (const std::string t = TelegramBytes(std::string("a10") + c + ","); t.back() == '\n')
            lf = t;
    ASSERT_FALSE(lf.empty());
    const TTelegramRecord r = Parser.Classify(lf, true, TBusType::bsVehicleBus);
    const std::string key = r.Prefix + r.Address;
    const std::string answers = Line("S", TelegramBytes("a10")) + Line("M", TelegramBytes("a2")) +
                                Line("S", TelegramBytes("a20"));
    for (const std::string& content : {Line("M", lf) + answers, "\r\n" + Line("M", lf) + answers}) {
        const std::string file = Dir.Write("lf.PRO.CSV", content);
        EXPECT_EQ(ResponseListFromProtocol(file, Parser, TBusType::bsVehicleBus, Table), 2)
            << test::Printable(content.substr(0, 40));
        EXPECT_EQ(Table.Cell(1, 0), key);
        EXPECT_EQ(Table.Cell(2, 0), "a10");
        EXPECT_EQ(Table.Cell(1, 1), "a2");
    }
    // the comma form still counts as such
    const std::string comma =
        Dir.Write("c.PRO.CSV", "'M','1','0','','','a1\r\x12','','','','',\r\n"
                               "'S','2','0','','','a10\r\x12','','','','',\r\n");
    EXPECT_EQ(ResponseListFromProtocol(comma, Parser, TBusType::bsVehicleBus, Table), 1);
    EXPECT_EQ(Table.Cell(2, 0), "a10")
        << "an answer's own CR and check byte go in the comma form too";
    const std::string bare = Dir.Write("b.PRO.CSV", "'M','1','0','','','a1','','','','',\r\n"
                                                    "'S','2','0','','','a10','','','','',\r\n");
    EXPECT_EQ(ResponseListFromProtocol(bare, Parser, TBusType::bsVehicleBus, Table), 1);
    EXPECT_EQ(Table.Cell(2, 0), "a10") << "a comma-form answer without them stays whole";
}

TEST_F(FromProtocol, NoUsableAnswersAndBrokenProtocols) {
    const std::string onlyErrors = Dir.Write("e.PRO.CSV", Line("M", TelegramBytes("a1")) +
                                                              Line("S", TelegramBytes("a10"), "F"));
    EXPECT_EQ(ResponseListFromProtocol(onlyErrors, Parser, TBusType::bsVehicleBus, Table), 0);
    const std::string broken = Dir.Write("b.PRO.CSV", "\"M\";\"1\"\r\n");
    try {
        ResponseListFromProtocol(broken, Parser, TBusType::bsVehicleBus, Table);
        FAIL() << "no error";
    } catch (const EFileError& e) {
        EXPECT_STREQ(e.what(), kResponsesFromProtocolError);
    }
    EXPECT_THROW(
        ResponseListFromProtocol(Dir / "missing.PRO.CSV", Parser, TBusType::bsVehicleBus, Table),
        EFileError);
}

} // namespace
} // namespace vaskel
