// The table-file loader (protocols and lists) on any file. The first byte
// chooses quote, separator and header, as the three file kinds use them.

#include "FuzzSupport.h"

#include "recording/TableFile.h"
#include "telegram/DelimitedText.h"
#include "telegram/Errors.h"

#include <optional>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vaskel;
    if (size == 0) return 0;
    fuzz::LimitLines();
    const bool comma = data[0] & 1;
    const bool withHeader = data[0] & 2;
    const int cols = 4 + (data[0] >> 2) % 8; // lists have 4 columns, protocols 10
    const std::string_view content = fuzz::Bytes(data + 1, size - 1);
    const char quote = comma ? '\'' : '"';
    const char separator = comma ? ',' : ';';
    std::optional<std::string> header;
    if (withHeader) header = comma ? "'Ok','Aufruf'," : "\"Ok\";\"Aufruf\"";

    TTable table(std::vector<TZK_InputStyle>(cols, TZK_InputStyle::csString));
    const std::string file = fuzz::ScratchFile(content, "table.csv");
    try {
        (void)LoadFromCSV(table, file, quote, nullptr, header, separator);
        for (int row = 0; row < table.RowCount(); ++row)
            for (int col = 0; col < table.ColCount(); ++col)
                (void)table.Cell(col, row);
    } catch (const EVaskelError&) {
    }
    std::size_t lines = 0;
    try {
        ForEachTableLine(file, quote, separator,
                         [&](std::vector<std::string>& f, int) { lines += f.size(); });
    } catch (const EVaskelError&) {
    }
    // the splitter on the raw content, both ways
    std::string packed;
    (void)SplitTableLine(content, quote, separator);
    (void)PackTableLine(content, quote, separator, cols, packed);
    return 0;
}
