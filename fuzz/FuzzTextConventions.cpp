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

namespace {

template <typename F> void Try(F&& f) {
    try {
        f();
    } catch (const vaskel::EVaskelError&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vaskel;
    const std::string_view s = fuzz::Bytes(data, size);
    Try([&] { (void)CalcCheckByte(s); });
    Try([&] { (void)TelegramToDisplay(s); });
    Try([&] { (void)TelegramToUmlautDisplay(s); });
    Try([&] { (void)DisplayToTelegram(s); });
    Try([&] { (void)ReplaceNulTokens(s); });
    Try([&] { (void)StrToHexDump(s, true); });
    Try([&] { (void)StrToPrintable(s); });
    Try([&] { (void)HexToIntDef(s, 0); });
    Try([&] { (void)HexToInt(s); });
    Try([&] { (void)IBISHexToIntStr(s); });
    Try([&] { (void)IBISHexToHex(s); });
    Try([&] { (void)HexToIBISHex(s); });
    Try([&] { (void)IntToIBISHex(IBISHexToInt(s)); });
    int64_t v = 0;
    if (TryStrToInt64(s, v)) {
        Try([&] { (void)MsToTimeText(v); });
        Try([&] { (void)MsToSecondsText(v, true); });
        Try([&] { (void)MsToSecondsText(v, false); });
        Try([&] { (void)DeviceTicksToMs(v); });
        Try([&] { (void)IntToIBISHex(static_cast<int>(v)); });
    }
    (void)StrToIntDef(s, 0);
    (void)TrimBlanks(s);
    Try([&] { (void)IsDateTimeCall(s); });
    Try([&] { (void)Cp1252ToUtf8(s); });
    Try([&] { (void)Utf8ToCp1252(s); });
    const std::size_t half = s.size() / 2;
    const std::string_view a = s.substr(0, half), b = s.substr(half);
    Try([&] { (void)PrefixMatches(a, b); });
    Try([&] { (void)MarkMatches(a, b); });
    Try([&] {
        std::string text(a);
        (void)GetNextToken(text, b.substr(0, 2));
    });
    Try([&] { (void)SplitTokens(std::string(a), b.substr(0, 2)); });
    for (const char quote : {'"', '\''})
        for (const char sep : {';', ','}) {
            (void)SplitDelimited(s, sep, quote, true);
            (void)SplitDelimited(s, sep, quote, false);
        }
    return 0;
}
