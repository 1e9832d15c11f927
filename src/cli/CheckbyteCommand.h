#pragma once
// vaskel-cli checkbyte: the IBIS check byte of a telegram text.

#include "cli/CliCommand.h"

namespace vaskel {

const TCliCommand& CheckbyteCommand();

} // namespace vaskel
