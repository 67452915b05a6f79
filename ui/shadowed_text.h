// A caption on a soft, blended backdrop: three overlapping rounded boxes under the text.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

struct ShadowBox {
    int left;
    int top;
    int width;
    int height;
};

// The three backdrop boxes for a text of text_width pixels at (x, y) on a target target_height pixels
// high: each one pixel wider on both sides and taller at both ends than the one before, all ending a
// few pixels above the target's bottom edge. A box that would have no height is given none.
std::array<ShadowBox, 3> shadow_boxes(int x, int y, int text_width, int target_height);
