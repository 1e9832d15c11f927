#include "ui/main/ResponseListCommands.h"

#include "lists/ListFiles.h"
#include "platform/QtText.h"
#include "shell/SystemPlatform.h"
#include "telegram/DelimitedText.h"
#include "telegram/Errors.h"
#include "ui/common/ActionTable.h"
#include "ui/common/FileDialogs.h"
#include "ui/common/Icons.h"
#include "ui/common/MainWindowLink.h"
#include "ui/common/Session.h"
#include "ui/common/Texts.h"
#include "ui/editors/AntwortListenForm.h"
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
#include <QTableView>

namespace vaskel {

namespace {

// A short note in the main window's status bar.
void StatusNote(QWidget* window, const QString& text) {
    if (IMainWindow* main = MainWindowOf(window)) main->ShowStatusMessage(text);
}

// Lets the events run for up to ms, or until done says so.
void WaitFor(int ms, const std::function<bool()>& done) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

// The row a response list cannot be downloaded for, in words.
QString RowProblem(const TResponseListCheck& c) {
    const QString row = QString::number(c.Row);
    switch (c.Problem) {
    case TResponseRowProblem::CarriageReturn:
        return Tr("Zeile %1: Ein Wagenrücklauf im Aufruf oder in der Antwort würde das "
                  "Telegramm vorzeitig beenden.")
            .arg(row);
    case TResponseRowProblem::EmptyCall:
        return Tr("Zeile %1: Der Aufruf ist leer.").arg(row);
    case TResponseRowProblem::TooLong:
        return Tr("Zeile %1: Aufruf oder Antwort sind zu lang für die Übertragung in das Gerät.")
            .arg(row);
    case TResponseRowProblem::Unterminated:
        return Tr("Zeile %1: Ein Feld in Anführungszeichen wird nicht geschlossen.").arg(row);
    case TResponseRowProblem::LineTooLong:
        return Tr("Zeile %1 ist länger als %2 Bytes: die Datei ist keine Antwortliste.")
            .arg(row)
            .arg(static_cast<qulonglong>(MaxLineBytes()));
    case TResponseRowProblem::NoBoolean:
        return Tr("Zeile %1: \"Ok\" ist weder -1 noch 0.").arg(row);
    case TResponseRowProblem::NoRows:
        return Tr("Die Datei enthält keine Zeile einer Antwortliste (vier Felder unter der "
                  "Kopfzeile).");
    case TResponseRowProblem::None:
    case TResponseRowProblem::Unreadable:
        break;
    }
    return {};
}

// The reaction times the device does not get as written, one line each.
QString ReactionNotes(const TResponseListCheck& c) {
    QStringList lines;
    for (const TReactionNote& n : c.Notes)
        lines << (n.Clamped
                      ? Tr("Zeile %1: Reaktionszeit \"%2\" liegt außerhalb von 0 bis 1000 ms, "
                           "das Gerät antwortet nach %3 ms.")
                      : Tr("Zeile %1: Reaktionszeit \"%2\" ist keine Zahl, das Gerät "
                           "antwortet nach %3 ms."))
                     .arg(n.Row)
                     .arg(FromCp1252(n.Text))
                     .arg(n.Ms);
    return lines.join(QLatin1Char(' '));
}

} // namespace

TResponseListCommands::TResponseListCommands(TSession& session, TWindowArea& area,
                                             TModeArea& modeArea, const TActionTable& actions,
                                             QWidget* window, THooks hooks)
    : QObject(window), FSession(session), FArea(area), FModeArea(modeArea), FActions(actions),
      FWindow(window), FHooks(std::move(hooks)), FEditors(session, area) {
    auto on = [this](TAct id, auto f) { connect(FActions[id], &QAction::triggered, this, f); };
    on(TAct::acAntwortNew, [this] { New(); });
    on(TAct::acAntwortlisteOeffnen, [this] { OpenAsked(); });
    on(TAct::acAntwortOnOff, [this] { OnOff(); });
    on(TAct::actCreateAntwortFromProtocol, [this] { CreateFromProtocol(); });
    connect(&FSession, &TSession::ResponseListChanged, this,
            [this](const QString& file) { ShowActive(file); });
    connect(&FSession, &TSession::ResponseListReloadFailed, this, [this] { ReloadFailed(); });
    // after the double click's own event: what it opens may ask first
    connect(
        &FModeArea, &TModeArea::ActiveResponseListDoubleClicked, this,
        [this] { ActiveLineDoubleClicked(); }, Qt::QueuedConnection);
    ShowActive(QString());
}

void TResponseListCommands::ShowPicture() {
    const bool active = !FSession.ActiveResponseList().empty();
    const bool reload = FSession.Env().ReloadResponseList();
    QString name = QStringLiteral("acAntwortOnOff");
    if (active) name += QStringLiteral("Active");
    if (reload) name += QStringLiteral("Reload");
    FActions[TAct::acAntwortOnOff]->setIcon(ProgramIcon(name));
    FActions[TAct::acAntwortOnOff]->setProperty("picture", name);
}

void TResponseListCommands::ShowActive(const QString& file) {
    QAction* onOff = FActions[TAct::acAntwortOnOff];
    onOff->setChecked(!file.isEmpty());
    ShowPicture();
    FModeArea.SetActiveResponseList(file);
}

TfAntwortListenForm* TResponseListCommands::New() {
    return FEditors.New();
}

void TResponseListCommands::Adopt(TfAntwortListenForm* form) {
    FEditors.Show(form);
}

TfAntwortListenForm* TResponseListCommands::Open(const QString& file) {
    return FEditors.Open(file);
}

QString TResponseListCommands::AskOpen() {
    if (FHooks.AskOpenFile) return FHooks.AskOpenFile();
    return AskFile(FWindow,
                   ResponseListOpenDialog(
                       FromFileName(FSession.Env().DialogDirectory(TFileFolder::Antwort)), true));
}

TfAntwortListenForm* TResponseListCommands::OpenAsked() {
    TEnvironment& env = FSession.Env();
    QDir().mkpath(FromFileName(env.AntwortDirectory()));
    const QString file =
        FHooks.AskOpenFile
            ? FHooks.AskOpenFile()
            : AskFile(FWindow,
                      ResponseListOpenDialog(
                          FromFileName(env.DialogDirectory(TFileFolder::Antwort)), false));
    if (file.isEmpty()) return nullptr;
    env.RememberDirectory(TFileFolder::Antwort, ExtractFilePath(ToFileName(file)));
    return Open(file);
}

void TResponseListCommands::OnOff() {
    const TDeviceStatus& st = FSession.Status();
    bool yes = true;
    if (FHooks.MonitorOpen() && (st.Master() || !FSession.LinkOpen() || !st.DeviceOnline())) {
        const QString device = QStringLiteral("Tavrin");
        const QString text =
            Tr("Sie können nur dann eine Slavesimulation starten, wenn der %1 Slave ist.")
                .arg(device) +
            QLatin1Char('\n') + Tr("Dies ist augenblicklich nicht der Fall.") + QLatin1Char('\n') +
            Tr("Soll der %1 nun in den Slave-Modus geschaltet werden?").arg(device);
        yes = QMessageBox::warning(FWindow, Tr("Warnung: Modus Umschaltung"), text,
                                   QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    }
    if (!FSession.ActiveResponseList().empty()) {
        // an active list is switched off, whatever the answer, and not
        // reloaded after a restart
        FSession.DeactivateResponseList();
        FHooks.RefreshWindows();
        return;
    }
    if (!yes) return;
    if (st.Master()) {
        if (FHooks.SwitchToSlave) FHooks.SwitchToSlave();
        WaitFor(200, [] { return false; });
    }
    if (!FHooks.MonitorOpen()) FHooks.OpenMonitor();
    const QString file = AskOpen();
    if (!file.isEmpty()) Activate(file);
}

TResponseActivation TResponseListCommands::Activate(const QString& file) {
    if (!QFileInfo::exists(file)) return TResponseActivation::Missing;
    if (!FHooks.MonitorOpen()) FHooks.OpenMonitor();
    const TResponseActivation result = FSession.ActivateResponseList(ToFileName(file));
    FHooks.RefreshWindows();
    if (result == TResponseActivation::Failed) {
        QString text =
            Tr("Die ausgewählte Datei ist entweder keine Antwortdatei oder fehlerhaft.") +
            QLatin1Char('\n') + Tr("Sie wurde nicht geladen");
        const QString row = RowProblem(FSession.Slave().LastCheck());
        if (!row.isEmpty()) text += QLatin1Char('\n') + row;
        QMessageBox::critical(FWindow, QStringLiteral("Vaskel"), text);
        return result;
    }
    if (FSession.Slave().AntwortBuffer().empty())
        StatusNote(FWindow, 
            Tr("Alle Zeilen der Antwortliste sind inaktiv: das Gerät antwortet auf nichts."));
    else if (const QString notes = ReactionNotes(FSession.Slave().LastCheck()); !notes.isEmpty())
        StatusNote(FWindow, notes);
    TEnvironment& env = FSession.Env();
    // The tip says a double click opens the list: not while its window is
    // open (it is kept for an activation without one).
    if (!env.HintGiven(THint::DblClickFileOpenHintGiven) && !FArea.ShowsFile(file)) {
        env.SetHintGiven(THint::DblClickFileOpenHintGiven);
        QWidget* anchor = FModeArea.ActiveLine(2);
        if (anchor->isVisible())
            TBalloonHint::Show(
                anchor, anchor->rect().center(), TBalloonHint::TIcon::Information, Tr("Tipp"),
                Tr("Durch einen Doppelklick auf diesen Eintrag im Statusbereich") +
                    QStringLiteral("\n") + Tr("können Sie die gerade aktive Antwortliste öffnen."),
                7000);
    }
    return result;
}

void TResponseListCommands::ReloadFailed() {
    FHooks.RefreshWindows();
    QMessageBox::critical(
        FWindow, QStringLiteral("Vaskel"),
        Tr("Die ausgewählte Datei ist entweder keine Antwortdatei oder fehlerhaft.") +
            QLatin1Char('\n') + Tr("Sie wurde nicht geladen"));
}

bool TResponseListCommands::ActivateUnattended(const QString& file, int waitMs) {
    if (!FHooks.MonitorOpen()) FHooks.OpenMonitor();
    QElapsedTimer t;
    t.start();
    const TDeviceStatus& st = FSession.Status();
    WaitFor(waitMs, [&] { return st.DeviceOnline(); });
    if (!st.DeviceOnline()) return false;
    if (st.Master()) {
        // as the switch would, without asking
        if (FHooks.SwitchToSlave) FHooks.SwitchToSlave();
        WaitFor(std::max<int>(0, waitMs - static_cast<int>(t.elapsed())),
                [&] { return !st.Master(); });
        if (st.Master()) return false;
    }
    return Activate(file) == TResponseActivation::Active;
}

TfAntwortListenForm* TResponseListCommands::CreateFromProtocol() {
    TEnvironment& env = FSession.Env();
    const QString file =
        FHooks.AskProtocolFile
            ? FHooks.AskProtocolFile()
            : AskFile(FWindow, ProtocolOpenDialog(FromFileName(
                                     env.DialogDirectory(TFileFolder::Protokolle))));
    if (file.isEmpty()) return nullptr;
    env.RememberDirectory(TFileFolder::Protokolle, ExtractFilePath(ToFileName(file)));
    auto* form = new TfAntwortListenForm(FSession, QString());
    int added = 0;
    try {
        added = ResponseListFromProtocol(ToFileName(file), FSession.Parser(), env.BusType(),
                                         form->ResponseTable());
    } catch (const EVaskelError&) {
        delete form;
        QMessageBox::critical(FWindow, QStringLiteral("Vaskel"),
                              TrLines(kResponsesFromProtocolError));
        return nullptr;
    }
    if (added == 0) {
        delete form;
        QMessageBox::warning(FWindow, QStringLiteral("Vaskel"),
                             TrLines(kResponsesFromProtocolNone));
        return nullptr;
    }
    // unnamed and modified: saved under a name of the user's choice
    form->ResponseTable().Modified = true;
    form->ShowRows(0);
    form->SetMadeFromProtocol();
    FEditors.Show(form);
    return form;
}

void TResponseListCommands::ActiveLineDoubleClicked() {
    if (!FHooks.MonitorOpen()) FHooks.OpenMonitor();
    const QString active = FromFileName(FSession.ActiveResponseList());
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
