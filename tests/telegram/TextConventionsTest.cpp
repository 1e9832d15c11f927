#include "telegram/TextConventions.h"

#include <gtest/gtest.h>

namespace vaskel {
namespace {

TEST(CheckByte, KnownTelegrams) {
    EXPECT_EQ(CalcCheckByte(""), '\x72');
    EXPECT_EQ(CalcCheckByte("a"), '\x13');
    EXPECT_EQ(CalcCheckByte("l001"), '/');
    EXPECT_EQ(CalcCheckByte("z000"), '8');
}

TEST(CheckByte, IsSevenBitXorOfTextCrAnd7F) {
    const std::string text = "zA2Hauptbahnhof    Messe/Stadthalle";
    unsigned char expect = 0x7F ^ 0x0D;
    for (char c : text)
        expect ^= static_cast<unsigned char>(c);
    EXPECT_EQ(static_cast<unsigned char>(CalcCheckByte(text)), expect);
    EXPECT_LT(static_cast<unsigned char>(CalcCheckByte(text)), 0x80);
}

struct NotationCase {
    std::string bytes, plain, umlaut;
};

TEST(DisplayNotations, PlainAndUmlaut) {
    const NotationCase cases[] = {
        {"l001\r/", "l001<CR>/", "l001<CR>/"},
        {"a\nb", "a<LF>b", "a<LF>b"},
        {std::string("\x02\x00\x1F", 3), "<$02><$00><$1F>", "<$02><$00><$1F>"},
        {"A\\B", "A\\B",
         "A\xD6"
         "B"},
        {"[\\]{|}~", "[\\]{|}~", "\xC4\xD6\xDC\xE4\xF6\xFC\xDF"},
        {"a b", "a b", "a.b"},
        {"\xE4", "\xE4", "."},
        {"\x7F\x80\xFF", "...", "..."},
        {"\xC4\xD6\xDC\xDF\xE4\xF6\xFC", "\xC4\xD6\xDC\xDF\xE4\xF6\xFC", "......."},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TelegramToDisplay(c.bytes), c.plain) << c.plain;
        EXPECT_EQ(TelegramToUmlautDisplay(c.bytes), c.umlaut) << c.plain;
    }
}

// The text the protocol windows and the printout show: umlauts for the
// national characters, and a blank is a blank, never a full stop.
TEST(DisplayNotations, ShownText) {
    const std::pair<std::string, std::string> cases[] = {
        {"zA2Universit{t  Ost.\r", "zA2Universit\xE4t  Ost.<CR>"},
        {"[\\]{|}~", "\xC4\xD6\xDC\xE4\xF6\xFC\xDF"},
        {std::string("a\0\nb", 4), "a<$00><LF>b"},
        {"\x7F\xE4", TelegramToDisplay("\x7F\xE4")},
    };
    for (const auto& [bytes, shown] : cases)
        EXPECT_EQ(TelegramToShownText(bytes), shown) << TelegramToDisplay(bytes);
}

TEST(EntryNotation, Tokens) {
    const std::pair<std::string, std::string> cases[] = {
        {"l001<CR>", "l001\r"},
        {"<LF><CR>", "\n\r"},
        {"<$0D>", "\r"},
        {"<$00>x", std::string("\0x", 2)},
        {"<$7F>", "\x7F"},
        {"<$80>", "<$80>"},
        {"<$0d>", "<$0d>"},
        {"<$0G>", "<$0G>"},
        {"ab<CR", "ab<CR"},
        {"<CR", "<CR"},
        {"<LF", "<LF"},
        {"<$0D", "<$0D"},
        {"<<CR>", "<\r"},
        {"x<", "x<"},
        {"<$41>>", "A>"},
        {"A\xD6"
         "B",
         "A\\B"},
        {"\xC4\xD6\xDC\xE4\xF6\xFC\xDF", "[\\]{|}~"},
        {"...", "..."},
        {"", ""},
    };
    for (const auto& [entry, bytes] : cases)
        EXPECT_EQ(DisplayToTelegram(entry), bytes) << entry;
}

TEST(EntryNotation, UmlautTextRoundTripsThroughUmlautDisplay) {
    const std::string entry = "M\xFC"
                              "nchen-Stra\xDF"
                              "e";
    EXPECT_EQ(DisplayToTelegram(entry), "M}nchen-Stra~e");
    EXPECT_EQ(TelegramToUmlautDisplay(DisplayToTelegram(entry)), entry);
}

TEST(NulTokens, ReplacedByNulByte) {
    EXPECT_EQ(ReplaceNulTokens("a<$00>b<$00>"), std::string("a\0b\0", 4));
    EXPECT_EQ(ReplaceNulTokens("<$01><$0"), "<$01><$0");
}

TEST(IBISHex, Conversions) {
    EXPECT_EQ(IntToIBISHex(0), "0");
    EXPECT_EQ(IntToIBISHex(10), ":");
    EXPECT_EQ(IntToIBISHex(15), "?");
    EXPECT_EQ(IntToIBISHex(16), "10");
    EXPECT_EQ(IntToIBISHex(0x3F), "3?");
    EXPECT_EQ(IntToIBISHex(255), "??");
    EXPECT_EQ(IBISHexToInt("1?"), 31);
    EXPECT_EQ(IBISHexToInt(""), 0);
    EXPECT_EQ(IBISHexToInt(" :; "), 0xAB);
    EXPECT_EQ(IBISHexToIntStr("?"), "15");
    EXPECT_EQ(IBISHexToHex("0:?"), "0AF");
    EXPECT_EQ(HexToIBISHex(" 0af "), "0:?");
    for (int v = 0; v < 256; ++v)
        EXPECT_EQ(IBISHexToInt(IntToIBISHex(v)), v);
}

TEST(IBISHex, InvalidInputRaisesConversionErrorWithInput) {
    try {
        IBISHexToInt("1A");
        FAIL() << "no error";
    } catch (const EConversionError& e) {
        EXPECT_STREQ(e.what(), "IBISHexToHex: Invalid character in IBIS-Hex string: 1A");
    }
    try {
        HexToIBISHex("G1");
        FAIL() << "no error";
    } catch (const EConversionError& e) {
        EXPECT_STREQ(e.what(), "HexToIBISHex: Invalid character in Hex string: G1");
    }
}

TEST(Hex, HexToInt) {
    EXPECT_EQ(HexToInt(""), 0);
    EXPECT_EQ(HexToInt("1f"), 31);
    EXPECT_EQ(HexToInt("7FFFFFFF"), 0x7FFFFFFF);
    EXPECT_EQ(HexToInt("FFFFFFFF"), -1);
    EXPECT_EQ(HexToIntDef("xyz", -5), -5);
    EXPECT_EQ(HexToIntDef("123456789", 7), 7);
    try {
        HexToInt("1 2");
        FAIL() << "no error";
    } catch (const EConversionError& e) {
        EXPECT_STREQ(e.what(), "HexToInt: Invalid character in Hex string: 1 2");
    }
}

TEST(HexDump, WithAndWithoutSpaces) {
    EXPECT_EQ(StrToHexDump("l0\r", true), " 6C 30 0D");
    EXPECT_EQ(StrToHexDump("l0\r", false), "6C300D");
    EXPECT_EQ(StrToHexDump("", true), "");
    EXPECT_EQ(StrToPrintable(std::string("a\r\0~\x7F\xFF", 6)), "a<0D><00>~<7F><FF>");
}

TEST(TimeTexts, MsToTimeText) {
    EXPECT_EQ(MsToTimeText(0), "00:00:00,000");
    EXPECT_EQ(MsToTimeText(3723004), "01:02:03,004");
    EXPECT_EQ(MsToTimeText(-3723004), "01:02:03,004");
    EXPECT_EQ(MsToTimeText(86399999), "23:59:59,999");
    EXPECT_EQ(MsToTimeText(86400000 + 1500), "00:00:01,500");
}

TEST(TimeTexts, MsToSecondsText) {
    EXPECT_EQ(MsToSecondsText(1234, true), "1,234");
    EXPECT_EQ(MsToSecondsText(5, true), "0,005");
    EXPECT_EQ(MsToSecondsText(2000, true), "2,000");
    EXPECT_EQ(MsToSecondsText(2001, true), ">2,000");
    EXPECT_EQ(MsToSecondsText(-1500, true), "-1,500");
    EXPECT_EQ(MsToSecondsText(-3, true), "-0,003");
    EXPECT_EQ(MsToSecondsText(1234, true, '.'), "1.234");
    EXPECT_EQ(MsToSecondsText(2001, true, '.'), ">2.000");
    EXPECT_EQ(MsToSecondsText(-1500, false), "-1500");
}

__extension__ using Int128 = __int128;

TEST(TimeTexts, DeviceTicksToMs) {
    EXPECT_EQ(DeviceTicksToMs(72), 10);
    EXPECT_EQ(DeviceTicksToMs(7200), 1000);
    EXPECT_EQ(DeviceTicksToMs(66), 9);
    EXPECT_EQ(DeviceTicksToMs(-66), -9);
    EXPECT_EQ(DeviceTicksToMs(int64_t{0xFFFFFFFF} * 100), int64_t{0xFFFFFFFF} * 1000 / 72);
    // the whole range, exactly (found by the fuzzer: ticks x 10 overflowed)
    for (const int64_t t : {INT64_MAX, INT64_MIN, INT64_MAX / 10 + 1, -(INT64_MAX / 10) - 2,
                            int64_t{-4611686018427387903}, int64_t{-71}, int64_t{71}})
        EXPECT_EQ(DeviceTicksToMs(t), static_cast<int64_t>(static_cast<Int128>(t) * 10 / 72)) << t;
}

TEST(Tokens, GetNextTokenAndSplit) {
    std::string t = "a;;b;";
    EXPECT_EQ(GetNextToken(t, ";"), "a");
    EXPECT_EQ(t, ";b;");
    EXPECT_EQ(GetNextToken(t, ";"), "");
    EXPECT_EQ(GetNextToken(t, ";"), "b");
    EXPECT_EQ(t, "");
    std::string whole = "abc";
    EXPECT_EQ(GetNextToken(whole, "::"), "abc");
    EXPECT_EQ(whole, "");
    EXPECT_EQ(SplitTokens("x::y::z", "::"), (std::vector<std::string>{"x", "y", "z"}));
    EXPECT_EQ(SplitTokens("x;", ";"), (std::vector<std::string>{"x"}));
    EXPECT_TRUE(SplitTokens("", ";").empty());
    std::string any = "a";
    try {
        GetNextToken(any, "");
        FAIL() << "no error";
    } catch (const EConversionError& e) {
        EXPECT_STREQ(e.what(), "GetNextToken: Delimiter may not be an empty string");
    }
}

} // namespace
} // namespace vaskel

namespace vaskel {
namespace {

TEST(Numbers, DecimalTexts) {
    const std::pair<std::string, int32_t> cases[] = {
        {"42", 42},         {" -7 ", -7},
        {"+3", 3},          {"", -1},
        {"-", -1},          {"1x", -1},
        {"x", -1},          {"2147483647", 2147483647},
        {"2147483648", -1}, {"99999999999999999999", -1}};
    for (const auto& [text, value] : cases)
        EXPECT_EQ(StrToIntDef(text, -1), value) << text;
    int64_t v = 0;
    EXPECT_TRUE(TryStrToInt64("86400000", v));
    EXPECT_EQ(v, 86400000);
}

} // namespace
} // namespace vaskel
