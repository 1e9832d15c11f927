#include "ui/main/CallListCommands.h"

#include "lists/ListFiles.h"
#include "platform/QtText.h"
#include "shell/SystemPlatform.h"
#include "ui/common/ActionTable.h"
#include "ui/common/FileDialogs.h"
#include "ui/common/Icons.h"
#include "ui/common/MainWindowLink.h"
#include "ui/common/Session.h"
#include "ui/common/Texts.h"
#include "ui/editors/AufrufListenForm.h"
#include "ui/main/ModeArea.h"
#include "ui/common/WindowArea.h"
#include "ui/widgets/BalloonHint.h"
#include "ui/widgets/ElidedLabel.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

namespace vaskel {

namespace {

// A short note in the main window's status bar.
void StatusNote(QWidget* window, const QString& text) {
    if (IMainWindow* main = MainWindowOf(window)) main->ShowStatusMessage(text);
}

std::string Path(const QString& file) {
    return QFile::encodeName(file).toStdString();
}

} // namespace

TCallListCommands::TCallListCommands(TSession& session, TWindowArea& area, TModeArea& modeArea,
                                     const TActionTable& actions, QWidget* window, THooks hooks)
    : QObject(window), FSession(session), FArea(area), FModeArea(modeArea), FActions(actions),
      FWindow(window), FHooks(std::move(hooks)), FEditors(session, area) {
    auto on = [this](TAct id, auto f) { connect(FActions[id], &QAction::triggered, this, f); };
    on(TAct::acAufruflisteNew, [this] { New(); });
    on(TAct::acAufruflisteOeffnen, [this] { OpenAsked(); });
    on(TAct::acAufrufOnOff, [this] { OnOff(); });
    connect(&FSession, &TSession::CallListChanged, this,
            [this](const QString& file) { ShowActive(file); });
    // after the double click's own event: what it opens may ask first
    connect(
        &FModeArea, &TModeArea::ActiveCallListDoubleClicked, this,
        [this] { ActiveLineDoubleClicked(); }, Qt::QueuedConnection);
    ShowActive(QString());
}

void TCallListCommands::ShowActive(const QString& file) {
    QAction* onOff = FActions[TAct::acAufrufOnOff];
    onOff->setChecked(!file.isEmpty());
    onOff->setIcon(ProgramIcon(file.isEmpty() ? QStringLiteral("acAufrufOnOff")
                                              : QStringLiteral("acAufrufOnOffActive")));
    FModeArea.SetActiveCallList(file);
}

TfAufrufListenForm* TCallListCommands::New() {
    return FEditors.New();
}

void TCallListCommands::Adopt(TfAufrufListenForm* form) {
    FEditors.Show(form);
}

TfAufrufListenForm* TCallListCommands::Open(const QString& file) {
    return FEditors.Open(file);
}

QString TCallListCommands::AskOpen() {
    if (FHooks.AskOpenFile) return FHooks.AskOpenFile();
    TEnvironment& env = FSession.Env();
    return AskFile(FWindow, CallListOpenDialog(QFile::decodeName(QByteArray::fromStdString(
                                env.DialogDirectory(TFileFolder::Aufruf)))));
}

TfAufrufListenForm* TCallListCommands::OpenAsked() {
    TEnvironment& env = FSession.Env();
    // the folder is made when it is missing
    QDir().mkpath(QFile::decodeName(QByteArray::fromStdString(env.AufrufDirectory())));
    const QString file = AskOpen();
    if (file.isEmpty()) return nullptr;
    env.RememberDirectory(TFileFolder::Aufruf, ExtractFilePath(Path(file)));
    return Open(file);
}

bool TCallListCommands::SwitchToMaster(int ms) {
    const TDeviceStatus& st = FSession.Status();
    if (st.Master()) return true;
    if (!FSession.SwitchMasterMode()) return false;
    // the device's answer is looked for more often meanwhile
    TLiveSession& live = FSession.Live();
    const bool polling = live.Polling();
    live.SetPollInterval(50);
    live.RunPolling(true);
    QElapsedTimer t;
    t.start();
    while (!st.Master() && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    live.SetPollInterval(TLiveSession::kPollMs);
    if (!polling) live.RunPolling(false);
    return st.Master();
}

void TCallListCommands::OnOff() {
    const TDeviceStatus& st = FSession.Status();
    bool yes = true;
    if (FHooks.MonitorOpen() && (!st.Master() || !FSession.LinkOpen() || !st.DeviceOnline())) {
        const QString device = QStringLiteral("Tavrin");
        const QString text =
            Tr("Sie können nur dann eine Mastersimulation starten, wenn der %1 Master ist.")
                .arg(device) +
            QLatin1Char('\n') + Tr("Dies ist augenblicklich nicht der Fall.") + QLatin1Char('\n') +
            Tr("Soll nun versucht werden, den %1 in den Mastermodus zu schalten?").arg(device);
        yes = QMessageBox::warning(FWindow, Tr("Warnung: Modus Umschaltung"), text,
                                   QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    }
    if (!FSession.ActiveCallList().empty()) {
        // an active list is switched off, whatever the answer
        FSession.DeactivateCallList();
        FHooks.RefreshWindows();
        return;
    }
    if (!yes) return;
    if (!st.Master()) SwitchToMaster(1000);
    if (!FHooks.MonitorOpen()) FHooks.OpenMonitor();
    const QString file = AskOpen();
    if (!file.isEmpty()) Activate(file);
}

TCallListActivation TCallListCommands::Activate(const QString& file) {
    if (!QFileInfo::exists(file)) return TCallListActivation::Missing;
    if (!FHooks.MonitorOpen()) FHooks.OpenMonitor();
    FSession.Env().RememberDirectory(TFileFolder::Aufruf, ExtractFilePath(Path(file)));
    const TCallListActivation result = FSession.ActivateCallList(Path(file));
    FHooks.RefreshWindows();
    if (result == TCallListActivation::Broken) {
        QString text = TrLines(kCallListNotLoaded);
        if (const TMasterScheduler* s = FSession.Scheduler())
            if (s->LastProblem().Kind != TCallListProblem::TKind::None)
                text += QLatin1Char('\n') +
                        FromCp1252(CallListProblemText(s->LastProblem(), UiLanguage()));
        QMessageBox::critical(FWindow, QStringLiteral("Vaskel"), text);
        return result;
    }
    if (result == TCallListActivation::Empty)
        StatusNote(FWindow, 
            Tr("Alle Zeilen der Aufrufliste sind inaktiv: es wird nichts gesendet."));
    TEnvironment& env = FSession.Env();
    // The tip says a double click opens the list: not while its window is
    // open (it is kept for an activation without one).
    if (!env.HintGiven(THint::DblClickFileOpenHintGiven) && !FArea.ShowsFile(file)) {
        env.SetHintGiven(THint::DblClickFileOpenHintGiven);
        QWidget* anchor = FModeArea.ActiveLine(0);
        if (anchor->isVisible())
            TBalloonHint::Show(
                anchor, anchor->rect().center(), TBalloonHint::TIcon::Information, Tr("Tipp"),
                Tr("Durch einen Doppelklick auf diesen Eintrag im Statusbereich") +
                    QStringLiteral("\n") + Tr("können Sie die gerade aktive Aufrufliste öffnen."),
                7000);
    }
    return result;
}

bool TCallListCommands::ActivateUnattended(const QString& file, int waitMs) {
    if (!FHooks.MonitorOpen()) FHooks.OpenMonitor();
    // wait for the device, then switch it to master as the switch would
    QElapsedTimer t;
    t.start();
    while (!FSession.Status().DeviceOnline() && t.elapsed() < waitMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    if (!SwitchToMaster(std::max<int>(0, waitMs - static_cast<int>(t.elapsed())))) return false;
    const TCallListActivation r = Activate(file);
    return r == TCallListActivation::Active || r == TCallListActivation::Empty;
}

void TCallListCommands::ActiveLineDoubleClicked() {
    if (!FHooks.MonitorOpen()) FHooks.OpenMonitor();
    const QString active = QFile::decodeName(QByteArray::fromStdString(FSession.ActiveCallList()));
    bool found = false;
    if (!active.isEmpty()) {
        const QString name = QFileInfo(active).fileName();
        for (TfChildWindow* w : FArea.Windows())
            if (!w->FileName().isEmpty() && QFileInfo(w->FileName()).fileName() == name) {
                FArea.Activate(w);
                found = true;
            }
    }
    if (found) return;
    if (!active.isEmpty())
        Open(active);
    else
        OnOff();
}

} // namespace vaskel
