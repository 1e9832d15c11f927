#pragma once
// The scratch copies a command makes of a protocol in the temporary folder
// (vaskel-COMMAND-pPID-N.PRO.CSV, with their .BAK): each is removed when the
// command is done with it, all of them when the process ends or is stopped
// by a signal (SIGINT, SIGTERM, SIGHUP), and those of processes that no
// longer run (killed outright) at the next start of vaskel-cli.

#include <string>

namespace vaskel {

// Holds one scratch file name (and its backup's) for removal; removes both
// when it goes.
class TScratchFile {
public:
    explicit TScratchFile(std::string fileName);
    ~TScratchFile();
    TScratchFile(const TScratchFile&) = delete;
    TScratchFile& operator=(const TScratchFile&) = delete;
    const std::string& Name() const { return FName; }

private:
    std::string FName;
    int FSlot = -1;
};

// A new name in the temporary folder for a command's copy of a protocol.
std::string ScratchProtocolName(const std::string& command);

// Once at the start of vaskel-cli: the signals remove this process's
// scratch files before it ends, and the scratch files of processes that no
// longer run are removed. Returns how many were removed.
int PrepareScratchFiles();
// The scratch files of processes that no longer run, in folder; the count.
int RemoveOrphanedScratchFiles(const std::string& folder);
// This process's id as scratch names carry it.
long ScratchProcessId();
bool ProcessRuns(long pid);

} // namespace vaskel
