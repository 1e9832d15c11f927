#include "cli/ResponsesCommand.h"

#include "cli/ClassifyOptions.h"
#include "cli/CliCommands.h"
#include "cli/CliFiles.h"
#include "lists/ListFiles.h"
#include "telegram/Cp1252.h"
#include "telegram/Errors.h"

#include <ostream>

namespace vaskel {

namespace {

int RunResponses(const TCliCall& call) {
    const std::vector<std::string>& args = call.Args;
    std::ostream& out = call.Out;
    std::ostream& err = call.Err;
    const std::string& defaultCatalogue = call.DefaultCatalogue;
    const TCliCommand& command = ResponsesCommand();
    TClassifyOptions o;
    o.Catalogue = defaultCatalogue;
    const std::string problem = ParseClassifyOptions(args, {}, {}, o);
    if (problem == "help") return ShowHelp(command, out);
    if (!problem.empty()) return RefuseUsage(command, err, problem);
    if (o.Operands.size() != 2) return RefuseUsage(command, err, "IN and OUT are needed");
    if (!FilesUsable({{"protocol", o.Operands[0]}}, {o.Operands[1]}, err)) return kCliUsage;
    auto parser = OpenCatalogue(o.Catalogue, err);
    if (!parser) return kCliUsage;
    TTable table = MakeResponseListTable();
    try {
        if (ResponseListFromProtocol(o.Operands[0], *parser, o.Bus, table) == 0) {
            err << "vaskel-cli: " << Cp1252ToUtf8(kResponsesFromProtocolNone) << "\n";
            return kCliUsage;
        }
        SaveListFile(table, o.Operands[1], TListKind::Antwort);
    } catch (const EVaskelError& e) {
        err << "vaskel-cli: " << Cp1252ToUtf8(e.what()) << "\n";
        return kCliUsage;
    }
    return kCliOk;
}

} // namespace

const TCliCommand& ResponsesCommand() {
    static const TCliCommand command = [] {
        TCliCommand c;
        c.Name = "responses";
        c.Summary = "build a response list from a protocol";
        c.Synopsis = {"responses [--catalogue FILE] [--train-bus] IN.PRO.CSV OUT.ANT.CSV"};
        c.Description = "Builds a response list from a recorded protocol: for every prefix and\n"
                        "address of its master telegrams the first error-free answer recorded\n"
                        "after one, with a reaction time of 1 ms.\n";
        c.Options = {kCatalogueOption, kTrainBusOption};
        c.Run = RunResponses;
        return c;
    }();
    return command;
}

} // namespace vaskel
