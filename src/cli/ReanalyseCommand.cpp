#include "cli/ReanalyseCommand.h"

#include "cli/ClassifyOptions.h"
#include "cli/CliCommands.h"
#include "cli/CliFiles.h"
#include "recording/OpenedProtocol.h"
#include "recording/Recorder.h"
#include "recording/TableFile.h"
#include "telegram/Errors.h"

#include <optional>
#include <ostream>

namespace vaskel {

namespace {

int RunReanalyse(const TCliCall& call) {
    const std::vector<std::string>& args = call.Args;
    std::ostream& out = call.Out;
    std::ostream& err = call.Err;
    const std::string& defaultCatalogue = call.DefaultCatalogue;
    const TCliCommand& command = ReanalyseCommand();
    TClassifyOptions o;
    o.Catalogue = defaultCatalogue;
    const std::string problem = ParseClassifyOptions(args, {}, {}, o);
    if (problem == "help") return ShowHelp(command, out);
    if (!problem.empty()) return RefuseUsage(command, err, problem);
    if (o.Operands.size() != 2) return RefuseUsage(command, err, "IN and OUT are needed");
    if (!FilesUsable({{"protocol", o.Operands[0]}}, {o.Operands[1]}, err)) return kCliUsage;
    auto parser = OpenCatalogue(o.Catalogue, err);
    if (!parser) return kCliUsage;
    TTable table = MakeProtocolTable();
    TProtocolLoad info;
    if (const int rc = LoadProtocolCopy(o.Operands[0], o.Operands[1] + ".vaskel-in", *parser, o.Bus,
                                        table, info, err);
        rc != kCliOk)
        return rc;
    try {
        if (!info.Reanalysed) Reanalyse(table, *parser, o.Bus);
        SaveToCSV(table, o.Operands[1], '"', 0, std::nullopt, ';');
    } catch (const EVaskelError&) {
        err << "vaskel-cli: cannot write " << o.Operands[1] << "\n";
        return kCliUsage;
    }
    return kCliOk;
}

} // namespace

const TCliCommand& ReanalyseCommand() {
    static const TCliCommand command = [] {
        TCliCommand c;
        c.Name = "reanalyse";
        c.Summary = "load a protocol in any form, analyse it again, write it";
        c.Synopsis = {"reanalyse [--catalogue FILE] [--train-bus] IN.PRO.CSV OUT.PRO.CSV"};
        c.Description = "Loads a protocol in any accepted form (older comma and unquoted forms\n"
                        "included), analyses every row again and writes it in the current form.\n"
                        "IN is read, never written.\n";
        c.Options = {kCatalogueOption, kTrainBusOption};
        c.Run = RunReanalyse;
        return c;
    }();
    return command;
}

} // namespace vaskel
