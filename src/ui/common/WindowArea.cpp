#include "ui/common/WindowArea.h"
#include "ui/widgets/BalloonHint.h"

#include "ui/common/ChildWindow.h"
#include "ui/common/WindowPlacement.h"

#include <QAction>
#include <QApplication>
#include <QMdiSubWindow>
#include <QMenu>
#include <QEvent>
#include <QFileInfo>

#include <algorithm>

namespace vaskel {

TWindowArea::TWindowArea(QWidget* parent) : QMdiArea(parent) {
    connect(this, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
        if (sub && !sub->isMinimized() && !sub->isMaximized()) {
            // a window out of sight comes back into the area
            QPoint p = sub->pos();
            if (p.x() > viewport()->width()) p.setX(20);
            if (p.y() > viewport()->height() - 20) p.setY(20);
            if (p != sub->pos()) sub->move(p);
        }
        // a tip of the window left behind goes with it
        if (TBalloonHint* b = TBalloonHint::Current(); b && b->Anchor())
            for (QMdiSubWindow* other : subWindowList())
                if (other != sub && other->isAncestorOf(b->Anchor())) TBalloonHint::CloseCurrent();
        if (sub)
            if (auto* w = qobject_cast<TfChildWindow*>(sub->widget())) w->Activated();
    });
}

void TWindowArea::AddWindow(TfChildWindow* window) {
    QMdiSubWindow* sub = addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowTitle(window->windowTitle());
    connect(window, &QWidget::windowTitleChanged, sub, &QWidget::setWindowTitle);
    // as large as the area leaves room for, never larger
    const QSize room = viewport()->size();
    sub->resize(std::max(1, room.width() - 10), std::max(std::min(300, room.height()), room.height() - 10));
    ApplyToolBars(window);
    sub->show();
    // the area never gets smaller than a window of it can be: the main
    // window keeps room for every window's buttons
    int least = 0;
    for (QMdiSubWindow* s : subWindowList())
        least = std::max(least, s->minimumSizeHint().height());
    // (at most 400 px: a window that asks more keeps a small screen usable
    // by being scrolled or made smaller by hand instead)
    setMinimumHeight(std::max(minimumHeight(), std::min(least, 400)));
    KeepInside(sub);
    setActiveSubWindow(sub);
}

bool TWindowArea::viewportEvent(QEvent* e) {
    const bool done = QMdiArea::viewportEvent(e);
    // the area became smaller (the main window, a bar shown above it): every
    // window stays whole inside it, its buttons in sight
    if (e->type() == QEvent::Resize) KeepAllInside();
    return done;
}

void TWindowArea::KeepAllInside() {
    const QRect area = viewport()->rect();
    if (area.isEmpty()) return;
    for (QMdiSubWindow* sub : subWindowList()) {
        if (sub->isMaximized() || sub->isMinimized() || sub->isHidden()) continue;
        const QRect fitted = FitFrame(sub->geometry(), area);
        if (fitted != sub->geometry()) sub->setGeometry(fitted);
    }
}

void TWindowArea::KeepInside(QMdiSubWindow* sub) const {
    const QRect area = viewport()->rect();
    if (sub->isMaximized() || sub->isMinimized() || area.isEmpty()) return;
    if (area.contains(sub->geometry())) return;
    // a window that does not fit where it was placed: one step further down
    // the cascade of the others, and no larger than the room left there
    const int step = 24;
    const int others = static_cast<int>(subWindowList().size()) - 1;
    const int room = std::max(1, std::min(area.width(), area.height()) / 3 / step);
    const int offset = (others % room) * step;
    QRect g(QPoint(offset, offset), sub->size());
    g.setWidth(std::min(g.width(), area.width() - offset));
    g.setHeight(std::min(g.height(), area.height() - offset));
    g = g.intersected(area);
    sub->setGeometry(g);
}

QList<TfChildWindow*> TWindowArea::Windows() const {
    QList<TfChildWindow*> list;
    for (QMdiSubWindow* sub : subWindowList())
        if (auto* w = qobject_cast<TfChildWindow*>(sub->widget())) list << w;
    return list;
}

bool TWindowArea::ShowsFile(const QString& file) const {
    if (file.isEmpty()) return false;
    const QFileInfo wanted(file);
    for (TfChildWindow* w : Windows())
        if (!w->FileName().isEmpty() && QFileInfo(w->FileName()) == wanted) return true;
    return false;
}

TfChildWindow* TWindowArea::ActiveWindow() const {
    QMdiSubWindow* sub = activeSubWindow();
    return sub ? qobject_cast<TfChildWindow*>(sub->widget()) : nullptr;
}

void TWindowArea::Activate(TfChildWindow* window) {
    for (QMdiSubWindow* sub : subWindowList())
        if (sub->widget() == window) setActiveSubWindow(sub);
}

void TWindowArea::CloseAll() {
    // a window that stays open asks its question again, until it is
    // answered with yes or no
    while (!subWindowList().isEmpty()) {
        subWindowList().first()->close();
        QApplication::processEvents();
    }
}

void TWindowArea::SetToolBarsShown(bool shown) {
    FToolBarsShown = shown;
    for (TfChildWindow* w : Windows())
        ApplyToolBars(w);
}

void TWindowArea::ApplyToolBars(TfChildWindow* window) const {
    for (QWidget* bar : window->ToolBars())
        bar->setVisible(FToolBarsShown);
}

void TWindowArea::ListWindowsIn(QMenu* menu) {
    auto* separator = new QAction(menu);
    separator->setSeparator(true);
    menu->addAction(separator);
    connect(menu, &QMenu::aboutToShow, this, [this, menu, separator] {
        const QList<QAction*> actions = menu->actions();
        for (qsizetype k = actions.indexOf(separator) + 1; k < actions.size(); ++k)
            delete actions[k];
        const QList<TfChildWindow*> windows = Windows();
        separator->setVisible(!windows.isEmpty());
        int number = 0;
        for (TfChildWindow* w : windows) {
            ++number;
            const QString title = w->windowTitle();
            QAction* a =
                menu->addAction((number < 10 ? QStringLiteral("&%1 ").arg(number)
                                             : QStringLiteral("%1 ").arg(number)) +
                                QString(title).replace(QLatin1Char('&'), QStringLiteral("&&")));
            a->setCheckable(true);
            a->setChecked(w == ActiveWindow());
            connect(a, &QAction::triggered, this, [this, w] { Activate(w); });
        }
    });
}

void TWindowArea::Tile(Qt::Orientation along) {
    QList<QMdiSubWindow*> shown;
    for (QMdiSubWindow* sub : subWindowList())
        if (!sub->isMinimized() && !sub->isHidden()) shown << sub;
    if (shown.isEmpty()) return;
    const QRect area = viewport()->rect();
    const auto n = static_cast<int>(shown.size());
    for (int k = 0; k < n; ++k) {
        QMdiSubWindow* sub = shown[k];
        if (sub->isMaximized()) sub->showNormal();
        if (along == Qt::Vertical) {
            const int top = area.height() * k / n, bottom = area.height() * (k + 1) / n;
            sub->setGeometry(0, top, area.width(), bottom - top);
        } else {
            const int left = area.width() * k / n, right = area.width() * (k + 1) / n;
            sub->setGeometry(left, 0, right - left, area.height());
        }
    }
}

void TWindowArea::ArrangeIcons() {
    const QRect area = viewport()->rect();
    int x = 0, y = area.height();
    for (QMdiSubWindow* sub : subWindowList()) {
        if (!sub->isMinimized()) continue;
        const QSize size = sub->size();
        if (x > 0 && x + size.width() > area.width()) {
            x = 0;
            y -= size.height();
        }
        sub->move(x, y - size.height());
        x += size.width();
    }
}

void TWindowArea::RefreshAll() {
    for (TfChildWindow* w : Windows())
        w->RefreshFromState();
}

} // namespace vaskel
