#include "ui/main/V1Imports.h"

#include "import/TableReader.h"
#include "lists/ListFiles.h"
#include "platform/QtText.h"
#include "recording/OpenedProtocol.h"
#include "recording/Recorder.h"
#include "shell/SystemPlatform.h"
#include "ui/common/ActionTable.h"
#include "ui/common/FileDialogs.h"
#include "ui/common/Session.h"
#include "ui/common/Texts.h"
#include "ui/editors/AntwortListenForm.h"
#include "ui/editors/AufrufListenForm.h"
#include "ui/common/WindowArea.h"
#include "ui/protocol/ProtocolForm.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QProgressDialog>
#include <QTableView>

#include <memory>

namespace vaskel {

namespace {

TFileDialogSpec V1Dialog(const char* title, const char* filter) {
    TFileDialogSpec s;
    s.Title = QString::fromUtf8(title);
    s.Filters = {QString::fromUtf8(filter), QStringLiteral("*.DB"),
                 QStringLiteral("Alle Dateien (*.*)"), QStringLiteral("*.*")};
    s.DefaultSuffix = QStringLiteral("DB");
    return s;
}

QString ErrorText(TV1Kind kind) {
    switch (kind) {
    case TV1Kind::ResponseList:
        return TrLines(kV1ImportFailed) + QLatin1Char('\n') + TrLines(kV1NoResponseList);
    case TV1Kind::CallList:
        return TrLines(kV1ImportFailed) + QLatin1Char('\n') + TrLines(kV1NoCallList);
    case TV1Kind::Protocol:
        break;
    }
    return TrLines(kV1ImportFailed) + QLatin1Char('\n') + TrLines(kV1NoProtocol);
}

// The chosen file's table: its folder and its name.
std::unique_ptr<ITableReader> OpenChosen(const QString& file) {
    const QFileInfo info(file);
    return OpenTable(ToFileName(info.absolutePath()), ToFileName(info.fileName()));
}

} // namespace

TFileDialogSpec V1ResponseListDialog() {
    return V1Dialog("Version 1.x-Antwortliste importieren", "V1.x Antwortliste (*.DB)");
}

TFileDialogSpec V1CallListDialog() {
    return V1Dialog("Version 1.x-Aufrufliste importieren", "V1.x Aufrufliste (*.DB)");
}

TFileDialogSpec V1ProtocolDialog(const QString& folder) {
    TFileDialogSpec s = V1Dialog("Version 1.x-Protokoll importieren", "V1.x Protokoll (*.DB)");
    s.Folder = folder;
    return s;
}

TV1Imports::TV1Imports(TSession& session, TWindowArea& area, const TActionTable& actions,
                       QWidget* window, THooks hooks)
    : QObject(window), FSession(session), FArea(area), FWindow(window), FHooks(std::move(hooks)) {
    auto on = [&](TAct id, auto f) { connect(actions[id], &QAction::triggered, this, f); };
    on(TAct::acV1ImportAnwortliste, [this] { ImportResponseList(); });
    on(TAct::acV1ImportAufrufliste, [this] { ImportCallList(); });
    on(TAct::acV1ImportProtocol, [this] { ImportProtocol(); });
}

QString TV1Imports::Ask(const TFileDialogSpec& spec) {
    return FHooks.AskFile ? FHooks.AskFile(spec) : AskFile(FWindow, spec);
}

void TV1Imports::ShowError(TV1Kind kind) {
    QMessageBox::critical(FWindow, QStringLiteral("Vaskel"), ErrorText(kind));
}

TfAntwortListenForm* TV1Imports::ImportResponseList() {
    const QString file = Ask(V1ResponseListDialog());
    if (file.isEmpty()) return nullptr;
    auto* form = new TfAntwortListenForm(FSession, QString());
    try {
        auto source = OpenChosen(file);
        vaskel::ImportResponseList(*source, form->ResponseTable());
    } catch (const EVaskelError&) {
        delete form;
        ShowError(TV1Kind::ResponseList);
        return nullptr;
    }
    form->Model().Refresh();
    form->UpdateTitle();
    if (FHooks.ShowResponseEditor)
        FHooks.ShowResponseEditor(form);
    else
        FArea.AddWindow(form);
    form->View()->setCurrentIndex(form->Model().index(0, 0));
    form->UpdateToolbar();
    return form;
}

TfAufrufListenForm* TV1Imports::ImportCallList() {
    const QString file = Ask(V1CallListDialog());
    if (file.isEmpty()) return nullptr;
    auto* form = new TfAufrufListenForm(FSession, QString());
    try {
        auto source = OpenChosen(file);
        vaskel::ImportCallList(*source, form->CallTable());
    } catch (const EVaskelError&) {
        delete form;
        ShowError(TV1Kind::CallList);
        return nullptr;
    }
    form->Model().Refresh();
    form->UpdateTitle();
    if (FHooks.ShowCallEditor)
        FHooks.ShowCallEditor(form);
    else
        FArea.AddWindow(form);
    form->View()->setCurrentIndex(form->Model().index(0, 0));
    form->UpdateToolbar();
    return form;
}

TfProtocolForm* TV1Imports::ImportProtocol() {
    TEnvironment& env = FSession.Env();
    const QString file = Ask(V1ProtocolDialog(FromFileName(env.ImportPath())));
    if (file.isEmpty()) return nullptr;
    env.SetImportPath(ExtractFilePath(ToFileName(file)));

    TTable table = MakeProtocolTable();
    TV1ProtocolImport result;
    try {
        auto source = OpenChosen(file);
        const int records = source->RecordCount();
        QProgressDialog progress(TrLines(kV1ImportProgressText), Tr("Abbrechen"), 0, records / 50,
                                 FWindow);
        progress.setWindowTitle(TrLines(kV1ImportWait));
        progress.setWindowModality(Qt::WindowModal);
        progress.setMinimumDuration(300);
        progress.setValue(0);
        result =
            vaskel::ImportProtocol(*source, table, FSession.Parser(), env.BusType(), [&](int k) {
                if (k > 0 && k % 50 == 0) {
                    progress.setValue(k / 50);
                    QApplication::processEvents();
                }
                if (FHooks.CancelProtocolAt && FHooks.CancelProtocolAt(k)) progress.cancel();
                return !progress.wasCanceled();
            });
        progress.reset();
    } catch (const EVaskelError&) {
        ShowError(TV1Kind::Protocol);
        return nullptr;
    }
    if (result.Cancelled)
        QMessageBox::warning(FWindow, QStringLiteral("Vaskel"), TrLines(kV1ImportCancelled));

    TProtocolLoad info;
    info.Reanalysed = true; // shown as modified: saved in the current form
    info.RowsRead = result.Records;
    auto* form = new TfProtocolForm(FSession, file, std::move(table), info);
    // an imported protocol is captioned with the table's full path
    form->SetProtocolCaption(QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath()));
    form->ReanalyseRows();
    FArea.AddWindow(form);
    if (result.Records > 0) form->View()->setCurrentIndex(form->Model().index(0, 0));
    return form;
}

} // namespace vaskel
