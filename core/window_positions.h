// The window positions text ("v", main x, "w", main y, "x", compact x, "y", compact y).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct WindowPositions {
    int32_t main_x = 0;
    int32_t main_y = 0;
    int32_t compact_x = 0;
    int32_t compact_y = 0;
};

// "v120w80x1500y-12".
std::wstring window_positions_format(const WindowPositions& positions);

// Applies a positions text on top of positions: each letter (either case) takes the number after it (a later
// one wins; a letter without digits gives 0; a number is capped to the 32-bit range); other characters are skipped.
void window_positions_parse(std::wstring_view text, WindowPositions& positions);

// "main x, main y" CR LF "compact x, compact y", as the Settings tab shows them.
std::wstring window_positions_display(const WindowPositions& positions);

// The positions that MAIN_X, MAIN_Y, COMPACT_X and COMPACT_Y hold now.
WindowPositions window_positions_current();

// The positions text from MAIN_X, MAIN_Y, COMPACT_X, COMPACT_Y.
std::wstring window_positions_text();

// Sets the four elements from the live windows (0 where a window does not exist) and then from DIGITS_SAVED,
// and shows them on the Settings tab.
void window_positions_read();
