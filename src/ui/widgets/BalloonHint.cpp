#include "ui/widgets/BalloonHint.h"

#include <QApplication>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

namespace vaskel {

namespace {

constexpr int kTail = 10;   // height of the tail towards the point
constexpr int kRadius = 6;  // corners of the box
constexpr int kMargin = 4;  // distance to the window's edges
constexpr int kTailAt = 24; // the tail's distance from the box's left edge

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

void TBalloonHint::Place(QPoint at, bool below) {
    const QWidget* w = parentWidget();
    const QSize s = sizeHint().boundedTo(w->size() - QSize(2 * kMargin, 2 * kMargin));
    resize(s);
    // on the side asked for when there is room, else on the other
    const bool roomAbove = at.y() - s.height() >= kMargin;
    const bool roomBelow = at.y() + s.height() <= w->height() - kMargin;
    FAbove = below ? !roomBelow && roomAbove : roomAbove;
    const int y = FAbove ? at.y() - s.height() : at.y();
    const int x =
        std::clamp(at.x() - kTailAt, kMargin, std::max(kMargin, w->width() - s.width() - kMargin));
    move(x, std::clamp(y, kMargin, std::max(kMargin, w->height() - s.height() - kMargin)));
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
