#include "cli/CatalogueCommand.h"

#include "cli/CliFiles.h"
#include "telegram/CatalogueCheck.h"
#include "telegram/Cp1252.h"
#include "telegram/Errors.h"

#include <ostream>

namespace vaskel {

namespace {

} // namespace

int RunCatalogue(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                 const std::string& defaultCatalogue) {
    auto usage = [&](const std::string& problem) {
        return RefuseUsage(CatalogueCommand(), err, problem);
    };
    auto isHelp = [](const std::string& a) { return a == "--help" || a == "-h"; };
    if (args.size() >= 2 && isHelp(args[1])) return ShowHelp(CatalogueCommand(), out);
    if (args.size() < 2) return usage("catalogue needs a subcommand: check");
    if (args[1] != "check") return usage("unknown catalogue subcommand " + args[1]);
    if (args.size() == 3 && isHelp(args[2])) return ShowHelp(CatalogueCommand(), out);
    if (args.size() > 3) return usage("catalogue check takes one FILE");
    const std::string file = args.size() == 3 ? args[2] : defaultCatalogue;
    if (!FilesUsable({{"catalogue", file}}, {}, err)) return kCliUsage;
    std::vector<TCatalogueRow> rows;
    try {
        rows = ReadCatalogueRows(ReadCatalogueFile(file));
    } catch (const EVaskelError& e) {
        err << "vaskel-cli: " << Cp1252ToUtf8(e.what()) << "\n";
        return kCliUsage;
    }
    if (rows.empty()) {
        // nothing to classify with: the program would not start with it
        out << "The file holds no record types.\n";
        err << "vaskel-cli: 0 record types checked: " << file << " holds no record types\n";
        return kCliFailure;
    }
    const std::vector<TCatalogueProblem> problems = CheckCatalogue(rows);
    for (const TCatalogueProblem& p : problems)
        out << Cp1252ToUtf8(CatalogueProblemText(p, 2)) << "\n";
    err << "vaskel-cli: " << rows.size() << " record types checked, " << problems.size()
        << " failed\n";
    return problems.empty() ? kCliOk : kCliFailure;
}

const TCliCommand& CatalogueCommand() {
    static const TCliCommand command = [] {
        TCliCommand c;
        c.Name = "catalogue";
        c.Summary = "check a record-type catalogue as the editor does before saving";
        c.Synopsis = {"catalogue check [FILE]"};
        c.Description =
            "Runs the check the record-type editor runs before it saves on a catalogue\n"
            "file (default: the shipped IBIS.CSV): every line's pattern must be well\n"
            "formed and its example must be classified by the whole catalogue as that\n"
            "very record type, exactly and in its role (master or slave), on its bus;\n"
            "a line with fewer than 8 or more than 64 fields, a flag other than -1 or 0,\n"
            "a \"//\" inside a field (the loader skips such a line) or a control\n"
            "character fails too, and so does a file without any record type. Lines end\n"
            "at CR LF, LF or CR. Prints one line per failing line of the file\n"
            "(\"Line N, DS X: ...\") and ends with exit status 1 when any fails; a\n"
            "summary goes to the error output.\n";
        TCliCommand check;
        check.Name = "check";
        check.Summary = "check the catalogue FILE (default: the shipped IBIS.CSV)";
        check.Synopsis = {"catalogue check [FILE]"};
        c.Subcommands = {check};
        c.Run = [](const TCliCall& call) {
            return RunCatalogue(call.Args, call.Out, call.Err, call.DefaultCatalogue);
        };
        return c;
    }();
    return command;
}

} // namespace vaskel
