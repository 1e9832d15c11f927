#pragma once
// TDebugClass: the error report. Keeps the recent actions (the state
// machine's trace and the like) and appends report blocks to STATUS.LOG in
// the data folder: the computer, the settings dump, the open windows, the
// action history and the message, labelled in the program's language. Held
// by the settings object (TEnvironment::Debugger).

#include "telegram/DateTime.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace vaskel {

class TEnvironment;

struct TActionHistory {
    std::string Action;
    std::string Description;
    TDateTime Time;
};

// Entries that came again and again in a row: a block of one to
// kMaxBlock entries (the first time each came) and how often the whole block
// came, the last time at LastTime. A single entry has Repeats 1.
struct TActionRun {
    std::vector<TActionHistory> Block;
    int Repeats = 1;
    TDateTime LastTime;
};

// What the platform tells about the computer; an empty value is one the
// platform cannot give (its line is left out of the report, never guessed).
struct TComputerFacts {
    std::string OperatingSystem, ServicePack, Cpu, CpuMHz, CpuCount;
    std::string DomainName, ComputerName, ComputerComment, IpAddress, User, Company;
    std::string PageFileTotal, PageFileFree, PhysicalTotal, PhysicalFree, VirtualTotal,
        VirtualFree, SwapFileSize;
    std::string ScreenWidth, ScreenHeight, ColorDepth, DesktopWidth, DesktopHeight;
    std::string ColorScheme, AdoVersion, BdeVersion, BrowserVersion;
};

// "dd.mm.yyyy hh:nn:ss,zzz"; the date alone at exactly midnight.
std::string ReportTimeText(const TDateTime& t);

class TDebugClass {
public:
    static constexpr std::size_t kMaxActions = 500;
    // the longest block of entries that is folded when it repeats (a status
    // poll adds three: the timer, the link state and the device's answer)
    static constexpr std::size_t kMaxBlock = 4;
    static constexpr const char* kMarker = "-----> Neu-Initalisierung nach Fehlerbericht --------------";
    static constexpr const char* kReportFile = "STATUS.LOG";

    explicit TDebugClass(const TEnvironment& env);

    // Removes the oldest runs while more than 500 entries are held, then
    // appends; an entry, or a block of up to kMaxBlock entries, that repeats
    // what came just before only counts the repetition.
    void AddAction(const std::string& action, const std::string& description);
    const std::deque<TActionRun>& Runs() const { return FRuns; }
    // The entries held (each block of a run once), oldest first.
    std::deque<TActionHistory> Actions() const;

    // Appends one report block (Windows-1252, lines ending CR LF) to
    // STATUS.LOG in the data folder. Returns the file written to; empty when
    // nothing could be written. A failure ends the block where it happened;
    // the entries not yet written stay in the history.
    std::string WriteErrorReport(const std::string& message);
    // The file the reports go to.
    std::string ReportFile() const;

    // Seams: the clock, the computer's facts, the captions of the open
    // document windows, the warning sound.
    std::function<TDateTime()> Now;
    std::function<TComputerFacts()> ComputerFacts;
    std::function<std::vector<std::string>()> OpenWindows;
    std::function<void()> Beep;

private:
    bool WriteBlockTo(const std::string& file, const std::string& message);
    // The run's line(s) in the report.
    std::vector<std::string> RunLines(const TActionRun& run) const;
    // German or English, as the program speaks.
    const char* Text(const char* german, const char* english) const;
    const TEnvironment& FEnv;
    std::deque<TActionRun> FRuns;
    std::size_t FHeld = 0; // entries in FRuns' blocks
};

// The local time now.
TDateTime LocalNow();

} // namespace vaskel
