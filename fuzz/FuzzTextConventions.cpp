// The text conventions: notations, IBIS-hex, numbers, tokens, delimited
// text, filters and Windows-1252, each on any bytes. The conversions may
// refuse their input with EConversionError, never otherwise.

#include "FuzzSupport.h"

#include "telegram/ClockTelegrams.h"
#include "telegram/Cp1252.h"
#include "telegram/DelimitedText.h"
#include "telegram/Errors.h"
#include "telegram/Filter.h"
#include "telegram/TextConventions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vaskel;
    const std::string_view s = fuzz::Bytes(data, size);
    fuzz::Try([&] { (void)CalcCheckByte(s); });
    fuzz::Try([&] { (void)TelegramToDisplay(s); });
    fuzz::Try([&] { (void)TelegramToUmlautDisplay(s); });
    fuzz::Try([&] { (void)DisplayToTelegram(s); });
    fuzz::Try([&] { (void)ReplaceNulTokens(s); });
    fuzz::Try([&] { (void)StrToHexDump(s, true); });
    fuzz::Try([&] { (void)StrToPrintable(s); });
    fuzz::Try([&] { (void)HexToIntDef(s, 0); });
    fuzz::Try([&] { (void)HexToInt(s); });
    fuzz::Try([&] { (void)IBISHexToIntStr(s); });
    fuzz::Try([&] { (void)IBISHexToHex(s); });
    fuzz::Try([&] { (void)HexToIBISHex(s); });
    fuzz::Try([&] { (void)IntToIBISHex(IBISHexToInt(s)); });
    int64_t v = 0;
    if (TryStrToInt64(s, v)) {
        fuzz::Try([&] { (void)MsToTimeText(v); });
        fuzz::Try([&] { (void)MsToSecondsText(v, true); });
        fuzz::Try([&] { (void)MsToSecondsText(v, false); });
        fuzz::Try([&] { (void)DeviceTicksToMs(v); });
        fuzz::Try([&] { (void)IntToIBISHex(static_cast<int>(v)); });
    }
    (void)StrToIntDef(s, 0);
    (void)TrimBlanks(s);
    fuzz::Try([&] { (void)IsDateTimeCall(s); });
    fuzz::Try([&] { (void)Cp1252ToUtf8(s); });
    fuzz::Try([&] { (void)Utf8ToCp1252(s); });
    const std::size_t half = s.size() / 2;
    const std::string_view a = s.substr(0, half), b = s.substr(half);
    fuzz::Try([&] { (void)PrefixMatches(a, b); });
    fuzz::Try([&] { (void)MarkMatches(a, b); });
    fuzz::Try([&] {
        std::string text(a);
        (void)GetNextToken(text, b.substr(0, 2));
    });
    fuzz::Try([&] { (void)SplitTokens(std::string(a), b.substr(0, 2)); });
    for (const char quote : {'"', '\''})
        for (const char sep : {';', ','}) {
            (void)SplitDelimited(s, sep, quote, true);
            (void)SplitDelimited(s, sep, quote, false);
        }
    return 0;
}
