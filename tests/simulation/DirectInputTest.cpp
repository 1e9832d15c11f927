#include "simulation/DirectInput.h"

#include <gtest/gtest.h>

namespace vaskel {
namespace {

TEST(DirectInput, ClockAndDateShortcutsExpand) {
    TDateTime t;
    t.Year = 2026;
    t.Month = 12;
    t.Day = 10;
    t.Hour = 8;
    t.Minute = 5;
    t.Second = 9;
    const std::pair<const char*, const char*> cases[] = {
        {"u", "u0805"},
        {"d", "d10126"}, // the last digit of the year
        {"DU", "dU10122026080509"},
        {"du", "dU10122026080509"},
        {"u0730", "u0730"},
        {"U", "U"},
        {"", ""},
        {"l001", "l001"}};
    for (const auto& [typed, sent] : cases)
        EXPECT_EQ(ExpandDirectInput(typed, t), sent) << typed;
}

TEST(DirectInput, HistoryKeepsTenUniqueEntriesNewestFirst) {
    std::vector<std::string> h;
    EXPECT_TRUE(AddToHistory(h, "l001"));
    EXPECT_FALSE(AddToHistory(h, "L001")) << "already at the top, letter case ignored";
    EXPECT_TRUE(AddToHistory(h, "  z034"));
    EXPECT_EQ(h, (std::vector<std::string>{"z034", "l001"})) << "leading blanks go";
    EXPECT_TRUE(AddToHistory(h, "l001"));
    EXPECT_EQ(h, (std::vector<std::string>{"l001", "z034"})) << "moved to the top, not doubled";
    for (int k = 0; k < 8; ++k)
        AddToHistory(h, "k0" + std::to_string(k));
    ASSERT_EQ(h.size(), 10u);
    EXPECT_EQ(h.back(), "z034");
    AddToHistory(h, "x1200");
    ASSERT_EQ(h.size(), 10u);
    EXPECT_EQ(h.front(), "x1200");
    EXPECT_EQ(h.back(), "l001") << "the oldest went";

    const std::vector<std::string> odd = {"zA1Hbf ab", "a,b", "say \"hi\"", "u"};
    const std::string stored = HistoryToSetting(odd);
    EXPECT_EQ(stored, "\"zA1Hbf ab\",\"a,b\",\"say \"\"hi\"\"\",u");
    EXPECT_EQ(HistoryFromSetting(stored), odd);
    EXPECT_TRUE(HistoryFromSetting("").empty());
}

TEST(DirectInput, LiveCheckVerdicts) {
    TTelegramRecord exact;
    exact.RecordNo = "005";
    exact.ExactMatch = exact.RoleAsExpected = true;
    TTelegramRecord slave = exact;
    slave.RecordNo = "120";
    slave.RoleAsExpected = false;
    TTelegramRecord syntax = exact;
    syntax.ExactMatch = false;
    syntax.PatternText = "u4Z";
    TTelegramRecord both = slave;
    both.ExactMatch = false;
    TTelegramRecord none;
    struct TCase {
        const char* Typed;
        const TTelegramRecord* Record;
        TLiveCheck::TVerdict Verdict;
        const char* RecordCaption;
    };
    const TCase cases[] = {
        {"u0730", &exact, TLiveCheck::Fine, "DS005"},
        {"a10", &slave, TLiveCheck::TypeError, "DS120"},
        {"u07", &syntax, TLiveCheck::SyntaxError, "DS005"},
        {"a1", &both, TLiveCheck::SyntaxAndTypeError, "DS120"},
        {"#", &none, TLiveCheck::Unknown, "???"},
        {"", &none, TLiveCheck::Empty, ""},
    };
    for (const TCase& c : cases) {
        const TLiveCheck v = LiveCheck(c.Typed, *c.Record);
        EXPECT_EQ(v.Verdict, c.Verdict) << c.Typed;
        EXPECT_EQ(v.RecordCaption, c.RecordCaption) << c.Typed;
    }
    EXPECT_EQ(LiveCheck("u07", syntax).Pattern, "u4Z");
    TTelegramRecord ds021 = exact;
    ds021.RecordNo = "021";
    EXPECT_EQ(LiveCheck("aA1", ds021).DetailCaption, "DS 021 ...");
    EXPECT_EQ(LiveCheck("u0730", exact).DetailCaption, "");
}

} // namespace
} // namespace vaskel
