#pragma once
// TCallListCommands: the main window's commands of call lists and of the
// master simulation: a new list, opening one (from the dialog, by name),
// "Mastersimulation ..." with its question, activating a list (with the
// error box of a broken one), the action's check mark and picture, the
// active-list line of the mode area and its double click.

#include "simulation/Scheduler.h"

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
class TfAufrufListenForm;

class TCallListCommands : public QObject {
public:
    struct THooks {
        // Opens the live monitor when none is open.
        std::function<void()> OpenMonitor;
        std::function<bool()> MonitorOpen;
        // The windows look at the session again.
        std::function<void()> RefreshWindows;
        // Asks for the list to activate (the open dialog; tests answer it).
        std::function<QString()> AskOpenFile;
    };

    TCallListCommands(TSession& session, TWindowArea& area, TModeArea& modeArea,
                      const TActionTable& actions, QWidget* window, THooks hooks);

    // "Aufrufliste neu".
    TfAufrufListenForm* New();
    // An editor made elsewhere (an import) joins the others.
    void Adopt(TfAufrufListenForm* form);
    // "Aufrufliste öffnen ...": the dialog, then the editor.
    TfAufrufListenForm* OpenAsked();
    // Opens a list in an editor; an editor that shows it already comes to
    // the front; null when the file is not there or is no call list.
    TfAufrufListenForm* Open(const QString& file);
    // "Mastersimulation ...": switches the active list off, or asks for one
    // (switching the device to master first).
    void OnOff();
    // Activates a list (it replaces the active one); a broken list shows the
    // error box and leaves none active.
    TCallListActivation Activate(const QString& file);
    // The device becomes bus master without a question, then the list is
    // activated (unattended start); false when the device did not become
    // master within waitMs.
    bool ActivateUnattended(const QString& file, int waitMs);
    // The active-list line was double-clicked.
    void ActiveLineDoubleClicked();
    // Asks for the list to activate instead of the open dialog (tests).
    void SetAskOpenFile(std::function<QString()> ask) { FHooks.AskOpenFile = std::move(ask); }

private:
    // Shows the active list: the action's check mark and picture, the line.
    void ShowActive(const QString& file);
    // Switches the device to master and waits up to ms for it.
    bool SwitchToMaster(int ms);
    QString AskOpen();

    TSession& FSession;
    TWindowArea& FArea;
    TModeArea& FModeArea;
    const TActionTable& FActions;
    QWidget* FWindow;
    THooks FHooks;
    TListEditors<TfAufrufListenForm> FEditors;
};

} // namespace vaskel
