#include "recording/PrintLayout.h"
#include "recording/Recorder.h"

#include <gtest/gtest.h>

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
    t.SetCell(pcReaction, 0, "12");
    EXPECT_EQ(PrintMeasureText(t, 0, pcReaction, EmptyParser(), TBusType::bsVehicleBus), "0,012");
    EXPECT_EQ(PrintMeasureText(t, 0, pcTelegram, EmptyParser(), TBusType::bsVehicleBus), "M");
    EXPECT_EQ(PrintMeasureText(t, 0, pcDescription, EmptyParser(), TBusType::bsVehicleBus),
              "Liniennummer");
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
