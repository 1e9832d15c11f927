#pragma once
// The picture of the device the rest of Vaskel relies on, and the small
// state machine that connects the device, polls its status every second,
// follows its status byte and mirrors its mode into the controller.

#include "link/AutonomousRecording.h"
#include "link/Controller.h"
#include "shell/Environment.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace vaskel {

class TDeviceStatus {
public:
    bool DeviceOnline() const { return FOnline; }
    bool WBSD() const { return FWBSD; }
    bool WBED() const { return FWBED; }
    bool Overloaded() const { return FOverloaded; }
    bool Master() const { return FMaster; }
    bool ExternalPowerOK() const { return FPower; }
    const std::string& HardwareRevision() const { return FRevision; }
    bool OfflineModeActive() const { return FOfflineActive; }
    bool OfflineModeAvailable() const { return FOfflineAvailable; }

    void SetDeviceOnline(bool v) { Set(FOnline, v); }
    void SetWBSD(bool v) { Set(FWBSD, v); }
    void SetWBED(bool v) { Set(FWBED, v); }
    void SetOverloaded(bool v) { Set(FOverloaded, v); }
    void SetMaster(bool v) { Set(FMaster, v); }
    void SetExternalPowerOK(bool v) { Set(FPower, v); }
    void SetHardwareRevision(const std::string& v);
    void SetOfflineModeActive(bool v) { Set(FOfflineActive, v); }
    void SetOfflineModeAvailable(bool v) { Set(FOfflineAvailable, v); }

    // True when anything changed since the last read; reading clears it.
    bool StatusHasChanged() {
        const bool c = FChanged;
        FChanged = false;
        return c;
    }
    // All false, revision "unbekannt", changed.
    void Reset();
    bool CanSwitchToMaster() const { return FOnline && !FMaster && !FWBSD && !FWBED && FPower; }
    // Master, or could become master.
    bool MasterPossible() const { return FMaster || CanSwitchToMaster(); }

private:
    void Set(bool& field, bool v) {
        if (field != v) FChanged = true;
        field = v;
    }
    bool FOnline = false, FWBSD = false, FWBED = false, FOverloaded = false, FMaster = false,
         FPower = false, FOfflineActive = false, FOfflineAvailable = false;
    std::string FRevision = "unbekannt";
    bool FChanged = false;
};

// What the device-related controls show, derived from the status.
struct TDeviceDisplay {
    bool LedMaster = false, LedOverload = false, LedWBED = false, LedWBSD = false, LedEin = false;
    bool EinBlinking = false;
    bool MasterSwitchEnabled = false;
    std::string MasterCaption; // "Master aus" / "Master ein"
    bool MasterChecked = false;
    bool DeviceInfoEnabled = false, MonitorEnabled = false, FirmwareEnabled = false;
    bool SendFromProtocolEnabled = false, DirectSendEnabled = false;
    bool ResetOverloadEnabled = false;
    std::string FirmwarePanel; // status bar panel 1
    // the mode groups: the master group works while the device is bus master,
    // the slave group while it is a slave; offline neither, and the status
    // group is off too
    bool ShowMasterPanel = false, ShowSlavePanel = false, StatusGroupEnabled = false;
    // slave panel warnings
    bool WarningPanelVisible = false;
    bool NoSendLineVoltage = false, NoAnswerLineVoltage = false, NoExternalPower = false;
    std::string WarningSecondLine;
    bool MasterDetected = false;  // "Es wurde ein aktiver IBIS-Master am Bus erkannt." ...
    bool OverloadBalloon = false; // short circuit warning while master
};

TDeviceDisplay ComputeDeviceDisplay(const TDeviceStatus& s, bool monitorOpen);

// The texts of the device panels (Windows-1252).
namespace DeviceTexts {
extern const char* const kMasterAus;
extern const char* const kMasterEin;
extern const char* const kFirmwareRevision; // "Firmware-Version: %s"
extern const char* const kNoWBSD;
extern const char* const kNoWBED;
extern const char* const kNoPower;
extern const char* const kMasterMissing;
extern const char* const kBusMissing;
extern const char* const kMasterDetected1;
extern const char* const kMasterDetected2;
extern const char* const kOverloadTitle;
extern const char* const kOverloadText;
extern const char* const kResetOverloadQuestion;
} // namespace DeviceTexts

// The connection state machine of the main window.
class TDeviceConnection {
public:
    enum TEvent { eStart = 0, eTimer = 1, eStatus = 2, eNope = 3, eAct = 4 };

    struct THooks {
        // Creates a controller on the device link (nullptr when it fails).
        std::function<std::unique_ptr<TWBController>()> CreateController;
        // The device-related controls are to be refreshed.
        std::function<void(const TDeviceDisplay&)> UpdateDisplay;
        std::function<void(bool run)> ComTimer; // start/stop the 1 s timer
        std::function<void()> Beep;
        std::function<void(const std::string&)> Trace;
        std::function<bool()> MonitorOpen;
        // The device reported a restart: reset the master simulation and,
        // with the setting on, reload the last response list.
        std::function<void()> DeviceRestarted;
        // A captured telegram ('M' or 'S') for the live monitor.
        std::function<void(const TTelegramm&, char)> Capture;
        // A record count arrived (autonomous recording).
        std::function<void(uint32_t)> RecordCount;
        // What is known of autonomous recording changed (record count, an
        // unanswered query, a display refresh).
        std::function<void()> AutonomousChanged;
        // The device replied to an upload request (firmware upload).
        std::function<void(TUploadReplyStatus)> UploadReply;
        // Milliseconds of a steady clock; absent: every timer tick counts as
        // a second.
        std::function<int64_t()> NowMs;
    };

    // A device that has answered no status request for this long counts as
    // lost, as if its link had gone down (a stalled endpoint, a hung device).
    static constexpr int64_t kStatusSilenceMs = 3000;

    TDeviceConnection(TEnvironment& env, TDeviceStatus& status, THooks hooks);
    ~TDeviceConnection();

    void StateChange(TEvent event, int value = 0);
    void ConnectDevice();
    void SendTimeouts();
    void ProcessStatusByte(uint8_t b);
    void UpdateDeviceStatusDisplay();
    // A notification of the controller, on the main thread.
    void HandleNotification(const TControllerNotification& n);
    // The device is gone (link down, or silent): offline, slave, vState 0.
    void LinkLost();
    // The main window's send operation.
    bool Send(const std::string& bytes);
    // Program end: clear the device's list, slave mode, stop polling; then
    // the controller ends.
    void Shutdown();
    // Overload reset by the user (after the question).
    void ResetOverload();

    TWBController* Controller() { return FController.get(); }
    int VState() const { return FVState; }
    const TDeviceDisplay& Display() const { return FDisplay; }
    bool RecordCountQuery() const { return FRecordCountQuery; }
    const TAutonomousRecording& Autonomous() const { return FAutonomous; }
    TAutonomousDisplay AutonomousDisplay() const { return FAutonomous.Display(FStatus); }

private:
    TEnvironment& FEnv;
    TDeviceStatus& FStatus;
    THooks FHooks;
    std::unique_ptr<TWBController> FController;
    int FVState = 0;
    int FCTSWegCount = 0;
    bool FRecordCountQuery = false;
    TAutonomousRecording FAutonomous;
    TDeviceDisplay FDisplay;
    int64_t FTicks = 0;                      // timer ticks, the clock without NowMs
    std::optional<int64_t> FUnansweredSince; // the first status request not answered yet
    int64_t NowMs() const;
    void AutonomousChanged() {
        if (FHooks.AutonomousChanged) FHooks.AutonomousChanged();
    }
};

} // namespace vaskel
