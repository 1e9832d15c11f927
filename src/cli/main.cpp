#include "cli/CliCommands.h"
#include "cli/CommandRegistry.h"
#include "cli/ScratchFile.h"
#ifdef VASKEL_CLI_PRINT
#include "cli/PrintCommand.h"
#endif

#include <filesystem>
#include <iostream>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <shellapi.h> // after windows.h
#endif

namespace {

#ifdef _WIN32
// The arguments in UTF-8, as a Linux terminal gives them (and as the
// program's code page is, see Utf8CodePage.manifest): taken from the wide
// command line, so they are right on a Windows before that code page, too.
std::vector<std::string> Utf8Arguments() {
    std::vector<std::string> args;
    int count = 0;
    LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!wide) return args;
    for (int k = 1; k < count; ++k) {
        const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide[k], -1, nullptr, 0, nullptr, nullptr);
        std::string a(n > 0 ? n : 1, '\0');
        if (n > 0) ::WideCharToMultiByte(CP_UTF8, 0, wide[k], -1, a.data(), n, nullptr, nullptr);
        a.resize(a.size() - 1); // the NUL
        args.push_back(std::move(a));
    }
    ::LocalFree(wide);
    return args;
}
#endif

// The folder of the running program (the shipped catalogue lies beside it),
// in the encoding of the engine's file names.
std::string ProgramFolder(const char* argv0) {
    std::error_code ec;
#ifdef _WIN32
    // in the program's code page (UTF-8), as the file functions take it
    std::string name(MAX_PATH, '\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameA(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (n == 0) break;
        if (n < name.size()) {
            name.resize(n);
            return name.substr(0, name.find_last_of("\\/") + 1);
        }
        name.resize(name.size() * 2);
    }
#else
    auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec) return self.parent_path().string();
#endif
    return std::filesystem::absolute(argv0, ec).parent_path().string();
}

} // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // Bytes pass unchanged, as on Linux: the device streams are binary (a
    // text-mode stream would end at a 0x1A and turn LF into CR LF), and the
    // output's lines end with LF alone.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    // the output is UTF-8 (JSON, texts): a console shows it as such
    ::SetConsoleOutputCP(CP_UTF8);
#endif
#ifdef _WIN32
    (void)argc;
    std::vector<std::string> args = Utf8Arguments();
#else
    std::vector<std::string> args(argv + 1, argv + argc);
#endif
    // scratch copies go with the process, and those of killed ones now
    vaskel::PrepareScratchFiles();
    const std::string catalogue = vaskel::FindShippedCatalogue(ProgramFolder(argv[0]));
#ifdef VASKEL_CLI_PRINT
    // drawn with QtGui, so built into the program, not the library
    vaskel::RegisterCliCommand(vaskel::PrintCommand());
#endif
    return vaskel::RunCli(args, std::cout, std::cerr, catalogue, std::cin);
}
