// The catalogue loader on any catalogue text, and the initial-letter file
// reader on the same bytes.

#include "FuzzSupport.h"

#include "telegram/Catalogue.h"
#include "telegram/DelimitedText.h"
#include "telegram/Errors.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vaskel;
    const std::string_view content = fuzz::Bytes(data, size);
    fuzz::LimitLines();
    try {
        const TProfileArray a = ParseCatalogue(content, "IBIS.CSV");
        // sorted by pattern, each prefix a leading part of its pattern
        for (std::size_t k = 1; k < a.size(); ++k)
            if (a[k - 1].Pattern > a[k].Pattern) __builtin_trap();
        for (const auto& r : a)
            if (r.Pattern.compare(0, r.Prefix.size(), r.Prefix) != 0) __builtin_trap();
        const TFirstCharIndex index = BuildFirstCharIndex(a);
        for (int c = 0; c < kIndexSize; ++c)
            if (index[c] >= 0 && (index[c] >= static_cast<int>(a.size()) ||
                                  static_cast<unsigned char>(a[index[c]].Pattern[0]) != c + 0x20))
                __builtin_trap();
    } catch (const EVaskelError&) {
    }
    try {
        (void)ParseFrameFile(content);
    } catch (const EVaskelError&) {
    }
    return 0;
}
