#include "cli/DecomposeCommand.h"

#include "cli/CliCommands.h"
#include "cli/Json.h"
#include "telegram/Cp1252.h"
#include "telegram/DisplayRecords.h"
#include "telegram/TextConventions.h"

#include <ostream>
#include <string>
#include <string_view>

namespace vaskel {

namespace {

int RunDecompose(const TCliCall& call) {
    const std::vector<std::string>& args = call.Args;
    std::ostream& out = call.Out;
    std::ostream& err = call.Err;
    const TCliCommand& command = DecomposeCommand();
    std::vector<std::string> operands;
    bool onlyOperands = false;
    for (std::size_t k = 1; k < args.size(); ++k) {
        const std::string& a = args[k];
        if (!onlyOperands && IsHelpArgument(a)) return ShowHelp(command, out);
        if (!onlyOperands && a == "--")
            onlyOperands = true;
        else if (!onlyOperands && a.size() > 1 && a[0] == '-' && a[1] == '-')
            return RefuseUsage(command, err, "unknown option " + a);
        else
            operands.push_back(a);
    }
    if (operands.size() != 1) return RefuseUsage(command, err, "exactly one TELEGRAM is needed");
    const std::string telegram = DisplayToTelegram(Utf8ToCp1252(operands[0]));
    TDisplayRecord type;
    if (!DisplayRecordFromPrefix(telegram, type)) {
        err << "vaskel-cli: not a destination-display telegram (it starts with none of zA, zI, "
               "aA, aL, eT)\n";
        return kCliUsage;
    }
    const std::string_view t = std::string_view(telegram).substr(telegram.find_first_not_of(' '));
    const bool hasAddress = type == TDisplayRecord::DS021 || type == TDisplayRecord::DS021a;
    if (hasAddress && (t.size() < 3 || kIBISHexDigits.find(t[2]) + 1 < 2)) {
        err << "vaskel-cli: " << operands[0] << ": no destination address after "
            << std::string(t.substr(0, 2)) << " (an IBIS-hex digit 1..15 is needed)\n";
        return kCliUsage;
    }
    const TComposerInput in = DecomposeDisplayRecord(type, t);
    out << "{\"type\":\"" << DisplayRecordNo(type) << "\"";
    const bool addressed = type == TDisplayRecord::DS021 || type == TDisplayRecord::DS021a;
    out << ",\"address\":";
    if (addressed)
        out << in.Address;
    else
        out << "null";
    out << ",\"phaseTime\":";
    if (type == TDisplayRecord::DS021)
        out << JsonByteString(PhaseTimeText(in.PhaseTime));
    else
        out << "null";
    out << ",\"doubleLineFeed\":";
    if (type == TDisplayRecord::DS021)
        out << (in.DoubleLineFeed ? "true" : "false");
    else
        out << "null";
    out << ",\"lines\":[";
    for (std::size_t k = 0; k < in.Rows.size(); ++k)
        out << (k ? "," : "") << JsonByteString(in.Rows[k]);
    out << "]}\n";
    return kCliOk;
}

} // namespace

const TCliCommand& DecomposeCommand() {
    static const TCliCommand command = [] {
        TCliCommand c;
        c.Name = "decompose";
        c.Summary = "take a destination-display telegram apart into its lines";
        c.Synopsis = {"decompose TELEGRAM"};
        c.Description = "Takes a destination-display telegram (021, 003a, 003c, 004c, 021a; entry\n"
                        "notation) apart and prints one JSON object: type, address, phase time,\n"
                        "line feeds and lines. A 021 or 021a without its address digit (1..15) is\n"
                        "refused with exit status 2.\n";
        c.Run = RunDecompose;
        return c;
    }();
    return command;
}

} // namespace vaskel
