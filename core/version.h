// The program's version number ("1.0.0") and version text: "v" + number + " x64" or " x86" + " " + build number.
#pragma once

#include <string>

#define SOTRIX_WIDEN_(text) L##text
#define SOTRIX_WIDEN(text) SOTRIX_WIDEN_(text)

// The number alone, as the start and stop lines and the shutdown reason show it.
inline std::wstring version_number() { return SOTRIX_WIDEN(SOTRIX_VERSION_NUMBER); }

inline std::wstring version_text() {
    return L"v" + version_number() + L" " SOTRIX_WIDEN(SOTRIX_ARCH_TEXT) L" " SOTRIX_WIDEN(SOTRIX_BUILD_NUMBER);
}

inline const wchar_t* program_name() { return L"Sotrix"; }
