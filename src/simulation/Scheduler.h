#pragma once
// The master simulation scheduler: while the device is bus master it sends
// the entries of an active call list, each at its own interval, and single
// calls (direct input, playback of a protocol), one telegram at a time,
// waiting for its echo and, where one is expected, for the answer.

#include "lists/ListFiles.h"
#include "shell/Environment.h"
#include "shell/Timers.h"
#include "telegram/TelegramParser.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vaskel {

// The message of a call list that could not be activated (Windows-1252,
// lines separated by CR LF).
extern const char* const kCallListNotLoaded;

// How an activation of a call list went.
enum class TCallListActivation {
    Missing, // the file is not there: nothing changed
    Broken,  // the list is broken (LastProblem says where) or cannot be read:
             // no list is active now
    Active,  // the list runs
    Empty,   // the list runs, but every row is inactive: nothing is sent
             // (a list without any row is Broken)
};

struct tSpontanAufruf {
    TTelegramRecord Telegram;
    int State = 0; // 0 none, 1 pending, 2 sent (waiting for its echo)
    bool AddressTranslationAllowed = true;
};

class TMasterScheduler {
public:
    struct THooks {
        std::function<bool()> DeviceIsMaster;
        std::function<bool()> LinkRunning;
        std::function<void(const std::string&)> SendRequest;
        // Slave time-out: the last protocol row, when it expects an answer,
        // gets the answer status "-1".
        std::function<void()> MarkLastRowUnanswered;
    };

    TMasterScheduler(const TIBISTelegramParser& parser, TEnvironment& env, ITimerFactory& timers,
                     const IClock& clock, THooks hooks);

    void Initialise();
    bool HookRegistered() const { return FHookRegistered; }

    // Loads and starts a call list; a broken "Ok" field raises
    // EConversionError (the entries read so far stay, the list is not
    // started).
    void ActivateCallList(const std::string& fileName);
    // Activation as the master simulation switch does it: a missing file
    // changes nothing, a broken list leaves no list active; a list active
    // before is replaced.
    TCallListActivation TryActivateCallList(const std::string& fileName);
    void DeactivateCallList();
    // Why the last activation found the list Broken.
    const TCallListProblem& LastProblem() const { return FProblem; }
    const std::string& ActiveFile() const { return FActiveFile; }
    const std::vector<tAufruf>& Entries() const { return FEntries; }

    // A single call from a protocol: sent at once.
    void RequestSingleCall(const std::string& text);
    // A single call from the direct input (never address-translated);
    // false when another single call is still pending or the link is down.
    bool PlaceDirectCall(const std::string& text);

    // Called after the recorder for every captured telegram ('M' or 'S').
    // own: a master telegram is the device's report of the telegram sent
    // last (the capture record the send path filled). Only that report ends
    // the wait for it; a master telegram the device hands over from its
    // recording does not, nor does a slave telegram while the wait lasts:
    // the next telegram is never sent before the one before is reported.
    void Hook(char source, bool own);

    // The recorder stops these for every captured telegram.
    void StopSlaveTimeout() { FSlaveTimeout->Stop(); }
    void StopMasterTimeout() { FMasterTimeout->Stop(); }

    bool BusySending() const { return FBusy; }
    const tSpontanAufruf& SingleCall() const { return FSingle; }
    const TTelegramRecord& Current() const { return FCurrent; }
    ITimer& IntervallTimer() { return *FIntervallTimer; }
    ITimer& MasterTimeout() { return *FMasterTimeout; }
    ITimer& SlaveTimeout() { return *FSlaveTimeout; }

private:
    void SendStep();
    void IntervalTick();
    void OnMasterTimeout();
    void OnSlaveTimeout();
    TTelegramRecord Parse(const std::string& text) const;
    void ArmSlaveTimeout();

    const TIBISTelegramParser& FParser;
    TEnvironment& FEnv;
    const IClock& FClock;
    THooks FHooks;
    std::unique_ptr<ITimer> FIntervallTimer, FMasterTimeout, FSlaveTimeout;

    std::vector<tAufruf> FEntries;
    std::string FActiveFile;
    TCallListProblem FProblem;
    std::size_t FNextIndex = 0;
    bool FBusy = false;
    bool FHookRegistered = false;
    TTelegramRecord FCurrent;
    tSpontanAufruf FSingle;
};

} // namespace vaskel
