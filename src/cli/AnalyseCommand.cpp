#include "cli/AnalyseCommand.h"

#include "analysis/DetailAnalysis.h"
#include "cli/ClassifyOptions.h"
#include "cli/CliCommands.h"
#include "cli/CliFiles.h"
#include "recording/OpenedProtocol.h"
#include "recording/Recorder.h"
#include "telegram/Cp1252.h"
#include "telegram/Errors.h"
#include "telegram/TextConventions.h"

#include <ostream>

namespace vaskel {

namespace {

const char* DetailKindName(TDetailKind kind) {
    switch (kind) {
    case TDetailKind::DS021:
        return "021";
    case TDetailKind::DS003a:
        return "003a";
    case TDetailKind::DS003c:
        return "003c";
    case TDetailKind::Error:
        return "error";
    case TDetailKind::General:
        return "general";
    case TDetailKind::None:
        break;
    }
    return "none";
}

int RunAnalyse(const TCliCall& call) {
    const std::vector<std::string>& args = call.Args;
    std::ostream& out = call.Out;
    std::ostream& err = call.Err;
    const std::string& defaultCatalogue = call.DefaultCatalogue;
    const TCliCommand& command = AnalyseCommand();
    TClassifyOptions o;
    o.Catalogue = defaultCatalogue;
    const std::string problem = ParseClassifyOptions(args, {}, {}, o);
    if (problem == "help") return ShowHelp(command, out);
    if (!problem.empty()) return RefuseUsage(command, err, problem);
    if (o.Operands.size() < 2) return RefuseUsage(command, err, "IN and a ROW are needed");
    if (!FilesUsable({{"protocol", o.Operands[0]}}, {}, err)) return kCliUsage;
    std::vector<int> rows;
    for (std::size_t k = 1; k < o.Operands.size(); ++k) {
        int64_t row = 0;
        if (!TryStrToInt64(o.Operands[k], row) || row < 1 || row > 100000000)
            return RefuseUsage(command, err, "not a row number: " + o.Operands[k]);
        rows.push_back(static_cast<int>(row));
    }
    auto parser = OpenCatalogue(o.Catalogue, err);
    if (!parser) return kCliUsage;
    TTable table = MakeProtocolTable();
    TProtocolLoad info;
    if (const int rc =
            LoadProtocolForCli("analyse", o.Operands[0], *parser, o.Bus, table, info, err);
        rc != kCliOk)
        return rc;
    TDetailOptions options;
    options.Bus = o.Bus;
    int rc = kCliOk;
    for (const int row : rows) {
        if (row > table.RowCount()) {
            err << "vaskel-cli: row " << row << " is not in the protocol (" << table.RowCount()
                << " rows)\n";
            rc = kCliUsage;
            continue;
        }
        const TDetailKind kind = DetailKindOf(table, row - 1);
        out << "row " << row << ": " << DetailKindName(kind) << "\n";
        try {
            const TDetailContent content =
                BuildDetailAnalysis(kind, table, row - 1, *parser, options);
            for (const auto& line : content.Lines) {
                std::string text;
                for (const TDetailItem& item : line) {
                    const std::string t = item.Text();
                    if (t.empty()) continue;
                    if (!text.empty()) text += " | ";
                    text += t;
                }
                if (!text.empty()) out << "  " << Cp1252ToUtf8(text) << "\n";
            }
        } catch (const EVaskelError& e) {
            // the analysis's own words, as the panel shows them
            std::string text = e.what();
            for (std::size_t p; (p = text.find("\r\n")) != std::string::npos;)
                text.replace(p, 2, " ");
            err << "vaskel-cli: row " << row << ": " << Cp1252ToUtf8(text) << "\n";
            if (rc == kCliOk) rc = kCliFailure;
        }
    }
    return rc;
}

} // namespace

const TCliCommand& AnalyseCommand() {
    static const TCliCommand command = [] {
        TCliCommand c;
        c.Name = "analyse";
        c.Summary = "print the detail analysis of protocol rows";
        c.Synopsis = {"analyse [--catalogue FILE] [--train-bus] IN.PRO.CSV ROW..."};
        c.Description =
            "Prints the detail analysis of each ROW (the number in the protocol's\n"
            "\"Nr.\" column, 1 for the first row): the destination texts of a 021,\n"
            "the display texts of a 003a or 003c, the error analysis of a row with\n"
            "errors, the general analysis of any other row. One line of the analysis\n"
            "a line of output, its fields apart by \" | \". IN is read, never written.\n";
        c.Options = {kCatalogueOption, kTrainBusOption};
        c.Run = RunAnalyse;
        return c;
    }();
    return command;
}

} // namespace vaskel
