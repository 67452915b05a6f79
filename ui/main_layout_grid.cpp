// The per-processor graph grid, the core labels and span text, and the GPU graph groups.
#include "ui/main_layout_grid.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/shared_state.h"
#include "ui/graph_descriptor.h"

int core_count_checked(int cpu_count) { return std::clamp(cpu_count, 1, MAX_CPU_COUNT); }

CoreGridLayout core_grid_layout(int cpu_count, int panel_width, int panel_height, int top, int left_margin) {
    CoreGridLayout grid;
    grid.count = core_count_checked(cpu_count);
    while (grid.count > grid.columns * grid.rows) {
        if (grid.columns > grid.rows + 1) {
            --grid.columns;
            ++grid.rows;
        } else {
            ++grid.columns;
        }
    }
    grid.top = top;
    grid.width = panel_width;
    grid.height = panel_height - (top - 1);
    grid.graph_width = grid.width / grid.columns;
    grid.graph_height = grid.height / grid.rows;
    const double spare = panel_width - grid.graph_width * grid.columns + grid.columns - 1;
    grid.left_margin = left_margin + static_cast<int>(std::floor(spare / 2));

    int core = 0;
    for (int row = 0; row < grid.rows; ++row) {
        for (int column = 0; column < grid.columns && core < grid.count; ++column, ++core) {
            CoreGraphCell cell;
            cell.core = core;
            cell.place = {column * (grid.graph_width + grid.gap) + grid.left_margin,
                          row * (grid.graph_height + grid.gap) + grid.top, grid.graph_width, grid.graph_height};
            if (grid.rows < 5) {
                cell.horizontal_divisions = 4;
            } else if (grid.rows < 8) {
                cell.horizontal_divisions = 2;
            }
            if (grid.graph_width < 100) cell.vertical_divisions = 1;
            cell.no_value_labels = !(column == 0 && grid.rows <= 6);
            grid.cells.push_back(cell);
        }
    }
    return grid;
}

std::wstring core_graph_label(std::wstring_view cpu_word, int core, int cpu_count) {
    const size_t digits = std::to_wstring(core_count_checked(cpu_count)).size();
    std::wstring number = std::to_wstring(core);
    if (number.size() < digits) number.insert(0, digits - number.size(), L'0');
    std::wstring label(cpu_word);
    label += L' ';
    label += number;
    if (label.size() > 10) label.resize(10);
    return label;
}

std::wstring core_span_text(int graph_width_pixels, std::wstring_view seconds_word, std::wstring_view minutes_word) {
    const long seconds = std::lround((graph_width_pixels - 2) * 2.5);
    std::wstring text = std::to_wstring(seconds) + L" " + std::wstring(seconds_word);
    if (seconds > 600) {
        wchar_t minutes[32] = {};
        std::swprintf(minutes, 32, L"%.1f", static_cast<double>(seconds) / 60.0);
        text += L" (" + std::wstring(minutes) + L" " + std::wstring(minutes_word) + L")";
    }
    return text;
}

std::array<UnitRect, GPU_GRAPHS_PER_SLOT> gpu_group_layout(int top, int graph_height, int panel_width,
                                                           int left_margin) {
    const int width = panel_width / 2 - 1;
    const int g = graph_height;
    const int right = left_margin + width;
    return {UnitRect{left_margin, top + 2, width, g},
            UnitRect{left_margin, top + g, width, g},
            UnitRect{left_margin, top + 2 * g - 1, width, g},
            UnitRect{right, top + 2, width, g},
            UnitRect{right, top + g, width, g},
            UnitRect{right, top + 2 * g - 1, width, g}};
}

int gpu_slot_checked(int selected, int entry_count) {
    if (entry_count <= 0) return -1;
    const int entries = std::min(entry_count, GRAPH_GPU_SLOTS);
    return selected >= 0 && selected < entries ? selected : 0;
}
