// Dark mode: the Windows app theme read once at start-up, and dark title bars.
#pragma once

#include <cstdint>

// 1 when applications use the dark theme (AppsUseLightTheme is 0), else 0; a missing key or value is light.
int apps_dark_theme_query();

// The theme from the value read: |value - 1| (0 light gives 1, 1 gives 0, 2 gives 1); 0 when nothing was read.
int dark_theme_from_value(bool value_read, uint32_t value);

// Gives a window a dark title bar on Windows 10 and later (only while DARK_MODE is 1); with repaint, a
// window already shown gets the dark background 0x202020 and is drawn anew. Main thread.
void dark_title_bar_apply(int window, int repaint);

// The background of dark windows.
constexpr int32_t DARK_BACKGROUND = 0x202020;
