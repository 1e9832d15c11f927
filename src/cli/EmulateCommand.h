#pragma once
// vaskel-cli emulate: the virtual Tavrin's raw byte stream on standard output.

#include "cli/CliCommand.h"

namespace vaskel {

const TCliCommand& EmulateCommand();

} // namespace vaskel
