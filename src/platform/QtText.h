#pragma once
// The one place where program text (8-bit Windows-1252) meets QString.

#include <QString>
#include <string>
#include <string_view>

namespace vaskel {

QString FromCp1252(std::string_view bytes);
std::string ToCp1252(const QString& text);

// File names: the engine's byte paths in the local 8-bit file-name encoding.
std::string ToFileName(const QString& file);
QString FromFileName(const std::string& file);

} // namespace vaskel
