#include "platform/QtFiles.h"

#include "telegram/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <exception>

namespace vaskel {

namespace {

std::string Native(const QString& file) {
    return QFile::encodeName(file).toStdString();
}

} // namespace

QString SaveFileSafely(const QString& file, std::string_view bytes) {
    try {
        WriteFileSafely(Native(file), bytes);
    } catch (const std::exception& e) {
        return QString::fromLocal8Bit(e.what());
    }
    return {};
}

QString SaveFileThrough(const QString& file, const std::function<bool(const QString&)>& write) {
    const std::string target = Native(file);
    const QString temporary = QFile::decodeName(TemporaryFileFor(target).c_str());
    QFile::remove(temporary);
    const bool written = write(temporary);
    if (!written || QFileInfo(temporary).size() <= 0) {
        QFile::remove(temporary);
        return QStringLiteral("Cannot write file %1.").arg(QDir::toNativeSeparators(file));
    }
    try {
        CommitTemporaryFile(Native(temporary), target);
    } catch (const std::exception& e) {
        return QString::fromLocal8Bit(e.what());
    }
    return {};
}

} // namespace vaskel
