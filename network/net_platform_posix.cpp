// The network monitor without Windows: no adapters, no proxy, no lookup; the lists alone.
#include "network/adapter_scan.h"
#include "network/network_monitor.h"

namespace {

bool loaded() { return false; }
bool adapter_infos(std::vector<AdapterInfoFacts>& adapters) {
    adapters.clear();
    return false;
}
std::vector<uint32_t> interface_indexes() { return {}; }
bool interface_row(uint32_t, InterfaceRowFacts&) { return false; }
int32_t proxy_none() { return 0; }
bool internet_state(uint32_t& flags) {
    flags = 0;
    return false;
}
int32_t lookup(IPLocaleInfo&) { return 0; }

void filter_items_set(const std::vector<std::wstring>&, int) {}
void nothing() {}
void graph_sample_add(int, int64_t, int64_t) {}

}  // namespace

const NetPlatform& net_platform_default() {
    static const NetPlatform platform{.library_loaded = loaded,
                                      .adapter_infos = adapter_infos,
                                      .interface_indexes = interface_indexes,
                                      .interface_row = interface_row,
                                      .proxy_read = proxy_none,
                                      .internet_state = internet_state,
                                      .geolocation_lookup = lookup};
    return platform;
}

const NetUi& net_ui_default() {
    static const NetUi ui{.filter_items_set = filter_items_set,
                          .cells_redraw = nothing,
                          .compact_window_fit = nothing,
                          .compact_window_layout = nothing,
                          .graph_sample_add = graph_sample_add,
                          .graphs_refresh = nothing,
                          .clipboard_copy = nullptr};
    return ui;
}

void network_libraries_load() {}
void network_libraries_free() {}
