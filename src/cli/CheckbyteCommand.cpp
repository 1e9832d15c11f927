#include "cli/CheckbyteCommand.h"

#include "cli/CliCommands.h"
#include "telegram/TextConventions.h"

#include <ostream>

namespace vaskel {

namespace {

int RunCheckbyte(const TCliCall& call) {
    const std::vector<std::string>& args = call.Args;
    const TCliCommand& command = CheckbyteCommand();
    std::vector<std::string> operands;
    bool onlyOperands = false;
    for (std::size_t k = 1; k < args.size(); ++k) {
        const std::string& a = args[k];
        if (!onlyOperands && IsHelpArgument(a)) return ShowHelp(command, call.Out);
        if (!onlyOperands && a == "--")
            onlyOperands = true;
        else if (!onlyOperands && a.size() > 1 && a[0] == '-' && a[1] == '-')
            return RefuseUsage(command, call.Err, "unknown option " + a);
        else
            operands.push_back(a);
    }
    if (operands.size() != 1) return RefuseUsage(command, call.Err, "exactly one TEXT is needed");
    call.Out << StrToHexDump(std::string(1, CalcCheckByte(EntryArgumentToTelegram(operands[0]))),
                             false)
             << "\n";
    return kCliOk;
}

} // namespace

const TCliCommand& CheckbyteCommand() {
    static const TCliCommand command = [] {
        TCliCommand c;
        c.Name = "checkbyte";
        c.Summary = "print the IBIS check byte of a telegram text";
        c.Synopsis = {"checkbyte TEXT"};
        c.Description = "Prints the IBIS check byte of TEXT (entry notation, without CR) as two\n"
                        "upper-case hex digits.\n";
        c.Run = RunCheckbyte;
        return c;
    }();
    return command;
}

} // namespace vaskel
