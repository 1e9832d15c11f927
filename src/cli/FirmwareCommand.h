#pragma once
// vaskel-cli firmware: firmware files for the Tavrin.

#include "cli/CliCommand.h"
#include "cli/CliCommands.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace vaskel {

const TCliCommand& FirmwareCommand();

// args[0] is "firmware".
int RunFirmware(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace vaskel
