// How protocol cells are drawn.

#include "ui/protocol/ProtocolCells.h"

#include "TestSupport.h"
#include "recording/Recorder.h"
#include "platform/QtText.h"
#include "telegram/TextConventions.h"
#include "ui/UiTestSupport.h"

#include <gtest/gtest.h>

namespace vaskel {
namespace {

TEST(ProtocolCellLook, DrawingRules) {
    TIBISTelegramParser parser(kCatalogue);
    TTable t = MakeProtocolTable();
    t.SetRow(0, {"M", "1", "28800000", "", "",
                 TelegramBytes("aA12Marktplatz      Rathaus/Museum 3"), "", "021", "", "0"});
    t.SetRow(t.AppendRow(), {"S", "2", "0", "20", "S", "a10\r\x01", "", "120", "", "4"});
    t.SetRow(t.AppendRow(),
             {"S", "3", "28800100", "ungültig", "", TelegramBytes("a1x"), "", "[120]", "", "2"});
    t.SetRow(t.AppendRow(),
             {"M", "4", "28800200", "", "", TelegramBytes("l001"), "", "001", "", ""});
    TCellOptions o;

    // 8: the classified telegram in coloured segments
    TCellLook tel = ProtocolCellLook(t, 0, pcTelegram, parser, o);
    ASSERT_GE(tel.Segments.size(), 5u);
    EXPECT_EQ(tel.Segments[0].Text, QStringLiteral("aA"));
    EXPECT_EQ(tel.Segments[0].Fore, QColor(0x00, 0xAE, 0x00));
    EXPECT_EQ(tel.Segments[1].Text, QStringLiteral("1"));
    EXPECT_EQ(tel.Segments[1].Fore, QColor(0xFF, 0x00, 0x00));
    EXPECT_EQ(tel.Segments.back().Fore, QColor(0x00, 0x00, 0xFF));
    EXPECT_EQ(tel.Background, QColor(0xE2, 0xE9, 0xFA)) << "021 stands out";
    // a check byte below '!' in hex form, on red with an S error
    TCellLook cc = ProtocolCellLook(t, 1, pcTelegram, parser, o);
    EXPECT_EQ(cc.Segments.back().Text, QStringLiteral("<$01>"));
    EXPECT_EQ(cc.Segments.back().Back, QColor(0xFF, 0x80, 0x80));
    // the rest of a partial match on red
    TCellLook rest = ProtocolCellLook(t, 2, pcTelegram, parser, o);
    bool restMarked = false;
    for (const auto& s : rest.Segments)
        restMarked |= s.Text == QStringLiteral("x") && s.Back == QColor(0xFF, 0x80, 0x80);
    EXPECT_TRUE(restMarked);
    // 9: times of day, "ungültig" below 1
    EXPECT_EQ(ProtocolCellLook(t, 0, pcStart, parser, o).Segments[0].Text,
              QStringLiteral("08:00:00,000"));
    EXPECT_EQ(ProtocolCellLook(t, 1, pcStart, parser, o).Segments[0].Text,
              QString::fromUtf8("ungültig"));
    // 10: reaction bands, the cross on master rows
    EXPECT_TRUE(ProtocolCellLook(t, 0, pcReaction, parser, o).Cross);
    EXPECT_EQ(ProtocolCellLook(t, 1, pcReaction, parser, o).Background, QColor(0xDF, 0xED, 0x7E));
    EXPECT_EQ(ProtocolCellLook(t, 2, pcReaction, parser, o).Background, QColor(0xFF, 0x80, 0x80));
    // 11: error letters on red
    EXPECT_EQ(ProtocolCellLook(t, 1, pcErrors, parser, o).Background, QColor(0xFF, 0x80, 0x80));
    EXPECT_FALSE(ProtocolCellLook(t, 3, pcErrors, parser, o).Background.isValid());
    // without automatic warnings: no marks
    o.AutoWarnings = false;
    EXPECT_FALSE(ProtocolCellLook(t, 1, pcErrors, parser, o).Background.isValid());
    EXPECT_TRUE(ProtocolCellLook(t, 1, pcAnswer, parser, o).Segments.empty());
    EXPECT_EQ(ProtocolCellLook(t, 2, pcReaction, parser, o).Segments[0].Text, QStringLiteral("0"));
}

// A small protocol: an answered 021, a late answer with a checksum error,
// an unpaired answer with an invalid start time, a master without question.
TTable CellsTable() {
    TTable t = MakeProtocolTable();
    t.SetRow(0, {"M", "1", "28800000", "", "",
                 TelegramBytes("aA12Marktplatz      Rathaus/Museum 3"), "", "021", "", "0"});
    t.SetRow(t.AppendRow(), {"S", "2", "28800050", "20", "S", "a10\r\x01", "", "120", "", "3"});
    t.SetRow(t.AppendRow(),
             {"T", "3", "0", kReactionInvalid, "", TelegramBytes("a1x"), "", "[120]", "", "2"});
    t.SetRow(t.AppendRow(),
             {"N", "4", "28800200", "", "", TelegramBytes("l001"), "", "001", "", ""});
    return t;
}

TEST(ProtocolCellLook, SelectedRowsKeepTheirOwnColours) {
    TIBISTelegramParser parser(kCatalogue);
    const TTable t = CellsTable();
    TCellOptions o;
    o.RowSelected = true;
    EXPECT_EQ(ProtocolCellLook(t, 1, pcReaction, parser, o).Background, QColor(0xDF, 0xED, 0x7E));
    EXPECT_EQ(ProtocolCellLook(t, 1, pcErrors, parser, o).Background, QColor(0xFF, 0x80, 0x80));
    EXPECT_EQ(ProtocolCellLook(t, 2, pcReaction, parser, o).Background, QColor(0xFF, 0x80, 0x80));
    EXPECT_FALSE(ProtocolCellLook(t, 0, pcNr, parser, o).Background.isValid())
        << "the record-type highlight stays outside the selection";
    o.RowSelected = false;
    EXPECT_EQ(ProtocolCellLook(t, 0, pcNr, parser, o).Background, QColor(0xE2, 0xE9, 0xFA));
}

TEST(ProtocolCellTip, ShowsWhatTheCellShows) {
    TIBISTelegramParser parser(kCatalogue);
    const TTable t = CellsTable();
    struct TCase {
        int row, col;
        bool warnings;
        const char* tip;
    };
    const TCase cases[] = {
        {0, pcStart, true, "08:00:00,000"},
        {1, pcStart, true, "08:00:00,050"},
        {2, pcStart, true, "ungültig"},
        {0, pcKind, true, "Mastertelegramm"},
        {1, pcKind, true, "Slavetelegramm"},
        {2, pcKind, true, "Eigenes Slavetelegramm"},
        {3, pcKind, true, "Eigenes Mastertelegramm"},
        {0, pcReaction, true, ""}, // the cross of a master row
        {1, pcReaction, true, "20"},
        {2, pcReaction, true, "ungültig"},
        {2, pcReaction, false, "0"},
        {1, pcErrors, true, "S"},
        {3, pcTelegram, true, "l001<CR>/"},
        {1, pcTelegram, true, "a10<CR><$01>"},
        {0, pcAnswer, true, "Beantwortet"},
        {1, pcAnswer, true, "Antwort zu spät"},
        {2, pcAnswer, true, "Kein anforderndes Mastertelegramm gefunden"},
        {2, pcAnswer, false, ""}, // no symbol without warnings
        {3, pcAnswer, true, ""},
        {3, pcDescription, true, ""},
        {3, pcRecordNo, true, "001"},
    };
    for (const TCase& c : cases) {
        TCellOptions o;
        o.AutoWarnings = c.warnings;
        EXPECT_EQ(ProtocolCellTip(t, c.row, c.col, parser, o), QString::fromUtf8(c.tip))
            << c.row << "/" << c.col;
    }
}

// Telegrams with IBIS umlaut bytes ("{" is ä, "[" is Ä), blanks beside a
// full stop, and a literal "?" and "*".
TTable UmlautTable() {
    TTable t = MakeProtocolTable();
    t.SetRow(0, {"M", "1", "28800000", "", "", TelegramBytes("aA11Universit{t  Ost"), "", "021",
                 "", "-1"});
    t.SetRow(t.AppendRow(), {"S", "2", "28800050", "20", "", TelegramBytes("a10"), "", "120", "", "4"});
    t.SetRow(t.AppendRow(), {"M", "3", "28800100", "", "", TelegramBytes("aA11Hbf. Bahnhof    "), "",
                             "021", "", "-1"});
    t.SetRow(t.AppendRow(), {"M", "4", "28800200", "", "", TelegramBytes("x?y*z"), "", "", "", ""});
    t.SetRow(t.AppendRow(), {"M", "5", "28800300", "", "", TelegramBytes("aA11UNIVERSIT[T Nord"), "",
                             "021", "", "-1"});
    return t;
}

// The telegram as shown: IBIS characters as umlauts only with the
// conversion on, blanks as blanks either way.
TEST(ProtocolCellText, TelegramsShowUmlautsByTheSetting) {
    TIBISTelegramParser parser(kCatalogue);
    const TTable t = UmlautTable();
    TCellOptions o;
    const QString check = FromCp1252(std::string(1, CalcCheckByte("aA11Universit{t  Ost")));
    EXPECT_EQ(ProtocolCellText(t, 0, pcTelegram, parser, o),
              QString::fromUtf8("aA11Universität  Ost<CR>") + check);
    EXPECT_EQ(ProtocolCellText(t, 4, pcTelegram, parser, o).left(16),
              QString::fromUtf8("aA11UNIVERSITÄT "));
    o.ConvertIBIS = false;
    EXPECT_EQ(ProtocolCellText(t, 0, pcTelegram, parser, o),
              QStringLiteral("aA11Universit{t  Ost<CR>") + check);
}

// Marking and finding look at the text as shown: umlauts by the setting,
// letter case ignored (umlauts too), wildcards, and "/?" "/*" for the
// characters themselves.
TEST(ProtocolCellLook, MarkingAndFindingMatchTheTextAsShown) {
    TIBISTelegramParser parser(kCatalogue);
    const TTable t = UmlautTable();
    struct TMark {
        const char* text; // UTF-8
        bool convert;
        std::vector<int> rows;
    };
    const std::vector<int> all = {0, 1, 2, 3, 4};
    const TMark marks[] = {
        {"*Universität", true, {0, 4}},
        {"*uNiVeRsItÄt", true, {0, 4}},
        {"*Universit{t", true, {}},
        {"*Universit{t", false, {0}},
        {"*Universität", false, {}},
        {"aA11Universität  Ost", true, {0}},
        {"Universität", true, {}}, // from the start of the telegram
        {"aA1", true, {0, 2, 4}},
        {"*t  Ost", true, {0}},
        {"*t..Ost", true, {}}, // blanks are no full stops
        {"*Hbf.", true, {2}},
        {"*Hbf?", true, {2}},
        {"*Hbf/?", true, {}},
        {"*f. B", true, {2}},
        {"x?y*z", true, {3}},
        {"x/?y/*z", true, {3}},
        {"x/?", true, {3}},
        {"x/*", true, {}},
        {"*y/*", true, {3}},
        {"*/**z", true, {3}},
        {"*<CR>", true, all},
        {"**", true, all},
    };
    for (const TMark& m : marks) {
        TCellOptions o;
        o.ConvertIBIS = m.convert;
        o.MarkText = ToCp1252(QString::fromUtf8(m.text));
        std::vector<int> marked;
        for (int r = 0; r < t.RowCount(); ++r) {
            const bool telegram =
                ProtocolCellLook(t, r, pcTelegram, parser, o).Background == QColor(0xFF, 0x80, 0x00);
            EXPECT_EQ(ProtocolCellLook(t, r, pcNr, parser, o).Background == QColor(0xFF, 0x80, 0x00),
                      telegram)
                << m.text << " row " << r << ": the whole row";
            if (telegram) marked.push_back(r);
        }
        EXPECT_EQ(marked, m.rows) << m.text << (m.convert ? " (umlauts)" : " (IBIS)");
    }

    struct TFind {
        const char* text;
        bool convert, matchCase;
        int start;
        bool down;
        int row;
    };
    const TFind finds[] = {
        {"Universität", true, false, 0, true, 0},   {"Universität", true, false, 1, true, 4},
        {"universität", true, true, 0, true, -1},   {"UNIVERSITÄT", true, true, 0, true, 4},
        {"Universität", false, false, 0, true, -1}, {"Universit{t", false, false, 0, true, 0},
        {"Universit{t", true, false, 0, true, -1},  {"t  Ost", true, false, 0, true, 0},
        {"t..Ost", true, false, 0, true, -1},       {"Hbf.", true, false, 4, false, 2},
        {"08:00:00,100", true, false, 0, true, 2},  {"x?y*z", true, false, 0, true, 3},
    };
    for (const TFind& f : finds) {
        TCellOptions o;
        o.ConvertIBIS = f.convert;
        EXPECT_EQ(FindInProtocol(t, t.RowCount(), f.start, f.down, QString::fromUtf8(f.text),
                                 f.matchCase, parser, o),
                  f.row)
            << f.text << (f.convert ? " (umlauts)" : " (IBIS)");
    }
}

TEST(ProtocolColumns, EveryColumnHasAHint) {
    EXPECT_EQ(ProtocolColumnHint(pcKind),
              QStringLiteral("Handelt es sich um ein Master- oder Slavetelegramm?"));
    EXPECT_TRUE(ProtocolColumnTitle(pcKind).isEmpty());
    for (int c = pcNr; c < kProtocolColumns; ++c) {
        EXPECT_FALSE(ProtocolColumnTitle(c).isEmpty()) << c;
        EXPECT_FALSE(ProtocolColumnHint(c).isEmpty()) << c;
    }
}

} // namespace
} // namespace vaskel
