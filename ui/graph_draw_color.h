// The colours a graph's texts are written in, chosen so that they stay readable on their boxes.
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
