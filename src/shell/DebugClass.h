#pragma once
// TDebugClass: the error report. Keeps the recent actions (the state
// machine's trace and the like) and appends report blocks to STATUS.LOG:
// the computer, the settings dump, the open windows, the action history and
// the message. Held by the settings object (TEnvironment::Debugger).

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

struct TStatementHistory {
    std::string Text;
    TDateTime Time;
};

// What the platform tells about the computer; an empty value is one the
// platform cannot give (written as empty, never guessed).
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
    static constexpr const char* kMarker = "-----> Neu-Initalisierung nach Fehlerbericht --------------";

    explicit TDebugClass(const TEnvironment& env);

    // Removes the oldest entries while more than 500 are held, then appends.
    void AddAction(const std::string& action, const std::string& description);
    const std::deque<TActionHistory>& Actions() const { return FActions; }
    const std::deque<TStatementHistory>& Statements() const { return FStatements; }

    // Appends one report block (Windows-1252, lines ending CR LF) to
    // STATUS.LOG in the program folder, or in the data folder when the
    // program folder cannot be written. Returns the file written to; empty
    // when nothing could be written. A failure ends the block where it
    // happened; the entries not yet written stay in the histories.
    std::string WriteErrorReport(const std::string& message);

    // Seams: the clock, the computer's facts, the captions of the open
    // document windows, the warning sound.
    std::function<TDateTime()> Now;
    std::function<TComputerFacts()> ComputerFacts;
    std::function<std::vector<std::string>()> OpenWindows;
    std::function<void()> Beep;

private:
    bool WriteBlockTo(const std::string& file, const std::string& message);
    const TEnvironment& FEnv;
    std::deque<TActionHistory> FActions;
    std::deque<TStatementHistory> FStatements;
};

// The local time now.
TDateTime LocalNow();

} // namespace vaskel
