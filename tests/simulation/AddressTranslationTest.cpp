#include "simulation/AddressTranslation.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace vaskel {
namespace {

class AddressTranslationFieldsTest : public ::testing::Test {
protected:
    TFixedSystemPlatform Platform;
    TEnvironment Env{nullptr, Platform};
};

TEST_F(AddressTranslationFieldsTest, FieldsStartAtTheTableAndLookActiveWhenChanged) {
    Env.SetAddressTranslation(4, 9);
    TAddressTranslationFields f(Env);
    EXPECT_EQ(f.Value(4), "9");
    EXPECT_EQ(f.Reference(4), 9);
    EXPECT_FALSE(f.Changed(4));
    f.SetValue(4, "4");
    EXPECT_TRUE(f.Changed(4)) << "differs from the value at opening, not from the address";
    f.SetValue(1, "1");
    EXPECT_FALSE(f.Changed(1));
}

TEST_F(AddressTranslationFieldsTest, EmptyFieldsReturnToTheirReferenceInvalidOnesStay) {
    Env.SetAddressTranslation(2, 7);
    TAddressTranslationFields f(Env);
    struct TCase {
        const char* Typed;
        const char* Kept;
        bool Valid;
    };
    const TCase cases[] = {{"16", "16", false}, {"", "7", true},    {"  ", "7", true},
                           {"0", "0", false},   {"x", "x", false},  {"-3", "-3", false},
                           {"99", "99", false}, {"15", "15", true}, {"1", "1", true}};
    for (const TCase& c : cases) {
        f.SetValue(2, c.Typed);
        f.Leave(2);
        EXPECT_EQ(f.Value(2), c.Kept) << c.Typed;
        EXPECT_EQ(f.Valid(2), c.Valid) << c.Typed;
        EXPECT_EQ(f.FirstInvalid(), c.Valid ? 0 : 2) << c.Typed;
    }
    f.Reset();
    f.SetValue(2, "");
    f.Leave(2);
    EXPECT_EQ(f.Value(2), "2") << "after Zurücksetzen the own number is the reference";
}

TEST_F(AddressTranslationFieldsTest, OkStoresEveryFieldAndResetDefinesNothing) {
    TAddressTranslationFields f(Env);
    f.SetValue(10, "3");
    f.SetValue(5, "abc"); // never left: stored as its own number
    f.Store(Env);
    EXPECT_EQ(Env.GetAddressTranslation(10), 3);
    EXPECT_EQ(Env.GetAddressTranslation(5), 5);
    EXPECT_TRUE(Env.IBISAddressTranslationDefined());
    TAddressTranslationFields again(Env);
    again.Reset();
    for (int a = 1; a <= kAddressCount; ++a) {
        EXPECT_EQ(again.Value(a), std::to_string(a));
        EXPECT_FALSE(again.Changed(a)) << a;
    }
    again.Store(Env);
    EXPECT_FALSE(Env.IBISAddressTranslationDefined());
}

TEST(AddressTranslationLabels, NameTheIbisHexDigit) {
    EXPECT_EQ(TAddressTranslationFields::Label(1), "Adresse 1 (1):");
    EXPECT_EQ(TAddressTranslationFields::Label(10), "Adresse 10 (:):");
    EXPECT_EQ(TAddressTranslationFields::Label(15), "Adresse 15 (?):");
}

TEST(AddressTranslationOption, PairsOfAddresses) {
    std::array<int, kAddressCount> t{};
    std::string problem;
    ASSERT_TRUE(ParseAddressTranslation("1=5,2=6", t, problem)) << problem;
    EXPECT_EQ(t[0], 5);
    EXPECT_EQ(t[1], 6);
    EXPECT_EQ(t[2], 3) << "addresses not named stay";
    ASSERT_TRUE(ParseAddressTranslation("10=3", t, problem));
    EXPECT_EQ(t[9], 3);
    EXPECT_EQ(t[0], 1) << "a new table each time";
    for (const char* bad : {"", "1=16", "0=2", "1:5", "1=5,", "a=b", "1=5;2=6"})
        EXPECT_FALSE(ParseAddressTranslation(bad, t, problem)) << bad;
    // one address, two targets: which one was meant is not known
    for (const char* twice : {"1=2,1=3", "1=2,5=6,1=2"}) {
        EXPECT_FALSE(ParseAddressTranslation(twice, t, problem)) << twice;
        EXPECT_NE(problem.find("address 1 is translated twice"), std::string::npos) << problem;
    }
}

} // namespace
} // namespace vaskel
