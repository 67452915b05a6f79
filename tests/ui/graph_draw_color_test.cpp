// Graph texts stay readable on their boxes, also after the colours were inverted.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "ui/graph_descriptor.h"
#include "ui/graph_draw_color.h"
#include "ui/graph_geometry.h"

namespace {

TEST(GraphDrawColor, KeepsReadableColoursAndReplacesTheOthers) {
    struct Case {
        const char* name;
        uint32_t text, box, expected;
    };
    const Case cases[] = {
        {"black caption on white", 0x000000, 0xFFFFFF, 0x000000},
        {"black caption on the inverted black", 0x000000, 0x000000, 0xFFFFFF},
        {"default grey label on white", 0x808080, 0xFFFFFF, 0x808080},
        {"inverted grey label on black", 0x7F7F7F, 0x000000, 0x7F7F7F},
        {"white value label on grey box", 0xFFFFFF, 0x808080, 0xFFFFFF},
        {"black text on the inverted grey box", 0x000000, 0x7F7F7F, 0x000000},
        {"white on white", 0xFFFFFF, 0xFFFFFF, 0x000000},
        {"black on dark blue background", 0x000000, 0x800000, 0xFFFFFF},
        {"black on light yellow background", 0x000000, 0x80FFFF, 0x000000},
        {"bits above the colour are ignored", 0xFF000000, 0xFF000000, 0xFFFFFF},
    };
    for (const Case& c : cases) EXPECT_EQ(readable_text_color(c.text, c.box), c.expected) << c.name;
}

TEST(GraphDrawColor, BrightnessWeighsGreenMost) {
    EXPECT_EQ(color_brightness(0x000000), 0);
    EXPECT_EQ(color_brightness(0xFFFFFF), 255);
    EXPECT_GT(color_brightness(0x00FF00), color_brightness(0x0000FF));
    EXPECT_GT(color_brightness(0x0000FF), color_brightness(0xFF0000));
}

std::vector<GraphPaint> captioned_plan(const GraphAttributes& attributes) {
    GraphSnapshot snapshot;
    snapshot.attributes = attributes;
    for (int i = 0; i < 50; ++i) snapshot.samples.push_back({1000 + i, 40.0f});
    GraphDrawTexts texts;
    texts.unit = L"%";
    texts.title = L"CPU 03";
    texts.value = L"12";
    texts.subtitle = L"3400MHz";
    texts.footer = L"745 seconds";
    const TextMeasure measure = [](std::wstring_view text) {
        return TextExtent{7.0 * static_cast<double>(text.size()), 13.0};
    };
    return graph_plan(snapshot, texts, 200, 150, measure);
}

TEST(GraphDrawColor, InvertedGraphGetsReadableCaptionsAndKeepsItsLabels) {
    GraphAttributes inverted = graph_default_attributes();
    for (int attribute :
         {GRAPH_ATTR_BACK_COLOR, GRAPH_ATTR_OUTER_GRID_COLOR, GRAPH_ATTR_INNER_GRID_COLOR, GRAPH_ATTR_PLOT_COLOR})
        inverted[attribute] = 0xFFFFFF - inverted[attribute];
    std::vector<GraphPaint> plan = captioned_plan(inverted);
    graph_plan_text_colors_mend(plan);

    int captions = 0;
    int labels = 0;
    for (const GraphPaint& step : plan) {
        if (step.kind != GraphPaintKind::TEXT_BOX) continue;
        EXPECT_GE(std::abs(color_brightness(step.text_color) - color_brightness(step.color)), 125)
            << std::string(step.text.begin(), step.text.end());
        if (step.text == L"CPU 03" || step.text == L"12%" || step.text == L"3400MHz" || step.text == L"745 seconds") {
            EXPECT_EQ(step.text_color, 0xFFFFFFu);
            ++captions;
        } else {
            EXPECT_EQ(step.text_color, 0x7F7F7Fu);  // the inverted grid colour, which already stands out
            ++labels;
        }
    }
    EXPECT_EQ(captions, 4);
    EXPECT_GT(labels, 0);
}

TEST(GraphDrawColor, NormalGraphIsLeftAsPlanned) {
    const std::vector<GraphPaint> planned = captioned_plan(graph_default_attributes());
    std::vector<GraphPaint> mended = planned;
    graph_plan_text_colors_mend(mended);
    ASSERT_EQ(mended.size(), planned.size());
    for (size_t i = 0; i < planned.size(); ++i) EXPECT_EQ(mended[i].text_color, planned[i].text_color) << i;
}

}  // namespace
