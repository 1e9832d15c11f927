#pragma once
// vaskel-cli print: a protocol as the printout's pages in a PDF, headless.
// Built only where QtGui is at hand; the command table learns of it from the
// program's main.

#include <iosfwd>
#include <string>
#include <vector>

namespace vaskel {

// args[0] is "print".
int RunPrint(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             const std::string& defaultCatalogue);

} // namespace vaskel
