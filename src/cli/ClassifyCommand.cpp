#include "cli/ClassifyCommand.h"

#include "cli/CliCommands.h"
#include "cli/CliFiles.h"
#include "telegram/Cp1252.h"
#include "telegram/TextConventions.h"

#include <ostream>

namespace vaskel {

namespace {

int RunClassify(const TCliCall& call) {
    const std::vector<std::string>& args = call.Args;
    const TCliCommand& command = ClassifyCommand();
    bool master = true;
    TBusType bus = TBusType::bsVehicleBus;
    std::string catalogue = call.DefaultCatalogue;
    std::vector<std::string> telegrams;
    bool onlyOperands = false;
    for (std::size_t k = 1; k < args.size(); ++k) {
        const std::string& a = args[k];
        if (!onlyOperands && IsHelpArgument(a)) return ShowHelp(command, call.Out);
        if (!onlyOperands && a == "--") {
            onlyOperands = true;
        } else if (!onlyOperands && a == "--slave") {
            master = false;
        } else if (!onlyOperands && a == "--train-bus") {
            bus = TBusType::bsTrainBus;
        } else if (!onlyOperands && (a == "--catalogue" || a.rfind("--catalogue=", 0) == 0)) {
            if (a == "--catalogue") {
                if (k + 1 >= args.size())
                    return RefuseUsage(command, call.Err, "--catalogue needs a file name");
                catalogue = args[++k];
            } else {
                catalogue = a.substr(std::string("--catalogue=").size());
            }
        } else if (!onlyOperands && a.size() > 1 && a[0] == '-' && a[1] == '-') {
            return RefuseUsage(command, call.Err, "unknown option " + a);
        } else {
            telegrams.push_back(a);
        }
    }
    if (telegrams.empty()) return RefuseUsage(command, call.Err, "no telegram given");
    const auto parser = OpenCatalogue(catalogue, call.Err);
    if (!parser) return kCliUsage;
    TTelegramRecord r;
    for (const std::string& t : telegrams) {
        parser->Classify(EntryArgumentToTelegram(t), master, bus, r);
        call.Out << TelegramRecordToJson(r) << "\n";
    }
    return kCliOk;
}

} // namespace

const TCliCommand& ClassifyCommand() {
    static const TCliCommand command = [] {
        TCliCommand c;
        c.Name = "classify";
        c.Summary = "classify telegrams against the record-type catalogue";
        c.Synopsis = {"classify [--slave] [--train-bus] [--catalogue FILE] TELEGRAM..."};
        c.Description = "Classifies each TELEGRAM (entry notation: <CR>, <LF>, <$XX> and umlauts\n"
                        "stand for their bytes) and prints one JSON object per line with the\n"
                        "fields of the classification.\n";
        c.Options = {
            {"--slave", "", "classify as slave answers (default: master telegrams)"},
            kTrainBusOption,
            kCatalogueOption,
        };
        c.Run = RunClassify;
        return c;
    }();
    return command;
}

} // namespace vaskel
