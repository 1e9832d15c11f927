#pragma once
// The storage seam of the settings: a per-user key/value store with integer
// and string values by path. Paths use a backslash between key and value
// ("Directories\\Antwort"); a path without one names a value of the root key.
// Strings are the program's 8-bit text (Windows-1252).

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <variant>

namespace vaskel {

class ISettingsStorage {
public:
    virtual ~ISettingsStorage() = default;
    // nullopt when the value is missing or cannot be read as that type.
    virtual std::optional<int32_t> ReadInteger(const std::string& path) = 0;
    virtual std::optional<std::string> ReadString(const std::string& path) = 0;
    virtual void WriteInteger(const std::string& path, int32_t value) = 0;
    virtual void WriteString(const std::string& path, const std::string& value) = 0;
    // Makes written values durable (no-op where every write already is);
    // throws EFileError when they cannot be written.
    virtual void Flush() {}

    // Booleans are the strings "TRUE" and "FALSE"; "TRUE", "YES", "Y" and
    // "FALSE", "NO", "N" are read in any letter case. Anything else: nullopt.
    std::optional<bool> ReadBool(const std::string& path);
    void WriteBool(const std::string& path, bool value);
};

// An in-memory store: tests, and runs that must not touch the user's settings.
class TMemorySettingsStorage : public ISettingsStorage {
public:
    using Value = std::variant<int32_t, std::string>;

    std::optional<int32_t> ReadInteger(const std::string& path) override;
    std::optional<std::string> ReadString(const std::string& path) override;
    void WriteInteger(const std::string& path, int32_t value) override;
    void WriteString(const std::string& path, const std::string& value) override;

    const std::map<std::string, Value>& Values() const { return FValues; }
    void Clear() { FValues.clear(); }

private:
    std::map<std::string, Value> FValues;
};

} // namespace vaskel
