#include "telegram/TelegramParser.h"
#include "telegram/TextConventions.h"

#include <gtest/gtest.h>

namespace vaskel {
namespace {

struct ScoreCase {
    std::string body, pattern;
    int score;
};

TEST(MatchScore, Table) {
    const std::string twoBlocks = "zA2" + std::string(32, 'x');
    const ScoreCase cases[] = {
        {"l001", "l3Z", -1},
        {"l0012", "l3Z", 1005}, // body left over: head 1, 4 consumed
        {"l0a1", "l3Z", 1003},
        {"l00", "l3Z", 1004}, // class reached with the body exhausted
        {"k01", "l3Z", 1},    // fails at the first literal
        {"", "l3Z", -1000},
        {"l", "", -1000},
        {"lE05", "lE2Z", -1},
        {twoBlocks, "zA1H=$1$1(16C)", -1},
        {"zA1" + std::string(16, 'x'), "zA1H=$1$1(16C)", -1},
        {"zA2" + std::string(16, 'x'), "zA1H=$1$1(16C)", 2020}, // second block missing
        {"zA1" + std::string(17, 'x'), "zA1H=$1$1(16C)", 2020}, // one character too many
        {"zA0", "zA1H=$1$1(16C)", 2004},
        {"zA:" + std::string(160, '.'), "zA1H=$1$1(16C)", -1}, // ':' is ten blocks
        {"a123", "a*Z", -1},
        {"a12x3", "a*Z", 1004},
        {"a", "a*Z", 1002},
        {"vHallo Welt", "v*C", -1},
        {"v", "v*C", 1002},
        {"k7", "k[789]", -1},
        {"k6", "k[789]", 1002},
        {"x0A", "x2X", -1},
        {"x0a", "x2X", 1003},
        {"x9A", "x2H", 1003},
        {"x9?", "x2H", -1},
        {"x9?", "x2C", -1},
        {"y:?", "y2H", -1},
        {"a1b", "a1b", -1},    // a digit equal to the body character is a literal
        {"a2b", "a1b", 1002},  // ...a differing one is a count element
        {"HX", "HX", -1},      // class letters without count are literals
        {"a)", "a)", 1002},    // ')' without '('
        {"a1", "a1H=x", 1003}, // '=' must be followed by '$' and a digit
        {"a1", "a1H$", 1003},
        {"x12", "x2Z()", -1}, // elements that need no character after the body
        {"x12", "x2Z[", -1},
        {"x12", "x2Z[1]", 1004},
        {"x12", "x2Z1", 1004}, // a literal digit still needs a character
        {"abc", "abc", -1},
        {"abcd", "abc", 3004}, // no special character: the head is all consumed
        {"aL105Linie", "aL@1H2H=$1$1(1C)", -1},
        {"aL105Lini", "aL@1H2H=$1$1(1C)", 2010},
        {"q12", "q1Z=$1$1(1Z)", -1},
        {"q2(", "q1Z=$1$1(1Z)", 1003},
        {"e12", "e12Z", 1004}, // twelve digits expected
        {"x", "x=$1$1()", 1002},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MatchScore(c.body, c.pattern), c.score) << c.body << " ~ " << c.pattern;
}

TEST(MatchScore, GroupThatConsumesNothingDoesNotHang) {
    EXPECT_EQ(MatchScore("x5y", "x1Z=$1$1()y"), 1003);
}

// Catalogues are user files: counts and variables of any size must walk
// like any other count or variable, never past the ends of the numbers.
TEST(MatchScore, CountsLongerThanAnyBody) {
    // twenty digits; the first wraps to -1 in 64 bits
    for (const std::string& count : std::vector<std::string>{
             "18446744073709551615", "99999999999999999999", std::string(400, '9')}) {
        EXPECT_EQ(MatchScore("x12", "x" + count + "Z"), 1004) << count;
        EXPECT_EQ(MatchScore("x12", "x" + count + "C"), 1004) << count;
    }
}

TEST(MatchScore, VeryLongHeadsStayPositive) {
    const std::string head(2'200'000, 'a');
    EXPECT_EQ(MatchScore(head + "b", head + "c"), INT32_MAX);
    EXPECT_GT(MatchScore(head + "b", head + "c"), MatchScore("ab", "ac"));
}

TEST(SplitFields, RepeatVariablesOfEveryValue) {
    // A variable below one closes its group after one pass and steps back
    // one character: the most negative value too.
    for (const char* value :
         {"0000000000000000", "FFFFFFFFFFFFFFFF", "8000000000000000", "8000000000000001"}) {
        TTelegramRecord r;
        r.Telegram = std::string("y") + value + "ab";
        TWagenbusProfileRecord type;
        type.Pattern = "y16X=$1$1(1C)";
        TIBISTelegramParser::SplitFields(r, type);
        EXPECT_FALSE(r.ExactMatch) << value;
        EXPECT_EQ(r.Rest, "ab") << value;
        EXPECT_EQ(MatchScore(r.Telegram, type.Pattern), 1020) << value;
    }
}

class ParserTest : public ::testing::Test {
protected:
    static TIBISTelegramParser Make() {
        return TIBISTelegramParser(
            ParseCatalogue("\"001\";\"l 3Z\";\"l001\";-1;\"\";0;-1;\"Linie\"\r\n"
                           "\"001\";\"l3Z\";\"l001\";-1;\"\";-1;-1;\"Zug Linie\"\r\n"
                           "\"002\";\"k2Z\";\"k01\";-1;\"\";0;-1;\"Kurs\"\r\n"
                           "\"020\";\"a @1H\";\"a1\";-1;\"120\";0;-1;\"Status\"\r\n"
                           "\"120\";\"a @1H, 1Z\";\"a10\";0;\"\";0;-1;\"Antwort\"\r\n"
                           "\"021\";\"aA @1H, 1H=$1, $1(16C)\";\"\";-1;\"\";0;-1;\"Ziel\"\r\n"
                           "\"003c\";\"zI 1H=$1, $1(4C)\";\"zI1Nord\";-1;\"\";0;-1;\"Innen\"\r\n"
                           "\"009\";\"v*C\";\"vText\";-1;\"\";0;-1;\"Text\"\r\n"
                           "\"099\";\"y*Z\";\"y1\";-1;\"\";0;-1;\"Ziffern\"\r\n"
                           "\"X1\";\"x4Z\";\"x1234\";-1;\"\";0;-1;\"vier Ziffern\"\r\n"
                           "\"X2\";\"xA3Z\";\"xA123\";-1;\"\";0;-1;\"A und drei\"\r\n"
                           "\"X3\";\"xB2Z\";\"xB12\";-1;\"\";0;-1;\"B Ziffern\"\r\n"
                           "\"X4\";\"xB2X\";\"xB1F\";-1;\"\";0;-1;\"B Hex\"\r\n"
                           "\"S1\";\"s1Z\";\"s1\";0;\"\";0;-1;\"nur Slave\"\r\n"
                           "\"SET\";\"[bc]x\";\"bx\";-1;\"\";0;-1;\"Menge\"\r\n",
                           "test"));
    }
    TIBISTelegramParser P = Make();
    TTelegramRecord C(const std::string& t, bool master = true,
                      TBusType bus = TBusType::bsVehicleBus) {
        return P.Classify(t, master, bus);
    }
};

TEST_F(ParserTest, ExactMasterTelegramWithCrAndCheckByte) {
    const auto r = C("l001\r/");
    EXPECT_EQ(r.RecordNo, "001");
    EXPECT_EQ(r.Description, "Linie");
    EXPECT_EQ(r.Pattern, "l3Z");
    EXPECT_EQ(r.PatternText, "l 3Z");
    EXPECT_EQ(r.Telegram, "l001\r/");
    EXPECT_EQ(r.Prefix, "l");
    EXPECT_EQ(r.Address, "");
    EXPECT_EQ(r.Data, "001");
    EXPECT_EQ(r.DataText, "001");
    EXPECT_EQ(r.Rest, "");
    EXPECT_EQ(r.CRText, "<CR>");
    EXPECT_EQ(r.CheckByte, "/");
    EXPECT_TRUE(r.ExactMatch);
    EXPECT_TRUE(r.RoleAsExpected);
    EXPECT_TRUE(r.Master);
    EXPECT_FALSE(r.TrainBus);
    EXPECT_EQ(r.MatchedLength, -1);
}

TEST_F(ParserTest, TypedCrTokenIsACrByte) {
    const auto typed = C("l001<CR>/");
    EXPECT_EQ(typed, C("l001\r/"));
    EXPECT_EQ(C("l001<CR>").CheckByte, "");
    EXPECT_EQ(C("l001<CR>").CRText, "<CR>");
    // a CR inside the body is an ordinary character
    EXPECT_FALSE(C("l0\r01").ExactMatch);
}

TEST_F(ParserTest, OnlyCrAndCheckByteGivesNoRecord) {
    const auto r = C("\r/");
    EXPECT_EQ(r.RecordNo, "");
    EXPECT_EQ(r.CRText, "<CR>");
    EXPECT_EQ(r.CheckByte, "/");
    EXPECT_EQ(r.Rest, "");
    EXPECT_EQ(r.MatchedLength, 0);
    EXPECT_FALSE(r.ExactMatch);
    EXPECT_FALSE(r.RoleAsExpected);
}

TEST_F(ParserTest, NoRecordResults) {
    const std::string cases[] = {"", "   ", "Q123", "\x01l001", "bx", "\xE4x"};
    for (const auto& t : cases) {
        const auto r = C(t);
        EXPECT_EQ(r.RecordNo, "") << t;
        EXPECT_EQ(r.MatchedLength, 0) << t;
        EXPECT_EQ(r.Telegram, t);
        EXPECT_EQ(r.Rest, t);
        EXPECT_EQ(r.RestText, TelegramToUmlautDisplay(t));
        EXPECT_EQ(r.Description, "");
        EXPECT_FALSE(r.Master || r.Filter || r.TrainBus || r.ExactMatch || r.RoleAsExpected);
    }
    // 'b' has no index entry even though the set pattern "[bc]x" would match it
    EXPECT_EQ(C("bx").RecordNo, "");
}

TEST_F(ParserTest, SlaveAnswerAsMasterFoundInSecondPass) {
    const auto r = C("a10", true);
    EXPECT_EQ(r.RecordNo, "120");
    EXPECT_TRUE(r.ExactMatch);
    EXPECT_FALSE(r.RoleAsExpected);
    EXPECT_EQ(r.MatchedLength, -1);
    EXPECT_EQ(r.Address, "1");
    EXPECT_EQ(r.Data, "0");

    const auto asSlave = C("a10", false);
    EXPECT_EQ(asSlave.RecordNo, "120");
    EXPECT_TRUE(asSlave.RoleAsExpected);

    // a master telegram seen as a slave answer
    const auto m = C("a1", false);
    EXPECT_EQ(m.RecordNo, "020");
    EXPECT_TRUE(m.ExactMatch);
    EXPECT_FALSE(m.RoleAsExpected);
    EXPECT_EQ(m.Answers, "120");
}

TEST_F(ParserTest, OneCharacterTooLong) {
    const auto r = C("l0012\r\x1D");
    EXPECT_EQ(r.RecordNo, "001");
    EXPECT_FALSE(r.ExactMatch);
    EXPECT_TRUE(r.RoleAsExpected);
    EXPECT_EQ(r.Rest, "2");
    EXPECT_EQ(r.RestText, "2");
    EXPECT_EQ(r.Data, "001");
    EXPECT_EQ(r.MatchedLength, 5);
}

TEST_F(ParserTest, StarElements) {
    const auto text = C("vHallo Welt");
    EXPECT_TRUE(text.ExactMatch);
    EXPECT_EQ(text.Data, "Hallo Welt");
    EXPECT_EQ(text.DataText, "Hallo.Welt");

    const auto digits = C("y123");
    EXPECT_TRUE(digits.ExactMatch);
    EXPECT_EQ(digits.Data, "123");

    const auto bad = C("y12x3");
    EXPECT_EQ(bad.RecordNo, "099");
    EXPECT_FALSE(bad.ExactMatch);
    EXPECT_EQ(bad.Rest, "x3");
    EXPECT_EQ(bad.Data, "12");
}

TEST_F(ParserTest, BestPartialMatch) {
    // "xA1": x4Z fails after "x" (1002), xA3Z after "xA1" with head "xA" (2004)
    EXPECT_EQ(C("xA1").RecordNo, "X2");
    EXPECT_EQ(C("xA1").MatchedLength, 4);
    // equal scores: the smaller pattern ("xB2X" < "xB2Z") wins
    EXPECT_EQ(C("xB1").RecordNo, "X4");
    // both match exactly: the first exact match in the scan wins
    EXPECT_EQ(C("xB12").RecordNo, "X4");
    EXPECT_TRUE(C("xB12").ExactMatch);
    EXPECT_EQ(C("xB1234").RecordNo, "X4") << "equal partial scores";
    EXPECT_EQ(C("xB1F").RecordNo, "X4");
}

TEST_F(ParserTest, ScanGoesPastTheFirstCharacter) {
    // No master pattern starts with 's': the first pass takes the first
    // later master type with score 1; the slave type then scores higher.
    const auto r = C("s5x", true);
    EXPECT_EQ(r.RecordNo, "S1");
    EXPECT_FALSE(r.ExactMatch);
    EXPECT_FALSE(r.RoleAsExpected);
    EXPECT_EQ(r.MatchedLength, 3);
    // With no slave type to beat it, the score-1 master type stays.
    const auto q = C("s", true);
    EXPECT_EQ(q.RecordNo, "S1");
    const auto v = C("w", true); // 'w' has no index entry
    EXPECT_EQ(v.RecordNo, "");
}

TEST_F(ParserTest, BusTypeSelectsHalfOfCatalogue) {
    EXPECT_EQ(C("l001", true, TBusType::bsVehicleBus).Description, "Linie");
    const auto t = C("l001", true, TBusType::bsTrainBus);
    EXPECT_EQ(t.Description, "Zug Linie");
    EXPECT_TRUE(t.TrainBus);
    // the train bus half has no course record: the line type scores 1
    const auto k = C("k01", true, TBusType::bsTrainBus);
    EXPECT_EQ(k.RecordNo, "001");
    EXPECT_EQ(k.MatchedLength, 1);
}

TEST_F(ParserTest, SplitAddressDataAndPrefix) {
    const std::string blocks = "Marktplatz      Rathaus/Museum 3";
    const auto r = C("aA12" + blocks + "\r" + CalcCheckByte("aA12" + blocks));
    EXPECT_EQ(r.RecordNo, "021");
    EXPECT_TRUE(r.ExactMatch);
    EXPECT_EQ(r.Prefix, "aA");
    EXPECT_EQ(r.Address, "1");
    EXPECT_EQ(r.Data, "2" + blocks);
    EXPECT_EQ(r.DataText, "2Marktplatz......Rathaus/Museum.3");
    EXPECT_EQ(MakeTelegramData(r).Address, 1);

    const auto wrong = C("aB1");
    EXPECT_EQ(wrong.Prefix, "a") << "only the positions equal to the type's prefix";

    const auto addr = C("a:");
    EXPECT_EQ(addr.RecordNo, "020");
    EXPECT_EQ(addr.Address, ":");
    const TTelegramData d = MakeTelegramData(addr);
    EXPECT_EQ(d.Address, 10);
    EXPECT_EQ(d.ExpectedAnswers, "120");
    EXPECT_EQ(d.PartnerRow, -1);
    EXPECT_EQ(d.EndTime, 0);
}

TEST_F(ParserTest, UmlautsInDataAndRest) {
    const auto r = C("vM}nchen Stra~e");
    EXPECT_EQ(r.DataText, "M\xFCnchen.Stra\xDF"
                          "e");
    const auto rest = C("l001[");
    EXPECT_EQ(rest.Rest, "[");
    EXPECT_EQ(rest.RestText, "\xC4");
}

TEST_F(ParserTest, GroupClosingWithZeroCountStepsBackWhenSplitting) {
    // block count 0, one block follows anyway, then one more character
    const auto r = C("zI0ABCDx");
    EXPECT_EQ(r.RecordNo, "003c");
    EXPECT_FALSE(r.ExactMatch);
    EXPECT_EQ(r.Rest, "Dx");
    EXPECT_EQ(r.Data, "0ABC");
}

TEST_F(ParserTest, ReusedResultEqualsFreshResult) {
    TTelegramRecord reused;
    for (const char* t : {"aA12xxxxxxxxxxxxxxxxyyyyyyyyyyyyyyyy", "l001", "\r/", "y12x3", "Q"}) {
        P.Classify(t, true, TBusType::bsVehicleBus, reused);
        EXPECT_EQ(reused, C(t)) << t;
    }
}

} // namespace
} // namespace vaskel
