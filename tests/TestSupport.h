#pragma once
// Helpers shared by the tests: temporary folders and files.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

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

// A folder on a small file system of its own (a 64 KiB tmpfs mounted for the
// test), for writes that must fail: Break() fills it to the last byte or
// makes it read-only. Mounting needs root (and Linux); without it Usable()
// is false and Why() says so, for GTEST_SKIP.
enum class TWriteFault { FullDisk, ReadOnlyFolder };
const char* FaultName(TWriteFault fault);

class FaultyFolder {
public:
    explicit FaultyFolder(TWriteFault fault);
    ~FaultyFolder();
    FaultyFolder(const FaultyFolder&) = delete;
    FaultyFolder& operator=(const FaultyFolder&) = delete;

    bool Usable() const { return FMounted; }
    const std::string& Why() const { return FWhy; }
    const std::filesystem::path& Path() const { return FDir.Path(); }
    std::string operator/(const std::string& name) const { return FDir / name; }
    std::string Write(const std::string& name, const std::string& bytes) const {
        return FDir.Write(name, bytes);
    }
    void Break();
    // The names in the folder (the filler left out): a failed write leaves
    // no temporary file behind.
    std::vector<std::string> Names() const;

private:
    TWriteFault FFault;
    TempDir FDir;
    bool FMounted = false;
    std::string FWhy;
};

// Bytes in a readable form for failure messages.
std::string Printable(const std::string& bytes);

// The bytes the process's heap holds in use right now: the sanitizer's
// allocator count in a sanitized build, glibc's otherwise; none where
// neither is there. For checks that something done again and again holds
// no more memory than done once.
std::optional<std::size_t> HeapBytesInUse();

// LeakSanitizer's check of the whole process, now: true when it found heap
// blocks nothing points to any more (it prints them). Always false in a
// build without it.
bool LeakSanitizerFindsLeaks();

} // namespace vaskel::test
