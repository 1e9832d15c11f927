#pragma once
// vaskel-cli import: a table of the previous program generation (".DB")
// converted into a response list, a call list or a protocol file.

#include "cli/CliCommand.h"
#include <iosfwd>
#include <string>
#include <vector>

namespace vaskel {

const TCliCommand& ImportCommand();

// args[0] is "import".
int RunImport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
              const std::string& defaultCatalogue);

} // namespace vaskel
