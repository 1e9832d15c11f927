#include "ui/protocol/ProtocolDelegate.h"

#include "ui/protocol/ProtocolModel.h"

#include <QPainter>

namespace vaskel {

void TProtocolDelegate::paint(QPainter* p, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    const auto* model = static_cast<const TProtocolModel*>(index.model());
    const bool selected = option.state & QStyle::State_Selected;
    TCellOptions o = FOptions();
    o.RowSelected = selected;
    const TCellLook look =
        ProtocolCellLook(model->Table(), index.row(), index.column(), FParser, o);
    p->save();
    QRect r = option.rect;
    // a cell's own colour (reaction, errors, marks) shows on selected rows too
    if (look.Background.isValid())
        p->fillRect(r, look.Background);
    else if (selected)
        p->fillRect(r, option.palette.highlight().color().lighter(160));
    if (look.Cross) {
        p->setPen(QColor(0x80, 0x80, 0x80));
        const QPoint c = r.center();
        const int h = r.height() / 4;
        p->drawLine(c.x() - h, c.y() - h, c.x() + h, c.y() + h);
        p->drawLine(c.x() - h, c.y() + h, c.x() + h, c.y() - h);
    }
    const QFontMetrics fm(option.font);
    int width = 0;
    for (const auto& s : look.Segments)
        width += fm.horizontalAdvance(s.Text);
    int x = r.left() + 2;
    if (look.Align & Qt::AlignRight) x = r.right() - 2 - width;
    if (look.Align & Qt::AlignHCenter) x = r.left() + (r.width() - width) / 2;
    p->setClipRect(r);
    for (const auto& s : look.Segments) {
        if (s.Text.isEmpty()) continue;
        const int w = fm.horizontalAdvance(s.Text);
        const QRect seg(x, r.top(), w, r.height());
        if (s.Back.isValid()) p->fillRect(seg, s.Back);
        p->setPen(s.Fore.isValid() ? s.Fore : option.palette.text().color());
        p->drawText(seg, Qt::AlignLeft | Qt::AlignVCenter, s.Text);
        x += w;
    }
    p->restore();
}

} // namespace vaskel
