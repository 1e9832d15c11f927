#pragma once
// TfDatensatzForm: the "IBIS-Datensätze" window, the record-type catalogue
// as a table on the list editor base. It opens locked; the lock button
// unlocks it for editing. Saving checks every row first, writes IBIS.CSV
// (the previous file kept as IBIS.BAK) and reloads the catalogue, so that
// new traffic is classified by it at once.

#include "recording/Table.h"
#include "ui/editors/BaseEditForm.h"

#include <QStringList>
#include <functional>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QToolButton;

namespace vaskel {

class TWindowArea;

namespace detail {
// The table exists before the editor base that works on it.
struct TCatalogueTableHolder {
    TTable FCatalogueTable;
    explicit TCatalogueTableHolder(int languages);
};
} // namespace detail

class TfDatensatzForm : private detail::TCatalogueTableHolder, public TfBaseEditForm {
public:
    // languages: the interface languages, in their order (one description
    // column each).
    TfDatensatzForm(TSession& session, const QStringList& languages, QWidget* parent = nullptr);
    ~TfDatensatzForm() override;

    // The one window: an open one comes to the front, else a new one opens.
    static TfChildWindow* Open(TSession& session, TWindowArea& area);

    bool Locked() const { return FLocked; }
    void SetLocked(bool locked);
    QToolButton* LockButton() const { return FLock; }
    QComboBox* LanguageBox() const { return FLanguage; }
    // The column whose title was clicked last (-1: none).
    int SortColumn() const { return FSortColumn; }
    void SortBy(int col);
    // The file the window writes (the catalogue the parser loads).
    std::string CatalogueFile() const;

    bool SaveList() override;
    void UpdateTitle() override;
    // The locked table is not saved (as its save button).
    bool CanSaveAs() const override { return !FLocked && TfBaseEditForm::CanSaveAs(); }

    // Rows that fail the check: true saves all the same. Absent: the
    // message box asks.
    std::function<bool(const QString& problems)> AskSaveDespiteProblems;

protected:
    void changeEvent(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void ShowLockedHint();
    void ShowDescriptionColumns();
    void CellEdited(int row, int col);
    QVariant Header(int section, int role) const;
    bool AskAboutProblems(const QString& text);

    QStringList FLanguages;
    QToolButton* FLock = nullptr;
    QComboBox* FLanguage = nullptr;
    QLabel* FLanguageLabel = nullptr;
    bool FLocked = true;
    bool FQuiet = true; // the window moves the current cell itself
    int FSortColumn = -1;
    std::vector<bool> FShown; // per description column
};

} // namespace vaskel
