#include "shell/DataFolder.h"

#include <filesystem>

namespace vaskel {

const char* const kCatalogueFiles[2] = {"IBIS.CSV", "IBIS_Frame.CSV"};

namespace {

namespace fs = std::filesystem;

bool SameFolder(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    if (fs::exists(a, ec) && fs::exists(b, ec)) {
        const bool same = fs::equivalent(a, b, ec);
        if (!ec) return same;
    }
    return fs::weakly_canonical(a, ec) == fs::weakly_canonical(b, ec);
}

void CopyUnlessPresent(const fs::path& from, const fs::path& to, std::vector<std::string>& trace) {
    std::error_code ec;
    if (!fs::is_regular_file(from, ec) || fs::exists(to, ec)) return;
    fs::copy_file(from, to, fs::copy_options::skip_existing, ec);
    if (ec) trace.push_back("Copy " + from.string() + " -> " + to.string() + ": " + ec.message());
}

void DeleteFile(const fs::path& file, std::vector<std::string>& trace) {
    std::error_code ec;
    if (!fs::exists(file, ec)) return;
    fs::remove(file, ec);
    if (ec) trace.push_back("Delete " + file.string() + ": " + ec.message());
}

} // namespace

std::vector<std::string> PrepareDataFolder(const std::string& dataFolder,
                                           const std::string& programFolder,
                                           const std::string& olderFolder, bool createParents) {
    std::vector<std::string> trace;
    const fs::path data(dataFolder);
    const fs::path program(programFolder);
    const fs::path older(olderFolder);
    std::error_code ec;

    // 1.
    if (!fs::is_directory(data, ec)) {
        if (createParents)
            fs::create_directories(data, ec);
        else
            fs::create_directory(data, ec);
        if (ec) trace.push_back("Create " + data.string() + ": " + ec.message());
    }
    // 2. and 3.
    const bool programIsData = SameFolder(program, data);
    for (const char* f : kCatalogueFiles)
        CopyUnlessPresent(program / f, data / f, trace);
    if (!programIsData)
        for (const char* f : kCatalogueFiles)
            DeleteFile(program / f, trace);
    // 4. and 5.
    if (olderFolder.empty() || SameFolder(older, data)) return trace;
    for (const char* f : kCatalogueFiles)
        CopyUnlessPresent(older / f, data / f, trace);
    for (const char* f : kCatalogueFiles)
        DeleteFile(older / f, trace);
    if (fs::is_directory(older, ec)) {
        fs::remove_all(older, ec);
        if (ec) trace.push_back("Remove " + older.string() + ": " + ec.message());
    }
    return trace;
}

} // namespace vaskel
