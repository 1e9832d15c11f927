#pragma once
// Text from the command line as the program's 8-bit text (Windows-1252).
// A Linux terminal gives UTF-8; Windows gives a program its arguments in
// the system's ANSI code page, the same encoding its file names are in.

#include <string>

namespace vaskel {

// Characters without a Windows-1252 byte become '?', on both systems.
std::string TerminalTextToCp1252(const std::string& text);

} // namespace vaskel
