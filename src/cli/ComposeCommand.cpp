#include "cli/ComposeCommand.h"

#include "cli/CliCommands.h"
#include "cli/Json.h"
#include "telegram/Cp1252.h"
#include "telegram/DisplayRecords.h"
#include "telegram/TextConventions.h"

#include <ostream>
#include <string>

namespace vaskel {

const char* const kComposeUsage =
    "Usage: vaskel-cli compose TYPE [--address N] [--phase-time T|none] [--single-lf] LINE...\n"
    "\n"
    "Composes a destination-display telegram from its lines and prints it in\n"
    "entry notation (<LF> for a line feed, umlauts as they are).\n"
    "\n"
    "  TYPE              021, 003a, 003c, 004c or 021a\n"
    "  --address N       destination address 1..15 (021, 021a; default 1)\n"
    "  --phase-time T    021: seconds between phases, 1, 1,5 ... 8,5, or none\n"
    "  --single-lf       021: one LF between phases instead of two\n"
    "  LINE              one text per line; 021: two lines per phase; 021a: the data,\n"
    "                    at most 255 characters (its length has two IBIS-hex digits)\n"
    "\n"
    "Exit status 2 with the composer's message when the input is refused.\n";

const char* const kDecomposeUsage =
    "Usage: vaskel-cli decompose TELEGRAM\n"
    "\n"
    "Takes a destination-display telegram (021, 003a, 003c, 004c, 021a; entry\n"
    "notation) apart and prints one JSON object: type, address, phase time,\n"
    "line feeds and lines. A 021 or 021a without its address digit (1..15) is\n"
    "refused with exit status 2.\n";

const char* const kConvertUsage =
    "Usage: vaskel-cli convert --dec N | --hex H | --ibis I\n"
    "\n"
    "Prints a number in decimal, hexadecimal and IBIS-hexadecimal notation.\n";

namespace {

bool IsHelpArg(const std::string& a) {
    return a == "--help" || a == "-h";
}

int UsageError(std::ostream& err, const char* usage, const std::string& problem) {
    err << "vaskel-cli: " << problem << "\n\n" << usage;
    return kCliUsage;
}

bool ParseAddress(const std::string& v, int& address) {
    int64_t n = 0;
    if (!TryStrToInt64(v, n) || n < 1 || n > 15) return false;
    address = static_cast<int>(n);
    return true;
}

} // namespace

int RunCompose(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    TComposerInput in;
    std::string type;
    bool onlyOperands = false, haveType = false;
    std::vector<std::string> lines;
    for (std::size_t k = 1; k < args.size(); ++k) {
        const std::string& a = args[k];
        if (!onlyOperands && IsHelpArg(a)) {
            out << kComposeUsage;
            return kCliOk;
        }
        auto value = [&](std::string& v) {
            if (k + 1 >= args.size()) return false;
            v = args[++k];
            return true;
        };
        std::string v;
        if (!onlyOperands && a == "--") {
            onlyOperands = true;
        } else if (!onlyOperands && a == "--address") {
            if (!value(v)) return UsageError(err, kComposeUsage, "--address needs a number");
            if (!ParseAddress(v, in.Address)) {
                // what the composer says about an address it cannot use
                err << "vaskel-cli: " << Cp1252ToUtf8(ComposeProblemText(TComposeProblem::NoAddress))
                    << "\n";
                return kCliUsage;
            }
        } else if (!onlyOperands && a == "--phase-time") {
            if (!value(v)) return UsageError(err, kComposeUsage, "--phase-time needs a time");
            in.PhaseTime = PhaseTimeFromText(Utf8ToCp1252(v));
            if (in.PhaseTime == kPhaseTimeUnset)
                return UsageError(err, kComposeUsage,
                                  "--phase-time takes 1, 1,5 ... 8,5 or none, not " + v);
        } else if (!onlyOperands && a == "--single-lf") {
            in.DoubleLineFeed = false;
        } else if (!onlyOperands && a.size() > 1 && a[0] == '-' && a[1] == '-') {
            return UsageError(err, kComposeUsage, "unknown option " + a);
        } else if (!haveType) {
            type = a;
            haveType = true;
        } else {
            lines.push_back(Utf8ToCp1252(a));
        }
    }
    if (!haveType) return UsageError(err, kComposeUsage, "no TYPE given");
    if (!DisplayRecordFromNo(type, in.Type))
        return UsageError(err, kComposeUsage, "unknown TYPE " + type);
    if (in.Type == TDisplayRecord::DS021a && lines.size() > 1)
        return UsageError(err, kComposeUsage, "021a takes exactly one LINE");
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

int RunDecompose(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::vector<std::string> operands;
    bool onlyOperands = false;
    for (std::size_t k = 1; k < args.size(); ++k) {
        const std::string& a = args[k];
        if (!onlyOperands && IsHelpArg(a)) {
            out << kDecomposeUsage;
            return kCliOk;
        }
        if (!onlyOperands && a == "--")
            onlyOperands = true;
        else if (!onlyOperands && a.size() > 1 && a[0] == '-' && a[1] == '-')
            return UsageError(err, kDecomposeUsage, "unknown option " + a);
        else
            operands.push_back(a);
    }
    if (operands.size() != 1) return UsageError(err, kDecomposeUsage, "exactly one TELEGRAM is needed");
    const std::string telegram = DisplayToTelegram(Utf8ToCp1252(operands[0]));
    TDisplayRecord type;
    if (!DisplayRecordFromPrefix(telegram, type)) {
        err << "vaskel-cli: not a destination-display telegram (it starts with none of zA, zI, "
               "aA, aL, eT)\n";
        return kCliUsage;
    }
    const std::string_view t =
        std::string_view(telegram).substr(telegram.find_first_not_of(' '));
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

int RunConvert(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() == 2 && IsHelpArg(args[1])) {
        out << kConvertUsage;
        return kCliOk;
    }
    if (args.size() != 3) return UsageError(err, kConvertUsage, "one of --dec, --hex, --ibis and its value are needed");
    const std::string& opt = args[1];
    const std::string& v = args[2];
    auto refuse = [&](const char* what) {
        return UsageError(err, kConvertUsage, v + " is no " + what + " number");
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
        return UsageError(err, kConvertUsage, "unknown option " + opt);
    }
    // the number itself, without the leading zeros of what was typed
    const TNumberNotations d = FromDecimalText(std::to_string(std::stoull(n.Decimal)));
    out << "decimal " << d.Decimal << "\nhex " << d.Hex << "\nibis-hex " << d.IbisHex << "\n";
    return kCliOk;
}

} // namespace vaskel
