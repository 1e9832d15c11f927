#pragma once
// vaskel-cli analyse: the detail analysis of protocol rows, as the panel shows it.

#include "cli/CliCommand.h"

namespace vaskel {

const TCliCommand& AnalyseCommand();

} // namespace vaskel
