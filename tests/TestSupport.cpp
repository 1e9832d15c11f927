#include "TestSupport.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>

#ifdef __linux__
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>
#endif
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VASKEL_TEST_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) && !defined(VASKEL_TEST_ASAN)
#define VASKEL_TEST_ASAN 1
#endif
#if defined(VASKEL_TEST_ASAN)
// the sanitizer runtime's own functions (gcc ships no header for the first)
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
extern "C" int __lsan_do_recoverable_leak_check();
#elif defined(__GLIBC__)
#include <malloc.h>
#endif

namespace vaskel::test {

const char* SourceDataDir() {
    return VASKEL_SOURCE_DATA_DIR;
}

std::optional<std::size_t> HeapBytesInUse() {
#if defined(VASKEL_TEST_ASAN)
    return __sanitizer_get_current_allocated_bytes();
#elif defined(__GLIBC__) && (__GLIBC__ > 2 || __GLIBC_MINOR__ >= 33)
    return mallinfo2().uordblks;
#else
    return std::nullopt;
#endif
}

bool LeakSanitizerFindsLeaks() {
#if defined(VASKEL_TEST_ASAN)
    // with detect_leaks=0 this finds nothing (the run asked for no leak check)
    return __lsan_do_recoverable_leak_check() != 0;
#else
    return false;
#endif
}

TempDir::TempDir() {
    std::random_device rd;
    for (;;) {
        FPath = std::filesystem::temp_directory_path() / ("vaskel-test-" + std::to_string(rd()));
        if (std::filesystem::create_directory(FPath)) break;
    }
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(FPath, ec);
}

std::string TempDir::operator/(const std::string& name) const {
    // the platform's own delimiters throughout, as the program writes paths
    return (FPath / name).make_preferred().string();
}

std::string TempDir::Write(const std::string& name, const std::string& bytes) const {
    const auto p = FPath / name;
    std::filesystem::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary);
    out << bytes;
    return std::filesystem::path(p).make_preferred().string();
}

std::string ReadFile(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::string Printable(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "<%02X>", c);
            out += buf;
        }
    }
    return out;
}

const char* FaultName(TWriteFault fault) {
    return fault == TWriteFault::FullDisk ? "full disk" : "read-only folder";
}

namespace {
constexpr const char* kFiller = ".filler";
}

FaultyFolder::FaultyFolder(TWriteFault fault) : FFault(fault) {
#ifdef __linux__
    if (::mount("tmpfs", FDir.Path().c_str(), "tmpfs", 0, "size=64k") == 0)
        FMounted = true;
    else
        FWhy = std::string("cannot mount a small file system for the test (") +
               std::strerror(errno) + "); run as root on Linux";
#else
    FWhy = "a small file system of its own is mounted on Linux only";
#endif
}

FaultyFolder::~FaultyFolder() {
#ifdef __linux__
    if (FMounted) ::umount2(FDir.Path().c_str(), MNT_DETACH);
#endif
}

void FaultyFolder::Break() {
#ifdef __linux__
    if (!FMounted) return;
    if (FFault == TWriteFault::ReadOnlyFolder) {
        ::mount("tmpfs", FDir.Path().c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=64k");
        return;
    }
    const std::string filler = FDir / kFiller;
    const int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return;
    const std::string block(4096, 'f');
    while (::write(fd, block.data(), block.size()) > 0) {
    }
    while (::write(fd, "f", 1) > 0) {
    }
    ::close(fd);
#endif
}

std::vector<std::string> FaultyFolder::Names() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(FDir.Path()))
        if (e.path().filename() != kFiller) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace vaskel::test
