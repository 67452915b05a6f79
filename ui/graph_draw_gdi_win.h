// The GDI primitives the graph and strip paintings are made of.
#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/graph_draw_color.h"

// Fills the rectangle (x, y, width, height) in a colour 0x00BBGGRR; nothing without area.
void gdi_fill(HDC dc, int x, int y, int width, int height, uint32_t color);

// A line one pixel wide from (x, y) to (x2, y2), both end points included. Leaves the stock DC pen selected.
void gdi_line(HDC dc, int x, int y, int x2, int y2, uint32_t color);

// Mixes a colour into rectangles of a picture: each pixel becomes old x (255 - alpha) / 255 + colour x
// alpha / 255. Given the target's pixels in memory (a canvas's picture), it writes them directly, which costs
// a fraction of a GDI call per rectangle; GDI's queued drawing must be flushed (GdiFlush) before. Otherwise
// it uses AlphaBlend from a one-pixel bitmap, made at the first need.
class BlendPixel {
public:
    explicit BlendPixel(HDC target, const PixelRows& pixels = PixelRows{});
    ~BlendPixel();
    BlendPixel(const BlendPixel&) = delete;
    BlendPixel& operator=(const BlendPixel&) = delete;

    void blend(HDC dc, int x, int y, int width, int height, uint32_t color, int alpha);

private:
    bool pixel_made();

    HDC target_ = nullptr;
    PixelRows rows_;  // the target's pixels when it is a 32-bit DIB section
    HDC pixel_dc_ = nullptr;
    HBITMAP pixel_ = nullptr;
    HGDIOBJ original_ = nullptr;
};
