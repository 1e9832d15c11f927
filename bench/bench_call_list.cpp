// A call list running for an hour of bus time on the virtual Tavrin: how
// long the run takes, and how well each entry keeps its interval. The pace
// comes from the bus clock, so an entry's sends must not drift: the
// counters give, per entry, the mean and the largest deviation (ms) of the
// gap between two sends from the entry's interval.

#include "session/BusTimeSession.h"
#include "lists/ListFiles.h"
#include "recording/Recorder.h"
#include "shell/SystemPlatform.h"
#include "telegram/TextConventions.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>

namespace {

using namespace vaskel;

struct TEntry {
    const char* Call;
    int Seconds;
};
// A status request with its answer, a line and a destination number, and a
// clock telegram: answers and other entries get in each other's way.
const TEntry kEntries[] = {{"a1", 2}, {"l012", 5}, {"z034", 7}, {"u1200", 60}};

std::string WriteList() {
    const std::string file =
        (std::filesystem::temp_directory_path() / "vaskel-bench-drift.AUF.CSV").string();
    std::ofstream f(file, std::ios::binary);
    f << kAufrufHeader << "\r\n";
    for (const TEntry& e : kEntries)
        f << "-1;\"" << e.Call << "\";\"\";\"" << e.Seconds / 60 << ":"
          << (e.Seconds % 60 < 10 ? "0" : "") << e.Seconds % 60 << "\"\r\n";
    return file;
}

void CallListHour(benchmark::State& state) {
    const std::string list = WriteList();
    TIBISTelegramParser parser(std::string(VASKEL_BENCH_DATA_DIR) + "/IBIS.CSV");
    TFixedSystemPlatform platform;
    for (auto _ : state) {
        TEnvironment env(nullptr, platform);
        TEmulatorOptions o;
        o.Scenario = TScenario::Idle;
        TBusTimeSession sim(parser, env, o, {2026, 12, 10, 8, 0, 0, 0});
        if (!sim.SwitchToMaster()) {
            state.SkipWithError("no master");
            return;
        }
        sim.ActivateCallList(list);
        sim.Run(3600 * 1000);
        state.PauseTiming();
        // the gaps between the sends of each entry, from the recorded
        // protocol's start times
        std::map<std::string, std::vector<int64_t>> starts;
        const TTable& t = sim.Recorder().Table();
        for (int r = 0; r < sim.Recorder().RowCounter(); ++r) {
            if (t.Cell(pcKind, r) != "N") continue;
            std::string text(t.Cell(pcTelegram, r));
            int64_t ms = 0;
            TryStrToInt64(t.Cell(pcStart, r), ms);
            starts[text.substr(0, 1)].push_back(ms);
        }
        for (const TEntry& e : kEntries) {
            const std::vector<int64_t>& s = starts[std::string(1, e.Call[0])];
            double sum = 0, largest = 0;
            for (std::size_t k = 1; k < s.size(); ++k) {
                const double d =
                    std::abs(static_cast<double>(s[k] - s[k - 1]) - e.Seconds * 1000.0);
                sum += d;
                largest = std::max(largest, d);
            }
            const std::string name = std::string(e.Call) + "@" + std::to_string(e.Seconds) + "s";
            state.counters[name + " sends"] = static_cast<double>(s.size());
            state.counters[name + " mean dev ms"] = s.size() > 1 ? sum / (s.size() - 1) : 0;
            state.counters[name + " max dev ms"] = largest;
            // drift: the last send against the first plus whole intervals
            if (s.size() > 1)
                state.counters[name + " drift ms"] =
                    static_cast<double>(s.back() - s.front()) -
                    static_cast<double>(s.size() - 1) * e.Seconds * 1000.0;
        }
        state.ResumeTiming();
    }
    std::filesystem::remove(list);
}
BENCHMARK(CallListHour)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
