#include "ui/common/Icons.h"

#include <QFile>

namespace vaskel {

QIcon ProgramIcon(const QString& name) {
    if (name.isEmpty() || name.contains(QLatin1Char('/'))) return {};
    const QString path = QStringLiteral(":/icons/") + name + QStringLiteral(".svg");
    if (!QFile::exists(path)) return {};
    return QIcon(path);
}

} // namespace vaskel
