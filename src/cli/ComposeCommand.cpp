#include "cli/ComposeCommand.h"

#include "cli/CliCommands.h"
#include "telegram/Cp1252.h"
#include "telegram/DisplayRecords.h"
#include "telegram/TextConventions.h"

#include <ostream>
#include <string>

namespace vaskel {

namespace {

bool ParseAddress(const std::string& v, int& address) {
    int64_t n = 0;
    if (!TryStrToInt64(v, n) || n < 1 || n > 15) return false;
    address = static_cast<int>(n);
    return true;
}

int RunCompose(const TCliCall& call) {
    const std::vector<std::string>& args = call.Args;
    std::ostream& out = call.Out;
    std::ostream& err = call.Err;
    const TCliCommand& command = ComposeCommand();
    TComposerInput in;
    std::string type;
    bool onlyOperands = false, haveType = false;
    std::vector<std::string> lines;
    for (std::size_t k = 1; k < args.size(); ++k) {
        const std::string& a = args[k];
        if (!onlyOperands && IsHelpArgument(a)) return ShowHelp(command, out);
        auto value = [&](std::string& v) {
            if (k + 1 >= args.size()) return false;
            v = args[++k];
            return true;
        };
        std::string v;
        if (!onlyOperands && a == "--") {
            onlyOperands = true;
        } else if (!onlyOperands && a == "--address") {
            if (!value(v)) return RefuseUsage(command, err, "--address needs a number");
            if (!ParseAddress(v, in.Address)) {
                // what the composer says about an address it cannot use
                err << "vaskel-cli: " << Cp1252ToUtf8(ComposeProblemText(TComposeProblem::NoAddress))
                    << "\n";
                return kCliUsage;
            }
        } else if (!onlyOperands && a == "--phase-time") {
            if (!value(v)) return RefuseUsage(command, err, "--phase-time needs a time");
            in.PhaseTime = PhaseTimeFromText(Utf8ToCp1252(v));
            if (in.PhaseTime == kPhaseTimeUnset)
                return RefuseUsage(command, err,
                                   "--phase-time takes 1, 1,5 ... 8,5 or none, not " + v);
        } else if (!onlyOperands && a == "--single-lf") {
            in.DoubleLineFeed = false;
        } else if (!onlyOperands && a.size() > 1 && a[0] == '-' && a[1] == '-') {
            return RefuseUsage(command, err, "unknown option " + a);
        } else if (!haveType) {
            type = a;
            haveType = true;
        } else {
            lines.push_back(Utf8ToCp1252(a));
        }
    }
    if (!haveType) return RefuseUsage(command, err, "no TYPE given");
    if (!DisplayRecordFromNo(type, in.Type))
        return RefuseUsage(command, err, "unknown TYPE " + type);
    if (in.Type == TDisplayRecord::DS021a && lines.size() > 1)
        return RefuseUsage(command, err, "021a takes exactly one LINE");
    in.Rows = lines.empty() ? EmptyRows(in.Type) : lines;
    // 021 keeps its lines in pairs
    if (in.Type == TDisplayRecord::DS021 && in.Rows.size() % 2 == 1) in.Rows.emplace_back();
    const TComposeResult r = ComposeDisplayRecord(in);
    if (r.Problem != TComposeProblem::None) {
        std::string text = ComposeProblemText(r.Problem);
        for (char& c : text)
            if (c == '\n') c = ' ';
        err << "vaskel-cli: " << Cp1252ToUtf8(text) << "\n";
        return kCliUsage;
    }
    out << Cp1252ToUtf8(TelegramToDisplay(r.Telegram)) << "\n";
    return kCliOk;
}

} // namespace

const TCliCommand& ComposeCommand() {
    static const TCliCommand command = [] {
        TCliCommand c;
        c.Name = "compose";
        c.Summary = "compose a destination-display telegram (021, 003a/c, 004c, 021a)";
        c.Synopsis = {"compose TYPE [--address N] [--phase-time T|none] [--single-lf] LINE..."};
        c.Description = "Composes a destination-display telegram from its lines and prints it in\n"
                        "entry notation (<LF> for a line feed, umlauts as they are).\n";
        c.Operands = {
            {"TYPE", "021, 003a, 003c, 004c or 021a"},
            {"LINE", "one text per line; 021: two lines per phase; 021a: the data, at most 255 "
                     "characters (its length has two IBIS-hex digits)"},
        };
        c.Options = {
            {"--address", "N", "destination address 1..15 (021, 021a; default 1)"},
            {"--phase-time", "T", "021: seconds between phases, 1, 1,5 ... 8,5, or none"},
            {"--single-lf", "", "021: one LF between phases instead of two"},
        };
        c.Notes = "Exit status 2 with the composer's message when the input is refused.\n";
        c.Run = RunCompose;
        return c;
    }();
    return command;
}

} // namespace vaskel
