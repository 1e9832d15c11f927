// Reading a file of one long line (no line end) by the readers that take
// files from the user: how the reading time grows with the file's size. It
// must grow linearly (the complexity fit below says oN): every reader gives
// up at the line-length limit, whatever follows, and the parts it reads
// before that are read once.
//
//   build/bench/vaskel_bench_long_line --benchmark_filter=Analyse

#include "cli/CliCommands.h"
#include "lists/ListFiles.h"
#include "recording/TableFile.h"
#include "simulation/SlaveSimulation.h"
#include "telegram/Catalogue.h"
#include "telegram/Errors.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

using namespace vaskel;

// One line of "x" of the given MB, without line end (written once per size).
std::string LongLineFile(int64_t megabytes) {
    const std::string file = (std::filesystem::temp_directory_path() /
                              ("vaskel-bench-long-line-" + std::to_string(megabytes) + ".PRO.CSV"))
                                 .string();
    const auto size = static_cast<std::uintmax_t>(megabytes) << 20;
    std::error_code ec;
    if (std::filesystem::file_size(file, ec) != size) {
        std::ofstream f(file, std::ios::binary | std::ios::trunc);
        const std::string block(1 << 20, 'x');
        for (int64_t k = 0; k < megabytes; ++k)
            f.write(block.data(), static_cast<std::streamsize>(block.size()));
    }
    return file;
}

template <typename Read> void Measure(benchmark::State& state, Read read) {
    const std::string file = LongLineFile(state.range(0));
    for (auto _ : state)
        read(file);
    state.SetComplexityN(state.range(0));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * (state.range(0) << 20));
}

// vaskel-cli analyse FILE 1: the form check, then the table reader.
void Analyse(benchmark::State& state) {
    Measure(state, [](const std::string& file) {
        std::ostringstream out, err;
        std::istringstream in;
        const int rc = RunCli({"analyse", file, "1"}, out, err,
                              std::string(VASKEL_BENCH_DATA_DIR) + "/IBIS.CSV", in);
        benchmark::DoNotOptimize(rc);
    });
}

// The list editors' table reader (header check, rows).
void OpenCallListEditor(benchmark::State& state) {
    Measure(state, [](const std::string& file) {
        TTable table = MakeCallListTable();
        try {
            (void)LoadFromCSV(table, file, '"', nullptr, std::nullopt, ';');
        } catch (const EFileError&) {
        }
    });
}

// The master simulation's call-list loader.
void LoadCallListFile(benchmark::State& state) {
    Measure(state, [](const std::string& file) {
        std::vector<tAufruf> entries;
        try {
            LoadCallList(file, entries);
        } catch (const EFileError&) {
        }
    });
}

// The slave simulation's check before the download.
void CheckResponseListFile(benchmark::State& state) {
    Measure(state, [](const std::string& file) {
        benchmark::DoNotOptimize(CheckResponseList(file).Problem);
    });
}

// The catalogue loader.
void LoadCatalogue(benchmark::State& state) {
    Measure(state, [](const std::string& file) {
        try {
            benchmark::DoNotOptimize(LoadCatalogueFile(file));
        } catch (const EFileError&) {
        }
    });
}

#define VASKEL_SIZES                                                                               \
    Arg(4)->Arg(8)->Arg(16)->Arg(50)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN)
BENCHMARK(Analyse)->VASKEL_SIZES;
BENCHMARK(OpenCallListEditor)->VASKEL_SIZES;
BENCHMARK(LoadCallListFile)->VASKEL_SIZES;
BENCHMARK(CheckResponseListFile)->VASKEL_SIZES;
BENCHMARK(LoadCatalogue)->VASKEL_SIZES;

} // namespace

BENCHMARK_MAIN();
