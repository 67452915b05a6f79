// The graph grids of the Processors and Graphics tabs: one graph per logical processor, six per GPU slot.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "core/control_numbers.h"
#include "ui/main_layout.h"

// One processor's graph in the grid.
struct CoreGraphCell {
    int core = 0;
    UnitRect place;
    int horizontal_divisions = 0;  // 0: the drawing chooses
    int vertical_divisions = 0;    // 0: the drawing chooses
    bool no_value_labels = true;   // every core graph goes without time labels
};

struct CoreGridLayout {
    int count = 1;  // processors laid out: 1..144
    int columns = 1;
    int rows = 1;
    int top = 0;
    int width = 0;
    int height = 0;
    int graph_width = 0;
    int graph_height = 0;
    int gap = -1;                      // neighbours share a one-pixel border
    int left_margin = 2;               // the grid's left edge, centred on the page
    std::vector<CoreGraphCell> cells;  // row by row, left to right; cells after the last processor stay empty
};

// The grid for `cpu_count` processors (taken into 1..144) below `top`, in a page area `panel_width` wide
// reaching down to `panel_height`. Columns grow until they outnumber the rows by two, then a row is added.
CoreGridLayout core_grid_layout(int cpu_count, int panel_width, int panel_height, int top, int left_margin);

// The processor count the grid and every per-processor table may use: 1..144.
int core_count_checked(int cpu_count);

// "CPU 03": the word, a blank and the core number padded with zeros to the digits of the count, cut to the
// 10 characters of a core label.
std::wstring core_graph_label(std::wstring_view cpu_word, int core, int cpu_count);

// The time a core graph spans, one pixel column per 2.5-second sample: "495 seconds", or with more than 600
// seconds "745 seconds (12.4 minutes)". `graph_width_pixels` includes the two border pixels.
std::wstring core_span_text(int graph_width_pixels, std::wstring_view seconds_word, std::wstring_view minutes_word);

// The six graphs of one GPU slot below y `top`: three rows of `graph_height`, two columns of
// panel_width / 2 - 1. Graph j of the slot is at index j.
std::array<UnitRect, GPU_GRAPHS_PER_SLOT> gpu_group_layout(int top, int graph_height, int panel_width, int left_margin);

// The GPU slot a selection may index: the selection when a GPU entry of that index exists (and the slot has
// graphs), else 0 — and -1 when there is no GPU entry at all.
int gpu_slot_checked(int selected, int entry_count);
