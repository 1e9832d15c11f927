#pragma once
// TFirmwareUpload: loads new firmware into the Tavrin. It reads the
// firmware file anew at every start, asks the device for permission (0xD6
// with the block count), sends the 63-byte blocks at a paced rate (0xD7),
// tells the device to program its flash (0xD8), waits six seconds for the
// programming, reconnects and checks that the device reports the version
// the image carries.
//
// No block is lost: a block the controller's send ring cannot take now is
// offered again at the next tick, in its place; when one finds no room for
// kBlockStallMs, or the link goes down, the upload stops before 0xD8, so a
// partial image is never programmed. Everything runs on the main thread;
// time comes in through the timer seam, so nothing here waits.

#include "link/DeviceProtocol.h"
#include "link/FirmwareImage.h"
#include "shell/Timers.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace vaskel {

// The states of the upload window.
enum class TUploadState {
    NoConnection = 0,    // the device was offline when the window opened
    Ready = 1,           // waiting for "Start"
    Transferring = 2,    // blocks are sent
    Programming = 3,     // the device programs its flash and restarts
    Done = 4,            // the device came back with the image's version
    Cancelled = 5,       // stopped before anything was programmed; may start again
    ConnectionLost = 6,  // the device did not come back
    VersionMismatch = 7, // the device came back with another version
};

enum class TUploadColour { SkyBlue, Yellow, Lime, Red };

TUploadColour UploadStateColour(TUploadState state);
// The state's text (German, Windows-1252).
const char* UploadStateText(TUploadState state);

// Why an upload stopped, for its dialog.
enum class TUploadProblem {
    FileUnreadable,  // Detail: the file name
    FileError,       // Detail: the reader's message
    FormatError,     // Number: the line (from 1); Firmware: what is wrong there
    TooLarge,        // Firmware: the data's address range
    Incomplete,      // the file ends without its end-of-file record
    NoIdentity,      // not firmware for this device (an information, not an error)
    NoAnswer,        // no reply to the request within the wait
    NotEnoughMemory, // the device has no room for the image
    LinkLost,        // the device went away while blocks were sent
    BlockNotSent,    // Number: the block (from 1) that found no room in the send ring,
                     // 0 for the end command
    VersionMismatch, // Expected and Reported
};

struct TUploadReport {
    TUploadProblem Problem = TUploadProblem::NoAnswer;
    std::string Detail;
    std::size_t Number = 0;
    std::string Expected, Reported;
    TFirmwareProblem Firmware; // FormatError, TooLarge, Incomplete
    bool Information() const { return Problem == TUploadProblem::NoIdentity; }
};

// The report's German text (Windows-1252), lines apart by CR LF.
std::string UploadReportText(const TUploadReport& report);

// The name the dialogs give the device.
inline constexpr const char* kUploadDeviceName = "Tavrin";

class TFirmwareUpload {
public:
    static constexpr int kTransferIntervalMs = 200;
    static constexpr int kBlocksPerTick = 30;
    static constexpr int kProgrammingMs = 6000;
    static constexpr int kReplyPollMs = 10;
    // The request is given up when the whole seconds since it exceed this.
    static constexpr int kReplyWaitSeconds = 2;
    // A block that finds no room in the send ring for this long stops the
    // upload (before 0xD8).
    static constexpr int64_t kBlockStallMs = 5000;
    // After the reconnect the device has this long to report its version.
    static constexpr int64_t kVersionWaitMs = 15000;

    struct THooks {
        // Sends a command through the controller's send ring; false when
        // the ring has no room now, or there is no controller.
        std::function<bool(const std::string&)> Send;
        // The device is online (the link is up and answering).
        std::function<bool()> DeviceOnline;
        // The firmware revision the device reported ("unbekannt" before it
        // has reported one).
        std::function<std::string()> DeviceVersion;
        // The one-second device polling: off while the upload runs.
        std::function<void(bool run)> ComTimer;
        // A new connection to the device (a new controller).
        std::function<void()> Reconnect;
        // A line for the device-message window.
        std::function<void(const std::string&)> DeviceMessage;
        // A line for the debug window.
        std::function<void(const std::string&)> DebugLine;
        // A dialog: the upload stopped.
        std::function<void(const TUploadReport&)> Report;
        // The state, the progress or the buttons changed.
        std::function<void()> Changed;
        // Milliseconds of a steady clock; absent: the timers' intervals add up.
        std::function<int64_t()> NowMs;
    };

    TFirmwareUpload(ITimerFactory& timers, std::string fileName, bool deviceWasOnline,
                    THooks hooks);
    ~TFirmwareUpload();
    TFirmwareUpload(const TFirmwareUpload&) = delete;
    TFirmwareUpload& operator=(const TFirmwareUpload&) = delete;

    // "Start", confirmed: reads the file, checks it and asks the device.
    void Start();
    // "Abbruch": the transfer stops at its next tick.
    void Abort();
    // The device's reply to an upload request arrived.
    void ReplyArrived(TUploadReplyStatus reply);

    TUploadState State() const { return FState; }
    // Between the request and the device's reply.
    bool WaitingForReply() const { return FWaitingForReply; }
    // After the reconnect, until the device reports its version.
    bool Verifying() const { return FVerifying; }
    bool StartEnabled() const;
    bool AbortEnabled() const;
    // The window may close (and the device polling runs).
    bool CloseEnabled() const;

    const std::string& FileName() const { return FFileName; }
    bool DeviceWasOnline() const { return FDeviceWasOnline; }
    const TFirmwareImage& Image() const { return FImage; }
    std::size_t BlockCount() const { return FImage.BlockCount(); }
    std::size_t SentBlocks() const { return FSent; }
    // Sent blocks in percent of all.
    int Progress() const;
    // The version text of the image (empty before a start).
    const std::string& ExpectedVersion() const { return FExpected; }
    // What the device reported after its restart.
    const std::string& ReportedVersion() const { return FReported; }
    // The last stop's report (Problem meaningful only after one).
    const TUploadReport& LastReport() const { return FLastReport; }

private:
    void SetState(TUploadState state);
    void Stop(TUploadState state, const TUploadReport* report);
    bool ReadImage();
    void ReplyTick();
    void Decide(TUploadReplyStatus reply);
    void TransferTick();
    void ProgrammingDone();
    void VerifyTick();
    int64_t Now() const;

    ITimerFactory& FTimers;
    std::string FFileName;
    bool FDeviceWasOnline;
    THooks FHooks;
    std::unique_ptr<ITimer> FProgTimer, FReplyTimer;

    TUploadState FState;
    TFirmwareImage FImage;
    std::string FExpected, FReported;
    std::size_t FSent = 0;
    bool FAbort = false;
    bool FEndSent = false;
    bool FWaitingForReply = false;
    bool FReplyReceived = false;
    TUploadReplyStatus FReply = TUploadReplyStatus::urUndefined;
    bool FVerifying = false;
    int64_t FRequestAt = 0, FLastProgressAt = 0, FVerifyFrom = 0;
    int64_t FOwnClock = 0; // without NowMs: the ms the timers have run
    TUploadReport FLastReport;
};

} // namespace vaskel
