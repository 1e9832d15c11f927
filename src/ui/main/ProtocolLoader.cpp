#include "ui/main/ProtocolLoader.h"

#include "ui/common/Texts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProgressDialog>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <fstream>
#include <limits>
#include <memory>
#include <thread>

namespace vaskel {

namespace {

struct TCancelled {};

// What the worker and the main thread share. The result belongs to the
// worker until Done is set, then to the main thread.
struct TLoadState {
    std::atomic<int> Rows{0};
    std::atomic<bool> Cancel{false};
    std::atomic<bool> Done{false};
    TProtocolLoader::TResult Result;
};

// About how many rows the file has (for the progress bar): the lines of its
// first bytes, scaled to its size.
int EstimateRows(const std::string& name) {
    std::ifstream in(name, std::ios::binary | std::ios::ate);
    if (!in) return 1;
    const auto size = static_cast<double>(in.tellg());
    in.seekg(0);
    std::string head(256 * 1024, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    const auto lines = static_cast<double>(std::count(head.begin(), head.end(), '\n'));
    if (head.empty() || lines == 0) return 1;
    return static_cast<int>(std::min(2e9, std::max(1.0, lines * size / head.size())));
}

// Swallows the user's input (mouse, keys, wheel, closing a window).
class THoldInput : public QObject {
public:
    bool eventFilter(QObject*, QEvent* e) override {
        if (!e->spontaneous()) return false;
        switch (e->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Wheel:
        case QEvent::Close:
        case QEvent::Drop:
            return true;
        default:
            return false;
        }
    }
};

constexpr int kShowAfterMs = 250;

} // namespace

TProtocolLoader::TResult TProtocolLoader::Load(QWidget* parent, const QString& file,
                                               const TIBISTelegramParser& parser, TBusType bus,
                                               const TWorkerHook& hook) {
    const std::string name = QFile::encodeName(file).toStdString();
    const int estimate = EstimateRows(name);
    auto state = std::make_shared<TLoadState>();
    std::thread worker([state, name, &parser, bus, hook] {
        TResult& r = state->Result;
        try {
            r.Info = LoadProtocolFile(r.Table, name, parser, bus, [&](int rows) {
                state->Rows.store(rows, std::memory_order_relaxed);
                if (hook) hook(rows);
                if (state->Cancel.load()) throw TCancelled{};
            });
            r.Outcome = TOutcome::Loaded;
        } catch (const TCancelled&) {
            r.Outcome = TOutcome::Cancelled;
        } catch (const std::exception& e) {
            r.Outcome = TOutcome::Failed;
            r.Error = e.what();
        }
        state->Done.store(true);
    });

    // Meanwhile the main thread goes on. The user's input is held back until
    // the modal dialog shows (after a moment, so a small file opens without
    // it): nothing else can start on the same file or change the catalogue
    // the worker reads.
    THoldInput hold;
    qApp->installEventFilter(&hold);
    QProgressDialog dialog(Tr("Das Protokoll wird geladen."), Tr("Abbrechen"), 0, estimate, parent);
    dialog.setObjectName(QStringLiteral("ProtocolLoadProgress"));
    dialog.setWindowTitle(Tr("Bitte haben Sie etwas Geduld ..."));
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setAutoReset(false);
    dialog.setAutoClose(false);
    dialog.setMinimumDuration(std::numeric_limits<int>::max()); // shown below
    QObject::connect(&dialog, &QProgressDialog::canceled, [&state] { state->Cancel = true; });
    QEventLoop loop;
    QElapsedTimer since;
    since.start();
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (state->Done.load()) {
            loop.quit();
            return;
        }
        if (dialog.wasCanceled()) state->Cancel = true;
        if (state->Cancel.load()) return;
        if (!dialog.isVisible() && since.elapsed() >= kShowAfterMs) {
            dialog.show();
            qApp->removeEventFilter(&hold); // the dialog's modality holds the rest back
        }
        if (dialog.isVisible())
            dialog.setValue(std::min(state->Rows.load(std::memory_order_relaxed), estimate - 1));
    });
    poll.start();
    if (!state->Done.load()) loop.exec();
    poll.stop();
    worker.join();
    dialog.hide();
    return std::move(state->Result);
}

} // namespace vaskel
