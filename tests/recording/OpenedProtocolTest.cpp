#include "recording/OpenedProtocol.h"
#include "recording/TableFile.h"
#include "telegram/Errors.h"
#include "telegram/TextConventions.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace vaskel {
namespace {

const std::string kCatalogue = std::string(VASKEL_TEST_DATA_DIR) + "/IBIS.CSV";

class OpenedProtocolTest : public ::testing::Test {
protected:
    TIBISTelegramParser Parser{kCatalogue};
    test::TempDir Dir;
    TTable T = MakeProtocolTable();

    void Rows(const std::vector<std::vector<std::string>>& rows) {
        T.Clear();
        for (std::size_t k = 0; k < rows.size(); ++k)
            T.SetRow(k == 0 ? 0 : T.AppendRow(), rows[k]);
    }
    std::string Cell(int col, int row) const { return std::string(T.Cell(col, row)); }
};

// A telegram that ends in "," and whose check byte is a line feed: read as
// text lines, its protocol line seems to end with the comma at the
// telegram's own CR.
std::string CommaTelegramWithLfCheck() {
    for (char c = '0'; c <= 'z'; ++c) {
        const std::string t = TelegramBytes(std::string("l00") + c + ",");
        if (t.back() == '\n') return t;
    }
    ADD_FAILURE() << "no such telegram";
    return {};
}

// One current-form protocol line.
std::string Line(const char* kind, const std::string& telegram, const char* start = "1000") {
    std::string quoted;
    for (char c : telegram)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return std::string("\"") + kind + "\";\"1\";\"" + start + "\";\"\";\"\";\"" + quoted +
           "\";\"\";\"\";\"\";\"\"\r\n";
}

// The form is taken from the shape of whole lines, never from a telegram's
// bytes; a file whose form is in doubt is neither loaded nor touched.
TEST_F(OpenedProtocolTest, FormComesFromWholeLinesAndDoubtIsRefused) {
    enum TExpect { Current, Comma, Unquoted, UnquotedComma, Refused };
    struct TCase {
        const char* Name;
        std::string Content;
        TExpect Expect;
        int Rows;
    };
    const std::string lfTelegram = CommaTelegramWithLfCheck();
    const TCase cases[] = {
        {"current", Line("M", TelegramBytes("a1")) + Line("S", TelegramBytes("a10")), Current, 2},
        {"empty first line",
         "\r\n" + Line("M", TelegramBytes("a1")) + Line("S", TelegramBytes("a10")), Current, 2},
        {"blank first lines", " \r\n\r\n" + Line("M", TelegramBytes("l001")), Current, 1},
        {"first telegram ends in a comma, LF check byte",
         Line("M", lfTelegram) + Line("S", TelegramBytes("a10")), Current, 2},
        {"only row ends in a comma, LF check byte", Line("M", lfTelegram), Current, 1},
        {"first telegram holds quotes and separators",
         Line("M", TelegramBytes("zA\"';,x")) + Line("M", TelegramBytes("a1")), Current, 2},
        {"comma form", "'M','1','1000','','','l001\r/','','','','',\r\n", Comma, 1},
        {"comma form after an empty line", "\r\n'M','1','1000','','','l001\r/','','','','',\r\n",
         Comma, 1},
        {"unquoted, semicolons", "M;1;1000;;;l001;;;;\r\nS;2;1200;;;a10;;;;\r\n", Unquoted, 2},
        {"unquoted, commas", "M,1,1000,,,l001,,,,,\r\n", UnquotedComma, 1},
        {"quotes in some fields only", "M;1;\"1000\";;;l001;;;;\r\n", Refused, 0},
        {"text after a closing quote",
         "\"M\"x;\"1\";\"1000\";\"\";\"\";\"a\";\"\";\"\";\"\";\"\"\r\n", Refused, 0},
        {"apostrophes with semicolons", "'M';'1';'1000';'';'';'l001';'';'';'';''\r\n", Refused, 0},
        {"any text whose last line holds a semicolon", "Hallo Welt\r\nx;y\r\n", Refused, 0},
        {"a list, not a protocol", "\"Ok\";\"Aufruf\";\"Antwort\";\"Reaktionszeit\"\r\n", Refused,
         0},
        {"empty file", "", Refused, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string file = Dir.Write("f.PRO.CSV", c.Content);
        std::filesystem::remove(Dir / "f.PRO.BAK");
        TTable t = MakeProtocolTable();
        if (c.Expect == Refused) {
            EXPECT_THROW(LoadProtocolFile(t, file, Parser, TBusType::bsVehicleBus), EFileError);
            EXPECT_EQ(test::ReadFile(file), c.Content) << "a doubtful file is left alone";
            EXPECT_FALSE(std::filesystem::exists(Dir / "f.PRO.BAK"));
            continue;
        }
        const TProtocolLoad info = LoadProtocolFile(t, file, Parser, TBusType::bsVehicleBus);
        EXPECT_EQ(info.CommaForm, c.Expect == Comma || c.Expect == UnquotedComma);
        EXPECT_EQ(info.Unquoted, c.Expect == Unquoted || c.Expect == UnquotedComma);
        EXPECT_EQ(t.RowCount(), c.Rows);
        if (c.Expect == Current) {
            EXPECT_EQ(test::ReadFile(file), c.Content) << "a current protocol is never rewritten";
            EXPECT_FALSE(std::filesystem::exists(Dir / "f.PRO.BAK"));
            EXPECT_FALSE(info.Reanalysed);
        } else {
            EXPECT_EQ(test::ReadFile(Dir / "f.PRO.BAK"), c.Content)
                << "converted on disk only after the backup";
            EXPECT_EQ(test::ReadFile(file).substr(0, 15), "\"M\";\"1\";\"1000\";");
        }
    }
    // the comma telegram with its LF check byte comes back whole
    const std::string file = Dir.Write("lf.PRO.CSV", Line("M", lfTelegram));
    LoadProtocolFile(T, file, Parser, TBusType::bsVehicleBus);
    EXPECT_EQ(Cell(pcTelegram, 0), lfTelegram);
}

// One unbalanced quote hides every row after it: the load says from where.
TEST_F(OpenedProtocolTest, AnUnclosedQuoteIsReportedWithWhatCouldBeRead) {
    // the last field's closing quote is missing
    std::string broken = Line("M", TelegramBytes("a2"), "1100");
    broken.erase(broken.size() - 3, 1);
    const std::string file = Dir.Write(
        "q.PRO.CSV", Line("M", TelegramBytes("a1")) + Line("S", TelegramBytes("a10")) + broken +
                         Line("M", TelegramBytes("a2")) + Line("S", TelegramBytes("a20")));
    const TProtocolLoad info = LoadProtocolFile(T, file, Parser, TBusType::bsVehicleBus);
    EXPECT_TRUE(info.Incomplete);
    EXPECT_EQ(T.RowCount(), 2) << "the rows before it";
    EXPECT_EQ(info.UnreadFromLine, 3) << "the file's line where reading stopped";
    // a telegram's LF in an earlier row counts as a line of the file
    const std::string lf = CommaTelegramWithLfCheck();
    Dir.Write("q.PRO.CSV", Line("M", lf) + broken);
    EXPECT_EQ(LoadProtocolFile(T, file, Parser, TBusType::bsVehicleBus).UnreadFromLine, 3);
    EXPECT_EQ(T.RowCount(), 1);
    // a sound file reports nothing
    Dir.Write("q.PRO.CSV", Line("M", lf));
    const TProtocolLoad ok = LoadProtocolFile(T, file, Parser, TBusType::bsVehicleBus);
    EXPECT_FALSE(ok.Incomplete);
    EXPECT_EQ(ok.UnreadFromLine, 0);
}

// A recording that broke off between two fields of its last row: that row
// is reported, not read with its last cells empty; a whole last row
// without its line end is read as it is.
TEST_F(OpenedProtocolTest, ALastRowCutBetweenFieldsIsReported) {
    const std::string whole = Line("M", TelegramBytes("a1")) + Line("S", TelegramBytes("a10"));
    std::string last = Line("M", TelegramBytes("a2"));
    last.resize(last.size() - 2); // no line end
    const std::string file = Dir.Write("c.PRO.CSV", whole + last);
    TProtocolLoad info = LoadProtocolFile(T, file, Parser, TBusType::bsVehicleBus);
    EXPECT_FALSE(info.Incomplete);
    EXPECT_EQ(T.RowCount(), 3);
    // cut after its third field
    const std::string cut = last.substr(0, last.find("\";\"\";\"\"") + 1);
    Dir.Write("c.PRO.CSV", whole + cut);
    info = LoadProtocolFile(T, file, Parser, TBusType::bsVehicleBus);
    EXPECT_TRUE(info.Incomplete);
    EXPECT_EQ(info.UnreadFromLine, 3);
    EXPECT_EQ(T.RowCount(), 2) << "the whole rows before it";
}

// Analysing the rows again and again holds the same memory as once.
TEST_F(OpenedProtocolTest, RepeatedReanalysisDoesNotGrow) {
    T.Clear();
    // enough rows for several chunks of the row store; the cells change
    // length in the first analysis (numbers, record types, descriptions)
    const std::string a1 = TelegramBytes("a1"), a10 = TelegramBytes("a10"),
                      l = TelegramBytes("l001"), bad = TelegramBytes("Q");
    for (int i = 0; i < 40000; ++i) {
        const int row = i == 0 ? 0 : T.AppendRow();
        const std::string& t = i % 4 == 0 ? a1 : i % 4 == 1 ? a10 : i % 4 == 2 ? l : bad;
        T.SetRow(row,
                 {i % 4 == 1 ? "S" : "M", "", std::to_string(1000 + i), "", "", t, "", "", "", ""});
    }
    Reanalyse(T, Parser, TBusType::bsVehicleBus);
    const std::size_t once = T.MemoryBytes();
    const TTable first = T;
    for (int k = 0; k < 4; ++k) {
        Reanalyse(T, Parser, TBusType::bsVehicleBus);
        EXPECT_EQ(T.MemoryBytes(), once) << "after " << k + 2;
    }
    for (int r = 0; r < T.RowCount(); r += 997)
        for (int c = 0; c < kProtocolColumns; ++c)
            ASSERT_EQ(T.Cell(c, r), first.Cell(c, r)) << r << "/" << c;
    EXPECT_EQ(Cell(pcAnswer, 0), "0");
    EXPECT_EQ(Cell(pcAnswer, 1), "4");
    EXPECT_EQ(Cell(pcRecordNo, 2), "001");
}

// A protocol opened from its file and analysed again and again, as the
// protocol window's "Neu auswerten" does: after the first analysis the
// process holds no more heap however often it runs, and nothing it
// allocated is lost (LeakSanitizer's check, in the sanitized build). A row
// store that keeps the old bytes of every rewritten row, or an analysis that
// drops what it allocated, grows by megabytes a pass here.
TEST_F(OpenedProtocolTest, ReanalysisInALoopHoldsNoMoreHeapAndLosesNothing) {
    const std::string a1 = TelegramBytes("a1"), a10 = TelegramBytes("a10"),
                      l = TelegramBytes("l001"), bad = TelegramBytes("Q");
    std::string content;
    for (int i = 0; i < 20000; ++i) {
        const std::string start = std::to_string(1000 + 30 * i);
        content += i % 4 == 0   ? Line("M", a1, start.c_str())
                   : i % 4 == 1 ? Line("S", a10, start.c_str())
                   : i % 4 == 2 ? Line("M", l, start.c_str())
                                : Line("M", bad, start.c_str());
    }
    const std::string file = Dir.Write("loop.PRO.CSV", content);
    ASSERT_FALSE(LoadProtocolFile(T, file, Parser, TBusType::bsVehicleBus).Incomplete);
    ASSERT_EQ(T.RowCount(), 20000);
    Reanalyse(T, Parser, TBusType::bsVehicleBus);
    const std::string firstAnswer(T.Cell(pcAnswer, 1));
    const std::optional<std::size_t> before = test::HeapBytesInUse();
    for (int pass = 0; pass < 5; ++pass)
        Reanalyse(T, Parser, TBusType::bsVehicleBus, [](int) {});
    if (const std::optional<std::size_t> after = test::HeapBytesInUse(); before && after) {
        // a little room for the allocator's own bookkeeping, far below one
        // pass's rows (about 1 MiB)
        EXPECT_LE(*after, *before + 64 * 1024)
            << "the heap grew by " << (*after - *before) << " bytes in 5 passes";
    }
    EXPECT_FALSE(test::LeakSanitizerFindsLeaks()) << "heap blocks lost (see the report above)";
    EXPECT_EQ(T.Cell(pcAnswer, 1), firstAnswer);
    EXPECT_EQ(T.Cell(pcNr, 19999), "20000");
}

TEST_F(OpenedProtocolTest, ReanalysePairsAndRenumbers) {
    const std::string a1 = TelegramBytes("a1"), a10 = TelegramBytes("a10"),
                      l = TelegramBytes("l001"), a20 = TelegramBytes("a20");
    Rows({{"M", "7", "1000", " ", "S", a1, " ", "x", "x", "x"},
          {"S", "8", "1030", "30", " ", a10, " ", "x", "x", "x"},
          {" ", "9", "1100", " ", "XT", TelegramBytes("a2"), " ", "", "", ""},
          {"M", "3", "1200", " ", " ", l, " ", "", "", ""},
          {"S", "4", "1300", "5", " ", TelegramBytes("a20"), " ", "", "", ""},
          {"S", "5", "1400", "5", " ", a20, " ", "", "", ""},
          {"T", "6", "1500", "5", " ", TelegramBytes("Q"), " ", "", "", ""},
          {"S", "7", "1600", "5", " ", TelegramBytes("l001"), " ", "", "", ""}});
    Reanalyse(T, Parser, TBusType::bsVehicleBus);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(Cell(pcNr, i), std::to_string(i + 1));
    // an answer nobody asked for
    EXPECT_EQ(Cell(pcAnswer, 7), "2");
    EXPECT_EQ(Cell(pcReaction, 7), kReactionInvalid);
    EXPECT_EQ(Cell(pcKind, 2), "M") << "an empty kind becomes M";
    EXPECT_EQ(Cell(pcErrors, 0), "S") << "device letters stay";
    EXPECT_EQ(Cell(pcRecordNo, 0), "020");
    EXPECT_EQ(Cell(pcDescription, 0).substr(0, 13), "Statusabfrage");
    // a1 answered by the next row
    EXPECT_EQ(Cell(pcAnswer, 0), "0");
    EXPECT_EQ(Cell(pcAnswer, 1), "4");
    EXPECT_EQ(Cell(pcReaction, 1), "30") << "unchanged for the row right after";
    EXPECT_EQ(T.Object(1)->PartnerRow, 1);
    // a2 answered two rows later: reaction from the start times
    EXPECT_EQ(Cell(pcErrors, 2), "");
    EXPECT_EQ(Cell(pcAnswer, 2), "1");
    EXPECT_EQ(Cell(pcAnswer, 4), "3");
    EXPECT_EQ(Cell(pcReaction, 4), "200");
    EXPECT_EQ(T.Object(4)->PartnerRow, 3);
    // a master answered later still takes another answer (only "0" is done)
    EXPECT_EQ(Cell(pcAnswer, 5), "3");
    EXPECT_EQ(Cell(pcReaction, 5), "300");
    EXPECT_EQ(T.Object(2)->PartnerRow, 6);
    EXPECT_EQ(Cell(pcAnswer, 3), "");
    EXPECT_EQ(Cell(pcErrors, 6), "X");
    EXPECT_EQ(Cell(pcRecordNo, 6), "[]");
    EXPECT_EQ(T.Object(0)->EndTime, 1000) << "the start time in ms for loaded protocols";
    EXPECT_TRUE(T.Modified);
}

TEST_F(OpenedProtocolTest, CommaFormIsConvertedAndWrittenBack) {
    const std::string old = "'M','1','1000','','','l001\r/',' 6C','001','x','',\r\n"
                            "'S','2','2000','','','a10\r\x12',' 61','120','y','',\r\n";
    const std::string file = Dir.Write("old.PRO.CSV", old);
    const TProtocolLoad info = LoadProtocolFile(T, file, Parser, TBusType::bsVehicleBus);
    EXPECT_TRUE(info.CommaForm);
    EXPECT_TRUE(info.Reanalysed);
    EXPECT_TRUE(info.WrittenBack);
    EXPECT_FALSE(T.Modified);
    EXPECT_EQ(test::ReadFile(Dir / "old.PRO.BAK"), old);
    const std::string now = test::ReadFile(file);
    EXPECT_EQ(now.substr(0, 15), "\"M\";\"1\";\"1000\";");
    EXPECT_EQ(Cell(pcAnswer, 1), "2");
    TTable again = MakeProtocolTable();
    EXPECT_FALSE(LoadProtocolFile(again, file, Parser, TBusType::bsVehicleBus).CommaForm);
    EXPECT_EQ(again.RowCount(), 2);
}

TEST_F(OpenedProtocolTest, UnquotedFileIsConvertedOnDisk) {
    const std::string file =
        Dir.Write("plain.PRO.CSV", "M;1;1000;;;l001;;;;\r\nS;2;1200;;;a10;;;;\r\n");
    const TProtocolLoad info = LoadProtocolFile(T, file, Parser, TBusType::bsVehicleBus);
    EXPECT_TRUE(info.Unquoted);
    EXPECT_TRUE(info.Reanalysed);
    EXPECT_FALSE(info.WrittenBack);
    EXPECT_TRUE(T.Modified) << "closing asks the save question";
    EXPECT_EQ(test::ReadFile(file).substr(0, 24), "\"M\";\"1\";\"1000\";\"\";\"\";\"l0");
    EXPECT_EQ(Cell(pcRecordNo, 0), "001");
    EXPECT_FALSE(std::filesystem::exists(Dir / "plain.PRO.tmp"));
}

TEST_F(OpenedProtocolTest, InvalidFormat) {
    const std::string file = Dir.Write("bad.PRO.CSV", "\"M\";\"1\"\r\nno separator here\r\n\r\n");
    try {
        LoadProtocolFile(T, file, Parser, TBusType::bsVehicleBus);
        FAIL() << "no error";
    } catch (const EFileError& e) {
        EXPECT_STREQ(e.what(), "Ung\xFCltiges Protokollformat");
    }
    EXPECT_THROW(LoadProtocolFile(T, Dir / "missing.PRO.CSV", Parser, TBusType::bsVehicleBus),
                 EFileError);
}

} // namespace
} // namespace vaskel
