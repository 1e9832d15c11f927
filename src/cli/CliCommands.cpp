#include "cli/CliCommands.h"

#include "cli/CommandRegistry.h"
#include "cli/Json.h"
#include "cli/ScratchFile.h"
#include "recording/OpenedProtocol.h"
#include "recording/Recorder.h"
#include "recording/TableFile.h"
#include "shell/Version.h"
#include "telegram/Cp1252.h"
#include "telegram/Errors.h"
#include "telegram/TextConventions.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <ostream>
#include <system_error>

#ifndef VASKEL_SOURCE_DATA_DIR
#define VASKEL_SOURCE_DATA_DIR ""
#endif

namespace vaskel {

bool IsHelpArgument(const std::string& a) {
    return a == "-h" || a == "--help";
}

std::string EntryArgumentToTelegram(const std::string& arg) {
    return DisplayToTelegram(Utf8ToCp1252(arg));
}

// Loads a protocol in any accepted form. The older forms are loaded from a
// copy (work), so that their conversions never touch the file itself; a
// protocol in the current form is never written by loading and is read
// where it is. Returns kCliOk, or kCliUsage after the message.
int LoadProtocolCopy(const std::string& in, const std::string& work,
                     const TIBISTelegramParser& parser, TBusType bus, TTable& table,
                     TProtocolLoad& info, std::ostream& err) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(in, ec)) {
        err << "vaskel-cli: " << Cp1252ToUtf8(kProtocolLoadError) << "\n";
        return kCliUsage;
    }
    // What no form fits is refused from the first row, before anything is
    // copied or read further.
    auto refuse = [&](const std::string& what) {
        err << "vaskel-cli: "
            << Cp1252ToUtf8(what == kInvalidProtocolFormat || what == kDoubtfulProtocolForm
                                ? what
                                : std::string(kProtocolLoadError) + " (" + what + ")")
            << "\n";
        return kCliUsage;
    };
    bool current = false;
    try {
        current = ProtocolFormOfFile(in) == TProtocolForm::Current;
    } catch (const EVaskelError& e) {
        return refuse(e.what());
    }
    const std::string& source = current ? in : work;
    // the copy goes however the command ends
    std::optional<TScratchFile> scratch;
    if (!current) scratch.emplace(work);
    if (!current)
        std::filesystem::copy_file(in, work, std::filesystem::copy_options::overwrite_existing, ec);
    if (ec) {
        err << "vaskel-cli: cannot write " << work << "\n";
        return kCliUsage;
    }
    int rc = kCliOk;
    try {
        info = LoadProtocolFile(table, source, parser, bus);
        if (info.Incomplete) {
            // a protocol cut short is no protocol to go on with
            err << "vaskel-cli: " << in << ": the row in line " << info.UnreadFromLine
                << " has a quote that is never closed, so nothing from there on can be read ("
                << info.RowsRead << " rows before it could); nothing was written\n";
            rc = kCliUsage;
        }
    } catch (const EVaskelError& e) {
        rc = refuse(e.what());
    }
    if (!current) {
        std::filesystem::remove(work, ec);
        std::filesystem::remove(BackupFileName(work), ec);
    }
    return rc;
}

int LoadProtocolForCli(const std::string& command, const std::string& in,
                       const TIBISTelegramParser& parser, TBusType bus, TTable& table,
                       TProtocolLoad& info, std::ostream& err) {
    return LoadProtocolCopy(in, ScratchProtocolName(command), parser, bus, table, info, err);
}

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
           const std::string& defaultCatalogue, std::istream& in) {
    const TCommandRegistry& registry = CliCommandRegistry();
    if (args.empty()) {
        err << ProgramHelp(registry);
        return kCliUsage;
    }
    const std::string& name = args[0];
    if (IsHelpArgument(name)) {
        out << ProgramHelp(registry);
        return kCliOk;
    }
    if (name == "--version") {
        out << "vaskel-cli " << kVaskelVersion << "\n";
        return kCliOk;
    }
    const TCliCommand* command = registry.Find(name);
    if (!command) {
        err << "vaskel-cli: " << (name.rfind("-", 0) == 0 ? "unknown option " : "unknown command ")
            << name << "\n\n"
            << ProgramHelp(registry);
        return kCliUsage;
    }
    if (!command->Unavailable.empty()) {
        if (args.size() == 2 && IsHelpArgument(args[1])) return ShowHelp(*command, out);
        err << "vaskel-cli: " << name << " is not available in this build (" << command->Unavailable
            << ")\n";
        return kCliUsage;
    }
    return command->Run(TCliCall{args, out, err, in, defaultCatalogue});
}

} // namespace vaskel
