// The detail analyses of protocol rows: content by record type, errors and
// answer status, the error verdicts, and the places of the texts.

#include "analysis/DetailAnalysis.h"

#include "link/DeviceProtocol.h"
#include "recording/Recorder.h"
#include "telegram/Cp1252.h"
#include "telegram/DisplayRecords.h"
#include "telegram/Errors.h"
#include "telegram/TextConventions.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace vaskel {
namespace {

const std::string kCatalogue = std::string(VASKEL_TEST_DATA_DIR) + "/IBIS.CSV";

// The analyses' texts are Windows-1252; the tests write them readably.
std::string W(const char* utf8) {
    return Utf8ToCp1252(utf8);
}

bool Contains(const std::vector<std::string>& texts, const char* utf8) {
    return std::find(texts.begin(), texts.end(), W(utf8)) != texts.end();
}

class DetailAnalysisTest : public ::testing::Test {
protected:
    // One protocol row; the telegram as bytes.
    int Row(const std::string& kind, const std::string& telegram, const std::string& recordNo,
            const std::string& errors = " ", const std::string& status = "") {
        int r = T.RowCount() - 1;
        if (!T.Cell(pcKind, r).empty()) r = T.AppendRow();
        T.SetCell(pcKind, r, kind);
        T.SetCell(pcNr, r, std::to_string(r + 1));
        T.SetCell(pcStart, r, "29730250"); // 08:15:30,250
        T.SetCell(pcErrors, r, errors);
        T.SetCell(pcTelegram, r, telegram);
        T.SetCell(pcRecordNo, r, recordNo);
        T.SetCell(pcAnswer, r, status);
        return r;
    }
    TDetailContent Build(int row, TDetailOptions o = {}) {
        return BuildDetailAnalysis(DetailKindOf(T, row), T, row, Parser, o);
    }
    static std::string FieldText(const TDetailContent& c, const char* label) {
        const TDetailItem* i = c.FieldAfter(W(label));
        return i ? i->Value : "<none>";
    }
    TErrorVerdicts Verdicts(int row) {
        return ErrorVerdictsOf(T, row,
                               Parser.Classify(std::string(T.Cell(pcTelegram, row)),
                                               IsMasterKind(T.Cell(pcKind, row)),
                                               TBusType::bsVehicleBus));
    }

    TIBISTelegramParser Parser{kCatalogue};
    TTable T = MakeProtocolTable();
};

TEST_F(DetailAnalysisTest, DestinationTextsByPhase) {
    // phase time "5", three texts: two phases, the second line of the second empty
    const int r = Row("M", "aA12A5Linie 12\nHbf\nZoo\r", "021");
    const TDetailContent c = Build(r);
    EXPECT_FALSE(c.ErrorLook);
    EXPECT_EQ(FieldText(c, "DS-Nr.:"), "021");
    EXPECT_EQ(FieldText(c, "Adresse:"), "1");
    EXPECT_EQ(FieldText(c, "Taktzeit:"), "3,5s (5)");
    EXPECT_EQ(FieldText(c, "Länge (Byte):"), "23");
    std::vector<std::string> phases, lines;
    for (const auto& line : c.Lines)
        for (std::size_t k = 0; k < line.size(); ++k) {
            if (line[k].German == "Takt") phases.push_back(line[k].Text());
            if (line[k].German.starts_with("Zeile ") && k + 1 < line.size())
                lines.push_back(line[k + 1].Value);
        }
    EXPECT_EQ(phases, (std::vector<std::string>{"Takt 1", "Takt 2"}));
    EXPECT_EQ(lines, (std::vector<std::string>{"Linie.12", "Hbf", "Zoo", ""}));
    EXPECT_EQ(FieldText(c, "Lfd-Nr.:"), "1");
    EXPECT_EQ(FieldText(c, "Startzeit:"), "08:15:30,250");

    // no "A" at the 5th character: no phase time, texts from the 5th character on
    const int r2 = Row("M", "aA12Linie 12\nHbf\r", "021");
    const TDetailContent c2 = Build(r2);
    EXPECT_EQ(c2.FieldAfter("Taktzeit:"), nullptr);
    EXPECT_EQ(FieldText(c2, "Zeile 1:"), "Linie.12");

    struct TPhase {
        char Digit;
        char Separator;
        const char* Shown;
    };
    for (const TPhase& p : {TPhase{'0', ',', "1,0s (0)"}, TPhase{'?', ',', "8,5s (?)"},
                            TPhase{'5', '.', "3.5s (5)"}}) {
        const int rp = Row("M", std::string("aA12A") + p.Digit + "Hbf\r", "021");
        TDetailOptions o;
        o.DecimalSeparator = p.Separator;
        EXPECT_EQ(FieldText(Build(rp, o), "Taktzeit:"), p.Shown) << p.Digit;
    }
}

// The detail analysis of a 021 and the composer's decomposition (which the
// passenger's view and vaskel-cli decompose read too) take it apart into
// the same phases: one reading for all of them.
TEST_F(DetailAnalysisTest, DestinationPhasesAgreeWithTheDecomposition) {
    using TPhases = std::vector<std::pair<std::string, std::string>>;
    auto composed = [](std::vector<std::string> rows, int phase, bool doubleLf) {
        TComposerInput in;
        in.Type = TDisplayRecord::DS021;
        in.PhaseTime = phase;
        in.DoubleLineFeed = doubleLf;
        in.Rows = std::move(rows);
        return DisplayToTelegram(ComposeDisplayRecord(in).Telegram);
    };
    struct TCase {
        const char* Name;
        std::string Telegram; // as on the bus, without CR and check byte
        int Phase;            // the phase time's index, kNoPhaseTime: none
        bool DoubleLf;
        TPhases Phases; // bytes as on the bus
    };
    const std::vector<std::string> four = {"Marktplatz", "Hbf", "Zoo", "Ring"};
    const TPhases twoPhases = {{"Marktplatz", "Hbf"}, {"Zoo", "Ring"}};
    const TCase cases[] = {
        {"double LF, phase time", composed(four, 2, true), 2, true, twoPhases},
        {"single LF, phase time", composed(four, 2, false), 2, false, twoPhases},
        {"double LF, no phase time", composed(four, kNoPhaseTime, true), kNoPhaseTime, true,
         twoPhases},
        {"single LF, no phase time", composed(four, kNoPhaseTime, false), kNoPhaseTime, false,
         twoPhases},
        {"single LF, a phase starting with an empty line",
         composed({"A", "B", "", "D"}, 0, false), 0, false, {{"A", "B"}, {"", "D"}}},
        {"double LF, an empty phase in the middle",
         composed({"A", "B", "", "", "E", "F"}, 15, true), 15, true,
         {{"A", "B"}, {"", ""}, {"E", "F"}}},
        {"padding only", composed({"", ""}, 4, true), 4, true, {{"", ""}}},
        {"national characters", composed({"M\xFChle", "\xDC" "berland"}, 1, true), 1, true,
         {{"M}hle", "]berland"}}},
        {"three texts, the last without LF", "aA12A5Linie 12\nHbf\nZoo", 5, false,
         {{"Linie 12", "Hbf"}, {"Zoo", ""}}},
        {"an A without a digit is text", "aA11ABC\nDE\n\n" + std::string(8, ' '), kNoPhaseTime,
         true, {{"ABC", "DE"}}},
    };
    for (const TCase& k : cases) {
        SCOPED_TRACE(k.Name);
        const std::string telegram = k.Telegram + "\r" + CalcCheckByte(k.Telegram);
        const TDetailContent c = Build(Row("M", telegram, "021"));
        TPhases analysed;
        int phases = 0;
        for (const auto& line : c.Lines)
            for (std::size_t j = 0; j + 1 < line.size(); ++j) {
                if (line[j].German == "Takt") {
                    EXPECT_EQ(line[j].Text(), "Takt " + std::to_string(++phases));
                }
                if (line[j].German == "Zeile 1:") analysed.emplace_back(line[j + 1].Value, "");
                if (line[j].German == "Zeile 2:" && !analysed.empty())
                    analysed.back().second = line[j + 1].Value;
            }
        TPhases expectShown;
        for (const auto& [one, two] : k.Phases)
            expectShown.emplace_back(TelegramToUmlautDisplay(one), TelegramToUmlautDisplay(two));
        EXPECT_EQ(analysed, expectShown);
        EXPECT_EQ(phases, static_cast<int>(k.Phases.size()));
        EXPECT_EQ(c.FieldAfter("Taktzeit:") != nullptr, k.Phase != kNoPhaseTime);

        const TComposerInput in = DecomposeDisplayRecord(TDisplayRecord::DS021, k.Telegram);
        EXPECT_EQ(in.PhaseTime, k.Phase);
        EXPECT_EQ(in.DoubleLineFeed, k.DoubleLf);
        TPhases decomposed;
        for (std::size_t j = 0; j + 1 < in.Rows.size(); j += 2)
            decomposed.emplace_back(DisplayToTelegram(in.Rows[j]), DisplayToTelegram(in.Rows[j + 1]));
        EXPECT_EQ(decomposed, k.Phases);

        TDisplayView view;
        ASSERT_TRUE(BuildDisplayView(telegram, TDisplayClass::Front, view));
        ASSERT_EQ(view.Phases.size(), k.Phases.size());
        for (std::size_t j = 0; j < k.Phases.size(); ++j) {
            std::string first = k.Phases[j].first;
            first.erase(first.find_last_not_of(' ') + 1);
            EXPECT_EQ(DisplayToTelegram(view.Phases[j].Lines[0].Text), first) << j;
        }
    }
}

TEST_F(DetailAnalysisTest, MalformedTelegramsRaiseTheirFamilysText) {
    struct TCase {
        const char* Telegram;
        const char* RecordNo;
        const char* Text;
    };
    const TCase cases[] = {
        {"aAx2A5Hbf\r", "021", "(Siehe VDV-300 bzgl. Aufbau eines DS 021)."},
        {"zAxHauptbahnhof....\r", "003a", "(Siehe VDV-300 bzgl. Aufbau eines DS 003a)."},
        {"zIx1234\r", "003c", "(Siehe VDV-300 bzgl. Aufbau eines DS 003c)."},
    };
    for (const TCase& c : cases) {
        const int r = Row("M", c.Telegram, c.RecordNo);
        try {
            Build(r);
            ADD_FAILURE() << c.Telegram << " was analysed";
        } catch (const EVaskelError& e) {
            const std::string text = e.what();
            EXPECT_EQ(text, DetailAnalysisErrorText(DetailKindOf(T, r)));
            EXPECT_NE(text.find(c.Text), std::string::npos) << text;
            EXPECT_TRUE(text.ends_with(").\r\nDas Telegramm kann nicht analysiert werden."))
                << "two lines: " << text;
        }
    }
}

TEST_F(DetailAnalysisTest, DisplayTextBlocks) {
    const int r = Row("M", "zA2Hauptbahnhof....Messe<cr>Stadt..\r", "003a");
    const TDetailContent c = Build(r);
    EXPECT_EQ(FieldText(c, "Blöcke:"), "2");
    EXPECT_EQ(FieldText(c, "Anzeigetext:"), "Hauptbahnhof....Messe\r\nStadt..");
    const int r2 = Row("M", "zI1Zoo.\r", "003c");
    const TDetailContent c2 = Build(r2);
    EXPECT_EQ(FieldText(c2, "Anzeige"), "Zoo.");
    EXPECT_EQ(FieldText(c2, "Satznr.:"), "2");
}

TEST_F(DetailAnalysisTest, GeneralOrErrorAnalysisByErrorsAndStatus) {
    const int plain = Row("M", "u0730\r", "005");
    const TDetailContent general = Build(plain);
    EXPECT_EQ(DetailKindOf(T, plain), TDetailKind::General);
    EXPECT_EQ(FieldText(general, "Länge (Byte):"), "6");
    EXPECT_EQ(FieldText(general, "Telegramm:"), "u0730<CR>");

    const int missing = Row("M", "u0730\r", "005", "S");
    EXPECT_EQ(DetailKindOf(T, missing), TDetailKind::Error);
    const TDetailContent e = Build(missing);
    EXPECT_TRUE(e.ErrorLook);
    EXPECT_EQ(e.Messages().front(), W("Die Prüfsumme fehlt!"));
    EXPECT_EQ(FieldText(e, "Prüfsummenfehler"), "X");
    EXPECT_EQ(e.FieldAfter(W("Prüfsummenfehler"))->GermanHint,
              W("Es ist ein Prüfsummenfehler aufgetreten."));
    EXPECT_EQ(FieldText(e, "Datensatz-Nr.:"), "005");
    EXPECT_TRUE(Contains(e.Messages(), "OK: Datensatz 005 erwartet keine Antwort."));

    // a wrong check byte: with a device link the expected one is named, and it
    // is the one the device link appends when it sends the same text; both
    // values in upper-case hex digits
    ASSERT_EQ(TelegramBytes("l004").back(), '*');
    const int wrong = Row("M", std::string("l004\r") + 'Z', "001", "S");
    TDetailOptions link;
    link.LinkOpen = true;
    EXPECT_EQ(Build(wrong, link).Messages().front(),
              W("Die Prüfsumme müsste \"*\" (Hex: 0x2A) sein, ist aber \"Z\" (Hex: 0x5A)."));
    EXPECT_EQ(Build(wrong).Messages().front(),
              W("Die Prüfsumme ist \"Z\" (Hex: 0x5A). Dies ist nicht korrekt."));
}

TEST_F(DetailAnalysisTest, ErrorMarksTypesSyntaxAndSequence) {
    // an unanswered status request, with a framing error
    const int master = Row("M", "a1\r", "020", "F", "-1");
    const TDetailContent c = Build(master);
    EXPECT_EQ(FieldText(c, "Framing-Fehler"), "X");
    EXPECT_EQ(FieldText(c, "Parity-Fehler"), "");
    EXPECT_EQ(FieldText(c, "Prüfsummenfehler"), "") << "no S: an empty mark";
    EXPECT_EQ(FieldText(c, "Syntaxfehler"), "");
    EXPECT_TRUE(Contains(c.Messages(), "Fehler: Datensatz 020 erwartet Datensatz/Datensätze 120 "
                                       "als Antwort. Kein Slave hat passend darauf geantwortet."));

    // a master telegram sent by a slave, answered late with a partner row
    const int late = Row("S", "a1\r", "[020]", "T", "1");
    TTelegramData data;
    data.PartnerRow = 7;
    T.SetObject(late, data);
    const TDetailContent l = Build(late);
    EXPECT_EQ(FieldText(l, "Typfehler"), "X");
    const std::vector<std::string> m = l.Messages();
    EXPECT_TRUE(Contains(m, "Datensatz 020 ist ein Masterdatensatz. Er scheint jedoch von einem "
                            "Slave verschickt worden zu sein."));
    EXPECT_TRUE(Contains(
        m, "Die Antwort, auf die sich diese Analyse bezieht, ging in Protokollzeile 7 ein."));

    // nothing fits: the syntax message says so
    const int unknown = Row("M", "#\r", "", "X", "");
    const TDetailContent u = Build(unknown);
    EXPECT_EQ(FieldText(u, "Syntaxfehler"), "X");
    EXPECT_TRUE(Contains(u.Messages(),
                         "Es gibt keinen Datensatz mit dem das Telegramm übereinstimmen würde."));
}

TEST_F(DetailAnalysisTest, ErrorVerdictsByLettersRoleAndStatus) {
    struct TCase {
        const char* Kind;
        const char* Telegram;
        const char* Errors;
        const char* Status;
        bool HasPartner;
        TErrorVerdicts Expected;
    };
    using S = TSequenceVerdict;
    const TCase cases[] = {
        {"M",
         "a1\r",
         "FPARS",
         "0",
         false,
         {true, true, true, true, true, false, false, S::Answered}},
        {"M", "a1\r", " ", "-1", false, {.Sequence = S::Unanswered}},
        {"M", "u0730\r", " ", "", false, {.Sequence = S::NoAnswerExpected}},
        {"M",
         "a1\r",
         "P",
         "1",
         true,
         {.Parity = true, .Sequence = S::AnsweredLate, .PartnerRow = 7}},
        {"S", "a1\r", " ", "2", false, {.TypeError = true, .Sequence = S::Unpaired}},
        {"S", "a10\r", " ", "3", true, {.Sequence = S::LateAnswer, .PartnerRow = 7}},
        {"S", "a10\r", " ", "4", false, {.Sequence = S::Answer}},
        {"M", "#\r", "X", "7", false, {.SyntaxError = true, .Sequence = S::Other}},
    };
    for (const TCase& c : cases) {
        const int r = Row(c.Kind, c.Telegram, "", c.Errors, c.Status);
        if (c.HasPartner) {
            TTelegramData data;
            data.PartnerRow = 7;
            T.SetObject(r, data);
        }
        const TErrorVerdicts v = Verdicts(r);
        const TErrorVerdicts& e = c.Expected;
        const std::string at =
            std::string(c.Kind) + " " + c.Telegram + " '" + c.Errors + "' " + c.Status;
        EXPECT_EQ(v.Framing, e.Framing) << at;
        EXPECT_EQ(v.Parity, e.Parity) << at;
        EXPECT_EQ(v.Timeout, e.Timeout) << at;
        EXPECT_EQ(v.Reset, e.Reset) << at;
        EXPECT_EQ(v.Checksum, e.Checksum) << at;
        EXPECT_EQ(v.TypeError, e.TypeError) << at;
        EXPECT_EQ(v.SyntaxError, e.SyntaxError) << at;
        EXPECT_EQ(v.Sequence, e.Sequence) << at;
        EXPECT_EQ(v.PartnerRow, e.PartnerRow) << at;
    }
}

TEST_F(DetailAnalysisTest, TelegramMemoFollowsTheConversionSetting) {
    const int r = Row("M", std::string("u0730\r") + '\x13', "005");
    TDetailOptions o;
    EXPECT_TRUE(FieldText(Build(r, o), "Telegramm:").ends_with("<CR><$13>"));
    o.ConvertIBIS = false;
    EXPECT_EQ(FieldText(Build(r, o), "Telegramm:"), "u0730\r\x13");
}

TEST(FillPlaces, OnePassAndPlacesWithoutArgumentsStay) {
    struct TCase {
        const char* Text;
        std::vector<std::string> Args;
        const char* Filled;
    };
    const TCase cases[] = {
        {"Datensatz %1 erwartet %2", {"020", "120"}, "Datensatz 020 erwartet 120"},
        {"%2 vor %1", {"a", "b"}, "b vor a"},
        {"\"%1\" (0x%2)", {"%2", "25"}, "\"%2\" (0x25)"}, // an argument is not filled again
        {"%1 und %3", {"x"}, "x und %3"},
        {"100% %", {}, "100% %"},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(FillPlaces(c.Text, c.Args), c.Filled) << c.Text;
}

} // namespace
} // namespace vaskel
