#pragma once
// vaskel-cli firmware: firmware files for the Tavrin.

#include "cli/CliCommands.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace vaskel {

// args[0] is "firmware".
int RunFirmware(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace vaskel
