// The arithmetic of a graph picture: grid, labels, captions, sample columns, and the read-out hit test.
#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <limits>
#include <vector>

#include "ui/graph_geometry.h"

namespace {

// A font of fixed-width characters.
TextMeasure fixed_font(double char_width, double height) {
    return [=](std::wstring_view text) { return TextExtent{char_width * static_cast<double>(text.size()), height}; };
}

std::vector<GraphPaint> of_kind(const std::vector<GraphPaint>& plan, GraphPaintKind kind) {
    std::vector<GraphPaint> result;
    for (const auto& step : plan) {
        if (step.kind == kind) result.push_back(step);
    }
    return result;
}

GraphSnapshot snapshot_of(std::vector<float> values, Date first_date = 0) {
    GraphSnapshot snapshot;
    for (size_t i = 0; i < values.size(); ++i)
        snapshot.samples.push_back({first_date + static_cast<Date>(i), values[i]});
    return snapshot;
}

TEST(GraphGeometry, GridDivisionsComeFromTheAttributeOrTheLabelSize) {
    struct Case {
        int64_t attribute;
        int extent;
        int label;
        int vertical;
        int horizontal;
    };
    const Case cases[] = {
        {0, 800, 34, 19, 11},                           // rnd(800 / 42.5); 800 / 68
        {0, 150, 15, 8, 5},                             // rnd(150 / 18.75); 150 / 30
        {10, 800, 34, 10, 10},                          // the attribute wins
        {0, 20, 15, 1, 0},                              // too low for one horizontal interval
        {0, 800, 0, 0, 0},                              // a label without size: no automatic grid, no division by zero
        {0, 800, -3, 0, 0},       {-4, 800, 34, 0, 0},  // a negative attribute draws nothing
        {1000000, 80, 15, 80, 80}                       // never more intervals than pixels
    };
    for (const auto& c : cases) {
        EXPECT_EQ(graph_vertical_divisions(c.attribute, c.extent, c.label), c.vertical) << c.extent << "/" << c.label;
        EXPECT_EQ(graph_horizontal_divisions(c.attribute, c.extent, c.label), c.horizontal)
            << c.extent << "/" << c.label;
    }
}

TEST(GraphGeometry, ValueLabelsFollowTheUnitAndTop) {
    struct Case {
        const wchar_t* unit;
        int64_t top;
        std::vector<std::wstring> labels;  // lines 0..4 from the top
    };
    const Case cases[] = {
        {L"KB", 4096, {L"4MB", L"3MB", L"2MB", L"2MB", L"1MB"}},
        {L"KB", 4000, {L"4000KB", L"3200KB", L"2400KB", L"1600KB", L"800KB"}},
        {L"%", 100, {L"100%", L"80%", L"60%", L"40%", L"20%"}},
        {L"W", 250, {L"250W", L"200W", L"150W", L"100W", L"50W"}},
        {L"%", 0, {L"0%", L"0%", L"0%", L"0%", L"0%"}},
    };
    for (const auto& c : cases) {
        const GraphValueLabelStyle style = graph_value_label_style(c.unit, c.top);
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(graph_value_label_text(style, graph_grid_value(c.top, i, 5), 0, c.unit), c.labels[i])
                << c.unit << c.top << " line " << i;
        }
    }
    EXPECT_EQ(graph_value_label_text(GraphValueLabelStyle::PLAIN, 12.5f, 1, L"W"), L"12.5W");
    // The sizing text carries decimals + length of the unit digits.
    EXPECT_EQ(graph_value_label_sizing_text(GraphValueLabelStyle::MEGABYTES, 5000, 0, L"KB"), L"4.00");
    EXPECT_EQ(graph_value_label_sizing_text(GraphValueLabelStyle::PERCENT, 100, 0, L"%"), L"100.0");
    EXPECT_EQ(graph_value_label_sizing_text(GraphValueLabelStyle::PLAIN, 250, 2, L"KB"), L"250.0000");
}

TEST(GraphGeometry, GridLinesAndPercentLabelsSitWhereTheyShould) {
    GraphSnapshot snapshot;  // top 100, no samples
    const auto plan = graph_plan(snapshot, {L"%", 64, L"", L"", L"", L""}, 200, 150, fixed_font(7, 13));
    ASSERT_FALSE(plan.empty());
    EXPECT_EQ(plan[0].kind, GraphPaintKind::FILL);
    EXPECT_EQ(plan[0].width, 200);
    EXPECT_EQ(plan[0].height, 150);
    EXPECT_EQ(plan[0].color, 0xFFFFFFu);

    // LH = 15 gives 5 horizontal intervals: borders at 0 and 149 in the outer grid colour, full width.
    std::vector<int> rows;
    for (const auto& line : of_kind(plan, GraphPaintKind::LINE)) {
        if (line.y != line.y2) continue;
        rows.push_back(line.y);
        const bool border = line.y == 0 || line.y == 149;
        EXPECT_EQ(line.x, border ? 0 : 1) << line.y;
        EXPECT_EQ(line.x2, border ? 199 : 198) << line.y;
        EXPECT_EQ(line.color, border ? 0x808080u : 0xE6E6E6u) << line.y;
    }
    EXPECT_EQ(rows, (std::vector<int>{0, 29, 59, 89, 119, 149}));

    // Percent labels: centred on their lines, grey on the background, none on the top line.
    std::vector<std::wstring> texts;
    std::vector<int> tops;
    for (const auto& box : of_kind(plan, GraphPaintKind::TEXT_BOX)) {
        if (box.text.empty() || box.text.back() != L'%' || box.x != 1) continue;
        texts.push_back(box.text);
        tops.push_back(box.y);
        EXPECT_EQ(box.height, 15);
        EXPECT_EQ(box.width, 35);  // "100.0" with no margin
        EXPECT_EQ(box.color, 0xFFFFFFu);
        EXPECT_EQ(box.text_color, 0x808080u);
    }
    EXPECT_EQ(texts, (std::vector<std::wstring>{L"80%", L"60%", L"40%", L"20%"}));
    EXPECT_EQ(tops, (std::vector<int>{22, 52, 82, 112}));
}

TEST(GraphGeometry, OtherLabelsHangBelowTheirLinesOnAGreyBox) {
    GraphSnapshot snapshot;
    snapshot.attributes[GRAPH_ATTR_TOP] = 4096;
    snapshot.attributes[GRAPH_ATTR_HORIZONTAL_DIVISIONS] = 4;
    const auto plan = graph_plan(snapshot, {L"KB", 128, L"", L"", L"", L""}, 300, 100, fixed_font(6, 10));
    std::vector<std::wstring> texts;
    for (const auto& box : of_kind(plan, GraphPaintKind::TEXT_BOX)) {
        if (box.text.size() < 2 || box.text.substr(box.text.size() - 2) != L"MB") continue;
        texts.push_back(box.text);
        EXPECT_EQ(box.x, 0);
        EXPECT_EQ(box.width, 28);  // "4.00" + 4
        EXPECT_EQ(box.color, 0x808080u);
        EXPECT_EQ(box.text_color, 0xFFFFFFu);
    }
    EXPECT_EQ(texts, (std::vector<std::wstring>{L"4MB", L"3MB", L"2MB", L"1MB"}));

    snapshot.attributes[GRAPH_ATTR_NO_VALUE_LABELS] = 1;
    for (const auto& box : of_kind(graph_plan(snapshot, {L"KB", 128, L"", L"", L"", L""}, 300, 100, fixed_font(6, 10)),
                                   GraphPaintKind::TEXT_BOX)) {
        EXPECT_NE(box.text.substr(box.text.size() - 2), L"MB") << box.text;
    }
}

TEST(GraphGeometry, TimeLabelsNameTheSampleInTheirColumn) {
    const Date base = date_from_parts({2024, 5, 1, 14, 0, 0});
    std::vector<float> values(80, 10);
    GraphSnapshot snapshot = snapshot_of(values);
    for (size_t i = 0; i < snapshot.samples.size(); ++i) snapshot.samples[i].date = base + 60 * static_cast<Date>(i);
    snapshot.attributes[GRAPH_ATTR_VERTICAL_DIVISIONS] = 4;
    snapshot.attributes[GRAPH_ATTR_NO_VALUE_LABELS] = 1;

    // Columns 24, 49 and 74 of a 100-pixel graph show samples 4, 29 and 54 of 80.
    const auto plan = graph_plan(snapshot, {L"%", 64, L"", L"x", L"", L""}, 100, 60, fixed_font(5, 10));
    std::vector<int> columns;
    for (const auto& line : of_kind(plan, GraphPaintKind::LINE)) {
        if (line.x == line.x2 && line.y == 0 && line.y2 == 59) columns.push_back(line.x);
    }
    EXPECT_EQ(columns, (std::vector<int>{0, 24, 49, 74, 99}));
    std::vector<std::wstring> labels;
    for (const auto& box : of_kind(plan, GraphPaintKind::TEXT_BOX)) {
        if (box.y != 60 - 12) continue;
        labels.push_back(box.text);
        EXPECT_EQ(box.width, 27);  // "00:00" + 2
    }
    EXPECT_EQ(labels, (std::vector<std::wstring>{L"14:04", L"14:29", L"14:54"}));

    // With 30 samples only the rightmost line has one; with the switch none.
    snapshot.samples.resize(30);
    labels.clear();
    for (const auto& box : of_kind(graph_plan(snapshot, {L"%", 64, L"", L"x", L"", L""}, 100, 60, fixed_font(5, 10)),
                                   GraphPaintKind::TEXT_BOX)) {
        if (box.y == 48) labels.push_back(box.text);
    }
    EXPECT_EQ(labels, (std::vector<std::wstring>{L"14:04"}));
    snapshot.attributes[GRAPH_ATTR_NO_TIME_LABELS] = 1;
    for (const auto& box : of_kind(graph_plan(snapshot, {L"%", 64, L"", L"x", L"", L""}, 100, 60, fixed_font(5, 10)),
                                   GraphPaintKind::TEXT_BOX)) {
        EXPECT_NE(box.y, 48) << box.text;
    }
}

TEST(GraphGeometry, CaptionsAreCentredInTheirRows) {
    struct Case {
        GraphDrawTexts texts;
        std::vector<std::wstring> captions;
        std::vector<int> rows;
    };
    const Case cases[] = {
        {{L"%", 64, L"Physical", L"37", L"", L""}, {L"Physical", L"37%"}, {1, 12}},
        {{L"%", 64, L"CPU Speed", L"", L"Clock (80%)", L""}, {L"CPU Speed", L"Clock (80%)"}, {1, 12}},
        {{L"W", 64, L"", L"7", L"120W", L"span"}, {L"120W", L"7W", L"span"}, {12, 24, 200 - 12 - 3}},
        {{L"KB", 64, L"", L"", L"", L""}, {L"KB"}, {12}},  // the unit alone when there is no value
    };
    GraphSnapshot snapshot;
    snapshot.attributes[GRAPH_ATTR_NO_VALUE_LABELS] = 1;
    snapshot.attributes[GRAPH_ATTR_NO_TIME_LABELS] = 1;
    for (const auto& c : cases) {
        std::vector<std::wstring> captions;
        std::vector<int> rows;
        for (const auto& box :
             of_kind(graph_plan(snapshot, c.texts, 301, 200, fixed_font(5, 10)), GraphPaintKind::TEXT_BOX)) {
            captions.push_back(box.text);
            rows.push_back(box.y);
            EXPECT_EQ(box.text_color, 0u);
            EXPECT_EQ(box.color, 0xFFFFFFu);
            const int margin = (box.text == c.texts.title || box.text == c.texts.footer) ? 2 : 4;
            EXPECT_EQ(box.width, 5 * static_cast<int>(box.text.size()) + margin) << box.text;
            EXPECT_EQ(box.x, 150 - box.width / 2) << box.text;
            EXPECT_EQ(box.text_x, box.x + margin / 2) << box.text;
            EXPECT_EQ(box.text_y, box.y + 1) << box.text;
        }
        EXPECT_EQ(captions, c.captions);
        EXPECT_EQ(rows, c.rows);
    }
}

TEST(GraphGeometry, BarHeightsScaleToTheTopAndStayInside) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float infinity = std::numeric_limits<float>::infinity();
    struct Case {
        float value;
        int64_t top;
        int height;
        int bar;
    };
    const Case cases[] = {
        {50, 100, 101, 50},  {100, 100, 101, 100}, {150, 100, 101, 100}, {infinity, 100, 101, 100},
        {0.4f, 100, 101, 0}, {0.5f, 100, 101, 1},  {0, 100, 101, 0},     {-5, 100, 101, 0},
        {nan, 100, 101, 0},  {50, 0, 101, 0},      {50, -10, 101, 0},    {50, 100, 1, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(graph_bar_height(c.value, c.top, c.height), c.bar) << c.value << "/" << c.top << "/" << c.height;
    }
}

TEST(GraphGeometry, SamplesAreColumnsWithALineThatBreaksAtEmptySamples) {
    // Oldest first; the newest lands in column W - 1 = 9 of a graph 11 rows high (bar = value / 10).
    GraphSnapshot snapshot = snapshot_of({70, 20, 20, 0, 50, 200});
    snapshot.attributes[GRAPH_ATTR_VERTICAL_DIVISIONS] = -1;
    snapshot.attributes[GRAPH_ATTR_HORIZONTAL_DIVISIONS] = -1;
    const auto plan = graph_plan(snapshot, {L"%", 64, L"", L"", L"", L""}, 10, 11, fixed_font(1, 1));

    std::vector<GraphPaint> plot;
    bool after_captions = false;
    for (const auto& step : plan) {
        if (step.kind == GraphPaintKind::BLEND_COLUMN) after_captions = true;
        if (after_captions) plot.push_back(step);
    }
    struct Expected {
        GraphPaintKind kind;
        int x, y, x2, y2, height;
    };
    const Expected expected[] = {
        {GraphPaintKind::BLEND_COLUMN, 9, 1, 0, 0, 10},  // 200 above the top: up to row 1
        {GraphPaintKind::PIXEL, 9, 1, 0, 0, 0},          // first point of the line
        {GraphPaintKind::BLEND_COLUMN, 8, 6, 0, 0, 5},
        {GraphPaintKind::LINE, 8, 6, 9, 1, 0},  // joined to the newer point
        // 0: no column, the line breaks
        {GraphPaintKind::BLEND_COLUMN, 6, 9, 0, 0, 2},
        {GraphPaintKind::PIXEL, 6, 9, 0, 0, 0},  // starts afresh
        {GraphPaintKind::BLEND_COLUMN, 5, 9, 0, 0, 2},
        {GraphPaintKind::PIXEL, 5, 9, 0, 0, 0},  // same height as its neighbour: a pixel
        {GraphPaintKind::BLEND_COLUMN, 4, 4, 0, 0, 7},
        {GraphPaintKind::LINE, 4, 4, 5, 9, 0},
    };
    ASSERT_EQ(plot.size(), std::size(expected));
    for (size_t i = 0; i < plot.size(); ++i) {
        EXPECT_EQ(plot[i].kind, expected[i].kind) << i;
        EXPECT_EQ(plot[i].x, expected[i].x) << i;
        EXPECT_EQ(plot[i].y, expected[i].y) << i;
        EXPECT_EQ(plot[i].color, 0x0000FFu) << i;
        if (expected[i].kind == GraphPaintKind::LINE) {
            EXPECT_EQ(plot[i].x2, expected[i].x2) << i;
            EXPECT_EQ(plot[i].y2, expected[i].y2) << i;
        }
        if (expected[i].kind == GraphPaintKind::BLEND_COLUMN) {
            EXPECT_EQ(plot[i].height, expected[i].height) << i;
            EXPECT_EQ(plot[i].alpha, 64) << i;
        }
    }
}

TEST(GraphGeometry, TheLeftBorderColumnIsNeverPlotted) {
    const auto plan =
        graph_plan(snapshot_of(std::vector<float>(50, 40)), {L"%", 300, L"", L"", L"", L""}, 10, 30, fixed_font(1, 1));
    const auto columns = of_kind(plan, GraphPaintKind::BLEND_COLUMN);
    ASSERT_EQ(columns.size(), 9u);  // columns 9 down to 1
    EXPECT_EQ(columns.back().x, 1);
    EXPECT_EQ(columns.front().alpha, 255);  // alpha kept within 0..255
}

TEST(GraphGeometry, DegenerateGraphsComputeWithoutFaults) {
    // Top 0, a font without size, a surface one pixel high: nothing divides by zero or overflows.
    GraphSnapshot snapshot = snapshot_of({10, 20, 30});
    snapshot.attributes[GRAPH_ATTR_TOP] = 0;
    snapshot.attributes[GRAPH_ATTR_DECIMALS] = 99;
    const auto zero_font = [](std::wstring_view) { return TextExtent{-2, -2}; };
    for (int height : {1, 2, 50}) {
        const auto plan = graph_plan(snapshot, {L"KB", 64, L"t", L"v", L"s", L"f"}, 40, height, zero_font);
        EXPECT_TRUE(of_kind(plan, GraphPaintKind::BLEND_COLUMN).empty()) << height;
    }
    EXPECT_TRUE(graph_plan(snapshot, {}, 0, 50, fixed_font(5, 10)).empty());
    EXPECT_TRUE(graph_plan(snapshot, {}, 50, 0, fixed_font(5, 10)).empty());
    EXPECT_EQ(graph_round(std::nan("")), 0);
    EXPECT_EQ(graph_round(1e300), 1000000000);
    EXPECT_EQ(graph_round(-2.5), -3);
    EXPECT_EQ(graph_round(2.5), 3);
}

TEST(GraphGeometry, ReadOutAcceptsOnlyOffsetsInsideTheSamples) {
    struct Case {
        size_t count;
        int64_t offset;
        std::optional<size_t> index;
    };
    const Case cases[] = {
        {300, 1, 299},
        {300, 12, 288},
        {300, 299, 1},
        {300, 300, std::nullopt},
        {300, 301, std::nullopt},
        {300, 0, std::nullopt},
        {300, -1, std::nullopt},
        {0, 1, std::nullopt},
        {1, 1, std::nullopt},
        {2, 1, 1},
    };
    for (const auto& c : cases) EXPECT_EQ(readout_index(c.count, c.offset), c.index) << c.count << "/" << c.offset;

    const GraphSample sample{date_from_parts({2024, 5, 1, 14, 3, 27}), 37.4f};
    EXPECT_EQ(graph_readout_text(L"Position", 12, 300, sample, L"%"),
              L"Position: 12/299 = 2024-05-01  14:03:27 = 37% ~");
    EXPECT_EQ(graph_readout_text(L"Position", 1, 2, {sample.date, 1023.6f}, L"KB"),
              L"Position: 1/1 = 2024-05-01  14:03:27 = 1024KB ~");
}

}  // namespace
