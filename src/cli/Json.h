#pragma once
// Minimal JSON text output for the command-line companion.

#include <string>
#include <string_view>

namespace vaskel {

// A JSON string literal of 8-bit bytes: bytes 0x80-0xFF become U+0080-U+00FF,
// control bytes and DEL become \u00XX escapes.
std::string JsonByteString(std::string_view bytes);

} // namespace vaskel
