#pragma once
// The commands of vaskel-cli: the list the command line is dispatched
// through, and the program's help (the command list with each summary) is
// made from. The commands of this library are named in one explicit list
// (BuiltInCliCommands), so none is lost to a linker that drops a static
// library's unreferenced objects; a command built into the program beside
// the library (print, which draws with QtGui) is registered by the
// program's main, in the place the list keeps for it.

#include "cli/CliCommand.h"

#include <string>
#include <vector>

namespace vaskel {

class TCommandRegistry {
public:
    explicit TCommandRegistry(std::vector<TCliCommand> commands);

    // Adds a command at the end, or puts it in the place of the one of the
    // same name (an unavailable placeholder).
    void Register(TCliCommand command);
    // The command of that name, or nullptr.
    const TCliCommand* Find(const std::string& name) const;
    // In the order of the help's list.
    const std::vector<TCliCommand>& Commands() const { return FCommands; }

private:
    std::vector<TCliCommand> FCommands;
};

// Every command of this library in the help's order; print (and import in
// a build without pxlib) as an unavailable placeholder.
std::vector<TCliCommand> BuiltInCliCommands();

// The registry RunCli dispatches through: the built-in commands, and what
// the program registered.
TCommandRegistry& CliCommandRegistry();
void RegisterCliCommand(TCliCommand command);
// Back to the built-in commands alone (for the tests).
void ResetCliCommands();

// A command that this build lacks: named and summarised in the list; run,
// it says so (exit status 2).
TCliCommand UnavailableCommand(const std::string& name, const std::string& summary,
                               const std::string& why);

// The options of the program itself (--help, --version).
const std::vector<TCliOption>& ProgramOptions();

// vaskel-cli --help: usage, the command list with each summary, the
// program's options, the exit status.
std::string ProgramHelp(const TCommandRegistry& registry);

} // namespace vaskel
