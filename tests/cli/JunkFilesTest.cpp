// Every command that reads protocols, lists or catalogues, run against
// files that are none: each must end, with an exit status other than 0 and
// a message, and write nothing. The junk is made here, at test time.

#include "cli/CliCommands.h"
#include "cli/CliRun.h"
#include "lists/ListFiles.h"
#include "telegram/DelimitedText.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

namespace vaskel {
namespace {

using test::Cli;
using test::CliRun;

namespace fs = std::filesystem;

struct TJunk {
    std::string Name;
    std::string File;
    bool Huge = false; // the 50 MB line: run by a few commands only
};

// The junk files, written into dir. Each name says what the file holds.
std::vector<TJunk> MakeJunk(const test::TempDir& dir) {
    std::vector<TJunk> junk;
    auto add = [&](const std::string& name, const std::string& bytes) {
        junk.push_back({name, dir.Write("junk-" + name, bytes)});
    };
    add("empty", "");
    std::mt19937 gen(11);
    std::string binary(64 * 1024, '\0');
    for (char& c : binary)
        c = static_cast<char>(gen() & 0xFF);
    add("binary", binary);
    add("nul-bytes", std::string(4096, '\0'));
    add("long-line", std::string(MaxLineBytes() + 1000, 'x'));
    // a protocol row, a list header and a catalogue line in UTF-16
    std::string utf16 = "\xFF\xFE";
    for (char c : std::string("\"M\";\"1\";\"0\";\"\";\"\";\"l001\";\"\";\"\";\"\";\"\"\r\n") +
                      kAufrufHeader + "\r\n\"001\";\"l 3Z\";\"l001\";-1;\"\";0;-1;\"Linie\"\r\n") {
        utf16 += c;
        utf16 += '\0';
    }
    add("utf-16", utf16);
    std::string columns = "\"x\"";
    for (int k = 1; k < 10000; ++k)
        columns += ";\"x\"";
    add("10000-columns", columns + "\r\n" + columns + "\r\n");
    add("separators-only", std::string(5000, ';') + "\r\n" + std::string(5000, ';') + "\r\n");
    add("cr-only", std::string(5000, '\r'));
    {
        const std::string huge = dir / "junk-50MB-line";
        std::ofstream f(huge, std::ios::binary);
        const std::string block(1 << 20, 'x');
        for (int k = 0; k < 50; ++k)
            f << block;
        junk.push_back({"50MB-line", huge, true});
    }
    return junk;
}

TEST(CliJunkFiles, EveryReaderRefusesEveryJunkFile) {
    test::TempDir dir;
    const std::vector<TJunk> junk = MakeJunk(dir);
    const std::string out = dir / "out.PRO.CSV";
    const std::string ant = dir / "out.ANT.CSV";
    const std::string pdf = dir / "out.pdf";
    // a well-formed protocol for the commands that read a catalogue
    const std::string protocol =
        dir.Write("ok.PRO.CSV", "\"M\";\"1\";\"0\";\"\";\"\";\"l001\r/\";\"\";\"\";\"\";\"\"\r\n");
    struct TCommand {
        std::vector<std::string> Args; // "@" stands for the junk file
        std::string Writes;            // the file it must not write
        bool Huge;                     // run with the 50 MB line too
    };
    const TCommand commands[] = {
        {{"analyse", "@", "1"}, "", true},
        {{"stats", "@"}, "", true},
        {{"filter", "@", out}, out, false},
        {{"filter", "--types", "021", "@", out}, out, false},
        {{"reanalyse", "@", out}, out, true},
        {{"responses", "@", ant}, ant, true},
        {{"print", "@", pdf}, pdf, false},
        {{"simulate", "--seconds", "1", "--call-list", "@", out}, out, true},
        {{"simulate", "--seconds", "1", "--response-list", "@", out}, out, true},
        {{"simulate", "--seconds", "1", "--protocol", "@", out}, out, false},
        {{"catalogue", "check", "@"}, "", true},
        {{"classify", "--catalogue", "@", "l001"}, "", true},
        {{"analyse", "--catalogue", "@", protocol, "1"}, "", false},
        {{"filter", "--catalogue", "@", protocol, out}, out, false},
        {{"record", "--catalogue", "@", protocol, out}, out, false},
        {{"firmware", "check", "@"}, "", true},
        {{"import", "@", out}, out, true},
        {{"import", "@", ant}, ant, false},
    };
    for (const TCommand& c : commands)
        for (const TJunk& j : junk) {
            if (j.Huge && !c.Huge) continue;
            std::vector<std::string> args = c.Args;
            for (auto& a : args)
                if (a == "@") a = j.File;
            std::error_code ec;
            fs::remove(out, ec);
            fs::remove(ant, ec);
            fs::remove(pdf, ec);
            const CliRun r = Cli(args);
            const std::string what = c.Args[0] + " " + c.Args[1] + " on " + j.Name;
            EXPECT_NE(r.code, kCliOk) << what << "\n" << r.out << r.err;
            EXPECT_FALSE(r.err.empty()) << what;
            if (!c.Writes.empty()) {
                EXPECT_FALSE(fs::exists(c.Writes)) << what << " wrote";
            }
        }
}

// Each kind of file cut in the middle (inside a quoted field, or halfway
// through for the kinds without quotes), as a copy that broke off: refused
// by every command that reads it, nothing written.
TEST(CliJunkFiles, EveryReaderRefusesItsKindCutInTheMiddle) {
    test::TempDir dir;
    const auto cut = [](const std::string& good) {
        const std::size_t middle = good.size() / 2;
        const std::size_t quote = good.find('"', middle);
        return good.substr(0, quote == std::string::npos ? middle : quote + 2);
    };
    std::string protocol;
    for (int k = 0; k < 20; ++k)
        protocol += "\"M\";\"" + std::to_string(k + 1) + "\";\"" + std::to_string(k * 100) +
                    "\";\"\";\"\";\"l00" + std::to_string(k % 10) + "\r/\";\"\";\"\";\"\";\"\"\r\n";
    std::string calls = std::string(kAufrufHeader) + "\r\n";
    std::string responses = std::string(kAntwortHeader) + "\r\n";
    for (int k = 0; k < 20; ++k) {
        calls += "-1;\"l00" + std::to_string(k % 10) + "\";\"Linie\";\"0:05\"\r\n";
        responses += "-1;\"a" + std::to_string(k) + "\";\"a" + std::to_string(k) + "7\";30\r\n";
    }
    const std::string hex = ":10000000000102030405060708090A0B0C0D0E0F78\r\n"
                            ":10001000101112131415161718191A1B1C1D1E1F68\r\n"
                            ":00000001FF\r\n";
    const std::string catalogue = test::ReadFile(test::kShippedCatalogue);
    const std::string files[][2] = {
        {"p.PRO.CSV", cut(protocol)},  {"c.AUF.CSV", cut(calls)},
        {"r.ANT.CSV", cut(responses)}, {"IBIS.CSV", cut(catalogue)},
        {"fw.hex", hex.substr(0, hex.size() / 2)},
    };
    for (const auto& [name, bytes] : files) dir.Write(name, bytes);
    const std::string out = dir / "out.PRO.CSV";
    const std::string ant = dir / "out.ANT.CSV";
    const std::string p = dir / "p.PRO.CSV";
    const std::vector<std::string> commands[] = {
        {"analyse", p, "1"},
        {"stats", p},
        {"filter", p, out},
        {"reanalyse", p, out},
        {"responses", p, ant},
        {"simulate", "--seconds", "1", "--protocol", p, out},
        {"simulate", "--seconds", "1", "--call-list", dir / "c.AUF.CSV", out},
        {"simulate", "--seconds", "1", "--response-list", dir / "r.ANT.CSV", out},
        {"catalogue", "check", dir / "IBIS.CSV"},
        {"classify", "--catalogue", dir / "IBIS.CSV", "l001"},
        {"firmware", "check", dir / "fw.hex"},
    };
    for (const auto& args : commands) {
        std::error_code ec;
        fs::remove(out, ec);
        fs::remove(ant, ec);
        const CliRun r = Cli(args);
        const std::string what = args[0] + " " + args[1];
        EXPECT_NE(r.code, kCliOk) << what << "\n" << r.out << r.err;
        EXPECT_FALSE(r.err.empty()) << what;
        EXPECT_FALSE(fs::exists(out)) << what << " wrote";
        EXPECT_FALSE(fs::exists(ant)) << what << " wrote";
    }
}

// IBIS_Frame.CSV beside the catalogue broken: the record types' groups
// cannot be known, so filtering by them is refused.
TEST(CliJunkFiles, FilterRefusesABrokenFrameFile) {
    test::TempDir dir;
    const std::string protocol = dir.Write(
        "p.PRO.CSV", "\"M\";\"1\";\"0\";\"\";\"\";\"aA105\r/\";\"\";\"021\";\"\";\"\"\r\n"
                     "\"M\";\"2\";\"9\";\"\";\"\";\"l001\r/\";\"\";\"001\";\"\";\"\"\r\n");
    const std::string catalogue = dir / "IBIS.CSV";
    fs::copy_file(test::kShippedCatalogue, catalogue);
    const std::string out = dir / "out.PRO.CSV";
    const std::string frame = dir / "IBIS_Frame.CSV";
    const std::string good = test::ReadFile(std::string(VASKEL_TEST_DATA_DIR) + "/IBIS_Frame.CSV");
    for (const std::string& broken : {std::string(), std::string(100, '\r'),
                                      std::string("\x01\x02\x03 junk", 9), std::string(50, '\0')}) {
        dir.Write("IBIS_Frame.CSV", broken);
        std::error_code ec;
        fs::remove(out, ec);
        const CliRun r = Cli({"filter", "--types", "021", protocol, out}, catalogue);
        EXPECT_EQ(r.code, kCliUsage) << test::Printable(broken) << r.out;
        EXPECT_NE(r.err.find("IBIS_Frame.CSV"), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(out));
    }
    // the same groups with LF and with CR line ends filter as the original
    for (const char* end : {"\n", "\r"}) {
        std::string converted = good;
        for (std::size_t p; (p = converted.find("\r\n")) != std::string::npos;)
            converted.replace(p, 2, end);
        dir.Write("IBIS_Frame.CSV", converted);
        const CliRun r = Cli({"filter", "--types", "021", protocol, out}, catalogue);
        ASSERT_EQ(r.code, kCliOk) << r.err;
        EXPECT_EQ(r.out, "written 1 of 2 rows\n");
    }
}

// Protocols that every other reader refuses are refused by responses and by
// simulate --protocol too: nothing is built, played or written.
TEST(CliHostileProtocols, ResponsesAndPlaybackRefuseWhatTheOtherReadersRefuse) {
    test::TempDir dir;
    const std::string good = "\"M\";\"1\";\"0\";\"\";\"\";\"a1\r/\";\"\";\"\";\"\";\"\"\r\n"
                             "\"S\";\"2\";\"50\";\"\";\"\";\"a10\r/\";\"\";\"\";\"\";\"\"\r\n";
    struct TCase {
        const char* Name;
        std::string Content;
        const char* Err;
    };
    const TCase cases[] = {
        // quoted rows, then rows without quotes
        {"mixed quoting", good + "M;3;100;;;x1;;;;\r\nS;4;120;;;e1;;;;\r\n", "line 3"},
        {"unclosed quote",
         good + "\"M\";\"3\";\"2000\";\"\";\"\";\"l012\r/;\"\";\"\";\"\";\"\"\r\n" + good,
         "line 3"},
        {"cut inside quotes", good + "\"M\";\"3\";\"2000\";\"\";\"\";\"l0", "line 3"},
    };
    const std::string ant = dir / "r.ANT.CSV";
    const std::string out = dir / "out.PRO.CSV";
    for (const TCase& c : cases) {
        const std::string protocol = dir.Write("p.PRO.CSV", c.Content);
        // the other readers refuse it, naming the line
        const CliRun a = Cli({"analyse", protocol, "1"});
        EXPECT_EQ(a.code, kCliUsage) << c.Name;
        EXPECT_NE(a.err.find(c.Err), std::string::npos) << c.Name << ": " << a.err;

        const CliRun r = Cli({"responses", protocol, ant});
        EXPECT_EQ(r.code, kCliUsage) << c.Name << ": " << r.err;
        EXPECT_NE(r.err.find("falsches Format"), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(ant)) << c.Name;

        const CliRun p = Cli({"simulate", "--seconds", "5", "--protocol", protocol, out});
        EXPECT_EQ(p.code, kCliUsage) << c.Name << ": " << p.err;
        EXPECT_NE(p.err.find(c.Err), std::string::npos) << c.Name << ": " << p.err;
        EXPECT_FALSE(fs::exists(out)) << c.Name;
        EXPECT_EQ(test::ReadFile(protocol), c.Content) << "the protocol is only read";
    }
    // the good rows alone still make a list and a playback
    const std::string protocol = dir.Write("g.PRO.CSV", good);
    EXPECT_EQ(Cli({"responses", protocol, ant}).code, kCliOk);
    EXPECT_EQ(Cli({"simulate", "--seconds", "5", "--protocol", protocol, out}).code, kCliOk);
}

// Lists with the line ends of other systems run row by row; a list without
// rows, a quote never closed and reaction times out of range are said.
TEST(CliHostileLists, LineEndsRefusalsAndClampedReactionTimes) {
    test::TempDir dir;
    const std::string out = dir / "out.PRO.CSV";
    for (const char* end : {"\n", "\r", "\r\n"}) {
        const std::string list =
            dir.Write("l.AUF.CSV", std::string(kAufrufHeader) + end + "-1;\"a1\";\"\";\"0:02\"" +
                                       end + "-1;\"l012\";\"\";\"0:05\"" + end);
        const CliRun r = Cli({"simulate", "--seconds", "10", "--call-list", list, out});
        ASSERT_EQ(r.code, kCliOk) << test::Printable(end) << r.err;
        EXPECT_EQ(r.err, "") << test::Printable(end);
        EXPECT_NE(r.out.rfind("0 telegrams sent", 0), 0u) << test::Printable(end) << r.out;
    }
    struct TCase {
        const char* Name;
        std::string Content;
        const char* Err;
    };
    const TCase refused[] = {
        {"header only", std::string(kAufrufHeader) + "\n", "holds no row"},
        {"empty", "", "holds no row"},
        {"unclosed quote",
         std::string(kAufrufHeader) + "\r\n-1;\"l012\";\"\";\"0:05\"\r\n-1;\"a1;\"\";\"0:10\"\r\n",
         "Line 3: a quote is never closed"},
    };
    for (const TCase& c : refused) {
        std::error_code ec;
        fs::remove(out, ec);
        const CliRun r = Cli(
            {"simulate", "--seconds", "10", "--call-list", dir.Write("b.AUF.CSV", c.Content), out});
        EXPECT_EQ(r.code, kCliUsage) << c.Name;
        EXPECT_NE(r.err.find(c.Err), std::string::npos) << c.Name << ": " << r.err;
        EXPECT_FALSE(fs::exists(out)) << c.Name;
        const CliRun s = Cli({"simulate", "--seconds", "10", "--response-list",
                              dir.Write("b.ANT.CSV", c.Content), out});
        EXPECT_EQ(s.code, kCliUsage) << c.Name << ": " << s.err;
        EXPECT_FALSE(fs::exists(out)) << c.Name;
    }

    const std::string responses =
        dir.Write("r.ANT.CSV", std::string(kAntwortHeader) + "\n-1;\"a1\";\"a17\";2147483648\n"
                                                             "-1;\"a2\";\"a27\";\"NaN\"\n"
                                                             "-1;\"a3\";\"a37\";30\n");
    const CliRun r = Cli({"simulate", "--seconds", "10", "--response-list", responses, out});
    ASSERT_EQ(r.code, kCliOk) << r.err;
    EXPECT_NE(r.err.find("row 1: reaction time \"2147483648\" is outside 0 to 1000 ms: the "
                         "device answers after 1000 ms"),
              std::string::npos)
        << r.err;
    EXPECT_NE(
        r.err.find("row 2: reaction time \"NaN\" is no number: the device answers after 9 ms"),
        std::string::npos)
        << r.err;
    EXPECT_EQ(r.err.find("row 3"), std::string::npos) << r.err;
}

// The shipped catalogue with its lines ended alternately by CR, LF and
// CR LF checks and classifies as the original; files without record types
// fail the check as the loader refuses them.
TEST(CliHostileCatalogue, MixedLineEndsAndCataloguesWithoutRecordTypes) {
    test::TempDir dir;
    const std::string original = test::ReadFile(test::kShippedCatalogue);
    std::string mixed;
    int k = 0;
    for (std::size_t at = 0; at < original.size();) {
        std::size_t end = original.find("\r\n", at);
        if (end == std::string::npos) end = original.size();
        mixed += original.substr(at, end - at);
        static const char* const ends[] = {"\r", "\n", "\r\n"};
        mixed += ends[k++ % 3];
        at = end + 2;
    }
    const std::string file = dir.Write("IBIS.CSV", mixed);
    const CliRun shipped = Cli({"catalogue", "check"});
    const CliRun r = Cli({"catalogue", "check", file});
    EXPECT_EQ(r.code, kCliOk) << r.out;
    EXPECT_EQ(r.err, shipped.err) << "as many record types, none failing";
    const CliRun c = Cli({"classify", "--catalogue", file, "lF12345"});
    EXPECT_EQ(c.code, kCliOk);
    EXPECT_NE(c.out.find("\"RecordNo\":\"001b\""), std::string::npos) << c.out;

    for (const std::string& none : {std::string(), std::string(64, '\0'), std::string(64, '\r'),
                                    std::string("// nur Kommentar\r\n")}) {
        const std::string empty = dir.Write("E.CSV", none);
        const CliRun e = Cli({"catalogue", "check", empty});
        EXPECT_EQ(e.code, kCliFailure) << test::Printable(none);
        EXPECT_NE(e.err.find("0 record types checked"), std::string::npos) << e.err;
        EXPECT_EQ(Cli({"classify", "--catalogue", empty, "l001"}).code, kCliUsage);
    }
    const std::string flags =
        dir.Write("F.CSV", "\"001\";\"l 3Z\";\"l001\";-1;\"\";0;-1;\"Linie\"\r\n"
                           "\"002\";\"k 2Z\";\"k07\";-1;\"\";yes;-1;\"Kurs\"\r\n");
    const CliRun f = Cli({"catalogue", "check", flags});
    EXPECT_EQ(f.code, kCliFailure);
    EXPECT_EQ(f.out, "Line 2, DS 002: field 6 is no flag (-1 or 0)\n");
    const CliRun fc = Cli({"classify", "--catalogue", flags, "l001"});
    EXPECT_EQ(fc.code, kCliUsage);
    EXPECT_NE(fc.err.find("line 2: field 6 is no flag"), std::string::npos) << fc.err;
}

} // namespace
} // namespace vaskel
