#include "ui/compose/HexConverterForm.h"

#include "platform/QtText.h"
#include "telegram/DisplayRecords.h"
#include "ui/common/Texts.h"
#include "ui/help/ContextHelp.h"

#include <QApplication>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

namespace vaskel {

namespace {

QPointer<TfHexConverterForm> gConverter;

// The largest number the seven hexadecimal and IBIS-hex places show.
constexpr qulonglong kLargest = 0xFFFFFFF;

bool DecimalKey(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}
bool HexKey(QChar c) {
    c = c.toUpper();
    return DecimalKey(c) || (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}
bool IbisHexKey(QChar c) {
    return c.unicode() >= 0x30 && c.unicode() <= 0x3F;
}

} // namespace

TfHexConverterForm* TfHexConverterForm::Current() {
    return gConverter.data();
}

TfHexConverterForm* TfHexConverterForm::Open(QWidget* parent) {
    if (TfHexConverterForm* open = Current()) return open;
    auto* w = new TfHexConverterForm(parent);
    w->show();
    // a tool window gets no keyboard focus by itself: the user types at once
    w->raise();
    w->activateWindow();
    return w;
}

TfHexConverterForm::TfHexConverterForm(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint) {
    SetHelpContext(this, help::kHexConverter);
    gConverter = this;
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmHexConverter"));
    setWindowTitle(Tr("HEX zu IBIS-HEX Konverter"));
    Beep = [] { QApplication::beep(); };
    auto* grid = new QGridLayout(this);
    auto field = [&](const char* name, const char* title, int maxLength, int column) {
        auto* l = new QLabel;
        SetDe(l, title);
        auto* e = new QLineEdit(QStringLiteral("0"));
        e->setObjectName(QString::fromLatin1(name));
        e->setMaxLength(maxLength);
        e->setAlignment(Qt::AlignRight);
        e->setMinimumWidth(e->fontMetrics().horizontalAdvance(QString(maxLength + 2, QLatin1Char('8'))));
        e->installEventFilter(this);
        l->setBuddy(e);
        grid->addWidget(l, 0, column);
        grid->addWidget(e, 1, column);
        return e;
    };
    FDecimal = field("edDezimal", "Dezimal", 9, 0);
    grid->addWidget(new QLabel(QStringLiteral("=")), 1, 1);
    FHex = field("edHexadezimal", "Hexadezimal", 7, 2);
    grid->addWidget(new QLabel(QStringLiteral("=")), 1, 3);
    FIbisHex = field("edIBISHexadezimal", "IBIS-Hexadezimal", 7, 4);
    auto* close = new QPushButton;
    close->setObjectName(QStringLiteral("btSchliessen"));
    SetDe(close, "Schließen");
    close->setToolTip(Tr("Dieses Fenster schließen"));
    grid->addWidget(close, 2, 4, Qt::AlignRight);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(FDecimal, &QLineEdit::textChanged, this, [this] { DecimalChanged(); });
    connect(FHex, &QLineEdit::textChanged, this, [this] { HexChanged(); });
    connect(FIbisHex, &QLineEdit::textChanged, this, [this] { IbisHexChanged(); });
    setFixedSize(sizeHint());
    // typing starts in the decimal field and replaces its "0"
    FDecimal->setFocus();
    FDecimal->selectAll();
}

TfHexConverterForm::~TfHexConverterForm() = default;

void TfHexConverterForm::Put(QLineEdit* field, const QString& text) {
    // the field the user is typing in keeps what is typed
    if (field->hasFocus() || field->text() == text) return;
    const QSignalBlocker b(field);
    field->setText(text);
}

void TfHexConverterForm::Clean(QLineEdit* field, const QString& text) {
    if (field->text() == text) return;
    const int removed = field->text().size() - text.size();
    const int caret = std::max(0, field->cursorPosition() - removed);
    const QSignalBlocker b(field);
    field->setText(text);
    field->setCursorPosition(std::min(caret, static_cast<int>(text.size())));
}

// Each update runs when its own field changes (typed or written by
// another update) and writes only into fields without the focus.
void TfHexConverterForm::DecimalChanged() {
    // a number the other fields cannot show is not taken (pasted text)
    if (FDecimal->text().toULongLong() > kLargest) {
        if (Beep) Beep();
        Clean(FDecimal, FLastDecimal);
    }
    FLastDecimal = FDecimal->text();
    const TNumberNotations n = FromDecimalText(ToCp1252(FDecimal->text()));
    Put(FHex, FromCp1252(n.Hex));
    Put(FIbisHex, FromCp1252(n.IbisHex));
}

void TfHexConverterForm::HexChanged() {
    const TNumberNotations n = FromHexText(ToCp1252(FHex->text()));
    Clean(FHex, FromCp1252(n.Hex));
    Put(FDecimal, FromCp1252(n.Decimal));
    Put(FIbisHex, FromCp1252(n.IbisHex));
}

void TfHexConverterForm::IbisHexChanged() {
    const TNumberNotations n = FromIbisHexText(ToCp1252(FIbisHex->text()));
    Clean(FIbisHex, FromCp1252(n.IbisHex));
    Put(FDecimal, FromCp1252(n.Decimal));
    Put(FHex, FromCp1252(n.Hex));
}

bool TfHexConverterForm::eventFilter(QObject* watched, QEvent* e) {
    auto* field = qobject_cast<QLineEdit*>(watched);
    if (!field) return QWidget::eventFilter(watched, e);
    if (e->type() == QEvent::KeyPress) {
        const auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_Escape) {
            close();
            return true;
        }
        const QString t = k->text();
        // keys without a character (caret, backspace, shortcuts) are the field's
        if (t.size() != 1 || t[0].unicode() < 0x20 || t[0].unicode() == 0x7F ||
            (k->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
            return false;
        const QChar c = t[0];
        bool ok = field == FDecimal ? DecimalKey(c)
                        : field == FHex   ? HexKey(c)
                                          : IbisHexKey(c);
        if (field == FDecimal && ok) {
            // the digit as it would stand in the field
            QString next = field->text();
            const int at = field->hasSelectedText() ? field->selectionStart() : field->cursorPosition();
            next.replace(at, field->selectedText().size(), c);
            ok = next.size() <= field->maxLength() && next.toULongLong() <= kLargest;
        }
        if (!ok) {
            if (Beep) Beep();
            return true;
        }
        if (field == FHex && c != c.toUpper()) {
            field->insert(QString(c.toUpper()));
            return true;
        }
    }
    if (e->type() == QEvent::FocusOut && field->text().isEmpty()) {
        field->setText(QStringLiteral("0"));
    }
    return QWidget::eventFilter(watched, e);
}

} // namespace vaskel
