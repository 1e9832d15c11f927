#pragma once
// vaskel-cli decompose: a destination-display telegram taken apart into its lines.

#include "cli/CliCommand.h"

namespace vaskel {

const TCliCommand& DecomposeCommand();

} // namespace vaskel
