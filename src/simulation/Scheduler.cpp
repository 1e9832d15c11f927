#include "simulation/Scheduler.h"

#include "telegram/ClockTelegrams.h"
#include "telegram/Errors.h"
#include "telegram/TextConventions.h"

#include <filesystem>

namespace vaskel {

const char* const kCallListNotLoaded =
    "Die ausgew\xE4hlte Datei ist entweder keine Aufrufliste oder fehlerhaft.\r\n"
    "Sie wurde nicht geladen";

TMasterScheduler::TMasterScheduler(const TIBISTelegramParser& parser, TEnvironment& env,
                                   ITimerFactory& timers, const IClock& clock, THooks hooks)
    : FParser(parser), FEnv(env), FClock(clock), FHooks(std::move(hooks)),
      FIntervallTimer(timers.CreateTimer()), FMasterTimeout(timers.CreateTimer()),
      FSlaveTimeout(timers.CreateTimer()) {
    FIntervallTimer->OnTimer = [this] { IntervalTick(); };
    FMasterTimeout->OnTimer = [this] { OnMasterTimeout(); };
    FSlaveTimeout->OnTimer = [this] { OnSlaveTimeout(); };
}

TTelegramRecord TMasterScheduler::Parse(const std::string& text) const {
    return FParser.Classify(text, true, FEnv.BusType());
}

void TMasterScheduler::Initialise() {
    if (FHooks.DeviceIsMaster && FHooks.DeviceIsMaster()) {
        FSingle.State = 0;
        FSingle.AddressTranslationAllowed = true;
        FBusy = false;
        FHookRegistered = true;
    } else {
        FHookRegistered = false;
    }
    FSlaveTimeout->Stop();
    FMasterTimeout->Stop();
}

void TMasterScheduler::ActivateCallList(const std::string& fileName) {
    FActiveFile = fileName;
    LoadCallList(fileName, FEntries); // may raise: the list is then not started
    FIntervallTimer->Start(1000);
    FNextIndex = 0;
    SendStep();
}

TCallListActivation TMasterScheduler::TryActivateCallList(const std::string& fileName) {
    std::error_code ec;
    if (fileName.empty() || !std::filesystem::is_regular_file(fileName, ec))
        return TCallListActivation::Missing;
    FProblem = TCallListProblem{};
    try {
        ActivateCallList(fileName);
    } catch (const ECallListError& e) {
        FProblem = e.Problem;
        DeactivateCallList();
        return TCallListActivation::Broken;
    } catch (const EVaskelError& e) {
        FProblem = TCallListProblem{TCallListProblem::TKind::Unreadable, 0, e.what()};
        DeactivateCallList();
        return TCallListActivation::Broken;
    }
    return FEntries.empty() ? TCallListActivation::Empty : TCallListActivation::Active;
}

void TMasterScheduler::DeactivateCallList() {
    FIntervallTimer->Stop();
    FEntries.clear();
    FActiveFile.clear();
}

void TMasterScheduler::RequestSingleCall(const std::string& text) {
    FCurrent = Parse(text);
    FSingle.Telegram = FCurrent;
    FSingle.State = 1;
    FSingle.AddressTranslationAllowed = true;
    SendStep();
}

bool TMasterScheduler::PlaceDirectCall(const std::string& text) {
    if (FSingle.State != 0 || !(FHooks.LinkRunning && FHooks.LinkRunning())) return false;
    FSingle.Telegram = Parse(text);
    FSingle.State = 1;
    FSingle.AddressTranslationAllowed = false;
    if (!FBusy && !FSlaveTimeout->Running()) SendStep();
    return true;
}

void TMasterScheduler::ArmSlaveTimeout() {
    if (!FCurrent.Answers.empty())
        FSlaveTimeout->Start(FEnv.SlaveTimeOut());
    else
        FSlaveTimeout->Stop();
}

void TMasterScheduler::SendStep() {
    if (!(FHooks.LinkRunning && FHooks.LinkRunning())) return;
    const TDateTime now = FClock.Now();
    if (FSingle.State == 1) {
        // 1., 2.
        FCurrent = FSingle.Telegram;
        if (FEnv.ReformatUandD()) {
            if (FCurrent.RecordNo == "005")
                FCurrent = Parse(TimeTelegram(now));
            else if (FCurrent.RecordNo == "006")
                FCurrent = Parse(DateTelegram(now));
            if (IsDateTimeCall(FCurrent.Telegram)) FCurrent = Parse(DateTimeTelegram(now));
        }
        // 3. Address translation.
        if (FEnv.IBISAddressTranslationMode() == 1 && FSingle.AddressTranslationAllowed &&
            FEnv.IBISAddressTranslationDefined() && !FCurrent.Address.empty()) {
            int address = 1;
            try {
                address = IBISHexToInt(FCurrent.Address);
            } catch (const EConversionError&) {
                address = 1;
            }
            const std::string body = FCurrent.Prefix +
                                     IntToIBISHex(FEnv.GetAddressTranslation(address)) +
                                     FCurrent.Data + FCurrent.Rest;
            std::string rebuilt = body;
            if (!FCurrent.CRText.empty()) {
                rebuilt += kCR;
                rebuilt += CalcCheckByte(body);
            }
            FCurrent = Parse(rebuilt);
        }
        // 4.
        FCurrent.CRText = std::string(1, kCR);
        FCurrent.CheckByte = std::string(1, CalcCheckByte(FCurrent.Telegram));
        std::string send = DisplayToTelegram(FCurrent.Telegram);
        if (send.size() >= 2 && send[send.size() - 2] == kCR)
            send.resize(send.size() - 2);
        else
            FCurrent.Telegram += kCR + FCurrent.CheckByte;
        // 5. - 8.
        if (FHooks.SendRequest) FHooks.SendRequest(send);
        ArmSlaveTimeout();
        if (FHooks.DeviceIsMaster && FHooks.DeviceIsMaster())
            FMasterTimeout->Start(FEnv.MasterTimeout());
        FBusy = true;
        FSingle.State = 2;
        return;
    }
    // The call list.
    // Every entry is looked at once at most, from the next index on. At the
    // end of the list a pass is over: the one-shot entries go, and the
    // search goes on at the first entry in the same step, so that reaching
    // the end costs an entry that is due no interval tick (it would be sent
    // a second late, and an interval of n seconds would become n + 1).
    const std::size_t n = FEntries.size();
    std::size_t found = SIZE_MAX;
    bool wrapped = false;
    for (std::size_t examined = 0; examined < n;) {
        if (FNextIndex >= FEntries.size()) {
            if (wrapped) break;
            wrapped = true;
            FNextIndex = 0;
            std::erase_if(FEntries, [](const tAufruf& a) { return a.Intervall == 0; });
            continue;
        }
        if (FEntries[FNextIndex].Countdown == 0) {
            found = FNextIndex;
            break;
        }
        ++FNextIndex;
        ++examined;
    }
    if (found == SIZE_MAX) return;
    tAufruf& entry = FEntries[found];
    if (!entry.Aufruf.empty()) {
        std::string text = entry.Aufruf;
        if (text[0] == 'u') {
            if (FEnv.ReformatUandD()) text = TimeTelegram(now);
        } else if (text[0] == 'd') {
            if (FEnv.ReformatUandD())
                text = IsDateTimeCall(text) ? DateTimeTelegram(now) : DateTelegram(now);
        }
        FCurrent = Parse(text);
        if (FHooks.SendRequest) FHooks.SendRequest(DisplayToTelegram(FCurrent.Telegram));
    }
    ArmSlaveTimeout();
    FBusy = true;
    entry.Countdown = entry.Intervall;
    ++FNextIndex;
}

void TMasterScheduler::IntervalTick() {
    for (auto& e : FEntries)
        if (e.Countdown > 0) --e.Countdown;
    if (!FBusy && !FSlaveTimeout->Running()) SendStep();
}

void TMasterScheduler::Hook(char source, bool own) {
    if (!FHookRegistered) return;
    // not the report of what was sent: read out of the device's recording
    if (FBusy && !(source == 'M' && own)) return;
    if (source == 'M') {
        if (FSingle.State == 2) {
            FSingle.State = 0;
            FSingle.AddressTranslationAllowed = true;
        }
        FBusy = false;
        if (FCurrent.Answers.empty()) SendStep();
    } else {
        SendStep();
    }
}

void TMasterScheduler::OnMasterTimeout() {
    FMasterTimeout->Stop();
    FSingle.State = 0;
    FSingle.AddressTranslationAllowed = true;
    FBusy = false;
}

void TMasterScheduler::OnSlaveTimeout() {
    FSlaveTimeout->Stop();
    if (FHooks.MarkLastRowUnanswered) FHooks.MarkLastRowUnanswered();
    if (!FBusy) SendStep();
}

} // namespace vaskel
