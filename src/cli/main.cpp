#include "cli/CliCommands.h"
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
// The arguments in UTF-8, as a Linux terminal gives them: Windows hands
// main() the arguments in the ANSI code page, where a telegram's umlauts
// would not read as UTF-8.
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

// The running program's own file: the shipped catalogue lies beside it.
std::filesystem::path ProgramFile(const char* argv0) {
    std::error_code ec;
#ifdef _WIN32
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (n == 0) break;
        if (n < name.size()) return std::filesystem::path(name.substr(0, n));
        name.resize(name.size() * 2);
    }
#else
    auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec) return self;
#endif
    return std::filesystem::absolute(argv0, ec);
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
    const std::string catalogue =
        vaskel::FindShippedCatalogue(ProgramFile(argv[0]).parent_path().string());
#ifdef VASKEL_CLI_PRINT
    vaskel::SetPrintCommand(vaskel::RunPrint);
#endif
    return vaskel::RunCli(args, std::cout, std::cerr, catalogue, std::cin);
}
