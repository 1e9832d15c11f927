#include "ui/common/WindowPlacement.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace vaskel {

namespace {

// set once a window has had its first place
const char* const kPlaced = "vaskelPlaced";
// set from its showing until the window system has shown it
const char* const kRefit = "vaskelRefit";

// A frame when the window system has not told one yet: a title bar and a
// thin border.
const QMargins kEstimatedFrame(4, 28, 4, 4);

bool Decorated(const QWidget* w) {
    const Qt::WindowType type = w->windowType();
    if (type == Qt::Popup || type == Qt::ToolTip || type == Qt::SplashScreen ||
        type == Qt::Desktop || type == Qt::SubWindow)
        return false;
    return !(w->windowFlags() & Qt::FramelessWindowHint);
}

// The windows this rule places: the program's windows and dialogs, not
// menus, drop-down lists, tool tips or the splash picture.
bool Placed(const QWidget* w) {
    if (!w || !w->isWindow()) return false;
    const Qt::WindowType type = w->windowType();
    return type == Qt::Window || type == Qt::Dialog || type == Qt::Sheet || type == Qt::Tool ||
           type == Qt::Drawer;
}

QWidget* WidgetOf(const QWindow* window) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->windowHandle() == window) return w;
    return nullptr;
}

// The window a window opens from: its parent's window; for a dialog
// without a parent the active window (or the main window).
QWidget* Owner(QWidget* w) {
    if (QWidget* p = w->parentWidget()) return p->window();
    if (w->windowType() != Qt::Dialog) return nullptr;
    if (QWidget* a = QApplication::activeWindow(); a && a != w && a->isVisible()) return a;
    for (QWidget* t : QApplication::topLevelWidgets())
        if (t != w && t->isVisible() && t->windowType() == Qt::Window && !t->parentWidget() &&
            Decorated(t))
            return t;
    return nullptr;
}

// The frame a window opens over: the owner's frame; for a window opened
// from a window in the main window's area, that window's frame there.
QRect OwnerFrame(const QWidget* window, const QWidget* owner) {
    for (const QWidget* p = window->parentWidget(); p && p != owner; p = p->parentWidget())
        if (p->inherits("QMdiSubWindow") && p->isVisible() && !p->isMinimized())
            return QRect(p->mapToGlobal(QPoint(0, 0)), p->size());
    return FrameOf(owner);
}

// A window of the program that stays above all others (the converter).
bool AnyStaysOnTop(const QWidget* except) {
    for (const QWidget* t : QApplication::topLevelWidgets())
        if (t != except && t->isVisible() && (t->windowFlags() & Qt::WindowStaysOnTopHint))
            return true;
    return false;
}

QRect AreaOfScreen(const QScreen* s) {
    return s ? s->availableGeometry() : QRect();
}

// The room of a window that opens from the owner: the screen under the
// owner's middle.
QRect AreaAround(const QWidget* owner) {
    const QRect frame = FrameOf(owner);
    if (const QScreen* s = QGuiApplication::screenAt(frame.center())) return AreaOfScreen(s);
    return AvailableArea(owner);
}

} // namespace

QRect FitFrame(const QRect& frame, const QRect& room) {
    if (room.isEmpty()) return frame;
    QRect r(frame.topLeft(), frame.size().boundedTo(room.size()));
    if (r.right() > room.right()) r.moveRight(room.right());
    if (r.bottom() > room.bottom()) r.moveBottom(room.bottom());
    if (r.left() < room.left()) r.moveLeft(room.left());
    if (r.top() < room.top()) r.moveTop(room.top());
    return r;
}

QRect CentreFrameOn(const QSize& frameSize, const QRect& ownerFrame, const QRect& room) {
    QRect r(QPoint(0, 0), frameSize);
    r.moveCenter(ownerFrame.center());
    return FitFrame(r, room);
}

std::optional<QRect> RestoredFrame(const QRect& frame, const QList<QRect>& rooms) {
    const QRect* best = nullptr;
    qint64 bestOverlap = 0;
    for (const QRect& room : rooms) {
        const QRect overlap = frame.intersected(room);
        const qint64 area = qint64(overlap.width()) * overlap.height();
        if (!overlap.isEmpty() && area > bestOverlap) {
            best = &room;
            bestOverlap = area;
        }
    }
    if (!best) return std::nullopt;
    return FitFrame(frame, *best);
}

QRect AvailableArea(const QWidget* window) {
    const QWidget* w = window->window();
    // the screen under the window's middle (its native window may not know
    // yet where it is going)
    if (const QScreen* s = QGuiApplication::screenAt(w->geometry().center()))
        return AreaOfScreen(s);
    if (const QWidget* p = w->parentWidget()) return AvailableArea(p);
    if (const QScreen* s = w->screen()) return AreaOfScreen(s);
    return AreaOfScreen(QGuiApplication::primaryScreen());
}

QMargins FrameMargins(const QWidget* window) {
    const QWidget* w = window->window();
    if (!Decorated(w)) return {};
    const QWindow* h = w->windowHandle();
    // the window system's own word, once the window is on the screen (or
    // before, where it tells the frame of a window not yet shown)
    if (h && (h->isExposed() || !h->frameMargins().isNull())) return h->frameMargins();
    // before that: the frame of a window already shown, the owner's first
    if (const QWidget* p = w->parentWidget())
        if (const QWindow* h = p->window()->windowHandle(); h && h->isExposed())
            return h->frameMargins();
    for (const QWidget* t : QApplication::topLevelWidgets())
        if (t != w && Decorated(t) && t->windowType() == w->windowType())
            if (const QWindow* h = t->windowHandle(); h && h->isExposed())
                return h->frameMargins();
    // a platform without a window system draws no frame
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) return {};
    return kEstimatedFrame;
}

QRect FrameOf(const QWidget* window) {
    const QWidget* w = window->window();
    return w->geometry().marginsAdded(FrameMargins(w));
}

void SetFrame(QWidget* window, const QRect& frame) {
    window->setGeometry(frame.marginsRemoved(FrameMargins(window)));
}

void FitOnScreen(QWidget* window) {
    if (!window->isWindow()) return;
    if (window->windowState() &
        (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized))
        return;
    const QRect room = AvailableArea(window);
    if (room.isEmpty()) return;
    const QMargins m = FrameMargins(window);
    const QSize clientRoom = room.marginsRemoved(m).size();
    // a minimum set for a large screen gives way on a small one
    const QSize least = window->minimumSize();
    if (least.width() > clientRoom.width() || least.height() > clientRoom.height())
        window->setMinimumSize(least.boundedTo(clientRoom));
    const QRect frame = window->geometry().marginsAdded(m);
    const QRect fitted = FitFrame(frame, room);
    if (fitted != frame) window->setGeometry(fitted.marginsRemoved(m));
}

TWindowPlacement::TWindowPlacement(QObject* parent) : QObject(parent) {}

void TWindowPlacement::Install() {
    static QPointer<TWindowPlacement> installed;
    if (installed || !qApp) return;
    installed = new TWindowPlacement(qApp);
    qApp->installEventFilter(installed);
}

// A drop-down list as wide as its longest item needs (the items of a
// drop-down are drawn like menu entries, with room for a check mark that
// the box itself does not take into account).
static void WidenDropDown(QWidget* popup, const QComboBox* combo) {
    const QAbstractItemView* view = combo->view();
    if (!view || !view->model() || view->model()->columnCount(view->rootIndex()) < 1) return;
    // the popup's frame and scroll bar around the items
    const int around = popup->width() - view->viewport()->width();
    const int need = view->sizeHintForColumn(combo->modelColumn()) + around;
    if (need <= popup->width()) return;
    QRect g = popup->geometry();
    g.setWidth(need);
    popup->setGeometry(FitFrame(g, AvailableArea(combo)));
}

bool TWindowPlacement::eventFilter(QObject* watched, QEvent* e) {
    // a drop-down list shows its longest item whole
    if (e->type() == QEvent::Show && watched->isWidgetType()) {
        auto* popup = static_cast<QWidget*>(watched);
        if (popup->windowType() == Qt::Popup)
            if (const auto* combo = qobject_cast<const QComboBox*>(popup->parentWidget()))
                WidenDropDown(popup, combo);
        return QObject::eventFilter(watched, e);
    }
    // The window's own show handling (a dialog's size and place, a message
    // box's size) is done when its native window is about to be shown: the
    // place is decided then, before the window appears.
    if ((e->type() == QEvent::Show || e->type() == QEvent::Expose) && watched->isWindowType()) {
        auto* handle = static_cast<QWindow*>(watched);
        QWidget* w = WidgetOf(handle);
        if (Placed(w)) {
            if (e->type() == QEvent::Show) {
                Place(w);
            } else if (handle->isExposed() && w->property(kRefit).toBool()) {
                // now the window system has given it its frame
                w->setProperty(kRefit, false);
                FitOnScreen(w);
            }
        }
    }
    return QObject::eventFilter(watched, e);
}

void TWindowPlacement::Place(QWidget* window) {
    QWidget* owner = Owner(window);
    // a dialog without a parent still belongs on top of the window it opens from
    if (owner && !window->parentWidget() && window->windowHandle() && owner->windowHandle() &&
        !window->windowHandle()->transientParent())
        window->windowHandle()->setTransientParent(owner->windowHandle());
    // a dialog that holds the program until it is answered is never hidden
    // behind a window that stays on top
    if (window->isModal() && window->windowHandle() && AnyStaysOnTop(window))
        window->windowHandle()->setFlags(window->windowHandle()->flags() |
                                         Qt::WindowStaysOnTopHint);
    const bool first = !window->property(kPlaced).toBool();
    window->setProperty(kPlaced, true);
    if (first && !window->testAttribute(Qt::WA_Moved) &&
        !(window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))) {
        // a new window: over its owner, else in the middle of its screen
        const QSize size = FrameOf(window).size();
        const QRect frame =
            owner ? CentreFrameOn(size, OwnerFrame(window, owner), AreaAround(owner))
                  : CentreFrameOn(size, AvailableArea(window), AvailableArea(window));
        SetFrame(window, frame);
    }
    FitOnScreen(window);
    window->setProperty(kRefit, true);
}

} // namespace vaskel
