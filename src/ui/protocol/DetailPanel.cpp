#include "ui/protocol/DetailPanel.h"

#include "platform/QtText.h"
#include "ui/common/Texts.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include <algorithm>

namespace vaskel {

namespace {

QString ShownHint(const TDetailItem& item) {
    return item.GermanHint.empty() ? QString() : Tr(FromCp1252(item.GermanHint));
}

} // namespace

TDetailOptions ShownDetailOptions() {
    TDetailOptions o;
    o.DecimalSeparator = UiLanguage() == 2 ? '.' : ',';
    return o;
}

QString ShownText(const TDetailItem& item) {
    if (item.Kind == TDetailItem::Field || item.Kind == TDetailItem::Memo ||
        item.Kind == TDetailItem::Mark)
        return FromCp1252(item.Value);
    QString text = item.German.empty() ? QString() : Tr(FromCp1252(item.German));
    std::vector<QString> a;
    for (const std::string& arg : item.Args)
        a.push_back(FromCp1252(arg));
    switch (a.size()) {
    case 0:
        break;
    case 1:
        text = text.arg(a[0]);
        break;
    case 2:
        text = text.arg(a[0], a[1]);
        break;
    case 3:
        text = text.arg(a[0], a[1], a[2]);
        break;
    default:
        text = text.arg(a[0], a[1], a[2], a[3]);
        break;
    }
    return text + FromCp1252(item.Suffix);
}

void FillDetailPanel(const TDetailContent& content, QWidget* panel, QVBoxLayout* layout) {
    int count = 0;
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    const int labelWidth =
        panel->fontMetrics().horizontalAdvance(QStringLiteral("Bestpassende DS-Nr.:")) + 8;
    for (const auto& line : content.Lines) {
        auto* row = new QHBoxLayout;
        row->setSpacing(6);
        for (const TDetailItem& item : line) {
            QWidget* w = nullptr;
            switch (item.Kind) {
            case TDetailItem::Label:
            case TDetailItem::Heading:
            case TDetailItem::Message: {
                auto* l = new QLabel(ShownText(item), panel);
                l->setObjectName(QStringLiteral("Genericlbl%1").arg(count));
                if (item.Kind == TDetailItem::Heading) {
                    QFont b = l->font();
                    b.setBold(true);
                    l->setFont(b);
                }
                if (item.Kind == TDetailItem::Label && !item.LeftAlign) {
                    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
                    l->setMinimumWidth(std::min(labelWidth, 170));
                } else {
                    l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
                }
                w = l;
                break;
            }
            case TDetailItem::Field:
            case TDetailItem::Mark: {
                auto* e = new QLineEdit(ShownText(item), panel);
                e->setObjectName(QStringLiteral("GenericEd%1").arg(count));
                e->setReadOnly(true);
                e->setFont(fixed);
                e->setToolTip(ShownHint(item));
                e->setCursorPosition(0);
                // a narrow panel scrolls rather than cutting the values
                e->setMinimumWidth(std::min(
                    e->fontMetrics().horizontalAdvance(e->text() + QStringLiteral("MM")) + 10,
                    240));
                if (item.Kind == TDetailItem::Mark) {
                    e->setFixedWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("XX")) + 10);
                    e->setAlignment(Qt::AlignCenter);
                }
                w = e;
                break;
            }
            case TDetailItem::Memo: {
                auto* m = new QPlainTextEdit(ShownText(item), panel);
                m->setObjectName(QStringLiteral("GenericMemo%1").arg(count));
                m->setReadOnly(true);
                m->setFont(fixed);
                m->setToolTip(ShownHint(item));
                m->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
                m->setMinimumWidth(160);
                m->setFixedHeight(item.PixelHeight > 0
                                      ? item.PixelHeight
                                      : item.Lines * m->fontMetrics().lineSpacing() + 10);
                w = m;
                break;
            }
            }
            ++count;
            const bool stretch = item.Kind == TDetailItem::Memo ||
                                 (item.Kind == TDetailItem::Field && &item == &line.back());
            row->addWidget(w, stretch ? 1 : 0);
        }
        if (line.empty() ||
            (line.back().Kind != TDetailItem::Memo && !(line.back().Kind == TDetailItem::Field)))
            row->addStretch();
        layout->addLayout(row);
    }
}

} // namespace vaskel
