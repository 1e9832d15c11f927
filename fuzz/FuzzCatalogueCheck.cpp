// The check a catalogue passes before the record-type editor saves it (and
// vaskel-cli catalogue check): on the rows of any catalogue text, with the
// texts of every problem found, and the pattern-form check on any pattern.

#include "FuzzSupport.h"

#include "telegram/CatalogueCheck.h"
#include "telegram/DelimitedText.h"
#include "telegram/Errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vaskel;
    const std::string_view content = fuzz::Bytes(data, size);
    fuzz::LimitLines();
    try {
        const std::vector<TCatalogueRow> rows = ReadCatalogueRows(content);
        const std::vector<TCatalogueProblem> problems = CheckCatalogue(rows);
        int last = -1;
        for (const TCatalogueProblem& p : problems) {
            // one problem per failing row, in row order
            if (p.Row <= last || p.Row >= static_cast<int>(rows.size())) __builtin_trap();
            last = p.Row;
            (void)CatalogueProblemText(p, 1);
            (void)CatalogueProblemText(p, 2);
        }
    } catch (const EVaskelError&) {
    }
    if (const auto e = CheckPatternSyntax(content))
        if (e->Position < 0 || e->Position > static_cast<int>(content.size())) __builtin_trap();
    return 0;
}
