#pragma once
// TfAntwortListenForm: the response-list editor. The list editor base with
// the four columns of a response list (active, call, answer, reaction time),
// the catalogue's master record types to choose a call from and its slave
// record types to choose an answer from, the reaction time kept within
// 0 to 1000 ms, the file (new, open with the older comma form converted,
// save), and the activate button of the slave simulation.

#include "recording/Table.h"
#include "ui/editors/BaseEditForm.h"

#include <array>
#include <functional>

class QLabel;

namespace vaskel {

struct TFileDialogSpec;

namespace detail {
// The table exists before the editor base that works on it.
struct TResponseListTable {
    TTable FResponseTable;
    TResponseListTable();
};
} // namespace detail

class TfAntwortListenForm : private detail::TResponseListTable, public TfBaseEditForm {
public:
    // file: the list to open; empty (or not there) for a new list.
    TfAntwortListenForm(TSession& session, const QString& file, QWidget* parent = nullptr);

    // False when the file was there but is no response list (after the
    // loader's message): the window is not to be shown.
    bool Loaded() const { return FLoaded; }
    QString FileName() const override { return ActualFileName(); }
    // The editor's file is the active response list.
    bool IsActiveList() const;
    TTable& ResponseTable() { return FResponseTable; }

    // "Speichern" to the list's file (a new list asks for one), "Speichern
    // unter..." asking.
    bool SaveList() override;
    bool SaveListAs() override;
    void UpdateTitle() override;
    void RefreshFromState() override;

    // Asks for the file to save to (the save dialog; tests answer it).
    std::function<QString(const TFileDialogSpec&)> AskSaveFile;
    // The information beep of a clamped reaction time (tests count it).
    std::function<void()> Beep;

    QLabel* PanelText() const { return FPanel; }
    // The rows were made from a recorded protocol, each answering after
    // 1 ms: the bottom panel says so (while no warning of the active list
    // is due) until the list is saved.
    void SetMadeFromProtocol();

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    bool SaveTo(bool ask);
    void ActivateClicked();
    void CellEdited(int row, int col);
    void RefreshActivateButton();

    QLabel* FPanel = nullptr;
    bool FLoaded = true;
    bool FFromProtocol = false;
};

} // namespace vaskel
