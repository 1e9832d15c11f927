#pragma once
// TfMainForm: the multi-document main window of Vaskel. It puts together
// the actions (menus and tool bar), the window area, the mode-and-status
// area with the direct input, and the status bar, all on the session; it
// opens the live monitor and files, and ends the program.

#include "link/DeviceStatus.h"
#include "ui/common/ActionTable.h"
#include "ui/common/ChildWindow.h"
#include "ui/common/MainWindowLink.h"
#include "ui/main/FileOpening.h"

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QSpinBox;
class QTimer;
class QToolBar;
class QToolButton;

namespace vaskel {

class TCallListCommands;
class TResponseListCommands;
class TDeviceWindows;
class TV1Imports;
class TDirectInputBox;
class TLed;
class TModeArea;
class TSession;
class TVirtualUsb;
class TWindowArea;
class TfChildWindow;
class TfMonitorForm;
class TfProtocolForm;
class TfUploadProgramForm;
class ITimerFactory;

class TfMainForm : public QMainWindow, public IMainWindow {
public:
    struct TOptions {
        TVirtualUsb* Virtual = nullptr; // shows the "Virtuelles Gerät" menu
        bool StartDevice = true;        // false: tests drive the connection
        // Opens a file of the given kind (the windows of later parts).
        TFileOpening::TOpenOther OpenFile;
        // Unattended recording: the monitor's rows are written here when the
        // program ends, without asking.
        QString SaveOnExit;
        // Told when the recording cannot be written to SaveOnExit (with where
        // it was kept instead); absent: a warning on the debug output.
        std::function<void(const QString& message)> SaveOnExitFailed;
        // Offer a safety copy left by an abnormal end about a second after
        // the window is shown.
        bool OfferSafetyCopy = true;
        // The scenario of the virtual Tavrin (--virtual-device): the title
        // says the program runs on it. Empty: a Tavrin on USB.
        QString VirtualScenario;
    };

    TfMainForm(TSession& session, TOptions options);
    ~TfMainForm() override;

    TSession& Session() { return FSession; }
    QAction* Action(TAct id) const { return (*FActions)[id]; }

    // IMainWindow: what the other windows ask of it
    const TActionTable& Actions() const override { return *FActions; }
    void ShowMonitor(bool tiled) override;
    void ShowSendDelayTip() override;
    void ActivateCallList(const QString& file) override;
    void SwitchMasterSimulation() override;
    void ActivateResponseList(const QString& file) override;
    void SwitchSlaveSimulation() override;
    void ShowStatusMessage(const QString& text) override;
    QToolBar* MainToolBar() const { return FToolBar; }
    QToolButton* AddressTranslationButton() const { return FAddressButton; }
    TWindowArea* Area() const { return FArea; }
    TModeArea* ModeArea() const { return FModeArea; }
    TDirectInputBox* DirectInputBox() const { return FDirect; }
    QLabel* StatusPanel(int index) const { return FPanels[index]; }

    // The one dropped file that counts (the first), opened by its kind.
    TDroppedKind DropFiles(const QStringList& files);

    void ApplyDisplay(const TDeviceDisplay& d);
    // "Aufzeichnen (Monitor)": opens the live monitor (or shows the open one).
    TfMonitorForm* OpenMonitor();
    TfMonitorForm* Monitor() const;
    TfProtocolForm* OpenProtocol(const QString& file);
    TFileOpening& FileOpening() { return *FFiles; }
    // "Protokoll öffnen ...": the open dialog, then the protocol window.
    void OpenProtocolAsked();
    TfProtocolForm* OfferSafetyCopy();
    // The call lists and the master simulation.
    TCallListCommands* CallLists() const { return FCalls; }
    // The response lists and the slave simulation.
    TResponseListCommands* ResponseLists() const { return FResponses; }
    // The autonomous-recording bar and the communication windows.
    TDeviceWindows* DeviceWindows() const { return FDeviceWindows; }
    // The imports of version-1 tables.
    TV1Imports* V1Imports() const { return FV1Imports; }
    // "IBIS Adressumsetzung ...": the table window, modal.
    void OpenAddressForm();
    // "Firmware Update ausführen ...": the open upload window to the front,
    // else the file dialog (remembered folder and file), then the window.
    void FirmwareUpdate();
    // The upload window for a file, shown modally (the open one, if any);
    // timers: the upload's clock (null: the window timers).
    TfUploadProgramForm* OpenFirmwareUpload(const QString& file, ITimerFactory* timers = nullptr);
    TfUploadProgramForm* FirmwareUploadWindow() const;
    // The program speaks this language (1 German, 2 English) from now on:
    // the setting, the texts of every window, the menu's check mark. Nothing
    // is closed or restarted.
    void SwitchLanguage(int language);
    // "Vaskel", or on the virtual Tavrin "Vaskel - virtuelles Gerät (scenario)".
    void ShowTitle();

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    // The unattended recording in the data folder when its target failed;
    // the file written, empty when that failed too.
    QString KeepUnsavedRecording();
    void ConnectActions();
    void BuildMenus();
    void BuildLanguageMenu(QMenu* options);
    void BuildVirtualDeviceMenu(QMenu* diag);
    void BuildStatusBar();
    void ObserveSession();
    void MasterOnOff();
    void ShowDeviceInfo();
    void ResetOverloadAsked();
    void SetColourScheme(bool windows);
    // The "Bearbeiten" menu: on the focused text field, else on the active
    // window's table.
    void RunEditCommand(TEditCommand command);
    // The actions follow the device display and the active window.
    void UpdateActions();
    // The windows look at the session again; the send-delay factor follows.
    void RefreshWindows();
    // "Aus Protokoll senden ...": master on, open a protocol, play it back.
    void SendFromProtocol();
    // The monitor beside an opened protocol.
    void OpenMonitorTiled();
    void ShowActiveProtocolWindow();
    // The address translation's switch on the tool bar, after the
    // translation window's button.
    void BuildAddressTranslationButton();
    void SetAddressTranslationMode(int mode);
    // The data folder lies outside the documents folder: where it is.
    void TellDataFolder();
    // The size and place of the last run (a place off every screen is
    // dropped); kept in the settings as the program ends.
    void RestoreGeometry();
    void KeepGeometry();

    TSession& FSession;
    TOptions FOptions;
    std::unique_ptr<TActionTable> FActions;
    std::unique_ptr<TFileOpening> FFiles;
    TWindowArea* FArea = nullptr;
    QToolBar* FToolBar = nullptr;
    QToolButton* FAddressButton = nullptr;
    QToolBar* FModeBar = nullptr;
    TModeArea* FModeArea = nullptr;
    TDirectInputBox* FDirect = nullptr;
    QLabel* FPanels[3] = {};
    QTimer* FBlinkTimer = nullptr;
    TDeviceDisplay FDisplay;
    bool FAfterShowDone = false;
    // a safety copy found at start in unattended mode stays for the next start
    bool FKeepSafetyCopy = false;
    QPointer<TfMonitorForm> FMonitor;
    QPointer<TfUploadProgramForm> FUpload;
    TCallListCommands* FCalls = nullptr;
    TResponseListCommands* FResponses = nullptr;
    TDeviceWindows* FDeviceWindows = nullptr;
    TV1Imports* FV1Imports = nullptr;
};

} // namespace vaskel
