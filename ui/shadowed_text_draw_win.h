// Drawing a caption over its blended backdrop (Windows only).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string_view>

#include "ui/shadowed_text.h"

// Draws the text at (x, y) on the device context in its selected font and the text colour, over the
// backdrop boxes in the shadow colour blended with the given alpha (0..255). Colours are 0x00BBGGRR.
// The target height is that of the bitmap selected into the context.
void draw_shadowed_text(HDC dc, int x, int y, int alpha, std::wstring_view text, uint32_t text_color,
                        uint32_t shadow_color);
