// The adapter scan (the inventory of network adapters), the Networks tab's adapter list and the network
// filter, over a table of platform procedures that the tests replace.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "network/adapter_records.h"
#include "network/net_adapter_table.h"

struct IPLocaleInfo;

// What the network monitor asks of Windows. None of them may block without a bound.
struct NetPlatform {
    bool (*library_loaded)();  // the IP Helper library and its functions are bound
    // The adapter-information records; false when Windows cannot give them.
    bool (*adapter_infos)(std::vector<AdapterInfoFacts>& adapters);
    // The interface indexes Windows has now, in its order (they need not be 1..n).
    std::vector<uint32_t> (*interface_indexes)();
    // The interface row of that index; false when there is none.
    bool (*interface_row)(uint32_t index, InterfaceRowFacts& row);
    int32_t (*proxy_read)();  // ProxyEnable; keeps PROXY_SERVER
    // The internet connection flags; false when there is no connection.
    bool (*internet_state)(uint32_t& flags);
    // Fills the record with the geolocation of the computer's public address; 1 on success.
    int32_t (*geolocation_lookup)(IPLocaleInfo& record);
};

// What the network monitor does to the windows; the lists themselves are the program's list rows.
struct NetUi {
    void (*filter_items_set)(const std::vector<std::wstring>& items, int selected);
    void (*cells_redraw)();  // the network cells whose value changed
    void (*compact_window_fit)();
    void (*compact_window_layout)();
    // Autoscale the rate graph to the bytes and append the kilobytes as one sample.
    void (*graph_sample_add)(int graph, int64_t bytes, int64_t kilobytes);
    void (*graphs_refresh)();  // the Networks tab's graphs, when it is shown
    void (*clipboard_copy)();  // null while no clipboard copy exists
};

const NetPlatform& net_platform_default();
const NetUi& net_ui_default();

// The permanent or current address as "00:1A:2B:3C:4D:5E" (six bytes, upper-case hexadecimal).
std::wstring mac_address_text(const uint8_t* address);

// The OperStatus name ("Up", "Down", ... "Lower Layer Down"), or "Type" and the number.
std::wstring oper_status_name(int32_t status);

// One row of the adapter list as adapter_info_row writes it: the name alone for the value "blank", an empty
// row for an empty name, nothing (false) for an empty value, "0.0.0.0" or the zero lease time, otherwise
// the name padded to 17 (16 before a value that starts with "-"), a space and the value.
bool adapter_info_row_text(std::wstring_view name, std::wstring_view value, std::wstring& row);

// The text colour of the cell of the adapter at a table position: red 227, green 221 - 8 x position (never
// below 0), blue 176.
uint32_t adapter_cell_color(int position);

// Runs one scan: rebuilds the table, the cells 49..80, the adapter list and the lines of address and
// connection changes. Returns NET_LINES after a full scan, 0 when it stopped early.
int32_t adapter_scan_apply(const NetPlatform& platform);

// The scans made since start (the first one reports a missing IP Helper library).
int64_t adapter_scan_count();

// One filter item: "Filter" + " " + tag + ":" + number in 3 digits + " (" + mac + ")" + address right-aligned
// in 16 + " " + description.
std::wstring network_filter_item_text(const NetAdapter& adapter);

// Refills the network filter from the table, sets the cell colours and AdapterOperStatus.
void network_filter_apply(const NetUi& ui);

// The user picked filter item n (0 or -1: all adapters): the filter elements and the remembered address.
void network_filter_choose(int item);

// The scan and the filter over Windows and the program's windows, as start-up and the adapter thread run them.
int32_t network_adapters_refresh();
void network_filter_fill();

// Back to the start: no scans made, no addresses known (tests).
void adapter_scan_reset();
