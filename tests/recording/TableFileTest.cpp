#include "recording/TableFile.h"
#include "recording/Recorder.h"
#include "telegram/Errors.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

namespace vaskel {
namespace {

namespace fs = std::filesystem;

TTable Protocol(const std::vector<std::vector<std::string>>& rows) {
    TTable t = MakeProtocolTable();
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const int row = k == 0 ? 0 : t.AppendRow();
        t.SetRow(row, rows[k]);
    }
    return t;
}

TEST(TableFile, ProtocolLineFormatAndRoundTrip) {
    test::TempDir dir;
    const std::string file = dir / "a.PRO.CSV";
    TTable t = Protocol(
        {{"M", "1", "28800000", "", "", "a\"1\r\x13", " 61 22 31 0D 13", "020", "Status", "-1"},
         {"S", "2", "28800100", "20", "", "a10\r\x12", " 61", "120", "Antwort", "4"}});
    t.Modified = true;
    SaveToCSV(t, file, '"', 0, std::nullopt, ';');
    EXPECT_FALSE(t.Modified);
    EXPECT_EQ(
        test::ReadFile(file),
        "\"M\";\"1\";\"28800000\";\"\";\"\";\"a\"\"1\r\x13\";\" 61 22 31 0D 13\";\"020\";"
        "\"Status\";\"-1\"\r\n"
        "\"S\";\"2\";\"28800100\";\"20\";\"\";\"a10\r\x12\";\" 61\";\"120\";\"Antwort\";\"4\"\r\n");
    TTable back = MakeProtocolTable();
    const TLoadResult r = LoadFromCSV(back, file, '"', nullptr, std::nullopt, ';');
    EXPECT_TRUE(r.Loaded);
    EXPECT_EQ(r.Rows, 2);
    ASSERT_EQ(back.RowCount(), 2);
    EXPECT_EQ(back.Cell(pcTelegram, 0), "a\"1\r\x13");
    EXPECT_EQ(back.Cell(pcReaction, 0), " ") << "an empty field keeps its column as one blank";
    EXPECT_EQ(back.Cell(pcAnswer, 0), "-1");
    EXPECT_EQ(back.Cell(pcDescription, 1), "Antwort");
    EXPECT_FALSE(fs::exists(dir / "a.PRO.BAK")) << "nothing to back up the first time";
    EXPECT_TRUE(fs::directory_iterator(dir.Path()) != fs::directory_iterator());
    for (const auto& e : fs::directory_iterator(dir.Path()))
        EXPECT_EQ(e.path().filename().string().find("tmp"), std::string::npos) << "no leftovers";
}

TEST(TableFile, EveryByteValueSurvives) {
    test::TempDir dir;
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    TTable t =
        Protocol({{"M", "1", "0", "", "", all, "", "", "", ""},
                  {"S", "2", "0", "", "", all.substr(128) + all.substr(0, 128), "", "", "", ""}});
    SaveToCSV(t, dir / "b.PRO.CSV", '"', 0, std::nullopt, ';');
    TTable back = MakeProtocolTable();
    LoadFromCSV(back, dir / "b.PRO.CSV", '"', nullptr, std::nullopt, ';');
    ASSERT_EQ(back.RowCount(), 2);
    EXPECT_EQ(back.Cell(pcTelegram, 0), all);
    EXPECT_EQ(back.Cell(pcTelegram, 1), all.substr(128) + all.substr(0, 128));
}

TEST(TableFile, BackupAndAppend) {
    test::TempDir dir;
    const std::string file = dir / "a.PRO.CSV";
    dir.Write("a.PRO.CSV", "old\r\n");
    TTable t = Protocol({{"M", "1"}, {"M", "2"}, {"M", "3"}});
    SaveToCSV(t, file, '"', 0, std::nullopt, ';');
    EXPECT_EQ(test::ReadFile(dir / "a.PRO.BAK"), "old\r\n");
    EXPECT_EQ(BackupFileName("x/y.AUF.CSV"), "x/y.AUF.BAK");

    // from a later row: appended to an existing file, no backup
    fs::remove(dir / "a.PRO.BAK");
    SaveToCSV(t, file, '"', 3, std::nullopt, ';');
    const std::string content = test::ReadFile(file);
    EXPECT_EQ(content.substr(content.size() - 33),
              "\"M\";\"3\";\"\";\"\";\"\";\"\";\"\";\"\";\"\";\"\"\r\n");
    EXPECT_FALSE(fs::exists(dir / "a.PRO.BAK"));
    // ... and creating a file that does not exist
    SaveToCSV(t, dir / "new.PRO.CSV", '"', 2, std::nullopt, ';');
    TTable back = MakeProtocolTable();
    LoadFromCSV(back, dir / "new.PRO.CSV", '"', nullptr, std::nullopt, ';');
    EXPECT_EQ(back.RowCount(), 2);
    EXPECT_EQ(back.Cell(pcNr, 0), "2");
}

TEST(TableFile, ListStylesAndHeader) {
    test::TempDir dir;
    TTable t({TZK_InputStyle::csBoolean, TZK_InputStyle::csString, TZK_InputStyle::csString,
              TZK_InputStyle::csMinSec});
    t.SetRow(0, {"-1", "zI1", "", "0:10"});
    t.SetRow(t.AppendRow(), {"x", "a", "b", "1:00"});
    t.SetRow(t.AppendRow(), {"", "c", "d", "2"});
    const std::string header = "\"Ok\";\"Aufruf\";\"Beschreibung\";\"Intervall\"";
    SaveToCSV(t, dir / "l.AUF.CSV", '"', 0, header, ';');
    EXPECT_EQ(test::ReadFile(dir / "l.AUF.CSV"), header + "\r\n"
                                                          "-1;\"zI1\";\"\";\"0:10\"\r\n"
                                                          "-1;\"a\";\"b\";\"1:00\"\r\n"
                                                          "0;\"c\";\"d\";\"2\"\r\n");
    EXPECT_EQ(t.Cell(0, 1), "-1") << "booleans are normalised in the table";

    TTable back(std::vector<TZK_InputStyle>(4, TZK_InputStyle::csString));
    std::vector<int> progress;
    const TLoadResult ok = LoadFromCSV(
        back, dir / "l.AUF.CSV", '"', [&](int n) { progress.push_back(n); },
        std::string("\"OK\";\"AUFRUF\";\"beschreibung\";\"Intervall\""), ';');
    EXPECT_TRUE(ok.Loaded) << "letter case does not matter";
    EXPECT_EQ(back.RowCount(), 3);
    EXPECT_EQ(back.Cell(1, 0), "zI1");
    EXPECT_EQ(progress, (std::vector<int>{1, 2, 3}));

    const TLoadResult bad =
        LoadFromCSV(back, dir / "l.AUF.CSV", '"', nullptr, std::string("\"Ok\";\"Antwort\""), ';');
    EXPECT_FALSE(bad.Loaded);
    EXPECT_EQ(back.RowCount(), 1);
    EXPECT_TRUE(back.RowEmpty(0));
}

TEST(TableFile, ReaderLineRules) {
    test::TempDir dir;
    struct Case {
        const char* name;
        std::string content;
        std::vector<std::vector<std::string>> rows;
        bool incomplete = false;
    };
    const Case cases[] = {
        {"empty field in the middle", "\"a\";;\"c\"\r\n", {{"a", " ", "c"}}},
        {"more fields than columns", "\"a\";\"b\";\"c\";\"d\";\"e\"\r\n", {{"a", "b", "c", "d"}}},
        {"last line without line end", "\"a\";\"b\"\r\n\"c\";\"d\"", {{"a", "b"}, {"c", "d"}}},
        {"last line cut inside quotes", "\"a\";\"b\"\r\n\"c\";\"d", {{"a", "b"}}, true},
        {"LF alone inside a line", "\"a\nb\";\"c\"\r\n", {{"a\nb", "c"}}},
        {"NUL inside quotes",
         std::string("\"a\0b\";\"c\"\r\n", 11),
         {{std::string("a\0b", 3), "c"}}},
        {"unquoted fields", "1;x y;3\r\n", {{"1", "x", "y", "3"}}},
        {"blank lines", "\r\n\r\n\"a\"\r\n", {{"a"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = dir.Write("t.CSV", c.content);
        TTable t(std::vector<TZK_InputStyle>(4, TZK_InputStyle::csString));
        const TLoadResult r = LoadFromCSV(t, file, '"', nullptr, std::nullopt, ';');
        EXPECT_EQ(r.LastLineIncomplete, c.incomplete);
        ASSERT_EQ(t.RowCount(), static_cast<int>(c.rows.size()));
        for (std::size_t row = 0; row < c.rows.size(); ++row)
            for (std::size_t col = 0; col < c.rows[row].size(); ++col)
                EXPECT_EQ(t.Cell(static_cast<int>(col), static_cast<int>(row)), c.rows[row][col]);
    }
    TTable t = MakeProtocolTable();
    EXPECT_THROW(LoadFromCSV(t, dir / "missing.CSV", '"', nullptr, std::nullopt, ';'), EFileError);
    EXPECT_THROW(SaveToCSV(t, dir / "no/such/dir/x.CSV", '"', 0, std::nullopt, ';'), EFileError);
}

TEST(TableFile, PackedSplitAgreesWithTheSplitter) {
    std::mt19937 rng(11);
    const std::string alphabet = std::string("ab\";; \t\x01", 9) + std::string(1, '\0') + "\xE4";
    for (int k = 0; k < 5000; ++k) {
        std::string line;
        const int len = static_cast<int>(rng() % 24);
        for (int i = 0; i < len; ++i)
            line += alphabet[rng() % alphabet.size()];
        std::vector<std::string> want = SplitTableLine(line, '"', ';');
        if (want.size() > 4) want.resize(4);
        std::string packed;
        const int cells = PackTableLine(line, '"', ';', 4, packed);
        TTable t(std::vector<TZK_InputStyle>(4, TZK_InputStyle::csString));
        t.SetPackedRow(0, std::move(packed), cells);
        ASSERT_EQ(cells, static_cast<int>(want.size())) << test::Printable(line);
        for (int c = 0; c < cells; ++c)
            ASSERT_EQ(t.Cell(c, 0), want[c]) << test::Printable(line);
    }
}

TEST(TableFile, LargeFileAcrossBlocks) {
    // rows with quotes, CR and LF inside cells, more than one read block
    test::TempDir dir;
    std::mt19937 rng(5);
    TTable t = MakeProtocolTable();
    const std::string alphabet = std::string("abz\"\r\n;, \x7F\xFF", 11) + std::string(1, '\0');
    for (int r = 0; r < 6000; ++r) {
        const int row = r == 0 ? 0 : t.AppendRow();
        std::vector<std::string> cells;
        for (int c = 0; c < kProtocolColumns; ++c) {
            std::string cell;
            const int len = 1 + static_cast<int>(rng() % 60);
            for (int i = 0; i < len; ++i)
                cell += alphabet[rng() % alphabet.size()];
            cells.push_back(cell);
        }
        t.SetRow(row, cells);
    }
    SaveToCSV(t, dir / "big.PRO.CSV", '"', 0, std::nullopt, ';');
    ASSERT_GT(std::filesystem::file_size(dir / "big.PRO.CSV"), 600000u);
    TTable back = MakeProtocolTable();
    EXPECT_EQ(LoadFromCSV(back, dir / "big.PRO.CSV", '"', nullptr, std::nullopt, ';').Rows, 6000);
    for (int r = 0; r < 6000; ++r)
        for (int c = 0; c < kProtocolColumns; ++c)
            ASSERT_EQ(back.Cell(c, r), t.Cell(c, r)) << r;
}

TEST(TableFile, RowObjectsAndCells) {
    TTable t = MakeProtocolTable();
    EXPECT_EQ(t.RowCount(), 1);
    EXPECT_TRUE(t.RowEmpty(0));
    t.SetCell(pcTelegram, 0, std::string(300, 'x'));
    t.SetCell(pcKind, 0, "M");
    EXPECT_EQ(t.Cell(pcTelegram, 0).size(), 300u);
    EXPECT_EQ(t.Cell(pcKind, 0), "M");
    EXPECT_FALSE(t.Object(0));
    TTelegramData d;
    d.EndTime = 77;
    d.ExpectedAnswers = "120";
    d.Address = 3;
    t.SetObject(0, d);
    t.SetPartnerRow(0, 9);
    ASSERT_TRUE(t.Object(0));
    EXPECT_EQ(t.Object(0)->ExpectedAnswers, "120");
    EXPECT_EQ(t.Object(0)->PartnerRow, 9);
    t.ClearObject(0);
    EXPECT_FALSE(t.Object(0));
    t.Clear();
    EXPECT_EQ(t.RowCount(), 1);
    EXPECT_TRUE(t.RowEmpty(0));
}

// A row rewritten within the room it had stays where it is; one that grows
// moves, and a chunk left without rows is given back: changing the same
// cells again and again holds the memory of the first change.
TEST(TableFile, ChangedRowsAddNoMemoryOnceSettled) {
    TTable t = MakeProtocolTable();
    const int rows = 30000; // several chunks of the row store
    for (int r = 0; r < rows; ++r)
        t.SetRow(r == 0 ? 0 : t.AppendRow(),
                 {"M", std::to_string(r + 1), "1000", "", "", "a1\r\x12", "", "020", "x", ""});
    std::size_t settled = 0;
    for (int round = 0; round < 6; ++round) {
        const std::string text = round % 2 == 0 ? "a longer description of the row" : "short";
        for (int r = 0; r < rows; ++r) {
            t.SetCell(pcDescription, r, text);
            t.SetCell(pcAnswer, r, round % 2 == 0 ? "-1" : "0");
        }
        if (round == 1) settled = t.MemoryBytes();
        if (round > 1) {
            EXPECT_EQ(t.MemoryBytes(), settled) << "round " << round;
        }
        for (int r = 0; r < rows; r += 1231) {
            ASSERT_EQ(t.Cell(pcDescription, r), text) << r;
            ASSERT_EQ(t.Cell(pcNr, r), std::to_string(r + 1)) << r;
            ASSERT_EQ(t.Cell(pcTelegram, r), "a1\r\x12") << r;
        }
    }
    // rows that went and came back leave the others whole
    t.DeleteRow(5);
    t.InsertRow(5);
    EXPECT_TRUE(t.RowEmpty(5));
    EXPECT_EQ(t.Cell(pcNr, 6), "7");
    EXPECT_EQ(t.Cell(pcDescription, rows - 1), "short");
}

} // namespace
} // namespace vaskel
