#pragma once
// TfHexConverterForm: "HEX zu IBIS-HEX Konverter", a small window on top of the
// others that converts a number between decimal, hexadecimal and
// IBIS-hexadecimal notation while the user types. One at a time; Escape
// closes it.

#include <QWidget>

#include <functional>

class QLineEdit;

namespace vaskel {

class TfHexConverterForm : public QWidget {
public:
    // Opens the converter; an open one stays as it is.
    static TfHexConverterForm* Open(QWidget* parent = nullptr);
    static TfHexConverterForm* Current();
    ~TfHexConverterForm() override;

    QLineEdit* Decimal() const { return FDecimal; }
    QLineEdit* Hex() const { return FHex; }
    QLineEdit* IbisHex() const { return FIbisHex; }

    // The information beep of a refused key (tests count it).
    std::function<void()> Beep;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    explicit TfHexConverterForm(QWidget* parent);
    void DecimalChanged();
    void HexChanged();
    void IbisHexChanged();
    // Writes text into a field unless the user is typing in it.
    void Put(QLineEdit* field, const QString& text);
    // A field's own cleaned text, the caret kept.
    static void Clean(QLineEdit* field, const QString& text);

    QLineEdit* FDecimal = nullptr;
    QLineEdit* FHex = nullptr;
    QLineEdit* FIbisHex = nullptr;
    QString FLastDecimal = QStringLiteral("0");
};

} // namespace vaskel
