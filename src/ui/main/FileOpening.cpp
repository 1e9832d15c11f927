#include "ui/main/FileOpening.h"

#include "platform/QtText.h"
#include "recording/Recorder.h"
#include "telegram/TextConventions.h"
#include "ui/common/ChildWindow.h"
#include "ui/common/FileDialogs.h"
#include "ui/common/Session.h"
#include "ui/common/Texts.h"
#include "ui/main/ProtocolLoader.h"
#include "ui/common/WindowArea.h"
#include "ui/protocol/ProtocolForm.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>

namespace vaskel {

TDroppedKind DroppedFileKind(const QString& fileName) {
    const QString tail = fileName.right(8).toUpper();
    if (tail == QLatin1String(".PRO.CSV")) return TDroppedKind::Protocol;
    if (tail == QLatin1String(".AUF.CSV")) return TDroppedKind::CallList;
    if (tail == QLatin1String(".ANT.CSV")) return TDroppedKind::ResponseList;
    return TDroppedKind::None;
}

TFileOpening::TFileOpening(TSession& session, TWindowArea& area, QWidget* dialogParent,
                           TOpenOther openOther)
    : FSession(session), FArea(area), FParent(dialogParent), FOpenOther(std::move(openOther)) {}

TDroppedKind TFileOpening::DropFiles(const QStringList& files) {
    if (files.isEmpty()) return TDroppedKind::None;
    const TDroppedKind kind = DroppedFileKind(files.first());
    if (kind == TDroppedKind::Protocol)
        OpenProtocol(files.first());
    else if (kind != TDroppedKind::None && FOpenOther)
        FOpenOther(kind, files.first());
    return kind;
}

TfProtocolForm* TFileOpening::OpenProtocol(const QString& file) {
    // a file that is not there: nothing happens
    if (!QFileInfo::exists(file)) return nullptr;
    // a window that shows the file already comes to the front
    const QString wanted = QFileInfo(file).canonicalFilePath();
    for (const QPointer<TfProtocolForm>& w : FOpened)
        if (w && QFileInfo(w->FileName()).canonicalFilePath() == wanted) {
            FArea.Activate(w);
            return w;
        }
    // a file being loaded already (the main thread goes on meanwhile)
    if (FLoading.contains(wanted)) return nullptr;
    FLoading << wanted;
    TProtocolLoader::TResult loaded = TProtocolLoader::Load(FParent, file, FSession.Parser(),
                                                            FSession.Env().BusType(), FLoaderHook);
    FLoading.removeAll(wanted);
    if (loaded.Outcome == TProtocolLoader::TOutcome::Cancelled) return nullptr;
    if (loaded.Outcome == TProtocolLoader::TOutcome::Failed) {
        QMessageBox::critical(FParent, Tr("Protokoll"),
                              ProtocolLoadErrorText(FromCp1252(loaded.Error)));
        return nullptr;
    }
    auto* form = new TfProtocolForm(FSession, file, std::move(loaded.Table), loaded.Info);
    form->RefreshFromState();
    FArea.AddWindow(form);
    FOpened.removeAll(nullptr);
    FOpened << form;
    // a file cut short: said at once, and in the window
    if (loaded.Info.Incomplete) QMessageBox::warning(FParent, Tr("Protokoll"), form->LoadWarning());
    return form;
}

TfProtocolForm* TFileOpening::OpenProtocolAsked() {
    TEnvironment& env = FSession.Env();
    const QString dir = QFile::decodeName(
        QByteArray::fromStdString(env.DialogDirectory(TFileFolder::Protokolle)));
    const QString file = AskFile(FParent, ProtocolOpenDialog(dir));
    if (file.isEmpty()) return nullptr;
    env.RememberDirectory(TFileFolder::Protokolle,
                          ExtractFilePath(QFile::encodeName(file).toStdString()));
    return OpenProtocol(file);
}

TfProtocolForm* TFileOpening::OfferSafetyCopy() {
    // the earlier run's copy, set aside: this run's recording never mixes in
    const QString file =
        QFile::decodeName(QByteArray::fromStdString(FSession.Recorder().TakeEarlierCopy()));
    if (file.isEmpty() || !QFile::exists(file)) return nullptr;
    QMessageBox::warning(
        FParent, QStringLiteral("Vaskel"),
        Tr("Es wurde ein Protokoll gefunden, das von der automatischen Sicherung angelegt "
           "worden ist. Diese Protokolle sollten eigentlich automatisch beim Beenden des "
           "Programms gelöscht werden. Dass dieses Protokoll nicht gelöscht wurde, deutet auf "
           "abnormales Beenden des Programms hin.") +
            QStringLiteral("\n") + Tr("Das Sicherungsprotokoll wird nun geladen.") +
            QStringLiteral("\n") + Tr("Es bleibt als diese Datei erhalten:") +
            QStringLiteral("\n") + QDir::toNativeSeparators(file));
    TfProtocolForm* form = OpenProtocol(file);
    // the copy is deleted when the program ends: until saved, the window asks
    if (form) form->SetUnsaved();
    return form;
}

} // namespace vaskel
