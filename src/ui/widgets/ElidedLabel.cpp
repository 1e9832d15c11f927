#include "ui/widgets/ElidedLabel.h"

#include <QResizeEvent>

namespace vaskel {

TElidedLabel::TElidedLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void TElidedLabel::SetFullText(const QString& text) {
    FFull = text;
    setToolTip(text);
    Elide();
}

QSize TElidedLabel::minimumSizeHint() const {
    return {0, QLabel::minimumSizeHint().height()};
}

QSize TElidedLabel::sizeHint() const {
    const QMargins m = contentsMargins();
    return {fontMetrics().horizontalAdvance(FFull) + m.left() + m.right() + 2 * margin() + 2,
            QLabel::sizeHint().height()};
}

void TElidedLabel::resizeEvent(QResizeEvent* e) {
    QLabel::resizeEvent(e);
    Elide();
}

void TElidedLabel::Elide() {
    const int room = contentsRect().width() - 2 * margin() - 2;
    setText(fontMetrics().elidedText(FFull, Qt::ElideMiddle, std::max(room, 0)));
}

} // namespace vaskel
