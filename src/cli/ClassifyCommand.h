#pragma once
// vaskel-cli classify: telegrams classified against the record-type catalogue, one JSON
// object each.

#include "cli/CliCommand.h"

namespace vaskel {

const TCliCommand& ClassifyCommand();

} // namespace vaskel
