#pragma once
// TfChildWindow: the base of every window in the main window's area. It
// knows the session, its caption, its close question, whether and how it
// saves, its own tool bars, and refreshes itself from the session's state.
// The main window's save routing, "Alle schließen", the window list and the
// tool bar toggles work on this base alone.

#include <QAbstractItemView>
#include <QList>
#include <QString>
#include <QWidget>

class QCloseEvent;

namespace vaskel {

class TSession;

// The commands of the "Bearbeiten" menu.
enum class TEditCommand { Undo, Copy, Cut, Paste, SelectAll, Delete };

class TfChildWindow : public QWidget {
    Q_OBJECT

public:
    TfChildWindow(TSession& session, QWidget* parent = nullptr);

    TSession& Session() const { return FSession; }

    QString Caption() const { return FCaption; }
    // Sets the caption of the window and of its frame in the area.
    void SetCaption(const QString& caption);

    // The close question; false keeps the window open.
    virtual bool MayClose() { return true; }
    // Closes the window (its frame in the main window's area); false when
    // it stays.
    bool CloseWindow();

    // "Speichern" and "Speichern unter..." of the main window.
    virtual bool CanSave() const { return false; }
    virtual bool CanSaveAs() const { return false; }
    virtual bool Save() { return false; }
    virtual bool SaveAs() { return false; }

    // An edit command on the window's own table (the focus is in it);
    // false when the window has none for it.
    virtual bool EditCommand(TEditCommand) { return false; }

    // "Suchen ..." of the main window.
    virtual bool CanFind() const { return false; }
    virtual void FindAsked() {}

    // Playing the window's telegrams back onto the bus ("Aus Protokoll
    // senden ...").
    virtual bool CanSend() const { return false; }
    virtual bool Sending() const { return false; }
    virtual void StartSending() {}

    // The file the window shows (empty: none).
    virtual QString FileName() const { return {}; }

    // The window's own tool bars, shown and hidden by the view menu.
    virtual QList<QWidget*> ToolBars() const { return {}; }

    // Device, lists or windows changed: the window looks at the session
    // again.
    virtual void RefreshFromState() {}
    // The window became the active one.
    virtual void Activated() {}

protected:
    void closeEvent(QCloseEvent* e) override;
    // Copy and select all on a table of rows: the text of the selected rows
    // to the clipboard, or every row selected.
    static bool TableEditCommand(TEditCommand command, QAbstractItemView* view,
                                 const QString& selectionText);

private:
    TSession& FSession;
    QString FCaption;
};

} // namespace vaskel
