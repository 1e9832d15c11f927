#pragma once
// TfBaseEditForm: the editable table window every list editor derives from.
// A table model over the row store and a view; the row rules (defaults,
// complete and untouched rows, moving, appending, deleting, the cell
// editor's clean-up, special characters, the close question) come from
// TListEditorRows, this window shows and asks.

#include "lists/ListEditor.h"
#include "shell/Environment.h"
#include "ui/common/ChildWindow.h"
#include "ui/common/Session.h"
#include "ui/editors/ListEditModel.h"

#include <QAbstractTableModel>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QWidget>

class QHBoxLayout;
class QVBoxLayout;
class QMenu;
class QPushButton;
class QToolButton;

namespace vaskel {
class TCellEditorDelegate;
class TfBaseEditForm : public TfChildWindow {
public:
    TfBaseEditForm(TSession& session, TTable& table, std::vector<TEditColumn> columns,
                   const QString& fileName, QWidget* parent = nullptr);

    QTableView* View() const { return FView; }
    TListEditModel& Model() { return *FModel; }
    TListEditorRows& Rows() { return FRows; }
    int CurrentRow() const;

    // The file of the window; kept only when it exists (the caption of the
    // window's messages becomes its name).
    QString ActualFileName() const { return FActualFileName; }
    void SetActualFileName(const QString& file);
    // Whether this window shows the file at path (the same file however
    // the path is spelled).
    bool ShowsFile(const std::string& path) const;
    // The file's name; a list without a file: its untitled header in the
    // active language (questions asked after a language switch match it).
    QString DialogHeader() const;
    void SetDialogHeader(const QString& header) { FDialogHeader = header; }
    // The header of a list without a file, given in German.
    void SetUntitledHeader(const char* german);

    // Moves the current cell; false when the row being left is incomplete
    // (after the message).
    bool GoTo(int row, int col);
    // tbRowAppend, tbRowInsert, tbRowDelete and the Delete key.
    bool AppendRow();
    void InsertRow();
    void DeleteRow();
    void DeleteKey();
    // "<LF>" and "01h".."09h" at the caret of the open cell editor, or at
    // the end of the current cell.
    void InsertLineFeed();
    void InsertByte(unsigned char byte);
    // "Alle auswählen" / "Keines auswählen".
    void SelectAllRows(bool all);
    // true: columns keep their width; false: they follow the window.
    void SetFixedWidths(bool fixed);
    bool FixedWidths() const { return FFixed; }
    // The close question; false keeps the window.
    bool MayClose() override;
    // "Speichern": saves the list to the window's file, asking for one only
    // when it has none (derived windows); false when cancelled or failed.
    virtual bool SaveList() { return false; }
    // "Speichern unter...": asks for the file first.
    virtual bool SaveListAs() { return SaveList(); }
    // The window's title (after opening and saving): the dialog header
    // unless the derived window has a title of its own.
    virtual void UpdateTitle() { setWindowTitle(FDialogHeader); }
    // The caption: head and the file's path shortened to fit (untitled
    // without a file), "*" while modified.
    void SetFileCaption(const QString& head, const QString& untitled);
    // The main window's save actions: "Speichern" as the window's save
    // button, "Speichern unter..." asking for the file.
    bool CanSave() const override;
    bool CanSaveAs() const override;
    bool Save() override;
    bool SaveAs() override;
    // Ctrl+C copies the rows of the selection (the current row when nothing
    // is selected) as the table shows them; Ctrl+A selects every row.
    bool EditCommand(TEditCommand command) override;
    // The rows of the selection (or the current one) as the clipboard
    // takes them: the titles of the shown columns, then one line per row.
    QString SelectionText() const;
    // The table's rows were replaced underneath: the table shows them, row
    // is the current one, the buttons and the title follow.
    void ShowRows(int row);
    QList<QWidget*> ToolBars() const override;
    void UpdateToolbar();

    QToolButton* ToolButton(const char* name) const;
    QPushButton* SaveButton() const { return FSaveButton; }
    QPushButton* ActivateButton() const { return FActivateButton; }
    QHBoxLayout* BottomButtons() const { return FBottom; }

protected:
    void resizeEvent(QResizeEvent* e) override;
    // A change of language: the title in the new language.
    void changeEvent(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void ShowIncomplete();
    void MarkCaption();
    void ShowContextMenu(const QPoint& at);
    // The window's menus: the program's file and view commands, and the
    // special characters.
    void BuildMenus(QVBoxLayout* layout);
    // An insertion at the caret (text, caret, selection length → new text,
    // caret after it): in the open cell editor, else at the end of the
    // current cell (cleaned up as the editor would when cleanUp is set).
    using TCaretEdit = std::function<std::string(const std::string&, int&, int)>;
    void EditAtCaret(const TCaretEdit& edit, bool cleanUp);
    // Saves (asking for the file when asked is set) and shows the title.
    bool RunSave(bool asked);

    TEnvironment& FEnv;
    TTable& FTable;
    TListEditorRows FRows;

private:
    TListEditModel* FModel = nullptr;
    QTableView* FView = nullptr;
    TCellEditorDelegate* FCellDelegate = nullptr;
    QHBoxLayout* FBottom = nullptr;
    QWidget* FToolBar = nullptr;
    QPushButton* FActivateButton = nullptr;
    QPushButton* FSaveButton = nullptr;
    QMenu* FSpecial = nullptr;
    QString FActualFileName;
    QString FDialogHeader;
    const char* FUntitledDe = nullptr;
    bool FFixed = false;
    bool FMoving = false;
    bool FWidthHintShown = false;
    int FLastRow = 0;
};

// The message for a list file that ends inside a row (a quote never closed):
// it is not opened.
QString CutListText(const QString& file);

} // namespace vaskel
