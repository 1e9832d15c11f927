#pragma once
// The options shared by the commands that classify (--catalogue FILE,
// --train-bus) beside a command's own, and its operands.

#include "telegram/TelegramParser.h"

#include <string>
#include <utility>
#include <vector>

namespace vaskel {

struct TClassifyOptions {
    std::string Catalogue;
    TBusType Bus = TBusType::bsVehicleBus;
    std::vector<std::string> Operands;
    std::vector<std::pair<std::string, std::string>> Valued; // --name value
    std::vector<std::string> Flags;
};

// Parses args (args[0] is the command); valued lists the options that take a
// value, flags those that do not. Returns an empty string, "help", or the
// problem.
std::string ParseClassifyOptions(const std::vector<std::string>& args,
                                 const std::vector<std::string>& valued,
                                 const std::vector<std::string>& flags, TClassifyOptions& o);

} // namespace vaskel
