#pragma once
// Settings storage on QSettings. On Windows the values land exactly in the
// registry key HKEY_CURRENT_USER\<root>; elsewhere in the user's
// configuration folder under the same organisation and program name
// (~/.config/Korvane/<name>.conf on Linux).

#include "shell/SettingsStorage.h"

#include <memory>

class QSettings;

namespace vaskel {

class TQtSettingsStorage : public ISettingsStorage {
public:
    // root as TEnvironment::RegistryRootFor gives it ("Software\\Korvane\\Vaskel").
    explicit TQtSettingsStorage(const std::string& root);
    // A store in the given file (INI format), for tests and portable use.
    static std::unique_ptr<TQtSettingsStorage> ForFile(const std::string& fileName);
    ~TQtSettingsStorage() override;

    std::optional<int32_t> ReadInteger(const std::string& path) override;
    std::optional<std::string> ReadString(const std::string& path) override;
    void WriteInteger(const std::string& path, int32_t value) override;
    void WriteString(const std::string& path, const std::string& value) override;
    void Flush() override;

    // Where the values are kept (registry key or file name).
    std::string Location() const;

private:
    explicit TQtSettingsStorage(std::unique_ptr<QSettings> settings);
    std::unique_ptr<QSettings> FSettings;
};

} // namespace vaskel
