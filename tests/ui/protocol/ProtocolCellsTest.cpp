// How protocol cells are drawn.

#include "ui/protocol/ProtocolCells.h"

#include "TestSupport.h"
#include "recording/Recorder.h"
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

} // namespace
} // namespace vaskel
