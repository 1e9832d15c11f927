#pragma once
// vaskel-cli firmware upload: new firmware into the Tavrin on USB, or into
// the virtual one on bus time, with the upload window's own engine.

#include <iosfwd>
#include <string>
#include <vector>

namespace vaskel {

extern const char* const kFirmwareUploadUsage;

// args[0] is "firmware", args[1] "upload".
int RunFirmwareUpload(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace vaskel
