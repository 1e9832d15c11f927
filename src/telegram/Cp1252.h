#pragma once
// Windows-1252 <-> UTF-8. Program texts and telegram cells are 8-bit
// Windows-1252; terminals, JSON and file names on Linux are UTF-8.

#include <string>
#include <string_view>

namespace vaskel {

// Every byte maps to one code point. The five bytes Windows-1252 leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to U+0081 etc., so any byte
// string survives the round trip through Utf8ToCp1252.
std::string Cp1252ToUtf8(std::string_view bytes);
char32_t Cp1252ToCodePoint(unsigned char byte);

// Code points without a Windows-1252 byte become '?'. Malformed UTF-8
// sequences become '?' per offending byte.
std::string Utf8ToCp1252(std::string_view utf8);

} // namespace vaskel
