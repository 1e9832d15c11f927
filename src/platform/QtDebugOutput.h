#pragma once
// The platform's debug output: trace lines of the engine (Windows-1252) go
// to Qt's debug messages, category "vaskel.link". On Windows they are on
// by default and reach the debugger's output (the program's debug output
// there); elsewhere Qt would print them on the standard error stream, so
// they are off unless asked for (QT_LOGGING_RULES="vaskel.link.debug=true").
// The debug-output window shows them either way. Any thread.

#include <QLoggingCategory>

#include <string_view>

namespace vaskel {

void DebugOutput(std::string_view line);

// The category, for those who switch it (tests).
const QLoggingCategory& DebugOutputCategory();

} // namespace vaskel
