// The Graphics tab: the GPU selector, the GPU lists, the GPU temperature strip and six graphs per GPU slot,
// of which only the chosen slot's stay visible.
#include <string>

#include "core/control_numbers.h"
#include "core/shared_state.h"
#include "runtime/gui/canvas/canvas.h"
#include "runtime/gui/combo_box/combo_box.h"
#include "runtime/gui/control/control.h"
#include "ui/graph_descriptor.h"
#include "ui/graph_draw.h"
#include "ui/main_layout_grid.h"
#include "ui/main_window_pages.h"
#include "ui/tab_redraw.h"

// A slot's "No Data" pictures are drawn when the slot is first shown rather than at the build: the graphs of
// the slots never chosen take no picture memory (six pictures for each of eight slots, most of them for GPUs
// the computer does not have). A graph that has a picture was drawn already, with or without samples.
void gpu_slot_placeholders_draw(int slot) {
    if (slot < 0 || slot >= GRAPH_GPU_SLOTS) return;
    const int n = SharedInts[GPU_GRAPH_START].load() + GPU_SLOT_STEP * slot;
    for (int j = 0; j < GPU_GRAPHS_PER_SLOT; ++j) {
        if (canvas_picture_made(n + j)) continue;
        const std::wstring title =
            L"G" + std::to_wstring(slot + 1) + L" - " + shown(GPU_GRAPH_NAMES[static_cast<size_t>(j)]);
        graph_draw(n + j, 128, title, L"", shown(L"No Data"), L"");
    }
}

void graphics_page_build(const MainBuild& build) {
    const GraphicsPage page = graphics_page(build.layout);
    const int w = build.layout.graph_column_width;
    combo_box_create(COMBO_GPU, gui_in_tab(PANEL_MAIN, TAB_GRAPHICS), page.gpu_combo.x, page.gpu_combo.y,
                     page.gpu_combo.width, page.gpu_combo.height, 0);
    control_font_set(COMBO_GPU, FONT_FIXED_SMALL);
    const std::wstring temperature_fan = shown(L"Temp") + L"+" + shown(L"Fan");
    page_list_create(
        LIST_GPU_ID, TAB_GRAPHICS, page.id_list, w,
        {{L"Graphics ID", 0.22}, {L"GPU", 0.17}, {L"Memory", 0.23}, {temperature_fan, 0.18, true}, {L"Power", 0.15}});
    page_list_box_create(LIST_GPU_INFO, TAB_GRAPHICS, page.info_list, FONT_FIXED_SMALL);
    page_strip_create(CANVAS_GPU_TEMPERATURE, TAB_GRAPHICS, page.temperature_strip);

    // Nothing is known of the GPUs yet; a selection that names no slot falls back to the first.
    const int shown_slot = gpu_slot_checked(SharedInts[GPU_SELECTED].load(), SharedInts[GPU_ENTRY_COUNT].load());
    const int visible_slot = shown_slot < 0 ? 0 : shown_slot;
    SharedInts[GPU_SELECTED] = visible_slot;
    const int g = build.rows.graph_height;
    const auto places = gpu_group_layout(page.groups_top, g, build.layout.panel_width, build.layout.left_margin);
    const int first = SharedInts[GPU_GRAPH_START].load();
    for (int slot = 0; slot < GRAPH_GPU_SLOTS; ++slot) {
        const int n = first + GPU_SLOT_STEP * slot;
        SharedInts[GPU_GRAPH_CURSOR] = n;
        for (int j = 0; j < GPU_GRAPHS_PER_SLOT; ++j) {
            const int graph = n + j;
            graph_create(graph, TAB_GRAPHICS, places[static_cast<size_t>(j)], SharedInts[GRAPH_GPU_COLORS + j].load());
            graph_set_attribute(graph, GRAPH_ATTR_VERTICAL_DIVISIONS, 8);
            if (j == GRAPH_GPU_POWER) graph_set_attribute(graph, GRAPH_ATTR_TOP, g);
            if (slot != visible_slot) control_visible_set(graph, false);
        }
    }
    gpu_slot_placeholders_draw(visible_slot);
    SharedInts[GPU_GRAPH_CURSOR] = first + GPU_GRAPH_SPAN;
}
