#include "simulation/ProtocolPlayer.h"

#include "recording/Recorder.h"
#include "telegram/ClockTelegrams.h"
#include "telegram/TextConventions.h"

#include <algorithm>

namespace vaskel {

int TProtocolPlayer::Start() {
    if (CurrentRow >= FTable.RowCount() - 1 && Mode != smSingle) CurrentRow = 0;
    FSending = true;
    return Step();
}

int TProtocolPlayer::Step() {
    if (!FSending) return -1;
    // 1. The device has not yet sent the previous telegram.
    if (FHooks.SimulationBusy && FHooks.SimulationBusy()) {
        FInterval = 100;
        return FInterval;
    }
    // 2.
    std::string text = ReplaceNulTokens(FTable.Cell(pcTelegram, CurrentRow));
    if (!text.empty() && text.back() == '\r') text.pop_back();
    // 3. The scheduler fills in the current date and time.
    if ((!FHooks.ReformatUandD || FHooks.ReformatUandD()) && !text.empty()) {
        if (IsDateTimeCall(text))
            text = "dU";
        else if (text[0] == 'd' || text[0] == 'u')
            text = std::string(1, text[0]);
    }
    // 4.
    if (FHooks.MonitorExists && FHooks.MonitorExists()) {
        ++FSent;
        if (FHooks.RequestSingleCall) FHooks.RequestSingleCall(text);
    }
    // 5.
    auto startOf = [&](int row) -> int64_t {
        int64_t v = 0;
        return TryStrToInt64(FTable.Cell(pcStart, row), v) ? v : 0;
    };
    const int64_t s = startOf(CurrentRow);
    // 6.
    if (Mode == smSingle) {
        FSending = false;
        return -1;
    }
    const int last = FTable.RowCount() - 1;
    // 7.
    if (CurrentRow == last) {
        if (Mode == smCyclic) {
            CurrentRow = 0;
            return FInterval;
        }
        FSending = false;
        return -1;
    }
    // 8.
    do {
        ++CurrentRow;
    } while (CurrentRow < last && !IsMasterKind(FTable.Cell(pcKind, CurrentRow)));
    if (!IsMasterKind(FTable.Cell(pcKind, CurrentRow))) {
        if (Mode == smCyclic) {
            CurrentRow = 0;
            return FInterval;
        }
        FSending = false;
        return -1;
    }
    // 9. A gap that is not positive (a recording across midnight) takes
    // the fallback as well.
    const int64_t t = startOf(CurrentRow);
    const int f = FHooks.SendDelayFactor ? FHooks.SendDelayFactor() : 1;
    if (s > 0 && t > 0 && t - s >= 0) {
        const int64_t gap = t - s;
        const int64_t next = f > 0 ? gap * f + 1 : gap / -f + 1;
        FInterval = static_cast<int>(std::min<int64_t>(next, 0x7FFFFFFF));
    } else {
        FInterval = 10;
    }
    return FInterval;
}

} // namespace vaskel
