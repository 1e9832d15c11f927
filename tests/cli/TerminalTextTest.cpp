#include "cli/TerminalText.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

namespace vaskel {
namespace {

// The text as the system hands it to a program: UTF-8 on Linux, the ANSI
// code page on Windows.
std::string AsTerminalGivesIt(const std::wstring& text, const std::string& utf8) {
#ifdef _WIN32
    (void)utf8;
    const int n = ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                        nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                          nullptr, nullptr);
    return out;
#else
    (void)text;
    return utf8;
#endif
}

TEST(TerminalText, UmlautsReachTheTelegramAsTheirWindows1252Bytes) {
    EXPECT_EQ(TerminalTextToCp1252(AsTerminalGivesIt(L"zA3M\u00FCllerstra\u00DFe",
                                                     "zA3M\xC3\xBCllerstra\xC3\x9F"
                                                     "e")),
              "zA3M\xFCllerstra\xDF"
              "e");
    EXPECT_EQ(TerminalTextToCp1252(AsTerminalGivesIt(L"\u00C4\u00D6\u00DC\u00E4\u00F6\u00FC",
                                                     "\xC3\x84\xC3\x96\xC3\x9C\xC3\xA4\xC3\xB6"
                                                     "\xC3\xBC")),
              "\xC4\xD6\xDC\xE4\xF6\xFC");
    EXPECT_EQ(TerminalTextToCp1252(AsTerminalGivesIt(L"l001", "l001")), "l001");
    EXPECT_EQ(TerminalTextToCp1252(""), "");
}

} // namespace
} // namespace vaskel
