// The arithmetic of a graph picture and of the pointer read-out.
#include "ui/graph_geometry.h"

#include <algorithm>
#include <cmath>

#include "core/format_number.h"

namespace {

constexpr double ROUND_LIMIT = 1e9;

void add_text_box(std::vector<GraphPaint>& plan, const TextMeasure& measure, int x, int y, int width, int height,
                  std::wstring text, uint32_t box_color, uint32_t text_color) {
    GraphPaint box;
    box.kind = GraphPaintKind::TEXT_BOX;
    box.x = x;
    box.y = y;
    box.width = width;
    box.height = height;
    box.color = box_color;
    box.text_color = text_color;
    graph_text_position(x, y, width, height, measure(text), box.text_x, box.text_y);
    box.text = std::move(text);
    plan.push_back(std::move(box));
}

void add_line(std::vector<GraphPaint>& plan, int x, int y, int x2, int y2, uint32_t color) {
    GraphPaint line;
    line.kind = GraphPaintKind::LINE;
    line.x = x;
    line.y = y;
    line.x2 = x2;
    line.y2 = y2;
    line.color = color;
    plan.push_back(std::move(line));
}

uint32_t color_of(int64_t attribute) { return static_cast<uint32_t>(attribute) & 0xFFFFFFu; }

// A caption centred horizontally at y, in a box `margin` pixels wider than its text.
void add_caption(std::vector<GraphPaint>& plan, const TextMeasure& measure, int width, int y, int label_height,
                 std::wstring text, double margin, uint32_t background) {
    const int caption_width = graph_round(measure(text).width + margin);
    add_text_box(plan, measure, width / 2 - caption_width / 2, y, caption_width, label_height, std::move(text),
                 background, 0x000000);
}

}  // namespace

int graph_round(double v) {
    if (std::isnan(v)) return 0;
    return static_cast<int>(std::round(std::clamp(v, -ROUND_LIMIT, ROUND_LIMIT)));
}

int graph_vertical_divisions(int64_t attribute, int width, int label_width) {
    int64_t divisions = attribute;
    if (divisions == 0) {
        if (label_width <= 0) return 0;
        divisions = graph_round(width / (label_width * 1.25));
    }
    return static_cast<int>(std::clamp<int64_t>(divisions, 0, std::max(width, 0)));
}

int graph_horizontal_divisions(int64_t attribute, int height, int label_height) {
    int64_t divisions = attribute;
    if (divisions == 0) {
        if (label_height <= 0) return 0;
        divisions = height / (2 * label_height);
    }
    return static_cast<int>(std::clamp<int64_t>(divisions, 0, std::max(height, 0)));
}

int graph_grid_position(int extent, int i, int divisions) {
    if (divisions == 0) return 0;
    return static_cast<int>(static_cast<int64_t>(extent - 1) * i / divisions);
}

float graph_grid_value(int64_t top, int i, int divisions) {
    if (divisions == 0) return 0.0f;
    return static_cast<float>(static_cast<double>(top) * (divisions - i) / divisions);
}

GraphValueLabelStyle graph_value_label_style(std::wstring_view unit, int64_t top) {
    if (unit == L"KB" && top > 4000) return GraphValueLabelStyle::MEGABYTES;
    if (unit == L"%") return GraphValueLabelStyle::PERCENT;
    return GraphValueLabelStyle::PLAIN;
}

std::wstring graph_fixed_text(float value, int decimals) {
    decimals = std::clamp(decimals, 0, 12);
    std::wstring text = format_fixed(value, std::min(decimals, 3));
    // Digits past the third decimal of a float are noise; zeros give the same width.
    if (decimals > 3 && std::isfinite(value)) text.append(static_cast<size_t>(decimals - 3), L'0');
    return text;
}

std::wstring graph_value_label_text(GraphValueLabelStyle style, float value, int decimals, std::wstring_view unit) {
    switch (style) {
        case GraphValueLabelStyle::MEGABYTES: return graph_fixed_text(value / 1024.0f, decimals) + L"MB";
        case GraphValueLabelStyle::PERCENT: return graph_fixed_text(value, decimals) + L"%";
        case GraphValueLabelStyle::PLAIN: break;
    }
    return graph_fixed_text(value, decimals) + std::wstring(unit);
}

std::wstring graph_value_label_sizing_text(GraphValueLabelStyle style, int64_t top, int decimals,
                                           std::wstring_view unit) {
    const int sizing_decimals = decimals + static_cast<int>(unit.size());
    if (style == GraphValueLabelStyle::MEGABYTES)
        return graph_fixed_text(static_cast<float>(top / 1024), sizing_decimals);
    return graph_fixed_text(static_cast<float>(top), sizing_decimals);
}

int graph_bar_height(float value, int64_t top, int height) {
    if (top <= 0 || height < 2) return 0;
    const double bar = (height - 1.0) * static_cast<double>(value) / static_cast<double>(top);
    if (!(bar >= 0.5)) return 0;  // also not-a-number
    if (bar >= height) return height - 1;
    return std::min(graph_round(bar), height - 1);
}

void graph_text_position(int x, int y, int width, int height, TextExtent text, int& text_x, int& text_y) {
    text_x = graph_round(x + (width - text.width) / 2.0);
    text_y = graph_round(y + (height - text.height) / 2.0);
}

std::vector<GraphPaint> graph_plan(const GraphSnapshot& snapshot, const GraphDrawTexts& texts, int width, int height,
                                   const TextMeasure& measure) {
    std::vector<GraphPaint> plan;
    if (width < 1 || height < 1) return plan;
    const GraphAttributes& a = snapshot.attributes;
    const uint32_t background = color_of(a[GRAPH_ATTR_BACK_COLOR]);
    const uint32_t outer_grid = color_of(a[GRAPH_ATTR_OUTER_GRID_COLOR]);
    const uint32_t inner_grid = color_of(a[GRAPH_ATTR_INNER_GRID_COLOR]);
    const uint32_t plot_color = color_of(a[GRAPH_ATTR_PLOT_COLOR]);
    const int64_t top = a[GRAPH_ATTR_TOP];
    const int decimals = static_cast<int>(std::clamp<int64_t>(a[GRAPH_ATTR_DECIMALS], 0, 3));
    const std::vector<GraphSample>& samples = snapshot.samples;
    const int64_t count = static_cast<int64_t>(samples.size());

    GraphPaint fill;
    fill.kind = GraphPaintKind::FILL;
    fill.width = width;
    fill.height = height;
    fill.color = background;
    plan.push_back(fill);

    const TextExtent time_extent = measure(L"00:00");
    int label_width = graph_round(time_extent.width + 2);
    const int label_height = graph_round(time_extent.height + 2);

    // Vertical grid and time labels; a label names the sample drawn in its line's column.
    const int vertical = graph_vertical_divisions(a[GRAPH_ATTR_VERTICAL_DIVISIONS], width, label_width);
    for (int i = 0; vertical != 0 && i <= vertical; ++i) {
        const int x = graph_grid_position(width, i, vertical);
        const bool border = i == 0 || i == vertical;
        add_line(plan, x, 0, x, height - 1, border ? outer_grid : inner_grid);
        if (border) continue;
        const int64_t index = count - (width - x);
        if (index >= 0 && a[GRAPH_ATTR_NO_TIME_LABELS] == 0) {
            add_text_box(plan, measure, x - label_width / 2, height - label_height, label_width, label_height,
                         date_format(L"%hh:%ii", samples[static_cast<size_t>(index)].date), background, outer_grid);
        }
    }

    // Horizontal grid and value labels.
    const GraphValueLabelStyle style = graph_value_label_style(texts.unit, top);
    const double sizing_width = measure(graph_value_label_sizing_text(style, top, decimals, texts.unit)).width;
    label_width = graph_round(style == GraphValueLabelStyle::PERCENT ? sizing_width : sizing_width + 4);
    const int horizontal = graph_horizontal_divisions(a[GRAPH_ATTR_HORIZONTAL_DIVISIONS], height, label_height);
    for (int i = 0; horizontal != 0 && i <= horizontal; ++i) {
        const int y = graph_grid_position(height, i, horizontal);
        if (i == 0 || i == horizontal) {
            add_line(plan, 0, y, width - 1, y, outer_grid);
        } else {
            add_line(plan, 1, y, width - 2, y, inner_grid);
        }
        if (i == horizontal || a[GRAPH_ATTR_NO_VALUE_LABELS] != 0) continue;
        const float value = graph_grid_value(top, i, horizontal);
        std::wstring label = graph_value_label_text(style, value, decimals, texts.unit);
        if (style == GraphValueLabelStyle::PERCENT) {
            // Centred on its line in grey; the top line of a percent graph has none.
            if (i >= 1) {
                add_text_box(plan, measure, 1, y - label_height / 2, label_width, label_height, std::move(label),
                             background, outer_grid);
            }
        } else {
            add_text_box(plan, measure, 0, y, label_width, label_height, std::move(label), outer_grid, background);
        }
    }

    // Captions.
    if (!texts.title.empty()) add_caption(plan, measure, width, 1, label_height, texts.title, 2, background);
    if (!texts.subtitle.empty()) {
        add_caption(plan, measure, width, label_height, label_height, texts.subtitle, 4, background);
        if (!texts.value.empty()) {
            add_caption(plan, measure, width, 2 * label_height, label_height, texts.value + texts.unit, 4, background);
        }
    } else {
        add_caption(plan, measure, width, label_height, label_height, texts.value + texts.unit, 4, background);
    }
    if (!texts.footer.empty()) {
        add_caption(plan, measure, width, height - label_height - 3, label_height, texts.footer, 2, background);
    }

    // Samples, newest at column width - 1, over everything else.
    const int alpha = std::clamp(texts.alpha, 0, 255);
    int previous_top = 0;
    int x = width - 1;
    for (int64_t index = count - 1; index >= 0 && x >= 1; --index, --x) {
        const int bar = graph_bar_height(samples[static_cast<size_t>(index)].value, top, height);
        if (bar < 1) {
            previous_top = 0;
            continue;
        }
        const int bar_top = height - bar;
        GraphPaint column;
        column.kind = GraphPaintKind::BLEND_COLUMN;
        column.x = x;
        column.y = bar_top;
        column.width = 1;
        column.height = bar;
        column.color = plot_color;
        column.alpha = alpha;
        plan.push_back(column);
        if (previous_top == 0 || previous_top == bar_top) {
            GraphPaint pixel;
            pixel.kind = GraphPaintKind::PIXEL;
            pixel.x = x;
            pixel.y = bar_top;
            pixel.color = plot_color;
            plan.push_back(pixel);
        } else {
            add_line(plan, x, bar_top, x + 1, previous_top, plot_color);
        }
        previous_top = bar_top;
    }
    return plan;
}

std::optional<size_t> readout_index(size_t count, int64_t offset) {
    if (offset < 1 || static_cast<uint64_t>(offset) >= count) return std::nullopt;
    return count - static_cast<size_t>(offset);
}

std::wstring graph_readout_text(std::wstring_view position_word, int64_t offset, size_t count,
                                const GraphSample& sample, std::wstring_view unit) {
    std::wstring text(position_word);
    text += L": " + std::to_wstring(offset) + L"/" + std::to_wstring(count == 0 ? 0 : count - 1);
    text += date_format(L" = %yyyy-%mm-%dd  %hh:%ii:%ss = ", sample.date);
    text += format_fixed(sample.value, 0);
    text += unit;
    text += L" ~";
    return text;
}
