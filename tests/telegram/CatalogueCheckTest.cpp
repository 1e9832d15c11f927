#include "telegram/CatalogueCheck.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace vaskel {
namespace {

const std::string kShipped = std::string(VASKEL_TEST_DATA_DIR) + "/IBIS.CSV";

TCatalogueRow Row(std::string no, std::string pattern, std::string example, bool master = true,
                  bool train = false, std::string description = "Text") {
    return {{no, pattern, example, master ? "-1" : "0", "", train ? "-1" : "0", "-1", description,
             "Text"},
            0};
}

TEST(PatternSyntax, FaultsAndTheirPositions) {
    using K = TPatternError::TKind;
    struct Case {
        const char* Pattern;
        std::optional<K> Kind;
        int Position;
    };
    const Case cases[] = {
        {"l3Z", std::nullopt, 0},
        {"zA1H=$1$1(16C)", std::nullopt, 0},
        {"a[AB]2Z", std::nullopt, 0},
        {"a[($=]1Z", std::nullopt, 0}, // a set takes its characters literally
        {"a]1Z", std::nullopt, 0},     // a lone "]" is a literal
        {"a[AB2Z", K::UnclosedSet, 1},
        {"a1Z)", K::UnopenedGroup, 3},
        {"a(1Z(2C)", K::UnclosedGroup, 1},
        {"a1H=1", K::BadStore, 3},
        {"a1H=$", K::BadStore, 3},
        {"a$x", K::BadUse, 1},
        {"a1H=$1$2(1C)", K::UnsetVariable, 6},
    };
    for (const Case& c : cases) {
        const auto e = CheckPatternSyntax(c.Pattern);
        ASSERT_EQ(e.has_value(), c.Kind.has_value()) << c.Pattern;
        if (!e) continue;
        EXPECT_EQ(e->Kind, *c.Kind) << c.Pattern;
        EXPECT_EQ(e->Position, c.Position) << c.Pattern;
    }
    EXPECT_EQ(CheckPatternSyntax("a1H=$1$2(1C)")->Variable, '2');
}

TEST(CatalogueCheck, TheShippedCatalogueBothBusesPass) {
    const auto rows = ReadCatalogueRows(ReadCatalogueFile(kShipped));
    ASSERT_GT(rows.size(), 40u);
    const auto problems = CheckCatalogue(rows);
    for (const auto& p : problems)
        ADD_FAILURE() << CatalogueProblemText(p, 2);
}

TEST(CatalogueCheck, EachFaultNamesItsRow) {
    std::vector<TCatalogueRow> rows = {
        Row("001", "l 3Z", "l001"),                     // 0 fine
        Row("050", "x[12", "x1"),                       // 1 broken pattern
        Row("051", "y 2Z", "y1"),                       // 2 example too short
        Row("052", "", "q"),                            // 3 empty pattern
        Row("053", "w 1Z", ""),                         // 4 empty example
        Row("054", "v 2C", "vab", true, false, "a//b"), // 5 "//": skipped by the loader
        Row("055", "u 2C", "uab", true, false, "a\nb"), // 6 line break
        Row("056", "l 3Z", "l123"),                     // 7 same pattern as 001: wins over it
        {{"057", "t1Z", "t1", "-1"}, 12},               // 8 too few fields
        Row("058", "s 1Z", "s1", false),                // 9 a slave answer, fine in its role
    };
    const auto problems = CheckCatalogue(rows);
    struct Want {
        int Row;
        TCatalogueFault Fault;
    };
    const Want want[] = {
        {0, TCatalogueFault::OtherRecordType}, // 056 comes later and wins the tie
        {1, TCatalogueFault::PatternSyntax},   {2, TCatalogueFault::ExampleNoMatch},
        {3, TCatalogueFault::EmptyPattern},    {4, TCatalogueFault::EmptyExample},
        {5, TCatalogueFault::CommentMark},     {6, TCatalogueFault::ControlCharacter},
        {8, TCatalogueFault::TooFewFields},
    };
    ASSERT_EQ(problems.size(), std::size(want));
    for (std::size_t k = 0; k < problems.size(); ++k) {
        EXPECT_EQ(problems[k].Row, want[k].Row) << k;
        EXPECT_EQ(problems[k].Fault, want[k].Fault) << k;
    }
    EXPECT_EQ(problems[0].OtherRecordNo, "056");
    EXPECT_EQ(problems[2].MatchedLength, 2);
    EXPECT_EQ(problems[7].LineNo, 12);
    EXPECT_EQ(CatalogueProblemText(problems[0], 1), "DS 001: das Beispiel wird als DS 056 erkannt");
    EXPECT_EQ(CatalogueProblemText(problems[1], 2),
              "DS 050: pattern error at character 2: \"[\" without \"]\"");
    EXPECT_EQ(CatalogueProblemText(problems[2], 2),
              "DS 051: the example does not match the pattern (from character 3 on)");
    EXPECT_EQ(CatalogueProblemText(problems[7], 2), "Line 12, DS 057: fewer than 8 fields");
}

TEST(CatalogueCheck, RoleAndBusDecide) {
    // a slave answer with the same pattern as a master telegram is still
    // found in its own role; a train-bus row only on the train bus
    std::vector<TCatalogueRow> rows = {
        Row("020", "a @1H", "a1", true),
        Row("120", "a @1H", "a1", false),
        Row("900", "k 2Z", "k07", true, true),
        Row("901", "k 2Z", "k07", true, false),
    };
    EXPECT_TRUE(CheckCatalogue(rows).empty());
    // an example too short for its own pattern fails, though another row
    // takes it
    rows = {Row("010", "x 4Z", "x12", true), Row("011", "x *Z", "x12", true)};
    const auto problems = CheckCatalogue(rows);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].Fault, TCatalogueFault::ExampleNoMatch);
}

TEST(CatalogueCheck, ExamplesInEntryNotation) {
    // "<CR>" ends the body; an umlaut is its IBIS character
    const std::vector<TCatalogueRow> rows = {Row("001", "l 3Z", "l001<CR>"),
                                             Row("009", "v [{]", "v\xE4")};
    EXPECT_TRUE(CheckCatalogue(rows).empty());
}

} // namespace
} // namespace vaskel
