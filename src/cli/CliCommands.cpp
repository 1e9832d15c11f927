#include "cli/CliCommands.h"

#include "cli/Json.h"
#include "telegram/Cp1252.h"
#include "telegram/Errors.h"
#include "telegram/TextConventions.h"

#include <filesystem>
#include <memory>
#include <ostream>

#ifndef VASKEL_SOURCE_DATA_DIR
#define VASKEL_SOURCE_DATA_DIR ""
#endif

namespace vaskel {

namespace {

const char* const kMainUsage =
    "Usage: vaskel-cli COMMAND [OPTIONS] [ARGS]\n"
    "\n"
    "The headless companion of Vaskel, the IBIS bus monitor and simulator.\n"
    "\n"
    "Commands:\n"
    "  classify   classify telegrams against the record-type catalogue\n"
    "  checkbyte  print the IBIS check byte of a telegram text\n"
    "\n"
    "Run 'vaskel-cli COMMAND --help' for the options of a command.\n";

const char* const kClassifyUsage =
    "Usage: vaskel-cli classify [--slave] [--train-bus] [--catalogue FILE] TELEGRAM...\n"
    "\n"
    "Classifies each TELEGRAM (entry notation: <CR>, <LF>, <$XX> and umlauts\n"
    "stand for their bytes) and prints one JSON object per line with the\n"
    "fields of the classification.\n"
    "\n"
    "Options:\n"
    "  --slave           classify as slave answers (default: master telegrams)\n"
    "  --train-bus       use the train-bus record types (default: vehicle bus)\n"
    "  --catalogue FILE  record-type catalogue (default: the shipped IBIS.CSV)\n"
    "  -h, --help        show this help\n";

const char* const kCheckbyteUsage =
    "Usage: vaskel-cli checkbyte TEXT\n"
    "\n"
    "Prints the IBIS check byte of TEXT (entry notation, without CR) as two\n"
    "upper-case hex digits.\n"
    "\n"
    "Options:\n"
    "  -h, --help  show this help\n";

bool IsHelp(const std::string& a) {
    return a == "-h" || a == "--help";
}

int Usage(std::ostream& err, const char* usage, const std::string& problem) {
    err << "vaskel-cli: " << problem << "\n\n" << usage;
    return kCliUsage;
}

// Terminal text (UTF-8) to telegram bytes.
std::string EntryArgumentToTelegram(const std::string& arg) {
    return DisplayToTelegram(Utf8ToCp1252(arg));
}

int RunClassify(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                const std::string& defaultCatalogue) {
    bool master = true;
    TBusType bus = TBusType::bsVehicleBus;
    std::string catalogue = defaultCatalogue;
    std::vector<std::string> telegrams;
    bool onlyOperands = false;
    for (std::size_t k = 1; k < args.size(); ++k) {
        const std::string& a = args[k];
        if (!onlyOperands && IsHelp(a)) {
            out << kClassifyUsage;
            return kCliOk;
        }
        if (!onlyOperands && a == "--") {
            onlyOperands = true;
        } else if (!onlyOperands && a == "--slave") {
            master = false;
        } else if (!onlyOperands && a == "--train-bus") {
            bus = TBusType::bsTrainBus;
        } else if (!onlyOperands && (a == "--catalogue" || a.rfind("--catalogue=", 0) == 0)) {
            if (a == "--catalogue") {
                if (k + 1 >= args.size())
                    return Usage(err, kClassifyUsage, "--catalogue needs a file name");
                catalogue = args[++k];
            } else {
                catalogue = a.substr(std::string("--catalogue=").size());
            }
        } else if (!onlyOperands && a.size() > 1 && a[0] == '-' && a[1] == '-') {
            return Usage(err, kClassifyUsage, "unknown option " + a);
        } else {
            telegrams.push_back(a);
        }
    }
    if (telegrams.empty()) return Usage(err, kClassifyUsage, "no telegram given");
    if (catalogue.empty()) catalogue = "IBIS.CSV";
    std::unique_ptr<TIBISTelegramParser> parser;
    try {
        parser = std::make_unique<TIBISTelegramParser>(catalogue);
    } catch (const EVaskelError& e) {
        err << "vaskel-cli: " << Cp1252ToUtf8(e.what()) << "\n";
        return kCliUsage;
    }
    TTelegramRecord r;
    for (const std::string& t : telegrams) {
        parser->Classify(EntryArgumentToTelegram(t), master, bus, r);
        out << TelegramRecordToJson(r) << "\n";
    }
    return kCliOk;
}

int RunCheckbyte(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::vector<std::string> operands;
    bool onlyOperands = false;
    for (std::size_t k = 1; k < args.size(); ++k) {
        const std::string& a = args[k];
        if (!onlyOperands && IsHelp(a)) {
            out << kCheckbyteUsage;
            return kCliOk;
        }
        if (!onlyOperands && a == "--")
            onlyOperands = true;
        else if (!onlyOperands && a.size() > 1 && a[0] == '-' && a[1] == '-')
            return Usage(err, kCheckbyteUsage, "unknown option " + a);
        else
            operands.push_back(a);
    }
    if (operands.size() != 1) return Usage(err, kCheckbyteUsage, "exactly one TEXT is needed");
    out << StrToHexDump(std::string(1, CalcCheckByte(EntryArgumentToTelegram(operands[0]))), false)
        << "\n";
    return kCliOk;
}

} // namespace

std::string TelegramRecordToJson(const TTelegramRecord& r) {
    std::string s = "{";
    auto text = [&](const char* name, const std::string& v) {
        if (s.size() > 1) s += ',';
        s += '"';
        s += name;
        s += "\":";
        s += JsonByteString(v);
    };
    auto flag = [&](const char* name, bool v) {
        s += ",\"";
        s += name;
        s += "\":";
        s += v ? "true" : "false";
    };
    text("RecordNo", r.RecordNo);
    text("Pattern", r.Pattern);
    text("PatternText", r.PatternText);
    text("Description", r.Description);
    text("Example", r.Example);
    text("Answers", r.Answers);
    text("Telegram", r.Telegram);
    text("Prefix", r.Prefix);
    text("Address", r.Address);
    text("CRText", r.CRText);
    text("CheckByte", r.CheckByte);
    text("DataText", r.DataText);
    text("RestText", r.RestText);
    text("Data", r.Data);
    text("Rest", r.Rest);
    flag("TrainBus", r.TrainBus);
    flag("Master", r.Master);
    flag("Filter", r.Filter);
    flag("ExactMatch", r.ExactMatch);
    flag("RoleAsExpected", r.RoleAsExpected);
    s += ",\"MatchedLength\":" + std::to_string(r.MatchedLength) + "}";
    return s;
}

std::string FindShippedCatalogue(const std::string& programDir) {
    namespace fs = std::filesystem;
    const fs::path dir(programDir);
    for (const fs::path& p :
         {dir / "data" / "IBIS.CSV", dir / ".." / "share" / "vaskel" / "IBIS.CSV",
          fs::path(VASKEL_SOURCE_DATA_DIR) / "IBIS.CSV"}) {
        std::error_code ec;
        if (!p.empty() && fs::is_regular_file(p, ec)) return p.string();
    }
    return {};
}

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const std::string& defaultCatalogue) {
    if (args.empty()) {
        err << kMainUsage;
        return kCliUsage;
    }
    const std::string& cmd = args[0];
    if (IsHelp(cmd)) {
        out << kMainUsage;
        return kCliOk;
    }
    if (cmd == "classify") return RunClassify(args, out, err, defaultCatalogue);
    if (cmd == "checkbyte") return RunCheckbyte(args, out, err);
    return Usage(err, kMainUsage, "unknown command " + cmd);
}

} // namespace vaskel
