#pragma once
// TfRecordChoiceDialog: "Datensatzauswahl", the modal question which
// destination-display record a new composer starts with.

#include "telegram/DisplayRecords.h"

#include <QDialog>

class QRadioButton;

namespace vaskel {

class TfRecordChoiceDialog : public QDialog {
public:
    explicit TfRecordChoiceDialog(QWidget* parent = nullptr);
    // The chosen type (003a until another is chosen).
    TDisplayRecord Chosen() const;
    QRadioButton* Choice(TDisplayRecord type) const;

    // Asks; false when cancelled.
    static bool Ask(QWidget* parent, TDisplayRecord& type);

private:
    QRadioButton* FChoices[5] = {};
};

} // namespace vaskel
