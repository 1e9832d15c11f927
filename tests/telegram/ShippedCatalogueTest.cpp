// Checks over the catalogue Vaskel ships in data/.

#include "telegram/Catalogue.h"
#include "telegram/TelegramParser.h"
#include "telegram/TextConventions.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

namespace vaskel {
namespace {

const std::string kData = VASKEL_TEST_DATA_DIR;

TBusType BusOf(const TWagenbusProfileRecord& r) {
    return r.TrainBus ? TBusType::bsTrainBus : TBusType::bsVehicleBus;
}

class ShippedCatalogue : public ::testing::Test {
protected:
    TIBISTelegramParser P{kData + "/IBIS.CSV"};
};

TEST_F(ShippedCatalogue, EveryExampleIsAnExactMatchOfItsOwnType) {
    const auto records = P.ProfileArray();
    ASSERT_GT(records->size(), 40u);
    for (const auto& rec : *records) {
        SCOPED_TRACE(rec.RecordNo + " " + rec.PatternText + " example " + rec.Example);
        ASSERT_FALSE(rec.Example.empty());
        const std::string text = DisplayToTelegram(rec.Example);
        for (const std::string& telegram : {text, text + "\r", text + "\r" + CalcCheckByte(text)}) {
            const TTelegramRecord r = P.Classify(telegram, rec.Master, BusOf(rec));
            EXPECT_TRUE(r.ExactMatch);
            EXPECT_TRUE(r.RoleAsExpected);
            EXPECT_EQ(r.RecordNo, rec.RecordNo);
            EXPECT_EQ(r.Description, rec.Description);
            EXPECT_EQ(r.Rest, "");
        }
    }
}

TEST_F(ShippedCatalogue, CoversTheVehicleBusRecordTypes) {
    std::set<std::string> vehicleMasters, vehicleSlaves, train;
    for (const auto& r : *P.ProfileArray()) {
        if (r.TrainBus)
            train.insert(r.RecordNo);
        else
            (r.Master ? vehicleMasters : vehicleSlaves).insert(r.RecordNo);
    }
    for (const char* no :
         {"001",  "001a", "001b", "001c", "001d", "001e", "001f", "001neu", "002",
          "002a", "003",  "003a", "003b", "003c", "003d", "003e", "003f",   "003g",
          "004",  "004a", "004b", "004c", "005",  "006",  "006a", "007",    "009",
          "009a", "009b", "010",  "010a", "010b", "010d", "020",  "021",    "021a"})
        EXPECT_TRUE(vehicleMasters.count(no)) << no;
    EXPECT_TRUE(vehicleSlaves.count("120"));
    EXPECT_GE(train.size(), 5u);
}

TEST_F(ShippedCatalogue, ExpectedAnswersExistAsSlaveTypes) {
    std::set<std::pair<bool, std::string>> slaves;
    for (const auto& r : *P.ProfileArray())
        if (!r.Master) slaves.insert({r.TrainBus, r.RecordNo});
    for (const auto& r : *P.ProfileArray()) {
        if (r.Answers.empty()) continue;
        EXPECT_TRUE(r.Master) << r.RecordNo;
        for (const std::string& a : SplitTokens(r.Answers, ","))
            EXPECT_TRUE(slaves.count({r.TrainBus, a})) << r.RecordNo << " expects " << a;
    }
}

TEST_F(ShippedCatalogue, StatusAnswerBelongsToItsRequest) {
    const auto request =
        P.Classify("a1\r" + std::string(1, CalcCheckByte("a1")), true, TBusType::bsVehicleBus);
    const auto answer = P.Classify("a10", false, TBusType::bsVehicleBus);
    EXPECT_NE(request.Answers.find(answer.RecordNo), std::string::npos);
    EXPECT_EQ(MakeTelegramData(request).Address, 1);
}

TEST(ShippedFrameFile, LoadsUndamaged) {
    const TFrameFile f = LoadFrameFile(kData + "/IBIS_Frame.CSV");
    EXPECT_FALSE(f.Damaged);
    std::set<std::string> letters;
    for (const auto& e : f.Entries)
        letters.insert(e.Kuerzel);
    for (const char* k : {"l", "k", "z", "e", "u", "d", "w", "v", "x", "a", "q"})
        EXPECT_TRUE(letters.count(k)) << k;
}

// The classifier as written out step by step, without the scan shortcuts of
// the real one; both must agree on every telegram.
TTelegramRecord ReferenceClassify(const TProfileArray& arr, const TFirstCharIndex& index,
                                  const std::string& text, bool role, TBusType bus) {
    TTelegramRecord res;
    res.Telegram = text;
    const TTelegramParts parts = DivideTelegram(res.Telegram);
    const std::string body(parts.Body);
    int chosen = -1, best = -1;
    bool exact = false, roleOk = false;
    const auto first = body.empty() ? 0 : static_cast<unsigned char>(body[0]);
    if (!TrimBlanks(text).empty() && !body.empty() && first >= 0x20 && first <= 0x7E &&
        index[first - 0x20] >= 0) {
        for (int pass = 0; pass < 2 && !exact; ++pass) {
            const bool want = pass == 0 ? role : !role;
            for (std::size_t k = index[first - 0x20]; k < arr.size(); ++k) {
                const auto& r = arr[k];
                if (r.TrainBus != (bus == TBusType::bsTrainBus) || r.Master != want) continue;
                const int s = MatchScore(body, r.Pattern);
                if (s == -1) {
                    chosen = static_cast<int>(k);
                    exact = true;
                    roleOk = pass == 0;
                    break;
                }
                if (s > best) {
                    best = s;
                    chosen = static_cast<int>(k);
                    roleOk = pass == 0;
                }
            }
        }
    }
    if (chosen < 0) return res;
    res.RecordNo = arr[chosen].RecordNo;
    res.ExactMatch = exact;
    res.RoleAsExpected = roleOk;
    res.MatchedLength = exact ? -1 : best % 1000;
    return res;
}

TEST_F(ShippedCatalogue, AgreesWithStepByStepClassifierOnMutatedTelegrams) {
    TProfileArray arr = *P.ProfileArray();
    // a few patterns with special first characters take part as well
    for (const char* extra : {"[lk]9Z", "2Zx", "(1C)", "@1H", "$1", "*C"}) {
        TWagenbusProfileRecord r;
        r.RecordNo = std::string("E") + extra;
        r.Pattern = extra;
        r.Master = true;
        InsertSorted(arr, r);
        r.Master = false;
        r.TrainBus = true;
        InsertSorted(arr, r);
    }
    const TIBISTelegramParser parser(arr);
    const TFirstCharIndex index = BuildFirstCharIndex(arr);

    std::mt19937 rng(4711);
    const std::string alphabet = "0123456789:;<=>?aAlkzexuvqdwIELNRT []*(@$ ~\r";
    std::vector<std::string> telegrams;
    for (const auto& rec : arr) {
        const std::string base = DisplayToTelegram(rec.Example);
        telegrams.push_back(base);
        for (int m = 0; m < 30; ++m) {
            std::string t = base;
            const int op = static_cast<int>(rng() % 4);
            const std::size_t pos = t.empty() ? 0 : rng() % (t.size() + 1);
            const char c = alphabet[rng() % alphabet.size()];
            if (op == 0 && pos < t.size()) t[pos] = c;
            if (op == 1) t.insert(pos, 1, c);
            if (op == 2 && pos < t.size()) t.erase(pos, 1);
            if (op == 3) t = t.substr(0, pos);
            telegrams.push_back(t);
        }
    }
    for (const char* t : {"", "Q", "s1", "}", "~x", "a", "b", "c1", "l", "zz", "\x7F"})
        telegrams.push_back(t);

    for (const auto& t : telegrams)
        for (bool role : {true, false})
            for (TBusType bus : {TBusType::bsVehicleBus, TBusType::bsTrainBus}) {
                const TTelegramRecord got = parser.Classify(t, role, bus);
                const TTelegramRecord want = ReferenceClassify(arr, index, t, role, bus);
                ASSERT_EQ(got.RecordNo, want.RecordNo) << t << " role " << role;
                ASSERT_EQ(got.ExactMatch, want.ExactMatch) << t;
                ASSERT_EQ(got.RoleAsExpected, want.RoleAsExpected) << t;
                ASSERT_EQ(got.MatchedLength, want.MatchedLength) << t;
            }
}

} // namespace
} // namespace vaskel
