// The monitor window with a day of traffic: a million captured telegrams
// appended through the live path while the window is shown (rows per
// second, first and last hundred thousand apart), and the time to lay out
// and paint one screen of a million-row protocol. Runs on Qt's offscreen
// platform. And the longest stall of the main thread while a million-row
// protocol opens.

#include "VirtualBusCaptures.h"
#include "recording/TableFile.h"
#include "ui/common/Session.h"
#include "ui/main/ProtocolLoader.h"
#include "ui/protocol/MonitorForm.h"
#include "ui/protocol/ProtocolForm.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

using namespace vaskel;

constexpr int kRows = 1000000;

struct Fixture {
    TFixedSystemPlatform Platform;
    std::unique_ptr<TEnvironment> Env;
    TIBISTelegramParser Parser{std::string(VASKEL_BENCH_DATA_DIR) + "/IBIS.CSV"};
    std::unique_ptr<TSession> Session;
    bench::TCaptures Telegrams = bench::VirtualBusCaptures(kRows, 0.01);
    std::string File =
        (std::filesystem::temp_directory_path() / "vaskel-bench-monitor.PRO.CSV").string();
    Fixture() {
        Platform.Program = (std::filesystem::temp_directory_path() / "vaskel").string();
        Env = std::make_unique<TEnvironment>(nullptr, Platform);
        Session = std::make_unique<TSession>(*Env, Parser);
    }
    ~Fixture() {
        std::error_code ec;
        std::filesystem::remove(File, ec);
    }
};

Fixture& F() {
    static Fixture f;
    return f;
}

// Appends through the monitor's live path with the window shown and
// following the newest row; the event loop runs every 1000 rows as it would
// between the device's notifications.
void BM_MonitorAppend(benchmark::State& state) {
    Fixture& f = F();
    for (auto _ : state) {
        state.PauseTiming();
        auto m = std::make_unique<TfMonitorForm>(*f.Session);
        m->Recorder().SafetyCopy = false;
        m->Recorder().Table().Reserve(kRows);
        m->resize(1000, 700);
        m->show();
        QApplication::processEvents();
        state.ResumeTiming();
        QElapsedTimer slice;
        slice.start();
        double firstRate = 0, lastRate = 0;
        for (int k = 0; k < kRows; ++k) {
            const auto& [t, s] = f.Telegrams[k];
            f.Session->Capture(t, s);
            if (k % 1000 == 999) QApplication::processEvents();
            if (k == 99999) firstRate = 100000.0 / (slice.nsecsElapsed() / 1e9);
            if (k == kRows - 100001) slice.restart();
        }
        lastRate = 100000.0 / (slice.nsecsElapsed() / 1e9);
        state.PauseTiming();
        state.counters["first_100k_rows_per_s"] = firstRate;
        state.counters["last_100k_rows_per_s"] = lastRate;
        if (!std::filesystem::exists(f.File)) m->Recorder().SaveActiveProtocol(f.File, 0);
        m->Recorder().Table().Modified = false;
        m.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kRows));
}
BENCHMARK(BM_MonitorAppend)->Unit(benchmark::kMillisecond)->Iterations(1);

// One screen of a million-row protocol laid out and painted, in the middle
// of the table.
void BM_PaintOneScreen(benchmark::State& state) {
    Fixture& f = F();
    if (!std::filesystem::exists(f.File)) {
        state.SkipWithError("the monitor benchmark writes the protocol first");
        return;
    }
    TfProtocolForm w(*f.Session, QString::fromStdString(f.File));
    w.resize(1000, 700);
    w.show();
    QApplication::processEvents();
    QScrollBar* bar = w.View()->verticalScrollBar();
    int k = 0;
    for (auto _ : state) {
        // a different screen each time: nothing painted before is reused
        bar->setValue(bar->maximum() / 2 + (k++ % 1000) * 40);
        w.View()->viewport()->repaint();
    }
    state.counters["rows"] = w.Model().rowCount();
    state.counters["visible_rows"] =
        w.View()->rowAt(w.View()->viewport()->height() - 1) - w.View()->rowAt(0) + 1;
}
BENCHMARK(BM_PaintOneScreen)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// A million-row protocol opened as the program opens one: loaded on the
// worker thread while the main thread's events go on, then shown in its
// window. A 5 ms timer on the main thread measures the longest gap between
// its ticks (the longest stall) from the start of loading until the window
// has been painted.
void BM_OpenWithoutStall(benchmark::State& state) {
    Fixture& f = F();
    if (!std::filesystem::exists(f.File)) {
        state.SkipWithError("the monitor benchmark writes the protocol first");
        return;
    }
    double longest = 0;
    for (auto _ : state) {
        QElapsedTimer since;
        since.start();
        qint64 last = 0, gap = 0;
        QTimer tick;
        tick.setInterval(5);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const qint64 now = since.elapsed();
            gap = std::max(gap, now - last);
            last = now;
        });
        tick.start();
        TProtocolLoader::TResult r = TProtocolLoader::Load(nullptr, QString::fromStdString(f.File),
                                                           f.Parser, TBusType::bsVehicleBus);
        auto w = std::make_unique<TfProtocolForm>(*f.Session, QString::fromStdString(f.File),
                                                  std::move(r.Table), r.Info);
        w->resize(1000, 700);
        w->show();
        QApplication::processEvents();
        gap = std::max(gap, since.elapsed() - last);
        state.counters["rows"] = w->Model().rowCount();
        state.PauseTiming();
        w.reset();
        state.ResumeTiming();
        longest = std::max(longest, static_cast<double>(gap));
    }
    state.counters["longest_main_thread_stall_ms"] = longest;
}
BENCHMARK(BM_OpenWithoutStall)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
