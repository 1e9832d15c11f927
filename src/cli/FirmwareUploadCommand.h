#pragma once
// vaskel-cli firmware upload: new firmware into the Tavrin on USB, or into
// the virtual one on bus time, with the upload window's own engine.

#include "cli/CliCommand.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace vaskel {

// The subcommand's entry (name "upload", usage, options) for the firmware
// command's list; the firmware command runs it.
const TCliCommand& FirmwareUploadCommand();

// args[0] is "firmware", args[1] "upload".
int RunFirmwareUpload(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace vaskel
