// Numbered images: icons decoded from ICO bytes, and blank pictures to draw on (image_draw_win.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// Decodes the image of an ICO file closest to `size` pixels. Replaces an image of that number.
bool image_from_ico(int number, std::span<const std::uint8_t> bytes, int size);
// A 32-bit picture of the size in pixels, filled with the colour (0x00BBGGRR).
bool image_create(int number, int width, int height, int32_t color);
void image_free(int number);
bool image_exists(int number);
bool image_size(int number, int* width, int* height);
