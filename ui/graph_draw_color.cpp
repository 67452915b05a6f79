// The colours a graph's texts are written in, chosen so that they stay readable on their boxes, and the
// mixing of a colour into a 32-bit picture's pixels.
#include "ui/graph_draw_color.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Below this difference in brightness text on a box is hard to read (the usual guideline is 125);
// the default grey labels on white differ by 127 and keep their colour.
constexpr int READABLE_BRIGHTNESS_DIFFERENCE = 125;

}  // namespace

int color_brightness(uint32_t color) {
    const int red = static_cast<int>(color & 0xFF);
    const int green = static_cast<int>((color >> 8) & 0xFF);
    const int blue = static_cast<int>((color >> 16) & 0xFF);
    return (red * 299 + green * 587 + blue * 114) / 1000;
}

uint32_t readable_text_color(uint32_t text_color, uint32_t box_color) {
    text_color &= 0xFFFFFF;
    const int box = color_brightness(box_color & 0xFFFFFF);
    if (std::abs(color_brightness(text_color) - box) >= READABLE_BRIGHTNESS_DIFFERENCE) return text_color;
    return box >= 128 ? 0x000000 : 0xFFFFFF;
}

void graph_plan_text_colors_mend(std::vector<GraphPaint>& plan) {
    for (GraphPaint& step : plan) {
        if (step.kind == GraphPaintKind::TEXT_BOX) step.text_color = readable_text_color(step.text_color, step.color);
    }
}

void pixels_blend(const PixelRows& rows, int x, int y, int width, int height, uint32_t color, int alpha) {
    if (!rows.bits || alpha <= 0) return;
    alpha = std::min(alpha, 255);
    const int left = std::max(x, 0);
    const int top = std::max(y, 0);
    const int right = std::min(x + width, rows.width);
    const int bottom = std::min(y + height, rows.height);
    if (left >= right || top >= bottom) return;
    // The source's bytes in memory order, the fourth one 0, each already weighted by the opacity.
    const uint32_t source[4] = {((color >> 16) & 0xFF) * static_cast<uint32_t>(alpha),
                                ((color >> 8) & 0xFF) * static_cast<uint32_t>(alpha),
                                (color & 0xFF) * static_cast<uint32_t>(alpha), 0};
    const uint32_t keep = static_cast<uint32_t>(255 - alpha);
    for (int row = top; row < bottom; ++row) {
        uint8_t* pixel = rows.bits + static_cast<std::ptrdiff_t>(row) * rows.stride + left * 4;
        for (int column = left; column < right; ++column, pixel += 4) {
            for (int byte = 0; byte < 4; ++byte)
                pixel[byte] = static_cast<uint8_t>((source[byte] + pixel[byte] * keep + 127) / 255);
        }
    }
}
