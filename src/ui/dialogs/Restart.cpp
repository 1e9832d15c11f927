#include "ui/dialogs/Restart.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QStringList>

#include <cstdlib>

namespace vaskel {

void RestartProgram(TEnvironment& env) {
    env.SaveSettings();
    QStringList args = QCoreApplication::arguments();
    const QString program = QCoreApplication::applicationFilePath();
    if (!args.isEmpty()) args.removeFirst();
    QProcess::startDetached(program, args, QDir::currentPath());
    std::_Exit(1);
}

} // namespace vaskel
