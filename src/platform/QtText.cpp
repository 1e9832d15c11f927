#include "platform/QtText.h"

#include "telegram/Cp1252.h"

#include <QFile>

namespace vaskel {

QString FromCp1252(std::string_view bytes) {
    QString s;
    s.reserve(static_cast<qsizetype>(bytes.size()));
    for (unsigned char b : bytes)
        s += QChar(static_cast<char16_t>(Cp1252ToCodePoint(b)));
    return s;
}

std::string ToCp1252(const QString& text) {
    const QByteArray u = text.toUtf8();
    return Utf8ToCp1252(std::string_view(u.constData(), static_cast<std::size_t>(u.size())));
}

std::string ToFileName(const QString& file) {
    return QFile::encodeName(file).toStdString();
}

QString FromFileName(const std::string& file) {
    return QFile::decodeName(QByteArray::fromStdString(file));
}

} // namespace vaskel
