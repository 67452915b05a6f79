// The Networks tab: the unit and network filter boxes, the traffic list over the send and receive graphs, and
// the adapter list over the network events on the right.
#include <algorithm>
#include <utility>

#include "core/control_numbers.h"
#include "core/shared_state.h"
#include "runtime/gui/combo_box/combo_box.h"
#include "runtime/gui/control/control.h"
#include "ui/graph_descriptor.h"
#include "ui/main_window_pages.h"

void networks_page_build(const MainBuild& build) {
    const RatePage page = networks_page(build.layout);
    const int w = build.layout.graph_column_width;
    page_combo_create(COMBO_NETWORK_UNIT, TAB_NETWORKS, page.unit_combo, {shown(L"Bytes"), shown(L"Packets")}, 0);
    combo_box_create(COMBO_NETWORK_FILTER, gui_in_tab(PANEL_MAIN, TAB_NETWORKS), page.filter_combo.x,
                     page.filter_combo.y, page.filter_combo.width, page.filter_combo.height, 0);
    control_font_set(COMBO_NETWORK_FILTER, FONT_FIXED_SMALL);
    page_list_create(LIST_NETWORK_ID, TAB_NETWORKS, page.id_list, w,
                     {{L"Network ID", 0.24},
                      {L"Sent", 0.13},
                      {L"Sent Total", 0.22},
                      {L"Received", 0.13},
                      {L"Received Total", 0.22}});
    page_list_box_create(LIST_NETWORK_ADAPTERS, TAB_NETWORKS, page.side_list, FONT_FIXED_SMALL);
    page_list_create(LIST_NETWORK_EVENTS, TAB_NETWORKS, page.events_list, build.layout.side_column_width,
                     {{L"Network Events", 0.9}});

    const int g2 = page.graph_height;
    SharedInts[NET_RATE_TOP] = std::max(SharedInts[NET_RATE_TOP].load(), g2);
    for (const auto& [graph, place] :
         {std::pair{GRAPH_NET_SEND, page.upper_graph}, std::pair{GRAPH_NET_RECEIVE, page.lower_graph}}) {
        graph_create(graph, TAB_NETWORKS, place, SharedInts[graph].load());
        graph_set_attribute(graph, GRAPH_ATTR_TOP, SharedInts[NET_RATE_TOP].load());
        graph_set_attribute(graph, GRAPH_ATTR_VERTICAL_DIVISIONS, 10);
    }
}
