#pragma once
// vaskel-cli reanalyse: a protocol in any accepted form, analysed again and written in
// the current form.

#include "cli/CliCommand.h"

namespace vaskel {

const TCliCommand& ReanalyseCommand();

} // namespace vaskel
