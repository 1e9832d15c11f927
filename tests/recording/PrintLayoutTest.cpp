#include "recording/PrintLayout.h"
#include "recording/Recorder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

namespace vaskel {
namespace {

const std::vector<std::string> kTitles = {"",         "Nr.",          "Startzeit", "Reaktion",
                                          "Fehler",   "Telegramm",    "Telegramm (HEX)",
                                          "DS-Nr.",   "Beschreibung", "A?"};

// Ten units per character: the numbers below are worked out by hand.
int TenPerChar(std::string_view text) { return static_cast<int>(text.size()) * 10; }

TIBISTelegramParser& EmptyParser() {
    static TIBISTelegramParser parser{TProfileArray{}};
    return parser;
}

// Rows without kind (their telegram is measured as "M"), start time i x 1000 ms.
TTable TableOf(int rows) {
    TTable t = MakeProtocolTable();
    for (int r = 0; r < rows; ++r) {
        if (r > 0) t.AppendRow();
        t.SetRow(r, {"", std::to_string(r + 1), std::to_string((r + 1) * 1000), "", "", "l012",
                     "", "001", "Liniennummer", ""});
    }
    return t;
}

TEST(PrintLayout, ColumnSharesOfAKnownTable) {
    const TTable t = TableOf(3);
    // longest texts (characters): 0, 3, 12 ("00:00:03,000"), 8 ("Reaktion"), 6, 9,
    // 15, 6, 12, 2 = 73; total 730 + 7 x 10 = 800
    const std::vector<int> shares = PrintColumnShares(t, {0, 1, 2}, kTitles, {}, EmptyParser(),
                                                      TBusType::bsVehicleBus, TenPerChar);
    // the kind column (0 by the ratio) keeps its least share of 2
    EXPECT_EQ(shares, (std::vector<int>{2, 6, 17, 12, 10, 14, 21, 10, 5, 3}));
    EXPECT_EQ(PrintColumnWidths(kA4Portrait, shares),
              (std::vector<int>{37, 111, 316, 223, 186, 260, 390, 186, 93, 55}));
}

TEST(PrintLayout, HiddenHexColumnLeavesItsShareToTheDescription) {
    const TTable t = TableOf(3);
    std::vector<bool> shown(kProtocolColumns, true);
    shown[pcHex] = false;
    const std::vector<int> shares = PrintColumnShares(t, {0, 1, 2}, kTitles, shown, EmptyParser(),
                                                      TBusType::bsVehicleBus, TenPerChar);
    // total 580 + 7 x 9 = 643; the description takes 100 - 90
    EXPECT_EQ(shares, (std::vector<int>{2, 7, 21, 15, 12, 17, 0, 12, 10, 4}));
}

TEST(PrintLayout, ExtraPointsOfNarrowColumnsNeverPushTheTableOffThePage) {
    const TTable t = TableOf(1);
    // every column equally wide: ten shares of 10, seven of them 12
    const std::vector<int> shares =
        PrintColumnShares(t, {0}, kTitles, {}, EmptyParser(), TBusType::bsVehicleBus,
                          [](std::string_view) { return 100; });
    EXPECT_EQ(shares[pcDescription], 0);
    EXPECT_EQ(std::accumulate(shares.begin(), shares.end(), 0), 100);
    for (int s : shares) EXPECT_GE(s, 0);
}

TEST(PrintLayout, MeasuredTextsOfTimesAndTelegrams) {
    TTable t = TableOf(1);
    EXPECT_EQ(PrintMeasureText(t, 0, pcStart, EmptyParser(), TBusType::bsVehicleBus),
              "00:00:01,000");
    // the reaction as the protocol window shows it: milliseconds for an
    // answer, nothing for a master's row
    t.SetCell(pcReaction, 0, "12");
    EXPECT_EQ(PrintMeasureText(t, 0, pcReaction, EmptyParser(), TBusType::bsVehicleBus), "");
    t.SetCell(pcKind, 0, "S");
    EXPECT_EQ(PrintMeasureText(t, 0, pcReaction, EmptyParser(), TBusType::bsVehicleBus), "12");
    t.SetCell(pcReaction, 0, "ungültig");
    EXPECT_EQ(PrintReactionText(t, 0), "ungültig");
    t.SetCell(pcKind, 0, "");
    EXPECT_EQ(PrintMeasureText(t, 0, pcTelegram, EmptyParser(), TBusType::bsVehicleBus), "M");
    EXPECT_EQ(PrintMeasureText(t, 0, pcDescription, EmptyParser(), TBusType::bsVehicleBus),
              "Liniennummer");
}

// A table wider than the page: the columns that cannot wrap keep what their
// longest text needs, the wrapping ones share the rest.
TEST(PrintLayout, TooWideTableKeepsTheNarrowColumnsWhole) {
    TTable t = TableOf(3);
    t.SetCell(pcDescription, 1, std::string(400, 'x'));
    t.SetCell(pcHex, 2, std::string(200, 'h'));
    const int usable = PrintUsableWidth(kA4Portrait);
    std::vector<int> longest;
    const std::vector<int> shares =
        PrintColumnShares(t, {0, 1, 2}, kTitles, {}, EmptyParser(), TBusType::bsVehicleBus,
                          TenPerChar, usable, &longest);
    ASSERT_EQ(longest.size(), static_cast<std::size_t>(kProtocolColumns));
    EXPECT_EQ(longest[pcDescription], 4000);
    EXPECT_EQ(std::accumulate(shares.begin(), shares.end(), 0), 100);
    const std::vector<int> widths = PrintColumnWidths(kA4Portrait, shares);
    for (int c = 0; c < kProtocolColumns; ++c) {
        EXPECT_GE(shares[c], kPrintMinShare) << c;
        if (!PrintColumnWraps(c)) {
            EXPECT_GE(widths[c], longest[c] + 7) << c;
        }
    }
    // the wider wrapping text gets the larger share
    EXPECT_GT(shares[pcDescription], shares[pcHex]);
    EXPECT_GT(shares[pcHex], shares[pcTelegram]);
    // a table that fits is shared by the ratio, and the description, left
    // narrower than its text (5 of the 7 points it needs), takes the two
    // points from the column with the most to spare, the hex column
    EXPECT_EQ(PrintColumnShares(TableOf(3), {0, 1, 2}, kTitles, {}, EmptyParser(),
                                TBusType::bsVehicleBus, TenPerChar, usable),
              (std::vector<int>{2, 6, 17, 12, 10, 14, 19, 10, 7, 3}));
}

// Rows of more lines: each page takes rows while they end above the bottom
// line, a row of the most lines fits a page of its own, and the rows of all
// pages add up.
TEST(PrintLayout, PageBreaksOfRowsOfSeveralLines) {
    for (const TPrintPaper& paper : {kA4Portrait, kA4Landscape}) {
        const int most = PrintMaxRowLines(paper);
        EXPECT_LE(kPrintBodyFirst + PrintRowHeight(most), paper.Height - kPrintBodyEnd + kPrintRowHeight);
        EXPECT_GT(kPrintBodyFirst + PrintRowHeight(most + 1),
                  paper.Height - kPrintBodyEnd + kPrintRowHeight - 1);
        const auto linesOf = [most](int k) { return k % 7 == 3 ? 5 : k == 20 ? most + 40 : 1; };
        const TPrintPages pages(paper, 300, linesOf);
        int sum = 0;
        for (int p = 0; p < pages.PageCount(); ++p) {
            ASSERT_EQ(pages.FirstRow(p), sum);
            ASSERT_GT(pages.RowsOn(p), 0);
            int y = TPrintPages::BodyTop(p);
            for (int k = pages.FirstRow(p); k < pages.FirstRow(p) + pages.RowsOn(p); ++k) {
                EXPECT_EQ(pages.PageOfRow(k), p);
                EXPECT_EQ(pages.LinesOf(k), std::min(linesOf(k), most));
                y += pages.RowHeightOf(k);
            }
            EXPECT_LT(y, paper.Height - kPrintBodyEnd + kPrintRowHeight) << p;
            // the next row would not have fitted
            if (p + 1 < pages.PageCount()) {
                EXPECT_GE(y + pages.RowHeightOf(pages.FirstRow(p + 1)),
                          paper.Height - kPrintBodyEnd + kPrintRowHeight);
            }
            sum += pages.RowsOn(p);
        }
        EXPECT_EQ(sum, 300);
        // rows of one line given by lines: the same pages as without
        const TPrintPages single(paper, 300, [](int) { return 1; });
        const TPrintPages plain(paper, 300);
        EXPECT_EQ(single.PageCount(), plain.PageCount());
        EXPECT_EQ(single.RowsOn(1), plain.RowsOn(1));
    }
}

TEST(PrintLayout, RowsPerPageAndPageBreaks) {
    struct Case {
        TPrintPaper Paper;
        int Rows;
        int Pages;
    };
    // portrait: 53 rows on the first page, 55 on each following one;
    // landscape: 31 and 33
    const Case cases[] = {{kA4Portrait, 0, 1},   {kA4Portrait, 1, 1},    {kA4Portrait, 53, 1},
                          {kA4Portrait, 54, 2},  {kA4Portrait, 108, 2},  {kA4Portrait, 109, 3},
                          {kA4Landscape, 31, 1}, {kA4Landscape, 32, 2},  {kA4Landscape, 64, 2},
                          {kA4Landscape, 65, 3}, {kA4Portrait, 1000000, 1 + (1000000 - 53 + 54) / 55}};
    for (const Case& c : cases) {
        const TPrintPages pages(c.Paper, c.Rows);
        EXPECT_EQ(pages.PageCount(), c.Pages) << c.Paper.Width << " " << c.Rows;
        int sum = 0;
        for (int p = 0; p < pages.PageCount(); ++p) {
            EXPECT_EQ(pages.FirstRow(p), sum);
            sum += pages.RowsOn(p);
        }
        EXPECT_EQ(sum, c.Rows);
    }
    const TPrintPages portrait(kA4Portrait, 200);
    EXPECT_EQ(portrait.RowsOnFirstPage(), 53);
    EXPECT_EQ(portrait.RowsOnFollowingPage(), 55);
    EXPECT_EQ(portrait.PageOfRow(52), 0);
    EXPECT_EQ(portrait.PageOfRow(53), 1);
    EXPECT_EQ(portrait.PageOfRow(108), 2);
    // the last row of a full first page still starts above the break line
    EXPECT_LT(kPrintBodyFirst + 52 * kPrintRowHeight, kA4Portrait.Height - kPrintBodyEnd);
    EXPECT_GE(kPrintBodyFirst + 53 * kPrintRowHeight, kA4Portrait.Height - kPrintBodyEnd);
    const TPrintPages landscape(kA4Landscape, 200);
    EXPECT_EQ(landscape.RowsOnFirstPage(), 31);
    EXPECT_EQ(landscape.RowsOnFollowingPage(), 33);
}

TEST(PrintLayout, SelectionDecidesTheRows) {
    // one selected row (or none): the whole protocol
    EXPECT_EQ(PrintRows(4, {2}), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(PrintRows(4, {}), (std::vector<int>{0, 1, 2, 3}));
    // rows 10 to 20 (1-based): those eleven, in order, each once
    std::vector<int> sel;
    for (int r = 19; r >= 9; --r) sel.push_back(r);
    sel.push_back(12);
    const std::vector<int> rows = PrintRows(30, sel);
    ASSERT_EQ(rows.size(), 11u);
    EXPECT_EQ(rows.front(), 9);
    EXPECT_EQ(rows.back(), 19);
    // rows of no height are left out
    EXPECT_EQ(PrintRows(5, {}, [](int r) { return r != 1 && r != 3; }),
              (std::vector<int>{0, 2, 4}));
}

TEST(PrintLayout, PeriodSpansTheFirstAndLastPrintedRow) {
    const TTable t = TableOf(30);
    std::vector<int> sel;
    for (int r = 9; r <= 19; ++r) sel.push_back(r);
    const TPrintPeriod period = PrintPeriodOf(t, PrintRows(30, sel));
    EXPECT_EQ(period.First, "00:00:10,000");
    EXPECT_EQ(period.Last, "00:00:20,000");
    // skipped rows do not count
    const TPrintPeriod skipped = PrintPeriodOf(t, PrintRows(30, {}, [](int r) { return r > 0 && r < 29; }));
    EXPECT_EQ(skipped.First, "00:00:02,000");
    EXPECT_EQ(skipped.Last, "00:00:29,000");
    EXPECT_EQ(PrintPeriodOf(t, {}).First, "");
}

// A protocol holds times of day; the period's dates come from a moment at or
// after the last row was recorded.
TEST(PrintLayout, PeriodCarriesItsDates) {
    auto at = [](int y, int mo, int d, int h, int mi) {
        TDateTime t;
        t.Year = y;
        t.Month = mo;
        t.Day = d;
        t.Hour = h;
        t.Minute = mi;
        return t;
    };
    TTable t = TableOf(2);
    const struct {
        const char* What;
        int64_t FirstMs, LastMs;
        TDateTime Reference;
        const char* First;
        const char* Last;
    } cases[] = {
        {"same day", 36000000, 36005900, at(2026, 12, 10, 12, 0), "10.12.2026 10:00:00,000",
         "10:00:05,900"},
        {"saved after midnight", 82800000, 84000000, at(2026, 12, 11, 0, 5),
         "10.12.2026 23:00:00,000", "23:20:00,000"},
        {"over midnight", 85000000, 600000, at(2026, 12, 11, 8, 0), "10.12.2026 23:36:40,000",
         "11.12.2026 00:10:00,000"},
        {"new year", 85000000, 600000, at(2027, 1, 1, 1, 0), "31.12.2026 23:36:40,000",
         "01.01.2027 00:10:00,000"},
        {"leap day", 36000000, 36000000, at(2024, 3, 1, 9, 0), "29.02.2024 10:00:00,000",
         "10:00:00,000"},
    };
    for (const auto& c : cases) {
        t.SetCell(pcStart, 0, std::to_string(c.FirstMs));
        t.SetCell(pcStart, 1, std::to_string(c.LastMs));
        const TPrintPeriod p = PrintPeriodOf(t, {0, 1}, c.Reference);
        EXPECT_EQ(p.First, c.First) << c.What;
        EXPECT_EQ(p.Last, c.Last) << c.What;
    }
    EXPECT_EQ(PrintPeriodOf(t, {0, 1}).First, "10:00:00,000") << "no moment known: times only";
}

TEST(PrintLayout, MomentInAProtocolsName) {
    const auto t = ProtocolNameTime("/x/2026-12-10-08-15-30.PRO.CSV");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->Year, 2026);
    EXPECT_EQ(t->Month, 12);
    EXPECT_EQ(t->Day, 10);
    EXPECT_EQ(t->Hour, 8);
    EXPECT_EQ(t->Minute, 15);
    EXPECT_EQ(t->Second, 30);
    EXPECT_TRUE(ProtocolNameTime("WBTEMP-2026-12-09-23-59-59.PRO.CSV"));
    EXPECT_EQ(ProtocolNameTime("C:\\p\\2025-01-02-03-04-05.PRO.CSV")->Year, 2025);
    for (const char* none : {"LINIE7.PRO.CSV", "2026-13-10-08-15-30.PRO.CSV",
                             "2026-02-30-08-15-30.PRO.CSV", "2026-12-10-24-00-00.PRO.CSV",
                             "2026-12-10.PRO.CSV", "/2026-12-10-08-15-30/x.PRO.CSV", ""})
        EXPECT_FALSE(ProtocolNameTime(none)) << none;
}

TEST(PrintLayout, PageRanges) {
    EXPECT_EQ(ParsePageRanges("1-3,7", 10), (std::vector<int>{1, 2, 3, 7}));
    EXPECT_EQ(ParsePageRanges(" 4 ; 2-2 ,4", 10), (std::vector<int>{2, 4}));
    EXPECT_EQ(ParsePageRanges("2-99", 5), (std::vector<int>{2, 3, 4, 5}));
    EXPECT_TRUE(ParsePageRanges("3-1", 5).empty());
    EXPECT_TRUE(ParsePageRanges("x", 5).empty());
    EXPECT_TRUE(ParsePageRanges("0", 5).empty());
}

} // namespace
} // namespace vaskel
