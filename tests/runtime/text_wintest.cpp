// The ANSI text conversion on Windows takes the system's code page.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "runtime/text.h"

namespace {

std::wstring system_conversion(UINT code_page, std::string_view bytes) {
    wchar_t wide[64] = {};
    const int count = MultiByteToWideChar(code_page, 0, bytes.data(), static_cast<int>(bytes.size()), wide, 64);
    return std::wstring(wide, count > 0 ? static_cast<size_t>(count) : 0);
}

TEST(TextWin, AnsiTextIsReadInTheSystemCodePage) {
    const UINT code_page = GetACP();
    for (int value = 1; value < 256; ++value) {
        const char byte = static_cast<char>(value);
        EXPECT_EQ(wide_from_ansi(std::string_view(&byte, 1)), system_conversion(code_page, std::string_view(&byte, 1)))
            << "byte " << value << ", code page " << code_page;
    }
    // The tests run in a Western European prefix; another code page would make the expected text below wrong.
    ASSERT_EQ(code_page, 1252u) << "the Wine prefix must run with the ANSI code page 1252 (a C or en/de locale)";
    EXPECT_EQ(wide_from_ansi("C:\\Daten\\Gr\xFC\xDF"
                             "e \x80"),
              L"C:\\Daten\\Gr\u00fc\u00dfe \u20ac");
    EXPECT_EQ(wide_from_ansi(""), L"");
}

}  // namespace
