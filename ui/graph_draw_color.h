// The colours a graph's texts are written in, chosen so that they stay readable on their boxes, and the
// mixing of a colour into a 32-bit picture's pixels.
#pragma once

#include <cstdint>
#include <vector>

#include "ui/graph_geometry.h"

// The perceived brightness of a colour 0x00BBGGRR, 0 (black) to 255 (white).
int color_brightness(uint32_t color);

// The colour to write text in on a box: the asked colour when its brightness differs enough from the
// box's, else black or white, whichever stands out more. A graph whose colours were inverted has a black
// background, on which the black captions would vanish.
uint32_t readable_text_color(uint32_t text_color, uint32_t box_color);

// Gives every text box of a graph picture a readable text colour.
void graph_plan_text_colors_mend(std::vector<GraphPaint>& plan);

// A 32-bit picture's pixels in memory: blue, green, red and a fourth byte each, `stride` bytes a row, the top
// row first.
struct PixelRows {
    uint8_t* bits = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;
};

// Mixes a colour 0x00BBGGRR into a rectangle of the picture as AlphaBlend does with a constant opacity and a
// source whose fourth byte is 0: each byte becomes (source x alpha + old x (255 - alpha) + 127) / 255.
// What lies outside the picture is left out.
void pixels_blend(const PixelRows& rows, int x, int y, int width, int height, uint32_t color, int alpha);
