// The classifier with a fuzzed catalogue: the input is catalogue text, a
// line "#!", then telegrams one per line. Every telegram is classified in
// both roles, and each pattern is walked against each telegram by itself.

#include "FuzzSupport.h"

#include "telegram/Catalogue.h"
#include "telegram/Errors.h"
#include "telegram/TelegramParser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vaskel;
    const std::string_view input = fuzz::Bytes(data, size);
    const std::size_t split = input.find("\n#!");
    const std::string_view catalogue = input.substr(0, split);
    std::string_view telegrams =
        split == std::string_view::npos ? std::string_view() : input.substr(split + 3);
    TProfileArray records;
    try {
        records = ParseCatalogue(catalogue, "IBIS.CSV");
    } catch (const EVaskelError&) {
        return 0;
    }
    if (records.size() > 64) return 0;
    const TIBISTelegramParser parser(records);
    int lines = 0;
    while (!telegrams.empty() && lines++ < 16) {
        const std::size_t end = telegrams.find('\n');
        const std::string_view t = telegrams.substr(0, end);
        telegrams = end == std::string_view::npos ? std::string_view() : telegrams.substr(end + 1);
        for (const bool master : {true, false}) {
            const TTelegramRecord r = parser.Classify(t, master, TBusType::bsVehicleBus);
            (void)MakeTelegramData(r);
        }
        for (const auto& rec : records) {
            (void)MatchScore(t, rec.Pattern);
            TTelegramRecord r;
            r.Telegram = std::string(t);
            TIBISTelegramParser::SplitFields(r, rec);
        }
    }
    return 0;
}
