#pragma once
// TResponseListCommands: the main window's commands of response lists and
// of the slave simulation: a new list, opening one (from the dialog, by
// name), "Slavesimulation ..." with its question, activating a list (with
// the error box of a broken one and the row it names), the reload after a
// device restart, the action's check mark and its four pictures, the
// active-list line of the slave group and its double click, and a response
// list made from a recorded protocol.

#include "simulation/SlaveSimulation.h"

#include "ui/main/ListEditors.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class QWidget;

namespace vaskel {

class TActionTable;
class TModeArea;
class TSession;
class TWindowArea;
class TfAntwortListenForm;

class TResponseListCommands : public QObject {
public:
    struct THooks {
        // Opens the live monitor when none is open.
        std::function<void()> OpenMonitor;
        std::function<bool()> MonitorOpen;
        // The windows look at the session again.
        std::function<void()> RefreshWindows;
        // Switches the device to slave (acMasterOnOff) when it is bus master.
        std::function<void()> SwitchToSlave;
        // Ask for a file instead of the open dialog (tests): the list to
        // activate, and the protocol to make a list from.
        std::function<QString()> AskOpenFile;
        std::function<QString()> AskProtocolFile;
    };

    TResponseListCommands(TSession& session, TWindowArea& area, TModeArea& modeArea,
                          const TActionTable& actions, QWidget* window, THooks hooks);

    // "Antwortliste neu".
    TfAntwortListenForm* New();
    // "Antwortliste öffnen ...": the dialog, then the editor.
    TfAntwortListenForm* OpenAsked();
    // Opens a list in an editor; an editor that shows it already comes to
    // the front; null when the file is not there or is no response list.
    TfAntwortListenForm* Open(const QString& file);
    // "Slavesimulation ...": switches the active list off, or asks for one
    // (switching the device to slave first).
    void OnOff();
    // Activates a list (it replaces the active one); a broken list shows the
    // error box (naming the row) and leaves none active.
    TResponseActivation Activate(const QString& file);
    // The device becomes a slave without a question, then the list is
    // activated (unattended start); false when it failed.
    bool ActivateUnattended(const QString& file, int waitMs);
    // "Antwortliste aus Protokoll erstellen ...": the new editor (unnamed,
    // modified), or null after the message.
    TfAntwortListenForm* CreateFromProtocol();
    // An editor made elsewhere (an import) joins the others.
    void Adopt(TfAntwortListenForm* form);
    // The active-list line was double-clicked.
    void ActiveLineDoubleClicked();
    void SetAskOpenFile(std::function<QString()> ask) { FHooks.AskOpenFile = std::move(ask); }
    void SetAskProtocolFile(std::function<QString()> ask) {
        FHooks.AskProtocolFile = std::move(ask);
    }
    // Picks the switch's picture (after the settings dialog, too).
    void ShowPicture();

private:
    void ShowActive(const QString& file);
    // The list could not be loaded again after a device restart.
    void ReloadFailed();
    QString AskOpen();

    TSession& FSession;
    TWindowArea& FArea;
    TModeArea& FModeArea;
    const TActionTable& FActions;
    QWidget* FWindow;
    THooks FHooks;
    TListEditors<TfAntwortListenForm> FEditors;
};

} // namespace vaskel
