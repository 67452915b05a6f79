// The program's version text: "v" + version number + " x64" or " x86" + " " + build number.
#pragma once

#include <string>

#define SOTRIX_WIDEN_(text) L##text
#define SOTRIX_WIDEN(text) SOTRIX_WIDEN_(text)

inline std::wstring version_text() {
    return L"v" SOTRIX_WIDEN(SOTRIX_VERSION_NUMBER) L" " SOTRIX_WIDEN(SOTRIX_ARCH_TEXT) L" " SOTRIX_WIDEN(
        SOTRIX_BUILD_NUMBER);
}

inline const wchar_t* program_name() { return L"Sotrix"; }
