// The backdrop boxes under a shadowed caption.
#include <gtest/gtest.h>

#include "ui/shadowed_text.h"

namespace {

TEST(ShadowedText, BoxesGrowOutwardAndEndAboveTheBottom) {
    const auto boxes = shadow_boxes(10, 1, 40, 60);
    const ShadowBox expected[] = {{9, 5, 42, 50}, {8, 4, 44, 52}, {7, 3, 46, 54}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(boxes[i].left, expected[i].left) << i;
        EXPECT_EQ(boxes[i].top, expected[i].top) << i;
        EXPECT_EQ(boxes[i].width, expected[i].width) << i;
        EXPECT_EQ(boxes[i].height, expected[i].height) << i;
    }
    // Bottoms at H - 5, H - 4 and H - 3.
    EXPECT_EQ(boxes[0].top + boxes[0].height, 55);
    EXPECT_EQ(boxes[1].top + boxes[1].height, 56);
    EXPECT_EQ(boxes[2].top + boxes[2].height, 57);
}

TEST(ShadowedText, ATargetTooLowForTheTextGivesEmptyBoxes) {
    for (const auto& box : shadow_boxes(0, 20, 10, 12)) EXPECT_EQ(box.height, 0);
}

}  // namespace
