#pragma once
// TfMainForm: the multi-document main window of Vaskel with its menus,
// toolbar, mode-and-status area and status bar, driving the device
// connection.

#include "link/DeviceStatus.h"
#include "link/UsbTransport.h"
#include "shell/Environment.h"
#include "telegram/TelegramParser.h"
#include "ui/QtHandOver.h"
#include "ui/main/DroppedFile.h"
#include "ui/protocol/MonitorForm.h"
#include "ui/protocol/ProtocolForm.h"
#include "ui/widgets/Led.h"

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <map>
#include <memory>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QMdiArea;
class QMenu;
class QPushButton;
class QSpinBox;
class QTimer;
class QToolBar;
class QToolButton;
class QWidget;

namespace vaskel {

class TVirtualUsb;

class TfMainForm : public QMainWindow {
public:
    struct TOptions {
        // Creates the link to the device (the USB transport, on the real
        // libusb or on the virtual Tavrin).
        std::function<std::unique_ptr<IDeviceLink>(IMainThreadHandOver&)> CreateLink;
        TVirtualUsb* Virtual = nullptr; // shows the "Virtuelles Gerät" menu
        bool StartDevice = true;        // false: tests drive the connection
        // Opens a file of the given kind (the windows of later parts).
        std::function<bool(TDroppedKind, const QString&)> OpenFile;
        // Unattended recording: the monitor's rows are written here when the
        // program ends, without asking.
        QString SaveOnExit;
        // Offer a safety copy left by an abnormal end about a second after
        // the window is shown.
        bool OfferSafetyCopy = true;
    };

    TfMainForm(TEnvironment& env, TIBISTelegramParser& parser, TOptions options);
    ~TfMainForm() override;

    TDeviceConnection& Connection() { return *FConnection; }
    TDeviceStatus& DeviceStatus() { return FStatus; }
    QAction* Action(const char* name) const;
    TLed* Led(const char* name) const;
    QLabel* StatusPanel(int index) const;
    QWidget* ModeArea() const { return FModeArea; }
    QToolBar* MainToolBar() const { return FToolBar; }
    QMdiArea* Mdi() const { return FMdi; }
    QLabel* WarningLine(int index) const;
    QGroupBox* Group(const char* name) const;
    QLabel* MasterDetectedLabel() const { return FMasterDetected; }
    QWidget* WarningPanel() const { return FWarningPanel; }
    QComboBox* DirectInput() const { return FDirectInput; }
    QPushButton* DirectSendButton() const { return FDirectSend; }
    QLabel* DirectCheckLabel() const { return FDirectCheck; }
    QPushButton* DetailInputButton() const { return FDetailInput; }
    QString LastDirectWarning() const { return FLastDirectWarning; }
    QCheckBox* FixDelayBox() const { return FFixDelay; }
    QSpinBox* FactorField() const { return FFactor; }

    // The one dropped file that counts (the first), opened by its kind.
    TDroppedKind DropFiles(const QStringList& files);

    void ApplyDisplay(const TDeviceDisplay& d);
    // "Aufzeichnen (Monitor)": opens the live monitor (or shows the open one).
    TfMonitorForm* OpenMonitor();
    TfMonitorForm* Monitor() const { return FMonitor; }
    // Opens a protocol file in a protocol window; null (after the message)
    // when it cannot be loaded.
    TfProtocolForm* OpenProtocol(const QString& file);
    // "Protokoll öffnen ...": the open dialog, then the protocol window.
    void OpenProtocolAsked();
    // A safety copy left by an abnormal end is offered and opened; returns
    // the window it was opened in.
    TfProtocolForm* OfferSafetyCopy();
    // The protocol windows, the monitor included.
    QList<TfBaseProtocolForm*> ProtocolWindows() const;
    TfBaseProtocolForm* ActiveProtocolWindow() const;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    QAction* Add(const char* name, const char* caption, const char* hint = nullptr,
                 const QKeySequence& shortcut = {}, bool enabled = true);
    void BuildActions();
    void BuildMenus();
    void BuildToolBar();
    void BuildStatusArea();
    void BuildVirtualDeviceMenu(QMenu* diag);
    void MasterOnOff();
    void ToggleView(QAction* a);
    void CloseAll();
    void ShowDeviceInfo();
    void ResetOverloadAsked();
    // "Speichern" / "Speichern unter..." follow the active window.
    void UpdateSaveActions();
    // Each opened protocol re-evaluates its playback and send button.
    void RefreshProtocolWindows();
    // "Aus Protokoll senden ...": master on, open a protocol, play it back.
    void SendFromProtocol();
    // The direct input: the live check of the typed text, and sending it.
    void DirectLiveCheck();
    void DirectSend();
    void ShowRecordTypeExamples();
    void InsertIbisHexDigit(QChar digit);
    static QStringList IbisHexMenuEntries();
    // A child window in the area, its toolbar as the view menu says.
    void AddWindow(QWidget* window);
    void ApplyWindowToolBar(QWidget* window);
    void SaveActive();

    TEnvironment& FEnv;
    TIBISTelegramParser& FParser;
    TOptions FOptions;
    TQtHandOver FHandOver;
    TDeviceStatus FStatus;
    std::unique_ptr<TDeviceConnection> FConnection;

    std::map<std::string, QAction*> FActions;
    std::map<std::string, TLed*> FLeds;
    std::map<std::string, QGroupBox*> FGroups;
    QMdiArea* FMdi = nullptr;
    QToolBar* FToolBar = nullptr;
    QWidget* FModeArea = nullptr;
    QLabel* FPanels[3] = {};
    QPushButton* FSwitchButton = nullptr;
    QToolButton* FBusTypeButton = nullptr;
    QWidget* FWarningPanel = nullptr;
    QLabel* FWarnings[4] = {};
    QLabel* FMasterDetected = nullptr;
    QPushButton* FDirectSend = nullptr;
    QLabel* FDirectDS = nullptr;
    QLabel* FDirectCheck = nullptr;
    bool FDirectBusy = false;
    QLabel* FActiveProtocol = nullptr;
    QPushButton* FDetailInput = nullptr;
    QString FLastDirectWarning;
    QString FCtrlDigits; // Ctrl + digits typed in the history drop-down
    QCheckBox* FFixDelay = nullptr;
    QSpinBox* FFactor = nullptr;
    std::function<void()> FFollowFixDelay;
    bool FLastMaster = false;
    QComboBox* FDirectInput = nullptr;
    QTimer* FComTimer = nullptr;
    QTimer* FBlinkTimer = nullptr;
    bool FOverloadWarned = false;
    bool FAfterShowDone = false;
    // a safety copy found at start in unattended mode stays for the next start
    bool FKeepSafetyCopy = false;
    std::function<void()> FShowBusType;
    QPointer<TfMonitorForm> FMonitor;
};

} // namespace vaskel
