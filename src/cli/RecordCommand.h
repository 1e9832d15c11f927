#pragma once
// vaskel-cli record: a raw byte stream recorded into a protocol file as the live
// monitor records it.

#include "cli/CliCommand.h"

namespace vaskel {

const TCliCommand& RecordCommand();

} // namespace vaskel
