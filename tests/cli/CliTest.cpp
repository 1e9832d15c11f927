#include "cli/CliCommands.h"
#include "cli/Json.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <sstream>

namespace vaskel {
namespace {

const std::string kCatalogue = std::string(VASKEL_TEST_DATA_DIR) + "/IBIS.CSV";

struct CliRun {
    int code;
    std::string out, err;
};

CliRun Cli(std::vector<std::string> args, const std::string& catalogue = kCatalogue) {
    std::ostringstream out, err;
    const int code = RunCli(args, out, err, catalogue);
    return {code, out.str(), err.str()};
}

TEST(CliJson, ByteStrings) {
    EXPECT_EQ(JsonByteString("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(JsonByteString("\r/\x7F"), "\"\\u000D/\\u007F\"");
    EXPECT_EQ(JsonByteString(std::string("\0", 1)), "\"\\u0000\"");
    EXPECT_EQ(JsonByteString("\xE4\x80"), "\"\xC3\xA4\xC2\x80\"");
}

TEST(CliClassify, OneJsonObjectPerTelegramWithAllFields) {
    const CliRun r = Cli({"classify", "l001<CR>/", "Q"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out,
              "{\"RecordNo\":\"001\",\"Pattern\":\"l3Z\",\"PatternText\":\"l 3Z\","
              "\"Description\":\"Liniennummer\",\"Example\":\"l001\",\"Answers\":\"\","
              "\"Telegram\":\"l001\\u000D/\",\"Prefix\":\"l\",\"Address\":\"\",\"CRText\":\"<CR>\","
              "\"CheckByte\":\"/\",\"DataText\":\"001\",\"RestText\":\"\",\"Data\":\"001\","
              "\"Rest\":\"\",\"TrainBus\":false,\"Master\":true,\"Filter\":true,"
              "\"ExactMatch\":true,\"RoleAsExpected\":true,\"MatchedLength\":-1}\n"
              "{\"RecordNo\":\"\",\"Pattern\":\"\",\"PatternText\":\"\",\"Description\":\"\","
              "\"Example\":\"\",\"Answers\":\"\",\"Telegram\":\"Q\",\"Prefix\":\"\","
              "\"Address\":\"\",\"CRText\":\"\",\"CheckByte\":\"\",\"DataText\":\"\","
              "\"RestText\":\"Q\",\"Data\":\"\",\"Rest\":\"Q\",\"TrainBus\":false,"
              "\"Master\":false,\"Filter\":false,\"ExactMatch\":false,\"RoleAsExpected\":false,"
              "\"MatchedLength\":0}\n");
}

TEST(CliClassify, OptionsAndEntryNotation) {
    const CliRun slave = Cli({"classify", "--slave", "a10"});
    EXPECT_NE(slave.out.find("\"RecordNo\":\"120\""), std::string::npos);
    EXPECT_NE(slave.out.find("\"RoleAsExpected\":true"), std::string::npos);

    const CliRun asMaster = Cli({"classify", "a10"});
    EXPECT_NE(asMaster.out.find("\"RoleAsExpected\":false"), std::string::npos);

    const CliRun train = Cli({"classify", "--train-bus", "l001"});
    EXPECT_NE(train.out.find("\"TrainBus\":true"), std::string::npos);

    // UTF-8 umlauts typed in the terminal become IBIS national characters
    const CliRun umlaut = Cli({"classify", "vUniversitätsklinikum Süd"});
    EXPECT_NE(umlaut.out.find("\"Telegram\":\"vUniversit{tsklinikum S}d\""), std::string::npos);
    EXPECT_NE(umlaut.out.find("\"DataText\":\"Universitätsklinikum.Süd\""), std::string::npos);
    EXPECT_NE(umlaut.out.find("\"RecordNo\":\"009b\""), std::string::npos);

    const CliRun hexToken = Cli({"classify", "l00<$31>"});
    EXPECT_NE(hexToken.out.find("\"ExactMatch\":true"), std::string::npos);
}

TEST(CliClassify, CatalogueErrorsExitTwo) {
    const CliRun missing = Cli({"classify", "--catalogue", "/nonexistent/IBIS.CSV", "l001"});
    EXPECT_EQ(missing.code, 2);
    EXPECT_EQ(missing.out, "");
    EXPECT_NE(missing.err.find("TIBISTelegramParser error: file /nonexistent/IBIS.CSV not found."),
              std::string::npos);

    test::TempDir dir;
    const std::string broken = dir.Write("IBIS.CSV", "\"001\";\"l3Z\"\r\n");
    const CliRun bad = Cli({"classify", "--catalogue=" + broken, "l001"});
    EXPECT_EQ(bad.code, 2);
    EXPECT_NE(bad.err.find("line 1: invalid amount of tokens!"), std::string::npos);

    const CliRun none = Cli({"classify", "l001"}, "");
    EXPECT_EQ(none.code, 2);
}

TEST(CliUsage, BadArgumentsExitTwoWithUsage) {
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"frobnicate"},
        {"classify"},
        {"classify", "--bogus", "l001"},
        {"classify", "--catalogue"},
        {"checkbyte"},
        {"checkbyte", "a", "b"},
    };
    for (const auto& args : bad) {
        const CliRun r = Cli(args);
        EXPECT_EQ(r.code, 2);
        EXPECT_NE(r.err.find("Usage: vaskel-cli"), std::string::npos);
    }
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"--help"}, {"classify", "--help"}, {"checkbyte", "-h"}}) {
        const CliRun r = Cli(args);
        EXPECT_EQ(r.code, 0);
        EXPECT_NE(r.out.find("Usage: vaskel-cli"), std::string::npos);
    }
}

TEST(CliCheckbyte, PrintsTwoUpperCaseHexDigits) {
    EXPECT_EQ(Cli({"checkbyte", "l001"}).out, "2F\n");
    EXPECT_EQ(Cli({"checkbyte", "z000"}).out, "38\n");
    EXPECT_EQ(Cli({"checkbyte", ""}).out, "72\n");
    EXPECT_EQ(Cli({"checkbyte", "Ä"}).out, Cli({"checkbyte", "["}).out);
    EXPECT_EQ(Cli({"checkbyte", "--", "--x"}).code, 0);
}

} // namespace
} // namespace vaskel
