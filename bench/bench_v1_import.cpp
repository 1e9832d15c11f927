// Reading a large version-1 protocol table (Paradox, through pxlib) and
// importing it: the time per record and the records per second, for a day's
// recording of the previous program generation. The table is written once
// with pxlib's own writer.

#include "import/ParadoxTable.h"
#include "import/ParadoxWriter.h"
#include "import/V1Import.h"
#include "recording/Recorder.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <map>

namespace {

using namespace vaskel;

const std::string& Table(int records) {
    static std::map<int, std::string> tables;
    std::string& bytes = tables[records];
    if (bytes.empty()) {
        const auto file = std::filesystem::temp_directory_path() /
                          ("vaskel-bench-v1-" + std::to_string(records) + ".DB");
        std::vector<test::TPxRecord> rows;
        rows.reserve(static_cast<std::size_t>(records));
        for (int i = 0; i < records; ++i)
            rows.push_back(test::AnalysedRecord(i % 2 ? "S" : "M", i + 1, i * 40, i % 2 ? 12 : 0,
                                                "", i % 2 ? "a10\r" : "a1\r", "61 31 0D", "020",
                                                "Statusabfrage an Anzeige"));
        test::WriteParadoxTable(file, test::ProtocolColumns(true), rows);
        std::ifstream in(file, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        std::filesystem::remove(file);
    }
    return bytes;
}

void ReadTable(benchmark::State& state) {
    const int records = static_cast<int>(state.range(0));
    const std::string& bytes = Table(records);
    for (auto _ : state) {
        TParadoxTable t(bytes);
        int64_t sum = 0;
        for (t.First(); !t.Eof(); t.Next())
            sum += t.AsInteger(1);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * records);
}
BENCHMARK(ReadTable)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void ImportAnalysedProtocol(benchmark::State& state) {
    const int records = static_cast<int>(state.range(0));
    const std::string& bytes = Table(records);
    TIBISTelegramParser parser(std::string(VASKEL_BENCH_DATA_DIR) + "/IBIS.CSV");
    for (auto _ : state) {
        TParadoxTable t(bytes);
        TTable table = MakeProtocolTable();
        benchmark::DoNotOptimize(ImportProtocol(t, table, parser, TBusType::bsVehicleBus));
    }
    state.SetItemsProcessed(state.iterations() * records);
}
BENCHMARK(ImportAnalysedProtocol)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
