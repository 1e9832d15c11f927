// The printout of large protocols: opening the preview (column shares over
// every row, the page count, the first page drawn) of a 1,000,000-row
// protocol, and writing a 1,000-row protocol as a PDF.
#include "print/ProtocolPrint.h"
#include "recording/Recorder.h"

#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace vaskel {
namespace {

const TIBISTelegramParser& Parser() {
    static TIBISTelegramParser parser(std::string(VASKEL_BENCH_DATA_DIR) + "/IBIS.CSV");
    return parser;
}

// A recording's mix: masters with their answers, a few hundred distinct telegrams.
TTable Protocol(int rows) {
    TTable t = MakeProtocolTable();
    t.Reserve(static_cast<std::size_t>(rows));
    static const char* const masters[] = {"l012\r-", "k07\r\x18", "z034\r?", "aA1Linie 7 Hbf\r",
                                          "u0730\r", "d10126\r"};
    for (int r = 0; r < rows; ++r) {
        if (r > 0) t.AppendRow();
        const bool answer = r % 4 == 3;
        std::string telegram = answer ? "a" + std::to_string(r % 9) + "0\r" : masters[r % 6];
        if (!answer && r % 6 == 3) telegram.insert(3, std::to_string(r % 300));
        t.SetRow(r, {answer ? "S" : "M", std::to_string(r + 1), std::to_string(21600000 + r * 90),
                     answer ? "21" : "", "", telegram, "", answer ? "120" : "001",
                     answer ? "Statusantwort der Anzeige" : "Liniennummer", answer ? "0" : ""});
    }
    return t;
}

TPrintJob Job(const TTable& t) {
    TPrintJob job;
    job.Table = &t;
    job.Parser = &Parser();
    job.Heading = QStringLiteral("TAG.PRO.CSV");
    job.Rows = PrintRows(t.RowCount(), {});
    job.Titles = GermanProtocolColumnTitles();
    job.ColumnShown.assign(kProtocolColumns, true);
    job.ColumnShown[pcHex] = false;
    job.Version = QStringLiteral("3.11.0.0");
    return job;
}

void BM_PreviewOpens1MRows(benchmark::State& state) {
    const TTable t = Protocol(1000000);
    for (auto _ : state) {
        const TProtocolPrint print(Job(t));
        const QImage first = print.RenderPage(0, 96);
        benchmark::DoNotOptimize(first.width());
        state.counters["pages"] = print.PageCount();
    }
}
BENCHMARK(BM_PreviewOpens1MRows)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Pdf1000Rows(benchmark::State& state) {
    const TTable t = Protocol(1000);
    QTemporaryDir dir;
    for (auto _ : state) {
        const TProtocolPrint print(Job(t));
        QString error;
        if (!WriteProtocolPdf(print, dir.filePath(QStringLiteral("p.pdf")), &error))
            state.SkipWithError("PDF not written");
        state.counters["pages"] = print.PageCount();
    }
}
BENCHMARK(BM_Pdf1000Rows)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
} // namespace vaskel

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
