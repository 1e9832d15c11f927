#pragma once
// The kind of a file dropped on (or given to) the main window.
#include <QString>

namespace vaskel {

// Which kind of file a dropped file name is: by its last eight characters,
// letter case ignored.
enum class TDroppedKind { None, Protocol, CallList, ResponseList };
TDroppedKind DroppedFileKind(const QString& fileName);

} // namespace vaskel
