#pragma once
// The pacing of sending a recorded protocol back onto the bus.

#include "recording/Table.h"

#include <functional>
#include <string>

namespace vaskel {

// Playing a protocol back: which row goes out next and when.
class TProtocolPlayer {
public:
    enum TMode { smCyclic = 0, smOnce = 1, smSingle = 2 };

    struct THooks {
        std::function<bool()> SimulationBusy;
        std::function<bool()> MonitorExists;
        std::function<void(const std::string&)> RequestSingleCall;
        std::function<bool()> ReformatUandD;
        std::function<int()> SendDelayFactor; // ProtocolSendDelay, never 0
    };

    TProtocolPlayer(const TTable& table, THooks hooks) : FTable(table), FHooks(std::move(hooks)) {}
    void SetHooks(THooks hooks) { FHooks = std::move(hooks); }

    TMode Mode = smOnce;
    int CurrentRow = 0; // 0-based data row
    bool Sending() const { return FSending; }
    int SentCount() const { return FSent; }

    // Starts at the current row (row 0 when at the last row and not in
    // single mode) and sends it; returns the interval to the next step, or
    // -1 when sending has already ended.
    int Start();
    void Stop() { FSending = false; }
    // One timer step: the interval (ms) to the next step, or -1 when sending
    // has ended.
    int Step();

private:
    const TTable& FTable;
    THooks FHooks;
    bool FSending = false;
    int FSent = 0;
    int FInterval = 10;
};

} // namespace vaskel
