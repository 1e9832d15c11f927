#pragma once
// vaskel-cli compose: a destination-display telegram from its lines, as the
// composer window makes it.

#include "cli/CliCommand.h"

namespace vaskel {

const TCliCommand& ComposeCommand();

} // namespace vaskel
