#pragma once
// vaskel-cli catalogue: the record-type catalogue (IBIS.CSV).

#include "cli/CliCommand.h"
#include "cli/CliCommands.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace vaskel {

const TCliCommand& CatalogueCommand();

// args[0] is "catalogue".
int RunCatalogue(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                 const std::string& defaultCatalogue);

} // namespace vaskel
