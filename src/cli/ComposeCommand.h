#pragma once
// vaskel-cli compose, decompose and convert: the destination-display record
// composer and the IBIS-hex converter without a window.

#include <iosfwd>
#include <string>
#include <vector>

namespace vaskel {

// args[0] is "compose", "decompose" or "convert".
int RunCompose(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunDecompose(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunConvert(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

extern const char* const kComposeUsage;
extern const char* const kDecomposeUsage;
extern const char* const kConvertUsage;

} // namespace vaskel
