#pragma once
// vaskel-cli responses: a response list built from a recorded protocol.

#include "cli/CliCommand.h"

namespace vaskel {

const TCliCommand& ResponsesCommand();

} // namespace vaskel
