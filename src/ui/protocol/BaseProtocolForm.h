#pragma once
// TfBaseProtocolForm: the base every protocol table is shown in (the live
// monitor and opened protocol files), with hex column, filter states,
// warning marks, IBIS character conversion, search-text marks, find, copy,
// the detail panel and the one-time tips.

#include "analysis/DetailKind.h"
#include "print/ProtocolPrint.h"
#include "recording/OpenedProtocol.h"
#include "shell/Environment.h"
#include "ui/common/ChildWindow.h"
#include "ui/common/Session.h"
#include "ui/protocol/ProtocolDelegate.h"
#include "ui/protocol/ProtocolModel.h"

#include <QWidget>
#include <functional>

class QAction;
class QDialog;
class QFrame;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSplitter;
class QTableView;
class QTimer;
class QToolBar;
class QToolButton;
class QVBoxLayout;

namespace vaskel {

class TfBaseProtocolForm : public TfChildWindow {
public:
    TfBaseProtocolForm(TSession& session, QWidget* parent = nullptr);
    ~TfBaseProtocolForm() override;

    TProtocolModel& Model() { return *FModel; }
    QTableView* View() const { return FView; }

    void SetHexShown(bool shown);
    bool HexShown() const { return FHexShown; }
    // 0 off, 1 on (rows the filter rejects are hidden), 2 acoustic.
    void SetFilterState(int state);
    int FilterState() const { return FFilterState; }
    void ApplyFilter();
    virtual void SetAutoWarnings(bool on);
    bool AutoWarnings() const { return FAutoWarnings; }
    // The IBIS characters shown as umlauts (the setting of every window).
    void SetConvertIBIS(bool on);
    void SetMarkText(const QString& text);
    // Return in the marking field: the next row the marking marks after the
    // current one (from the top again after the last) becomes the current
    // row; the field keeps the focus. False (a beep) when no row is marked.
    bool NextMarkedRow();
    QLineEdit* MarkEdit() const { return FMarkEdit; }
    // Column widths: variable (the start: they follow the window's width,
    // the telegram and the description share what the others leave) or
    // fixed (kept; the user drags the borders).
    void SetFixedWidths(bool fixed);
    bool FixedWidths() const { return FFixedWidths; }
    // The table's context menu: hex column, filter, warning marks, IBIS
    // characters, find; the entries' captions follow the states.
    QMenu* TableMenu() const { return FTableMenu; }
    // Finds text from the row after the current one (before it, upwards);
    // false when not found.
    bool FindNext(const QString& text, bool down = true, bool matchCase = false);
    // Opens the find dialog (one for all protocol windows, not modal): text,
    // case, direction; its "Weitersuchen" searches the active protocol
    // window.
    bool CanFind() const override { return true; }
    void FindAsked() override;
    // The find dialog once opened (null before).
    static QDialog* FindDialog();
    // The protocol window the find dialog searches: the active one of the
    // window area (outside an area: the one that opened the dialog).
    static TfBaseProtocolForm* ActiveProtocolWindow();
    // Follows the IBIS setting another window changed.
    void RefreshFromState() override;
    // The selected rows as text for the clipboard: what their cells show.
    QString SelectionText() const;
    // How the cells show their text now (warnings, IBIS characters, bus).
    TCellOptions ShownCells() const;
    // Copy puts the selected rows on the clipboard; select all marks every
    // row.
    bool EditCommand(TEditCommand command) override;

    // Opens the detail panel for a row (double-click, Enter).
    void DetailAnalysis(int row);
    void HideDetail();
    // The passenger's view of a display text row, under its analysis.
    void ShowPassengerView(int row);
    QList<int> DetailSizes(int need) const;
    int DetailRow() const { return FDetailRow; }
    int DetailTag() const { return FDetailTag; }
    TDetailKind DetailKind() const { return FDetailKind; }
    QFrame* DetailPanel() const { return FDetailPanel; }
    QSplitter* DetailSplitter() const { return FSplit; }
    // Fills the panel for a row in place of the built-in analyses; returns
    // false to let them run.
    std::function<bool(TDetailKind, int row, QVBoxLayout* panel)> Analyse;

    // The window became the active one: the filter tip, once.
    void Activated() override;
    // The text of the tip balloon last shown (empty: none yet).
    QString LastTip() const { return FLastTip; }
    // Closes a tip balloon of this window (and a cell's tooltip).
    void CloseTip();
    QList<QWidget*> ToolBars() const override;

    // The rows the window shows.
    const TTable& ShownTable() const { return *FTable; }
    // Opens the window's statistics ("Statistik ..."), or brings it to the
    // front.
    void ShowFigures();
    // Makes a row the current and selected one, in the middle of the view;
    // the monitor stops following new rows.
    void GoToRow(int row);
    // The rows get what the figures need that loading left out (the pairing
    // of a protocol read as stored).
    virtual void PrepareFigures() {}
    // The printout: its job for this window (the title, the selected rows or
    // all of them when one row is selected, the columns shown), and
    // "Drucken ...": the note, then the preview of the pages.
    TPrintJob PrintJob() const;
    void PrintAsked();
    // The printout's title: the live monitor's; an opened protocol its file name.
    virtual QString PrintTitle() const;
    // A moment at or after the rows were recorded, for the dates of the
    // printout's period: now for the live recording.
    virtual std::optional<TDateTime> PrintReference() const;

protected:
    // Sets the table shown (once, from the concrete window's constructor).
    void AttachTable(const TTable& table);
    const TTable& Table() const { return *FTable; }
    QHBoxLayout* BottomButtons() const { return FBottom; }
    QToolBar* ToolBar() const { return FToolBar; }
    // "Schließen" at the end of the bottom row: closes the window (its frame
    // in the main window's area).
    void AddCloseButton();
    // The save dialog for a protocol file in the protocol folder (proposed:
    // empty for none); empty when cancelled.
    QString AskProtocolFile(const QString& proposedName);
    // yyyy-mm-dd-hh-nn-ss.PRO.CSV of this moment.
    static QString NowProtocolFileName();
    // Looks at the shown rows for the one-time tips.
    void CheckTips();
    // The live monitor stops following new rows (tips, find, detail).
    virtual void StopFollowing() {}
    // The monitor's own tip for rows of the analysed record types.
    bool FRecordTypeTip = false;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void changeEvent(QEvent* e) override;
    void ShowTip(const QString& title, const QString& text, int row);

    TEnvironment& FEnv;
    const TIBISTelegramParser& FParser;
    TProtocolModel* FModel = nullptr;
    QTableView* FView = nullptr;
    QVBoxLayout* FMain = nullptr;

private:
    // The captions and hints that follow the states, in the active language.
    void ShowStates();
    // Variable widths: the columns fill the table's width.
    void FitColumns();
    void StepFilter();

    const TTable* FTable = nullptr;
    QHBoxLayout* FBottom = nullptr;
    QToolBar* FToolBar = nullptr;
    QToolButton* FHexButton = nullptr;
    QToolButton* FFilterButton = nullptr;
    QToolButton* FWarnButton = nullptr;
    QToolButton* FIbisButton = nullptr;
    QToolButton* FModeButton = nullptr;
    QLabel* FMarkLabel = nullptr;
    QLineEdit* FMarkEdit = nullptr;
    // the drop-down entries that set a state, and the context menu's
    QAction* FHexSet[2] = {};    // shown, hidden
    QAction* FFilterSet[3] = {}; // off, on, acoustic
    QAction* FWarnSet[2] = {};   // on, off
    QAction* FIbisSet[2] = {};   // convert, do not
    QAction* FModeSet[2] = {};   // fixed, variable
    QMenu* FTableMenu = nullptr;
    QAction* FHexEntry = nullptr;
    QAction* FFilterEntry = nullptr;
    QAction* FWarnEntry = nullptr;
    QAction* FIbisEntry = nullptr;
    bool FFixedWidths = false;
    bool FWidthTipShown = false; // once per drag over the titles
    bool FShownIbis = true;      // the IBIS setting last shown
    QFrame* FDetailPanel = nullptr;
    QSplitter* FSplit = nullptr;
    // the panel's height as the user set it with the handle (0: fitted)
    int FDetailHeight = 0;
    QWidget* FDetailHost = nullptr;
    QVBoxLayout* FDetailContent = nullptr;
    bool FHexShown = false;
    int FFilterState = 0;
    bool FAutoWarnings = true;
    std::string FMarkText;
    QString FLastTip;
    int FDetailRow = -1;
    int FDetailTag = -1;
    TDetailKind FDetailKind = TDetailKind::None;
};

} // namespace vaskel
