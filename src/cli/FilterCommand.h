#pragma once
// vaskel-cli filter: the rows of a protocol that the filter window's choice
// shows, written to a new protocol file.

#include "cli/CliCommand.h"
#include "cli/CliCommands.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace vaskel {

const TCliCommand& FilterCommand();

// args[0] is "filter".
int RunFilter(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
              const std::string& defaultCatalogue);

} // namespace vaskel
