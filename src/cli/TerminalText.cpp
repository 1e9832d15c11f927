#include "cli/TerminalText.h"

#include "telegram/Cp1252.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace vaskel {

#ifdef _WIN32

std::string TerminalTextToCp1252(const std::string& text) {
    if (text.empty()) return text;
    const int n = static_cast<int>(text.size());
    const int wide = ::MultiByteToWideChar(CP_ACP, 0, text.data(), n, nullptr, 0);
    if (wide <= 0) return Utf8ToCp1252(text);
    std::wstring w(static_cast<std::size_t>(wide), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), n, w.data(), wide);
    // no "best fit": a character Windows-1252 lacks is '?', as on Linux
    const int bytes = ::WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, w.data(), wide, nullptr,
                                            0, "?", nullptr);
    std::string out(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0)
        ::WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, w.data(), wide, out.data(), bytes, "?",
                              nullptr);
    return out;
}

#else

std::string TerminalTextToCp1252(const std::string& text) {
    return Utf8ToCp1252(text);
}

#endif

} // namespace vaskel
