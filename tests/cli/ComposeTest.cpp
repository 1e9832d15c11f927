#include "cli/CliCommands.h"
#include "cli/CliRun.h"

#include <gtest/gtest.h>

#include <sstream>

namespace vaskel {
namespace {

using test::Cli;
using test::CliRun;

TEST(CliCompose, PrintsEntryNotation) {
    const CliRun r = Cli({"compose", "021", "--address", "10", "--phase-time", "2", "ABC", "DE"});
    EXPECT_EQ(r.code, kCliOk) << r.err;
    EXPECT_EQ(r.out, "aA:1A2ABC<LF>DE<LF><LF>      \n");
    // umlauts arrive and leave as UTF-8, one byte each on the bus
    const CliRun u = Cli({"compose", "003a",
                          "Bahnhof S\xC3\xBC"
                          "d"});
    EXPECT_EQ(u.out, "zA1Bahnhof S\xC3\xBC"
                     "d     \n");
    const CliRun s = Cli({"compose", "021", "--phase-time", "none", "--single-lf", "a", "b", "c"});
    EXPECT_EQ(s.out, "aA11a<LF>b<LF>c<LF><LF>         \n");
}

TEST(CliCompose, RefusalsExitWithTheComposersMessage) {
    struct Case {
        std::vector<std::string> args;
        const char* message;
    };
    const Case cases[] = {
        {{"compose", "003a", std::string(241, 'x')},
         "mehr als 15 Bl\xC3\xB6"
         "cken zu je 16 Zeichen"},
        {{"compose", "003c", std::string(64, 'x')},
         "mehr als 15 Bl\xC3\xB6"
         "cken zu je 4 Zeichen"},
        {{"compose", "021", "ABC"}, "Bitte w\xC3\xA4hlen Sie eine Taktzeit aus."},
        {{"compose", "021", "--address", "16", "--phase-time", "1", "A"},
         "Bitte geben Sie eine g\xC3\xBCltige Adresse ein."},
        {{"compose", "0815", "x"}, "unknown TYPE 0815"},
        {{"compose", "021a", "a", "b"}, "exactly one LINE"},
        {{"decompose", "l001"}, "not a destination-display telegram"},
        {{"convert", "--dec", "12a"}, "is no decimal"},
        {{"convert", "--ibis", "1A"}, "is no IBIS-hexadecimal"},
    };
    for (const Case& c : cases) {
        const CliRun r = Cli(c.args);
        EXPECT_EQ(r.code, kCliUsage) << c.args[1];
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
}

TEST(CliCompose, DecomposeTakesBackWhatComposeMade) {
    const CliRun c = Cli({"compose", "021", "--address", "3", "--phase-time", "1,5", "Linie 7",
                          "\xC3\x9C"
                          "berlandstr.",
                          "Ring", ""});
    ASSERT_EQ(c.code, kCliOk);
    const CliRun d = Cli({"decompose", c.out.substr(0, c.out.size() - 1)});
    EXPECT_EQ(d.code, kCliOk) << d.err;
    EXPECT_EQ(d.out,
              "{\"type\":\"021\",\"address\":3,\"phaseTime\":\"1,5\",\"doubleLineFeed\":true,"
              "\"lines\":[\"Linie 7\",\"\xC3\x9C"
              "berlandstr.\",\"Ring\",\"\"]}\n");
    const CliRun a = Cli({"decompose", "zA1AB<LF>C"});
    EXPECT_EQ(a.out, "{\"type\":\"003a\",\"address\":null,\"phaseTime\":null,"
                     "\"doubleLineFeed\":null,\"lines\":[\"AB\",\"C\"]}\n");
}

TEST(CliConvert, PrintsTheThreeNotations) {
    EXPECT_EQ(Cli({"convert", "--dec", "255"}).out, "decimal 255\nhex FF\nibis-hex ??\n");
    EXPECT_EQ(Cli({"convert", "--ibis", "1:;"}).out, "decimal 427\nhex 1AB\nibis-hex 1:;\n");
    EXPECT_EQ(Cli({"convert", "--hex", "01f"}).out, "decimal 31\nhex 1F\nibis-hex 1?\n");
}

} // namespace
} // namespace vaskel
