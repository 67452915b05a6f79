// The GDI primitives the graph and strip paintings are made of.
#pragma once

#include <windows.h>

#include <cstdint>

// Fills the rectangle (x, y, width, height) in a colour 0x00BBGGRR; nothing without area.
void gdi_fill(HDC dc, int x, int y, int width, int height, uint32_t color);

// A line one pixel wide from (x, y) to (x2, y2), both end points included. Leaves the stock DC pen selected.
void gdi_line(HDC dc, int x, int y, int x2, int y2, uint32_t color);

// Mixes a colour into rectangles of a picture: each pixel becomes old x (255 - alpha) / 255 + colour x
// alpha / 255. Holds a one-pixel bitmap for AlphaBlend while it lives.
class BlendPixel {
public:
    explicit BlendPixel(HDC target);
    ~BlendPixel();
    BlendPixel(const BlendPixel&) = delete;
    BlendPixel& operator=(const BlendPixel&) = delete;

    void blend(HDC dc, int x, int y, int width, int height, uint32_t color, int alpha);

private:
    HDC pixel_dc_ = nullptr;
    HBITMAP pixel_ = nullptr;
    HGDIOBJ original_ = nullptr;
};
