#include "link/TrafficLog.h"

#include "RecordingSink.h"

#include <gtest/gtest.h>

namespace vaskel {
namespace {

using test::Hex;
using S = TTrafficSide;

TEST(TrafficLog, RowsOfBothSidesLineUpInTimeAndAreSavedInOrder) {
    TTrafficLog log;
    log.Log(S::Received, Hex("88 40"), 8 * 3600000 + 5 * 60000 + 3 * 1000 + 7);
    log.Log(S::Sent, Hex("A0"), 8 * 3600000 + 5 * 60000 + 3 * 1000 + 20);
    log.Log(S::Sent, "l001\r" + std::string(1, '\x0C'), 13 * 3600000 + 1);
    ASSERT_EQ(log.Size(), 3u);
    // received text / filler, filler / sent text, filler / sent text
    EXPECT_EQ(log.Text(S::Received, 0), "<88>@");
    EXPECT_TRUE(log.Filler(S::Sent, 0));
    EXPECT_EQ(log.Text(S::Sent, 0), "");
    EXPECT_TRUE(log.Filler(S::Received, 1) && log.Filler(S::Received, 2));
    EXPECT_EQ(log.Text(S::Sent, 1), "<A0>");
    EXPECT_EQ(log.Text(S::Sent, 2), "l001<0D><0C>");

    const std::string saved = log.SaveText({2026, 3, 9, 14, 7, 55, 0});
    EXPECT_EQ(saved, "Kommunikationsprotokoll. Aufgezeichnet: 09.03.2026 14:07\r\n" +
                         std::string(65, '-') +
                         "\r\n"
                         "[Ger\xE4t > PC 08:05:03,007] <88>@\r\n"
                         "[PC > Ger\xE4t 08:05:03,020] <A0>\r\n"
                         "[PC > Ger\xE4t 13:00:00,001] l001<0D><0C>\r\n"
                         "----ENDE DER AUFZEICHNUNG -----------------------------------\r\n");
    EXPECT_EQ(TTrafficLog::ProposedFileName({2026, 3, 9, 14, 7, 55, 0}),
              "Kommunikationsprotokoll_09-03-2026_14-07.txt");
}

TEST(TrafficLog, StaysWithinItsBoundWhicheverSideLogs) {
    TTrafficLog log;
    for (int k = 0; k < 1000; ++k)
        EXPECT_EQ(log.Log(S::Received, "r" + std::to_string(k), k), 0u);
    ASSERT_EQ(log.Size(), 1000u);
    // one more received row drops the oldest row of both lists
    EXPECT_EQ(log.Log(S::Received, "r1000", 1000), 1u);
    EXPECT_EQ(log.Size(), 1000u);
    EXPECT_EQ(log.Text(S::Received, 0), "r1");
    EXPECT_EQ(log.Text(S::Received, 999), "r1000");
    // sent rows are bounded as well: a long master simulation only sends
    for (int k = 0; k < 5000; ++k)
        log.Log(S::Sent, "s" + std::to_string(k), 2000 + k);
    EXPECT_EQ(log.Size(), 1000u);
    EXPECT_EQ(log.Text(S::Sent, 0), "s4000");
    EXPECT_EQ(log.Text(S::Sent, 999), "s4999");
    EXPECT_TRUE(log.Filler(S::Received, 999));
}

TEST(TrafficLog, HexModeAndLeadingBlanks) {
    TTrafficLog log;
    log.Log(S::Received, "  ab", 0); // leading blanks go
    log.SetMode(TTrafficMode::Hex);
    log.Log(S::Received, Hex("82 00 0D"), 1);
    log.Log(S::Sent, "", 2);
    EXPECT_EQ(log.Text(S::Received, 0), "ab");
    EXPECT_EQ(log.Text(S::Received, 1), "82 00 0D");
    // a row keeps the form it was logged in
    EXPECT_EQ(log.Rows()[0].Mode, TTrafficMode::Ascii);
    EXPECT_EQ(log.Rows()[1].Mode, TTrafficMode::Hex);
    EXPECT_EQ(log.Text(S::Sent, 2), "");
    EXPECT_FALSE(log.Filler(S::Sent, 2)) << "an empty string still has its row";
}

TEST(TrafficLog, HighlightCoversTheFirstBytes) {
    struct Case {
        const char* Text;
        TTrafficMode Mode;
        int Count;
        std::size_t Chars;
    };
    const Case cases[] = {
        {"<0D>AB", TTrafficMode::Ascii, 2, 5}, // the token and the A
        {"<0D>AB", TTrafficMode::Ascii, 1, 4},
        {"<0D>AB", TTrafficMode::Ascii, 0, 0},
        {"AB", TTrafficMode::Ascii, 8, 2},      // no more than the row has
        {"<0D", TTrafficMode::Ascii, 2, 2},     // an unclosed group is two letters
        {"<AB><CD>", TTrafficMode::Ascii, 2, 8},
        {"82 00 0D", TTrafficMode::Hex, 1, 3},
        {"82 00 0D", TTrafficMode::Hex, 2, 6},
        {"82 00 0D", TTrafficMode::Hex, 3, 8},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HighlightLength(c.Text, c.Mode, c.Count), c.Chars)
            << c.Text << " count " << c.Count;
    TTrafficLog log;
    EXPECT_EQ(log.HighlightCount(), 1);
    log.SetHighlightCount(12);
    EXPECT_EQ(log.HighlightCount(), 8);
    log.SetHighlightCount(-1);
    EXPECT_EQ(log.HighlightCount(), 0);
}

} // namespace
} // namespace vaskel
