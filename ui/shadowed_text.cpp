// Geometry of the backdrop under a shadowed caption.
#include "ui/shadowed_text.h"

std::array<ShadowBox, 3> shadow_boxes(int x, int y, int text_width, int target_height) {
    std::array<ShadowBox, 3> boxes = {
        ShadowBox{x - 1, y + 4, text_width + 2, target_height - y - 9},
        ShadowBox{x - 2, y + 3, text_width + 4, target_height - y - 7},
        ShadowBox{x - 3, y + 2, text_width + 6, target_height - y - 5},
    };
    for (auto& box : boxes) {
        if (box.height < 0) box.height = 0;
        if (box.width < 0) box.width = 0;
    }
    return boxes;
}
