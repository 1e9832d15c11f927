// The passenger's view: phases taking turns at the phase time (manual
// time), the display class, the picture of all phases, and the view in the
// detail analysis of a recorded display telegram.

#include "ui/compose/DisplayPreview.h"

#include "ui/protocol/MonitorFixture.h"

#include "telegram/TextConventions.h"

#include <QVBoxLayout>

namespace vaskel {
namespace {

std::string Phases021(int phaseTime, std::vector<std::string> rows) {
    TComposerInput in;
    in.Type = TDisplayRecord::DS021;
    in.Address = 1;
    in.PhaseTime = phaseTime;
    in.Rows = std::move(rows);
    return DisplayToTelegram(ComposeDisplayRecord(in).Telegram);
}

TEST(DisplayPreview, PhasesTakeTurnsAtThePhaseTime) {
    TManualTime time;
    TDisplayPreview p(time);
    // index 2 is 2 seconds
    p.SetTelegram(Phases021(2, {"Linie 5", "Hbf", "\xFC" "ber", "Markt", "Ring", ""}));
    ASSERT_TRUE(p.HasView());
    ASSERT_EQ(p.View().Phases.size(), 3u);
    EXPECT_EQ(p.View().Phases[1].Lines[0].Text, "\xFC" "ber") << "shown as the umlaut";
    EXPECT_EQ(p.DisplayClass(), TDisplayClass::Front);
    const int seen[] = {0, 0, 1, 1, 2, 2, 0};
    for (int k = 0; k < 7; ++k) {
        EXPECT_EQ(p.CurrentPhase(), seen[k]) << k * 1000 << " ms";
        time.Advance(1000);
    }
    // the same text again keeps the phase shown
    time.Advance(1000);
    ASSERT_EQ(p.CurrentPhase(), 1);
    p.SetTelegram(Phases021(2, {"Linie 5", "Hbf", "\xFC" "ber", "Markt", "Ring", ""}));
    EXPECT_EQ(p.CurrentPhase(), 1);
    p.SetTelegram(Phases021(kNoPhaseTime, {"a", "b", "c", "d"}));
    EXPECT_EQ(p.View().Phases.size(), 2u);
    time.Advance(20000);
    EXPECT_EQ(p.CurrentPhase(), 0) << "without a phase time the first phase stays";

    // all phases side by side for the printout: one panel per phase
    p.SetTelegram(Phases021(2, {"a", "b"}));
    const QImage one = p.RenderAllPhases(2);
    p.SetTelegram(Phases021(2, {"a", "b", "c", "d", "e", "f"}));
    const QImage three = p.RenderAllPhases(2);
    EXPECT_EQ(one.height(), three.height());
    EXPECT_EQ(three.width(), 3 * one.width() + 2 * 3 * 2);

    // the display class follows the record type unless one is chosen
    p.SetTelegram("zI2Gleis 3   ");
    EXPECT_EQ(p.DisplayClass(), TDisplayClass::Inside);
    p.SetDisplayClass(TDisplayClass::Side);
    p.SetTelegram("zA2" + std::string(24, 'x') + "\nzwei");
    EXPECT_EQ(p.DisplayClass(), TDisplayClass::Side);
    ASSERT_EQ(p.View().Phases.size(), 1u);
    EXPECT_TRUE(p.View().Phases[0].Lines[0].Cut) << "24 characters on 20";
    p.SetTelegram("l001");
    EXPECT_FALSE(p.HasView());
}

// The letters keep their full height: the tails of g, j, p, q, y lie below
// the baseline, where a, o, H and x have no dots, and the capital umlauts
// keep their dots.
TEST(DisplayPreview, DescendersKeepTheirTails) {
    const int base = DotGlyphBaselineRow();
    ASSERT_GT(base, 0);
    ASSERT_LT(base, kGlyphRows);
    auto below = [base](QChar c) {
        const TDotGlyph g = DotGlyph(c);
        for (int y = base; y < kGlyphRows; ++y)
            if (g.Rows[y]) return true;
        return false;
    };
    for (const char c : std::string("gjpqy"))
        EXPECT_TRUE(below(QLatin1Char(c))) << c << " lost its tail";
    for (const char c : std::string("aoHx"))
        EXPECT_FALSE(below(QLatin1Char(c))) << c << " reaches below the baseline";
    EXPECT_NE(DotGlyph(QLatin1Char('p')), DotGlyph(QLatin1Char('o')));
    EXPECT_NE(DotGlyph(QLatin1Char('q')), DotGlyph(QLatin1Char('o')));
    EXPECT_NE(DotGlyph(QChar(0xC4)), DotGlyph(QLatin1Char('A'))) << "the dots of Ä";

    // and the panel draws them: "Hauptbahnhof" is not "Hauotbahnhof"
    TManualTime time;
    TDisplayPreview p(time);
    p.SetTelegram("zA1Hauptbahnhof    ");
    const QImage right = p.RenderAllPhases(3);
    p.SetTelegram("zA1Hauotbahnhof    ");
    EXPECT_NE(right, p.RenderAllPhases(3));
}

// A monitor of its own, fed by hand.
class PassengerViewTest : public MonitorWindowTest {};

TEST_F(PassengerViewTest, TheDetailAnalysisOfADisplayTelegramShowsThePassengersView) {
    Capture("l001", 1000);
    Capture(Phases021(0, {"Linie 5", "M\xFC" "hle"}), 2000);
    Capture("zA1Hallo" + std::string(11, ' '), 3000);
    ASSERT_EQ(M->Recorder().RowCounter(), 3);
    M->show();
    const std::pair<int, const char*> rows[] = {{0, ""}, {1, "M\xFC" "hle"}, {2, "Hallo"}};
    for (const auto& [row, line] : rows) {
        M->DetailAnalysis(row);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        auto* view = dynamic_cast<TDisplayPreview*>(
            M->DetailPanel()->findChild<QWidget*>(QStringLiteral("GenericDisplayPreview")));
        if (!*line) {
            EXPECT_EQ(view, nullptr) << "no display text: no view";
            continue;
        }
        ASSERT_NE(view, nullptr) << row;
        ASSERT_TRUE(view->HasView());
        const auto& lines = view->View().Phases[0].Lines;
        EXPECT_EQ(lines.back().Text, line) << row;
    }
}

} // namespace
} // namespace vaskel
