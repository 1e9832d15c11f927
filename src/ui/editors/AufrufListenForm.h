#pragma once
// TfAufrufListenForm: the call-list editor. The list editor base with the
// four columns of a call list (active, call, description, interval), the
// catalogue's master record types to choose a call from, the automatic
// description, the file (new, open with the older comma form converted,
// save), and the activate button of the master simulation.

#include "recording/Table.h"
#include "ui/editors/BaseEditForm.h"

#include <functional>

class QLabel;
class QPushButton;

namespace vaskel {

struct TFileDialogSpec;

namespace detail {
// The table exists before the editor base that works on it.
struct TCallListTable {
    TTable FCallTable;
    TCallListTable();
};
} // namespace detail

class TfAufrufListenForm : private detail::TCallListTable, public TfBaseEditForm {
public:
    // file: the list to open; empty (or not there) for a new list.
    TfAufrufListenForm(TSession& session, const QString& file, QWidget* parent = nullptr);

    // False when the file was there but is no call list (after the loader's
    // message): the window is not to be shown.
    bool Loaded() const { return FLoaded; }
    TTable& CallTable() { return FCallTable; }
    QString FileName() const override { return ActualFileName(); }
    // The editor's file is the active call list.
    bool IsActiveList() const;

    // "Speichern" to the list's file (a new list asks for one), "Speichern
    // unter..." asking.
    bool SaveList() override;
    bool SaveListAs() override;
    void UpdateTitle() override;
    void RefreshFromState() override;

    // Asks for the file to save to (the save dialog; tests answer it).
    std::function<QString(const TFileDialogSpec&)> AskSaveFile;

    QPushButton* DetailButton() const { return FDetail; }
    QLabel* PanelText() const { return FPanel; }

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    bool SaveTo(bool ask);
    void ActivateClicked();
    void CellEdited(int row, int col);
    void ShowDetailCaption();
    // The record composer for the current call.
    void OpenComposer();
    void RefreshActivateButton();

    QPushButton* FDetail = nullptr;
    QLabel* FPanel = nullptr;
    bool FLoaded = true;
};

} // namespace vaskel
