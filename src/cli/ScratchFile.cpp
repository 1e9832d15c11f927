#include "cli/ScratchFile.h"

#include "recording/TableFile.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <process.h>
#include <windows.h>
#else
#include <cerrno>
#include <csignal>
#include <unistd.h>
#endif

namespace vaskel {

namespace {

// Fixed slots a signal handler can walk without allocating: the file and
// its backup, NUL-terminated.
constexpr int kSlots = 16;
constexpr std::size_t kNameBytes = 1024;
struct TSlot {
    std::atomic<bool> Used{false};
    char Name[kNameBytes];
    char Backup[kNameBytes];
};
TSlot GSlots[kSlots];
std::atomic<long> GCounter{0};

void Copy(char* to, const std::string& from) {
    const std::size_t n = std::min(from.size(), kNameBytes - 1);
    std::memcpy(to, from.data(), n);
    to[n] = '\0';
}

void RemoveAll() {
    for (TSlot& s : GSlots)
        if (s.Used.load()) {
            std::remove(s.Name);
            std::remove(s.Backup);
        }
}

extern "C" void OnStopSignal(int sig) {
    RemoveAll();
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

} // namespace

long ScratchProcessId() {
#ifdef _WIN32
    return static_cast<long>(_getpid());
#else
    return static_cast<long>(::getpid());
#endif
}

bool ProcessRuns(long pid) {
#ifdef _WIN32
    HANDLE h = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
    if (!h) return ::GetLastError() == ERROR_ACCESS_DENIED;
    DWORD code = 0;
    const bool running = ::GetExitCodeProcess(h, &code) && code == STILL_ACTIVE;
    ::CloseHandle(h);
    return running;
#else
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
#endif
}

TScratchFile::TScratchFile(std::string fileName) : FName(std::move(fileName)) {
    if (FName.size() >= kNameBytes) return;
    const std::string backup = BackupFileName(FName);
    for (int k = 0; k < kSlots; ++k) {
        bool expected = false;
        TSlot& s = GSlots[k];
        // the names are in place before a handler may see the slot in use
        if (s.Used.load()) continue;
        Copy(s.Name, FName);
        Copy(s.Backup, backup);
        if (s.Used.compare_exchange_strong(expected, true)) {
            FSlot = k;
            break;
        }
    }
}

TScratchFile::~TScratchFile() {
    std::error_code ec;
    std::filesystem::remove(FName, ec);
    std::filesystem::remove(BackupFileName(FName), ec);
    if (FSlot >= 0) GSlots[FSlot].Used.store(false);
}

std::string ScratchProtocolName(const std::string& command) {
    std::error_code ec;
    const std::filesystem::path folder = std::filesystem::temp_directory_path(ec);
    return (folder / ("vaskel-" + command + "-p" + std::to_string(ScratchProcessId()) + "-" +
                      std::to_string(++GCounter) + ".PRO.CSV"))
        .string();
}

int RemoveOrphanedScratchFiles(const std::string& folder) {
    namespace fs = std::filesystem;
    std::error_code ec;
    int removed = 0;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const bool pro = name.size() > 8 && name.compare(name.size() - 8, 8, ".PRO.CSV") == 0;
        const bool bak = name.size() > 4 && name.compare(name.size() - 4, 4, ".BAK") == 0;
        if (name.rfind("vaskel-", 0) != 0 || !(pro || bak)) continue;
        // the process id: "-p" and digits up to the next '-'
        const std::size_t p = name.find("-p", 6);
        if (p == std::string::npos) continue;
        std::size_t e = p + 2;
        while (e < name.size() && name[e] >= '0' && name[e] <= '9') ++e;
        if (e == p + 2 || e >= name.size() || name[e] != '-' || e - p - 2 > 10) continue;
        const long pid = std::strtol(name.c_str() + p + 2, nullptr, 10);
        if (pid <= 0 || pid == ScratchProcessId() || ProcessRuns(pid)) continue;
        std::error_code rec;
        if (fs::remove(it->path(), rec)) ++removed;
    }
    return removed;
}

int PrepareScratchFiles() {
    std::atexit(RemoveAll);
    std::signal(SIGINT, OnStopSignal);
    std::signal(SIGTERM, OnStopSignal);
#ifndef _WIN32
    std::signal(SIGHUP, OnStopSignal);
#endif
    std::error_code ec;
    const std::filesystem::path folder = std::filesystem::temp_directory_path(ec);
    return ec ? 0 : RemoveOrphanedScratchFiles(folder.string());
}

} // namespace vaskel
