#pragma once
// The platform's debug output: trace lines of the engine (Windows-1252) go
// to Qt's debug messages, category "vaskel.link" -- on Windows the
// debugger's output, elsewhere the standard error stream. Any thread.

#include <string_view>

namespace vaskel {

void DebugOutput(std::string_view line);

} // namespace vaskel
