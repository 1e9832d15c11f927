#pragma once
// TPatternGroupBox: a group box whose colour is that of a pattern style. The
// colour lies on a backdrop inside the frame, under the controls: labels show
// it, the controls keep their own look.

#include <QGroupBox>

class QFrame;

namespace vaskel {

class TPatternGroupBox : public QGroupBox {
public:
    explicit TPatternGroupBox(QWidget* parent = nullptr);
    // The widget that carries the colour (the pattern style is applied to it).
    QFrame* Backdrop() const { return FBackdrop; }

protected:
    void resizeEvent(QResizeEvent* e) override;
    void childEvent(QChildEvent* e) override;

private:
    void PlaceBackdrop();
    QFrame* FBackdrop = nullptr;
};

} // namespace vaskel
