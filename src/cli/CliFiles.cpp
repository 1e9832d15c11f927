#include "cli/CliFiles.h"

#include "telegram/Catalogue.h"
#include "telegram/Cp1252.h"
#include "telegram/Errors.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <system_error>

namespace vaskel {

// What keeps a file named on the command line from being read, or "" when
// nothing does. what names its role in the message (stream, protocol ...).
std::string InputProblem(const std::string& what, const std::string& name) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_type type = fs::status(name, ec).type();
    if (type == fs::file_type::not_found) return what + " " + name + " does not exist";
    if (type == fs::file_type::directory) return what + " " + name + " is a folder, not a file";
    std::ifstream probe(name, std::ios::binary);
    if (!probe) {
        const int e = errno;
        return "cannot read " + what + " " + name + ": " + std::generic_category().message(e);
    }
    return "";
}

// What keeps a file from being written at that name, or "".
std::string OutputProblem(const std::string& name) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::is_directory(name, ec)) return "cannot write " + name + ": it is a folder";
    const fs::path folder = fs::path(name).parent_path();
    if (!folder.empty() && !fs::is_directory(folder, ec))
        return "cannot write " + name + ": the folder " + folder.string() +
               (fs::exists(folder, ec) ? " is a file" : " does not exist");
    return "";
}

// Checks the files to read (role, name; "-" is the standard input) and to
// write before any work; says what is wrong with each. False: one is.
bool FilesUsable(const std::vector<std::pair<std::string, std::string>>& inputs,
                 const std::vector<std::string>& outputs, std::ostream& err) {
    bool ok = true;
    for (const auto& [what, name] : inputs)
        if (name != "-" && !name.empty())
            if (const std::string p = InputProblem(what, name); !p.empty()) {
                err << "vaskel-cli: " << p << "\n";
                ok = false;
            }
    for (const std::string& name : outputs)
        if (const std::string p = OutputProblem(name); !p.empty()) {
            err << "vaskel-cli: " << p << "\n";
            ok = false;
        }
    // writing a result over what it is read from would lose the input
    for (const std::string& out : outputs)
        for (const auto& [what, in] : inputs) {
            std::error_code ec;
            if (out == "-" || in == "-" || out.empty() || in.empty()) continue;
            if (std::filesystem::equivalent(in, out, ec) && !ec) {
                err << "vaskel-cli: " << out << " is the " << what
                    << " that is read: write the result to another file\n";
                ok = false;
            }
        }
    return ok;
}

// The catalogue for the commands that classify; nullptr after the message.
// A catalogue without any record type would classify nothing: refused.
std::unique_ptr<TIBISTelegramParser> OpenCatalogue(const std::string& file, std::ostream& err) {
    const std::string name = file.empty() ? "IBIS.CSV" : file;
    std::error_code ec;
    if (std::filesystem::is_directory(name, ec)) {
        err << "vaskel-cli: catalogue " << name << " is a folder, not a file\n";
        return nullptr;
    }
    std::unique_ptr<TIBISTelegramParser> parser;
    try {
        parser = std::make_unique<TIBISTelegramParser>(name);
    } catch (const ENoRecordTypes&) {
        err << "vaskel-cli: catalogue " << name << " holds no record types\n";
        return nullptr;
    } catch (const EVaskelError& e) {
        err << "vaskel-cli: " << Cp1252ToUtf8(e.what()) << "\n";
        return nullptr;
    }
    if (parser->ProfileArray()->empty()) {
        err << "vaskel-cli: catalogue " << name << " holds no record types\n";
        return nullptr;
    }
    return parser;
}

TFixedSystemPlatform ToolPlatform() {
    TFixedSystemPlatform p;
    std::error_code ec;
    p.Program = (std::filesystem::current_path(ec) / "vaskel-cli").string();
    return p;
}

} // namespace vaskel
