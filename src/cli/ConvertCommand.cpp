#include "cli/ConvertCommand.h"

#include "cli/CliCommands.h"
#include "telegram/DisplayRecords.h"
#include "telegram/TextConventions.h"

#include <ostream>
#include <string>

namespace vaskel {

namespace {

int RunConvert(const TCliCall& call) {
    const std::vector<std::string>& args = call.Args;
    std::ostream& out = call.Out;
    std::ostream& err = call.Err;
    const TCliCommand& command = ConvertCommand();
    if (args.size() == 2 && IsHelpArgument(args[1])) return ShowHelp(command, out);
    if (args.size() != 3)
        return RefuseUsage(command, err, "one of --dec, --hex, --ibis and its value are needed");
    const std::string& opt = args[1];
    const std::string& v = args[2];
    auto refuse = [&](const char* what) {
        return RefuseUsage(command, err, v + " is no " + what + " number");
    };
    TNumberNotations n;
    if (opt == "--dec") {
        if (v.empty() || v.size() > 9 || v.find_first_not_of("0123456789") != std::string::npos)
            return refuse("decimal (at most 9 digits)");
        n = FromDecimalText(v);
    } else if (opt == "--hex") {
        if (v.empty() || v.size() > 7 ||
            v.find_first_not_of("0123456789ABCDEFabcdef") != std::string::npos)
            return refuse("hexadecimal (at most 7 digits)");
        n = FromHexText(v);
    } else if (opt == "--ibis") {
        if (v.empty() || v.size() > 7 || v.find_first_not_of(kIBISHexDigits) != std::string::npos)
            return refuse("IBIS-hexadecimal (at most 7 digits 0-9 : ; < = > ?)");
        n = FromIbisHexText(v);
    } else {
        return RefuseUsage(command, err, "unknown option " + opt);
    }
    // the number itself, without the leading zeros of what was typed
    const TNumberNotations d = FromDecimalText(std::to_string(std::stoull(n.Decimal)));
    out << "decimal " << d.Decimal << "\nhex " << d.Hex << "\nibis-hex " << d.IbisHex << "\n";
    return kCliOk;
}

} // namespace

const TCliCommand& ConvertCommand() {
    static const TCliCommand command = [] {
        TCliCommand c;
        c.Name = "convert";
        c.Summary = "a number in decimal, hexadecimal and IBIS-hex notation";
        c.Synopsis = {"convert --dec N | --hex H | --ibis I"};
        c.Description = "Prints a number in decimal, hexadecimal and IBIS-hexadecimal notation.\n";
        c.Options = {
            {"--dec", "N", "the number in decimal, at most 9 digits"},
            {"--hex", "H", "the number in hexadecimal, at most 7 digits"},
            {"--ibis", "I", "the number in IBIS-hexadecimal, at most 7 digits 0-9 : ; < = > ?"},
        };
        c.Run = RunConvert;
        return c;
    }();
    return command;
}

} // namespace vaskel
