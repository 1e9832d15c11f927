#include "link/FirmwareUpload.h"

#include "telegram/Errors.h"
#include "telegram/TextConventions.h"

#include <cstdio>

namespace vaskel {

TUploadColour UploadStateColour(TUploadState state) {
    switch (state) {
    case TUploadState::Ready:
        return TUploadColour::SkyBlue;
    case TUploadState::Transferring:
    case TUploadState::Programming:
        return TUploadColour::Yellow;
    case TUploadState::Done:
        return TUploadColour::Lime;
    default:
        return TUploadColour::Red;
    }
}

const char* UploadStateText(TUploadState state) {
    switch (state) {
    case TUploadState::NoConnection:
        return "Keine Verbindung zum Ger\xE4t!";
    case TUploadState::Ready:
        return "Bitte klicken Sie auf \"Start\", um den Upload zu starten";
    case TUploadState::Transferring:
        return "Programm wird \xFC"
               "bertragen!";
    case TUploadState::Programming:
        return "FLASH-Speicher wird programmiert!";
    case TUploadState::Done:
        return "Programm-Update erfolgreich durchgef\xFChrt!";
    case TUploadState::Cancelled:
        return "Programm-Update abgebrochen!";
    case TUploadState::ConnectionLost:
        return "Verbindung abgebrochen!";
    case TUploadState::VersionMismatch:
        return "Das Ger\xE4t meldet eine andere Programmversion!";
    }
    return "";
}

std::string UploadReportText(const TUploadReport& r) {
    const std::string device = kUploadDeviceName;
    switch (r.Problem) {
    case TUploadProblem::FileUnreadable:
        return "Kann Datei " + r.Detail + " nicht lesen!";
    case TUploadProblem::FileError:
        return FormatText("Beim Einlesen der Firmwaredatei ist folgender Fehler aufgetreten: %s",
                          {r.Detail});
    case TUploadProblem::TooLarge:
    case TUploadProblem::Incomplete:
        return FormatText("Beim Einlesen der Firmwaredatei ist folgender Fehler aufgetreten: %s",
                          {FirmwareProblemText(r.Firmware)});
    case TUploadProblem::FormatError:
        if (r.Firmware.Kind == TFirmwareProblem::TKind::BadRecord)
            return std::string(kFirmwareFormatError) + std::to_string(r.Number);
        return FirmwareProblemText(r.Firmware);
    case TUploadProblem::NoIdentity:
        return kFirmwareNoIdentity;
    case TUploadProblem::NoAnswer:
        return FormatText("Der %s hat nicht auf den Uploadwunsch geantwortet.", {device}) +
               "\r\nDer Upload wird abgebrochen. Bitte trennen Sie das Ger\xE4t, "
               "verbinden Sie es neu und versuchen Sie den Upload erneut.";
    case TUploadProblem::NotEnoughMemory:
        return FormatText("Der %s hat nicht genug Speicher f\xFCr dieses", {device}) +
               "\r\nFirmwareupdate. Der Upload wird abgebrochen.";
    case TUploadProblem::LinkLost:
        return "Die Verbindung zum Ger\xE4t ist w\xE4hrend der \xDC"
               "bertragung abgebrochen."
               "\r\nDer FLASH-Speicher wurde nicht programmiert.";
    case TUploadProblem::BlockNotSent:
        if (r.Number == 0)
            return "Der Befehl zum Programmieren konnte nicht gesendet werden.\r\n"
                   "Der FLASH-Speicher wurde nicht programmiert.";
        return FormatText("Block %d konnte nicht gesendet werden.", {std::to_string(r.Number)}) +
               "\r\nDer Upload wurde abgebrochen, bevor der FLASH-Speicher programmiert wurde.";
    case TUploadProblem::VersionMismatch:
        return FormatText("Das Ger\xE4t meldet nach dem Neustart die Version \"%s\",",
                          {r.Reported}) +
               "\r\n" +
               FormatText("die Firmwaredatei enth\xE4lt die Version \"%s\".", {r.Expected});
    }
    return "";
}

namespace {

// Bytes as two-digit hex apart by spaces, a line break and two spaces after
// every 16th.
std::string HexBytes(std::string_view bytes) {
    std::string out;
    char buf[4];
    for (std::size_t k = 0; k < bytes.size(); ++k) {
        if (k > 0) out += k % 16 == 0 ? "\r\n  " : " ";
        std::snprintf(buf, sizeof buf, "%02X", static_cast<unsigned char>(bytes[k]));
        out += buf;
    }
    return out;
}

} // namespace

TFirmwareUpload::TFirmwareUpload(ITimerFactory& timers, std::string fileName, bool deviceWasOnline,
                                 THooks hooks)
    : FTimers(timers), FFileName(std::move(fileName)), FDeviceWasOnline(deviceWasOnline),
      FHooks(std::move(hooks)),
      FState(deviceWasOnline ? TUploadState::Ready : TUploadState::NoConnection) {
    FProgTimer = FTimers.CreateTimer();
    FProgTimer->OnTimer = [this] {
        if (!FHooks.NowMs) FOwnClock += FProgTimer->Interval();
        if (FState == TUploadState::Transferring)
            TransferTick();
        else if (FState == TUploadState::Programming && FVerifying)
            VerifyTick();
        else if (FState == TUploadState::Programming)
            ProgrammingDone();
        else
            FProgTimer->Stop();
    };
    FReplyTimer = FTimers.CreateTimer();
    FReplyTimer->OnTimer = [this] {
        if (!FHooks.NowMs) FOwnClock += FReplyTimer->Interval();
        ReplyTick();
    };
}

TFirmwareUpload::~TFirmwareUpload() = default;

int64_t TFirmwareUpload::Now() const {
    return FHooks.NowMs ? FHooks.NowMs() : FOwnClock;
}

bool TFirmwareUpload::StartEnabled() const {
    return FDeviceWasOnline && !FWaitingForReply &&
           (FState == TUploadState::Ready || FState == TUploadState::Cancelled ||
            FState == TUploadState::VersionMismatch);
}

bool TFirmwareUpload::AbortEnabled() const {
    return FState == TUploadState::Transferring;
}

bool TFirmwareUpload::CloseEnabled() const {
    return !FWaitingForReply && FState != TUploadState::Transferring &&
           FState != TUploadState::Programming;
}

int TFirmwareUpload::Progress() const {
    if (FImage.BlockCount() == 0) return 0;
    return static_cast<int>(FSent * 100 / FImage.BlockCount());
}

void TFirmwareUpload::SetState(TUploadState state) {
    FState = state;
    // the device polling runs exactly while the window may close
    if (FHooks.ComTimer && CloseEnabled()) FHooks.ComTimer(true);
    if (FHooks.Changed) FHooks.Changed();
}

void TFirmwareUpload::Stop(TUploadState state, const TUploadReport* report) {
    FProgTimer->Stop();
    FReplyTimer->Stop();
    FWaitingForReply = false;
    FVerifying = false;
    if (report) FLastReport = *report;
    SetState(state);
    // the dialog comes last: the window shows its new state meanwhile
    if (report && FHooks.Report) FHooks.Report(*report);
}

bool TFirmwareUpload::ReadImage() {
    TUploadReport r;
    bool read = false;
    try {
        FImage = ReadFirmwareFile(FFileName);
        read = true;
    } catch (const EFirmwareUnreadable&) {
        r.Problem = TUploadProblem::FileUnreadable;
        r.Detail = FFileName;
    } catch (const EFirmwareFormatError& e) {
        r.Problem = TUploadProblem::FormatError;
        r.Number = e.Line;
        r.Firmware = e.Problem;
    } catch (const EFirmwareTooLarge& e) {
        r.Problem = TUploadProblem::TooLarge;
        r.Number = e.Blocks;
        r.Firmware = e.Problem;
        r.Detail = e.what();
    } catch (const EFirmwareNoEnd& e) {
        r.Problem = TUploadProblem::Incomplete;
        r.Firmware = e.Problem;
        r.Detail = e.what();
    } catch (const EFileError& e) {
        r.Problem = TUploadProblem::FileError;
        r.Detail = e.what();
    }
    if (read) {
        FExpected = FImage.Version();
        if (FImage.HasIdentity()) return true;
        r.Problem = TUploadProblem::NoIdentity;
    }
    // A file that could not be read whole is never sent: a partial image
    // must not reach the flash, even when it holds the identity.
    FImage = {};
    FExpected.clear();
    Stop(TUploadState::Cancelled, &r);
    return false;
}

void TFirmwareUpload::Start() {
    if (!StartEnabled()) return;
    if (FHooks.ComTimer) FHooks.ComTimer(false);
    FSent = 0;
    FReported.clear();
    if (!ReadImage()) return;
    const auto blocks = static_cast<uint16_t>(FImage.BlockCount());
    const std::string request = Cmd::UploadRequest(blocks);
    FReplyReceived = false;
    FReply = TUploadReplyStatus::urUndefined;
    FWaitingForReply = true;
    FRequestAt = Now();
    if (FHooks.DeviceMessage)
        FHooks.DeviceMessage(
            FormatText("-- Requesting upload of %d blocks", {std::to_string(FImage.BlockCount())}));
    // a request that cannot be sent gets no answer either
    if (FHooks.Send) FHooks.Send(request);
    if (FHooks.Changed) FHooks.Changed();
    FReplyTimer->Start(kReplyPollMs);
}

void TFirmwareUpload::ReplyArrived(TUploadReplyStatus reply) {
    if (reply == TUploadReplyStatus::urUndefined) return;
    FReply = reply;
    FReplyReceived = true;
    if (FWaitingForReply) Decide(reply);
}

void TFirmwareUpload::ReplyTick() {
    if (!FWaitingForReply) {
        FReplyTimer->Stop();
        return;
    }
    if (FReplyReceived) return Decide(FReply);
    if ((Now() - FRequestAt) / 1000 > kReplyWaitSeconds) {
        TUploadReport r;
        r.Problem = TUploadProblem::NoAnswer;
        Stop(TUploadState::Cancelled, &r);
    }
}

void TFirmwareUpload::Decide(TUploadReplyStatus reply) {
    FReplyTimer->Stop();
    FWaitingForReply = false;
    if (reply == TUploadReplyStatus::urNotEnoughMenory) {
        TUploadReport r;
        r.Problem = TUploadProblem::NotEnoughMemory;
        Stop(TUploadState::Cancelled, &r);
        return;
    }
    if (FHooks.DebugLine)
        FHooks.DebugLine("SEND COMMAND: CMD_START_FIRMWAREUPDATE) - DATA: " +
                         HexBytes(Cmd::UploadRequest(static_cast<uint16_t>(FImage.BlockCount()))));
    FSent = 0;
    FAbort = false;
    FEndSent = false;
    FLastProgressAt = Now();
    SetState(TUploadState::Transferring);
    FProgTimer->Start(kTransferIntervalMs);
}

void TFirmwareUpload::Abort() {
    if (FState == TUploadState::Transferring) FAbort = true;
}

void TFirmwareUpload::TransferTick() {
    if (FAbort) {
        FAbort = false;
        Stop(TUploadState::Cancelled, nullptr);
        return;
    }
    if (FHooks.DeviceOnline && !FHooks.DeviceOnline()) {
        TUploadReport r;
        r.Problem = TUploadProblem::LinkLost;
        Stop(TUploadState::ConnectionLost, &r);
        return;
    }
    bool stalled = false;
    for (int k = 0; k < kBlocksPerTick && FSent < FImage.BlockCount(); ++k) {
        // a block the ring cannot take now is offered again next tick
        if (!FHooks.Send || !FHooks.Send(Cmd::FirmwareBlock(FImage.Blocks[FSent]))) {
            stalled = true;
            break;
        }
        if (FHooks.DeviceMessage)
            FHooks.DeviceMessage(FormatText("-- Uploading block no. %d", {std::to_string(FSent)}));
        ++FSent;
        FLastProgressAt = Now();
    }
    if (!stalled && FSent == FImage.BlockCount()) {
        if (FHooks.Send && FHooks.Send(Cmd::UploadEnd())) {
            FEndSent = true;
            FProgTimer->Stop();
            SetState(TUploadState::Programming);
            FProgTimer->Start(kProgrammingMs);
            return;
        }
        stalled = true;
    }
    if (stalled && Now() - FLastProgressAt >= kBlockStallMs) {
        TUploadReport r;
        r.Problem = TUploadProblem::BlockNotSent;
        r.Number = FSent < FImage.BlockCount() ? FSent + 1 : 0; // 0: the end command
        Stop(TUploadState::Cancelled, &r);
        return;
    }
    if (FHooks.Changed) FHooks.Changed();
}

void TFirmwareUpload::ProgrammingDone() {
    FProgTimer->Stop();
    if (!FDeviceWasOnline) {
        Stop(TUploadState::ConnectionLost, nullptr);
        return;
    }
    if (FHooks.Reconnect) FHooks.Reconnect();
    // the device's version decides; meanwhile the device polling runs
    if (FHooks.ComTimer) FHooks.ComTimer(true);
    FVerifying = true;
    FVerifyFrom = Now();
    if (FHooks.Changed) FHooks.Changed();
    FProgTimer->Start(kTransferIntervalMs);
}

void TFirmwareUpload::VerifyTick() {
    const bool online = FHooks.DeviceOnline && FHooks.DeviceOnline();
    const std::string version =
        online && FHooks.DeviceVersion ? std::string(TrimBlanks(FHooks.DeviceVersion())) : "";
    if (!version.empty() && version != "unbekannt") {
        FReported = version;
        if (version == FExpected) {
            Stop(TUploadState::Done, nullptr);
        } else {
            TUploadReport r;
            r.Problem = TUploadProblem::VersionMismatch;
            r.Expected = FExpected;
            r.Reported = version;
            Stop(TUploadState::VersionMismatch, &r);
        }
        return;
    }
    if (Now() - FVerifyFrom >= kVersionWaitMs) Stop(TUploadState::ConnectionLost, nullptr);
}

} // namespace vaskel
