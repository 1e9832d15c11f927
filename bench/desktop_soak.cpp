// Desktop soak: the whole program -- main window, live monitor recording,
// the live statistics window -- on the virtual Tavrin with faults on, for a
// stretch of bus time at an accelerated pace. On the way the device is
// unplugged and plugged in again, and the master simulation (a call list)
// is switched on and off. Run by hand:
//
//   QT_QPA_PLATFORM=offscreen build/bench/vaskel_desktop_soak
//       [--bus-minutes 60] [--speed 20] [--cycles 20] [--master-runs 3]
//
// Printed: resident memory at the start, after ten bus minutes and at the
// end; the longest stall of the main thread, how many stalls were longer
// than 100 ms and the most CPU time the main thread itself used in one
// (SOAK_TRACE=1 traces each such stall with its phase); telegrams the
// device captured while connected against the telegram rows recorded (each
// exactly once);
// the safety copy against a save of the recording. Exit status 1 when a
// telegram was lost or doubled, the link did not come back, or the safety
// copy differs.

#include "emulator/VirtualUsb.h"
#include "link/UsbTransport.h"
#include "lists/ListFiles.h"
#include "recording/Recorder.h"
#include "recording/TableFile.h"
#include "shell/Environment.h"
#include "shell/SystemPlatform.h"
#include "telegram/TelegramParser.h"
#include "ui/common/ActionTable.h"
#include "ui/common/Session.h"
#include "ui/main/CallListCommands.h"
#include "ui/main/MainForm.h"
#include "ui/protocol/MonitorForm.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace vaskel;

namespace {

long ResidentKb() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// CPU time the calling thread has used.
qint64 ThreadCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<qint64>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

std::string ReadAll(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The event loop runs until pred holds or ms have passed.
template <typename P> bool RunUntil(P pred, int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
        if (pred()) return true;
    }
    return pred();
}

void RunFor(int ms) {
    RunUntil([] { return false; }, ms);
}

struct TArgs {
    double BusMinutes = 60;
    double Speed = 20;
    int Cycles = 20;
    int MasterRuns = 3;
};

TArgs ParseArgs(int argc, char** argv) {
    TArgs a;
    for (int k = 1; k + 1 < argc; k += 2) {
        const std::string n = argv[k];
        const double v = std::atof(argv[k + 1]);
        if (n == "--bus-minutes")
            a.BusMinutes = v;
        else if (n == "--speed")
            a.Speed = v;
        else if (n == "--cycles")
            a.Cycles = static_cast<int>(v);
        else if (n == "--master-runs")
            a.MasterRuns = static_cast<int>(v);
        else {
            std::fprintf(stderr, "desktop_soak: unknown option %s\n", n.c_str());
            std::exit(2);
        }
    }
    if (a.BusMinutes <= 0 || a.Speed <= 0 || a.Cycles < 0 || a.MasterRuns < 0) {
        std::fprintf(stderr, "desktop_soak: the figures must be positive\n");
        std::exit(2);
    }
    return a;
}

} // namespace

int main(int argc, char** argv) {
    const TArgs args = ParseArgs(argc, argv);
    QApplication app(argc, argv);

    const fs::path dir = fs::temp_directory_path() / ("vaskel-desktop-soak-" + std::to_string(getpid()));
    fs::create_directories(dir);
    TFixedSystemPlatform platform;
    platform.Program = (dir / "Vaskel").string();
    platform.Documents = dir.string();
    fs::create_directories(dir / "Vaskel");
    TEnvironment env(nullptr, platform);
    TIBISTelegramParser parser(std::string(VASKEL_BENCH_DATA_DIR) + "/IBIS.CSV");

    TEmulatorOptions emu;
    emu.Scenario = TScenario::Vehicle;
    emu.FaultRate = 0.01;
    TVirtualUsb usb(emu);

    TSession::TOptions so;
    so.CreateLink = [&usb](IMainThreadHandOver& h) -> std::unique_ptr<IDeviceLink> {
        return std::make_unique<TUSB_Communication>(usb, h, kTavrinVendorId, kTavrinProductId,
                                                    TUsbOptions{});
    };
    auto session = std::make_unique<TSession>(env, parser, so);
    TfMainForm::TOptions wo;
    wo.Virtual = &usb;
    wo.OfferSafetyCopy = false;
    auto window = std::make_unique<TfMainForm>(*session, wo);
    window->show();

    // the main thread's longest stall: a 5 ms timer that should fire on time
    QElapsedTimer beat;
    beat.start();
    qint64 lastBeat = 0, longestStall = 0, lastCpu = 0, longestStallWork = 0;
    int stallsOver100 = 0;
    const char* phase = "start";
    QTimer watchdog;
    watchdog.setInterval(5);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        const qint64 now = beat.elapsed();
        const qint64 cpu = ThreadCpuMs();
        const qint64 stall = now - lastBeat - 5;
        if (stall > 100) {
            ++stallsOver100;
            longestStallWork = std::max(longestStallWork, cpu - lastCpu);
            // the main thread's own CPU time in the stall tells work from
            // waiting (a lock, the disk, or no free core)
            if (std::getenv("SOAK_TRACE"))
                std::fprintf(stderr, "stall of %lld ms (main thread on a core %lld ms) at %s\n",
                             static_cast<long long>(stall), static_cast<long long>(cpu - lastCpu),
                             phase);
        }
        longestStall = std::max(longestStall, stall);
        lastBeat = now;
        lastCpu = cpu;
    });

    // A message box on the way is a failure of the soak: told, then closed.
    int boxes = 0;
    QTimer boxWatch;
    QObject::connect(&boxWatch, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            std::fprintf(stderr, "desktop_soak: a message box: %s\n",
                         box->text().toLocal8Bit().constData());
            ++boxes;
            box->reject();
        }
    });
    boxWatch.start(200);

    TfMonitorForm* monitor = window->OpenMonitor();
    if (!monitor || !RunUntil([&] { return session->Status().DeviceOnline(); }, 20000)) {
        std::fprintf(stderr, "desktop_soak: the device did not come online\n");
        return 1;
    }
    monitor->ShowFigures();
    const std::string callList = (dir / "soak.AUF.CSV").string();
    std::ofstream(callList, std::ios::binary)
        << kAufrufHeader << "\r\n"
        << "-1;\"l012\";\"\";\"0:02\"\r\n0;\"k07\";\"\";\"0:01\"\r\n-1;\"u0730\";\"\";\"0:05\"\r\n";

    auto captures = [&usb] {
        return usb.WithDevice([](TVirtualTavrin& d) { return d.MasterCaptures() + d.SlaveCaptures(); });
    };
    auto busMs = [&usb] {
        return usb.WithDevice([](TVirtualTavrin& d) { return static_cast<double>(d.Now()) / kTicksPerMs; });
    };
    auto telegramRows = [&] {
        const TTable& t = session->Recorder().Table();
        long n = 0;
        for (int r = 0; r < t.RowCount(); ++r) {
            const std::string_view k = t.Cell(pcKind, r);
            n += IsMasterKind(k) || IsSlaveKind(k);
        }
        return n;
    };

    // Stops bus time and waits until every telegram captured is recorded
    // (or did not come within 10 s).
    uint64_t expected = 0, base = captures();
    long recordedBefore = 0;
    auto settle = [&] {
        usb.StopClock();
        expected += captures() - base;
        const bool ok = RunUntil([&] { return session->Recorder().RowCounter() >= static_cast<long>(expected) + recordedBefore; }, 10000);
        RunFor(300); // anything doubled shows up as well
        return ok;
    };

    const double totalMs = args.BusMinutes * 60000.0;
    const double startBus = busMs();
    int failures = 0;
    long rssStart = 0, rssTen = -1;
    int linkBacks = 0, masterRuns = 0;
    recordedBefore = session->Recorder().RowCounter();
    base = captures();
    usb.StartClock(args.Speed);
    watchdog.start();
    lastBeat = beat.elapsed();
    lastCpu = ThreadCpuMs();
    RunFor(2000);
    rssStart = ResidentKb();

    // the events along the bus time: unplug/replug cycles, master runs
    const int steps = args.Cycles + args.MasterRuns;
    int cycle = 0, run = 0;
    for (int step = 1; step <= steps + 1; ++step) {
        const double until = startBus + totalMs * step / (steps + 1);
        while (busMs() < until) {
            RunFor(200);
            if (std::getenv("SOAK_TRACE"))
                std::fprintf(stderr, "bus %.1f s, rows %d\n", (busMs() - startBus) / 1000,
                             session->Recorder().RowCounter());
            if (rssTen < 0 && busMs() - startBus >= 600000) rssTen = ResidentKb();
        }
        if (step > steps) break;
        // every (cycles / master runs)-th step is a master run
        const bool masterStep = run < args.MasterRuns &&
                                (cycle >= args.Cycles || step * args.MasterRuns / (steps + 1) > run);
        if (masterStep) {
            ++run;
            // the vehicle's master leaves the bus; the call list drives it
            usb.WithDevice([](TVirtualTavrin& d) { d.SetMasterPresent(false); });
            phase = "master simulation switched on";
            if (!window->CallLists()->ActivateUnattended(QString::fromStdString(callList), 15000)) {
                std::fprintf(stderr, "desktop_soak: the master simulation did not start\n");
                ++failures;
            } else {
                ++masterRuns;
                const double runUntil = busMs() + totalMs / (steps + 1) / 2;
                while (busMs() < runUntil)
                    RunFor(200);
                phase = "master simulation switched off";
                window->Action(TAct::acAufrufOnOff)->trigger();
                phase = "master off";
                if (session->Status().Master()) window->Action(TAct::acMasterOnOff)->trigger();
                RunUntil([&] { return !session->Status().Master(); }, 10000);
            }
            usb.WithDevice([](TVirtualTavrin& d) { d.SetMasterPresent(true); });
            continue;
        }
        ++cycle;
        phase = "settle";
        if (!settle()) ++failures;
        phase = "unplugged";
        usb.SetPlugged(false);
        if (!RunUntil([&] { return !session->Status().DeviceOnline(); }, 10000)) ++failures;
        usb.Advance(500); // the bus goes on while nobody listens
        phase = "plugged in";
        usb.SetPlugged(true);
        if (RunUntil([&] { return session->Status().DeviceOnline(); }, 20000))
            ++linkBacks;
        else
            ++failures;
        base = captures();
        phase = "bus running";
        usb.StartClock(args.Speed);
    }
    if (!settle()) ++failures;
    const long rssEnd = ResidentKb();
    watchdog.stop();

    const long recorded = telegramRows();
    const long rows = session->Recorder().RowCounter() - recordedBefore;
    // the safety copy brought up to date, against the recording saved
    session->Recorder().FinishSafetyCopy();
    session->Recorder().SafetyTick();
    session->Recorder().FinishSafetyCopy();
    const std::string saved = (dir / "recording.PRO.CSV").string();
    const bool savedOk = session->Recorder().SaveActiveProtocol(saved, 1);
    const std::string copy = session->Recorder().SafetyCopyFile();
    const bool copyEqual = savedOk && ReadAll(copy) == ReadAll(saved);
    std::error_code keep;
    if (!copyEqual) fs::copy_file(copy, dir / "safety-copy.PRO.CSV", keep);

    std::printf("desktop soak: %.0f bus minutes at %.0f x, %d unplug/replug cycles (link back %d "
                "times), %d master runs\n",
                (busMs() - startBus) / 60000.0, args.Speed, cycle, linkBacks, masterRuns);
    std::printf("desktop soak: telegrams captured while connected %llu, rows recorded %ld "
                "(telegram rows %ld): %s\n",
                static_cast<unsigned long long>(expected), rows, recorded,
                rows == static_cast<long>(expected) ? "each exactly once" : "MISMATCH");
    std::printf("desktop soak: resident memory %ld kB at the start, %ld kB after ten bus minutes, "
                "%ld kB at the end\n",
                rssStart, rssTen, rssEnd);
    std::printf("desktop soak: longest main-thread stall %lld ms, %d stalls over 100 ms; in a "
                "stall the main thread worked at most %lld ms (the rest it waited for a core, a "
                "lock or the disk)\n",
                static_cast<long long>(longestStall), stallsOver100,
                static_cast<long long>(longestStallWork));
    std::printf("desktop soak: safety copy %s the saved recording (%s)\n",
                copyEqual ? "equals" : "DIFFERS FROM", copy.c_str());

    monitor->Clear(false); // nothing to ask at the end
    window->close();
    window.reset();
    session.reset();
    std::error_code ec;
    if (boxes) std::printf("desktop soak: %d message boxes on the way\n", boxes);
    if (copyEqual && failures == 0 && boxes == 0 && rows == static_cast<long>(expected)) fs::remove_all(dir, ec);
    failures += boxes;
    return failures == 0 && rows == static_cast<long>(expected) && copyEqual ? 0 : 1;
}
