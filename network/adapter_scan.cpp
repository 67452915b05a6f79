// The adapter scan: joins the adapter-information records with the interface rows, fills the adapter table,
// the network cells and the Networks tab's adapter list, reports address and connection changes, and the
// network filter built from the result.
#include "network/adapter_scan.h"

#include "network/ip_geolocation.h"

#include <algorithm>
#include <cwchar>
#include <mutex>
#include <utility>

#include "core/control_numbers.h"
#include "core/event_lists.h"
#include "core/format_bytes.h"
#include "core/format_number.h"
#include "core/format_text.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "runtime/date.h"
#include "runtime/list_model.h"

namespace {

std::atomic<int64_t> scan_count{0};

constexpr wchar_t LEASE_MASK[] = L"%yyyy-%mm-%dd %hh:%ii:%ss";
constexpr wchar_t NO_ADDRESS[] = L"0.0.0.0";
constexpr wchar_t NO_MAC[] = L"00:00:00:00:00:00";

std::wstring number_text(int64_t value) { return std::to_wstring(value); }

std::wstring three_digits(int32_t number) {
    std::wstring text = std::to_wstring(number < 0 ? 0 : number);
    if (text.size() < 3) text.insert(0, 3 - text.size(), L'0');
    return text;
}

std::wstring hex_upper(int value) {
    wchar_t buffer[16];
    std::swprintf(buffer, 16, L"%X", static_cast<unsigned>(value));
    return buffer;
}

// A name of a numbered table, or "Type" and the number.
std::wstring table_name(uint32_t value, std::initializer_list<std::pair<uint32_t, const wchar_t*>> names) {
    for (const auto& [number, name] : names) {
        if (number == value) return tr(name);
    }
    return tr(L"Type") + L" " + number_text(value);
}

std::wstring type_name(uint32_t type) {
    return table_name(type, {{1, L"Other"},
                             {6, L"Ethernet"},
                             {9, L"Token Ring"},
                             {15, L"FDDI (Fiber)"},
                             {23, L"PPP"},
                             {24, L"Software Loopback"},
                             {37, L"ATM"},
                             {71, L"802.11 Wireless"},
                             {131, L"Tunnel"},
                             {144, L"1394 (Firewire)"},
                             {237, L"Mobile (WiMax)"},
                             {243, L"Mobile (GSM)"},
                             {244, L"Mobile (CDMA)"}});
}

std::wstring tunnel_name(uint32_t tunnel) {
    return table_name(tunnel, {{0, L"None"},
                               {1, L"Other"},
                               {2, L"Direct"},
                               {3, L"GRE"},
                               {4, L"Minimal"},
                               {5, L"L2TP"},
                               {6, L"PPTP"},
                               {7, L"L2F"},
                               {8, L"UDP"},
                               {9, L"ATMP"},
                               {10, L"MSDP"},
                               {11, L"6to4"},
                               {12, L"6over4"},
                               {13, L"ISATAP"},
                               {14, L"Teredo"},
                               {15, L"IPHTTPS"},
                               {16, L"Softwire Mesh"},
                               {17, L"DS-Lite"}});
}

std::wstring direction_name(uint32_t direction) {
    return table_name(direction, {{0, L"Send/Receive"}, {1, L"Send Only"}, {2, L"Receive Only"}, {3, L"Maximum"}});
}

// The interface facts of the row go into the adapter.
void adapter_fill_from_row(NetAdapter& adapter, const InterfaceRowFacts& row) {
    adapter.number = static_cast<int32_t>(row.index);
    adapter.mac_text = row.physical_length != 0 ? mac_address_text(row.permanent.data()) : NO_MAC;
    adapter.current_mac_text = row.physical_length != 0 ? mac_address_text(row.physical.data()) : NO_MAC;
    adapter.mtu = static_cast<int32_t>(row.mtu);
    adapter.type_text = type_name(row.type);
    adapter.tunnel_text = tunnel_name(row.tunnel_type);
    adapter.access_text = choose_text(
        static_cast<int32_t>(row.access_type),
        {tr(L"Loopback"), tr(L"Broadcast"), tr(L"Point To Point"), tr(L"Point To Multi-Point"), tr(L"Maximum")});
    adapter.direction_text = direction_name(row.direction_type);
    int32_t* flags[] = {
        &adapter.hardware_interface,  &adapter.filter_interface, &adapter.connector_present, &adapter.not_authenticated,
        &adapter.not_media_connected, &adapter.paused,           &adapter.low_power,         &adapter.end_point};
    for (int bit = 0; bit < 8; ++bit) *flags[bit] = (row.flags >> bit) & 1;
    adapter.oper_status = row.oper_status;
    adapter.oper_text = oper_status_name(row.oper_status);
    adapter.admin_text = choose_text(row.admin_status, {tr(L"Up"), tr(L"Down"), tr(L"Testing")});
    adapter.media_state = row.media_state;
    adapter.connection_text =
        choose_text(row.connection_type, {tr(L"Dedicated"), tr(L"Passive"), tr(L"Demand"), tr(L"Maximum")});
    adapter.transmit_speed = row.transmit_speed;
    adapter.receive_speed = row.receive_speed;
}

void adapter_fill_from_info(NetAdapter& adapter, const AdapterInfoFacts& info) {
    adapter.info_index = info.index;
    adapter.description = info.description;
    adapter.ip_address = info.ip_address;
    adapter.ip_mask = info.ip_mask;
    adapter.gateway = info.gateway;
    adapter.gateway_mask = info.gateway_mask;
    adapter.dhcp_server = info.dhcp_server;
    adapter.dhcp_mask = info.dhcp_mask;
    adapter.dhcp_enabled = info.dhcp_enabled;
    adapter.lease_obtained_text = date_format(LEASE_MASK, info.lease_obtained);
    adapter.lease_expires_text = date_format(LEASE_MASK, info.lease_expires);
    adapter.have_wins = info.have_wins;
    adapter.wins1 = info.wins1;
    adapter.wins1_mask = info.wins1_mask;
    adapter.wins2 = info.wins2;
    adapter.wins2_mask = info.wins2_mask;
}

// The adapter a row belongs to: the one not yet matched whose record names the row's index, otherwise the
// first one not yet matched with the row's description. 0 when none.
std::size_t adapter_for_row(const NetAdapters& adapters, std::size_t count, const std::vector<bool>& matched,
                            const InterfaceRowFacts& row) {
    for (std::size_t j = 1; j <= count; ++j) {
        if (!matched[j] && adapters[j].info_index != 0 && adapters[j].info_index == row.index) return j;
    }
    for (std::size_t j = 1; j <= count; ++j) {
        if (!matched[j] && adapters[j].description == row.description) return j;
    }
    return 0;
}

void rows_add(std::vector<std::wstring>& rows, std::wstring_view name, std::wstring_view value) {
    std::wstring row;
    if (adapter_info_row_text(name, value, row)) rows.push_back(std::move(row));
}

// The rows of one adapter, top first.
std::vector<std::wstring> adapter_block(const NetAdapter& a, const InterfaceRowFacts& row) {
    std::vector<std::wstring> rows;
    const std::wstring blank = L"blank";
    rows_add(rows, L"", L"");
    rows_add(
        rows,
        L"-- " + a.tag.str() + L":" + three_digits(a.number) + date_format(L" %yyyy-%mm-%dd %hh:%ii:%ss", date_now()),
        blank);
    std::wstring description = a.description.substr(0, 45);
    description.resize(45, L' ');
    rows_add(rows, description, blank);
    rows_add(rows, tr(L"Interface Type"), a.hardware_interface ? tr(L"Hardware") : tr(L"Software"));
    rows_add(rows, tr(L"Physical Address"), a.mac_text.view());
    if (a.current_mac_text.view() != a.mac_text.view()) {
        rows_add(rows, tr(L"Alternate MAC"), a.current_mac_text.view());
    }
    rows_add(rows, tr(L"MTU"), number_text(a.mtu));
    rows_add(rows, tr_padded(L"Interface    ") + L"#" + number_text(row.type), a.type_text.view());
    rows_add(rows, tr_padded(L"Tunnel       ") + L"#" + number_text(row.tunnel_type), a.tunnel_text.view());
    rows_add(rows, tr_padded(L"Access       ") + L"#" + number_text(row.access_type), a.access_text.view());
    rows_add(rows, tr_padded(L"Direction    ") + L"#" + number_text(row.direction_type), a.direction_text.view());
    rows_add(rows, tr(L"Filter Module"), yes_no_text(a.filter_interface));
    rows_add(rows, tr(L"Connector"), yes_no_text(a.connector_present));
    rows_add(rows, tr(L"Authenticated"), yes_no_text(a.not_authenticated == 0));
    rows_add(rows, tr(L"Connected"),
             (a.not_media_connected ? tr(L"No") : tr(L"Yes")) + L" (" +
                 (a.media_state == 1 ? tr(L"Connected") : tr(L"Disconnected")) + L")");
    rows_add(rows, tr(L"Paused"), yes_no_text(a.paused));
    rows_add(rows, tr(L"Low Power Mode"), yes_no_text(a.low_power));
    rows_add(rows, tr(L"End Point"), yes_no_text(a.end_point));
    rows_add(rows, tr_padded(L"OperStatus   ") + L"#" + number_text(row.oper_status), a.oper_text.view());
    rows_add(rows, tr_padded(L"AdminStatus  ") + L"#" + number_text(row.admin_status), a.admin_text.view());
    rows_add(rows, tr(L"Transmit Speed"), format_bytes(a.transmit_speed, FORMAT_BYTES_LINK_SPEED));
    rows_add(rows, tr(L"Receive Speed"), format_bytes(a.receive_speed, FORMAT_BYTES_LINK_SPEED));
    rows_add(rows, tr(L"Active"), yes_no_text(a.active));
    rows_add(rows, tr(L"IP Address"), a.ip_address.view());
    rows_add(rows, tr(L"Subnet Mask"), a.ip_mask.view());
    rows_add(rows, tr(L"Gateway IP"), a.gateway.view());
    if (a.gateway.view() != NO_ADDRESS) rows_add(rows, tr(L"Gateway Mask"), a.gateway_mask.view());
    rows_add(rows, tr(L"DHCP Enabled"), yes_no_text(a.dhcp_enabled));
    rows_add(rows, tr(L"DHCP Address"), a.dhcp_server.view());
    rows_add(rows, tr(L"DHCP Mask"), a.dhcp_mask.view());
    rows_add(rows, tr(L"DHCP Lease"), a.lease_obtained_text.view());
    rows_add(rows, tr(L"DHCP Ends"), a.lease_expires_text.view());
    rows_add(rows, tr(L"WINS Enabled"), yes_no_text(a.have_wins));
    rows_add(rows, tr(L"WINS 1 Address"), a.wins1.view());
    rows_add(rows, tr(L"WINS 1 Mask"), a.wins1_mask.view());
    rows_add(rows, tr(L"WINS 2 Address"), a.wins2.view());
    rows_add(rows, tr(L"WINS 2 Mask"), a.wins2_mask.view());
    if (a.receive_errors_total > 0) rows_add(rows, tr(L"Errors Recv"), number_text(a.receive_errors_total));
    if (a.send_errors_total > 0) rows_add(rows, tr(L"Errors Sent"), number_text(a.send_errors_total));
    return rows;
}

// The proxy block, top first: the state and, when known, the server.
std::vector<std::wstring> proxy_block(int32_t enabled) {
    std::vector<std::wstring> rows;
    const std::wstring blank = L"blank";
    const std::wstring server = shared_text(PROXY_SERVER);
    rows_add(rows, L"", L"");
    if (enabled) {
        rows_add(rows, L"-- " + tr(L"Proxy") + L" [F7=" + tr(L"Remove") + L"]: " + tr(L"Active"), blank);
        if (!server.empty()) rows_add(rows, tr(L"Proxy Address") + L": " + server, blank);
    } else if (!server.empty()) {
        rows_add(rows, L"-- " + tr(L"Proxy") + L" [F7=" + tr(L"Restore") + L"]: " + tr(L"Inactive"), blank);
        rows_add(rows, L"(" + tr(L"Old") + L") " + tr(L"Proxy Address") + L": " + server, blank);
    } else {
        rows_add(rows, L"-- " + tr(L"Proxy") + L": " + tr(L"Inactive"), blank);
    }
    return rows;
}

void cells_reset(const NetAdapters& adapters) {
    std::lock_guard guard(CellDrawMutex);
    for (int cell = CELL_NETWORK_FIRST; cell <= CELL_NETWORK_LAST; ++cell) {
        CompactCells[cell].shown = CELL_HIDDEN;
        CompactCells[cell].drawn_text = L"";
    }
    for (const NetAdapter& adapter : adapters) {
        if (adapter.cell >= CELL_NETWORK_FIRST && adapter.cell <= CELL_NETWORK_LAST) {
            CompactCells[adapter.cell].shown = CELL_SHOWN;
        }
    }
}

}  // namespace

std::wstring mac_address_text(const uint8_t* address) {
    std::wstring text;
    for (int i = 0; i < 6; ++i) {
        wchar_t part[4];
        std::swprintf(part, 4, L"%02X", static_cast<unsigned>(address[i]));
        if (i > 0) text += L':';
        text += part;
    }
    return text;
}

std::wstring oper_status_name(int32_t status) {
    return choose_text(status, {tr(L"Up"), tr(L"Down"), tr(L"Testing"), tr(L"Unknown"), tr(L"Dormant"),
                                tr(L"Not Present"), tr(L"Lower Layer Down")});
}

bool adapter_info_row_text(std::wstring_view name, std::wstring_view value, std::wstring& row) {
    if (name.empty()) {
        row.clear();
        return true;
    }
    if (value == L"blank") {
        row = name;
        return true;
    }
    if (value.empty() || value == NO_ADDRESS || value == date_format(LEASE_MASK, 0)) return false;
    const std::size_t width = value.front() == L'-' ? 16 : 17;
    row = name.substr(0, width);
    row.resize(width, L' ');
    row += L' ';
    row += value;
    return true;
}

uint32_t adapter_cell_color(int position) {
    const int green = std::clamp(221 - 8 * position, 0, 255);
    return 227u | (static_cast<uint32_t>(green) << 8) | (176u << 16);
}

int64_t adapter_scan_count() { return scan_count.load(); }

void adapter_scan_reset() {
    scan_count = 0;
    for (int j = 0; j < NET_ADAPTER_COUNT; ++j) adapter_ipv4_text_set(j, L"");
    net_adapters_publish(NetAdapters{});
}

int32_t adapter_scan_apply(const NetPlatform& platform) {
    const int64_t scan = ++scan_count;
    if (SharedInts[QUIT_FLAG].load() != 0) return 0;
    SharedInts[ADAPTER_COUNT] = 0;
    SharedInts[ACTIVE_CONNECTIONS] = 0;
    SharedInts[ADAPTERS_MATCHED] = 0;
    SharedInts[INTERFACE_COUNT] = 0;
    if (!platform.library_loaded()) {
        SharedInts[NET_LINES] = 0;
        if (scan == 1) list_rows_insert(LIST_NETWORK_ADAPTERS, 0, tr(L"Unable to load") + L" iphlpapi.dll");
        return 0;
    }
    if (SharedInts[QUIT_FLAG].load() != 0) return 0;

    NetAdapters adapters{};
    std::vector<AdapterInfoFacts> infos;
    const bool listed = platform.adapter_infos(infos);
    if (!listed) {
        net_adapters_publish(adapters);
        cells_reset(adapters);
        list_rows_clear(LIST_NETWORK_ADAPTERS);
        SharedInts[NET_LINES] = 0;
        return 0;
    }
    const std::size_t count = std::min(infos.size(), ADAPTER_RECORDS_MAX);
    SharedInts[ADAPTER_COUNT] = static_cast<int32_t>(count);
    for (std::size_t j = 1; j <= count; ++j) adapter_fill_from_info(adapters[j], infos[j - 1]);

    const std::vector<uint32_t> indexes = platform.interface_indexes();
    SharedInts[INTERFACE_COUNT] = static_cast<int32_t>(indexes.size());
    std::vector<bool> matched(count + 1, false);
    std::vector<std::vector<std::wstring>> blocks;
    int cell = CELL_NETWORK_FIRST - 1;
    int slot = 0;
    int32_t active_count = 0;
    std::size_t matched_count = 0;
    for (const uint32_t index : indexes) {
        if (matched_count == count) break;
        InterfaceRowFacts row;
        if (!platform.interface_row(index, row)) continue;
        row.index = index;
        const std::size_t j = adapter_for_row(adapters, count, matched, row);
        if (j == 0) continue;
        matched[j] = true;
        ++matched_count;
        NetAdapter& adapter = adapters[j];
        adapter.sent_total = row.out_octets;
        adapter.received_total = row.in_octets;
        adapter.packets_sent_total = row.out_packets;
        adapter.packets_received_total = row.in_packets;
        adapter.send_errors_total = row.out_errors;
        adapter.receive_errors_total = row.in_errors;
        if (row.out_octets + row.in_octets > 0 && cell < CELL_NETWORK_LAST) {
            adapter.active = 1;
            adapter.cell = ++cell;
            adapter.status_slot = ++slot;
            adapter.tag = L"N" + hex_upper(slot);
            ++active_count;
        } else {
            adapter.active = 0;
            adapter.tag = L"NX";
        }
        adapter_fill_from_row(adapter, row);

        std::wstring known = adapter_ipv4_text(static_cast<int>(j));
        if (known.empty()) known = NO_ADDRESS;
        if (adapter.ip_address.view() != known) {
            adapter_ipv4_text_set(static_cast<int>(j), adapter.ip_address.str());
            event_line_add(LIST_NETWORK_EVENTS, adapter.tag.str() + L" IPv4: " + adapter.ip_address.str());
            if (adapter.ip_address.view() != NO_ADDRESS) SharedInts[IP_LOOKUP_REQUEST] = 1;
        }
        if (shared_text(DEFAULT_GATEWAY_TEXT).empty() && !adapter.gateway.empty() &&
            adapter.gateway.view() != NO_ADDRESS) {
            shared_text_set(DEFAULT_GATEWAY_TEXT, adapter.gateway.str());
        }
        blocks.push_back(adapter_block(adapter, row));
    }
    SharedInts[ADAPTERS_MATCHED] = static_cast<int32_t>(matched_count);
    SharedInts[ACTIVE_CONNECTIONS] = active_count;

    net_adapters_publish(adapters);
    cells_reset(adapters);

    if (SharedInts[NET_LINES].load() != active_count) {
        event_line_add(LIST_NETWORK_EVENTS, tr(L"Active Connections") + L": " + number_text(active_count));
        SharedInts[NET_LINES] = active_count;
        SharedInts[IP_LOOKUP_REQUEST] = 1;
    }

    const int32_t proxy_enabled = platform.proxy_read();
    SharedInts[PROXY_ENABLED] = proxy_enabled;
    if (SharedInts[IP_LOOKUP_REQUEST].load() == 1) {
        SharedInts[IP_LOOKUP_REQUEST] = 0;
        platform.geolocation_lookup(IpLocale);
    }
    std::vector<std::wstring> rows = ip_lookup_rows(IpLocale);
    const std::vector<std::wstring> proxy = proxy_block(proxy_enabled);
    rows.insert(rows.end(), proxy.begin(), proxy.end());
    // The adapter matched last stands at the top.
    for (auto block = blocks.rbegin(); block != blocks.rend(); ++block)
        rows.insert(rows.end(), block->begin(), block->end());
    list_rows_assign(LIST_NETWORK_ADAPTERS, std::move(rows));
    return SharedInts[NET_LINES].load();
}

std::wstring network_filter_item_text(const NetAdapter& adapter) {
    return tr(L"Filter") + L" " + adapter.tag.str() + L":" + three_digits(adapter.number) + L" (" +
           adapter.mac_text.str() + L")" + right_justify(adapter.ip_address.view(), 16) + L" " + adapter.description;
}

void network_filter_apply(const NetUi& ui) {
    if (SharedInts[QUIT_FLAG].load() != 0) return;
    const NetAdapters adapters = net_adapters_copy();
    std::vector<std::wstring> items{tr(L"Show ALL Active Networks")};
    std::wstring numbers;
    int selected = 0;
    SharedInts[NET_FILTER_ITEM] = 0;
    const std::wstring chosen_mac = shared_text(NET_FILTER_MAC);
    const int count = std::clamp(SharedInts[ADAPTER_COUNT].load(), 0, NET_ADAPTER_COUNT - 1);
    {
        std::lock_guard guard(CellDrawMutex);
        for (int j = 1; j <= count; ++j) {
            const NetAdapter& adapter = adapters[j];
            if (adapter.cell < CELL_NETWORK_FIRST || adapter.cell > CELL_NETWORK_LAST) continue;
            CompactCell& cell = CompactCells[adapter.cell];
            cell.text_color = static_cast<int32_t>(
                adapter.receive_speed == 0 || adapter.oper_status != 1 ? Palette[18] : adapter_cell_color(j));
            cell.back_color = 0;
        }
    }
    for (int j = 1; j <= count; ++j) {
        const NetAdapter& adapter = adapters[j];
        if (adapter.cell <= 0) continue;
        items.push_back(network_filter_item_text(adapter));
        if (adapter.status_slot > 0 && adapter.status_slot < NET_ADAPTER_COUNT) {
            AdapterOperStatus[adapter.status_slot] = adapter.oper_status;
        }
        numbers += three_digits(adapter.number);
        if (!chosen_mac.empty() && adapter.mac_text.view() == chosen_mac)
            SharedInts[NET_FILTER_ADAPTER] = adapter.number;
        if (SharedInts[NET_FILTER_ADAPTER].load() == adapter.number) {
            selected = static_cast<int>(items.size()) - 1;
        }
    }
    shared_text_set(NET_FILTER_ADAPTERS, numbers);
    if (selected == 0) SharedInts[NET_FILTER_ADAPTER] = -1;
    SharedInts[NET_FILTER_ITEM] = selected;
    ui.filter_items_set(items, selected);
}

void network_filter_choose(int item) {
    SharedInts[NET_FILTER_ITEM] = item < 0 ? 0 : item;
    if (item <= 0) {
        SharedInts[NET_FILTER_ADAPTER] = -1;
        shared_text_set(NET_FILTER_MAC, L"");
        return;
    }
    const std::wstring numbers = shared_text(NET_FILTER_ADAPTERS);
    const std::size_t at = static_cast<std::size_t>(item - 1) * 3;
    if (at + 3 > numbers.size()) return;
    int32_t number = 0;
    for (std::size_t i = at; i < at + 3; ++i) {
        if (numbers[i] < L'0' || numbers[i] > L'9') return;
        number = number * 10 + (numbers[i] - L'0');
    }
    SharedInts[NET_FILTER_ADAPTER] = number;
    const std::wstring mac = net_adapter_mac_of(number);
    if (!mac.empty()) shared_text_set(NET_FILTER_MAC, mac);
}

int32_t network_adapters_refresh() { return adapter_scan_apply(net_platform_default()); }

void network_filter_fill() { network_filter_apply(net_ui_default()); }
