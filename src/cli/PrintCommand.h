#pragma once
// vaskel-cli print: a protocol as the printout's pages in a PDF, headless.
// Built only where QtGui is at hand; the program's main registers it
// (RegisterCliCommand) in the place the command list keeps for it.

#include "cli/CliCommand.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace vaskel {

const TCliCommand& PrintCommand();

// args[0] is "print".
int RunPrint(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             const std::string& defaultCatalogue);

} // namespace vaskel
