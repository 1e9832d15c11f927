#include "ui/device/SyncListbox.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <QWheelEvent>

namespace vaskel {

TSyncListbox::TSyncListbox(QWidget* parent) : QListView(parent) {
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this](int v) { Mirror(Qt::Vertical, v); });
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this,
            [this](int v) { Mirror(Qt::Horizontal, v); });
}

QList<TSyncListbox*> TSyncListbox::Siblings() const {
    QList<TSyncListbox*> out;
    if (!parentWidget()) return out;
    for (TSyncListbox* l :
         parentWidget()->findChildren<TSyncListbox*>(QString(), Qt::FindDirectChildrenOnly))
        if (l != this) out.push_back(l);
    return out;
}

void TSyncListbox::Mirror(Qt::Orientation orientation, int value) {
    if (FReentry) return;
    const bool v = FSyncKind == TSyncKind::skBoth || FSyncKind == TSyncKind::skVScroll;
    const bool h = FSyncKind == TSyncKind::skBoth || FSyncKind == TSyncKind::skHScroll;
    if (orientation == Qt::Vertical ? !v : !h) return;
    for (TSyncListbox* s : Siblings()) {
        s->FReentry = true;
        (orientation == Qt::Vertical ? s->verticalScrollBar() : s->horizontalScrollBar())
            ->setValue(value);
        s->FReentry = false;
    }
}

// The siblings go first: when this list then scrolls, the mirrored scroll
// position is the one they reached already.
void TSyncListbox::keyPressEvent(QKeyEvent* e) {
    if (!FReentry && FSyncKind != TSyncKind::skNone) {
        for (TSyncListbox* s : Siblings()) {
            QKeyEvent copy(e->type(), e->key(), e->modifiers(), e->text(), e->isAutoRepeat(),
                           static_cast<ushort>(e->count()));
            s->FReentry = true;
            s->keyPressEvent(&copy);
            s->FReentry = false;
        }
    }
    QListView::keyPressEvent(e);
}

void TSyncListbox::wheelEvent(QWheelEvent* e) {
    if (!FReentry && FSyncKind != TSyncKind::skNone) {
        for (TSyncListbox* s : Siblings()) {
            QWheelEvent copy(e->position(), e->globalPosition(), e->pixelDelta(), e->angleDelta(),
                             e->buttons(), e->modifiers(), e->phase(), e->inverted(), e->source());
            s->FReentry = true;
            s->wheelEvent(&copy);
            s->FReentry = false;
        }
    }
    QListView::wheelEvent(e);
}

} // namespace vaskel
