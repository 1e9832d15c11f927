#pragma once
// TDisplayPreview: what the passenger sees of a destination-display text.
// A dark panel with lit dots, the lines as the telegram separates them, the
// IBIS national characters as their umlauts, text beyond the display's width
// cut with a mark. The phases of a 021 take turns at its phase time; a
// picture for printing or export shows all phases side by side.

#include "shell/Timers.h"
#include "telegram/DisplayRecords.h"

#include <QImage>
#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace vaskel {

class TDisplayPreview : public QWidget {
public:
    // The phases take turns on window timers, or on TimersForTests when set.
    explicit TDisplayPreview(QWidget* parent = nullptr);
    explicit TDisplayPreview(ITimerFactory& timers, QWidget* parent = nullptr);
    static ITimerFactory* TimersForTests;
    ~TDisplayPreview() override;

    // A telegram as on the bus (national characters, LF, optionally CR and
    // check byte); anything that is no display text shows an empty panel.
    void SetTelegram(std::string_view bytes);
    // The display's size; Default follows the record type.
    void SetDisplayClass(TDisplayClass c);
    void SetDefaultDisplayClass();
    TDisplayClass DisplayClass() const { return FClass; }
    bool HasView() const { return FHasView; }
    const TDisplayView& View() const { return FView; }
    // The phase on the panel now (0-based).
    int CurrentPhase() const { return FPhase; }

    // All phases side by side, for the printout and the clipboard.
    QImage RenderAllPhases(int dotPitch = 4) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    void Init(ITimerFactory& timers);
    void Rebuild();
    // One phase's panel into rect (its dot pitch fits the rect).
    void PaintPhase(QPainter& p, const QRect& rect, const TDisplayPhase& phase, int pitch) const;
    QSize PanelDots() const;

    std::unique_ptr<ITimerFactory> FOwnTimers;
    std::unique_ptr<ITimer> FTimer;
    std::string FTelegram;
    TDisplayClass FClass = TDisplayClass::Front;
    bool FDefaultClass = true;
    bool FHasView = false;
    TDisplayView FView;
    int FPhase = 0;
};

// The dots a character takes on the panel: 6 wide and 12 high, one dot
// apart; lines are one dot apart and a dot of margin runs round the panel.
// The 12 rows hold the dots of capital umlauts above the letters and the
// descenders of g, j, p, q, y below the baseline.
inline constexpr int kCharDotsWide = 7;
inline constexpr int kCharDotsHigh = 13;
inline constexpr int kGlyphColumns = kCharDotsWide - 1;
inline constexpr int kGlyphRows = kCharDotsHigh - 1;

// The lit dots of one character, row by row (bit kGlyphColumns - 1 is the
// left column): the character drawn in the fixed font, without smoothing,
// one pixel a dot, at the largest size whose umlauts and descenders fit.
struct TDotGlyph {
    std::array<uint16_t, kGlyphRows> Rows{};
    bool Lit(int x, int y) const { return Rows[y] & (1u << (kGlyphColumns - 1 - x)); }
    friend bool operator==(const TDotGlyph&, const TDotGlyph&) = default;
};
TDotGlyph DotGlyph(QChar c);
// The first row below the baseline: the descenders' rows start here.
int DotGlyphBaselineRow();

} // namespace vaskel
