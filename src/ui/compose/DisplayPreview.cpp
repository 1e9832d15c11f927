#include "ui/compose/DisplayPreview.h"

#include "platform/QtHandOver.h"
#include "platform/QtText.h"
#include "ui/common/Texts.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFont>
#include <QFontMetrics>
#include <QFontDatabase>
#include <QHash>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>

namespace vaskel {

namespace {

constexpr int kGlyphW = kGlyphColumns;
constexpr int kGlyphH = kGlyphRows;
constexpr int kMargin = 1; // dots round the panel
const QColor kPanel(0x14, 0x14, 0x12);
const QColor kDotOff(0x2B, 0x25, 0x14);
const QColor kDotOn(0xFF, 0xB4, 0x1E);
const QColor kCutMark(0xE0, 0x40, 0x30);

// The fixed font at the size the glyphs are drawn in, and where its
// baseline lies in a glyph's rows.
struct TGlyphFont {
    QFont Font;
    int Baseline = 0; // the first row below the baseline
};

// Where a character's lit pixels lie: rows above the baseline, rows below
// it, columns from the left.
struct TInk {
    int Above = 0, Below = 0, Wide = 0;
};
TInk InkOf(const QFont& f, QChar c) {
    constexpr int base = 2 * kGlyphH;
    QImage img(4 * kGlyphW, 4 * kGlyphH, QImage::Format_Grayscale8);
    img.fill(0);
    {
        QPainter p(&img);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(QPoint(0, base), QString(c));
    }
    TInk ink;
    for (int y = 0; y < img.height(); ++y) {
        const uchar* line = img.constScanLine(y);
        for (int x = 0; x < img.width(); ++x) {
            if (line[x] <= 127) continue;
            ink.Above = std::max(ink.Above, base - y);
            ink.Below = std::max(ink.Below, y - base + 1);
            ink.Wide = std::max(ink.Wide, x + 1);
        }
    }
    return ink;
}

// The largest size at which the capital umlauts' dots, the descenders and
// the widest letters fit the glyph's dots; the baseline then lies where the
// highest dot is the glyph's first row.
const TGlyphFont& GlyphFont() {
    static const TGlyphFont font = [] {
        TGlyphFont g;
        g.Font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        g.Font.setStyleStrategy(QFont::NoAntialias);
        g.Font.setHintingPreference(QFont::PreferFullHinting);
        const QString reference = QStringLiteral("\u00C4\u00D6\u00DCgjpqyMW");
        for (int px = kGlyphH + 2; px >= 5; --px) {
            g.Font.setPixelSize(px);
            TInk all;
            for (const QChar c : reference) {
                const TInk ink = InkOf(g.Font, c);
                all.Above = std::max(all.Above, ink.Above);
                all.Below = std::max(all.Below, ink.Below);
                all.Wide = std::max(all.Wide, ink.Wide);
            }
            g.Baseline = all.Above;
            if (all.Above + all.Below <= kGlyphH && all.Wide <= kGlyphW) break;
        }
        g.Baseline = std::min(g.Baseline, kGlyphH);
        return g;
    }();
    return font;
}

using TGlyph = TDotGlyph;

TGlyph GlyphOf(QChar c) {
    static QHash<QChar, TGlyph> cache;
    if (const auto it = cache.constFind(c); it != cache.constEnd()) return *it;
    const TGlyphFont& font = GlyphFont();
    QImage img(kGlyphW, kGlyphH, QImage::Format_Grayscale8);
    img.fill(0);
    {
        QPainter p(&img);
        p.setFont(font.Font);
        p.setPen(Qt::white);
        p.drawText(QPoint(0, font.Baseline), QString(c));
    }
    TGlyph g;
    for (int y = 0; y < kGlyphH; ++y) {
        const uchar* line = img.constScanLine(y);
        for (int x = 0; x < kGlyphW; ++x)
            if (line[x] > 127) g.Rows[y] |= uint16_t(1u << (kGlyphW - 1 - x));
    }
    cache.insert(c, g);
    return g;
}

} // namespace

TDotGlyph DotGlyph(QChar c) {
    return GlyphOf(c);
}

int DotGlyphBaselineRow() {
    return GlyphFont().Baseline;
}

ITimerFactory* TDisplayPreview::TimersForTests = nullptr;

TDisplayPreview::TDisplayPreview(QWidget* parent) : QWidget(parent) {
    if (!TimersForTests) FOwnTimers = std::make_unique<TQtTimerFactory>();
    Init(TimersForTests ? *TimersForTests : *FOwnTimers);
}

TDisplayPreview::TDisplayPreview(ITimerFactory& timers, QWidget* parent) : QWidget(parent) {
    Init(timers);
}

void TDisplayPreview::Init(ITimerFactory& timers) {
    setObjectName(QStringLiteral("DisplayPreview"));
    setToolTip(Tr("So sieht der Fahrgast den Text auf der Anzeige."));
    FTimer = timers.CreateTimer();
    FTimer->OnTimer = [this] {
        if (!FHasView || FView.Phases.size() < 2) return;
        FPhase = (FPhase + 1) % static_cast<int>(FView.Phases.size());
        update();
    };
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

TDisplayPreview::~TDisplayPreview() {
    FTimer.reset();
}

void TDisplayPreview::SetTelegram(std::string_view bytes) {
    if (FTelegram == bytes && FHasView) return;
    FTelegram.assign(bytes);
    Rebuild();
}

void TDisplayPreview::SetDisplayClass(TDisplayClass c) {
    FClass = c;
    FDefaultClass = false;
    Rebuild();
}

void TDisplayPreview::SetDefaultDisplayClass() {
    FDefaultClass = true;
    Rebuild();
}

void TDisplayPreview::Rebuild() {
    TDisplayView view;
    FHasView = false;
    TDisplayRecord type;
    if (DisplayRecordFromPrefix(FTelegram, type)) {
        if (FDefaultClass) FClass = DefaultDisplayClass(type);
        FHasView = BuildDisplayView(FTelegram, FClass, view);
    }
    const bool samePhases = FHasView && view.Phases.size() == FView.Phases.size() &&
                            view.PhaseTime == FView.PhaseTime;
    FView = view;
    if (!samePhases || FPhase >= static_cast<int>(FView.Phases.size())) FPhase = 0;
    const int ms = PhaseTimeMs(FView.PhaseTime);
    if (FHasView && FView.Phases.size() > 1 && ms > 0) {
        if (!FTimer->Running() || FTimer->Interval() != ms) FTimer->Start(ms);
    } else {
        FTimer->Stop();
    }
    updateGeometry();
    update();
}

QSize TDisplayPreview::PanelDots() const {
    const int cols = DisplayColumns(FClass), lines = DisplayLines(FClass);
    return {cols * kCharDotsWide - 1 + 2 * kMargin, lines * kCharDotsHigh - 1 + 2 * kMargin};
}

QSize TDisplayPreview::sizeHint() const {
    const QSize d = PanelDots();
    return {d.width() * 4 + 4, d.height() * 4 + 4 + fontMetrics().height()};
}

QSize TDisplayPreview::minimumSizeHint() const {
    const QSize d = PanelDots();
    return {d.width() * 2 + 4, d.height() * 2 + 4 + fontMetrics().height()};
}

void TDisplayPreview::PaintPhase(QPainter& p, const QRect& rect, const TDisplayPhase& phase,
                                 int pitch) const {
    const QSize dots = PanelDots();
    p.fillRect(QRect(rect.topLeft(), QSize(dots.width() * pitch, dots.height() * pitch)), kPanel);
    const double r = pitch * 0.42;
    auto dot = [&](int x, int y, const QColor& c) {
        p.setBrush(c);
        p.drawEllipse(QPointF(rect.left() + (x + 0.5) * pitch, rect.top() + (y + 0.5) * pitch), r,
                      r);
    };
    p.setPen(Qt::NoPen);
    const int cols = DisplayColumns(FClass), lines = DisplayLines(FClass);
    for (int line = 0; line < lines; ++line) {
        const TDisplayLine* shown =
            line < static_cast<int>(phase.Lines.size()) ? &phase.Lines[line] : nullptr;
        const QString text = shown ? FromCp1252(shown->Text) : QString();
        for (int col = 0; col < cols; ++col) {
            const TGlyph g = col < text.size() ? GlyphOf(text[col]) : TGlyph{};
            for (int y = 0; y < kGlyphH; ++y)
                for (int x = 0; x < kGlyphW; ++x) {
                    const bool on = g.Lit(x, y);
                    dot(kMargin + col * kCharDotsWide + x, kMargin + line * kCharDotsHigh + y,
                        on ? kDotOn : kDotOff);
                }
        }
        // a cut line ends in a red wedge at the panel's edge
        if (shown && shown->Cut) {
            const double x = rect.left() + (dots.width() - 0.2) * pitch;
            const double y = rect.top() + (kMargin + line * kCharDotsHigh) * pitch;
            QPainterPath wedge;
            wedge.moveTo(x, y);
            wedge.lineTo(x, y + kGlyphH * pitch);
            wedge.lineTo(x - 2.5 * pitch, y + kGlyphH * pitch / 2.0);
            wedge.closeSubpath();
            p.setBrush(kCutMark);
            p.drawPath(wedge);
        }
    }
    // lines beyond the display's lines: a red bar under the panel
    if (phase.MoreLines) {
        p.setBrush(kCutMark);
        p.drawRect(QRectF(rect.left(), rect.top() + (dots.height() - 0.35) * pitch,
                          dots.width() * pitch, 0.35 * pitch));
    }
}

void TDisplayPreview::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QSize dots = PanelDots();
    const int captionH = fontMetrics().height();
    const int pitch = std::max(1, std::min((width() - 4) / dots.width(),
                                           (height() - 4 - captionH) / dots.height()));
    const QRect panel(2, 2, dots.width() * pitch, dots.height() * pitch);
    static const TDisplayPhase kEmpty;
    const TDisplayPhase& phase =
        FHasView && FPhase < static_cast<int>(FView.Phases.size()) ? FView.Phases[FPhase] : kEmpty;
    PaintPhase(p, panel, phase, pitch);
    // under the panel: the display and, for phases, which one is shown
    QString caption;
    switch (FClass) {
    case TDisplayClass::Front:
        caption = Tr("Frontanzeige");
        break;
    case TDisplayClass::Side:
        caption = Tr("Seitenanzeige");
        break;
    case TDisplayClass::Inside:
        caption = Tr("Innenanzeige");
        break;
    }
    caption += QStringLiteral(" (%1 × %2)").arg(DisplayColumns(FClass)).arg(DisplayLines(FClass));
    if (FHasView && FView.Phases.size() > 1)
        caption += QStringLiteral(" – ") + Tr("Takt %1 von %2").arg(FPhase + 1).arg(FView.Phases.size());
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(QRect(2, panel.bottom() + 2, width() - 4, captionH), Qt::AlignLeft | Qt::AlignVCenter,
               caption);
}

QImage TDisplayPreview::RenderAllPhases(int dotPitch) const {
    const QSize dots = PanelDots();
    const int n = std::max<int>(1, FHasView ? static_cast<int>(FView.Phases.size()) : 1);
    const int gap = 3 * dotPitch;
    const int w = dots.width() * dotPitch, h = dots.height() * dotPitch;
    QImage img(n * w + (n - 1) * gap, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    static const TDisplayPhase kEmpty;
    for (int k = 0; k < n; ++k)
        PaintPhase(p, QRect(k * (w + gap), 0, w, h), FHasView ? FView.Phases[k] : kEmpty, dotPitch);
    return img;
}

void TDisplayPreview::contextMenuEvent(QContextMenuEvent* e) {
    QMenu menu;
    QAction* copy = menu.addAction(Tr("Bild kopieren (alle Takte)"));
    if (menu.exec(e->globalPos()) == copy) QApplication::clipboard()->setImage(RenderAllPhases());
}

} // namespace vaskel
