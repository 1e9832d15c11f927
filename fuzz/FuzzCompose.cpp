// The destination-display composer on any telegram: taking it apart the way
// the composer window and vaskel-cli decompose do (first byte: the record
// type), composing the rows again, the passenger's view and the number
// converter. A telegram the composer made composes from its own parts to
// itself, also as the bus carries it.

#include "FuzzSupport.h"

#include "telegram/DisplayRecords.h"
#include "telegram/Errors.h"
#include "telegram/TextConventions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vaskel;
    if (size == 0) return 0;
    const auto type = static_cast<TDisplayRecord>(data[0] % 5);
    const std::string_view telegram = fuzz::Bytes(data + 1, size - 1);

    const TComposerInput in = DecomposeDisplayRecord(type, telegram);
    if (in.Type != type) __builtin_trap();
    const TComposeResult first = ComposeDisplayRecord(in);
    (void)ComposeProblemText(first.Problem);
    if (first.Problem == TComposeProblem::None) {
        const TComposeResult again = ComposeDisplayRecord(DecomposeDisplayRecord(type, first.Telegram));
        if (again.Telegram != first.Telegram) __builtin_trap();
        // as the bus carries it (a row's "<..>" is the entry notation of a
        // byte there: such telegrams are not the same text on the bus)
        std::string bus;
        if (first.Telegram.find('<') == std::string::npos)
            fuzz::Try([&] { bus = DisplayToTelegram(first.Telegram); });
        if (!bus.empty() &&
            ComposeDisplayRecord(DecomposeDisplayRecord(type, bus)).Telegram != first.Telegram)
            __builtin_trap();
    }

    const TRecord021 r = Split021(telegram);
    if (r.Lines.size() % 2 != 0) __builtin_trap();
    TDisplayRecord detected;
    (void)DisplayRecordFromPrefix(telegram, detected);
    for (const TDisplayClass c : {TDisplayClass::Front, TDisplayClass::Side, TDisplayClass::Inside}) {
        TDisplayView view;
        if (BuildDisplayView(telegram, c, view))
            for (const TDisplayPhase& p : view.Phases)
                for (const TDisplayLine& l : p.Lines)
                    if (static_cast<int>(l.Text.size()) > DisplayColumns(c)) __builtin_trap();
    }
    (void)PhaseTimeFromText(telegram);
    (void)FromDecimalText(telegram);
    (void)FromHexText(telegram);
    (void)FromIbisHexText(telegram);
    return 0;
}
