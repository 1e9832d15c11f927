// The call- and response-list readers against files no editor wrote: other
// line ends, quotes never closed, files without rows, junk, endless lines,
// reaction times out of range.

#include "lists/ListFiles.h"
#include "simulation/SlaveSimulation.h"
#include "telegram/DelimitedText.h"
#include "telegram/Errors.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>

namespace vaskel {
namespace {

using K = TCallListProblem::TKind;

std::string RandomBytes(std::size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    std::string s(n, '\0');
    for (char& c : s)
        c = static_cast<char>(gen() & 0xFF);
    return s;
}

std::string ManyFields(int n) {
    std::string s = "-1";
    for (int k = 1; k < n; ++k)
        s += ";\"x\"";
    return s;
}

TEST(HostileCallList, EveryFileEitherLoadsWholeOrIsRefusedNamingTheLine) {
    const std::string h = kAufrufHeader;
    struct TCase {
        const char* Name;
        std::string Content;
        std::vector<std::string> Calls; // what is sent, when it loads
        K Fault;                        // K::None: it loads
        int Line;                       // -1: refused, whatever the fault and line
    };
    const TCase cases[] = {
        {"CR LF",
         h + "\r\n-1;\"a1\";\"\";\"0:10\"\r\n-1;\"l012\";\"\";\"0:05\"\r\n",
         {"a1", "l012"},
         K::None,
         0},
        {"LF",
         h + "\n-1;\"a1\";\"\";\"0:10\"\n-1;\"l012\";\"\";\"0:05\"\n",
         {"a1", "l012"},
         K::None,
         0},
        {"CR",
         h + "\r-1;\"a1\";\"\";\"0:10\"\r-1;\"l012\";\"\";\"0:05\"\r",
         {"a1", "l012"},
         K::None,
         0},
        {"mixed",
         h + "\n-1;\"a1\";\"\";\"0:10\"\r-1;\"l012\";\"\";\"0:05\"\r\n0;\"k1\";\"\";\"0:01\"\n"
             "-1;\"z034\";\"\";\"0:00\"",
         {"a1", "l012", "z034"},
         K::None,
         0},
        {"LF inside quotes stays data",
         h + "\n-1;\"a1\nb\";\"\";\"0:10\"\n",
         {"a1\nb"},
         K::None,
         0},
        {"comma form with LF",
         std::string(kAufrufHeaderComma) + "\n'-1','a1','','0:10',\n",
         {"a1"},
         K::None,
         0},
        {"only inactive rows", h + "\r\n0;\"a1\";\"\";\"0:10\"\r\n", {}, K::None, 0},
        {"unclosed quote",
         h + "\r\n-1;\"l012\";\"\";\"0:05\"\r\n-1;\"a1;\"\";\"0:10\"\r\n"
             "-1;\"z034\";\"\";\"0:00\"\r\n",
         {},
         K::Unterminated,
         3},
        {"unclosed quote closed later",
         h + "\r\n-1;\"a1;\";\"0:10\r\n-1;\"l012\";\"\";\"0:05\"\r\n"
             "0;\"k1\";\"\";\"0:01\r\n",
         {},
         K::FieldCount,
         2},
        {"empty", "", {}, K::NoRows, 0},
        {"NUL bytes", std::string(64, '\0'), {}, K::NoHeader, 1},
        {"header only", h + "\r\n", {}, K::NoRows, 0},
        {"header only, LF", h + "\n\n\n", {}, K::NoRows, 0},
        {"no header", "-1;\"a1\";\"\";\"0:10\"\r\n", {}, K::NoHeader, 1},
        {"random bytes", RandomBytes(4096, 7), {}, K::NoHeader, -1},
        {"separators only",
         std::string(200, ';') + "\r\n" + std::string(200, ';'),
         {},
         K::NoHeader,
         1},
        {"10,000 columns", h + "\r\n" + ManyFields(10000) + "\r\n", {}, K::FieldCount, 2},
        {"Ok no boolean", h + "\r\n\r\nja;\"a1\";\"\";\"0:10\"\r\n", {}, K::NoBoolean, 3},
        {"interval too long",
         h + "\r\n-1;\"a1\";\"\";\"99999999999:00\"\r\n",
         {},
         K::BadInterval,
         2},
        {"wrong encoding (UTF-16)",
         std::string("\xFF\xFE\"\0O\0k\0\"\0;\0", 12),
         {},
         K::NoHeader,
         1},
        {"line too long",
         h + "\r\n-1;\"a1\";\"\";\"0:10\"\r\n" + std::string(MaxLineBytes() + 1, 'x'),
         {},
         K::LineTooLong,
         3},
    };
    test::TempDir dir;
    for (const TCase& c : cases) {
        const std::string file = dir.Write("l.AUF.CSV", c.Content);
        std::vector<tAufruf> entries;
        std::optional<TCallListProblem> problem;
        try {
            LoadCallList(file, entries);
        } catch (const ECallListError& e) {
            problem = e.Problem;
        }
        if (c.Fault == K::None) {
            ASSERT_FALSE(problem) << c.Name << ": " << CallListProblemText(*problem, 2);
            std::vector<std::string> calls;
            for (const tAufruf& a : entries)
                calls.push_back(a.Aufruf);
            EXPECT_EQ(calls, c.Calls) << c.Name;
            continue;
        }
        ASSERT_TRUE(problem) << c.Name << " loads " << entries.size() << " entries";
        if (c.Line < 0) continue;
        EXPECT_EQ(problem->Kind, c.Fault) << c.Name << ": " << CallListProblemText(*problem, 2);
        EXPECT_EQ(problem->Line, c.Line) << c.Name;
        if (c.Line > 0) {
            EXPECT_NE(CallListProblemText(*problem, 2).find("Line " + std::to_string(c.Line)),
                      std::string::npos);
            EXPECT_NE(CallListProblemText(*problem, 1).find("Zeile " + std::to_string(c.Line)),
                      std::string::npos);
        }
    }
}

TEST(HostileResponseList, LineEndsJunkAndReactionTimes) {
    const std::string h = kAntwortHeader;
    using P = TResponseRowProblem;
    struct TCase {
        const char* Name;
        std::string Content;
        TAntwortListe List;
        P Problem;
    };
    const TCase cases[] = {
        {"CR LF",
         h + "\r\n-1;\"a1\";\"a10\";20\r\n-1;\"a2\";\"a20\";30\r\n",
         {{"a1", "a10", 20}, {"a2", "a20", 30}},
         P::None},
        {"LF",
         h + "\n-1;\"a1\";\"a10\";20\n-1;\"a2\";\"a20\";30\n",
         {{"a1", "a10", 20}, {"a2", "a20", 30}},
         P::None},
        {"CR",
         h + "\r-1;\"a1\";\"a10\";20\r-1;\"a2\";\"a20\";30\r",
         {{"a1", "a10", 20}, {"a2", "a20", 30}},
         P::None},
        {"mixed",
         h + "\n-1;\"a1\";\"a10\";20\r-1;\"a2\";\"a20\";30\r\n0;\"a3\";\"a30\";1\n"
             "-1;\"a4\";\"a40\";40",
         {{"a1", "a10", 20}, {"a2", "a20", 30}, {"a4", "a40", 40}},
         P::None},
        {"comma form with LF",
         std::string(kAntwortHeaderComma) + "\n'-1','a1','a10','20',\n",
         {{"a1", "a10", 20}},
         P::None},
        {"only inactive rows", h + "\r\n0;\"a1\";\"a10\";20\r\n", {}, P::None},
        {"empty", "", {}, P::NoRows},
        {"NUL bytes", std::string(64, '\0'), {}, P::NoRows},
        {"header only", h + "\r\n", {}, P::NoRows},
        {"random bytes", RandomBytes(4096, 7), {}, P::NoBoolean}, // a line of four fields
        {"separators only", std::string(200, ';'), {}, P::NoRows},
        {"10,000 columns", h + "\r\n" + ManyFields(10000) + "\r\n", {}, P::NoRows},
        {"unclosed quote",
         h + "\r\n-1;\"a1\";\"a10;20\r\n-1;\"a2\";\"a20\";30\r\n",
         {},
         P::Unterminated},
        {"line too long", h + "\r\n" + std::string(MaxLineBytes() + 1, 'x'), {}, P::LineTooLong},
    };
    test::TempDir dir;
    for (const TCase& c : cases) {
        const TResponseListCheck check = CheckResponseList(dir.Write("r.ANT.CSV", c.Content));
        EXPECT_EQ(check.Problem, c.Problem) << c.Name << ": " << ResponseRowProblemText(check);
        EXPECT_EQ(check.List, c.List) << c.Name;
    }
}

// Out of range: clamped into 0 to 1000 ms as the editor clamps a typed
// value; no decimal number: 9 ms. Each is noted with its row.
TEST(HostileResponseList, ReactionTimesAreClampedAndNoted) {
    struct TCase {
        const char* Field;
        uint16_t Ms;
        bool Noted, Clamped;
    };
    const TCase cases[] = {
        {"0", 0, false, false},
        {"1000", 1000, false, false},
        {"250", 250, false, false},
        {"2147483648", 1000, true, true},
        {"-1", 0, true, true},
        {"9223372036854775808", 1000, true, true},
        {"100000000000000000000", 1000, true, true},
        {"1001", 1000, true, true},
        {"\"NaN\"", 9, true, false},
        {"\"1e9\"", 9, true, false},
        {"\"\"", 9, true, false},
    };
    test::TempDir dir;
    for (const TCase& c : cases) {
        const std::string file = dir.Write("r.ANT.CSV", std::string(kAntwortHeader) +
                                                            "\r\n-1;\"a1\";\"a10\";20\r\n"
                                                            "-1;\"a2\";\"a20\";" +
                                                            c.Field + "\r\n");
        const TResponseListCheck check = CheckResponseList(file);
        ASSERT_TRUE(check.Ok()) << c.Field << ": " << ResponseRowProblemText(check);
        ASSERT_EQ(check.List.size(), 2u);
        EXPECT_EQ(check.List[1].ReactionMs, c.Ms) << c.Field;
        ASSERT_EQ(check.Notes.size(), c.Noted ? 1u : 0u) << c.Field;
        if (!c.Noted) continue;
        EXPECT_EQ(check.Notes[0].Row, 2) << c.Field;
        EXPECT_EQ(check.Notes[0].Ms, c.Ms);
        EXPECT_EQ(check.Notes[0].Clamped, c.Clamped) << c.Field;
        EXPECT_NE(ReactionNoteText(check.Notes[0]).find("row 2"), std::string::npos);
    }
}

// The editors read with the table reader: LF and CR line ends keep rows
// apart there too.
TEST(HostileListEditor, OtherLineEndsOpenRowByRow) {
    test::TempDir dir;
    for (const char* end : {"\n", "\r", "\r\n"}) {
        const std::string file =
            dir.Write("l.AUF.CSV", std::string(kAufrufHeader) + end + "-1;\"a1\";\"\";\"0:10\"" +
                                       end + "0;\"l012\";\"Linie\";\"0:05\"" + end);
        TTable t = MakeCallListTable();
        ASSERT_TRUE(OpenListFile(t, file, TListKind::Aufruf).Loaded);
        ASSERT_EQ(t.RowCount(), 2) << test::Printable(end);
        EXPECT_EQ(t.Cell(1, 0), "a1");
        EXPECT_EQ(t.Cell(1, 1), "l012");
        EXPECT_EQ(t.Cell(2, 1), "Linie");
    }
    const std::string longLine = dir.Write("x.AUF.CSV", std::string(kAufrufHeader) + "\r\n" +
                                                            std::string(MaxLineBytes() + 1, 'x'));
    TTable t = MakeCallListTable();
    try {
        OpenListFile(t, longLine, TListKind::Aufruf);
        ADD_FAILURE() << "a line over the limit is read";
    } catch (const ELineTooLong& e) {
        EXPECT_EQ(e.Line, 2);
        EXPECT_NE(std::string(e.what()).find("Zeile 2"), std::string::npos) << e.what();
    }
}

} // namespace
} // namespace vaskel
