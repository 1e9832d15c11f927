#include "cli/CliCommands.h"
#include "cli/CliRun.h"
#include "cli/Json.h"
#include "recording/Recorder.h"
#include "recording/TableFile.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <sstream>

namespace vaskel {
namespace {

const std::string kCatalogue = std::string(VASKEL_TEST_DATA_DIR) + "/IBIS.CSV";

using test::Cli;
using test::CliRun;

TEST(CliJson, ByteStrings) {
    EXPECT_EQ(JsonByteString("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(JsonByteString("\r/\x7F"), "\"\\u000D/\\u007F\"");
    EXPECT_EQ(JsonByteString(std::string("\0", 1)), "\"\\u0000\"");
    EXPECT_EQ(JsonByteString("\xE4\x80"), "\"\xC3\xA4\xC2\x80\"");
}

TEST(CliClassify, OneJsonObjectPerTelegramWithAllFields) {
    const CliRun r = Cli({"classify", "l001<CR>/", "Q"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out,
              "{\"RecordNo\":\"001\",\"Pattern\":\"l3Z\",\"PatternText\":\"l 3Z\","
              "\"Description\":\"Liniennummer\",\"Example\":\"l001\",\"Answers\":\"\","
              "\"Telegram\":\"l001\\u000D/\",\"Prefix\":\"l\",\"Address\":\"\",\"CRText\":\"<CR>\","
              "\"CheckByte\":\"/\",\"DataText\":\"001\",\"RestText\":\"\",\"Data\":\"001\","
              "\"Rest\":\"\",\"TrainBus\":false,\"Master\":true,\"Filter\":true,"
              "\"ExactMatch\":true,\"RoleAsExpected\":true,\"MatchedLength\":-1}\n"
              "{\"RecordNo\":\"\",\"Pattern\":\"\",\"PatternText\":\"\",\"Description\":\"\","
              "\"Example\":\"\",\"Answers\":\"\",\"Telegram\":\"Q\",\"Prefix\":\"\","
              "\"Address\":\"\",\"CRText\":\"\",\"CheckByte\":\"\",\"DataText\":\"\","
              "\"RestText\":\"Q\",\"Data\":\"\",\"Rest\":\"Q\",\"TrainBus\":false,"
              "\"Master\":false,\"Filter\":false,\"ExactMatch\":false,\"RoleAsExpected\":false,"
              "\"MatchedLength\":0}\n");
}

TEST(CliClassify, OptionsAndEntryNotation) {
    const CliRun slave = Cli({"classify", "--slave", "a10"});
    EXPECT_NE(slave.out.find("\"RecordNo\":\"120\""), std::string::npos);
    EXPECT_NE(slave.out.find("\"RoleAsExpected\":true"), std::string::npos);

    const CliRun asMaster = Cli({"classify", "a10"});
    EXPECT_NE(asMaster.out.find("\"RoleAsExpected\":false"), std::string::npos);

    const CliRun train = Cli({"classify", "--train-bus", "l001"});
    EXPECT_NE(train.out.find("\"TrainBus\":true"), std::string::npos);

    // UTF-8 umlauts typed in the terminal become IBIS national characters
    const CliRun umlaut = Cli({"classify", "vUniversitätsklinikum Süd"});
    EXPECT_NE(umlaut.out.find("\"Telegram\":\"vUniversit{tsklinikum S}d\""), std::string::npos);
    EXPECT_NE(umlaut.out.find("\"DataText\":\"Universitätsklinikum.Süd\""), std::string::npos);
    EXPECT_NE(umlaut.out.find("\"RecordNo\":\"009b\""), std::string::npos);

    const CliRun hexToken = Cli({"classify", "l00<$31>"});
    EXPECT_NE(hexToken.out.find("\"ExactMatch\":true"), std::string::npos);
}

TEST(CliClassify, CatalogueErrorsExitTwo) {
    const CliRun missing = Cli({"classify", "--catalogue", "/nonexistent/IBIS.CSV", "l001"});
    EXPECT_EQ(missing.code, 2);
    EXPECT_EQ(missing.out, "");
    EXPECT_NE(missing.err.find("TIBISTelegramParser error: file /nonexistent/IBIS.CSV not found."),
              std::string::npos);

    test::TempDir dir;
    const std::string broken = dir.Write("IBIS.CSV", "\"001\";\"l3Z\"\r\n");
    const CliRun bad = Cli({"classify", "--catalogue=" + broken, "l001"});
    EXPECT_EQ(bad.code, 2);
    EXPECT_NE(bad.err.find("line 1: invalid amount of tokens!"), std::string::npos);

    const CliRun none = Cli({"classify", "l001"}, "");
    EXPECT_EQ(none.code, 2);
}

TEST(CliUsage, TheProgramsFileVersion) {
    const CliRun r = Cli({"--version"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "vaskel-cli 3.11.0.0\n");
}

TEST(CliUsage, BadArgumentsExitTwoWithUsage) {
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"frobnicate"},
        {"classify"},
        {"classify", "--bogus", "l001"},
        {"classify", "--catalogue"},
        {"checkbyte"},
        {"checkbyte", "a", "b"},
    };
    for (const auto& args : bad) {
        const CliRun r = Cli(args);
        EXPECT_EQ(r.code, 2);
        EXPECT_NE(r.err.find("Usage: vaskel-cli"), std::string::npos);
    }
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"--help"}, {"classify", "--help"}, {"checkbyte", "-h"}}) {
        const CliRun r = Cli(args);
        EXPECT_EQ(r.code, 0);
        EXPECT_NE(r.out.find("Usage: vaskel-cli"), std::string::npos);
    }
}

TEST(CliCheckbyte, PrintsTwoUpperCaseHexDigits) {
    EXPECT_EQ(Cli({"checkbyte", "l001"}).out, "2F\n");
    EXPECT_EQ(Cli({"checkbyte", "z000"}).out, "38\n");
    EXPECT_EQ(Cli({"checkbyte", ""}).out, "72\n");
    EXPECT_EQ(Cli({"checkbyte", "Ä"}).out, Cli({"checkbyte", "["}).out);
    EXPECT_EQ(Cli({"checkbyte", "--", "--x"}).code, 0);
}

} // namespace
} // namespace vaskel

namespace vaskel {
namespace {

std::string Bytes(std::initializer_list<int> b) {
    std::string s;
    for (int x : b)
        s += static_cast<char>(x);
    return s;
}

TEST(CliDecode, ExampleStreamInAnyChunkSize) {
    const std::string stream =
        Bytes({0x82, 0x01, 0x00, 0x00, 0x00, 0x80, 0x61, 0x0D, 0x13, 0x83, 0x10, 0x00, 0x00, 0x00});
    const std::string want = "{\"event\":\"master\",\"index\":0,\"StartTicks\":1,\"EndTicks\":16,"
                             "\"ErrorFlags\":\"\",\"Text\":\"a\\u000D\\u0013\",\"Check\":0,"
                             "\"SentByDevice\":false}\n";
    for (const char* chunk : {"1", "3", "64"}) {
        const CliRun r = Cli({"decode", "--chunk", chunk, "-"}, kCatalogue, stream);
        EXPECT_EQ(r.code, 0);
        EXPECT_EQ(r.out, want) << chunk;
    }
}

TEST(CliDecode, EveryNotificationKind) {
    std::string stream =
        Bytes({0x88, 0xA5, 0x89}) + "V1.0" + Bytes({0x0D, 0x8A, 0x02}) + "ok" +
        Bytes({0x8B, 0x00, 0x8B, 0x01}) + Bytes({0x8E, 0x10, 0x27, 0x00, 0x00}) +
        Bytes({0x84, 0x01, 0, 0, 0, 0x8D, 0x61, 0x31, 0x0D, 0x23, 0x85, 0x02, 0, 0, 0});
    test::TempDir dir;
    const std::string file = dir.Write("stream.bin", stream);
    const CliRun r = Cli({"decode", file});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "{\"event\":\"status\",\"value\":165}\n"
                     "{\"event\":\"version\",\"text\":\"V1.0\"}\n"
                     "{\"event\":\"devicetext\",\"text\":\"ok\"}\n"
                     "{\"event\":\"upload\",\"reply\":\"urGoAhead\"}\n"
                     "{\"event\":\"upload\",\"reply\":\"urNotEnoughMenory\"}\n"
                     "{\"event\":\"recordcount\",\"value\":10000}\n"
                     "{\"event\":\"slave\",\"index\":0,\"StartTicks\":1,\"EndTicks\":2,"
                     "\"ErrorFlags\":\"S\",\"Text\":\"a1\\u000D#\",\"Check\":1,"
                     "\"SentByDevice\":true}\n");
}

TEST(CliDecode, MasterModeAndBadArguments) {
    // in master mode the start time does not start a new record: nothing
    // was sent, so the end time delivers nothing
    const std::string stream = Bytes({0x82, 1, 0, 0, 0, 0x83, 2, 0, 0, 0});
    EXPECT_EQ(Cli({"decode", "--master-mode", "-"}, kCatalogue, stream).out, "");
    EXPECT_EQ(Cli({"decode", "--chunk", "0", "-"}).code, 2);
    EXPECT_EQ(Cli({"decode", "--chunk", "x", "-"}).code, 2);
    EXPECT_EQ(Cli({"decode"}).code, 2);
    EXPECT_EQ(Cli({"decode", "--bogus", "-"}).code, 2);
    EXPECT_EQ(Cli({"decode", "/nonexistent/stream.bin"}).code, 1);
}

} // namespace
} // namespace vaskel

namespace vaskel {
namespace {

int CountOf(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1))
        ++n;
    return n;
}

TEST(CliEmulate, AMinuteOfVehicleTrafficDecodes) {
    const CliRun emu = Cli({"emulate", "--seconds", "60"});
    ASSERT_EQ(emu.code, 0);
    const CliRun dec = Cli({"decode", "-"}, kCatalogue, emu.out);
    const int masters = CountOf(dec.out, "\"event\":\"master\"");
    const int slaves = CountOf(dec.out, "\"event\":\"slave\"");
    const int clean = CountOf(dec.out, "\"ErrorFlags\":\"\"");
    EXPECT_GT(masters, 250);
    EXPECT_GT(slaves, 50);
    EXPECT_GT(clean, (masters + slaves) * 9 / 10) << "mostly error-free";
    EXPECT_EQ(CountOf(dec.out, "\"event\":\"status\""), 0);
    EXPECT_EQ(Cli({"emulate", "--seconds", "60"}).out, emu.out) << "same seed, same traffic";
    EXPECT_NE(Cli({"emulate", "--seconds", "60", "--seed", "2"}).out, emu.out);
}

TEST(CliEmulate, ScenariosAndStatus) {
    EXPECT_EQ(Cli({"emulate", "--scenario", "idle", "--seconds", "5"}).out, "");
    const CliRun st = Cli({"emulate", "--scenario=unpowered", "--seconds=3", "--with-status"});
    const CliRun dec = Cli({"decode", "-"}, kCatalogue, st.out);
    EXPECT_EQ(dec.out, "{\"event\":\"status\",\"value\":56}\n"
                       "{\"event\":\"status\",\"value\":24}\n"
                       "{\"event\":\"status\",\"value\":24}\n");
    // every telegram has a fault; those of status requests may be a missing
    // or late answer instead
    const CliRun faulty = Cli({"emulate", "--seconds", "30", "--fault-rate", "1"});
    const CliRun fdec = Cli({"decode", "-"}, kCatalogue, faulty.out);
    const int masters = CountOf(fdec.out, "\"event\":\"master\"");
    const int cleanMasters =
        CountOf(fdec.out, "\"ErrorFlags\":\"\"") - CountOf(fdec.out, "\"event\":\"slave\"");
    EXPECT_GT(masters, 50);
    EXPECT_LT(cleanMasters, masters / 4);
}

TEST(CliEmulate, BadArguments) {
    for (const auto& args : std::vector<std::vector<std::string>>{{"emulate", "--scenario", "tram"},
                                                                  {"emulate", "--seconds", "-1"},
                                                                  {"emulate", "--fault-rate", "2"},
                                                                  {"emulate", "--speed", "0"},
                                                                  {"emulate", "--seed", "x"},
                                                                  {"emulate", "--bogus", "1"},
                                                                  {"emulate", "--seconds"},
                                                                  {"emulate", "stray"}}) {
        const CliRun r = Cli(args);
        EXPECT_EQ(r.code, 2) << args[1];
        EXPECT_NE(r.err.find("Usage: vaskel-cli emulate"), std::string::npos);
    }
    EXPECT_EQ(Cli({"emulate", "--help"}).code, 0);
}

} // namespace
} // namespace vaskel

namespace vaskel {
namespace {

TEST(CliRecord, EmulatedStreamBecomesARepeatableProtocol) {
    test::TempDir dir;
    const std::string stream = dir.Write("s.bin", Cli({"emulate", "--seconds", "20"}).out);
    const CliRun r = Cli({"record", "--start-time", "08:00:00,000", "--date", "10.12.2026", stream,
                          dir / "a.PRO.CSV"});
    EXPECT_EQ(r.code, 0) << r.err;
    const std::string a = test::ReadFile(dir / "a.PRO.CSV");
    EXPECT_EQ(a.substr(0, 24), "\"M\";\"1\";\"28800000\";\"\";\"\"");
    EXPECT_GT(CountOf(a, "\r\n"), 100);
    EXPECT_GT(CountOf(a, ";\"4\"\r\n"), 5) << "answers paired with their requests";
    Cli({"record", "--start-time=08:00:00,000", stream, dir / "b.PRO.CSV"});
    EXPECT_EQ(test::ReadFile(dir / "b.PRO.CSV"), a) << "the same start time, the same protocol";
    // from standard input
    const CliRun piped = Cli({"record", "--start-time", "08:00:00,000", "-", dir / "c.PRO.CSV"},
                             kCatalogue, test::ReadFile(stream));
    EXPECT_EQ(piped.code, 0);
    EXPECT_EQ(test::ReadFile(dir / "c.PRO.CSV"), a);
}

// Telegrams whose text the device sends (a read-out of its recording, say)
// are recorded alike whether the device was bus master or not: a text is
// never appended to a record of its own, each is a master telegram ("M"),
// not the own transmission ("N").
TEST(CliRecord, TextsFromTheDeviceInMasterModeAreRowsOfTheirOwn) {
    test::TempDir dir;
    const std::string stream =
        dir.Write("s.bin", Cli({"emulate", "--seconds", "60", "--fault-rate", "0"}).out);
    ASSERT_EQ(Cli({"record", "--start-time", "08:00:00,000", "--date", "10.12.2026", stream,
                   dir / "slave.PRO.CSV"})
                  .code,
              0);
    ASSERT_EQ(Cli({"record", "--master-mode", "--start-time", "08:00:00,000", "--date",
                   "10.12.2026", stream, dir / "master.PRO.CSV"})
                  .code,
              0);
    const std::string slave = test::ReadFile(dir / "slave.PRO.CSV");
    EXPECT_GT(CountOf(slave, "\"M\";"), 256) << "more telegrams than the ring has records";
    EXPECT_EQ(test::ReadFile(dir / "master.PRO.CSV"), slave);
}

// Faulty traffic, recorded: the rows' start times never run backwards, also
// around telegrams aborted by the time-out.
TEST(CliRecord, FaultyTrafficKeepsItsStartTimesInOrder) {
    test::TempDir dir;
    for (const char* seed : {"4", "11"}) {
        const std::string stream = dir.Write(
            "f.bin", Cli({"emulate", "--seconds", "300", "--seed", seed, "--fault-rate", "0.05"}).out);
        ASSERT_EQ(Cli({"record", "--start-time", "08:00:00,000", stream, dir / "f.PRO.CSV"}).code, 0);
        TTable t = MakeProtocolTable();
        LoadFromCSV(t, dir / "f.PRO.CSV", '"', nullptr, std::nullopt, ';');
        ASSERT_GT(t.RowCount(), 1000) << "seed " << seed;
        int aborted = 0;
        for (int r = 0; r < t.RowCount(); ++r) {
            aborted += t.Cell(pcErrors, r).find('A') != std::string_view::npos;
            if (r == 0) continue;
            ASSERT_GE(std::stoll(std::string(t.Cell(pcStart, r))),
                      std::stoll(std::string(t.Cell(pcStart, r - 1))))
                << "seed " << seed << ", row " << r + 1 << " (" << t.Cell(pcErrors, r) << ")";
        }
        EXPECT_GT(aborted, 5) << "seed " << seed;
    }
}

TEST(CliRecord, BadArguments) {
    test::TempDir dir;
    const std::string s = dir.Write("s.bin", "");
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"record", s},
             {"record", "--start-time", "8:00", s, dir / "o.PRO.CSV"},
             {"record", "--date", "2026-12-10", s, dir / "o.PRO.CSV"},
             {"record", "--bogus", s, dir / "o.PRO.CSV"}})
        EXPECT_EQ(Cli(args).code, 2);
    EXPECT_EQ(Cli({"record", dir / "missing.bin", dir / "o.PRO.CSV"}).code, 2);
    EXPECT_EQ(Cli({"record", "--catalogue", dir / "none.CSV", s, dir / "o.PRO.CSV"}).code, 2);
    EXPECT_EQ(Cli({"record", s, dir / "no/dir/o.PRO.CSV"}).code, 2);
}

TEST(CliReanalyse, OlderFormsAndErrors) {
    test::TempDir dir;
    const std::string in =
        dir.Write("old.PRO.CSV", "'M','1','1000','','','l001\r/','','','','',\r\n"
                                 "'S','2','1100','','','a10\r\x12','','','','',\r\n");
    const std::string before = test::ReadFile(in);
    const CliRun r = Cli({"reanalyse", in, dir / "new.PRO.CSV"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(test::ReadFile(in), before) << "the input stays as it was";
    const std::string out = test::ReadFile(dir / "new.PRO.CSV");
    EXPECT_EQ(out.substr(0, 15), "\"M\";\"1\";\"1000\";");
    EXPECT_NE(out.find("\"001\";\"Liniennummer\""), std::string::npos);
    EXPECT_NE(out.find("\"120\""), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "new.PRO.CSV.vaskel-in"));

    const std::string bad = dir.Write("bad.PRO.CSV", "\"M\"\r\nnothing\r\n");
    const CliRun e = Cli({"reanalyse", bad, dir / "x.PRO.CSV"});
    EXPECT_EQ(e.code, 2);
    EXPECT_NE(e.err.find("Ungültiges Protokollformat"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "x.PRO.CSV"));
    EXPECT_EQ(Cli({"reanalyse", dir / "missing.PRO.CSV", dir / "y.PRO.CSV"}).code, 2);
    EXPECT_EQ(Cli({"reanalyse", in}).code, 2);
}

// Only a protocol is re-analysed, and only a whole one: anything else ends
// with its own message and a non-zero exit, and nothing is written.
TEST(CliReanalyse, RefusesWhatIsNoWholeProtocol) {
    test::TempDir dir;
    const std::string row = "\"M\";\"1\";\"1000\";\"\";\"\";\"l001\r/\";\"\";\"\";\"\";\"\"\r\n";
    std::string cut = row + row;
    cut.erase(cut.size() - 3, 1); // the last field's closing quote
    struct TCase {
        const char* Name;
        std::string Content;
        const char* Err;
    };
    const TCase cases[] = {
        {"text with a semicolon in its last line", "Hallo Welt\r\nx;y\r\n",
         "Ungültiges Protokollformat"},
        {"quotes in some fields only", "M;1;\"1000\";;;l001;;;;\r\n", "nicht eindeutig"},
        {"last line cut inside quotes", cut, "line 2"},
    };
    for (const TCase& c : cases) {
        const std::string in = dir.Write("in.PRO.CSV", c.Content);
        const CliRun r = Cli({"reanalyse", in, dir / "out.PRO.CSV"});
        EXPECT_EQ(r.code, 2) << c.Name;
        EXPECT_NE(r.err.find(c.Err), std::string::npos) << c.Name << ": " << r.err;
        EXPECT_FALSE(std::filesystem::exists(dir / "out.PRO.CSV")) << c.Name;
        EXPECT_EQ(test::ReadFile(in), c.Content) << c.Name;
    }
}

TEST(CliAnalyse, RowsByTheirKindAndBadRows) {
    test::TempDir dir;
    const std::string in = dir.Write(
        "rec.PRO.CSV", "\"M\";\"1\";\"1000\";\"\";\"\";\"l001\r/\";\"\";\"001\";\"\";\"\"\r\n"
                       "\"M\";\"2\";\"1100\";\"\";\"S\";\"k07\r\x18\";\"\";\"002\";\"\";\"\"\r\n");
    const std::string before = test::ReadFile(in);
    const CliRun r = Cli({"analyse", in, "2", "1"});
    EXPECT_EQ(r.code, 0) << r.err;
    // in the order asked, each with its kind, fields apart by " | "
    const auto error = r.out.find("row 2: error\n");
    const auto general = r.out.find("row 1: general\n");
    ASSERT_NE(error, std::string::npos) << r.out;
    ASSERT_NE(general, std::string::npos) << r.out;
    EXPECT_LT(error, general);
    EXPECT_NE(r.out.find("  Prüfsummenfehler | X"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("  DS-Nr.: | 001"), std::string::npos) << r.out;
    EXPECT_EQ(test::ReadFile(in), before) << "the protocol is only read";

    struct TCase {
        std::vector<std::string> Args;
        const char* Err;
    };
    const TCase bad[] = {
        {{"analyse", in}, "a ROW"},
        {{"analyse", in, "0"}, "not a row number: 0"},
        {{"analyse", in, "x1"}, "not a row number: x1"},
        {{"analyse", in, "3"}, "row 3 is not in the protocol (2 rows)"},
        {{"analyse", dir / "missing.PRO.CSV", "1"}, ""},
    };
    for (const TCase& c : bad) {
        const CliRun e = Cli(c.Args);
        EXPECT_EQ(e.code, 2) << c.Args.back();
        EXPECT_NE(e.err.find(c.Err), std::string::npos) << e.err;
    }
}

TEST(CliResponses, FromAProtocol) {
    test::TempDir dir;
    const std::string stream = dir.Write("s.bin", Cli({"emulate", "--seconds", "20"}).out);
    Cli({"record", "--start-time", "08:00:00,000", stream, dir / "p.PRO.CSV"});
    const CliRun r = Cli({"responses", dir / "p.PRO.CSV", dir / "r.ANT.CSV"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(test::ReadFile(dir / "r.ANT.CSV"),
              "\"Ok\";\"Aufruf\";\"Antwort\";\"Reaktionszeit\"\r\n"
              "-1;\"a1\";\"a10\";1\r\n"
              "-1;\"a2\";\"a20\";1\r\n"
              "-1;\"a3\";\"a30\";1\r\n"
              "-1;\"a8\";\"a80\";1\r\n");
    const std::string none =
        dir.Write("n.PRO.CSV", "\"M\";\"1\";\"0\";\"\";\"\";\"l001\r/\";\"\";\"\";\"\";\"\"\r\n");
    const CliRun n = Cli({"responses", none, dir / "n.ANT.CSV"});
    EXPECT_EQ(n.code, 2);
    EXPECT_NE(n.err.find("keine gültigen Slaveantworten"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "n.ANT.CSV"));
}

// The figures of a recorded protocol as JSON, with the names scripts rely
// on; a protocol that is none and bad options exit 2.
TEST(CliStats, FiguresOfARecordingAsJson) {
    test::TempDir dir;
    const std::string stream = dir.Write("s.bin", Cli({"emulate", "--seconds", "60"}).out);
    Cli({"record", "--start-time", "08:00:00,000", stream, dir / "p.PRO.CSV"});
    const CliRun r = Cli({"stats", dir / "p.PRO.CSV"});
    ASSERT_EQ(r.code, 0) << r.err;
    for (const char* name :
         {"{\"rows\": ", "\"recordTypes\": {", "\"addresses\": {", "\"errors\": {\"F\": ",
          "\"requests\": ", "\"answers\": ", "\"unanswered\": ", "\"invalid\": ",
          "\"reactionMs\": {\"count\": ", "\"median\": ", "\"p95\": ", "\"histogram\": [[",
          "\"timeline\": {\"bucketSeconds\": 1, \"buckets\": [{\"start\": \"08:00:00\"",
          "\"charsPerSecond\": ", "\"021\": {\"count\": "})
        EXPECT_NE(r.out.find(name), std::string::npos) << name << "\n" << r.out;
    // the four displays of the virtual bus answer every request
    for (const char* address : {"\"1\": {", "\"2\": {", "\"3\": {", "\"8\": {"})
        EXPECT_NE(r.out.find(address), std::string::npos) << address;
    EXPECT_NE(r.out.find("\"unpairedAnswers\": 0,"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.back(), '\n');
    const CliRun wide = Cli({"stats", "--bucket-seconds", "30", dir / "p.PRO.CSV"});
    EXPECT_NE(wide.out.find("\"bucketSeconds\": 30, \"buckets\": [{\"start\": \"08:00:00\""),
              std::string::npos)
        << wide.out;

    const std::string text = dir.Write("t.PRO.CSV", "no protocol at all\r\n");
    struct Case {
        std::vector<std::string> Args;
        const char* Words;
    };
    for (const Case& c : {Case{{"stats"}, "one protocol"},
                          Case{{"stats", "--bucket-seconds", "0", text}, "1 to 86400"},
                          Case{{"stats", "--nope", text}, "unknown option"},
                          Case{{"stats", text}, "Protokollformat"},
                          Case{{"stats", dir / "missing.PRO.CSV"}, "does not exist"}}) {
        const CliRun bad = Cli(c.Args);
        EXPECT_EQ(bad.code, 2) << c.Words;
        EXPECT_NE(bad.err.find(c.Words), std::string::npos) << bad.err;
        EXPECT_TRUE(bad.out.empty());
    }
}

// A firmware file as the upload reads it: range, blocks, version; a broken
// record, a file without the identity and bad arguments fail.
TEST(CliFirmware, CheckReadsTheFileAsTheUploadDoes) {
    test::TempDir dir;
    // "V1.0 Vaskel/AT91SAM7S256" at 0x1000 and a byte at 0x1040 (two blocks)
    const std::string good =
        dir.Write("fw.a79", ":1810000056312E30205661736B656C2F4154393153414D375332353637\r\n"
                            ":01104000FFB0\r\n"
                            ":00000001FF\r\n");
    const CliRun r = Cli({"firmware", "check", good});
    ASSERT_EQ(r.code, 0) << r.err << r.out;
    EXPECT_EQ(r.out, "addresses 0x00001000-0x00001040\n"
                     "blocks 2 of 63 bytes\n"
                     "identity Vaskel/AT91SAM7S256\n"
                     "version V1.0 Vaskel/AT91SAM7S256\n");

    const std::string bad =
        dir.Write("bad.a79", ":0110000041AE\r\n:0110010042AD\r\n:00000001FF\r\n");
    const CliRun b = Cli({"firmware", "check", bad});
    EXPECT_EQ(b.code, 1);
    EXPECT_EQ(b.err, "vaskel-cli: Formatfehler in Zeile: 2\n");
    const std::string none = dir.Write("none.a79", ":0110000041AE\r\n:00000001FF\r\n");
    const CliRun n = Cli({"firmware", "check", none});
    EXPECT_EQ(n.code, 1);
    EXPECT_NE(n.err.find("Keine g\xC3\xBCltige Programmversion!"), std::string::npos) << n.err;
    for (const std::vector<std::string>& args : {std::vector<std::string>{"firmware"},
                                                 {"firmware", "upgrade", good},
                                                 {"firmware", "check"},
                                                 {"firmware", "check", dir / "missing.a79"}})
        EXPECT_EQ(Cli(args).code, 2) << args.size();
}

// Every bad file named on the command line: its own words, a failing exit,
// nothing written, and none of the words that belong to other faults.
TEST(CliBadFiles, EachHasItsOwnWordsAndAFailingExit) {
    test::TempDir dir;
    const std::string folder = dir / "folder";
    std::filesystem::create_directory(folder);
    const std::string missing = dir / "missing.PRO.CSV";
    const std::string empty = dir.Write("empty.CSV", "");
    const std::string comments = dir.Write("comments.CSV", "// nothing but a comment\r\n\r\n");
    const std::string stream = dir.Write("s.bin", Cli({"emulate", "--seconds", "20"}).out);
    const std::string protocol = dir / "p.PRO.CSV";
    ASSERT_EQ(Cli({"record", "--start-time", "08:00:00,000", stream, protocol}).code, 0);
    const std::string out = dir / "out.CSV";
    const std::string noFolder = dir / "no/out.CSV";
    // an existing output whose backup cannot be written: the write fails
    const std::string blocked = dir.Write("blocked.PRO.CSV", "x");
    std::filesystem::create_directory(dir / "blocked.PRO.BAK");

    struct Case {
        std::vector<std::string> args;
        std::string says;
        std::vector<std::string> never; // words of other faults
    };
    const std::vector<std::string> inputWords = {"Format", "format", "Slaveantworten",
                                                 "kein g\xC3\xBCltiges", "cannot write"};
    const std::vector<std::string> outputWords = {"Format",    "Slaveantworten", "backup",
                                                  "vaskel-in", "cannot read",    "Exception"};
    const Case cases[] = {
        // a folder given as the file to read
        {{"decode", folder}, "stream " + folder + " is a folder, not a file", inputWords},
        {{"record", folder, out}, "stream " + folder + " is a folder, not a file", inputWords},
        {{"classify", "--catalogue", folder, "l001"},
         "catalogue " + folder + " is a folder, not a file",
         inputWords},
        {{"reanalyse", folder, out}, "protocol " + folder + " is a folder, not a file", inputWords},
        {{"analyse", folder, "1"}, "protocol " + folder + " is a folder, not a file", inputWords},
        {{"responses", folder, out}, "protocol " + folder + " is a folder, not a file", inputWords},
        {{"simulate", "--call-list", folder, out},
         "call list " + folder + " is a folder, not a file",
         inputWords},
        {{"simulate", "--protocol", missing, out},
         "protocol " + missing + " does not exist",
         inputWords},
        {{"simulate", "--catalogue", empty, out},
         "catalogue " + empty + " holds no record types",
         inputWords},
        {{"simulate", folder}, "cannot write " + folder + ": it is a folder", outputWords},
        // a catalogue without record types
        {{"classify", "--catalogue", empty, "l001"},
         "catalogue " + empty + " holds no record types",
         inputWords},
        {{"classify", "--catalogue", comments, "l001"},
         "catalogue " + comments + " holds no record types",
         inputWords},
        {{"record", "--catalogue", empty, stream, out},
         "catalogue " + empty + " holds no record types",
         inputWords},
        // a file that is not there
        {{"decode", missing}, "stream " + missing + " does not exist", inputWords},
        {{"record", missing, out}, "stream " + missing + " does not exist", inputWords},
        {{"reanalyse", missing, out}, "protocol " + missing + " does not exist", inputWords},
        {{"analyse", missing, "1"}, "protocol " + missing + " does not exist", inputWords},
        {{"responses", missing, out}, "protocol " + missing + " does not exist", inputWords},
        // a folder given as the file to write
        {{"record", stream, folder}, "cannot write " + folder + ": it is a folder", outputWords},
        {{"reanalyse", protocol, folder},
         "cannot write " + folder + ": it is a folder",
         outputWords},
        {{"responses", protocol, folder},
         "cannot write " + folder + ": it is a folder",
         outputWords},
        // a file to write in a folder that is not there
        {{"record", stream, noFolder},
         "cannot write " + noFolder + ": the folder " + dir / "no" + " does not exist",
         outputWords},
        {{"reanalyse", protocol, noFolder},
         "cannot write " + noFolder + ": the folder " + dir / "no" + " does not exist",
         outputWords},
        {{"responses", protocol, noFolder},
         "cannot write " + noFolder + ": the folder " + dir / "no" + " does not exist",
         outputWords},
        // a write that fails: the reason, no internal names
        {{"record", stream, blocked},
         "cannot write " + blocked + ": ",
         {"TfMonitorForm", "Exception", "EFileError", "stream"}},
    };
    for (const Case& c : cases) {
        std::string line;
        for (const auto& a : c.args)
            line += a + " ";
        const CliRun r = Cli(c.args);
        EXPECT_NE(r.code, 0) << line;
        EXPECT_EQ(r.out, "") << line;
        EXPECT_EQ(r.err.rfind("vaskel-cli: " + c.says, 0), 0u) << line << "\n" << r.err;
        for (const std::string& w : c.never)
            EXPECT_EQ(r.err.find(w), std::string::npos) << line << "\n" << r.err;
    }
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_EQ(test::ReadFile(blocked), "x");
}

} // namespace
} // namespace vaskel
