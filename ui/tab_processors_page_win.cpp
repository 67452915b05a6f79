// The Processors tab: the processor facts and speed lists, the CPU temperature strip and one graph per
// logical processor in a grid.
#include "core/control_numbers.h"
#include "core/data_block.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "runtime/gui/dpi/dpi_win.h"
#include "ui/graph_descriptor.h"
#include "ui/main_layout_grid.h"
#include "ui/main_window_pages.h"

void processors_page_build(const MainBuild& build) {
    const ProcessorsPage page = processors_page(build.layout, build.window_width);
    const int l = page.list_base_width;
    page_list_create(LIST_CPU_BASE_SPEED, TAB_PROCESSORS, page.base_speed_list, l,
                     {{L"Base Speed", 0.1},
                      {L"Brand", 0.13},
                      {L"CPU Description", 0.45},
                      {L"L2 + L3 Cache", 0.12},
                      {L"Cores ( Logicals )", 0.16}});
    page_list_create(LIST_CPU_SPEED, TAB_PROCESSORS, page.speed_list, l,
                     {{L"Speed", 0.1},
                      {L"Load%", 0.1},
                      {L"Processes", 0.1},
                      {L"Threads", 0.11},
                      {L"Handles", 0.11},
                      {L"P-State", 0.1},
                      {L"C-States", 0.36}});
    page_strip_create(CANVAS_CPU_TEMPERATURE, TAB_PROCESSORS, page.temperature_strip);

    // The processor count indexes the core table and the colour table: it is held to what they have.
    const int count = core_count_checked(SharedInts[CPU_COUNT].load());
    SharedInts[CPU_COUNT] = count;
    const CoreGridLayout grid = core_grid_layout(count, build.layout.panel_width, build.layout.panel_height,
                                                 page.grid_top, build.layout.left_margin);
    SharedInts[CORE_GRID_COLUMNS] = grid.columns;
    SharedInts[CORE_GRID_ROWS] = grid.rows;
    SharedInts[CORE_GRID_TOP] = grid.top;
    SharedInts[CORE_GRID_WIDTH] = grid.width;
    SharedInts[CORE_GRID_HEIGHT] = grid.height;
    SharedInts[CORE_GRAPH_WIDTH] = grid.graph_width;
    SharedInts[CORE_GRAPH_HEIGHT] = grid.graph_height;
    SharedInts[CORE_GRAPH_GAP] = grid.gap;
    shared_text_set(CORE_SPAN_TEXT, core_span_text(gui_scale(grid.graph_width), shown(L"seconds"), shown(L"minutes")));

    const std::wstring cpu_word = shown(L"CPU");
    DataBlockCursor colors = data_block_cursor(DATA_CORE_COLORS);
    const int first_graph = SharedInts[CORE_GRAPH_START].load();
    for (const CoreGraphCell& cell : grid.cells) {
        CpuCoreEntry& entry = CpuCoreTable[static_cast<size_t>(cell.core)];
        // Start-up numbers the graphs; a table left unnumbered still gets the documented numbers.
        if (entry.graph < first_graph || entry.graph >= first_graph + MAX_CPU_COUNT)
            entry.graph = first_graph + cell.core;
        const int graph = entry.graph;
        const int32_t color = data_block_read_int32(colors);
        SharedInts[graph] = color;
        graph_create(graph, TAB_PROCESSORS, cell.place, color);
        graph_set_attribute(graph, GRAPH_ATTR_HORIZONTAL_DIVISIONS, cell.horizontal_divisions);
        graph_set_attribute(graph, GRAPH_ATTR_VERTICAL_DIVISIONS, cell.vertical_divisions);
        graph_set_attribute(graph, GRAPH_ATTR_NO_TIME_LABELS, 1);
        graph_set_attribute(graph, GRAPH_ATTR_NO_VALUE_LABELS, cell.no_value_labels ? 1 : 0);
        entry.label = core_graph_label(cpu_word, cell.core, count);
    }
    SharedInts[CORE_GRAPH_LAST] = static_cast<int32_t>(grid.cells.size()) - 1;
}
