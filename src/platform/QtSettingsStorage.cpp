#include "platform/QtSettingsStorage.h"

#include "platform/QtText.h"

#include "telegram/Errors.h"

#include <QSettings>

namespace vaskel {

namespace {

QString KeyOf(const std::string& path) {
    QString k = QString::fromLatin1(path.c_str());
    k.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return k;
}

} // namespace

TQtSettingsStorage::TQtSettingsStorage(std::unique_ptr<QSettings> settings)
    : FSettings(std::move(settings)) {}

TQtSettingsStorage::TQtSettingsStorage(const std::string& root) {
#ifdef Q_OS_WIN
    FSettings = std::make_unique<QSettings>(
        QStringLiteral("HKEY_CURRENT_USER\\") + FromCp1252(root), QSettings::NativeFormat);
#else
    // "Software\\Korvane\\Name" -> organisation Korvane, application Name.
    QString r = FromCp1252(root);
    r.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QStringList parts = r.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    const QString app = parts.isEmpty() ? QStringLiteral("Vaskel") : parts.last();
    const QString org = parts.size() >= 2 ? parts[parts.size() - 2] : QStringLiteral("Korvane");
    FSettings =
        std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, org, app);
#endif
}

std::unique_ptr<TQtSettingsStorage> TQtSettingsStorage::ForFile(const std::string& fileName) {
    return std::unique_ptr<TQtSettingsStorage>(new TQtSettingsStorage(
        std::make_unique<QSettings>(QString::fromStdString(fileName), QSettings::IniFormat)));
}

TQtSettingsStorage::~TQtSettingsStorage() = default;

std::optional<int32_t> TQtSettingsStorage::ReadInteger(const std::string& path) {
    const QVariant v = FSettings->value(KeyOf(path));
    if (!v.isValid()) return std::nullopt;
    bool ok = false;
    const int i = v.toInt(&ok);
    if (!ok) return std::nullopt;
    return i;
}

std::optional<std::string> TQtSettingsStorage::ReadString(const std::string& path) {
    const QVariant v = FSettings->value(KeyOf(path));
    if (!v.isValid()) return std::nullopt;
    if (v.canConvert<QString>()) return ToCp1252(v.toString());
    return std::nullopt;
}

void TQtSettingsStorage::WriteInteger(const std::string& path, int32_t value) {
    FSettings->setValue(KeyOf(path), static_cast<int>(value));
}

void TQtSettingsStorage::WriteString(const std::string& path, const std::string& value) {
    FSettings->setValue(KeyOf(path), FromCp1252(value));
}

void TQtSettingsStorage::Flush() {
    // QSettings writes its file through a temporary one: a failure leaves the
    // previous file as it was, and is reported here
    FSettings->sync();
    if (FSettings->status() == QSettings::AccessError)
        throw EFileError("Cannot write file " + ToCp1252(FSettings->fileName()) + ".");
}

std::string TQtSettingsStorage::Location() const {
    return ToCp1252(FSettings->fileName());
}

} // namespace vaskel
