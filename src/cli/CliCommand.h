#pragma once
// One vaskel-cli command as data: its name, a one-line summary for the
// command list, its usage lines, what it does, its options and subcommands,
// and the function that runs it. The help texts are made from this data
// (CommandHelp), and so can a manual page or a shell's completion: every
// field that names something is one line without line breaks.

#include <iosfwd>
#include <string>
#include <utility>
#include <vector>

namespace vaskel {

// One option. Every command takes -h, --help besides the ones it lists
// (kHelpOption); the help shows it at the end of the "Options" group.
struct TCliOption {
    TCliOption(std::string name, std::string argument, std::string description,
               bool argumentOptional = false, std::string group = {}, std::string shortName = {})
        : Name(std::move(name)), Argument(std::move(argument)), Description(std::move(description)),
          ArgumentOptional(argumentOptional), Group(std::move(group)), Short(std::move(shortName)) {
    }

    std::string Name;              // "--catalogue"
    std::string Argument;          // "FILE"; empty: the option takes no value
    std::string Description;       // one line; the help wraps it
    bool ArgumentOptional = false; // "--name[=ARGUMENT]"
    std::string Group;             // the help's heading ("Device options"); empty: "Options"
    std::string Short;             // "-h"; empty: none
};

// An operand the help explains by itself (compose's TYPE and LINE).
struct TCliOperand {
    std::string Name;        // "TYPE"
    std::string Description; // one line
};

// What a command runs with. Args[0] is the command's name.
struct TCliCall {
    const std::vector<std::string>& Args;
    std::ostream& Out;
    std::ostream& Err;
    std::istream& In;
    const std::string& DefaultCatalogue; // used when no --catalogue is given
};

using TCliRun = int (*)(const TCliCall& call);

struct TCliCommand {
    std::string Name;
    std::string Summary; // one line, for the command list
    // The usage lines without the program's name ("classify [--slave]
    // TELEGRAM..."), one per form of the command; the help wraps them.
    std::vector<std::string> Synopsis;
    // What the command does: paragraphs, broken into lines as printed.
    std::string Description;
    std::vector<TCliOperand> Operands;
    std::vector<TCliOption> Options;
    // Subcommands (firmware check, firmware upload; the actions of
    // autonomous): each with its name, summary, usage and options. The
    // command's Run dispatches them; theirs is unset.
    std::vector<TCliCommand> Subcommands;
    // Text after the options (what an exit status says), as printed.
    std::string Notes;
    // Not empty: the command is not in this build, and this says why ("it
    // was built without QtGui"). Run is then unset.
    std::string Unavailable;
    TCliRun Run = nullptr;
};

extern const TCliOption kHelpOption;
// The options of the commands that classify, in their usual words.
extern const TCliOption kCatalogueOption; // --catalogue FILE
extern const TCliOption kTrainBusOption;  // --train-bus

// The help of a command (or subcommand): usage, description, subcommands,
// operands, options, notes. Lines are at most 80 characters wide where a
// word allows.
std::string CommandHelp(const TCliCommand& command);

// The command's help on out: kCliOk.
int ShowHelp(const TCliCommand& command, std::ostream& out);

// "vaskel-cli: PROBLEM", a blank line and the command's help on err:
// kCliUsage.
int RefuseUsage(const TCliCommand& command, std::ostream& err, const std::string& problem);

// "--name ARG", "--name[=ARG]", "-h, --help": the option as the help shows it.
std::string OptionLabel(const TCliOption& option);

// Rows of two columns as the help lays them out: the labels indented by
// two, the texts wrapped at the column after the longest label (a label
// too long for it has its text on the next line).
std::string TwoColumns(const std::vector<std::pair<std::string, std::string>>& rows);

} // namespace vaskel
