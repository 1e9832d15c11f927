#include "cli/CommandRegistry.h"

#include "cli/AnalyseCommand.h"
#include "cli/AutonomousCommand.h"
#include "cli/CatalogueCommand.h"
#include "cli/CheckbyteCommand.h"
#include "cli/ClassifyCommand.h"
#include "cli/CliCommands.h"
#include "cli/ComposeCommand.h"
#include "cli/ConvertCommand.h"
#include "cli/DecodeCommand.h"
#include "cli/DecomposeCommand.h"
#include "cli/EmulateCommand.h"
#include "cli/FilterCommand.h"
#include "cli/FirmwareCommand.h"
#ifdef VASKEL_HAVE_IMPORT
#include "cli/ImportCommand.h"
#endif
#include "cli/ReanalyseCommand.h"
#include "cli/RecordCommand.h"
#include "cli/ResponsesCommand.h"
#include "cli/SimulateCommand.h"
#include "cli/StatsCommand.h"
#include "cli/UsbCommand.h"

#include <utility>

namespace vaskel {

TCommandRegistry::TCommandRegistry(std::vector<TCliCommand> commands)
    : FCommands(std::move(commands)) {}

void TCommandRegistry::Register(TCliCommand command) {
    for (TCliCommand& c : FCommands)
        if (c.Name == command.Name) {
            c = std::move(command);
            return;
        }
    FCommands.push_back(std::move(command));
}

const TCliCommand* TCommandRegistry::Find(const std::string& name) const {
    for (const TCliCommand& c : FCommands)
        if (c.Name == name) return &c;
    return nullptr;
}

TCliCommand UnavailableCommand(const std::string& name, const std::string& summary,
                               const std::string& why) {
    TCliCommand c;
    c.Name = name;
    c.Summary = summary;
    c.Unavailable = why;
    return c;
}

std::vector<TCliCommand> BuiltInCliCommands() {
    return {
        ClassifyCommand(),
        CheckbyteCommand(),
        DecodeCommand(),
        EmulateCommand(),
        RecordCommand(),
        ReanalyseCommand(),
        AnalyseCommand(),
        ResponsesCommand(),
        SimulateCommand(),
        ComposeCommand(),
        DecomposeCommand(),
        ConvertCommand(),
        StatsCommand(),
        FilterCommand(),
        FirmwareCommand(),
        CatalogueCommand(),
        AutonomousCommand(),
        // drawn with QtGui: the program registers the command where it has it
        UnavailableCommand("print", "write the printout of a protocol as a PDF",
                           "it was built without QtGui"),
#ifdef VASKEL_HAVE_IMPORT
        ImportCommand(),
#else
        UnavailableCommand("import",
                           "convert a table of Vaskel 1.x (.DB) into a list or protocol file",
                           "it was built without pxlib"),
#endif
        UsbCommand(),
    };
}

TCommandRegistry& CliCommandRegistry() {
    static TCommandRegistry registry(BuiltInCliCommands());
    return registry;
}

void RegisterCliCommand(TCliCommand command) {
    CliCommandRegistry().Register(std::move(command));
}

void ResetCliCommands() {
    CliCommandRegistry() = TCommandRegistry(BuiltInCliCommands());
}

const std::vector<TCliOption>& ProgramOptions() {
    static const std::vector<TCliOption> options = {
        kHelpOption,
        {"--version", "", "print the program's version"},
    };
    return options;
}

std::string ProgramHelp(const TCommandRegistry& registry) {
    std::string s = "Usage: vaskel-cli COMMAND [OPTIONS] [ARGS]\n"
                    "\n"
                    "The headless companion of Vaskel, the IBIS bus monitor and simulator.\n"
                    "\n"
                    "Commands:\n";
    std::vector<std::pair<std::string, std::string>> rows;
    std::string missing;
    for (const TCliCommand& c : registry.Commands()) {
        rows.push_back({c.Name, c.Summary});
        if (!c.Unavailable.empty()) missing += (missing.empty() ? "" : ", ") + c.Name;
    }
    s += TwoColumns(rows);
    if (!missing.empty()) s += "Not in this build: " + missing + ".\n";
    s += "\n"
         "Run 'vaskel-cli COMMAND --help' for the options of a command.\n"
         "\n"
         "Options:\n";
    rows.clear();
    for (const TCliOption& o : ProgramOptions())
        rows.push_back({OptionLabel(o), o.Description});
    s += TwoColumns(rows);
    s += "\n"
         "Exit status, the same for every command:\n"
         "  0  done\n"
         "  1  the command ran, and what it checked or asked for is not so: a firmware\n"
         "     file or catalogue with faults, no device answers, the device says no\n"
         "  2  the command could not do its work: an unknown command or option, a\n"
         "     refused value (the message names it), an input that cannot be read or\n"
         "     is not what the command takes, an output that cannot be written\n"
         "Notes on what a command left out or changed go to the standard error stream\n"
         "and do not change the exit status.\n";
    return s;
}

} // namespace vaskel
