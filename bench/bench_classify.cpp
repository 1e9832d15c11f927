// Classification throughput over a realistic mix of telegrams with the
// shipped catalogue: every example, corrupted variants and unknown texts.

#include "telegram/TelegramParser.h"
#include "telegram/TextConventions.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

using namespace vaskel;

struct Mix {
    std::vector<std::string> Telegrams;
    std::vector<bool> Roles;
};

const TIBISTelegramParser& Parser() {
    static const TIBISTelegramParser p(std::string(VASKEL_BENCH_DATA_DIR) + "/IBIS.CSV");
    return p;
}

const Mix& TelegramMix() {
    static const Mix mix = [] {
        Mix m;
        std::mt19937 rng(42);
        auto add = [&](const std::string& text, bool master) {
            m.Telegrams.push_back(text + "\r" + CalcCheckByte(text));
            m.Roles.push_back(master);
        };
        for (const auto& r : *Parser().ProfileArray()) {
            if (r.TrainBus) continue;
            const std::string t = DisplayToTelegram(r.Example);
            for (int k = 0; k < 4; ++k)
                add(t, r.Master); // clean traffic dominates
            add(t, !r.Master);    // seen in the other role
            std::string bad = t;
            bad[rng() % bad.size()] = static_cast<char>('!' + rng() % 90);
            add(bad, r.Master);                       // character error
            add(t.substr(0, t.size() / 2), r.Master); // aborted
            add(t + "9", r.Master);                   // one too long
        }
        for (const char* unknown : {"Q17", "#x", "hello", "7", "~~~", "M123456"})
            add(unknown, true);
        std::shuffle(m.Telegrams.begin(), m.Telegrams.end(), rng);
        return m;
    }();
    return mix;
}

void BM_Classify(benchmark::State& state) {
    const auto& p = Parser();
    const auto& mix = TelegramMix();
    std::size_t k = 0;
    TTelegramRecord r;
    for (auto _ : state) {
        p.Classify(mix.Telegrams[k], mix.Roles[k], TBusType::bsVehicleBus, r);
        benchmark::DoNotOptimize(r.MatchedLength);
        if (++k == mix.Telegrams.size()) k = 0;
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_Classify);

// The same with a fresh result object every time (the allocating form).
void BM_ClassifyFreshResult(benchmark::State& state) {
    const auto& p = Parser();
    const auto& mix = TelegramMix();
    std::size_t k = 0;
    for (auto _ : state) {
        TTelegramRecord r = p.Classify(mix.Telegrams[k], mix.Roles[k], TBusType::bsVehicleBus);
        benchmark::DoNotOptimize(r.MatchedLength);
        if (++k == mix.Telegrams.size()) k = 0;
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_ClassifyFreshResult);

void BM_MatchScore(benchmark::State& state) {
    const std::string body = "zA2Hauptbahnhof    Messe/Stadthalle";
    const std::string pattern = "zA1H=$1$1(16C)";
    for (auto _ : state)
        benchmark::DoNotOptimize(MatchScore(body, pattern));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_MatchScore);

void BM_MatchScoreMismatch(benchmark::State& state) {
    const std::string body = "l0012";
    const std::string pattern = "lC4C";
    for (auto _ : state)
        benchmark::DoNotOptimize(MatchScore(body, pattern));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_MatchScoreMismatch);

} // namespace

BENCHMARK_MAIN();
