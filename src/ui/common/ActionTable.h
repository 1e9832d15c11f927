#pragma once
// Every user command of the program in one table: name, caption, hint,
// shortcut, icon, place in the menus and on the main tool bar, and the rule
// that enables it. The actions are built once from the table; code refers
// to them by their TAct constant, never by a text.

#include "link/AutonomousRecording.h"
#include "link/DeviceStatus.h"

#include <QKeySequence>
#include <QObject>
#include <array>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;
class QStyle;
class QToolBar;

namespace vaskel {

class TfChildWindow;

// The actions, named as in the rest of the program.
enum class TAct {
    EditUndo1,
    EditCopy1,
    EditCut1,
    EditPaste1,
    EditSelectAll,
    EditDelete,
    acPrintProtokoll,
    acAufzeichnen,
    acOeffnen,
    acV1ImportProtocol,
    FileExit1,
    FilePrintSetup1,
    WindowClose1,
    WindowCascade1,
    WindowTileHorizontal1,
    WindowTileVertical1,
    WindowMinimizeAll1,
    WindowArrange1,
    acWindowCloseAll,
    acAntwortNew,
    acAntwortlisteOeffnen,
    actCreateAntwortFromProtocol,
    acV1ImportAnwortliste,
    acAufruflisteNew,
    acAufruflisteOeffnen,
    acV1ImportAufrufliste,
    acDatensatz,
    acFilterWindow,
    actOpenAddressForm,
    acMasterOnOff,
    acAufrufOnOff,
    acAntwortOnOff,
    actResetOverloaded,
    acSendFromProtocoll,
    acSearch,
    acEinstellungen,
    acComPort,
    acUseWindowsPattern,
    acUseZKPattern,
    actShowHideMainToolbar,
    actShowHideProtocolToolbar,
    actShowHideModeArea,
    actShowAll,
    actHideAll,
    acHexConverter,
    acShowHardwarerevision,
    acAbout,
    acCreateDebuggerLog,
    actFirmwareUpdate,
    actSaveUSBThreadDebug,
    HelpContents1,
    acWhatsThis,
    actAddressTranslationOn,
    actAddressTranslationOff,
    mmSpeichern,
    mmSpeichernUnter,
    // autonomous recording: the panel and its five commands
    actShowOfflineMode,
    actOfflineModeToogle,
    actOfflineModeErase,
    actOfflineDataGet,
    actOfflineModeFlash,
    actOfflineModeStop,
    // the communication windows
    actDebugWindow,
    actDeviceMessageWindow,
    actCommunicationWindow,
    Count,
    Separator = Count // a line between entries of a menu or tool bar
};

// When an action is enabled.
enum class TEnable {
    Always,
    NotYet, // the window or dialog it opens is not part of this version
    DeviceInfo,
    Monitor,
    SendFromProtocol,
    MasterSwitch,
    ResetOverload,
    AnyWindow,
    ActiveCanFind,
    ActiveCanSave,
    ActiveCanSaveAs,
    AddressTranslation, // the device is online and a translation is defined
    MasterSimulation,   // the device is or could become bus master, or a list is active
    SlaveSimulation,    // the device is online
    DeviceOnline,
    OfflineActivate,    // autonomous recording can be switched on
    OfflineStop,        // autonomous recording can be switched off
    OfflineInactive,    // the recorded data can be read, erased, formatted
    FirmwareUpdate,     // the device is online (the firmware display's rule)
};

struct TActionSpec {
    TAct Id;
    const char* Name;    // object name of the action
    const char* Caption; // German; shown in the active language
    const char* Hint;    // German; may be null
    QKeySequence Shortcut;
    const char* Icon; // icon name; null: none
    TEnable Enable;
    bool Checkable = false;
    bool Checked = false;
    bool Visible = true;
};

// The menus of the main window, in their order.
enum class TMenuId {
    File,
    Edit,
    View,
    ViewShowHide,
    Simulation,
    Configuration,
    Options,
    Window,
    Help,
    Diagnostics,
    Count
};

struct TMenuSpec {
    TMenuId Id;
    const char* Caption;     // German
    int Parent;              // index of the parent menu; -1: the menu bar
    std::vector<TAct> Items; // TAct::Separator for a line
};

const std::vector<TActionSpec>& ActionSpecs();
const std::vector<TMenuSpec>& MenuSpecs();
const std::vector<TAct>& MainToolBarSpec();

// What the enabling rules look at.
struct TActionState {
    TDeviceDisplay Display;
    TfChildWindow* Active = nullptr;
    int Windows = 0;
    bool AddressTranslationUsable = false;
    bool MasterSimulationPossible = false;
    bool DeviceOnline = false;
    TAutonomousDisplay Autonomous;
};
bool ActionEnabled(TEnable rule, const TActionState& state);

// The built actions, owned by the main window.
class TActionTable {
public:
    explicit TActionTable(QObject* owner);

    QAction* operator[](TAct id) const { return FActions[static_cast<int>(id)]; }
    // The menus of MenuSpecs() on the menu bar; returns them by id.
    std::array<QMenu*, static_cast<int>(TMenuId::Count)> BuildMenus(QMenuBar* bar) const;
    void FillToolBar(QToolBar* bar) const;
    // Sets every action's enabled state by its rule.
    void ApplyRules(const TActionState& state) const;

private:
    std::array<QAction*, static_cast<int>(TAct::Count)> FActions{};
};

} // namespace vaskel
