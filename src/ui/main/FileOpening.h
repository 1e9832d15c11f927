#pragma once
// TFileOpening: opening files in windows of the main window's area: a
// protocol from the open dialog, from the command line or dropped on the
// window, and the safety copy an abnormal end left behind.

#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace vaskel {

class TSession;
class TWindowArea;
class TfProtocolForm;

// Which kind of file a dropped file name is: by its last eight characters,
// letter case ignored.
enum class TDroppedKind { None, Protocol, CallList, ResponseList };
TDroppedKind DroppedFileKind(const QString& fileName);

class TFileOpening {
public:
    // Opens the files of kinds this version has no window for.
    using TOpenOther = std::function<bool(TDroppedKind, const QString&)>;

    TFileOpening(TSession& session, TWindowArea& area, QWidget* dialogParent, TOpenOther openOther);

    // Opens a protocol file in a protocol window, or brings the window that
    // shows it already to the front; null when the file is not there, is
    // being loaded already, when the loading is cancelled, or (after the
    // message) when it cannot be loaded. The file is loaded on a worker
    // thread (TProtocolLoader): the main thread goes on meanwhile.
    TfProtocolForm* OpenProtocol(const QString& file);
    // "Protokoll öffnen ...": the open dialog, then the protocol window;
    // null when cancelled or not loaded.
    TfProtocolForm* OpenProtocolAsked();
    // A safety copy left by an abnormal end is offered and opened; returns
    // the window it was opened in.
    TfProtocolForm* OfferSafetyCopy();
    // The one dropped file that counts (the first), opened by its kind.
    TDroppedKind DropFiles(const QStringList& files);

    // Held by tests: called on the loading worker (TProtocolLoader).
    void SetLoaderHook(std::function<void(int)> hook) { FLoaderHook = std::move(hook); }

private:
    TSession& FSession;
    TWindowArea& FArea;
    QWidget* FParent;
    TOpenOther FOpenOther;
    // the protocol windows opened here, to find a file shown already
    QList<QPointer<TfProtocolForm>> FOpened;
    QStringList FLoading; // canonical names of the files being loaded
    std::function<void(int)> FLoaderHook;
};

} // namespace vaskel
