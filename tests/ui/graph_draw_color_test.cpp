// Graph texts stay readable on their boxes, also after the colours were inverted; a colour mixed into a
// picture's pixels as AlphaBlend mixes it.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

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

// A picture of 4 x 3 pixels of one colour (bytes blue, green, red, fourth) with a row stride wider than
// its pixels, as a DIB section's rows may be.
struct Picture {
    static constexpr int WIDTH = 4, HEIGHT = 3, STRIDE = 20;
    std::vector<uint8_t> bytes;
    explicit Picture(uint32_t bgra) : bytes(STRIDE * HEIGHT, 0xEE) {
        for (int y = 0; y < HEIGHT; ++y)
            for (int x = 0; x < WIDTH; ++x)
                for (int b = 0; b < 4; ++b) bytes[y * STRIDE + x * 4 + b] = static_cast<uint8_t>(bgra >> (8 * b));
    }
    PixelRows rows() { return PixelRows{bytes.data(), WIDTH, HEIGHT, STRIDE}; }
    uint32_t at(int x, int y) const {
        uint32_t value = 0;
        for (int b = 0; b < 4; ++b) value |= static_cast<uint32_t>(bytes[y * STRIDE + x * 4 + b]) << (8 * b);
        return value;
    }
};

TEST(GraphDrawColor, BlendingMixesAsAlphaBlendWithAConstantOpacity) {
    const struct {
        uint32_t old_bgra;
        uint32_t color;  // 0x00BBGGRR
        int alpha;
        uint32_t mixed_bgra;
    } cases[] = {
        {0x00FFFFFF, 0x0000FF, 128, 0x00FF7F7F},  // red half into white: green and blue (255 x 127 + 127) / 255
        {0x00000000, 0xFF0000, 128, 0x00000080},  // blue half into black
        {0x00FFFFFF, 0x00FF00, 1, 0x00FEFFFE},    // barely anything: blue and red lose (255 - 0 + 127) / 255
        {0x00102030, 0x00FF00, 254, 0x0000FE00},  // nearly all of it
        {0xFF000000, 0x000000, 128, 0x7F000000},  // the fourth byte mixes with a source of 0
    };
    for (const auto& c : cases) {
        Picture picture(c.old_bgra);
        pixels_blend(picture.rows(), 1, 1, 2, 1, c.color, c.alpha);
        EXPECT_EQ(picture.at(1, 1), c.mixed_bgra) << std::hex << c.old_bgra << " " << c.color << " " << c.alpha;
        EXPECT_EQ(picture.at(3, 1), c.old_bgra) << "beyond the rectangle";
        EXPECT_EQ(picture.at(1, 0), c.old_bgra) << "above the rectangle";
    }
}

TEST(GraphDrawColor, BlendingStaysInsideThePicture) {
    Picture picture(0x00FFFFFF);
    pixels_blend(picture.rows(), -2, -1, 10, 10, 0x000000, 128);  // over every edge
    for (int y = 0; y < Picture::HEIGHT; ++y)
        for (int x = 0; x < Picture::WIDTH; ++x) EXPECT_EQ(picture.at(x, y), 0x007F7F7Fu) << x << "," << y;
    // The bytes between the rows' ends stay untouched.
    for (int y = 0; y < Picture::HEIGHT; ++y)
        for (int b = Picture::WIDTH * 4; b < Picture::STRIDE; ++b)
            EXPECT_EQ(picture.bytes[y * Picture::STRIDE + b], 0xEE) << y << "," << b;
    Picture untouched(0x00FFFFFF);
    for (const auto& [x, y, w, h, alpha] : std::vector<std::array<int, 5>>{
             {4, 0, 2, 2, 128}, {0, 3, 2, 2, 128}, {-3, 0, 3, 3, 128}, {0, 0, 0, 3, 128}, {0, 0, 3, 3, 0}}) {
        pixels_blend(untouched.rows(), x, y, w, h, 0x000000, alpha);
    }
    for (int y = 0; y < Picture::HEIGHT; ++y)
        for (int x = 0; x < Picture::WIDTH; ++x) EXPECT_EQ(untouched.at(x, y), 0x00FFFFFFu) << x << "," << y;
}

}  // namespace
