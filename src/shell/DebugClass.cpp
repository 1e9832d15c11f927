#include "shell/DebugClass.h"

#include "shell/Environment.h"
#include "shell/Timers.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace vaskel {

namespace {

constexpr const char* kEol = "\r\n";

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
    while (FActions.size() > kMaxActions)
        FActions.pop_front();
    FActions.push_back({action, description, Now ? Now() : LocalNow()});
}

std::string TDebugClass::WriteErrorReport(const std::string& message) {
    std::string file = FEnv.ProgramDirectory() + "STATUS.LOG";
    if (!std::ofstream(file, std::ios::binary | std::ios::app)) {
        // a program folder that cannot be written: the data folder instead
        file = FEnv.DataDirectory() + "STATUS.LOG";
    }
    return WriteBlockTo(file, message) ? file : std::string();
}

bool TDebugClass::WriteBlockTo(const std::string& file, const std::string& message) {
    std::ofstream out(file, std::ios::binary | std::ios::app);
    if (!out) return false;
    auto line = [&](const std::string& s) {
        out << s << kEol;
        return static_cast<bool>(out);
    };
    const TComputerFacts f = ComputerFacts ? ComputerFacts() : TComputerFacts{};
    auto unit = [](const std::string& v, const char* u) { return v.empty() ? v : v + u; };
    auto size = [](const std::string& w, const std::string& h) {
        return w.empty() || h.empty() ? std::string() : w + "x" + h;
    };
    const std::vector<std::pair<const char*, std::string>> computer = {
        {"Morlin Verzeichnis: ", FEnv.ProgramDirectory()},
        {"Betriebssystem: ", f.OperatingSystem},
        {"Servicepack: ", f.ServicePack},
        {"CPU: ", f.Cpu},
        {"Nominalfrequenz: ", unit(f.CpuMHz, " MHz")},
        {"CPU Anzahl: ", f.CpuCount},
        {"PC-Name (Domainname): ", f.DomainName},
        {"PC-Name (Lokaler Name): ", f.ComputerName},
        {"PC-Name (Kommentar): ", f.ComputerComment},
        {"IP-Adresse: ", f.IpAddress},
        {"Benutzer: ", f.User},
        {"Firma: ", f.Company},
        {"Gesamter Pagefile Speicher: ", unit(f.PageFileTotal, " Byte")},
        {"Freier Pagefile Speicher: ", unit(f.PageFileFree, " Byte")},
        {"Gesamter physikalischer Speicher: ", unit(f.PhysicalTotal, " Byte")},
        {"Freier physikalischer Speicher: ", unit(f.PhysicalFree, " Byte")},
        {"Gesamter virtueller Speicher: ", unit(f.VirtualTotal, " Byte")},
        {"Freier virtueller Speicher: ", unit(f.VirtualFree, " Byte")},
        {"Gr\xF6\xDF"
         "e der Auslagerungsdatei: ",
         unit(f.SwapFileSize, " Byte")},
        {"Bildschirmgr\xF6\xDF"
         "e: ",
         size(f.ScreenWidth, f.ScreenHeight)},
        {"Farbtiefe: ", unit(f.ColorDepth, " Bit")},
        {"Desktopgr\xF6\xDF"
         "e (Clientbereich): ",
         size(f.DesktopWidth, f.DesktopHeight)},
        {"Aktives Farbschema: ", f.ColorScheme},
        {"ADO-Version: ", f.AdoVersion},
        {"BDE-Version: ", f.BdeVersion},
        {"Internet Explorer-Version: ", f.BrowserVersion},
    };
    if (!line("======== BEGINN FEHLEREINTRAG ======================")) return false;
    if (!line("-------- PC-Umgebung -------------------------------")) return false;
    for (const auto& [label, value] : computer)
        if (!line(label + value)) return false;
    out.close();
    try {
        FEnv.WriteEnvironmentDump(file);
    } catch (...) {
        return false;
    }
    out.open(file, std::ios::binary | std::ios::app);
    if (!out) return false;
    if (!line("-------- Offene Fenster -------------------------------")) return false;
    if (OpenWindows)
        for (const std::string& caption : OpenWindows())
            if (!line(caption)) return false;
    if (!line("-------- Aktionshistorie -------------------------------")) return false;
    while (!FActions.empty()) {
        const TActionHistory& a = FActions.front();
        if (!line("[" + ReportTimeText(a.Time) + "] \"" + a.Action + "\" : " + a.Description))
            return false;
        FActions.pop_front();
    }
    AddAction(kMarker, "");
    if (!line("-------- SQL-Historie -------------------------------")) return false;
    while (!FStatements.empty()) {
        const TStatementHistory& s = FStatements.front();
        if (!line("[" + ReportTimeText(s.Time) + "] " + s.Text)) return false;
        FStatements.pop_front();
    }
    AddAction(kMarker, "");
    if (!line("-------- Fehlermeldung -------------------------------")) return false;
    if (!line("[" + ReportTimeText(Now ? Now() : LocalNow()) + "] " + message)) return false;
    if (!line("======== ENDE FEHLEREINTRAG ==========================")) return false;
    out.close();
    if (!out) return false;
    if (Beep) Beep();
    return true;
}

} // namespace vaskel
