#include "ui/main/DroppedFile.h"

namespace vaskel {

TDroppedKind DroppedFileKind(const QString& fileName) {
    const QString tail = fileName.right(8).toUpper();
    if (tail == QLatin1String(".PRO.CSV")) return TDroppedKind::Protocol;
    if (tail == QLatin1String(".AUF.CSV")) return TDroppedKind::CallList;
    if (tail == QLatin1String(".ANT.CSV")) return TDroppedKind::ResponseList;
    return TDroppedKind::None;
}

} // namespace vaskel
