#pragma once
// TV1Imports: the three imports of the previous program generation's
// tables ("V1.x ... importieren ..."): the open dialog, the table read into
// a new window of the current kind (a response-list editor, a call-list
// editor, a protocol window), marked modified so that the user saves it in
// the current format. A table that does not fit gives the import's error
// box and no window; the table file is only read.

#include "import/V1Import.h"

#include <QObject>
#include <QString>
#include <functional>

class QWidget;

namespace vaskel {

class TActionTable;
class TSession;
class TWindowArea;
class TfAntwortListenForm;
class TfAufrufListenForm;
class TfProtocolForm;
struct TFileDialogSpec;

// The open dialogs of the three imports.
TFileDialogSpec V1ResponseListDialog();
TFileDialogSpec V1CallListDialog();
TFileDialogSpec V1ProtocolDialog(const QString& folder);

class TV1Imports : public QObject {
public:
    struct THooks {
        // The editors made here join the other editors of their kind.
        std::function<void(TfAntwortListenForm*)> ShowResponseEditor;
        std::function<void(TfAufrufListenForm*)> ShowCallEditor;
        // Ask for the file instead of the dialog (tests).
        std::function<QString(const TFileDialogSpec&)> AskFile;
        // Asked before each protocol record is read (tests): true cancels,
        // as the progress dialog's button does.
        std::function<bool(int)> CancelProtocolAt;
    };

    TV1Imports(TSession& session, TWindowArea& area, const TActionTable& actions, QWidget* window,
               THooks hooks);

    // Each: the dialog, then the new window; null when cancelled or after
    // the error box.
    TfAntwortListenForm* ImportResponseList();
    TfAufrufListenForm* ImportCallList();
    TfProtocolForm* ImportProtocol();

    void SetAskFile(std::function<QString(const TFileDialogSpec&)> ask) {
        FHooks.AskFile = std::move(ask);
    }
    void SetCancelProtocolAt(std::function<bool(int)> cancel) {
        FHooks.CancelProtocolAt = std::move(cancel);
    }

private:
    QString Ask(const TFileDialogSpec& spec);
    void ShowError(TV1Kind kind);

    TSession& FSession;
    TWindowArea& FArea;
    QWidget* FWindow;
    THooks FHooks;
};

} // namespace vaskel
