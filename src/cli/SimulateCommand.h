#pragma once
// vaskel-cli simulate: the master simulation on the virtual Tavrin.

#include "cli/CliCommand.h"
#include "cli/CliCommands.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace vaskel {

const TCliCommand& SimulateCommand();

// args[0] is "simulate".
int RunSimulate(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                const std::string& defaultCatalogue);

} // namespace vaskel
