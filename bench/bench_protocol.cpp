// Protocols of a million rows: load and save beside a plain read of the same
// file, opening (form, last line, loader), re-analysis again and again with
// the table's memory, recorder appends per second, and the memory a loaded
// row takes.
// The protocol is a recording of the virtual Tavrin's vehicle bus.

#include "BenchRecorder.h"
#include "VirtualBusCaptures.h"
#include "recording/OpenedProtocol.h"
#include "recording/Recorder.h"
#include "recording/TableFile.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

namespace {

using namespace vaskel;

constexpr int kRows = 1000000;

struct Fixture {
    bench::TCaptures Captures = bench::VirtualBusCaptures(kRows, 0.01); // 1 % faults
    std::string File;
    std::size_t FileBytes = 0;
    std::size_t CellBytes = 0; // all cell texts of the protocol

    Fixture() {
        File = (std::filesystem::temp_directory_path() / "vaskel-bench-1m.PRO.CSV").string();
        TTable t = Record();
        SaveToCSV(t, File, '"', 0, std::nullopt, ';');
        FileBytes = std::filesystem::file_size(File);
        for (int r = 0; r < t.RowCount(); ++r)
            for (int c = 0; c < t.ColCount(); ++c)
                CellBytes += t.Cell(c, r).size();
    }
    ~Fixture() {
        std::error_code ec;
        std::filesystem::remove(File, ec);
        std::filesystem::remove(BackupFileName(File), ec);
    }

    const TIBISTelegramParser& Parser() const {
        static const TIBISTelegramParser p(std::string(VASKEL_BENCH_DATA_DIR) + "/IBIS.CSV");
        return p;
    }
    TTable Record() const {
        bench::TBenchRecorder b(Parser(), kRows);
        for (const auto& [t, s] : Captures)
            b.Rec.CopyTelegramm(t, s, false);
        return std::move(b.Rec.Table());
    }
};

Fixture& F() {
    static Fixture f;
    return f;
}

void BM_PlainRead(benchmark::State& state) {
    Fixture& f = F();
    std::vector<char> block(64 * 1024);
    for (auto _ : state) {
        std::ifstream in(f.File, std::ios::binary);
        std::size_t n = 0;
        while (in) {
            in.read(block.data(), static_cast<std::streamsize>(block.size()));
            n += static_cast<std::size_t>(in.gcount());
        }
        benchmark::DoNotOptimize(n);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.FileBytes));
}
BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same file read line by line, the plain way of reading a text file.
void BM_PlainReadLines(benchmark::State& state) {
    Fixture& f = F();
    for (auto _ : state) {
        std::ifstream in(f.File, std::ios::binary);
        std::string line;
        std::size_t n = 0;
        while (std::getline(in, line))
            n += line.size();
        benchmark::DoNotOptimize(n);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.FileBytes));
}
BENCHMARK(BM_PlainReadLines)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_LoadProtocol(benchmark::State& state) {
    Fixture& f = F();
    for (auto _ : state) {
        state.PauseTiming();
        auto t = std::make_unique<TTable>(MakeProtocolTable());
        t->Reserve(kRows);
        state.ResumeTiming();
        const TLoadResult r = LoadFromCSV(*t, f.File, '"', nullptr, std::nullopt, ';');
        benchmark::DoNotOptimize(r.Rows);
        state.PauseTiming();
        state.counters["rows"] = r.Rows;
        state.counters["bytes_per_row_beyond_text"] =
            (static_cast<double>(t->MemoryBytes()) - static_cast<double>(f.CellBytes)) / r.Rows;
        t.reset(); // freeing the table is not part of loading
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.FileBytes));
}
BENCHMARK(BM_LoadProtocol)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SaveProtocol(benchmark::State& state) {
    Fixture& f = F();
    TTable t = MakeProtocolTable();
    LoadFromCSV(t, f.File, '"', nullptr, std::nullopt, ';');
    const std::string out = f.File + ".out";
    for (auto _ : state)
        SaveToCSV(t, out, '"', 0, std::nullopt, ';');
    std::error_code ec;
    std::filesystem::remove(out, ec);
    std::filesystem::remove(BackupFileName(out), ec);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.FileBytes));
}
BENCHMARK(BM_SaveProtocol)->Unit(benchmark::kMillisecond)->Iterations(3);

// Opening as the windows and the command line do (the form from the first
// row, the last line, then the table loader): one read of the file.
void BM_OpenProtocolFile(benchmark::State& state) {
    Fixture& f = F();
    for (auto _ : state) {
        state.PauseTiming();
        auto t = std::make_unique<TTable>(MakeProtocolTable());
        state.ResumeTiming();
        const TProtocolLoad info = LoadProtocolFile(*t, f.File, f.Parser(), TBusType::bsVehicleBus);
        benchmark::DoNotOptimize(info.RowsRead);
        state.PauseTiming();
        state.counters["rows"] = info.RowsRead;
        state.counters["table_bytes_per_file_byte"] =
            static_cast<double>(t->MemoryBytes()) / static_cast<double>(f.FileBytes);
        t.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.FileBytes));
}
BENCHMARK(BM_OpenProtocolFile)->Unit(benchmark::kMillisecond)->Iterations(3);

// "Protokoll erneut analysieren" on a loaded million-row protocol, again and
// again: the time of one, and the table's memory after the first and after
// the last (they must be the same).
void BM_Reanalyse(benchmark::State& state) {
    Fixture& f = F();
    TTable t = MakeProtocolTable();
    LoadFromCSV(t, f.File, '"', nullptr, std::nullopt, ';');
    const double loaded = static_cast<double>(t.MemoryBytes());
    double first = 0;
    for (auto _ : state) {
        Reanalyse(t, f.Parser(), TBusType::bsVehicleBus);
        if (first == 0) first = static_cast<double>(t.MemoryBytes());
    }
    state.counters["table_MB_loaded"] = loaded / 1e6;
    state.counters["table_MB_after_first"] = first / 1e6;
    state.counters["growth_MB_after_last"] = (static_cast<double>(t.MemoryBytes()) - first) / 1e6;
    state.counters["file_MB"] = static_cast<double>(f.FileBytes) / 1e6;
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * t.RowCount()));
}
BENCHMARK(BM_Reanalyse)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_RecorderAppend(benchmark::State& state) {
    Fixture& f = F();
    for (auto _ : state) {
        TTable t = f.Record();
        benchmark::DoNotOptimize(t.RowCount());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kRows));
}
BENCHMARK(BM_RecorderAppend)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
