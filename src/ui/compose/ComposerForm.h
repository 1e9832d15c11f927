#pragma once
// TfComposerForm: "Datensatz … Detaileingabe", the composer of the
// destination-display records 021, 003a, 003c, 004c and 021a. The texts go
// into a small table; the window shows the telegram as it is composed and
// what the passenger would see, and "Übernehmen" hands the telegram (entry
// notation) to the window that opened it. While the user types, a refusal
// (no phase time, too many blocks) is said in the window, never by a box:
// a modal box out of a cell editor's key or focus event would take the
// keys typed next and could close the editor under its own event. At most one composer exists; it
// changes nothing outside itself before "Übernehmen".

#include "telegram/DisplayRecords.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QToolButton;

namespace vaskel {

class TDisplayPreview;

class TfComposerForm : public QWidget {
public:
    // Receives the composed telegram in entry notation.
    using THandOver = std::function<void(const QString& entry)>;

    // Opens the composer for an opener's text (entry notation): its first
    // two characters name the record type; when they name none, the
    // "Datensatzauswahl" asks (nullptr when cancelled). An open composer is
    // brought to the front instead of a second one.
    static TfComposerForm* OpenFor(QWidget* owner, const QString& openerText, THandOver handOver);
    // typeText "021", "003a", ... or "?" (the telegram's start decides);
    // anything else gives the message "wrong type" and opens nothing.
    // initial: the telegram's bytes (may be empty).
    static TfComposerForm* Open(QWidget* owner, const QString& typeText, const std::string& initial,
                                THandOver handOver);
    // The composer that is open (nullptr: none).
    static TfComposerForm* Current();

    ~TfComposerForm() override;

    TDisplayRecord Type() const { return FType; }
    // What the table and the boxes hold now.
    TComposerInput Input() const;
    // Composes and shows a refusal's message under the preview. Returns
    // the telegram's bytes (empty when refused).
    std::string Compose();
    // "Übernehmen": hands a telegram over and closes; false (window stays)
    // when the input is refused, after the refusal's box.
    bool Accept();

    // Rows of the table: append (021: a pair), insert before the current
    // row (021: before its pair), delete the current row (021: with its
    // partner; the last pair is emptied).
    void AppendRow();
    void InsertRow();
    void InsertRowsAt(int at);
    void DeleteRow();
    // The text cells' content (LF as byte, umlauts as Windows-1252).
    void SetRowText(int row, const std::string& text);
    std::string RowText(int row) const;

    QTableWidget* Table() const { return FTable; }
    QComboBox* AddressBox() const { return FAddress; }
    QComboBox* PhaseTimeBox() const { return FPhaseTime; }
    QCheckBox* DoubleLineFeedBox() const { return FDouble; }
    QLineEdit* Preview() const { return FPreview; }
    TDisplayPreview* DisplayPreview() const { return FDisplay; }
    QPushButton* AcceptButton() const { return FAccept; }
    // The refusal of what the window holds now, in the window (hidden: none).
    QLabel* ProblemLabel() const { return FProblem; }
    // The refusal last given (empty: none yet).
    QString LastMessage() const { return FLastMessage; }

    // Whether the user changed anything since the window opened.
    bool Edited() const { return FEdited; }

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    TfComposerForm(QWidget* owner, TDisplayRecord type, THandOver handOver);
    void BuildTable();
    void Renumber();
    int TextColumn() const;
    void LoadInput(const TComposerInput& in);
    void Recompose();
    void ShowComposed(const std::string& telegram);
    void ShowProblem(TComposeProblem problem);
    // The keyboard goes to the current row's text cell.
    void FocusText();

    TDisplayRecord FType;
    THandOver FHandOver;
    QTableWidget* FTable = nullptr;
    QComboBox* FAddress = nullptr;
    QComboBox* FPhaseTime = nullptr;
    QCheckBox* FDouble = nullptr;
    QLineEdit* FPreview = nullptr;
    TDisplayPreview* FDisplay = nullptr;
    QComboBox* FDisplayClass = nullptr;
    QPushButton* FAccept = nullptr;
    QLabel* FProblem = nullptr;
    QToolButton* FAppend = nullptr;
    QToolButton* FInsert = nullptr;
    QToolButton* FDelete = nullptr;
    QString FLastMessage;
    TComposeProblem FProblemShown = TComposeProblem::None;
    bool FLoading = false;
    // the telegram the window was opened with; it stays as it is until the
    // user changes something
    std::string FOriginal;
    bool FEdited = false;
    bool FAccepted = false;
    // the text of the cell being edited, while it is
    int FEditRow = -1;
    QString FEditText;
};

// The message of a refusal in the active language.
QString ProblemMessage(TComposeProblem problem);
// A cell's text as the editor shows it (LF as "↵") and back.
QString CellShown(const std::string& bytes);
std::string CellBytes(const QString& shown);

} // namespace vaskel
