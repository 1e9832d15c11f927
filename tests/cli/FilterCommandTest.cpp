// vaskel-cli filter: the rows a filtered protocol window shows, for the
// groups and record types named, written to a new protocol.

#include "cli/CliCommands.h"
#include "cli/CliRun.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace vaskel {
namespace {

const std::string kCatalogue = std::string(VASKEL_TEST_DATA_DIR) + "/IBIS.CSV";

using test::Cli;
using test::CliRun;

std::string Row(const char* kind, const char* errors, const char* telegram, const char* recordNo) {
    return std::string("\"") + kind + "\";\"1\";\"1000\";\"\";\"" + errors + "\";\"" + telegram +
           "\r/\";\"\";\"" + recordNo + "\";\"\";\"\"\r\n";
}

// The telegrams (without CR and check byte) of the rows of a protocol file.
std::vector<std::string> Telegrams(const std::string& content) {
    std::vector<std::string> list;
    std::size_t at = 0;
    while (at < content.size()) {
        const std::size_t end = content.find("\r\n", at);
        const std::string line = content.substr(at, end - at);
        std::size_t field = 0, p = 0;
        while (field < 5 && (p = line.find("\";\"", p)) != std::string::npos) {
            p += 3;
            ++field;
        }
        list.push_back(line.substr(p, line.find('\r', p) - p));
        if (end == std::string::npos) break;
        at = end + 2;
    }
    return list;
}

using TNames = std::vector<std::string>;

class CliFilter : public ::testing::Test {
protected:
    test::TempDir Dir;
    // l001 (001), aA1 (021), a1 (020), the answer a10 (120), z034 (003), k07
    // with a checksum error (002), a2 classified only approximately ([021])
    const std::string In =
        Dir.Write("rec.PRO.CSV", Row("M", "", "l001", "001") + Row("M", "", "aA1Markt", "021") +
                                     Row("M", "", "a1", "020") + Row("S", "", "a10", "120") +
                                     Row("M", "", "z034", "003") + Row("M", "S", "k07", "002") +
                                     Row("M", "", "a2", "[021]"));
    const std::string Out = Dir / "out.PRO.CSV";
};

TEST_F(CliFilter, WritesTheRowsTheWindowsChoiceShows) {
    struct TCase {
        TNames Options;
        TNames Kept;
    };
    const TCase cases[] = {
        {{}, {"l001", "aA1Markt", "a1", "a10", "z034", "k07", "a2"}},
        // a record type brings its group; a bracketed number is no match;
        // errors stay unless hidden
        {{"--types", "021"}, {"aA1Markt", "k07"}},
        {{"--types", "021", "--hide-errors"}, {"aA1Markt"}},
        {{"--types=021;020"}, {"aA1Markt", "a1", "k07"}},
        // a group brings all its record types (the answer's 120 included)
        {{"--groups", "a", "--hide-errors"}, {"aA1Markt", "a1", "a10"}},
        {{"--groups", "l,z", "--hide-errors"}, {"l001", "z034"}},
        {{"--groups", "l", "--types", "003", "--hide-errors"}, {"l001", "z034"}},
        // the train bus has its own record types
        {{"--train-bus", "--types", "020", "--hide-errors"}, {"a1"}},
    };
    const std::string before = test::ReadFile(In);
    for (const TCase& c : cases) {
        std::vector<std::string> args = {"filter"};
        args.insert(args.end(), c.Options.begin(), c.Options.end());
        args.push_back(In);
        args.push_back(Out);
        std::filesystem::remove(Out);
        const CliRun r = Cli(args);
        std::string name;
        for (const std::string& o : c.Options)
            name += o + " ";
        ASSERT_EQ(r.code, 0) << name << r.err;
        EXPECT_EQ(Telegrams(test::ReadFile(Out)), c.Kept) << name;
        EXPECT_EQ(r.out, "written " + std::to_string(c.Kept.size()) + " of 7 rows\n") << name;
    }
    EXPECT_EQ(test::ReadFile(In), before) << "the input is only read";
}

// The rows kept are written in the protocol form (an empty cell as one
// blank, as the program writes it); with none kept the file is empty.
TEST_F(CliFilter, KeptRowsAreWrittenAsTheyStand) {
    ASSERT_EQ(Cli({"filter", "--types", "003", "--hide-errors", In, Out}).code, 0);
    EXPECT_EQ(test::ReadFile(Out),
              "\"M\";\"1\";\"1000\";\" \";\" \";\"z034\r/\";\" \";\"003\";\" \";\" \"\r\n");
    const CliRun none = Cli({"filter", "--types", "005", "--hide-errors", In, Out});
    ASSERT_EQ(none.code, 0) << none.err;
    EXPECT_EQ(none.out, "written 0 of 7 rows\n");
    EXPECT_EQ(test::ReadFile(Out), "");
}

TEST_F(CliFilter, UnknownChoicesAndBadArgumentsExitTwo) {
    struct TCase {
        TNames Args;
        const char* Words;
    };
    const TCase cases[] = {
        {{"filter", "--groups", "Q", In, Out}, "unknown group Q (known: "},
        {{"filter", "--types", "999", In, Out}, "record type 999 is not offered"},
        {{"filter", "--train-bus", "--types", "001a", In, Out}, "for the train bus"},
        {{"filter", "--types", " , ", In, Out}, "--types needs at least one entry"},
        {{"filter", "--types", "021", In}, "IN and OUT are needed"},
        {{"filter", "--groups"}, "--groups needs a value"},
        {{"filter", "--nope", In, Out}, "unknown option --nope"},
        {{"filter", Dir / "missing.PRO.CSV", Out}, "does not exist"},
    };
    for (const TCase& c : cases) {
        const CliRun r = Cli(c.Args);
        EXPECT_EQ(r.code, 2) << c.Words;
        EXPECT_NE(r.err.find(c.Words), std::string::npos) << r.err;
        EXPECT_FALSE(std::filesystem::exists(Out)) << c.Words;
    }
    const CliRun help = Cli({"filter", "--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("--hide-errors"), std::string::npos);
}

// A catalogue of its own without IBIS_Frame.CSV beside it: the groups come
// from the shipped one.
TEST_F(CliFilter, GroupsBesideTheShippedCatalogueWhenNoneBesideTheOwn) {
    const std::string own = Dir.Write("own/IBIS.CSV", test::ReadFile(kCatalogue));
    const CliRun r = Cli({"filter", "--catalogue", own, "--groups", "z", "--hide-errors", In, Out});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Telegrams(test::ReadFile(Out)), TNames{"z034"});
}

} // namespace
} // namespace vaskel
