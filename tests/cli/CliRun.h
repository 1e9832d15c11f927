#pragma once
// Runs vaskel-cli's commands in the test process, as the program would.

#include "cli/CliCommands.h"

#include <sstream>
#include <string>
#include <vector>

namespace vaskel::test {

inline const std::string kShippedCatalogue = std::string(VASKEL_TEST_DATA_DIR) + "/IBIS.CSV";

struct CliRun {
    int code;
    std::string out, err;
};

// The command's exit status and what it wrote; input is its standard input.
inline CliRun Cli(const std::vector<std::string>& args,
                  const std::string& catalogue = kShippedCatalogue, const std::string& input = "") {
    std::ostringstream out, err;
    std::istringstream in(input);
    const int code = RunCli(args, out, err, catalogue, in);
    return {code, out.str(), err.str()};
}

} // namespace vaskel::test
