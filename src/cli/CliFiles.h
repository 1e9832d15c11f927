#pragma once
// The files named on vaskel-cli's command line: what is wrong with one, in
// the command's own words, before any work is done; the catalogue of the
// commands that classify.

#include "shell/SystemPlatform.h"
#include "telegram/TelegramParser.h"

#include <iosfwd>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace vaskel {

// What keeps a file from being read ("stream s.bin does not exist", "... is
// a folder, not a file", "cannot read ..."), or "" when nothing does. what
// names its role in the message (stream, protocol, call list ...).
std::string InputProblem(const std::string& what, const std::string& name);

// What keeps a file from being written at that name (a folder, a folder
// that does not exist), or "".
std::string OutputProblem(const std::string& name);

// Checks the files to read (role, name; "-" is the standard input, an empty
// name is no file) and to write, and says what is wrong with each on err.
// False: one is.
bool FilesUsable(const std::vector<std::pair<std::string, std::string>>& inputs,
                 const std::vector<std::string>& outputs, std::ostream& err);

// The catalogue (IBIS.CSV when file is empty); nullptr after the message on
// err. A catalogue without any record type would classify nothing: refused.
std::unique_ptr<TIBISTelegramParser> OpenCatalogue(const std::string& file, std::ostream& err);

// The platform for the settings of a command: no user settings, the current
// folder as the program's folder.
TFixedSystemPlatform ToolPlatform();

} // namespace vaskel
