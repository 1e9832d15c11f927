#include "ui/widgets/PatternGroupBox.h"

#include <QChildEvent>
#include <QFrame>
#include <QStyle>
#include <QStyleOptionGroupBox>

namespace vaskel {

TPatternGroupBox::TPatternGroupBox(QWidget* parent) : QGroupBox(parent) {
    FBackdrop = new QFrame(this);
    FBackdrop->setObjectName(QStringLiteral("Backdrop"));
    FBackdrop->setFrameShape(QFrame::NoFrame);
    FBackdrop->setAttribute(Qt::WA_TransparentForMouseEvents);
    FBackdrop->lower();
}

void TPatternGroupBox::resizeEvent(QResizeEvent* e) {
    QGroupBox::resizeEvent(e);
    PlaceBackdrop();
}

void TPatternGroupBox::childEvent(QChildEvent* e) {
    QGroupBox::childEvent(e);
    // the backdrop stays under every control added later
    if (e->added() && FBackdrop) FBackdrop->lower();
}

void TPatternGroupBox::PlaceBackdrop() {
    QStyleOptionGroupBox o;
    initStyleOption(&o);
    const QRect inside =
        style()->subControlRect(QStyle::CC_GroupBox, &o, QStyle::SC_GroupBoxContents, this);
    FBackdrop->setGeometry(inside.adjusted(1, 1, -1, -1));
    FBackdrop->lower();
}

} // namespace vaskel
