// Soak: the virtual Tavrin is unplugged and plugged in again 100 times while
// the bus carries traffic and the program polls the device, through the real
// USB transport and controller. Every telegram completed while the device
// was connected must arrive exactly once, the link must come back every time,
// and the memory must stay flat. The figures are printed and given as
// counters.

#include "emulator/VirtualUsb.h"
#include "link/Controller.h"
#include "link/UsbTransport.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <thread>
#include <unistd.h>

namespace vaskel {
namespace {

using Clock = std::chrono::steady_clock;

// Resident memory of the process (kB).
long ResidentKb() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

struct TSoak {
    TManualHandOver HandOver;
    std::unique_ptr<TVirtualUsb> Usb;
    std::unique_ptr<TWBController> C;
    int LinkUps = 0, LinkDowns = 0;
    uint64_t Delivered = 0;
    // Device time only grows (a replug restarts the device, not its clock):
    // a capture that does not start after the last one of its kind is one
    // seen before.
    int64_t LastStart[2] = {-1, -1};
    uint64_t Duplicates = 0;

    TSoak() {
        TEmulatorOptions o;
        o.Scenario = TScenario::Vehicle;
        Usb = std::make_unique<TVirtualUsb>(o);
        TUsbOptions uo;
        uo.WatchIntervalMs = 10; // the bus scan, once a second in the program
        auto link = std::make_unique<TUSB_Communication>(*Usb, HandOver, kTavrinVendorId,
                                                         kTavrinProductId, uo);
        C = std::make_unique<TWBController>(std::move(link), HandOver,
                                            [this](const TControllerNotification& n) { Note(n); });
    }
    ~TSoak() {
        C.reset();
        Usb.reset();
    }

    void Note(const TControllerNotification& n) {
        switch (n.Msg) {
        case TControllerMessage::FMsgLinkUp:
            ++LinkUps;
            break;
        case TControllerMessage::FMsgLinkDown:
            ++LinkDowns;
            break;
        case TControllerMessage::FMsgMasterTelegramm:
        case TControllerMessage::FMsgSlaveTelegramm: {
            const bool master = n.Msg == TControllerMessage::FMsgMasterTelegramm;
            ++Delivered;
            int64_t& last = LastStart[master ? 0 : 1];
            if (static_cast<int64_t>(n.Record.StartTicks) <= last)
                ++Duplicates;
            else
                last = n.Record.StartTicks;
            if (master)
                C->ReleaseMasterRecord(static_cast<uint8_t>(n.WParam));
            else
                C->ReleaseSlaveRecord(static_cast<uint8_t>(n.WParam));
            break;
        }
        default:
            break;
        }
    }

    template <typename P> bool WaitFor(P pred) {
        const auto end = Clock::now() + std::chrono::seconds(20);
        while (Clock::now() < end) {
            HandOver.Pump();
            if (pred()) return true;
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        return false;
    }
    uint64_t DeviceCaptures() {
        return Usb->WithDevice(
            [](TVirtualTavrin& d) { return d.MasterCaptures() + d.SlaveCaptures(); });
    }
};

void BM_UnplugReplugSoak(benchmark::State& state) {
    const int cycles = static_cast<int>(state.range(0));
    for (auto _ : state) {
        TSoak s;
        if (!s.WaitFor([&] { return s.LinkUps == 1; })) {
            state.SkipWithError("no link at the start");
            return;
        }
        uint64_t expected = 0; // completed while connected
        uint64_t failures = 0;
        std::vector<double> reconnectMs;
        long rssStart = 0;
        for (int cycle = 0; cycle <= cycles; ++cycle) {
            // connected: three seconds of bus traffic, the device polled
            const uint64_t base = s.DeviceCaptures();
            const uint64_t deliveredBase = s.Delivered;
            for (int k = 0; k < 30; ++k) {
                s.C->SendRequest(Cmd::StatusRequest());
                s.Usb->Advance(100);
                const uint64_t made = s.DeviceCaptures() - base;
                if (!s.WaitFor([&] { return s.Delivered - deliveredBase >= made; })) ++failures;
            }
            expected += s.DeviceCaptures() - base;
            if (cycle == 0) rssStart = ResidentKb(); // after the first, warming cycle
            if (cycle == cycles) break;
            // unplugged: the bus goes on, nobody listens
            const int downs = s.LinkDowns;
            s.Usb->SetPlugged(false);
            if (!s.WaitFor([&] { return s.LinkDowns > downs; })) ++failures;
            s.Usb->Advance(500);
            const int ups = s.LinkUps;
            const auto plugged = Clock::now();
            s.Usb->SetPlugged(true);
            if (!s.WaitFor([&] { return s.LinkUps > ups; })) ++failures;
            reconnectMs.push_back(
                std::chrono::duration<double, std::milli>(Clock::now() - plugged).count());
        }
        const long rssEnd = ResidentKb();
        // the program's end: the last commands, then controller and transport go
        s.C->SendRequest(Cmd::ClearResponseList());
        s.C->SetMode(0);
        const auto ending = Clock::now();
        s.C.reset();
        const double endMs =
            std::chrono::duration<double, std::milli>(Clock::now() - ending).count();
        const uint64_t unique = s.Delivered - s.Duplicates;
        const uint64_t lost = expected > unique ? expected - unique : 0;
        std::sort(reconnectMs.begin(), reconnectMs.end());
        double sum = 0;
        for (double v : reconnectMs)
            sum += v;
        const double mean = reconnectMs.empty() ? 0 : sum / reconnectMs.size();
        const double median = reconnectMs.empty() ? 0 : reconnectMs[reconnectMs.size() / 2];
        const double worst = reconnectMs.empty() ? 0 : reconnectMs.back();
        std::printf("soak: %d cycles, %d link-ups after the first (of %d), %llu telegrams "
                    "completed while connected, %llu delivered, %llu duplicates, %llu lost, "
                    "%llu waits that timed out\n"
                    "soak: reconnect after plugging in: mean %.1f ms, median %.1f ms, worst "
                    "%.1f ms (bus scan every 10 ms)\n"
                    "soak: resident memory %ld kB after the first cycle, %ld kB at the end\n"
                    "soak: controller and transport ended in %.1f ms\n",
                    cycles, s.LinkUps - 1, cycles, static_cast<unsigned long long>(expected),
                    static_cast<unsigned long long>(s.Delivered),
                    static_cast<unsigned long long>(s.Duplicates),
                    static_cast<unsigned long long>(lost),
                    static_cast<unsigned long long>(failures), mean, median, worst, rssStart,
                    rssEnd, endMs);
        state.counters["cycles"] = cycles;
        state.counters["linkups"] = s.LinkUps - 1;
        state.counters["telegrams"] = static_cast<double>(expected);
        state.counters["duplicates"] = static_cast<double>(s.Duplicates);
        state.counters["lost"] = static_cast<double>(lost);
        state.counters["reconnect_ms_mean"] = mean;
        state.counters["reconnect_ms_worst"] = worst;
        state.counters["rss_kb_start"] = static_cast<double>(rssStart);
        state.counters["rss_kb_end"] = static_cast<double>(rssEnd);
        state.counters["end_ms"] = endMs;
    }
}
BENCHMARK(BM_UnplugReplugSoak)->Arg(100)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace vaskel

BENCHMARK_MAIN();
