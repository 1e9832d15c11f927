#pragma once
// The seam to the operating system's places: the running program file and
// the shared folders the data folder lives in.

#include <optional>
#include <string>

namespace vaskel {

class ISystemPlatform {
public:
    virtual ~ISystemPlatform() = default;
    // Full path of the running program file.
    virtual std::string ProgramFile() const = 0;
    // The documents folder shared by all users; nullopt when there is none.
    virtual std::optional<std::string> CommonDocumentsFolder() const = 0;
    // The application-data folder shared by all users; nullopt when none.
    virtual std::optional<std::string> CommonAppDataFolder() const = 0;
    // The user's own data folder (XDG_DATA_HOME, else ~/.local/share; the
    // local application data on Windows), even when it does not exist yet;
    // nullopt when unknown.
    virtual std::optional<std::string> UserDataFolder() const { return std::nullopt; }
    // Bits per pixel of the screen, when known.
    virtual std::optional<int> ScreenColorDepth() const { return std::nullopt; }
};

// A fixed platform for tests and tools.
class TFixedSystemPlatform : public ISystemPlatform {
public:
    std::string Program;
    std::optional<std::string> Documents;
    std::optional<std::string> AppData;
    std::optional<std::string> UserData;
    std::optional<int> ColorDepth;

    std::string ProgramFile() const override { return Program; }
    std::optional<std::string> CommonDocumentsFolder() const override { return Documents; }
    std::optional<std::string> CommonAppDataFolder() const override { return AppData; }
    std::optional<std::string> UserDataFolder() const override { return UserData; }
    std::optional<int> ScreenColorDepth() const override { return ColorDepth; }
};

// The platform's path delimiter.
char PathDelimiter();
std::string IncludeTrailingPathDelimiter(std::string dir);
bool DirectoryExists(const std::string& dir);
bool FileExists(const std::string& file);
// The directory part of a file name, with delimiter ("" when none).
std::string ExtractFilePath(const std::string& file);
std::string ExtractFileName(const std::string& file);

} // namespace vaskel
