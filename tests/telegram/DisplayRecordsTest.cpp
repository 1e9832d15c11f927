#include "telegram/DisplayRecords.h"
#include "telegram/TextConventions.h"

#include <gtest/gtest.h>

#include <random>

namespace vaskel {
namespace {

const std::string LF(1, '\n');

TComposerInput Input(TDisplayRecord type, std::vector<std::string> rows, int address = 1,
                     int phase = kNoPhaseTime, bool doubleLf = true) {
    TComposerInput in;
    in.Type = type;
    in.Rows = std::move(rows);
    in.Address = address;
    in.PhaseTime = phase;
    in.DoubleLineFeed = doubleLf;
    return in;
}

TEST(DisplayRecords, Compose021WithAddressPhaseTimeAndDoubleLineFeed) {
    const TComposeResult r =
        ComposeDisplayRecord(Input(TDisplayRecord::DS021, {"ABC", "DE"}, 10, 2));
    ASSERT_EQ(r.Problem, TComposeProblem::None);
    const std::string data = "A2ABC" + LF + "DE" + LF + LF + std::string(6, ' ');
    EXPECT_EQ(r.Telegram, "aA:1" + data);
    EXPECT_EQ(data.size(), 16u);
}

TEST(DisplayRecords, ComposeTable) {
    struct Case {
        const char* name;
        TComposerInput in;
        std::string telegram;
        TComposeProblem problem;
    };
    const std::string pad12(12, ' ');
    const Case cases[] = {
        {"021 without phase time, single LF",
         Input(TDisplayRecord::DS021, {"X", "Y", "Z", ""}, 3, kNoPhaseTime, false),
         "aA31X" + LF + "Y" + LF + "Z" + LF + LF + std::string(9, ' '), TComposeProblem::None},
        {"021 phase time 8,5 is digit ?", Input(TDisplayRecord::DS021, {"", ""}, 15, 15),
         "aA?1A?" + LF + LF + LF + std::string(11, ' '), TComposeProblem::None},
        {"021 no address", Input(TDisplayRecord::DS021, {"A", ""}, 0, 2), "",
         TComposeProblem::NoAddress},
        {"021 no phase time", Input(TDisplayRecord::DS021, {"A", ""}, 1, kPhaseTimeUnset), "",
         TComposeProblem::NoPhaseTime},
        {"021 256 bytes refused",
         Input(TDisplayRecord::DS021, {std::string(240, 'x'), ""}, 1, 0), "",
         TComposeProblem::Over15Blocks16},
        {"003a joins with LF, none after the last", Input(TDisplayRecord::DS003a, {"AB", "C"}),
         "zA1AB" + LF + "C" + pad12, TComposeProblem::None},
        {"003a 240 bytes", Input(TDisplayRecord::DS003a, {std::string(240, 'x')}),
         "zA?" + std::string(240, 'x'), TComposeProblem::None},
        {"003a 241 bytes", Input(TDisplayRecord::DS003a, {std::string(241, 'x')}), "",
         TComposeProblem::Over15Blocks16},
        {"003c 60 bytes", Input(TDisplayRecord::DS003c, {std::string(60, 'x')}),
         "zI?" + std::string(60, 'x'), TComposeProblem::None},
        {"003c 64 bytes", Input(TDisplayRecord::DS003c, {std::string(64, 'x')}), "",
         TComposeProblem::Over15Blocks4},
        {"003c 61 bytes pad to 64", Input(TDisplayRecord::DS003c, {std::string(61, 'x')}), "",
         TComposeProblem::Over15Blocks4},
        {"004c blocks of 4", Input(TDisplayRecord::DS004c, {"\xC4rger"}),
         "eT2\xC4rger   ", TComposeProblem::None},
        {"021a two length digits", Input(TDisplayRecord::DS021a, {std::string(17, 'r')}, 4),
         "aL411" + std::string(17, 'r'), TComposeProblem::None},
        {"021a empty", Input(TDisplayRecord::DS021a, {""}, 1), "aL100", TComposeProblem::None},
        {"021a no address", Input(TDisplayRecord::DS021a, {"x"}, 16), "",
         TComposeProblem::NoAddress},
        {"021a 255 bytes", Input(TDisplayRecord::DS021a, {std::string(255, 'r')}, 1),
         "aL1??" + std::string(255, 'r'), TComposeProblem::None},
        // the record type has two length digits: 256 would need three
        {"021a 256 bytes", Input(TDisplayRecord::DS021a, {std::string(256, 'r')}, 1), "",
         TComposeProblem::TooLong},
        {"021a 4095 bytes", Input(TDisplayRecord::DS021a, {std::string(4095, 'r')}, 1), "",
         TComposeProblem::TooLong},
    };
    for (const Case& c : cases) {
        const TComposeResult r = ComposeDisplayRecord(c.in);
        EXPECT_EQ(r.Problem, c.problem) << c.name;
        EXPECT_EQ(r.Telegram, c.telegram) << c.name;
    }
}

TEST(DisplayRecords, ProblemTexts) {
    EXPECT_EQ(ComposeProblemText(TComposeProblem::Over15Blocks16),
              "Die Eingabe erfordert das \xDC" "bertragen von mehr als 15 Bl\xF6" "cken zu je 16 "
              "Zeichen.\nDies ist nicht m\xF6glich.\nBitte die Eingabe entsprechend reduzieren!");
    EXPECT_EQ(ComposeProblemText(TComposeProblem::NoAddress),
              "Bitte geben Sie eine g\xFCltige Adresse ein.");
    EXPECT_EQ(ComposeProblemText(TComposeProblem::NoPhaseTime),
              "Bitte w\xE4hlen Sie eine Taktzeit aus.");
}

TEST(DisplayRecords, PrefixesAndPhaseTimes) {
    TDisplayRecord t;
    const std::pair<const char*, TDisplayRecord> prefixes[] = {
        {"zA1x", TDisplayRecord::DS003a}, {"  zI1", TDisplayRecord::DS003c},
        {"aA11", TDisplayRecord::DS021},  {"aL100", TDisplayRecord::DS021a},
        {"eT1", TDisplayRecord::DS004c}};
    for (const auto& [text, type] : prefixes) {
        ASSERT_TRUE(DisplayRecordFromPrefix(text, t)) << text;
        EXPECT_EQ(t, type) << text;
    }
    for (const char* other : {"", "z", "za", "l001", "aB1"})
        EXPECT_FALSE(DisplayRecordFromPrefix(other, t)) << other;
    EXPECT_EQ(PhaseTimeText(0), "1");
    EXPECT_EQ(PhaseTimeText(1), "1,5");
    EXPECT_EQ(PhaseTimeText(15), "8,5");
    EXPECT_EQ(PhaseTimeText(kNoPhaseTime), "Ohne Takt");
    EXPECT_EQ(PhaseTimeFromText("2"), 2);
    EXPECT_EQ(PhaseTimeFromText("1.5"), 1);
    EXPECT_EQ(PhaseTimeFromText("none"), kNoPhaseTime);
    EXPECT_EQ(PhaseTimeFromText("9"), kPhaseTimeUnset);
    EXPECT_EQ(PhaseTimeMs(2), 2000);
}

TEST(DisplayRecords, Decompose021RestoresAddressPhaseTimeAndLines) {
    const std::string t =
        ComposeDisplayRecord(Input(TDisplayRecord::DS021, {"ABC", "DE"}, 10, 2)).Telegram;
    const TComposerInput in = DecomposeDisplayRecord(TDisplayRecord::DS021, t);
    EXPECT_EQ(in.Address, 10);
    EXPECT_EQ(in.PhaseTime, 2);
    EXPECT_TRUE(in.DoubleLineFeed);
    EXPECT_EQ(in.Rows, (std::vector<std::string>{"ABC", "DE"}));
}

TEST(DisplayRecords, DecomposeFallbacks) {
    struct Case {
        const char* name;
        TDisplayRecord type;
        std::string telegram;
        int address, phase;
        std::vector<std::string> rows;
    };
    const Case cases[] = {
        {"address 0 selects 2", TDisplayRecord::DS021, "aA01X" + LF + "Y" + LF + LF, 2,
         kNoPhaseTime, {"X", "Y"}},
        {"short telegram: no phase time", TDisplayRecord::DS021, "aA1", 1, kNoPhaseTime, {"", ""}},
        {"A without IBIS-hex digit is text", TDisplayRecord::DS021, "aA51ABC" + LF + "D" + LF, 5,
         kNoPhaseTime, {"ABC", "D"}},
        {"text after the last LF is one more line, its blanks the padding",
         TDisplayRecord::DS021, "aA11A0L1" + LF + "L2" + LF + LF + "rest   ", 1, 0,
         {"L1", "L2", "rest", ""}},
        {"a last line without its LF is kept", TDisplayRecord::DS021, "aA11A0L1" + LF + "L2", 1,
         0, {"L1", "L2"}},
        {"odd line gets an empty partner", TDisplayRecord::DS021, "aA11A0L1" + LF, 1, 0,
         {"L1", ""}},
        {"blanks after the last LF are the padding", TDisplayRecord::DS021,
         "aA11A0L1" + LF + "L2" + LF + LF + "        ", 1, 0, {"L1", "L2"}},
        {"national characters become umlauts", TDisplayRecord::DS003a, "zA1M}nchen", 0, 0,
         {"M\xFCnchen"}},
        {"003a last row without LF", TDisplayRecord::DS003a, "zA1A" + LF + LF + "B", 0, 0,
         {"A", "", "B"}},
        {"021a from the 6th character", TDisplayRecord::DS021a, "aL703abc", 7, 0, {"abc"}},
    };
    for (const Case& c : cases) {
        const TComposerInput in = DecomposeDisplayRecord(c.type, c.telegram);
        if (c.type == TDisplayRecord::DS021 || c.type == TDisplayRecord::DS021a)
            EXPECT_EQ(in.Address, c.address) << c.name;
        if (c.type == TDisplayRecord::DS021) EXPECT_EQ(in.PhaseTime, c.phase) << c.name;
        EXPECT_EQ(in.Rows, c.rows) << c.name;
    }
}

TEST(DisplayRecords, SingleLineFeedTelegramIsReadWithSingleLineFeeds) {
    const TComposerInput made =
        Input(TDisplayRecord::DS021, {"A1", "A2", "B1", "B2"}, 2, 4, false);
    const std::string t = ComposeDisplayRecord(made).Telegram;
    const TComposerInput in = DecomposeDisplayRecord(TDisplayRecord::DS021, t);
    EXPECT_FALSE(in.DoubleLineFeed);
    EXPECT_EQ(in.Rows, made.Rows);
}

// Random line sets over every type compose, decompose and compose again to
// the same telegram, across the block limits.
TEST(DisplayRecords, RoundTripRandomLineSets) {
    std::mt19937 rng(16);
    const std::string alphabet = "ABCabcxyz 0123-./\xC4\xD6\xDC\xE4\xF6\xFC\xDF";
    auto randomLine = [&](int maxLen) {
        std::string s;
        const int n = static_cast<int>(rng() % static_cast<unsigned>(maxLen + 1));
        for (int k = 0; k < n; ++k)
            s += alphabet[rng() % alphabet.size()];
        return s;
    };
    const TDisplayRecord types[] = {TDisplayRecord::DS021, TDisplayRecord::DS003a,
                                    TDisplayRecord::DS003c, TDisplayRecord::DS004c,
                                    TDisplayRecord::DS021a};
    int composed = 0;
    for (int round = 0; round < 3000; ++round) {
        TComposerInput in;
        in.Type = types[round % 5];
        in.Address = 1 + static_cast<int>(rng() % 15);
        in.PhaseTime = static_cast<int>(rng() % 17);
        in.DoubleLineFeed = rng() % 2 == 0;
        const bool small = in.Type == TDisplayRecord::DS003c || in.Type == TDisplayRecord::DS004c;
        int rows = in.Type == TDisplayRecord::DS021a ? 1 : 1 + static_cast<int>(rng() % 6);
        if (in.Type == TDisplayRecord::DS021 && rows % 2) ++rows;
        for (int k = 0; k < rows; ++k)
            in.Rows.push_back(randomLine(small ? 20 : 70));
        // the limits themselves: 240/241 and 60/64 bytes in one line
        if (round % 50 == 1) in.Rows = {std::string(240 + round % 2, 'L')};
        if (round % 50 == 2) in.Rows = {std::string(round % 4 ? 60 : 64, 'l')};
        if (in.Type == TDisplayRecord::DS021 && in.Rows.size() % 2) in.Rows.emplace_back();
        const TComposeResult first = ComposeDisplayRecord(in);
        if (first.Problem != TComposeProblem::None) continue;
        ++composed;
        const TComposerInput back = DecomposeDisplayRecord(in.Type, first.Telegram);
        const TComposeResult again = ComposeDisplayRecord(back);
        ASSERT_EQ(again.Telegram, first.Telegram) << "round " << round;
        // and as the bus carries it: umlauts as IBIS national characters
        const TComposerInput fromBus =
            DecomposeDisplayRecord(in.Type, DisplayToTelegram(first.Telegram));
        ASSERT_EQ(ComposeDisplayRecord(fromBus).Telegram, first.Telegram) << "round " << round;
    }
    EXPECT_GT(composed, 1000);
}

TEST(DisplayRecords, ViewSplitsLinesAndPhasesAsTheTelegramDoes) {
    TDisplayView v;
    const std::string t021 =
        ComposeDisplayRecord(Input(TDisplayRecord::DS021, {"Linie 5", "Hbf", "\xFC" "ber", "Markt"}, 1, 4))
            .Telegram;
    ASSERT_TRUE(BuildDisplayView(DisplayToTelegram(t021) + "\r!", TDisplayClass::Front, v));
    EXPECT_EQ(v.Type, TDisplayRecord::DS021);
    EXPECT_EQ(v.PhaseTime, 4);
    ASSERT_EQ(v.Phases.size(), 2u);
    ASSERT_EQ(v.Phases[0].Lines.size(), 2u);
    EXPECT_EQ(v.Phases[0].Lines[0].Text, "Linie 5");
    EXPECT_EQ(v.Phases[0].Lines[1].Text, "Hbf");
    EXPECT_EQ(v.Phases[1].Lines[0].Text, "\xFC" "ber");
    EXPECT_EQ(v.Phases[1].Lines[1].Text, "Markt");

    // single LF phases, read as pairs
    const std::string single =
        ComposeDisplayRecord(Input(TDisplayRecord::DS021, {"a", "b", "c", "d"}, 1, 0, false))
            .Telegram;
    ASSERT_TRUE(BuildDisplayView(single, TDisplayClass::Front, v));
    ASSERT_EQ(v.Phases.size(), 2u);
    EXPECT_EQ(v.Phases[1].Lines[0].Text, "c");

    // 003a: one phase, lines cut at the display's width, extra lines marked
    ASSERT_TRUE(BuildDisplayView("zA3" + std::string(30, 'x') + LF + "two" + LF + "three",
                                 TDisplayClass::Side, v));
    ASSERT_EQ(v.Phases.size(), 1u);
    ASSERT_EQ(v.Phases[0].Lines.size(), 2u);
    EXPECT_EQ(v.Phases[0].Lines[0].Text, std::string(20, 'x'));
    EXPECT_TRUE(v.Phases[0].Lines[0].Cut);
    EXPECT_FALSE(v.Phases[0].Lines[1].Cut);
    EXPECT_TRUE(v.Phases[0].MoreLines);

    EXPECT_FALSE(BuildDisplayView("l001", TDisplayClass::Front, v));
    EXPECT_EQ(DisplayColumns(TDisplayClass::Front), 24);
}

TEST(DisplayRecords, ConverterNotations) {
    struct Case {
        const char* name;
        TNumberNotations got, want;
    };
    const Case cases[] = {
        {"decimal 255", FromDecimalText("255"), {"255", "FF", "??"}},
        {"decimal empty", FromDecimalText(""), {"", "0", "0"}},
        {"ibis 1:;", FromIbisHexText("1:;"), {"427", "1AB", "1:;"}},
        {"ibis drops other characters", FromIbisHexText("1A:"), {"26", "1A", "1:"}},
        {"hex 0x1f", FromHexText("0x1f"), {"31", "01F", "01?"}},
        {"hex empty", FromHexText(""), {"0", "", ""}},
        {"hex max", FromHexText("FFFFFFF"), {"268435455", "FFFFFFF", "???????"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.got.Decimal, c.want.Decimal) << c.name;
        EXPECT_EQ(c.got.IbisHex, c.want.IbisHex) << c.name;
        EXPECT_EQ(c.got.Hex, c.want.Hex) << c.name;
    }
}

} // namespace
} // namespace vaskel
