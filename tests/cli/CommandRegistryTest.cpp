// The command registry: every command is described well enough for its
// help, a manual page and a shell's completion, the help texts are made
// from it, and what it documents is what the commands accept.

#include "cli/CommandRegistry.h"
#include "cli/CliCommands.h"
#include "cli/CliRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>

namespace vaskel {
namespace {

using test::Cli;
using test::CliRun;

const std::vector<TCliCommand>& Commands() {
    return CliCommandRegistry().Commands();
}

bool OneLine(const std::string& s) {
    return !s.empty() && s.find('\n') == std::string::npos && s.front() != ' ' && s.back() != ' ';
}

// The lines of a help text too wide for a terminal of 80 columns that a
// line break could have avoided (a single long word may stand out).
std::vector<std::string> WideLines(const std::string& text) {
    std::vector<std::string> wide;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        const std::size_t first = line.find_first_not_of(' ');
        if (line.size() > 80 && line.find(' ', first) != std::string::npos) wide.push_back(line);
    }
    return wide;
}

void ExpectDescribed(const TCliCommand& c, const std::string& path) {
    SCOPED_TRACE(path);
    EXPECT_TRUE(OneLine(c.Name));
    EXPECT_EQ(c.Name.find_first_not_of("abcdefghijklmnopqrstuvwxyz"), std::string::npos);
    EXPECT_TRUE(OneLine(c.Summary)) << "summary: '" << c.Summary << "'";
    EXPECT_FALSE(c.Synopsis.empty());
    for (const std::string& line : c.Synopsis) {
        EXPECT_TRUE(OneLine(line)) << line;
        EXPECT_EQ(line.rfind(path, 0), 0u) << "the usage names the command: " << line;
    }
    std::set<std::string> names;
    for (const TCliOption& o : c.Options) {
        SCOPED_TRACE(o.Name);
        EXPECT_EQ(o.Name.rfind("--", 0), 0u);
        EXPECT_EQ(o.Name.find_first_of(" =\n"), std::string::npos);
        EXPECT_EQ(o.Argument.find_first_of(" \n"), std::string::npos);
        EXPECT_TRUE(OneLine(o.Description));
        EXPECT_TRUE(o.Short.empty() || (o.Short.size() == 2 && o.Short[0] == '-'));
        EXPECT_TRUE(names.insert(o.Name).second) << "listed twice";
        EXPECT_NE(o.Name, "--help") << "every command has it: kHelpOption";
    }
    for (const TCliOperand& o : c.Operands) {
        EXPECT_TRUE(OneLine(o.Name));
        EXPECT_TRUE(OneLine(o.Description));
    }
}

TEST(CliCommandRegistry, EveryCommandHasItsNameSummaryUsageAndOptions) {
    ResetCliCommands();
    std::set<std::string> names;
    ASSERT_FALSE(Commands().empty());
    for (const TCliCommand& c : Commands()) {
        EXPECT_TRUE(names.insert(c.Name).second) << c.Name << " twice";
        if (!c.Unavailable.empty()) {
            // a placeholder: named and summarised, says why it is missing
            EXPECT_TRUE(OneLine(c.Name));
            EXPECT_TRUE(OneLine(c.Summary)) << c.Name;
            EXPECT_TRUE(OneLine(c.Unavailable)) << c.Name;
            EXPECT_EQ(c.Run, nullptr) << c.Name;
            continue;
        }
        ExpectDescribed(c, c.Name);
        EXPECT_NE(c.Run, nullptr) << c.Name;
        for (const TCliCommand& sub : c.Subcommands) {
            ExpectDescribed(sub, c.Name + " " + sub.Name);
            EXPECT_EQ(sub.Run, nullptr) << "the command dispatches its subcommands";
        }
    }
    // every command the program had before the registry is still there
    for (const char* name :
         {"classify",  "checkbyte", "decode",     "emulate",   "record",  "reanalyse", "analyse",
          "responses", "simulate",  "compose",    "decompose", "convert", "stats",     "filter",
          "firmware",  "catalogue", "autonomous", "print",     "import",  "usb"})
        EXPECT_TRUE(names.count(name)) << name;
}

TEST(CliCommandRegistry, TheProgramsHelpListsEveryCommandWithItsSummary) {
    ResetCliCommands();
    const CliRun help = Cli({"--help"});
    ASSERT_EQ(help.code, kCliOk);
    EXPECT_EQ(help.err, "");
    std::size_t last = 0;
    std::string missing;
    for (const TCliCommand& c : Commands()) {
        // "  name   summary", on one line, in the registry's order
        const std::size_t at = help.out.find("\n  " + c.Name + " ");
        ASSERT_NE(at, std::string::npos) << c.Name << "\n" << help.out;
        EXPECT_GT(at, last) << c.Name;
        last = at;
        const std::size_t end = help.out.find('\n', at + 1);
        const std::string line = help.out.substr(at + 1, end - at - 1);
        EXPECT_NE(line.find(c.Summary), std::string::npos) << line;
        if (!c.Unavailable.empty()) missing += (missing.empty() ? "" : ", ") + c.Name;
    }
    // and says which ones this build lacks
    EXPECT_EQ(help.out.find("Not in this build: " + missing + ".\n") != std::string::npos,
              !missing.empty())
        << help.out;
    for (const TCliOption& o : ProgramOptions())
        EXPECT_NE(help.out.find(OptionLabel(o)), std::string::npos) << o.Name;
    EXPECT_EQ(WideLines(help.out), std::vector<std::string>{});
    // with no command at all: the same text, on the error stream, status 2
    const CliRun none = Cli({});
    EXPECT_EQ(none.code, kCliUsage);
    EXPECT_EQ(none.err, help.out);
}

TEST(CliCommandRegistry, EveryCommandsHelpShowsItsUsageOptionsAndSubcommands) {
    ResetCliCommands();
    for (const TCliCommand& c : Commands()) {
        SCOPED_TRACE(c.Name);
        for (const char* asked : {"--help", "-h"}) {
            const CliRun help = Cli({c.Name, asked});
            EXPECT_EQ(help.code, kCliOk) << help.err;
            EXPECT_EQ(help.err, "");
            EXPECT_EQ(help.out, CommandHelp(c));
        }
        const std::string text = CommandHelp(c);
        EXPECT_EQ(WideLines(text), std::vector<std::string>{});
        if (!c.Unavailable.empty()) {
            EXPECT_NE(text.find(c.Unavailable), std::string::npos) << text;
            continue;
        }
        EXPECT_EQ(text.rfind("Usage: vaskel-cli " + c.Name + " ", 0), 0u) << text;
        EXPECT_NE(text.find("-h, --help"), std::string::npos);
        for (const TCliOption& o : c.Options)
            EXPECT_NE(text.find(OptionLabel(o)), std::string::npos) << o.Name;
        for (const TCliOperand& o : c.Operands)
            EXPECT_NE(text.find("  " + o.Name + " "), std::string::npos) << o.Name;
        for (const TCliCommand& sub : c.Subcommands) {
            EXPECT_NE(text.find("\n  " + sub.Name + " "), std::string::npos) << sub.Name;
            for (const TCliOption& o : sub.Options)
                EXPECT_NE(text.find(OptionLabel(o)), std::string::npos)
                    << sub.Name << " " << o.Name;
            // help asked of the subcommand: its own, or the command's
            const CliRun help = Cli({c.Name, sub.Name, "--help"});
            EXPECT_EQ(help.code, kCliOk) << sub.Name << ": " << help.err;
            EXPECT_EQ(help.err, "") << sub.Name;
            EXPECT_TRUE(help.out == CommandHelp(c) || help.out == CommandHelp(sub)) << help.out;
            for (const TCliOption& o : sub.Options)
                EXPECT_NE(help.out.find(OptionLabel(o)), std::string::npos)
                    << sub.Name << " " << o.Name;
        }
    }
}

// What the registry documents, the command accepts: each option (with a
// value where it takes one) followed by an unknown one is refused for the
// unknown one, never as an option the command does not know.
TEST(CliCommandRegistry, EveryDocumentedOptionIsOneTheCommandKnows) {
    ResetCliCommands();
    auto check = [](const std::vector<std::string>& lead, const TCliOption& o) {
        std::vector<std::string> args = lead;
        args.push_back(o.Name);
        if (!o.Argument.empty() && !o.ArgumentOptional) args.push_back("x");
        args.push_back("--no-such-option");
        const CliRun r = Cli(args);
        std::string said;
        for (const std::string& a : args)
            said += a + " ";
        EXPECT_EQ(r.code, kCliUsage) << said << r.err;
        for (const char* refusal : {"unknown option ", "unknown argument ", "unexpected argument "})
            EXPECT_EQ(r.err.find(refusal + o.Name), std::string::npos) << said << r.err;
        EXPECT_EQ(r.out, "") << said;
    };
    for (const TCliCommand& c : Commands()) {
        if (!c.Unavailable.empty()) continue;
        std::vector<std::string> lead = {c.Name};
        if (!c.Subcommands.empty()) lead.push_back(c.Subcommands.front().Name);
        for (const TCliOption& o : c.Options)
            check(lead, o);
        for (const TCliCommand& sub : c.Subcommands)
            for (const TCliOption& o : sub.Options)
                check({c.Name, sub.Name}, o);
    }
}

// An unknown command or option: a message that names it and status 2,
// nothing on the standard output.
TEST(CliCommandRegistry, AnUnknownCommandOrOptionIsRefusedWithStatusTwo) {
    ResetCliCommands();
    const struct {
        std::vector<std::string> Args;
        std::string Says;
    } program[] = {
        {{"frobnicate"}, "vaskel-cli: unknown command frobnicate\n\nUsage: vaskel-cli COMMAND"},
        {{"--frobnicate"}, "vaskel-cli: unknown option --frobnicate\n\nUsage: vaskel-cli COMMAND"},
        {{"Classify"}, "vaskel-cli: unknown command Classify\n"},
    };
    for (const auto& c : program) {
        const CliRun r = Cli(c.Args);
        EXPECT_EQ(r.code, kCliUsage) << c.Args[0];
        EXPECT_EQ(r.err.rfind(c.Says, 0), 0u) << r.err;
        EXPECT_EQ(r.out, "");
    }
    for (const TCliCommand& c : Commands()) {
        const CliRun r = Cli({c.Name, "--no-such-option", "x"});
        EXPECT_EQ(r.code, kCliUsage) << c.Name << ": " << r.err;
        EXPECT_EQ(r.out, "") << c.Name;
        EXPECT_NE(r.err.find(c.Unavailable.empty() ? "--no-such-option"
                                                   : "is not available in this build"),
                  std::string::npos)
            << c.Name << ": " << r.err;
    }
}

int RunGreet(const TCliCall& call) {
    if (call.Args.size() == 2 && IsHelpArgument(call.Args[1]))
        return ShowHelp(*CliCommandRegistry().Find("greet"), call.Out);
    call.Out << "hello " << (call.Args.size() > 1 ? call.Args[1] : call.DefaultCatalogue) << "\n";
    return kCliOk;
}

// A command the program registers beside the built-in ones is run, listed
// and helped like them; one that replaces a placeholder keeps its place.
TEST(CliCommandRegistry, ARegisteredCommandRunsAndIsListed) {
    ResetCliCommands();
    TCliCommand greet;
    greet.Name = "greet";
    greet.Summary = "say hello";
    greet.Synopsis = {"greet [NAME]"};
    greet.Options = {{"--loud", "", "louder"}};
    greet.Run = RunGreet;
    const std::size_t count = Commands().size();
    RegisterCliCommand(greet);
    EXPECT_EQ(Commands().size(), count + 1);
    EXPECT_EQ(Cli({"greet", "you"}).out, "hello you\n");
    EXPECT_EQ(Cli({"greet"}, "IBIS.CSV").out, "hello IBIS.CSV\n");
    EXPECT_NE(Cli({"--help"}).out.find("\n  greet       say hello\n"), std::string::npos)
        << Cli({"--help"}).out;
    EXPECT_EQ(Cli({"greet", "--help"}).out, "Usage: vaskel-cli greet [NAME]\n"
                                            "\n"
                                            "Options:\n"
                                            "  --loud      louder\n"
                                            "  -h, --help  show this help\n");
    // in the place of a placeholder of the same name
    const auto& list = Commands();
    const auto usb = std::find_if(list.begin(), list.end(),
                                  [](const TCliCommand& c) { return c.Name == "usb"; }) -
                     list.begin();
    greet.Name = "usb";
    RegisterCliCommand(greet);
    EXPECT_EQ(Commands().size(), count + 1);
    EXPECT_EQ(Commands()[static_cast<std::size_t>(usb)].Summary, "say hello");
    EXPECT_EQ(Cli({"usb", "there"}).out, "hello there\n");
    ResetCliCommands();
    EXPECT_EQ(Commands().size(), count);
    EXPECT_EQ(CliCommandRegistry().Find("greet"), nullptr);
}

// The help's layout: usage lines wrapped under the command's words, options
// in one column, a label too long for it with its text below.
TEST(CliCommandRegistry, HelpLayout) {
    TCliCommand c;
    c.Name = "demo";
    c.Summary = "a demonstration";
    c.Synopsis = {"demo sub [--first-option VALUE] [--second-option VALUE] [--third [--nested "
                  "A] [--more B]] FILE",
                  "demo other"};
    c.Description = "Does nothing.\n";
    c.Operands = {{"FILE", "the file"}};
    c.Options = {
        {"--first-option", "VALUE",
         "a description long enough to need a second line in a terminal of eighty columns, "
         "so it wraps"},
        {"--a-rather-long-option-name", "VALUE", "below its label"},
        {"--device", "NAME", "an optional value", true, "Device options"},
    };
    TCliCommand sub;
    sub.Name = "sub";
    sub.Summary = "the subcommand";
    sub.Synopsis = {"demo sub"};
    sub.Options = {{"--only-here", "", "an option of sub"}};
    c.Subcommands = {sub};
    EXPECT_EQ(CommandHelp(c),
              "Usage: vaskel-cli demo sub [--first-option VALUE] [--second-option VALUE]\n"
              "                           [--third [--nested A] [--more B]] FILE\n"
              "       vaskel-cli demo other\n"
              "\n"
              "Does nothing.\n"
              "\n"
              "Subcommands:\n"
              "  sub  the subcommand\n"
              "\n"
              "Arguments:\n"
              "  FILE  the file\n"
              "\n"
              "Options:\n"
              "  --first-option VALUE  a description long enough to need a second line in a\n"
              "                        terminal of eighty columns, so it wraps\n"
              "  --a-rather-long-option-name VALUE\n"
              "                        below its label\n"
              "  -h, --help            show this help\n"
              "\n"
              "Device options:\n"
              "  --device[=NAME]       an optional value\n"
              "\n"
              "Options of sub:\n"
              "  --only-here           an option of sub\n");
}

} // namespace
} // namespace vaskel
