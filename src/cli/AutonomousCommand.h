#pragma once
// vaskel-cli autonomous: the Tavrin's autonomous recording without the
// desktop program: ask, switch on and off, read out into a protocol, erase.

#include "cli/CliCommand.h"
#include "cli/CliCommands.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace vaskel {

const TCliCommand& AutonomousCommand();

// args[0] is "autonomous".
int RunAutonomous(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  const std::string& defaultCatalogue);

} // namespace vaskel
