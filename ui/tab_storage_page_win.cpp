// The Storage tab: the unit and drive filter boxes, the drive list over the disk read and write graphs, and
// the Storage Monitor list on the right.
#include <algorithm>
#include <string>
#include <utility>

#include "core/control_numbers.h"
#include "core/shared_state.h"
#include "runtime/gui/combo_box/combo_box.h"
#include "runtime/gui/control/control.h"
#include "ui/graph_descriptor.h"
#include "ui/main_window_pages.h"

void storage_page_build(const MainBuild& build) {
    const RatePage page = storage_page(build.layout);
    const int w = build.layout.graph_column_width;
    page_combo_create(COMBO_BYTE_UNIT, TAB_STORAGE, page.unit_combo,
                      {shown(L"Auto"), shown(L"Byte"), L"KB", L"MB", L"GB", L"TB"}, 0);
    combo_box_create(COMBO_DRIVE_FILTER, gui_in_tab(PANEL_MAIN, TAB_STORAGE), page.filter_combo.x, page.filter_combo.y,
                     page.filter_combo.width, page.filter_combo.height, 0);
    control_font_set(COMBO_DRIVE_FILTER, FONT_FIXED_SMALL);
    page_list_create(
        LIST_DRIVE_ID, TAB_STORAGE, page.id_list, w,
        {{L"Drive ID", 0.24}, {L"Free", 0.21}, {L"LastDiff", 0.14}, {L"TotalDiff", 0.14}, {L"Used", 0.21}});
    page_list_box_create(LIST_STORAGE_MONITOR, TAB_STORAGE, page.side_list, FONT_FIXED_SMALL);
    shared_text_set(SAGA_LIST_NAMES, shared_text(SAGA_LIST_NAMES) + std::to_wstring(LIST_STORAGE_MONITOR) + L"~" +
                                         shown(L"Storage Monitor") + L"~");

    // The first top of the rate graphs is at least the graphs' height, so a quiet disk still shows a scale.
    const int g2 = page.graph_height;
    SharedInts[DISK_RATE_TOP] = std::max(SharedInts[DISK_RATE_TOP].load(), g2);
    for (const auto& [graph, place] :
         {std::pair{GRAPH_DISK_READ, page.upper_graph}, std::pair{GRAPH_DISK_WRITE, page.lower_graph}}) {
        graph_create(graph, TAB_STORAGE, place, SharedInts[graph].load());
        graph_set_attribute(graph, GRAPH_ATTR_TOP, SharedInts[DISK_RATE_TOP].load());
        graph_set_attribute(graph, GRAPH_ATTR_VERTICAL_DIVISIONS, 10);
    }
}
