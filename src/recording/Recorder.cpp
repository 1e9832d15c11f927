#include "recording/Recorder.h"

#include "recording/TableFile.h"
#include "shell/Timers.h"
#include "telegram/DateTime.h"
#include "telegram/Errors.h"
#include "telegram/SafeFile.h"
#include "telegram/TextConventions.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

namespace vaskel {

const char* const kReactionInvalid = "ung\xFCltig";

TTable MakeProtocolTable() {
    return TTable(std::vector<TZK_InputStyle>(kProtocolColumns, TZK_InputStyle::csString));
}

bool IsMasterKind(std::string_view k) {
    return !k.empty() && (k[0] == 'M' || k[0] == 'N');
}
bool IsSlaveKind(std::string_view k) {
    return !k.empty() && (k[0] == 'S' || k[0] == 'T');
}

std::string DefaultProtocolFileName(int year, int month, int day, int hour, int minute,
                                    int second) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d-%02d-%02d-%02d.PRO.CSV", year, month, day, hour,
                  minute, second);
    return buf;
}

void TDeviceClock::Set(uint32_t startTicks, int64_t nowMs) {
    FKnown = true;
    FTimeBase = nowMs;
    FTickBase = DeviceTicksToMs(startTicks);
}

int64_t TDeviceClock::MsOfDay(uint32_t ticks) const {
    return DeviceTicksToMs(ticks) - FTickBase + FTimeBase;
}

bool TDeviceClock::Old(uint32_t endTicks, int64_t nowMs) const {
    return FKnown && MsOfDay(endTicks) < nowMs - kOldMs;
}

// One write of the safety copy: the whole copy, or its bytes from Offset on.
struct TRecorder::TCopyJob {
    std::string File;
    bool Whole = false;
    uint64_t Offset = 0;
    std::string Bytes;
};

struct TRecorder::TCopyOutcome {
    enum { Written, Failed, Lost } Kind = Written;
    std::string Why; // Failed: the writer's message
};

namespace {

// Does one write. A copy shorter than the rows written before says that
// someone else cut or removed it: Lost, and it is written again whole.
template <typename TOutcome, typename TJob> TOutcome RunCopyJob(const TJob& job) {
    TOutcome o;
    try {
        if (job.Whole) {
            WriteFileSafely(job.File, job.Bytes);
        } else {
            std::error_code ec;
            const auto size = job.Offset > 0 ? std::filesystem::file_size(job.File, ec) : 0;
            if (ec || size < job.Offset) {
                o.Kind = TOutcome::Lost;
                return o;
            }
            ReplaceFileTailSafely(job.File, job.Offset, job.Bytes);
        }
    } catch (const std::exception& e) {
        o.Kind = TOutcome::Failed;
        o.Why = e.what();
    }
    return o;
}

} // namespace

// The thread that writes the safety copy in the background: one job at a
// time; its outcome waits to be taken.
class TRecorder::TCopyWriter {
public:
    TCopyWriter() : FThread([this] { Run(); }) {}
    ~TCopyWriter() {
        {
            std::lock_guard lock(FMutex);
            FStop = true;
        }
        FWake.notify_all();
        FThread.join();
    }
    TCopyWriter(const TCopyWriter&) = delete;
    TCopyWriter& operator=(const TCopyWriter&) = delete;

    // Only when no job is under way or waiting to be taken.
    void Start(TCopyJob job) {
        {
            std::lock_guard lock(FMutex);
            FJob = std::move(job);
            FOutcome.reset();
        }
        FWake.notify_all();
    }
    // The outcome of the job, when it is done (wait: until it is).
    std::optional<TCopyOutcome> Take(bool wait) {
        std::unique_lock lock(FMutex);
        if (wait) FDone.wait(lock, [this] { return FOutcome.has_value(); });
        return std::exchange(FOutcome, std::nullopt);
    }

private:
    void Run() {
        std::unique_lock lock(FMutex);
        for (;;) {
            FWake.wait(lock, [this] { return FStop || FJob.has_value(); });
            if (!FJob) return; // stopped with nothing left to write
            const TCopyJob job = std::move(*FJob);
            FJob.reset();
            lock.unlock();
            TCopyOutcome outcome = RunCopyJob<TCopyOutcome>(job);
            lock.lock();
            FOutcome = std::move(outcome);
            FDone.notify_all();
        }
    }

    std::mutex FMutex;
    std::condition_variable FWake, FDone;
    std::optional<TCopyJob> FJob;
    std::optional<TCopyOutcome> FOutcome;
    bool FStop = false;
    std::thread FThread; // last: it starts with every member above in place
};

TRecorder::TRecorder(const TIBISTelegramParser& parser, TEnvironment& env, THooks hooks)
    : FParser(parser), FEnv(env), FHooks(std::move(hooks)), FTable(MakeProtocolTable()) {}

TRecorder::~TRecorder() = default;

void TRecorder::ForgetCopyLayout() {
    FSavedUpTo = 0;
    FCopyStarts.clear();
    FCopyStartsFrom = 0;
    FCopyBytes = 0;
    FRedoFrom = INT_MAX;
}

void TRecorder::Clear() {
    // a write under way ends first: nothing of the old recording comes after
    FinishSafetyCopy();
    FTable.Clear();
    FTable.Modified = false;
    FRowCounter = 0;
    ForgetCopyLayout();
    if (FOwnCopy) {
        // the copy of the recording that ends: the new one starts afresh
        std::error_code ec;
        std::filesystem::remove(SafetyCopyFile(), ec);
        if (ec && FHooks.Trace)
            FHooks.Trace("TRecorder: cannot remove " + SafetyCopyFile() + ": " + ec.message());
        FOwnCopy = false;
    }
}

std::string SafetyCopyFile(const TEnvironment& env) {
    return env.DataDirectory() + kSafetyCopyName;
}

std::string TRecorder::SafetyCopyFile() const {
    return vaskel::SafetyCopyFile(FEnv);
}

void TRecorder::CopyTelegramm(const TTelegramm& rec, char source, bool deviceIsMaster) {
    // 1. The own transmission is held without its check byte. A master
    // telegram whose text came from the device (a read-out of its
    // recording while it is bus master) is as the bus carried it.
    const bool own = deviceIsMaster && source == 'M' && rec.OwnMaster;
    std::string text = rec.Text;
    if (own) text += static_cast<char>(rec.Check);
    // 2.
    FParser.Classify(text, source == 'M', FEnv.BusType(), FResult);
    const TTelegramRecord& r = FResult;
    // 3.
    TTelegramData obj;
    obj.EndTime = static_cast<int32_t>(rec.EndTicks);
    obj.ExpectedAnswers = r.Answers;
    obj.Address = MakeTelegramData(r).Address;
    // 4.
    char kind = source;
    if (source == 'S' && rec.SentByDevice) kind = 'T';
    if (own) kind = 'N';
    const bool slave = kind == 'S' || kind == 'T';
    int changed = -1; // the master row this answer pairs with
    // 5. The clock. A new recording starts it afresh from the PC clock,
    // unless its first telegram was recorded earlier by the device on its
    // own (a read-out): that one keeps its time and leaves the clock of the
    // live traffic as it is. A device restart always starts it afresh (the
    // device's ticks started again).
    std::string errors;
    const int64_t now = FHooks.NowMsOfDay ? FHooks.NowMsOfDay() : 0;
    const bool reset = FEnv.ResetTG();
    if (reset || (FRowCounter == 0 && !FClock.Old(rec.EndTicks, now))) {
        if (FRowCounter != 0) errors = "R";
        FClock.Set(rec.StartTicks, now);
        FEnv.SetResetTG(false);
    }
    // 6.
    const int64_t start = FClock.MsOfDay(rec.StartTicks);
    const int newNumber = FRowCounter + 1;
    const int last = FRowCounter - 1; // 0-based index of the last row, -1 when none
    // 7. The previous row.
    bool answersPrevious = false;
    if (last >= 0) {
        const auto prev = FTable.Object(last);
        if (prev && !prev->ExpectedAnswers.empty()) {
            if (slave && !r.RecordNo.empty() &&
                prev->ExpectedAnswers.find(r.RecordNo) != std::string::npos) {
                FTable.SetCell(pcAnswer, last, "0");
                obj.PartnerRow = StrToIntDef(FTable.Cell(pcNr, last), -1);
                FTable.SetPartnerRow(last, newNumber);
                answersPrevious = true;
            } else {
                FTable.SetCell(pcAnswer, last, "-1");
            }
        } else if (IsMasterKind(FTable.Cell(pcKind, last))) {
            FTable.SetCell(pcAnswer, last, "");
        }
    }
    // 8. Reaction. A slave telegram that opens the recording answers a
    // request sent before it began: its reaction time is unknown.
    const bool unknownReaction = FRowCounter == 0;
    int64_t reaction = 0;
    std::string status;
    if (FRowCounter != 0 && slave) {
        int master = -1;
        if (answersPrevious) {
            master = last;
        } else if (!r.RecordNo.empty()) {
            // at most the 50 newest rows
            const int lowest = std::max(0, FRowCounter - 50);
            for (int row = last; row >= lowest; --row) {
                if (!IsMasterKind(FTable.Cell(pcKind, row))) continue;
                if (FTable.Cell(pcAnswer, row) != "-1") continue;
                const auto o = FTable.Object(row);
                if (!o || o->ExpectedAnswers.empty() ||
                    o->ExpectedAnswers.find(r.RecordNo) == std::string::npos)
                    continue;
                master = row;
                break;
            }
        }
        if (master < 0) {
            status = "2";
            reaction = -1;
        } else {
            const auto o = FTable.Object(master);
            reaction = DeviceTicksToMs(static_cast<int64_t>(rec.StartTicks) -
                                       static_cast<int64_t>(static_cast<uint32_t>(o->EndTime)));
            if (master != last) {
                FTable.SetCell(pcAnswer, master, "1");
                changed = master;
                FTable.SetPartnerRow(master, newNumber);
                obj.PartnerRow = StrToIntDef(FTable.Cell(pcNr, master), -1);
                status = "3";
            } else {
                status = "4";
            }
        }
    }
    // 9.
    errors += ErrorFlagLetters(rec.ErrorFlags);
    // 10., 11.
    FRowCounter = newNumber;
    int row = FTable.RowCount() - 1;
    if (!FTable.Cell(pcKind, row).empty()) row = FTable.AppendRow();
    // 12.
    if (slave) {
        if (FHooks.StopSlaveTimeout) FHooks.StopSlaveTimeout();
    } else if (FHooks.StopMasterTimeout) {
        FHooks.StopMasterTimeout();
    }
    // 13. (the object is attached with the cells below)
    // 14.
    std::string reactionText;
    if (slave && !unknownReaction)
        reactionText = (AutoWarnings && (reaction < 0 || reaction > 60000))
                           ? std::string(kReactionInvalid)
                           : std::to_string(reaction);
    std::string recordCell;
    if (r.ExactMatch && r.RoleAsExpected) {
        recordCell = r.RecordNo;
    } else {
        if (r.ExactMatch)
            errors += "T";
        else if (r.RoleAsExpected)
            errors += "X";
        else
            errors += r.RecordNo.empty() ? "X" : "XT";
        recordCell = "[" + r.RecordNo + "]";
    }
    FTable.SetRow(row, {std::string(1, kind), std::to_string(newNumber), std::to_string(start),
                        reactionText, errors, text, StrToHexDump(text, true), recordCell,
                        r.Description, status});
    if (slave || !obj.ExpectedAnswers.empty())
        FTable.SetObject(row, obj);
    else
        FTable.ClearObject(row);
    // 15.
    FTable.Modified = true;
    // 16. Safety copy.
    if (FRowCounter % 500 == 0) WriteSafetyCopy();
    if (changed >= 0 && FHooks.RowChanged) FHooks.RowChanged(changed);
    if (FHooks.RowAppended) FHooks.RowAppended(FRowCounter - 1);
}

void TRecorder::Observe(const TTelegramm& rec) {
    const int64_t now = FHooks.NowMsOfDay ? FHooks.NowMsOfDay() : 0;
    if (FEnv.ResetTG() || !FClock.Old(rec.EndTicks, now)) {
        FClock.Set(rec.StartTicks, now);
        // nothing records: the next recording starts afresh anyway
        FEnv.SetResetTG(false);
    }
}

void TRecorder::WriteSafetyCopy() {
    if (FInFlight) {
        // one write at a time: the rows wait for the next tick
        const auto outcome = FWriter->Take(false);
        if (!outcome) return;
        const std::unique_ptr<TCopyPlan> plan = std::move(FInFlight);
        TakeIn(*plan, *outcome);
    }
    if (!SafetyCopy) return;
    int from = std::min({FSavedUpTo, FTable.ChangedFrom(), FRedoFrom});
    if (from >= FRowCounter) return;
    // The safety copy is not the user's file: the current file, the protocol
    // folder and the modified mark stay as they are.
    TCopyJob job;
    try {
        // an earlier run's copy is never appended to
        if (!FOwnCopy) SetAsideEarlierCopy();
    } catch (const std::exception& e) {
        TakeIn(TCopyPlan{}, TCopyOutcome{TCopyOutcome::Failed, e.what()});
        return;
    }
    FOwnCopy = true;
    job.File = SafetyCopyFile();
    // a row older than the places kept: the copy is written anew, whole
    job.Whole = from < FCopyStartsFrom;
    if (job.Whole) from = 0;
    job.Offset = job.Whole              ? 0
                 : from == FSavedUpTo ? FCopyBytes
                                      : FCopyStarts[static_cast<std::size_t>(from - FCopyStartsFrom)];
    auto plan = std::make_unique<TCopyPlan>();
    plan->From = from;
    plan->To = FRowCounter;
    plan->Starts.reserve(static_cast<std::size_t>(FRowCounter - from));
    for (int row = from; row < FRowCounter; ++row) {
        plan->Starts.push_back(job.Offset + job.Bytes.size());
        AppendTableLine(job.Bytes, FTable, row, '"', ';');
    }
    plan->Bytes = job.Offset + job.Bytes.size();
    // what changes from now on is written by the next write
    FTable.ForgetChanges();
    if (SafetyCopyInBackground) {
        if (!FWriter) FWriter = std::make_unique<TCopyWriter>();
        FWriter->Start(std::move(job));
        FInFlight = std::move(plan);
        return;
    }
    const TCopyOutcome outcome = RunCopyJob<TCopyOutcome>(job);
    TakeIn(*plan, outcome);
    // the copy went: written whole at once (such a write is never Lost)
    if (outcome.Kind == TCopyOutcome::Lost) WriteSafetyCopy();
}

void TRecorder::TakeIn(const TCopyPlan& plan, const TCopyOutcome& outcome) {
    if (outcome.Kind == TCopyOutcome::Lost) {
        // cut or removed behind this recorder's back: written whole next
        FRedoFrom = 0;
        FCopyStarts.clear();
        FCopyStartsFrom = INT_MAX;
        return;
    }
    if (outcome.Kind == TCopyOutcome::Failed) {
        // the copy is as it was; these rows are written again
        FRedoFrom = std::min(FRedoFrom, plan.From);
        // tried again at every tick; told once until it works again
        if (FCopyFailing) return;
        FCopyFailing = true;
        if (FHooks.Trace)
            FHooks.Trace(std::string("TfMonitorForm.SaveActiveProtocol. Exception:") + outcome.Why);
        if (FHooks.SafetyCopyFailed) FHooks.SafetyCopyFailed(outcome.Why);
        return;
    }
    FCopyFailing = false;
    FRedoFrom = INT_MAX;
    if (plan.From < FCopyStartsFrom) { // written whole
        FCopyStarts.clear();
        FCopyStartsFrom = plan.From;
    }
    FCopyStarts.resize(static_cast<std::size_t>(plan.From - FCopyStartsFrom));
    FCopyStarts.insert(FCopyStarts.end(), plan.Starts.begin(), plan.Starts.end());
    FCopyBytes = plan.Bytes;
    FSavedUpTo = plan.To;
    // Only the newest rows change (the pairing looks back 50 rows): the
    // places of a few thousand are kept, an older change rewrites the copy.
    constexpr std::size_t kKeep = 4096;
    if (FCopyStarts.size() > 2 * kKeep) {
        const std::size_t drop = FCopyStarts.size() - kKeep;
        FCopyStarts.erase(FCopyStarts.begin(), FCopyStarts.begin() + static_cast<std::ptrdiff_t>(drop));
        FCopyStartsFrom += static_cast<int>(drop);
    }
}

void TRecorder::FinishSafetyCopy() {
    while (FInFlight) {
        const auto outcome = FWriter->Take(true);
        const std::unique_ptr<TCopyPlan> plan = std::move(FInFlight);
        TakeIn(*plan, *outcome);
        // the copy went: written whole (such a write is never Lost)
        if (outcome->Kind == TCopyOutcome::Lost) WriteSafetyCopy();
    }
}

namespace {

// The local time a file was last written.
TDateTime LastWritten(const std::filesystem::path& file) {
    std::error_code ec;
    const auto ft = std::filesystem::last_write_time(file, ec);
    const auto sys = ec ? std::chrono::system_clock::now()
                        : std::chrono::time_point_cast<std::chrono::system_clock::duration>(
                              std::chrono::file_clock::to_sys(ft));
    TDateTime d = LocalDateTime(sys);
    d.Millisecond = 0;
    return d;
}

} // namespace

std::string SetAsideSafetyCopy(const std::string& copy) {
    namespace fs = std::filesystem;
    const TDateTime at = LastWritten(copy);
    char stamp[80];
    std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d-%02d-%02d-%02d", at.Year, at.Month, at.Day,
                  at.Hour, at.Minute, at.Second);
    const std::string base = ExtractFilePath(copy) + "WBTEMP-" + stamp;
    std::error_code ec;
    for (int n = 1;; ++n) {
        const std::string name =
            base + (n == 1 ? std::string() : "-" + std::to_string(n)) + ".PRO.CSV";
        if (fs::exists(name, ec)) continue;
        fs::rename(copy, name, ec);
        if (ec) throw EFileError("Cannot set aside " + copy + " as " + name + ": " + ec.message());
        return name;
    }
}

std::string TRecorder::TakeEarlierCopy() {
    try {
        SetAsideEarlierCopy();
    } catch (const std::exception& e) {
        if (FHooks.Trace) FHooks.Trace(std::string("TRecorder: ") + e.what());
        // it cannot be moved: it is opened where it lies (this recorder
        // never writes into it)
        return SafetyCopyFile();
    }
    return std::exchange(FEarlierCopy, std::string());
}

bool TRecorder::PutBackEarlierCopy() {
    const std::string copy = SafetyCopyFile();
    if (FEarlierCopy.empty() || FileExists(copy)) return false;
    std::error_code ec;
    std::filesystem::rename(FEarlierCopy, copy, ec);
    if (ec) {
        if (FHooks.Trace)
            FHooks.Trace("TRecorder: cannot put back " + FEarlierCopy + ": " + ec.message());
        return false;
    }
    FEarlierCopy.clear();
    FOwnCopy = false;
    return true;
}

void TRecorder::SetAsideEarlierCopy() {
    const std::string copy = SafetyCopyFile();
    if (!FOwnCopy && FileExists(copy)) FEarlierCopy = SetAsideSafetyCopy(copy);
}

int TRecorder::MarkLastRowUnanswered() {
    const int row = FRowCounter - 1;
    if (row < 0) return -1;
    const auto data = FTable.Object(row);
    if (!data || data->ExpectedAnswers.empty()) return -1;
    FTable.SetCell(pcAnswer, row, "-1");
    if (FHooks.RowChanged) FHooks.RowChanged(row);
    return row;
}

void TRecorder::SafetyTick() {
    WriteSafetyCopy();
}

bool TRecorder::SaveActiveProtocol(const std::string& fileName, int firstRow) {
    const int from = std::max(firstRow, 1) - 1;
    for (int row = from; row < FTable.RowCount(); ++row) {
        const std::string_view k = FTable.Cell(pcKind, row);
        if (k.size() > 1) FTable.SetCell(pcKind, row, std::string(k.substr(0, 1)));
    }
    try {
        if (firstRow > 0 && firstRow > FTable.RowCount()) return true;
        SaveToCSV(FTable, fileName, '"', firstRow, std::nullopt, ';');
        FEnv.RememberDirectory(TFileFolder::Protokolle, ExtractFilePath(fileName));
        FCurrentFile = fileName;
        return true;
    } catch (const std::exception& e) {
        if (FHooks.Trace)
            FHooks.Trace(std::string("TfMonitorForm.SaveActiveProtocol. Exception:") + e.what());
        return false;
    }
}

} // namespace vaskel
