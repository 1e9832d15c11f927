#pragma once
// Saving files from the Qt side through the engine's safe writes
// (telegram/SafeFile.h): the previous version stays until the new one is
// complete on the disk.

#include <QString>

#include <functional>
#include <string_view>

namespace vaskel {

// Writes bytes as the whole file. Returns an empty text, or the reason
// naming the file.
QString SaveFileSafely(const QString& file, std::string_view bytes);

// For a file a Qt class writes by name (an image, an SVG): write gets the
// temporary name beside the target and says whether it wrote the whole
// file; an empty or missing result counts as failed. Returns an empty text,
// or the reason naming the file.
QString SaveFileThrough(const QString& file, const std::function<bool(const QString&)>& write);

} // namespace vaskel
