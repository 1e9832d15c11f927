#include "telegram/Filter.h"

#include <gtest/gtest.h>

namespace vaskel {
namespace {

TEST(Filter, PrefixMatches) {
    EXPECT_TRUE(PrefixMatches("aA1x", "aA"));
    EXPECT_FALSE(PrefixMatches("aA1x", "aA1x2")) << "a key longer than the telegram";
    EXPECT_TRUE(PrefixMatches("aA1x", "aA1x"));
    EXPECT_TRUE(PrefixMatches("a 1x", "aA")) << "a blank matches any key character";
    EXPECT_FALSE(PrefixMatches("zA1", "aA"));
    EXPECT_TRUE(PrefixMatches("l001", ""));
}

TEST(Filter, Accepts) {
    EXPECT_TRUE(FilterAccepts("l001", "001", "", "")) << "no record type: everything passes";
    EXPECT_FALSE(FilterAccepts("l001", "001", "001;", "")) << "no group: nothing passes";
    EXPECT_TRUE(FilterAccepts("l001", "001", "003a;001;", "z;l;"));
    EXPECT_FALSE(FilterAccepts("l001", "001", "003a;", "l;"));
    EXPECT_FALSE(FilterAccepts("aA1x", "[021]", "021;", "a;")) << "a bracketed number never equals";
    EXPECT_FALSE(FilterAccepts("l001", "001", "001;", "z;"));
}

TEST(Filter, RowsWithErrorsStay) {
    EXPECT_FALSE(FilterShowsRow("aA1x", "[021]", " ", "021;", "a;", true));
    EXPECT_TRUE(FilterShowsRow("aA1x", "[021]", "X", "021;", "a;", true));
    EXPECT_FALSE(FilterShowsRow("aA1x", "[021]", "X", "021;", "a;", false));
    EXPECT_FALSE(FilterShowsRow("", "021", "", "021;", "a;", false)) << "an empty telegram";
}

TEST(Filter, MarkText) {
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"zA2Hauptbahnhof", "za", true},    // begins with, any letter case
        {"zA2Hauptbahnhof", "bahn", false}, // not at the start
        {"zA2Hauptbahnhof", "*bahn", true},
        {"zA2Hauptbahnhof", "z?2", true},
        {"zA2Hauptbahnhof", "z**2", true}, // "**" counts as "*"
        {"zA2Hauptbahnhof", "zb", false},
        {"z*2", "z/*", true}, // a literal star
        {"zx2", "z/*", false},
        {"a?b", "a/?b", true},
        {"axb", "a/?b", false},
        {"anything", "", false},
    };
    for (const auto& [t, m, want] : cases)
        EXPECT_EQ(MarkMatches(t, m), want) << t << " ~ " << m;
}

} // namespace
} // namespace vaskel
