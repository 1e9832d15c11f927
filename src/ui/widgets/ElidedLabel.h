#pragma once
// TElidedLabel: a one-line label that shows its whole text when there is
// room and otherwise leaves out the middle ("/home/.../a.AUF.CSV"); the whole
// text is its hint.

#include <QLabel>

namespace vaskel {

class TElidedLabel : public QLabel {
public:
    explicit TElidedLabel(QWidget* parent = nullptr);
    void SetFullText(const QString& text);
    const QString& FullText() const { return FFull; }
    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    void Elide();
    QString FFull;
};

} // namespace vaskel
