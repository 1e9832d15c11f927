#pragma once
// Helpers shared by the tests: temporary folders and files.

#include <filesystem>
#include <string>

namespace vaskel::test {

// A fresh folder below the system's temp folder, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return FPath; }
    // path + name, as a string; with a trailing delimiter when name ends in '/'
    std::string operator/(const std::string& name) const;
    // Writes bytes to a file below the folder and returns its full name.
    std::string Write(const std::string& name, const std::string& bytes) const;

private:
    std::filesystem::path FPath;
};

std::string ReadFile(const std::string& fileName);

// Bytes in a readable form for failure messages.
std::string Printable(const std::string& bytes);

} // namespace vaskel::test
