#include "cli/CliCommands.h"
#include "cli/CliRun.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <sstream>

namespace vaskel {
namespace {

using test::Cli;
using test::CliRun;

TEST(CliCatalogue, TheShippedCatalogueIsClean) {
    const CliRun r = Cli({"catalogue", "check"});
    EXPECT_EQ(r.code, kCliOk) << r.out;
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("failed"), std::string::npos);
}

TEST(CliCatalogue, OneLinePerFailingRowWithItsFileLine) {
    test::TempDir dir;
    const std::string file =
        dir.Write("IBIS.CSV", "// head\r\n"
                              "\"001\";\"l 3Z\";\"l001\";-1;\"\";0;-1;\"ok\"\r\n"
                              "\"002\";\"k (2Z\";\"k07\";-1;\"\";0;-1;\"broken\"\r\n"
                              "\"003\";\"z 3Z\";\"z03\";-1;\"\";0;-1;\"short example\"\r\n");
    const CliRun r = Cli({"catalogue", "check", file});
    EXPECT_EQ(r.code, kCliFailure);
    EXPECT_EQ(r.out, "Line 3, DS 002: pattern error at character 2: \"(\" without \")\"\n"
                     "Line 4, DS 003: the example does not match the pattern (from character 4 "
                     "on)\n");
    EXPECT_NE(r.err.find("3 record types checked, 2 failed"), std::string::npos);
}

TEST(CliCatalogue, UsageErrors) {
    for (const std::vector<std::string>& args : {std::vector<std::string>{"catalogue"},
                                                 {"catalogue", "fix"},
                                                 {"catalogue", "check", "/nonexistent/IBIS.CSV"},
                                                 {"catalogue", "check", "a", "b"}})
        EXPECT_EQ(Cli(args).code, kCliUsage) << args.size();
    EXPECT_EQ(Cli({"catalogue", "--help"}).code, kCliOk);
}

} // namespace
} // namespace vaskel
