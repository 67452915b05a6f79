// Whether this test program can make windows: Wine started without a display cannot.
#pragma once

#include <windows.h>

inline constexpr const char* NO_DISPLAY_TEXT = "no display for windows (start Xvfb and set DISPLAY)";

// True when a window can be created (a display is there).
inline bool display_available() {
    HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    if (!probe) return false;
    DestroyWindow(probe);
    return true;
}
