#pragma once
// vaskel-cli convert: a number in decimal, hexadecimal and IBIS-hex notation.

#include "cli/CliCommand.h"

namespace vaskel {

const TCliCommand& ConvertCommand();

} // namespace vaskel
