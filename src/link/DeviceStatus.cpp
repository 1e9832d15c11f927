#include "link/DeviceStatus.h"

#include "telegram/TextConventions.h"

namespace vaskel {

namespace DeviceTexts {
const char* const kMasterAus = "Master aus";
const char* const kMasterEin = "Master ein";
const char* const kFirmwareRevision = "Firmware-Version: %s";
const char* const kNoWBSD = "Es liegt keine Spannung am IBIS-Sendebus an. (WBSD)";
const char* const kNoWBED = "Es liegt keine Spannung am IBIS-Empfangsbus an. (WBED)";
const char* const kNoPower = "Es liegt keine externe Spannung an.";
const char* const kMasterMissing = "Fehlt m\xF6glicherweise der IBIS-Master?";
const char* const kBusMissing = "Ist der IBIS-Wagenbus \xFC"
                                "berhaupt angeschlossen?";
const char* const kMasterDetected1 = "Es wurde ein aktiver IBIS-Master am Bus erkannt.";
const char* const kMasterDetected2 =
    "Das Ger\xE4t kann daher nicht in den Master Modus geschaltet werden.";
const char* const kOverloadTitle = "Warnung";
const char* const kOverloadText =
    "Es liegt ein Kurzschluss auf dem Wagenbus vor.\r\n"
    "Beheben Sie den Kurzschluss und klicken Sie auf die rote LED, \r\n"
    "um danach den \xDC"
    "berlastschutz zur\xFC"
    "ckzusetzen.";
const char* const kResetOverloadQuestion = "M\xF6"
                                           "chten Sie den \xDC"
                                           "berlast-Schutz tats\xE4"
                                           "chlich zur\xFC"
                                           "cksetzen?";
} // namespace DeviceTexts

void TDeviceStatus::SetHardwareRevision(const std::string& v) {
    const std::string t(TrimBlanks(v));
    if (t != FRevision) FChanged = true;
    FRevision = t;
}

void TDeviceStatus::Reset() {
    FOnline = FWBSD = FWBED = FOverloaded = FMaster = FPower = FOfflineActive = FOfflineAvailable =
        false;
    FRevision = "unbekannt";
    FChanged = true;
}

TDeviceDisplay ComputeDeviceDisplay(const TDeviceStatus& s, bool monitorOpen) {
    using namespace DeviceTexts;
    TDeviceDisplay d;
    const bool online = s.DeviceOnline();
    d.DeviceInfoEnabled = online && !s.HardwareRevision().empty();
    d.MonitorEnabled = online && !monitorOpen;
    d.MasterSwitchEnabled = s.MasterPossible();
    d.MasterChecked = s.Master();
    d.MasterCaption = s.Master() ? kMasterAus : kMasterEin;
    d.FirmwareEnabled = online;
    d.SendFromProtocolEnabled = s.MasterPossible();
    d.DirectSendEnabled = s.Master();
    d.FirmwarePanel = FormatText(kFirmwareRevision, {s.HardwareRevision()});
    d.StatusGroupEnabled = online;
    if (online) {
        d.LedWBED = s.WBED();
        d.LedWBSD = s.WBSD();
        d.LedOverload = s.Overloaded();
        d.LedMaster = s.Master();
        d.LedEin = true;
        d.EinBlinking = !s.ExternalPowerOK();
        d.ResetOverloadEnabled = s.Overloaded();
        d.OverloadBalloon = s.Overloaded() && s.Master();
        d.ShowMasterPanel = s.Master();
        d.ShowSlavePanel = !s.Master();
        if (!s.Master()) {
            d.WarningPanelVisible = !(s.WBSD() && s.WBED());
            d.NoSendLineVoltage = !s.WBSD() && s.ExternalPowerOK();
            d.NoAnswerLineVoltage = !s.WBED() && s.ExternalPowerOK();
            d.NoExternalPower = !s.ExternalPowerOK();
            d.WarningSecondLine = s.ExternalPowerOK() ? kMasterMissing : kBusMissing;
            d.MasterDetected = !s.CanSwitchToMaster();
        }
    }
    return d;
}

TDeviceConnection::TDeviceConnection(TEnvironment& env, TDeviceStatus& status, THooks hooks)
    : FEnv(env), FStatus(status), FHooks(std::move(hooks)) {}

TDeviceConnection::~TDeviceConnection() {
    FController.reset();
}

bool TDeviceConnection::Send(const std::string& bytes) {
    return FController && FController->SendRequest(bytes);
}

void TDeviceConnection::SendTimeouts() {
    Send(Cmd::MasterTimeout(FEnv.MasterTimeout()));
    Send(Cmd::SlaveTimeout(FEnv.SlaveTimeOut()));
}

void TDeviceConnection::ConnectDevice() {
    FController.reset();
    FUnansweredSince.reset();
    FEnv.SetComPort(255);
    FStatus.Reset();
    FAutonomous.Reset();
    UpdateDeviceStatusDisplay();
    if (FHooks.CreateController) FController = FHooks.CreateController();
    if (!FController && FHooks.Beep) FHooks.Beep();
    StateChange(eAct, 0);
}

void TDeviceConnection::StateChange(TEvent event, int value) {
    auto trace = [&](const std::string& s) {
        FEnv.Debugger().AddAction(s, "");
        if (FHooks.Trace) FHooks.Trace(s);
    };
    const std::string v = std::to_string(value), st = std::to_string(FVState);
    switch (event) {
    case eStart:
        trace("StateChange: eStart - Value: " + v + " - vState: " + st);
        ConnectDevice();
        if (FController) {
            FCTSWegCount = 0;
            Send(Cmd::StatusRequest());
            FVState = 1;
        } else {
            FCTSWegCount = 3;
            FVState = 0;
        }
        if (FHooks.ComTimer) FHooks.ComTimer(true);
        break;
    case eTimer:
        trace("StateChange: eTimer - Value: " + v + " - vState: " + st +
              " - CTSWegCount: " + std::to_string(FCTSWegCount));
        trace(FController ? "WBCTS Zustand: aktiv" : "WBCTS Zustand: inaktiv");
        ++FTicks;
        if (FController) {
            // A device that stopped answering is not shown as online.
            if (FStatus.DeviceOnline() && FUnansweredSince &&
                NowMs() - *FUnansweredSince >= kStatusSilenceMs) {
                trace("WBCTS: no status answer for " + std::to_string(NowMs() - *FUnansweredSince) +
                      " ms");
                ++FCTSWegCount;
                LinkLost();
            }
            if (Send(Cmd::StatusRequest()) && !FUnansweredSince) FUnansweredSince = NowMs();
            if (FVState == 0) FVState = 1;
        }
        // autonomous recording: the one-second check
        if (FRecordCountQuery && !FStatus.OfflineModeAvailable()) {
            FStatus.SetOfflineModeAvailable(false);
            FRecordCountQuery = false;
            FAutonomous.QueryUnanswered();
            AutonomousChanged();
        }
        if (FStatus.OfflineModeActive()) Send(Cmd::QueryRecordCount());
        break;
    case eStatus: {
        trace("StateChange: eStatus - Value: " + v + " - vState: " + st);
        FUnansweredSince.reset();
        const auto b = static_cast<uint8_t>(value);
        if (b & 0x20) {
            Send(Cmd::ResetOverload());
            if (FController) FController->SetMode(FStatus.Master() ? 1 : 0);
            Send(Cmd::VersionRequest());
            SendTimeouts();
        } else if (FVState == 1) {
            Send(Cmd::VersionRequest());
            SendTimeouts();
        }
        ProcessStatusByte(b);
        FVState = 2;
        break;
    }
    case eNope:
        trace("StateChange: eNope - Value: " + v + " - vState: " + st);
        // the program ends: nothing is to be recorded any more
        FDisplay.MonitorEnabled = false;
        if (FHooks.UpdateDisplay) FHooks.UpdateDisplay(FDisplay);
        if (FHooks.ComTimer) FHooks.ComTimer(false);
        break;
    case eAct:
        trace("StateChange: eAct - Value: " + v + " - vState: " + st);
        if (FHooks.ComTimer) FHooks.ComTimer(true);
        break;
    }
}

void TDeviceConnection::ProcessStatusByte(uint8_t b) {
    if (FStatus.OfflineModeAvailable()) FStatus.SetOfflineModeActive(b & 0x01);
    FStatus.SetOverloaded(b & 0x04);
    FStatus.SetWBSD(!(b & 0x08));
    FStatus.SetWBED(!(b & 0x10));
    FStatus.SetExternalPowerOK(b & 0x40);
    const bool master = b & 0x80;
    if (master != FStatus.Master()) {
        FStatus.SetMaster(master);
        if (FController) FController->SetMode(master ? 1 : 0);
    }
    if (b & 0x20) {
        FStatus.SetDeviceOnline(false);
        FStatus.SetDeviceOnline(true);
        FEnv.SetResetTG(true);
        if (FHooks.DeviceRestarted) FHooks.DeviceRestarted();
    }
    if (!FStatus.DeviceOnline()) {
        FStatus.SetDeviceOnline(true);
        Send(Cmd::ResetOverload());
        if (FController) FController->SetMode(FStatus.Master() ? 1 : 0);
    }
    if (FStatus.HardwareRevision() == "unbekannt") Send(Cmd::VersionRequest());
    if (FStatus.StatusHasChanged()) UpdateDeviceStatusDisplay();
}

void TDeviceConnection::UpdateDeviceStatusDisplay() {
    FDisplay = ComputeDeviceDisplay(FStatus, FHooks.MonitorOpen && FHooks.MonitorOpen());
    // An overload in slave mode is reset at once.
    if (FStatus.DeviceOnline() && FStatus.Overloaded() && !FStatus.Master())
        Send(Cmd::ResetOverload());
    if (FStatus.DeviceOnline()) {
        if (!FStatus.OfflineModeAvailable()) {
            Send(Cmd::QueryRecordCount());
            FRecordCountQuery = true;
        }
    } else {
        FRecordCountQuery = false;
    }
    if (FHooks.UpdateDisplay) FHooks.UpdateDisplay(FDisplay);
    AutonomousChanged();
}

void TDeviceConnection::HandleNotification(const TControllerNotification& n) {
    switch (n.Msg) {
    case TControllerMessage::FMsgStatus:
        StateChange(eStatus, static_cast<int>(n.WParam));
        break;
    case TControllerMessage::FMsgVersion:
        FStatus.SetHardwareRevision(n.Text);
        if (FStatus.StatusHasChanged()) UpdateDeviceStatusDisplay();
        break;
    case TControllerMessage::FMsgRecordCount:
        FStatus.SetOfflineModeAvailable(true);
        FRecordCountQuery = false;
        FAutonomous.RecordCount(n.WParam);
        if (FHooks.RecordCount) FHooks.RecordCount(n.WParam);
        AutonomousChanged();
        break;
    case TControllerMessage::FMsgUploadReply:
        if (FHooks.UploadReply) FHooks.UploadReply(n.Upload);
        break;
    case TControllerMessage::FMsgLinkUp:
        FCTSWegCount = 0;
        break;
    case TControllerMessage::FMsgLinkDown:
        LinkLost();
        break;
    case TControllerMessage::FMsgMasterTelegramm:
        if (FHooks.Capture) FHooks.Capture(n.Record, 'M');
        if (FController) FController->ReleaseMasterRecord(static_cast<uint8_t>(n.WParam));
        break;
    case TControllerMessage::FMsgSlaveTelegramm:
        if (FHooks.Capture) FHooks.Capture(n.Record, 'S');
        if (FController) FController->ReleaseSlaveRecord(static_cast<uint8_t>(n.WParam));
        break;
    default:
        break;
    }
}

void TDeviceConnection::LinkLost() {
    FStatus.Reset();
    FAutonomous.Reset();
    FUnansweredSince.reset();
    if (FController) FController->SetMode(0);
    UpdateDeviceStatusDisplay();
    FVState = 0;
}

int64_t TDeviceConnection::NowMs() const {
    return FHooks.NowMs ? FHooks.NowMs() : FTicks * 1000;
}

void TDeviceConnection::ResetOverload() {
    if (FStatus.Overloaded() && FController) Send(Cmd::ResetOverload());
}

void TDeviceConnection::Shutdown() {
    if (FController) {
        Send(Cmd::ClearResponseList());
        FController->SetMode(0);
        StateChange(eNope, 0);
        FController->Terminate(); // writes what is still queued, then ends
    }
}

} // namespace vaskel
