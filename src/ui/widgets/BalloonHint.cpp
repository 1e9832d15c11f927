#include "ui/widgets/BalloonHint.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QTabBar>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <vector>

namespace vaskel {

namespace {

constexpr int kTail = 10;   // height of the tail towards the point
constexpr int kRadius = 6;  // corners of the box
constexpr int kMargin = 4;  // distance to the window's edges
constexpr int kTailAt = 24; // the tail's distance from the box's left edge
constexpr int kTailRoom = kRadius + 8; // the tail keeps this far from the box's sides

// The controls of the window a box must leave free, in the window's
// coordinates: what a click beside the box would hit (buttons, fields, drop
// downs). What the balloon points at is its subject, not in the way.
std::vector<QRect> ControlsOf(QWidget* window, const QWidget* balloon, const QWidget* anchor) {
    std::vector<QRect> rects;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisible() || w == balloon || balloon->isAncestorOf(w)) continue;
        if (anchor && (w == anchor || anchor->isAncestorOf(w) || w->isAncestorOf(anchor)))
            continue;
        if (!qobject_cast<QAbstractButton*>(w) && !qobject_cast<QComboBox*>(w) &&
            !qobject_cast<QLineEdit*>(w) && !qobject_cast<QAbstractSpinBox*>(w) &&
            !qobject_cast<QTabBar*>(w))
            continue;
        // a line edit inside a drop-down or spin box is that control's own
        if (qobject_cast<QLineEdit*>(w) && (qobject_cast<QComboBox*>(w->parentWidget()) ||
                                            qobject_cast<QAbstractSpinBox*>(w->parentWidget())))
            continue;
        rects.push_back(QRect(w->mapTo(window, QPoint(0, 0)), w->size()));
    }
    return rects;
}

int CoveredArea(const QRect& box, const std::vector<QRect>& controls) {
    int area = 0;
    for (const QRect& c : controls) {
        const QRect i = box.intersected(c);
        if (!i.isEmpty()) area += i.width() * i.height();
    }
    return area;
}

} // namespace

QPointer<TBalloonHint> TBalloonHint::GCurrent;

TBalloonHint* TBalloonHint::Show(QWidget* anchor, QPoint at, TIcon icon, const QString& title,
                                 const QString& text, int timeoutMs, bool below) {
    CloseCurrent();
    if (!anchor) return nullptr;
    auto* b = new TBalloonHint(anchor->window(), anchor, at, icon, title, text, timeoutMs, below);
    GCurrent = b;
    b->show();
    b->raise();
    return b;
}

TBalloonHint* TBalloonHint::Current() {
    return GCurrent && GCurrent->isVisible() ? GCurrent.data() : nullptr;
}

void TBalloonHint::CloseCurrent() {
    if (!GCurrent) return;
    GCurrent->hide();
    GCurrent->deleteLater();
    GCurrent = nullptr;
}

TBalloonHint::TBalloonHint(QWidget* window, QWidget* anchor, QPoint at, TIcon icon,
                           const QString& title, const QString& text, int timeoutMs, bool below)
    : QFrame(window), FAnchor(anchor), FIcon(icon), FTimeoutMs(timeoutMs) {
    setObjectName(QStringLiteral("BalloonHint"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(10, 8 + kTail, 6, 8 + kTail);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(4);
    auto* picture = new QLabel;
    const QStyle::StandardPixmap sp =
        icon == TIcon::Warning ? QStyle::SP_MessageBoxWarning : QStyle::SP_MessageBoxInformation;
    picture->setPixmap(style()->standardIcon(sp).pixmap(24, 24));
    grid->addWidget(picture, 0, 0, 2, 1, Qt::AlignTop);
    FTitle = new QLabel(title);
    QFont bold = FTitle->font();
    bold.setBold(true);
    FTitle->setFont(bold);
    grid->addWidget(FTitle, 0, 1);
    auto* close = new QToolButton;
    close->setObjectName(QStringLiteral("BalloonClose"));
    close->setAutoRaise(true);
    close->setText(QStringLiteral("\u00D7"));
    connect(close, &QToolButton::clicked, this, [] { CloseCurrent(); });
    grid->addWidget(close, 0, 2, Qt::AlignTop | Qt::AlignRight);
    FText = new QLabel(text);
    FText->setTextFormat(Qt::PlainText);
    grid->addWidget(FText, 1, 1, 1, 2);
    for (QLabel* l : {FTitle, FText}) {
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, QColor(0x20, 0x20, 0x20));
        l->setPalette(p);
    }
    FTimer = new QTimer(this);
    FTimer->setSingleShot(true);
    connect(FTimer, &QTimer::timeout, this, [this] {
        if (GCurrent == this)
            CloseCurrent();
        else
            deleteLater();
    });
    if (timeoutMs > 0) FTimer->start(timeoutMs);
    // while the pointer is on the balloon it stays: the reader may be on
    // the way to its close button
    setAttribute(Qt::WA_Hover);
    // a balloon never outlives what it points at
    connect(anchor, &QObject::destroyed, this, [this] {
        if (GCurrent == this)
            CloseCurrent();
        else
            deleteLater();
    });
    adjustSize();
    FAt = at;
    FBelow = below;
    Place(anchor->mapTo(window, at), below);
    anchor->installEventFilter(this);
    if (window != anchor) window->installEventFilter(this);
}

bool TBalloonHint::eventFilter(QObject* watched, QEvent* e) {
    if ((e->type() == QEvent::Resize || e->type() == QEvent::Move) && FAnchor &&
        parentWidget() && (watched == FAnchor || watched == parentWidget()))
        Place(FAnchor->mapTo(parentWidget(), FAt), FBelow);
    return QFrame::eventFilter(watched, e);
}

QToolButton* TBalloonHint::AddLink(const QString& text, std::function<void()> onClick) {
    auto* link = new QToolButton;
    link->setObjectName(QStringLiteral("BalloonLink"));
    link->setText(text);
    link->setAutoRaise(true);
    // like the other parts of a balloon it never takes the keyboard
    link->setFocusPolicy(Qt::NoFocus);
    link->setCursor(Qt::PointingHandCursor);
    QFont f = link->font();
    f.setUnderline(true);
    link->setFont(f);
    QPalette p = link->palette();
    p.setColor(QPalette::ButtonText, QColor(0x00, 0x33, 0x99));
    link->setPalette(p);
    static_cast<QGridLayout*>(layout())->addWidget(link, 2, 1, 1, 2, Qt::AlignLeft);
    connect(link, &QToolButton::clicked, this, [this, onClick = std::move(onClick)] {
        if (GCurrent == this) CloseCurrent();
        onClick();
    });
    adjustSize();
    if (FAnchor && parentWidget()) Place(FAnchor->mapTo(parentWidget(), FAt), FBelow);
    return link;
}

QString TBalloonHint::Title() const {
    return FTitle->text();
}

QString TBalloonHint::Text() const {
    return FText->text();
}

bool TBalloonHint::CloseTimerRunning() const {
    return FTimer->isActive();
}

bool TBalloonHint::event(QEvent* e) {
    if (e->type() == QEvent::Enter || e->type() == QEvent::HoverEnter) {
        FTimer->stop();
    } else if (e->type() == QEvent::Leave || e->type() == QEvent::HoverLeave) {
        if (FTimeoutMs > 0) FTimer->start(FTimeoutMs);
    }
    return QFrame::event(e);
}

void TBalloonHint::Place(QPoint at, bool below) {
    QWidget* w = parentWidget();
    const QSize s = sizeHint().boundedTo(w->size() - QSize(2 * kMargin, 2 * kMargin));
    resize(s);
    const int maxX = std::max(kMargin, w->width() - s.width() - kMargin);
    const int maxY = std::max(kMargin, w->height() - s.height() - kMargin);
    // on the side asked for when there is room, else on the other
    const bool roomAbove = at.y() - s.height() >= kMargin;
    const bool roomBelow = at.y() + s.height() <= w->height() - kMargin;
    const bool preferAbove = below ? !roomBelow && roomAbove : roomAbove;
    // Where the box may lie with its tail still at the point: above or
    // below, and shifted sideways. The first place that covers no control
    // of the window wins (the side asked for first, the tail near the box's
    // left end first); else the one that covers the least.
    const std::vector<QRect> controls = ControlsOf(w, this, FAnchor);
    QPoint best;
    int bestCovered = -1;
    bool bestAbove = preferAbove;
    for (const bool above : {preferAbove, !preferAbove}) {
        if (above ? !roomAbove : !roomBelow) {
            if (above != preferAbove) continue; // no room there
        }
        const int y = std::clamp(above ? at.y() - s.height() : at.y(), kMargin, maxY);
        const int first = std::clamp(at.x() - kTailAt, kMargin, maxX);
        const int low = std::clamp(at.x() - s.width() + kTailRoom, kMargin, maxX);
        const int high = std::clamp(at.x() - kTailRoom, kMargin, maxX);
        std::vector<int> xs{first};
        for (int x = first - 8; x >= low; x -= 8)
            xs.push_back(x);
        for (int x = first + 8; x <= high; x += 8)
            xs.push_back(x);
        for (const int x : xs) {
            const int covered = CoveredArea(QRect(QPoint(x, y), s), controls);
            if (bestCovered < 0 || covered < bestCovered) {
                bestCovered = covered;
                best = QPoint(x, y);
                bestAbove = above;
            }
            if (covered == 0) break;
        }
        if (bestCovered == 0) break;
    }
    FAbove = bestAbove;
    move(best);
    FTip = at - pos();
    update();
}

void TBalloonHint::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(0.5, kTail + 0.5, -0.5, -kTail - 0.5);
    QPainterPath path;
    path.addRoundedRect(box, kRadius, kRadius);
    // the tail towards the point
    const double tipX =
        std::clamp<double>(FTip.x(), box.left() + kRadius + 8, box.right() - kRadius - 8);
    QPainterPath tail;
    if (FAbove) {
        tail.moveTo(tipX - 7, box.bottom() - 1);
        tail.lineTo(FTip.x(), std::min<double>(FTip.y(), height() - 0.5));
        tail.lineTo(tipX + 7, box.bottom() - 1);
    } else {
        tail.moveTo(tipX - 7, box.top() + 1);
        tail.lineTo(FTip.x(), std::max<double>(FTip.y(), 0.5));
        tail.lineTo(tipX + 7, box.top() + 1);
    }
    tail.closeSubpath();
    path = path.united(tail);
    p.setPen(QPen(QColor(0x70, 0x70, 0x70), 1));
    p.setBrush(QColor(0xFF, 0xFF, 0xE1));
    p.drawPath(path);
}

} // namespace vaskel
