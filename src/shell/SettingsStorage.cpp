#include "shell/SettingsStorage.h"

#include <algorithm>
#include <cctype>

namespace vaskel {

std::optional<bool> ISettingsStorage::ReadBool(const std::string& path) {
    const auto s = ReadString(path);
    if (!s) return std::nullopt;
    std::string u = *s;
    std::transform(u.begin(), u.end(), u.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    if (u == "TRUE" || u == "YES" || u == "Y") return true;
    if (u == "FALSE" || u == "NO" || u == "N") return false;
    return std::nullopt;
}

void ISettingsStorage::WriteBool(const std::string& path, bool value) {
    WriteString(path, value ? "TRUE" : "FALSE");
}

std::optional<int32_t> TMemorySettingsStorage::ReadInteger(const std::string& path) {
    const auto it = FValues.find(path);
    if (it == FValues.end()) return std::nullopt;
    if (const auto* v = std::get_if<int32_t>(&it->second)) return *v;
    return std::nullopt;
}

std::optional<std::string> TMemorySettingsStorage::ReadString(const std::string& path) {
    const auto it = FValues.find(path);
    if (it == FValues.end()) return std::nullopt;
    if (const auto* v = std::get_if<std::string>(&it->second)) return *v;
    return std::nullopt;
}

void TMemorySettingsStorage::WriteInteger(const std::string& path, int32_t value) {
    FValues[path] = value;
}

void TMemorySettingsStorage::WriteString(const std::string& path, const std::string& value) {
    FValues[path] = value;
}

} // namespace vaskel
