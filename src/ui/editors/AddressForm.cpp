#include "ui/editors/AddressForm.h"

#include "platform/QtText.h"
#include "telegram/TextConventions.h"
#include "ui/common/TextWidgets.h"
#include "ui/common/Texts.h"
#include "ui/common/Theme.h"
#include "ui/help/ContextHelp.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace vaskel {

TfAddressForm::TfAddressForm(TEnvironment& env, QWidget* parent)
    : QDialog(parent), FEnv(env), FFields(env) {
    SetHelpContext(this, help::kAddressTranslation);
    setObjectName(QStringLiteral("AddressForm"));
    setWindowTitle(Tr("IBIS Adressumsetzung"));
    auto* layout = new QVBoxLayout(this);
    // what the translation does: the telegrams of a protocol played back
    // are translated; call lists and the direct input send as written
    QLabel* intro[] = {
        NewLabel("Mit der folgenden Tabelle können Sie eine Adressumsetzung definieren."),
        NewLabel("Diese Umsetzung wird bei der Mastersimulation angewendet, wenn Sie ein "
                 "aufgezeichnetes Protokoll abspielen."),
        NewLabel("Die Umsetzung hat keine Auswirkungen auf Aufruflisten und auf die "
                 "Direkteingabe.")};
    for (QLabel* l : intro) {
        l->setWordWrap(true);
        layout->addWidget(l);
    }
    auto* grid = new QGridLayout;
    grid->addWidget(NewLabel("Adresse im Protokoll:"), 0, 0);
    grid->addWidget(NewLabel("Wird beim Abspielen umgesetzt zu:"), 0, 1);
    for (int a = 1; a <= kAddressCount; ++a) {
        // "Adresse 10 (:):" names the IBIS-hex digit of the address
        auto* label = new QLabel(Tr("Adresse %1 (%2):").arg(a).arg(FromCp1252(IntToIBISHex(a))));
        label->setToolTip(
            Tr("Wenn diese Adresse gefunden wird, wird sie beim Abspielen umgesetzt. Der Wert in "
               "Klammern stellt die Zahl in IBIS-hexadezimaler Darstellung dar."));
        auto* edit = new QLineEdit(FromCp1252(FFields.Value(a)));
        edit->setObjectName(QStringLiteral("edAddress%1").arg(a));
        edit->setMaxLength(3);
        edit->setToolTip(Tr("Die links genannte Adresse wird in diesen Wert umgesetzt. Bitte "
                            "geben Sie die Zahlen in dezimaler Darstellung an."));
        FEdits[a - 1] = edit;
        connect(edit, &QLineEdit::textEdited, this, [this, a] {
            FFields.SetValue(a, ToCp1252(FEdits[a - 1]->text()));
            ShowLook(a);
        });
        connect(edit, &QLineEdit::editingFinished, this, [this, a] { Take(a); });
        grid->addWidget(label, a, 0);
        grid->addWidget(edit, a, 1);
        ShowLook(a);
    }
    layout->addLayout(grid);

    auto* buttons = new QHBoxLayout;
    auto* help = new QPushButton;
    help->setObjectName(QStringLiteral("btHelp"));
    SetDe(help, "Hilfe");
    connect(help, &QPushButton::clicked, this,
            [] { TContextHelp::ShowContext(help::kAddressTranslation); });
    FReset = new QPushButton;
    FReset->setObjectName(QStringLiteral("btReset"));
    SetDe(FReset, "Zurücksetzen", "Alle Werte auf die Normalwerte zurücksetzen.");
    FOk = new QPushButton;
    FOk->setObjectName(QStringLiteral("btOk"));
    SetDe(FOk, "&OK", "Alle Änderungen speichern und Formular schließen");
    FCancel = new QPushButton;
    FCancel->setObjectName(QStringLiteral("btCancel"));
    SetDe(FCancel, "&Abbruch", "Formular schließen ohne die Änderungen zu übernehmen");
    buttons->addWidget(help);
    buttons->addStretch();
    buttons->addWidget(FReset);
    buttons->addWidget(FOk);
    buttons->addWidget(FCancel);
    layout->addLayout(buttons);
    FOk->setDefault(true);

    connect(FReset, &QPushButton::clicked, this, [this] {
        FFields.Reset();
        for (int a = 1; a <= kAddressCount; ++a) {
            FEdits[a - 1]->setText(FromCp1252(FFields.Value(a)));
            ShowLook(a);
        }
    });
    connect(FOk, &QPushButton::clicked, this, [this] { OkClicked(); });
    connect(FCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfAddressForm::OkClicked() {
    for (int a = 1; a <= kAddressCount; ++a) {
        FFields.SetValue(a, ToCp1252(FEdits[a - 1]->text()));
        FFields.Leave(a);
        const QString kept = FromCp1252(FFields.Value(a));
        if (FEdits[a - 1]->text() != kept) FEdits[a - 1]->setText(kept);
        ShowLook(a);
    }
    const int wrong = FFields.FirstInvalid();
    if (wrong == 0) {
        FFields.Store(FEnv);
        accept();
        return;
    }
    // refused where it stands: the field keeps what was typed and the
    // window stays open; the message comes after the click or key that
    // asked for "Ok"
    QLineEdit* field = FEdits[wrong - 1];
    field->setFocus();
    field->selectAll();
    const QString text =
        Tr("Adresse %1: \"%2\" ist keine Adresse von 1 bis 15.").arg(wrong).arg(field->text()) +
        QLatin1Char('\n') + Tr("Bitte geben Sie eine Zahl von 1 bis 15 ein.");
    QPointer<TfAddressForm> self = this;
    QTimer::singleShot(0, this, [self, text] {
        if (self) QMessageBox::warning(self, Tr("IBIS Adressumsetzung"), text);
    });
}

void TfAddressForm::Take(int address) {
    FFields.SetValue(address, ToCp1252(FEdits[address - 1]->text()));
    FFields.Leave(address);
    const QString kept = FromCp1252(FFields.Value(address));
    if (FEdits[address - 1]->text() != kept) FEdits[address - 1]->setText(kept);
    ShowLook(address);
}

void TfAddressForm::ShowLook(int address) {
    // a value that is no address 1 .. 15 is marked as it is typed
    const TZK_PatternStyle look = !FFields.Valid(address) &&
                                          !TrimBlanks(FFields.Value(address)).empty()
                                      ? TZK_PatternStyle::psError
                                  : FFields.Changed(address) ? TZK_PatternStyle::psActive
                                                             : TZK_PatternStyle::psEnabled;
    G_ZK_Pattern().Apply(FEdits[address - 1], look);
}

} // namespace vaskel
