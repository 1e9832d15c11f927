#pragma once
// TDeviceWindows: the device-management windows of the main window. The
// autonomous-recording bar (shown by "Autonomes Aufzeichnen" in the file
// menu) with its five commands, and the three windows of the diagnostics
// menu: "Debug Fenster", "Gerätenachrichten anzeigen" and
// "Kommunikationsfenster öffnen". Each window exists at most once; asked
// for again it comes to the front.

#include "ui/device/CommunicationForm.h"
#include "ui/device/DebugOutputForm.h"

#include <QObject>
#include <QPointer>

class QMainWindow;
class QToolBar;

class QMenu;

namespace vaskel {

class TActionTable;
class TAutonomousPanel;
class TSession;

class TDeviceWindows : public QObject {
public:
    TDeviceWindows(TSession& session, const TActionTable& actions, QMainWindow* main);

    TAutonomousPanel* Panel() const { return FPanel; }
    QToolBar* PanelBar() const { return FPanelBar; }

    TfCommunicationForm* OpenCommunication();
    TfDebugOutputForm* OpenDebug();
    // Opens the device messages or brings them to the front; while a modal
    // window is up (the firmware upload) they open over it, reachable, and
    // go back to the main window when it closes.
    TfDebugOutputForm* OpenDeviceMessages();
    // Appends the open log windows to the window menu as it opens (after
    // the windows of the area); choosing one brings it to the front.
    void AddOpenWindowsTo(QMenu* menu);
    TfCommunicationForm* Communication() const { return FCommunication; }
    TfDebugOutputForm* Debug() const { return FDebug; }
    TfDebugOutputForm* DeviceMessages() const { return FMessages; }

    // The five commands of autonomous recording (nothing without a
    // controller).
    void ActivateAutonomous();
    void StopAutonomous();
    void TransferRecordedData();
    void FormatFlash();
    void EraseRecordedData();

private:
    TSession& FSession;
    QMainWindow* FMain;
    QToolBar* FPanelBar = nullptr;
    TAutonomousPanel* FPanel = nullptr;
    QPointer<TfCommunicationForm> FCommunication;
    QPointer<TfDebugOutputForm> FDebug;
    QPointer<TfDebugOutputForm> FMessages;
};

} // namespace vaskel
