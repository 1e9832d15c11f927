#include "platform/QtComputerFacts.h"

#include "platform/QtText.h"

#include <QFile>
#include <QSysInfo>
#include <QThread>

#include <cstdlib>
#include <map>
#include <string>

namespace vaskel {

namespace {

// "Key: value kB" lines of /proc/meminfo, in bytes.
std::map<std::string, unsigned long long> MemInfo() {
    std::map<std::string, unsigned long long> m;
    QFile f(QStringLiteral("/proc/meminfo"));
    if (!f.open(QIODevice::ReadOnly)) return m;
    for (const QByteArray& line : f.readAll().split('\n')) {
        const int colon = line.indexOf(':');
        if (colon < 0) continue;
        const QList<QByteArray> parts = line.mid(colon + 1).simplified().split(' ');
        bool ok = false;
        unsigned long long v = parts.value(0).toULongLong(&ok);
        if (!ok) continue;
        if (parts.value(1) == "kB") v *= 1024ULL;
        m[line.left(colon).toStdString()] = v;
    }
    return m;
}

// The first "key : value" of /proc/cpuinfo.
std::string CpuInfo(const char* key) {
    QFile f(QStringLiteral("/proc/cpuinfo"));
    if (!f.open(QIODevice::ReadOnly)) return {};
    for (const QByteArray& line : f.readAll().split('\n')) {
        const int colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed() == key)
            return line.mid(colon + 1).trimmed().toStdString();
    }
    return {};
}

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

} // namespace

TComputerFacts QtComputerFacts() {
    TComputerFacts f;
    f.OperatingSystem = ToCp1252(QSysInfo::prettyProductName());
    f.Cpu = CpuInfo("model name");
    if (const std::string mhz = CpuInfo("cpu MHz"); !mhz.empty())
        f.CpuMHz = std::to_string(static_cast<long>(std::atof(mhz.c_str()) + 0.5));
    if (const int n = QThread::idealThreadCount(); n > 0) f.CpuCount = std::to_string(n);
    f.ComputerName = ToCp1252(QSysInfo::machineHostName());
    f.User = Env("USER").empty() ? Env("LOGNAME") : Env("USER");
    const auto mem = MemInfo();
    auto bytes = [&](const char* key) {
        const auto it = mem.find(key);
        return it == mem.end() ? std::string() : std::to_string(it->second);
    };
    f.PhysicalTotal = bytes("MemTotal");
    f.PhysicalFree = bytes("MemAvailable");
    f.PageFileTotal = bytes("SwapTotal");
    f.PageFileFree = bytes("SwapFree");
    f.SwapFileSize = bytes("SwapTotal");
    f.VirtualTotal = bytes("CommitLimit");
    if (mem.count("CommitLimit") && mem.count("Committed_AS") &&
        mem.at("CommitLimit") >= mem.at("Committed_AS"))
        f.VirtualFree = std::to_string(mem.at("CommitLimit") - mem.at("Committed_AS"));
    return f;
}

} // namespace vaskel
