#include "ui/dialogs/ErrorReport.h"

#include "platform/QtText.h"
#include "ui/common/Texts.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

namespace vaskel {

QString CreateErrorReport(TEnvironment& env, QWidget* parent,
                          const std::function<void(const QString& folder)>& openFolder) {
    // the message names the program file, as the report always did
    const QFileInfo program(QCoreApplication::applicationFilePath());
    const std::string message =
        env.ProgramDirectory() + ToCp1252(program.completeBaseName()) + ".LOG";
    const std::string written = env.Debugger().WriteErrorReport(message);
    if (written.empty()) {
        QMessageBox::warning(
            parent, Tr("Fehlerprotokoll"),
            Tr("Das Fehlerprotokoll konnte nicht geschrieben werden:") + QStringLiteral("\n") +
                QDir::toNativeSeparators(FromFileName(env.Debugger().ReportFile())));
        return {};
    }
    const QString file = FromFileName(written);
    QMessageBox box(QMessageBox::Information, Tr("Fehlerprotokoll"),
                    Tr("Das Fehlerprotokoll wurde geschrieben in:") + QStringLiteral("\n") +
                        QDir::toNativeSeparators(file),
                    QMessageBox::Ok, parent);
    QPushButton* open = box.addButton(Tr("Ordner öffnen"), QMessageBox::ActionRole);
    open->setObjectName(QStringLiteral("btOpenFolder"));
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
    if (box.clickedButton() == open) {
        const QString folder = QFileInfo(file).absolutePath();
        if (openFolder)
            openFolder(folder);
        else
            QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
    }
    return file;
}

} // namespace vaskel
