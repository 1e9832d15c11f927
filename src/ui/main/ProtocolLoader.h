#pragma once
// TProtocolLoader: a protocol file loaded on a worker thread while the main
// thread goes on with its events (the live monitor keeps recording), with
// the progress dialog and its cancel button.

#include "recording/OpenedProtocol.h"
#include "recording/Table.h"

#include <QString>
#include <functional>
#include <string>

class QWidget;

namespace vaskel {

class TProtocolLoader {
public:
    enum class TOutcome { Loaded, Cancelled, Failed };
    struct TResult {
        TOutcome Outcome = TOutcome::Failed;
        TTable Table = MakeProtocolTable(); // the rows, handed over when loaded
        TProtocolLoad Info;
        std::string Error; // Failed: the engine's message (Windows-1252)
    };

    // Called on the worker with the rows read so far, before it looks at
    // the cancel button (tests hold the worker here).
    using TWorkerHook = std::function<void(int rows)>;

    // Loads file (LoadProtocolFile) on a worker thread. Meanwhile the main
    // thread runs its events behind the modal progress dialog "Bitte haben
    // Sie etwas Geduld ..." / "Das Protokoll wird geladen." (with
    // "Abbrechen"), shown after a quarter of a second; until then the
    // user's input is held back. The worker fills a table of its own that
    // nothing else touches; it is handed over by move when the worker has
    // ended. Cancel stops the worker before it writes anything (an older
    // form converted on disk has its backup); the result is then Cancelled.
    static TResult Load(QWidget* parent, const QString& file, const TIBISTelegramParser& parser,
                        TBusType bus, const TWorkerHook& hook = nullptr);
};

} // namespace vaskel
