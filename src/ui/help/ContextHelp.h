#pragma once
// Context help: every window and dialog carries a help context number; F1
// anywhere opens the one help window (THelpWindow) at the manual's page of
// the window that has the keyboard focus, Shift+F1 ("Was ist das?") turns the
// next click on a control into its hint. The numbers stand for the manual's
// window identifiers (the table in docs/manual/LANG/index.md); the manual
// opens in the program's language.

#include "ui/common/HelpContext.h"

#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;

namespace vaskel {

class THelpWindow;

// The manual's identifier of a context ("TfFilter"); empty when unknown.
QString HelpIdOf(int context);

class TContextHelp : public QObject {
public:
    // Where the built collections lie (vaskel-de.qhc/.qch ...) and a folder
    // the help may write to (its working copy and search index).
    static void SetFolders(const QString& collections, const QString& work);
    // The collections beside a program in programDir: its "help" folder
    // (the build) or ../share/vaskel/help (installed); empty: none found.
    static QString FindCollections(const QString& programDir);

    // F1, Shift+F1 and "Was ist das?" for every window of the application.
    static void Install();

    // The manual's first page, with its contents.
    static void ShowContents();
    // The page of a help context.
    static void ShowContext(int context);
    // The page of the window w belongs to.
    static void ShowFor(const QWidget* w);
    // The help window when it is open (null: none).
    static THelpWindow* Window();
    static void CloseWindow();
    // The hint "Was ist das?" showed last.
    static QString LastHint();

protected:
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    // The one help window in the active language, in front.
    static THelpWindow* Open();
    // A modal dialog blocks every window but its own: while one is up, the
    // help window is one of its windows.
    void FollowModal(QWidget* modal);

    QString FCollections;
    QString FWork;
    QString FLastHint;
    QPointer<THelpWindow> FWindow;
    QPointer<QWidget> FModal;
};

} // namespace vaskel
