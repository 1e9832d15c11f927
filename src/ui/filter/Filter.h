#pragma once
// TfFilter: the filter window ("Filter"). Two check lists, drawn by the
// window: the initial-letter groups of IBIS_Frame.CSV and the record types
// of the catalogue offered for the current bus. Group and record-type checks
// stay consistent; every change is applied at once to every protocol window
// and to the monitor's new rows (through the settings FilterKuerzel,
// FilterSatzArten and NeverFilterErrors and the session's FilterChanged).
// Choices are kept as named templates in the program's INI file. At most
// one filter window exists (ShowFilterWindow).

#include "telegram/FilterLists.h"
#include "ui/common/ChildWindow.h"

#include <functional>
#include <memory>
#include <string>

class QCheckBox;
class QComboBox;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace vaskel {

class TWindowArea;

class TfFilter : public TfChildWindow {
public:
    explicit TfFilter(TSession& session, QWidget* parent = nullptr);
    ~TfFilter() override;

    // The INI file that holds the templates: beside the program, or in the
    // user's own folder when the program's folder cannot be written.
    static std::string TemplateFile(TSession& session);

    const TFilterList& Groups() const { return FGroups; }
    const TFilterList& RecordTypes() const { return FTypes; }
    QListWidget* GroupList() const { return FGroupList; }
    QListWidget* RecordTypeList() const { return FTypeList; }
    QCheckBox* NeverFilterErrorsBox() const { return FNeverErrors; }
    QComboBox* TemplateBox() const { return FTemplates; }
    QPushButton* SaveButton() const { return FSave; }
    QPushButton* DeleteButton() const { return FDelete; }
    QPushButton* AllButton() const { return FAll; }
    QPushButton* NoneButton() const { return FNone; }

    // Checks or unchecks one entry as a click on its box does.
    void SetGroupChecked(int index, bool checked);
    void SetRecordTypeChecked(int index, bool checked);
    // "Alle" / "Keine".
    void CheckAll(bool checked);
    // The template of that name, as choosing it in the combo box does.
    void SelectTemplate(const QString& name);
    // "Aktuellen Filter als Vorlage speichern" / "Aktuelle Vorlage löschen"
    // (with their messages).
    void SaveTemplate();
    void DeleteTemplate();

    // The lists are filled again (the bus type or the catalogue changed, the
    // language switched); the checks follow the choice in force.
    void FillLists();

    // The catalogue was reloaded or the bus type changed: the lists follow.
    void RefreshFromState() override;

protected:
    void changeEvent(QEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    // The checks of the entries shown by the lists' items.
    void ShowChecks();
    void ShowHints();
    // The choice of the window becomes the one in force; every protocol
    // window filters again.
    void ApplyChoice();
    void TemplateTextEdited(const QString& text);
    void FillTemplateNames();
    // Runs an INI change; false (after a message) when the file could not
    // be written.
    bool WriteIni(const std::function<void()>& change);
    // Runs a read of the INI file; false (after a message) when it could
    // not be read.
    bool ReadIni(const std::function<void()>& read);

    TFilterList FGroups, FTypes;
    // what the record-type list was built from
    std::shared_ptr<const TProfileArray> FCatalogue;
    int FBus = -1;
    bool FUpdating = false; // the items' checks are being set by the window
    bool FFrameWarningPending = false; // the broken frame file's box is on its way
    bool FFirstShow = true;
    QMetaObject::Connection FFocusWatch;
    std::string FIniFile;
    QListWidget* FGroupList = nullptr;
    QListWidget* FTypeList = nullptr;
    QCheckBox* FNeverErrors = nullptr;
    QComboBox* FTemplates = nullptr;
    QPushButton* FSave = nullptr;
    QPushButton* FDelete = nullptr;
    QPushButton* FAll = nullptr;
    QPushButton* FNone = nullptr;
};

// "Filter definieren ...": opens the filter window in the area, or brings
// the open one to the front.
TfFilter* ShowFilterWindow(TSession& session, TWindowArea* area);

} // namespace vaskel
