#include "ui/widgets/Led.h"

#include <QPainter>

namespace vaskel {

TLed::TLed(const QColor& on, QWidget* parent) : QWidget(parent), FColor(on) {
    setFixedSize(14, 14);
}

void TLed::SetOn(bool on) {
    FOn = on;
    FLit = on;
    update();
}

void TLed::BlinkTick() {
    if (!FOn || !FBlinking) return;
    FLit = !FLit;
    update();
}

void TLed::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::darkGray, 1));
    p.setBrush(FLit ? FColor : FColor.darker(400));
    p.drawEllipse(rect().adjusted(1, 1, -1, -1));
}

} // namespace vaskel
