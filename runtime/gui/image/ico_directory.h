// Finding an image inside the bytes of an ICO file, with every field checked against the bytes given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

struct IcoImage {
    int width = 0;  // pixels; 256 where the directory stores 0
    int height = 0;
    std::size_t offset = 0;  // of the image's bytes (a BMP header without file header, or a PNG)
    std::size_t size = 0;
};

// The directory entry closest in width to `wanted` (the first of equals) whose bytes lie inside the file.
// False when the bytes are no icon file or hold no usable entry.
bool ico_find_image(std::span<const std::uint8_t> bytes, int wanted, IcoImage* image);
