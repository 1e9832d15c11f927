#include "platform/QtSystemPlatform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include <shlobj.h>
#include <windows.h>
#endif

namespace vaskel {

namespace {

// File names in the engine are in the file system's own 8-bit encoding.
std::string NativePath(const QString& p) {
    return QFile::encodeName(QDir::toNativeSeparators(p)).toStdString();
}

std::optional<std::string> ExistingFolder(const QString& dir) {
    if (dir.isEmpty() || !QFileInfo(dir).isDir()) return std::nullopt;
    return NativePath(QDir(dir).absolutePath());
}

#ifdef Q_OS_WIN
std::optional<std::string> ShellFolder(int csidl) {
    char buf[MAX_PATH + 1] = {};
    if (SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buf) != S_OK)
        return std::nullopt;
    return std::string(buf);
}
#endif

} // namespace

std::string TQtSystemPlatform::ProgramFile() const {
    // Before the application object exists Qt cannot tell; the process's
    // own link does on Linux.
    QString f;
    if (QCoreApplication::instance() != nullptr)
        f = QCoreApplication::applicationFilePath();
    else if (QFileInfo(QStringLiteral("/proc/self/exe")).exists())
        f = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    if (f.isEmpty()) f = QStringLiteral("vaskel");
    return NativePath(f);
}

std::optional<std::string> TQtSystemPlatform::CommonDocumentsFolder() const {
#ifdef Q_OS_WIN
    return ShellFolder(CSIDL_COMMON_DOCUMENTS);
#else
    return ExistingFolder(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
#endif
}

std::optional<std::string> TQtSystemPlatform::CommonAppDataFolder() const {
#ifdef Q_OS_WIN
    return ShellFolder(CSIDL_COMMON_APPDATA);
#else
    const QString home = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    for (const QString& d : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        if (d != home)
            if (auto f = ExistingFolder(d)) return f;
    return std::nullopt;
#endif
}

std::optional<std::string> TQtSystemPlatform::UserDataFolder() const {
    const QString d = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (d.isEmpty()) return std::nullopt;
    return NativePath(QDir(d).absolutePath());
}

} // namespace vaskel
