// Numbered fonts, and the default font of the controls created afterwards.
#pragma once

#include <cstdint>
#include <string_view>

enum FontStyle : int {
    FONT_STYLE_BOLD = 0x1,
    FONT_STYLE_ITALIC = 0x2,
    FONT_STYLE_HIGH_QUALITY = 0x4,  // antialiased
    FONT_STYLE_PROOF = 0x8,         // PROOF_QUALITY
    FONT_STYLE_FIXED_PITCH = 0x10,  // ask for a fixed-pitch face when the named one is missing
};

// Loads a face at a size in points (character height = points x DPI / 72) under the number, replacing a
// font of that number. Any thread. A replaced font stays valid for whoever still draws with it.
bool font_load(int number, std::wstring_view face, int points, int styles);
void font_free(int number);
bool font_exists(int number);
// The HFONT as an integer; 0 when there is none.
intptr_t font_handle(int number);

// The font given to controls created from now on (-1: the system's).
void gui_default_font_set(int number);
