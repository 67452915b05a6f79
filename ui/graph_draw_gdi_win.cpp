// The GDI primitives the graph and strip paintings are made of.
#include "ui/graph_draw_gdi_win.h"

#include <algorithm>
#include <cstdlib>

void gdi_fill(HDC dc, int x, int y, int width, int height, uint32_t color) {
    if (width <= 0 || height <= 0) return;
    const RECT area{x, y, x + width, y + height};
    // An opaque empty text fills with the background colour without making a brush.
    const COLORREF old = SetBkColor(dc, color & 0xFFFFFF);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &area, nullptr, 0, nullptr);
    SetBkColor(dc, old);
}

void gdi_line(HDC dc, int x, int y, int x2, int y2, uint32_t color) {
    if (x == x2 || y == y2) {
        gdi_fill(dc, std::min(x, x2), std::min(y, y2), std::abs(x2 - x) + 1, std::abs(y2 - y) + 1, color);
        return;
    }
    // The device context's own pen takes any colour: no pen is made and freed for each segment of a plot.
    HGDIOBJ dc_pen = GetStockObject(DC_PEN);
    if (GetCurrentObject(dc, OBJ_PEN) != dc_pen) SelectObject(dc, dc_pen);
    SetDCPenColor(dc, color & 0xFFFFFF);
    MoveToEx(dc, x, y, nullptr);
    LineTo(dc, x2, y2);
    // LineTo leaves out the last point.
    SetPixelV(dc, x2, y2, color & 0xFFFFFF);
}

BlendPixel::BlendPixel(HDC target, const PixelRows& pixels) : target_(target), rows_(pixels) {}

bool BlendPixel::pixel_made() {
    if (original_) return true;
    if (!pixel_dc_) pixel_dc_ = CreateCompatibleDC(target_);
    if (!pixel_) pixel_ = CreateCompatibleBitmap(target_, 1, 1);
    if (pixel_dc_ && pixel_) original_ = SelectObject(pixel_dc_, pixel_);
    return original_ != nullptr;
}

BlendPixel::~BlendPixel() {
    if (pixel_dc_ && original_) SelectObject(pixel_dc_, original_);
    if (pixel_) DeleteObject(pixel_);
    if (pixel_dc_) DeleteDC(pixel_dc_);
}

void BlendPixel::blend(HDC dc, int x, int y, int width, int height, uint32_t color, int alpha) {
    if (width <= 0 || height <= 0 || alpha <= 0) return;
    if (alpha >= 255) {
        gdi_fill(dc, x, y, width, height, color);
        return;
    }
    if (dc == target_ && rows_.bits) {
        pixels_blend(rows_, x, y, width, height, color, alpha);
        return;
    }
    if (!pixel_made()) return;
    SetPixelV(pixel_dc_, 0, 0, color & 0xFFFFFF);
    const BLENDFUNCTION function{AC_SRC_OVER, 0, static_cast<BYTE>(alpha), 0};
    AlphaBlend(dc, x, y, width, height, pixel_dc_, 0, 0, 1, 1, function);
}
