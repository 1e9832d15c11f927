// The table reader and the protocol form test against files no recorder
// wrote: other line ends, lines far longer than any row.

#include "recording/OpenedProtocol.h"
#include "recording/Recorder.h"
#include "recording/TableFile.h"
#include "telegram/DelimitedText.h"
#include "telegram/Errors.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace vaskel {
namespace {

const std::string kRow1 = "\"M\";\"1\";\"0\";\"\";\"\";\"l001\r/\";\"\";\"001\";\"\";\"\"";
const std::string kRow2 = "\"S\";\"2\";\"50\";\"\";\"\";\"a10\r\n\";\"\";\"120\";\"\";\"\"";

TEST(HostileTableFile, EveryLineEndEndsARowOutsideQuotesOnly) {
    test::TempDir dir;
    for (const std::string end : {"\r\n", "\n", "\r"}) {
        const std::string file = dir.Write("p.PRO.CSV", kRow1 + end + kRow2 + end + kRow1);
        TTable t = MakeProtocolTable();
        const TLoadResult r = LoadFromCSV(t, file, '"', nullptr, std::nullopt, ';', "\"");
        EXPECT_FALSE(r.BrokenRow || r.LastLineIncomplete) << test::Printable(end);
        ASSERT_EQ(r.Rows, 3) << test::Printable(end);
        EXPECT_EQ(t.Cell(pcTelegram, 0), "l001\r/");
        EXPECT_EQ(t.Cell(pcTelegram, 1), "a10\r\n") << "CR and LF inside quotes stay data";
        EXPECT_EQ(t.Cell(pcKind, 2), "M");
    }
}

// A line over the limit is refused naming its line, wherever it is: at the
// start, after rows, inside quotes, in the first row the form test reads.
TEST(HostileTableFile, ALineOverTheLimitIsRefusedNamingItsLine) {
    test::TempDir dir;
    const std::string x(MaxLineBytes() + 1, 'x');
    struct TCase {
        const char* Name;
        std::string Content;
        int Line;
    };
    const TCase cases[] = {
        {"one line", x, 1},
        {"after rows, LF", kRow1 + "\n" + kRow1 + "\n" + x, 3},
        {"after rows, CR", kRow1 + "\r" + kRow1 + "\r\n\r\n" + x + "\r\n" + kRow1, 4},
        {"inside quotes", kRow1 + "\r\n\"M\";\"" + x + "\"\r\n", 2},
        {"after blank lines", "\r\n\r\n   " + x, 3},
    };
    for (const TCase& c : cases) {
        const std::string file = dir.Write("p.PRO.CSV", c.Content);
        TTable t = MakeProtocolTable();
        try {
            LoadFromCSV(t, file, '"', nullptr, std::nullopt, ';', "\"");
            ADD_FAILURE() << c.Name << ": read";
        } catch (const ELineTooLong& e) {
            EXPECT_EQ(e.Line, c.Line) << c.Name;
            EXPECT_NE(std::string(e.what()).find("Zeile " + std::to_string(c.Line) + " "),
                      std::string::npos)
                << e.what();
        }
        try {
            ForEachTableLine(file, '"', ';', [](std::vector<std::string>&, int) {});
            ADD_FAILURE() << c.Name << ": read line by line";
        } catch (const ELineTooLong& e) {
            EXPECT_EQ(e.Line, c.Line) << c.Name << " line by line";
        }
    }
    // the form test reads no further into the first row than the limit
    // (a file just over it may be read whole and refused for its form)
    const std::string x3 = x + x + x;
    for (const std::string& first : {x3, "\"M\";\"" + x3, "\r\n" + x3 + "\r\n" + kRow1}) {
        const std::string file = dir.Write("f.PRO.CSV", first);
        EXPECT_THROW(ProtocolFormOfFile(file), ELineTooLong);
    }
    // a row just under the limit is still a row
    const std::string longCell(MaxLineBytes() - 100, 'd');
    const std::string file = dir.Write(
        "ok.PRO.CSV", kRow1 + "\r\n\"M\";\"2\";\"0\";\"\";\"\";\"l001\r/\";\"\";\"001\";\"" +
                          longCell + "\";\"\"\r\n");
    TTable t = MakeProtocolTable();
    const TProtocolLoad info = LoadProtocolFile(
        t, file, TIBISTelegramParser(std::string(VASKEL_TEST_DATA_DIR) + "/IBIS.CSV"),
        TBusType::bsVehicleBus);
    EXPECT_FALSE(info.Incomplete);
    ASSERT_EQ(t.RowCount(), 2);
    EXPECT_EQ(t.Cell(pcDescription, 1), longCell);
}

TEST(HostileTableFile, TheFileLineOfAnOffsetCountsEveryLineEnd) {
    test::TempDir dir;
    const std::string file = dir.Write("l.txt", "a\r\nb\nc\rd\r\n\r\n  e");
    EXPECT_EQ(FileLineAt(file, 0), 1);
    EXPECT_EQ(FileLineAt(file, 3), 2);
    EXPECT_EQ(FileLineAt(file, 5), 3);
    EXPECT_EQ(FileLineAt(file, 7), 4);
    EXPECT_EQ(FileLineAt(file, 10), 6) << "the row's first byte above a blank";
    // a telegram's own CR inside quotes starts no line; an LF there does
    const std::string quoted = dir.Write("q.txt", "\"a\r/\";\"b\"\r\n\"c\n\"\r\"d\"");
    EXPECT_EQ(FileLineAt(quoted, 11), 2);
    EXPECT_EQ(FileLineAt(quoted, 16), 4);
    EXPECT_EQ(FileLineAt(quoted, 11, '\0'), 3) << "without quotes every CR counts";
    EXPECT_EQ(FileLineAt(quoted, 16, '\0'), 5);
}

} // namespace
} // namespace vaskel
