#include "ui/compose/RecordChoiceDialog.h"

#include "ui/common/Texts.h"
#include "ui/help/ContextHelp.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vaskel {

namespace {

// in the order the window lists them
constexpr TDisplayRecord kOrder[] = {TDisplayRecord::DS003a, TDisplayRecord::DS003c,
                                     TDisplayRecord::DS021, TDisplayRecord::DS004c,
                                     TDisplayRecord::DS021a};

QRadioButton* AddChoice(QGridLayout* grid, int row, TDisplayRecord type, const char* caption,
                        const char* note) {
    auto* b = new QRadioButton;
    b->setObjectName(QStringLiteral("rb") + QString::fromLatin1(DisplayRecordNo(type)));
    SetDe(b, caption);
    auto* l = new QLabel;
    SetDe(l, note);
    grid->addWidget(b, row, 0);
    grid->addWidget(l, row, 1);
    return b;
}

} // namespace

TfRecordChoiceDialog::TfRecordChoiceDialog(QWidget* parent) : QDialog(parent) {
    SetHelpContext(this, help::kRecordChoice);
    setObjectName(QStringLiteral("frm_DatensatzAuswahl"));
    setWindowTitle(Tr("Datensatzauswahl"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    auto* question = new QLabel;
    SetDe(question, "Bitte wählen Sie aus, welchen Datensatz Sie neu anlegen wollen:");
    layout->addWidget(question);
    auto* grid = new QGridLayout;
    grid->setContentsMargins(16, 4, 4, 4);
    FChoices[0] = AddChoice(grid, 0, kOrder[0], "Datensatz 003a", "(Außenanzeigen - Text)");
    FChoices[1] = AddChoice(grid, 1, kOrder[1], "Datensatz 003c", "(Innenanzeigen)");
    FChoices[2] = AddChoice(grid, 2, kOrder[2], "Datensatz 021", "(Außenanzeigen mit Taktung)");
    FChoices[3] = AddChoice(grid, 3, kOrder[3], "Datensatz 004c", "(Entwerter, Fahrkartenautom.)");
    FChoices[4] = AddChoice(grid, 4, kOrder[4], "Datensatz 021a", "(Streckenverlaufsanzeigen)");
    FChoices[0]->setChecked(true);
    layout->addLayout(grid);
    auto* buttons = new QDialogButtonBox;
    QPushButton* ok = buttons->addButton(QString(), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("btOk"));
    SetDe(ok, "&OK");
    ok->setDefault(true);
    QPushButton* cancel = buttons->addButton(QString(), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("btAbbrechen"));
    SetDe(cancel, "&Abbrechen");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    // nothing in it grows: the dialog keeps the size of its content, and the
    // window manager offers no resizing frame under the buttons
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

TDisplayRecord TfRecordChoiceDialog::Chosen() const {
    for (int k = 0; k < 5; ++k)
        if (FChoices[k]->isChecked()) return kOrder[k];
    return TDisplayRecord::DS003a;
}

QRadioButton* TfRecordChoiceDialog::Choice(TDisplayRecord type) const {
    for (int k = 0; k < 5; ++k)
        if (kOrder[k] == type) return FChoices[k];
    return nullptr;
}

bool TfRecordChoiceDialog::Ask(QWidget* parent, TDisplayRecord& type) {
    TfRecordChoiceDialog dialog(parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    type = dialog.Chosen();
    return true;
}

} // namespace vaskel
