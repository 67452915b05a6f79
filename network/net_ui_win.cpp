// The network monitor's windows on Windows: the filter's combo box, the network cells, the compact window's
// fit, the Networks tab's graphs and its clipboard copy.
#include <windows.h>

#include "core/control_numbers.h"
#include "network/adapter_scan.h"
#include "runtime/gui/combo_box/combo_box.h"
#include "ui/compact_window.h"
#include "ui/graph_control.h"
#include "ui/tab_clipboard.h"

namespace {

// Each item operation waits for the main thread: the caller holds no lock here.
void filter_items_set(const std::vector<std::wstring>& items, int selected) {
    combo_box_clear(COMBO_NETWORK_FILTER);
    for (const auto& item : items) combo_box_item_add(COMBO_NETWORK_FILTER, -1, item);
    combo_box_select(COMBO_NETWORK_FILTER, selected);
}

void cells_redraw() { cell_group_redraw(CELL_GROUP_NETWORK); }
void fit() { compact_window_fit(); }
void layout() { compact_window_layout(); }

void graph_sample_add(int graph, int64_t bytes, int64_t kilobytes) {
    rate_graph_autoscale(graph, bytes);
    graph_add_sample(graph, static_cast<float>(kilobytes), 1);
}

// The adapter thread owns the Networks tab: it serves the tab's copy.
void networks_copy() { clipboard_copy_tab(TAB_NETWORKS); }

void refresh() { graphs_refresh(TAB_NETWORKS, REFRESH_IF_VISIBLE, REFRESH_EVERY_CALL); }

}  // namespace

const NetUi& net_ui_default() {
    static const NetUi ui{.filter_items_set = filter_items_set,
                          .cells_redraw = cells_redraw,
                          .compact_window_fit = fit,
                          .compact_window_layout = layout,
                          .graph_sample_add = graph_sample_add,
                          .graphs_refresh = refresh,
                          .clipboard_copy = networks_copy};
    return ui;
}
