#include "shell/SystemPlatform.h"

#include <filesystem>

namespace vaskel {

char PathDelimiter() {
    return static_cast<char>(std::filesystem::path::preferred_separator);
}

namespace {
bool IsDelimiter(char c) {
    return c == PathDelimiter() || c == '/';
}
} // namespace

std::string IncludeTrailingPathDelimiter(std::string dir) {
    if (dir.empty() || !IsDelimiter(dir.back())) dir += PathDelimiter();
    return dir;
}

bool DirectoryExists(const std::string& dir) {
    if (dir.empty()) return false;
    std::error_code ec;
    return std::filesystem::is_directory(dir, ec);
}

bool FileExists(const std::string& file) {
    if (file.empty()) return false;
    std::error_code ec;
    return std::filesystem::is_regular_file(file, ec);
}

std::string ExtractFilePath(const std::string& file) {
    for (std::size_t k = file.size(); k > 0; --k)
        if (IsDelimiter(file[k - 1])) return file.substr(0, k);
    return {};
}

std::string ExtractFileName(const std::string& file) {
    return file.substr(ExtractFilePath(file).size());
}

} // namespace vaskel
