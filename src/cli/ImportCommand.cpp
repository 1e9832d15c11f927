#include "cli/ImportCommand.h"

#include "cli/ClassifyOptions.h"
#include "cli/CliCommands.h"
#include "cli/CliFiles.h"
#include "import/TableReader.h"
#include "import/V1Import.h"
#include "lists/ListFiles.h"
#include "recording/OpenedProtocol.h"
#include "recording/Recorder.h"
#include "recording/TableFile.h"
#include "telegram/Cp1252.h"
#include "telegram/Errors.h"

#include <filesystem>
#include <optional>
#include <ostream>

namespace vaskel {

namespace {

bool EndsWithNoCase(const std::string& s, const std::string& end) {
    if (s.size() < end.size()) return false;
    for (std::size_t i = 0; i < end.size(); ++i) {
        char c = s[s.size() - end.size() + i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c != end[i]) return false;
    }
    return true;
}

// CR LF between the lines of a program text: one line each on the terminal.
std::string Lines(const std::string& cp1252) {
    std::string t = Cp1252ToUtf8(cp1252);
    std::string out;
    for (char c : t)
        if (c != '\r') out += c;
    return out;
}

} // namespace

int RunImport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
              const std::string& defaultCatalogue) {
    TClassifyOptions o;
    o.Catalogue = defaultCatalogue;
    const std::string problem = ParseClassifyOptions(args, {}, {}, o);
    if (problem == "help") return ShowHelp(ImportCommand(), out);
    auto usage = [&](const std::string& what) { return RefuseUsage(ImportCommand(), err, what); };
    if (!problem.empty()) return usage(problem);
    if (o.Operands.size() != 2) return usage("FILE.DB and OUT are needed");
    const std::string& in = o.Operands[0];
    const std::string& outFile = o.Operands[1];
    std::optional<TV1Kind> kind;
    if (EndsWithNoCase(outFile, ".ANT.CSV")) kind = TV1Kind::ResponseList;
    if (EndsWithNoCase(outFile, ".AUF.CSV")) kind = TV1Kind::CallList;
    if (EndsWithNoCase(outFile, ".PRO.CSV")) kind = TV1Kind::Protocol;
    if (!kind) return usage("OUT must end in .ANT.CSV, .AUF.CSV or .PRO.CSV: " + outFile);
    if (!FilesUsable({{"table", in}}, {outFile}, err)) return kCliUsage;

    const std::filesystem::path path(in);
    std::unique_ptr<TIBISTelegramParser> parser;
    if (*kind == TV1Kind::Protocol) {
        parser = OpenCatalogue(o.Catalogue, err);
        if (!parser) return kCliUsage;
    }
    TTable table = *kind == TV1Kind::ResponseList ? MakeResponseListTable()
                   : *kind == TV1Kind::CallList   ? MakeCallListTable()
                                                  : MakeProtocolTable();
    try {
        auto source = OpenTable(path.parent_path().string(), path.filename().string());
        switch (*kind) {
        case TV1Kind::ResponseList:
            ImportResponseList(*source, table);
            break;
        case TV1Kind::CallList:
            if (ImportCallList(*source, table) == TV1CallSource::Protocol)
                RemoveUntouchedRows(table);
            break;
        case TV1Kind::Protocol:
            ImportProtocol(*source, table, *parser, o.Bus);
            Reanalyse(table, *parser, o.Bus);
            break;
        }
    } catch (const ETableError& e) {
        err << "vaskel-cli: " << in << ": " << Lines(e.what()) << "\n";
        err << Lines(V1ImportErrorText(*kind)) << "\n";
        return kCliUsage;
    }
    try {
        if (*kind == TV1Kind::Protocol)
            SaveToCSV(table, outFile, '"', 0, std::nullopt, ';');
        else
            SaveListFile(table, outFile,
                         *kind == TV1Kind::CallList ? TListKind::Aufruf : TListKind::Antwort);
    } catch (const EVaskelError& e) {
        err << "vaskel-cli: cannot write " << outFile << ": " << Lines(e.what()) << "\n";
        return kCliUsage;
    }
    return kCliOk;
}

const TCliCommand& ImportCommand() {
    static const TCliCommand command = [] {
        TCliCommand c;
        c.Name = "import";
        c.Summary = "convert a table of Vaskel 1.x (.DB) into a list or protocol file";
        c.Synopsis = {"import [--catalogue FILE] [--train-bus] FILE.DB OUT"};
        c.Description = "Converts a table of Vaskel 1.x (a Paradox \".DB\" file) into the current\n"
                        "file format. The end of OUT decides what the table is read as:\n"
                        "  .ANT.CSV  a response list\n"
                        "  .AUF.CSV  a call list (from a call-list table, or the master telegrams\n"
                        "            of a protocol table)\n"
                        "  .PRO.CSV  a protocol (a plain table is classified, an analysed one\n"
                        "            taken as stored; both are analysed again)\n"
                        "FILE.DB is only read. A table that does not fit ends with exit status 2\n"
                        "and the message the desktop program shows. A whole archive converts with\n"
                        "a shell loop:\n"
                        "  for f in *.DB; do vaskel-cli import \"$f\" \"${f%.DB}.PRO.CSV\"; done\n";
        c.Options = {
            kCatalogueOption,
            {"--train-bus", "", "classify as on the train bus (default: vehicle bus)"},
        };
        c.Run = [](const TCliCall& call) {
            return RunImport(call.Args, call.Out, call.Err, call.DefaultCatalogue);
        };
        return c;
    }();
    return command;
}

} // namespace vaskel
