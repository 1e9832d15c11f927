#pragma once
// TfAddressForm: the "IBIS Adressumsetzung" window, a modal dialog with one
// field per IBIS address 1 to 15 for the address it is translated to. The
// rules of the fields (reference values, the active look, invalid values,
// "Zurücksetzen", "Ok") are TAddressTranslationFields'; a value that is no
// address is marked while it stands and refused on "Ok".

#include "simulation/AddressTranslation.h"

#include <QDialog>

#include <array>

class QLineEdit;
class QPushButton;

namespace vaskel {

class TfAddressForm : public QDialog {
public:
    TfAddressForm(TEnvironment& env, QWidget* parent = nullptr);

    QLineEdit* Edit(int address) const { return FEdits[address - 1]; }
    QPushButton* ResetButton() const { return FReset; }
    QPushButton* OkButton() const { return FOk; }
    QPushButton* CancelButton() const { return FCancel; }
    const TAddressTranslationFields& Fields() const { return FFields; }

private:
    // The field's text into the rules, and its look from them.
    void Take(int address);
    void ShowLook(int address);
    // "Ok": every field stored and the window closed; a field that is no
    // address 1 .. 15 is refused in place (marked, named in a message, the
    // window stays open with everything typed).
    void OkClicked();

    TEnvironment& FEnv;
    TAddressTranslationFields FFields;
    std::array<QLineEdit*, kAddressCount> FEdits{};
    QPushButton* FReset = nullptr;
    QPushButton* FOk = nullptr;
    QPushButton* FCancel = nullptr;
};

} // namespace vaskel
