// The classifier with the shipped catalogue on any telegram, in both roles
// and on both bus types, with the row data built from the result.

#include "FuzzSupport.h"

#include "telegram/TelegramParser.h"
#include "telegram/TextConventions.h"

#include <cstdlib>
#include <memory>

namespace {

const vaskel::TIBISTelegramParser& Shipped() {
    // tools/fuzz.sh names the catalogue; the source tree's is the default
    static const auto parser = [] {
        const char* file = std::getenv("VASKEL_FUZZ_CATALOGUE");
        return std::make_unique<vaskel::TIBISTelegramParser>(
            file && *file ? file : VASKEL_FUZZ_SHIPPED_CATALOGUE);
    }();
    return *parser;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vaskel;
    const std::string_view text = fuzz::Bytes(data, size);
    const TIBISTelegramParser& p = Shipped();
    TTelegramRecord reused;
    for (const bool master : {true, false})
        for (const TBusType bus : {TBusType::bsVehicleBus, TBusType::bsTrainBus}) {
            const TTelegramRecord r = p.Classify(text, master, bus);
            p.Classify(text, master, bus, reused);
            if (!(r == reused)) __builtin_trap();
            if (r.ExactMatch != (r.MatchedLength == -1) && !r.RecordNo.empty()) __builtin_trap();
            (void)MakeTelegramData(r);
        }
    // the text as typed in the direct input
    (void)p.Classify(DisplayToTelegram(text), true, TBusType::bsVehicleBus);
    return 0;
}
