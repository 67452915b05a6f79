// The colours a graph's texts are written in, chosen so that they stay readable on their boxes.
#include "ui/graph_draw_color.h"

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
