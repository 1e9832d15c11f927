#pragma once
// What a window asks of the main window: the program's actions for its own
// menus and buttons, and the commands only the main window carries out
// (with their questions and messages). The main window implements it; a
// window finds it with MainWindowOf, and asks nothing while there is none
// (a window tested alone).

#include <QString>

class QObject;

namespace vaskel {

class TActionTable;

class IMainWindow {
public:
    virtual ~IMainWindow() = default;
    virtual const TActionTable& Actions() const = 0;
    // Opens the monitor (tiled: beside an opened protocol); a monitor
    // already open stays as it is.
    virtual void ShowMonitor(bool tiled) = 0;
    // The tip at the send delay's factor (a protocol starts to play).
    virtual void ShowSendDelayTip() = 0;
    // Activates a list with the main window's messages, or switches the
    // simulation (and with it the active list) off.
    virtual void ActivateCallList(const QString& file) = 0;
    virtual void SwitchMasterSimulation() = 0;
    virtual void ActivateResponseList(const QString& file) = 0;
    virtual void SwitchSlaveSimulation() = 0;
    // A short note in the status bar.
    virtual void ShowStatusMessage(const QString& text) = 0;
};

// The program's main window: the first parent of a window (or of another
// object of the windows) that is one, else the top-level window that is
// one; null when there is none.
IMainWindow* MainWindowOf(const QObject* window);
// Its actions; null when there is none.
const TActionTable* ActionsOf(const QObject* window);

} // namespace vaskel
