#pragma once
// Context help: every window and dialog carries a help context number; F1
// anywhere opens the one help window (THelpWindow) at the manual's page of
// the window that has the keyboard focus, Shift+F1 ("Was ist das?") turns the
// next click on a control into its hint. The numbers stand for the manual's
// window identifiers (the table in docs/manual/LANG/index.md); the manual
// opens in the program's language.

#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;

namespace vaskel {

class THelpWindow;

// The windows' help context numbers.
namespace help {
constexpr int kIndex = 1000; // any other window: the manual's first page
constexpr int kMainWindow = 1010;
constexpr int kHexConverter = 1120;
constexpr int kSettings = 1150;
constexpr int kProtocol = 1200;
constexpr int kMonitor = 1210;
constexpr int kProtocolToolBar = 1220;
constexpr int kDetailError = 1280;
constexpr int kDetailInformation = 1290;
constexpr int kFilter = 1310;
constexpr int kStatistics = 1320;
constexpr int kPrintNote = 1330;
constexpr int kPrintPreview = 1340;
constexpr int kComposer = 1370;
constexpr int kRecordChoice = 1375;
constexpr int kListEditor = 1400;
constexpr int kCallList = 1410;
constexpr int kResponseList = 1450;
constexpr int kAddressTranslation = 1520;
constexpr int kRecordTypes = 1600;
constexpr int kFirmwareUpload = 1700;
constexpr int kCommunication = 1710;
constexpr int kDebugOutput = 1720;
constexpr int kAutonomous = 1730;
} // namespace help

// Gives a window or a part of one its help context.
void SetHelpContext(QWidget* w, int context);
// The context of w or of the nearest widget above it that has one; 0: none.
int HelpContextOf(const QWidget* w);
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
