#include "ui/common/FileDialogs.h"

#include "ui/common/Texts.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace vaskel {

QStringList DialogFilters(const TFileDialogSpec& spec) {
    QStringList out;
    for (qsizetype k = 0; k + 1 < spec.Filters.size(); k += 2) {
        QString caption = Tr(spec.Filters[k]);
        const QString pattern = spec.Filters[k + 1];
        // the dialog takes its patterns from the parentheses of the caption;
        // on case-sensitive file systems the lower-case names match too
        const QString lower = pattern.toLower();
        const QString patterns = lower == pattern ? pattern : pattern + QLatin1Char(' ') + lower;
        const QString inCaption = QLatin1Char('(') + pattern + QLatin1Char(')');
        if (caption.contains(inCaption))
            caption.replace(inCaption, QLatin1Char('(') + patterns + QLatin1Char(')'));
        else
            caption += QStringLiteral(" (") + patterns + QLatin1Char(')');
        out << caption;
    }
    return out;
}

QString WithDefaultSuffix(const QString& file, const QString& suffix) {
    if (file.isEmpty() || suffix.isEmpty()) return file;
    const QString name = QFileInfo(file).fileName();
    if (name.endsWith(QLatin1Char('.') + suffix, Qt::CaseInsensitive)) return file;
    // a name with an extension of its own keeps it
    if (name.lastIndexOf(QLatin1Char('.')) > 0) return file;
    return file + QLatin1Char('.') + suffix;
}

QString AskFile(QWidget* parent, const TFileDialogSpec& spec) {
    QFileDialog dialog(parent, Tr(spec.Title), spec.Folder);
    dialog.setObjectName(QStringLiteral("FileDialog"));
    dialog.setAcceptMode(spec.Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(spec.Save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(DialogFilters(spec));
    dialog.setDefaultSuffix(spec.DefaultSuffix);
    if (!spec.File.isEmpty()) dialog.selectFile(spec.File);
    // room for the names, types and dates of the files (smaller on a small
    // screen, where the window placement fits it)
    dialog.resize(860, 520);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return WithDefaultSuffix(dialog.selectedFiles().first(), spec.DefaultSuffix);
}

TFileDialogSpec ProtocolOpenDialog(const QString& folder) {
    TFileDialogSpec s;
    s.Title = QStringLiteral("Protokolldatei öffnen");
    s.Folder = folder;
    s.Filters = {QStringLiteral("Protokolldatei (*.PRO.CSV)"), QStringLiteral("*.PRO.CSV"),
                 QStringLiteral("Alle Dateien (*.*)"), QStringLiteral("*.*")};
    s.DefaultSuffix = QStringLiteral("PRO.CSV");
    return s;
}

TFileDialogSpec ProtocolSaveDialog(const QString& folder, const QString& proposedName) {
    TFileDialogSpec s;
    s.Save = true;
    s.Title = QStringLiteral("Protokolldatei speichern");
    s.Folder = folder;
    s.File = proposedName.isEmpty() ? QString() : QDir(folder).filePath(proposedName);
    s.Filters = {QStringLiteral("Protokolldatei (*.PRO.CSV)"), QStringLiteral("*.PRO.CSV")};
    s.DefaultSuffix = QStringLiteral("PRO.CSV");
    return s;
}

TFileDialogSpec CallListOpenDialog(const QString& folder) {
    TFileDialogSpec s;
    s.Title = QStringLiteral("Aufrufliste öffnen");
    s.Folder = folder;
    s.Filters = {QStringLiteral("Aufrufliste (*.AUF.CSV)"), QStringLiteral("*.AUF.CSV"),
                 QStringLiteral("Alle Dateien (*.*)"), QStringLiteral("*.*")};
    s.DefaultSuffix = QStringLiteral("AUF.CSV");
    return s;
}

TFileDialogSpec CallListSaveDialog(const QString& folder, const QString& file) {
    TFileDialogSpec s;
    s.Save = true;
    s.Title = QStringLiteral("Aufrufliste speichern");
    s.Folder = folder;
    s.File = file;
    s.Filters = {QStringLiteral("Aufrufliste (*.AUF.CSV)"), QStringLiteral("*.AUF.CSV")};
    s.DefaultSuffix = QStringLiteral("AUF.CSV");
    return s;
}

TFileDialogSpec ResponseListOpenDialog(const QString& folder, bool fromSwitch) {
    TFileDialogSpec s;
    s.Title = QStringLiteral("Antwortliste öffnen");
    s.Folder = folder;
    s.Filters = {fromSwitch ? QStringLiteral("Antwortdatei (*.ANT.CSV)")
                            : QStringLiteral("Antwortliste (*.ANT.CSV)"),
                 QStringLiteral("*.ANT.CSV"), QStringLiteral("Alle Dateien (*.*)"),
                 QStringLiteral("*.*")};
    s.DefaultSuffix = QStringLiteral("ANT.CSV");
    return s;
}

TFileDialogSpec ResponseListSaveDialog(const QString& folder, const QString& file) {
    TFileDialogSpec s;
    s.Save = true;
    s.Title = QStringLiteral("Antwortliste speichern");
    s.Folder = folder;
    s.File = file;
    s.Filters = {QStringLiteral("Antwortliste (*.ANT.CSV)"), QStringLiteral("*.ANT.CSV")};
    s.DefaultSuffix = QStringLiteral("ANT.CSV");
    return s;
}

TFileDialogSpec FirmwareOpenDialog(const QString& folder, const QString& lastFile) {
    TFileDialogSpec s;
    s.Title = QStringLiteral("Firmwaredatei öffnen");
    s.Folder = folder;
    s.File = lastFile;
    s.Filters = {QStringLiteral("Vaskel-Firmware (*.a79)"), QStringLiteral("*.a79"),
                 QStringLiteral("Alle Dateien (*.*)"), QStringLiteral("*.*")};
    return s;
}

} // namespace vaskel
