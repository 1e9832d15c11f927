// The figures of a protocol of a million rows: one pass over a recorded
// table, restoring the pairing of a protocol opened as it was stored, and
// the live cost: a row added to the figures against a row the recorder
// appends (classification, pairing, cells).
// The protocol is a recording of the virtual Tavrin's vehicle bus.

#include "BenchRecorder.h"
#include "VirtualBusCaptures.h"
#include "analysis/ProtocolStatistics.h"
#include "recording/OpenedProtocol.h"
#include "recording/Recorder.h"
#include "recording/TableFile.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

using namespace vaskel;

constexpr int kRows = 1000000;

const TIBISTelegramParser& Parser() {
    static const TIBISTelegramParser p(std::string(VASKEL_BENCH_DATA_DIR) + "/IBIS.CSV");
    return p;
}

const bench::TCaptures& Captures() {
    static const bench::TCaptures c = bench::VirtualBusCaptures(kRows, 0.01);
    return c;
}

const TTable& Recorded() {
    static const auto r = [] {
        auto b = std::make_unique<bench::TBenchRecorder>(Parser(), Captures().size());
        for (const auto& [t, s] : Captures()) b->Rec.CopyTelegramm(t, s, false);
        return b;
    }();
    return r->Rec.Table();
}

// One pass over a recorded million rows.
void BM_StatisticsOfAMillionRows(benchmark::State& state) {
    const TTable& t = Recorded();
    for (auto _ : state) {
        TProtocolStatistics s;
        s.Compute(t);
        benchmark::DoNotOptimize(s.Rows());
    }
    state.SetItemsProcessed(state.iterations() * t.RowCount());
}
BENCHMARK(BM_StatisticsOfAMillionRows)->Unit(benchmark::kMillisecond)->Iterations(5);

// A protocol saved and opened as stored gets its pairing back from the
// catalogue and its status cells (once per opening).
void BM_RestoreRowObjectsOfAMillionRows(benchmark::State& state) {
    const std::string file =
        (std::filesystem::temp_directory_path() / "vaskel-bench-stats.PRO.CSV").string();
    {
        TTable t = MakeProtocolTable();
        const TTable& src = Recorded();
        std::vector<std::string> cells(kProtocolColumns);
        for (int r = 0; r < src.RowCount(); ++r) {
            src.ForEachCell(r, [&](int c, std::string_view v) { cells[c].assign(v); });
            t.SetRow(r == 0 ? 0 : t.AppendRow(), cells);
        }
        SaveToCSV(t, file, '"', 0, std::nullopt, ';');
    }
    for (auto _ : state) {
        state.PauseTiming();
        TTable t = MakeProtocolTable();
        LoadProtocolFile(t, file, Parser(), TBusType::bsVehicleBus);
        state.ResumeTiming();
        RestoreRowObjects(t, Parser(), TBusType::bsVehicleBus);
        benchmark::DoNotOptimize(t.RowCount());
    }
    std::error_code ec;
    std::filesystem::remove(file, ec);
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_RestoreRowObjectsOfAMillionRows)->Unit(benchmark::kMillisecond)->Iterations(2);

// The live monitor: 100,000 rows appended by the recorder, with (Arg 1)
// and without (Arg 0) the figures following each row. The difference is the
// live update's cost.
void BM_RecorderAppendWithFigures(benchmark::State& state) {
    const bench::TCaptures captures(Captures().begin(), Captures().begin() + 100000);
    const bool figures = state.range(0) != 0;
    for (auto _ : state) {
        state.PauseTiming();
        bench::TBenchRecorder b(Parser(), captures.size());
        TProtocolStatistics s;
        state.ResumeTiming();
        for (const auto& [t, src] : captures) {
            b.Rec.CopyTelegramm(t, src, false);
            if (figures) s.AddRow(b.Rec.Table(), b.Rec.RowCounter() - 1);
        }
        benchmark::DoNotOptimize(s.Rows());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(captures.size()));
}
BENCHMARK(BM_RecorderAppendWithFigures)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);

// The live update alone, per row, on the recorded table.
void BM_AddRowAlone(benchmark::State& state) {
    const TTable& t = Recorded();
    TProtocolStatistics s;
    int row = 0;
    for (auto _ : state) {
        s.AddRow(t, row);
        if (++row == t.RowCount()) row = 0;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_AddRowAlone);

} // namespace

BENCHMARK_MAIN();
