#pragma once
// TLed: a lamp of the device-status group, lit, dark or blinking.
#include <QColor>
#include <QWidget>
#include <functional>

namespace vaskel {

// A lamp of the device-status group.
class TLed : public QWidget {
public:
    TLed(const QColor& on, QWidget* parent = nullptr);
    void SetOn(bool on);
    bool On() const { return FOn; }
    void SetBlinking(bool blinking) { FBlinking = blinking; }
    void BlinkTick();
    bool Lit() const { return FLit; }
    std::function<void()> OnClick;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override {
        if (OnClick) OnClick();
    }

private:
    QColor FColor;
    bool FOn = false, FBlinking = false, FLit = false;
};

} // namespace vaskel
