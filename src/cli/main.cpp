#include "cli/CliCommands.h"
#ifdef VASKEL_CLI_PRINT
#include "cli/PrintCommand.h"
#endif

#include <filesystem>
#include <iostream>

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::error_code ec;
    auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) self = std::filesystem::absolute(argv[0], ec);
    const std::string catalogue = vaskel::FindShippedCatalogue(self.parent_path().string());
#ifdef VASKEL_CLI_PRINT
    vaskel::SetPrintCommand(vaskel::RunPrint);
#endif
    return vaskel::RunCli(args, std::cout, std::cerr, catalogue, std::cin);
}
