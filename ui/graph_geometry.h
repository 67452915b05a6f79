// The arithmetic of a graph picture and of the pointer read-out, as pure functions: the drawing only paints.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/graph_descriptor.h"

// Size of a text in the graph's font, in device pixels.
struct TextExtent {
    double width = 0;
    double height = 0;
};
using TextMeasure = std::function<TextExtent(std::wstring_view text)>;

// The captions and fill opacity of one drawing of a graph.
struct GraphDrawTexts {
    std::wstring unit;      // "%", "KB" or "W"; drawn after the value caption
    int alpha = 128;        // opacity of the filled area, 0..255
    std::wstring title;     // empty: none
    std::wstring value;     // drawn with the unit after it
    std::wstring subtitle;  // empty: none
    std::wstring footer;    // empty: none
};

enum class GraphPaintKind : uint8_t {
    FILL,          // rectangle (x, y, width, height) in color
    LINE,          // from (x, y) to (x2, y2), both end points included, in color, one pixel wide
    TEXT_BOX,      // rectangle (x, y, width, height) in color, then text at (text_x, text_y) in text_color
                   // on a color background
    BLEND_COLUMN,  // one pixel column from (x, y), height pixels down, color mixed into the old pixels
                   // in the proportion alpha to (255 - alpha)
    PIXEL,         // the single pixel (x, y) in color
};

// One step of a graph picture, in device pixels. Steps are painted in order: later ones cover earlier.
struct GraphPaint {
    GraphPaintKind kind = GraphPaintKind::FILL;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int x2 = 0;
    int y2 = 0;
    uint32_t color = 0;
    uint32_t text_color = 0;
    int alpha = 255;
    int text_x = 0;
    int text_y = 0;
    std::wstring text;
};

// The whole picture of a graph on a surface of width x height device pixels: background, vertical grid
// with time labels, horizontal grid with value labels, captions, then the samples as a filled area with a
// line on top, one column per sample from the right edge (column 0 is never plotted). `snapshot.samples`
// holds at least the newest `width` samples of the graph (or all of them), oldest first. Nothing for a
// surface without area.
std::vector<GraphPaint> graph_plan(const GraphSnapshot& snapshot, const GraphDrawTexts& texts, int width, int height,
                                   const TextMeasure& measure);

// ---- The pieces of the plan, exposed for the drawing of other canvases and for tests ----

// v rounded to the nearest integer, halves away from zero; not-a-number gives 0, and the result is kept
// within +-1e9 so that no conversion overflows.
int graph_round(double v);

// Vertical grid intervals: the attribute when it is not 0, else as many as fit labels of label_width with a
// quarter of space between them. A label width of 0 or less gives no automatic grid. At most `width`.
int graph_vertical_divisions(int64_t attribute, int width, int label_width);

// Horizontal grid intervals: the attribute when it is not 0, else height / (2 x label_height). A label
// height of 0 or less gives no automatic grid. At most `height`.
int graph_horizontal_divisions(int64_t attribute, int height, int label_height);

// Position of grid line i of `divisions` intervals on a side of `extent` pixels: (extent - 1) x i / divisions.
int graph_grid_position(int extent, int i, int divisions);

// The value at grid line i counted from the top: top x (divisions - i) / divisions, as a 32-bit float.
float graph_grid_value(int64_t top, int i, int divisions);

// How value labels are written: megabytes for "KB" graphs above 4000, centred percentages, or the value
// followed by the unit.
enum class GraphValueLabelStyle { MEGABYTES, PERCENT, PLAIN };
GraphValueLabelStyle graph_value_label_style(std::wstring_view unit, int64_t top);

// The label text of a grid value: "4MB", "80%", "3200KB".
std::wstring graph_value_label_text(GraphValueLabelStyle style, float value, int decimals, std::wstring_view unit);

// The text whose width sizes the value labels (the top with decimals + length of the unit decimals).
std::wstring graph_value_label_sizing_text(GraphValueLabelStyle style, int64_t top, int decimals,
                                           std::wstring_view unit);

// The value written with exactly `decimals` decimals (0..12), rounded to the nearest.
std::wstring graph_fixed_text(float value, int decimals);

// Height in pixels of the column of a sample: (height - 1) x value / top rounded, at most height - 1;
// 0 (no column, the line breaks) for a value that rounds below 1, is not a number, or when top is not
// above 0.
int graph_bar_height(float value, int64_t top, int height);

// Where draw_text_box writes a text of the extent in the box: centred, rounded to the nearest pixel.
void graph_text_position(int x, int y, int width, int height, TextExtent text, int& text_x, int& text_y);

// ---- Pointer read-out ----

// The index (oldest first) of the sample or point under the pointer at `offset` from the right edge, where
// offset 1 is the newest; nothing for an offset below 1 or not below the count.
std::optional<size_t> readout_index(size_t count, int64_t offset);

// "Position: 12/299 = 2024-05-01  14:03:27 = 37% ~": position_word is the shown text of "Position",
// the value is rounded to an integer, and unit is the graph's unit.
std::wstring graph_readout_text(std::wstring_view position_word, int64_t offset, size_t count,
                                const GraphSample& sample, std::wstring_view unit);
