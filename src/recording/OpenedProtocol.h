#pragma once
// Opened protocols: loading (with the older file forms), re-analysis and
// the pacing of sending a recorded protocol back onto the bus.

#include "recording/Recorder.h"
#include "recording/Table.h"
#include "telegram/TelegramParser.h"

#include <functional>
#include <string>

namespace vaskel {

extern const char* const kInvalidProtocolFormat; // "Ungültiges Protokollformat"
extern const char* const kProtocolLoadError;     // the two lines shown when loading fails

struct TProtocolLoad {
    bool CommaForm = false;
    bool Unquoted = false;
    bool Reanalysed = false;
    bool WrittenBack = false; // comma form: rewritten in the current form
    bool LastLineIncomplete = false;
};

// Loads a .PRO.CSV file in any accepted form into table (a protocol table).
// An unquoted file is converted on disk first; a comma-form file is
// re-analysed and written back in the current form (the old one stays as
// the backup). Throws EFileError (kInvalidProtocolFormat when the last
// non-empty line lacks the separator).
TProtocolLoad LoadProtocolFile(TTable& table, const std::string& fileName,
                               const TIBISTelegramParser& parser, TBusType bus,
                               const std::function<void(int)>& progress = nullptr);

// Classifies every row again, renumbers, and pairs answers with masters.
void Reanalyse(TTable& table, const TIBISTelegramParser& parser, TBusType bus,
               const std::function<void(int)>& progress = nullptr);

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
