#pragma once
// vaskel-cli decode: a raw device-to-PC byte stream through the device stream
// decoder, one JSON object per notification.

#include "cli/CliCommand.h"

namespace vaskel {

const TCliCommand& DecodeCommand();

} // namespace vaskel
