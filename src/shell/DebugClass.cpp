#include "shell/DebugClass.h"

#include "shell/Environment.h"
#include "shell/Timers.h"
#include "telegram/Errors.h"
#include "telegram/SafeFile.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace vaskel {

namespace {

constexpr const char* kEol = "\r\n";
// the state machine's entry of every timer tick: a block that holds it is a
// status poll
constexpr std::string_view kPollEntry = "WBCTS Zustand:";

bool Same(const TActionHistory& a, const TActionHistory& b) {
    return a.Action == b.Action && a.Description == b.Description;
}

bool Single(const TActionRun& r) {
    return r.Repeats == 1 && r.Block.size() == 1;
}

} // namespace

TDateTime LocalNow() {
    return LocalDateTime(std::chrono::system_clock::now());
}

std::string ReportTimeText(const TDateTime& t) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", t.Day, t.Month, t.Year);
    std::string s = buf;
    if (t.MsOfDay() == 0) return s;
    std::snprintf(buf, sizeof buf, " %02d:%02d:%02d,%03d", t.Hour, t.Minute, t.Second,
                  t.Millisecond);
    return s + buf;
}

TDebugClass::TDebugClass(const TEnvironment& env) : Now(LocalNow), FEnv(env) {}

void TDebugClass::AddAction(const std::string& action, const std::string& description) {
    while (FHeld > kMaxActions && !FRuns.empty()) {
        FHeld -= FRuns.front().Block.size();
        FRuns.pop_front();
    }
    const TActionHistory entry{action, description, Now ? Now() : LocalNow()};
    FRuns.push_back({{entry}, 1, entry.Time});
    ++FHeld;
    // the newest p single entries, against what came before them
    const std::size_t n = FRuns.size();
    for (std::size_t p = 1; p <= kMaxBlock && p < n; ++p) {
        if (!Single(FRuns[n - p])) break;
        auto newest = [&](std::size_t k) -> const TActionHistory& {
            return FRuns[n - p + k].Block.front();
        };
        // a run of the same block: one more repetition
        TActionRun& before = FRuns[n - p - 1];
        bool same = before.Block.size() == p;
        for (std::size_t k = 0; same && k < p; ++k)
            same = Same(before.Block[k], newest(k));
        if (same) {
            ++before.Repeats;
            before.LastTime = entry.Time;
            FRuns.resize(n - p);
            FHeld -= p;
            return;
        }
        // the same p single entries twice: a run of two
        if (p == 1 || n < 2 * p) continue;
        same = true;
        for (std::size_t k = 0; same && k < p; ++k) {
            const TActionRun& r = FRuns[n - 2 * p + k];
            same = Single(r) && Same(r.Block.front(), newest(k));
        }
        if (same) {
            TActionRun run;
            for (std::size_t k = 0; k < p; ++k)
                run.Block.push_back(FRuns[n - 2 * p + k].Block.front());
            run.Repeats = 2;
            run.LastTime = entry.Time;
            FRuns.resize(n - 2 * p);
            FRuns.push_back(std::move(run));
            FHeld -= p;
            return;
        }
    }
}

std::deque<TActionHistory> TDebugClass::Actions() const {
    std::deque<TActionHistory> out;
    for (const TActionRun& r : FRuns)
        out.insert(out.end(), r.Block.begin(), r.Block.end());
    return out;
}

const char* TDebugClass::Text(const char* german, const char* english) const {
    return FEnv.Language() == 2 ? english : german;
}

std::string TDebugClass::ReportFile() const {
    return FEnv.DataDirectory() + kReportFile;
}

std::string TDebugClass::WriteErrorReport(const std::string& message) {
    const std::string file = ReportFile();
    std::error_code ec;
    std::filesystem::create_directories(FEnv.DataDirectory(), ec);
    return WriteBlockTo(file, message) ? file : std::string();
}

std::vector<std::string> TDebugClass::RunLines(const TActionRun& run) const {
    auto entry = [](const TActionHistory& a) {
        return "\"" + a.Action + "\" : " + a.Description;
    };
    const std::string first = "[" + ReportTimeText(run.Block.front().Time) + "] ";
    if (run.Repeats == 1) {
        std::vector<std::string> lines;
        for (const TActionHistory& a : run.Block)
            lines.push_back("[" + ReportTimeText(a.Time) + "] " + entry(a));
        return lines;
    }
    const std::string count = "(\xD7" + std::to_string(run.Repeats) + ", " +
                              Text("bis", "until") + " " + ReportTimeText(run.LastTime) + ")";
    if (run.Block.size() == 1) {
        std::string line = first + entry(run.Block.front());
        if (!run.Block.front().Description.empty()) line += ' ';
        return {line + count};
    }
    bool poll = false;
    for (const TActionHistory& a : run.Block)
        poll |= a.Action.rfind(kPollEntry, 0) == 0;
    std::string line = first + (poll ? Text("Statusabfrage", "Status poll")
                                     : Text("Wiederholung", "Repeated"));
    line += " " + count + ":";
    for (std::size_t k = 0; k < run.Block.size(); ++k) {
        const TActionHistory& a = run.Block[k];
        line += (k ? " | \"" : " \"") + a.Action + "\"";
        if (!a.Description.empty()) line += " : " + a.Description;
    }
    return {line};
}

bool TDebugClass::WriteBlockTo(const std::string& file, const std::string& message) {
    // the block is written whole or not at all
    std::string out;
    auto line = [&](const std::string& s) {
        out += s;
        out += kEol;
        return true;
    };
    const TComputerFacts f = ComputerFacts ? ComputerFacts() : TComputerFacts{};
    const bool english = FEnv.Language() == 2;
    auto unit = [](const std::string& v, const char* u) { return v.empty() ? v : v + u; };
    auto bytes = [&](const std::string& v) { return unit(v, english ? " bytes" : " Byte"); };
    auto size = [](const std::string& w, const std::string& h) {
        return w.empty() || h.empty() ? std::string() : w + "x" + h;
    };
    struct TLine {
        const char* German;
        const char* English;
        std::string Value;
    };
    const TLine computer[] = {
        {"Programmverzeichnis: ", "Program folder: ", FEnv.ProgramDirectory()},
        {"Betriebssystem: ", "Operating system: ", f.OperatingSystem},
        {"Servicepack: ", "Service pack: ", f.ServicePack},
        {"CPU: ", "CPU: ", f.Cpu},
        {"Nominalfrequenz: ", "Nominal frequency: ", unit(f.CpuMHz, " MHz")},
        {"CPU Anzahl: ", "Number of CPUs: ", f.CpuCount},
        {"PC-Name (Domainname): ", "Computer name (domain): ", f.DomainName},
        {"PC-Name (Lokaler Name): ", "Computer name (local): ", f.ComputerName},
        {"PC-Name (Kommentar): ", "Computer name (comment): ", f.ComputerComment},
        {"IP-Adresse: ", "IP address: ", f.IpAddress},
        {"Benutzer: ", "User: ", f.User},
        {"Firma: ", "Company: ", f.Company},
        {"Gesamter Pagefile Speicher: ", "Total page file memory: ", bytes(f.PageFileTotal)},
        {"Freier Pagefile Speicher: ", "Free page file memory: ", bytes(f.PageFileFree)},
        {"Gesamter physikalischer Speicher: ", "Total physical memory: ", bytes(f.PhysicalTotal)},
        {"Freier physikalischer Speicher: ", "Free physical memory: ", bytes(f.PhysicalFree)},
        {"Gesamter virtueller Speicher: ", "Total virtual memory: ", bytes(f.VirtualTotal)},
        {"Freier virtueller Speicher: ", "Free virtual memory: ", bytes(f.VirtualFree)},
        {"Gr\xF6\xDF"
         "e der Auslagerungsdatei: ",
         "Swap file size: ", bytes(f.SwapFileSize)},
        {"Bildschirmgr\xF6\xDF"
         "e: ",
         "Screen size: ", size(f.ScreenWidth, f.ScreenHeight)},
        {"Farbtiefe: ", "Colour depth: ", unit(f.ColorDepth, english ? " bits" : " Bit")},
        {"Desktopgr\xF6\xDF"
         "e (Clientbereich): ",
         "Desktop size (client area): ", size(f.DesktopWidth, f.DesktopHeight)},
        {"Aktives Farbschema: ", "Active colour scheme: ", f.ColorScheme},
        {"ADO-Version: ", "ADO version: ", f.AdoVersion},
        {"BDE-Version: ", "BDE version: ", f.BdeVersion},
        {"Internet Explorer-Version: ", "Internet Explorer version: ", f.BrowserVersion},
    };
    if (!line(Text("======== BEGINN FEHLEREINTRAG ======================",
                   "======== BEGIN OF ERROR REPORT ====================")))
        return false;
    if (!line(Text("-------- PC-Umgebung -------------------------------",
                   "-------- Computer ----------------------------------")))
        return false;
    // what this platform cannot tell is left out
    for (const TLine& l : computer)
        if (!l.Value.empty() && !line(Text(l.German, l.English) + l.Value)) return false;
    out += FEnv.EnvironmentDump();
    if (!line(Text("-------- Offene Fenster -------------------------------",
                   "-------- Open windows ---------------------------------")))
        return false;
    if (OpenWindows)
        for (const std::string& caption : OpenWindows())
            if (!line(caption)) return false;
    if (!line(Text("-------- Aktionshistorie -------------------------------",
                   "-------- Action history --------------------------------")))
        return false;
    for (const TActionRun& run : FRuns)
        for (const std::string& l : RunLines(run)) line(l);
    if (!line(Text("-------- Fehlermeldung -------------------------------",
                   "-------- Error message -------------------------------")))
        return false;
    if (!line("[" + ReportTimeText(Now ? Now() : LocalNow()) + "] " + message)) return false;
    if (!line(Text("======== ENDE FEHLEREINTRAG ==========================",
                   "======== END OF ERROR REPORT ========================")))
        return false;
    try {
        AppendToFileSafely(file, out);
    } catch (const EFileError&) {
        // the actions stay held for the next report
        return false;
    }
    FRuns.clear();
    FHeld = 0;
    AddAction(kMarker, "");
    if (Beep) Beep();
    return true;
}

} // namespace vaskel
