#pragma once
// The recording logic of the live monitor: every captured telegram becomes
// one protocol row, classified, paired with the master telegram it answers,
// with its reaction time and error letters; the recording is kept safe in a
// safety copy on disk.

#include "link/DeviceProtocol.h"
#include "recording/Table.h"
#include "shell/Environment.h"
#include "telegram/TelegramParser.h"

#include <climits>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vaskel {

// Protocol columns.
enum TProtocolCol {
    pcKind = 0,
    pcNr,
    pcStart,
    pcReaction,
    pcErrors,
    pcTelegram,
    pcHex,
    pcRecordNo,
    pcDescription,
    pcAnswer,
    kProtocolColumns
};

TTable MakeProtocolTable();
bool IsMasterKind(std::string_view kindCell);
bool IsSlaveKind(std::string_view kindCell);
// "ungültig" (Windows-1252), the reaction text of an unpaired answer.
extern const char* const kReactionInvalid;
inline constexpr const char* kSafetyCopyName = "WBTEMP.PRO.CSV";
// Where the live recording's safety copy lives: the data folder.
std::string SafetyCopyFile(const TEnvironment& env);
// Moves a safety copy aside, beside it, under the local time it was last
// written: WBTEMP-yyyy-mm-dd-hh-nn-ss.PRO.CSV, with "-2", "-3" ... before the
// extension when that name is taken. Returns the new name; throws EFileError
// when it cannot be moved.
std::string SetAsideSafetyCopy(const std::string& copy);
// yyyy-mm-dd-hh-nn-ss.PRO.CSV
std::string DefaultProtocolFileName(int year, int month, int day, int hour, int minute, int second);

// The device's ticks as the PC's time of day. It is set from a telegram as
// it arrives (its start is taken as the moment of arrival) and kept, across
// recordings, until the device restarts: telegrams the device recorded on its
// own and hands over later keep the times they were recorded at, and never
// set it.
class TDeviceClock {
public:
    // A telegram that, by this clock, ended more than this before it
    // arrived was recorded earlier (read out of the device's recording).
    static constexpr int64_t kOldMs = 2000;

    bool Known() const { return FKnown; }
    void Set(uint32_t startTicks, int64_t nowMs);
    void Forget() { FKnown = false; }
    // Milliseconds since midnight of the PC clock.
    int64_t MsOfDay(uint32_t ticks) const;
    bool Old(uint32_t endTicks, int64_t nowMs) const;

private:
    bool FKnown = false;
    int64_t FTimeBase = 0; // PC time of day at the telegram it was set from
    int64_t FTickBase = 0; // that telegram's start in device milliseconds
};

class TRecorder {
public:
    struct THooks {
        // Milliseconds since midnight of the PC clock.
        std::function<int64_t()> NowMsOfDay;
        std::function<void()> StopSlaveTimeout;
        std::function<void()> StopMasterTimeout;
        // Failures of the safety copy (once until a write works again) and
        // of saving (debugger output).
        std::function<void(const std::string&)> Trace;
        // The safety copy cannot be written (the message names the file and
        // why): said once until a write works again; it is tried again at
        // every tick.
        std::function<void(const std::string&)> SafetyCopyFailed;
        // The table has grown by a row (its 0-based index), or a row's
        // answer changed (the master row an answer pairs with, a row marked
        // unanswered).
        std::function<void(int)> RowAppended;
        std::function<void(int)> RowChanged;
    };

    TRecorder(const TIBISTelegramParser& parser, TEnvironment& env, THooks hooks);
    ~TRecorder();
    TRecorder(const TRecorder&) = delete;
    TRecorder& operator=(const TRecorder&) = delete;

    // One captured telegram ('M' master, 'S' slave), in capture order. While
    // the device is bus master, a master record the send path filled
    // (OwnMaster) is the own transmission ('N').
    // The first row of a recording and the first after a device restart
    // set the clock from their arrival, except a telegram the clock shows
    // as recorded earlier (a read-out): it keeps its time and the clock.
    void CopyTelegramm(const TTelegramm& record, char source, bool deviceIsMaster);
    // A telegram captured while nothing records: it keeps the clock in step
    // with the live traffic (read-outs aside).
    void Observe(const TTelegramm& record);
    const TDeviceClock& Clock() const { return FClock; }

    // Starts a new recording (empties the table).
    void Clear();

    // The slave time-out: the last row, when it expects an answer, is
    // marked unanswered ("-1"). Returns that row, or -1 when none changed.
    int MarkLastRowUnanswered();

    // Writes rows firstRow.. (1 = first row; 0 = the whole table).
    // Failures are only traced. Makes the file the current file.
    bool SaveActiveProtocol(const std::string& fileName, int firstRow);

    // The safety copy holds the rows of one recording as a save of it would
    // (SaveActiveProtocol from row 1): every 500th row and every tick (about
    // once a second) bring it up to date, so a crash loses at most the rows
    // since the last tick. The rows not yet in it are appended; a row in it
    // whose cells changed since (an answer paired with an earlier master, a
    // master marked unanswered) is written again with every row after it:
    // the copy is cut where that row begins. A crash half-way leaves the
    // rows before that point and part of the new ones, whole lines first.
    void SafetyTick();
    // With SafetyCopyInBackground a write runs on a thread of its own (the
    // disk never holds up the caller) and is taken in at the next tick; one
    // write at a time. This waits for the write under way and takes it in.
    void FinishSafetyCopy();
    std::string SafetyCopyFile() const;
    // The safety copy in the data folder is this recorder's (written by the
    // recording that runs or ran last).
    bool OwnsSafetyCopy() const { return FOwnCopy; }
    // A copy this recorder did not write was left by an earlier run that
    // ended abnormally. It is never appended to: before the first write of
    // this run it is set aside under the time it was last written
    // (WBTEMP-yyyy-mm-dd-hh-nn-ss.PRO.CSV beside it, never over another
    // file). EarlierCopy: the name it was set aside as, until taken.
    const std::string& EarlierCopy() const { return FEarlierCopy; }
    // Sets an earlier run's copy aside now when there is one and returns the
    // name it lies under, for the recovery to open; once ("" afterwards, and
    // when there is none). A copy that cannot be moved is returned where it
    // lies (this recorder never writes into it).
    std::string TakeEarlierCopy();
    // The program ends and its own copy is gone: an earlier copy set aside
    // and never taken (nobody was there to answer the offer) goes back to
    // the safety copy's name, so that the next start offers it. False when
    // there is none, or when the safety copy's name is taken.
    bool PutBackEarlierCopy();

    TTable& Table() { return FTable; }
    const TTable& Table() const { return FTable; }
    int RowCounter() const { return FRowCounter; }
    const std::string& CurrentFile() const { return FCurrentFile; }
    // Automatic warnings: reactions outside 0..60000 ms read "ungültig".
    bool AutoWarnings = true;
    // Keep the safety copy in the data folder (off for tools that record
    // into a file of their own).
    bool SafetyCopy = true;
    // Write the safety copy on a thread of its own (the desktop program);
    // off: each write is done when SafetyTick returns.
    bool SafetyCopyInBackground = false;

private:
    struct TCopyJob;
    struct TCopyOutcome;
    class TCopyWriter;
    // What a write under way will have made of the copy.
    struct TCopyPlan {
        int From = 0;                // first row written (0-based)
        int To = 0;                  // rows in the copy afterwards
        std::vector<uint64_t> Starts; // where rows From..To-1 begin
        uint64_t Bytes = 0;          // the copy's length afterwards
    };
    void WriteSafetyCopy();
    // Takes in the outcome of the write of plan.
    void TakeIn(const TCopyPlan& plan, const TCopyOutcome& outcome);
    void ForgetCopyLayout();
    // Sets an earlier run's copy aside (when there is one); throws
    // EFileError when it is there and cannot be moved.
    void SetAsideEarlierCopy();

    const TIBISTelegramParser& FParser;
    TEnvironment& FEnv;
    THooks FHooks;
    TTable FTable;
    TTelegramRecord FResult; // reused between calls
    int FRowCounter = 0;
    TDeviceClock FClock;
    int FSavedUpTo = 0;        // rows already in the safety copy
    // Where each of the copy's newest rows begins in it (FCopyStarts[0] is
    // row FCopyStartsFrom), and its length: a changed row is written again
    // from there.
    std::vector<uint64_t> FCopyStarts;
    int FCopyStartsFrom = 0;
    uint64_t FCopyBytes = 0;
    int FRedoFrom = INT_MAX;   // the first row of a write that failed
    std::unique_ptr<TCopyWriter> FWriter;
    std::unique_ptr<TCopyPlan> FInFlight; // the write under way in the background
    bool FOwnCopy = false;     // the file in the data folder is this recorder's
    bool FCopyFailing = false; // the last write of the safety copy failed
    std::string FEarlierCopy;  // an earlier run's copy, set aside, not yet taken
    std::string FCurrentFile;
};

} // namespace vaskel
