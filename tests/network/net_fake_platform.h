// A machine of made-up network adapters in place of IP Helper, WinINet, the registry and the web service,
// and a recorder in place of the windows, for the network monitor's tests.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "core/control_numbers.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "network/adapter_scan.h"
#include "network/ip_geolocation.h"
#include "runtime/list_model.h"

inline bool FakeLibraryLoaded = true;
inline bool FakeInfosReadable = true;
inline std::vector<AdapterInfoFacts> FakeInfos;
inline std::vector<uint32_t> FakeIndexes;
inline std::map<uint32_t, InterfaceRowFacts> FakeRows;
inline int32_t FakeProxyEnabled = 0;
inline uint32_t FakeInternetFlags = 0x02;
inline bool FakeInternetConnected = true;
inline int FakeLookups = 0;
inline IPLocaleInfo FakeLookupReply;

struct FakeUiRecord {
    std::vector<std::wstring> filter_items;
    int filter_selected = -1;
    int redraws = 0;
    std::vector<std::pair<int, int64_t>> graph_samples;  // graph, kilobytes
};
inline FakeUiRecord FakeUi;

inline const NetPlatform& fake_net_platform() {
    static const NetPlatform platform{
        .library_loaded = [] { return FakeLibraryLoaded; },
        .adapter_infos =
            [](std::vector<AdapterInfoFacts>& adapters) {
                adapters = FakeInfos;
                return FakeInfosReadable;
            },
        .interface_indexes = [] { return FakeIndexes; },
        .interface_row =
            [](uint32_t index, InterfaceRowFacts& row) {
                const auto found = FakeRows.find(index);
                if (found == FakeRows.end()) return false;
                row = found->second;
                return true;
            },
        .proxy_read = [] { return FakeProxyEnabled; },
        .internet_state =
            [](uint32_t& flags) {
                flags = FakeInternetFlags;
                return FakeInternetConnected;
            },
        .geolocation_lookup =
            [](IPLocaleInfo& record) {
                ++FakeLookups;
                if (FakeLookupReply.status != L"success") return 0;
                record = FakeLookupReply;
                shared_text_set(IP_LOOKUP_TIME_TEXT, L": 2026-01-02 03:04:05");
                return 1;
            },
    };
    return platform;
}

inline const NetUi& fake_net_ui() {
    static const NetUi ui{
        .filter_items_set =
            [](const std::vector<std::wstring>& items, int selected) {
                FakeUi.filter_items = items;
                FakeUi.filter_selected = selected;
            },
        .cells_redraw = [] { ++FakeUi.redraws; },
        .compact_window_fit = [] {},
        .compact_window_layout = [] {},
        .graph_sample_add = [](int graph, int64_t,
                               int64_t kilobytes) { FakeUi.graph_samples.emplace_back(graph, kilobytes); },
        .graphs_refresh = [] {},
        .clipboard_copy = nullptr,
    };
    return ui;
}

inline AdapterInfoFacts fake_info(uint32_t index, std::wstring description, std::wstring address) {
    AdapterInfoFacts info;
    info.index = index;
    info.description = std::move(description);
    info.ip_address = std::move(address);
    info.ip_mask = L"255.255.255.0";
    info.gateway = L"0.0.0.0";
    info.dhcp_server = L"0.0.0.0";
    return info;
}

inline InterfaceRowFacts fake_row(uint32_t index, std::wstring description, uint8_t mac_last, int64_t in, int64_t out) {
    InterfaceRowFacts row;
    row.index = index;
    row.description = std::move(description);
    row.physical_length = 6;
    row.permanent = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, mac_last};
    row.physical = row.permanent;
    row.mtu = 1500;
    row.type = 6;
    row.access_type = 2;
    row.flags = 0x05;
    row.oper_status = 1;
    row.admin_status = 1;
    row.media_state = 1;
    row.connection_type = 1;
    row.transmit_speed = 1'000'000'000;
    row.receive_speed = 1'000'000'000;
    row.in_octets = in;
    row.out_octets = out;
    row.in_packets = in / 100;
    row.out_packets = out / 100;
    return row;
}

// A fresh program state: shared elements, lists, scans and the fake machine.
inline void net_test_reset() {
    shared_state_init(SharedStateFacts{});
    shared_tables_init();
    text_maps_load(LANGUAGE_ENGLISH);
    adapter_scan_reset();
    list_rows_clear(LIST_NETWORK_ADAPTERS);
    list_rows_clear(LIST_NETWORK_EVENTS);
    list_rows_clear(LIST_NETWORK_ID);
    IpLocale = IPLocaleInfo{};
    FakeLibraryLoaded = true;
    FakeInfosReadable = true;
    FakeInfos.clear();
    FakeIndexes.clear();
    FakeRows.clear();
    FakeProxyEnabled = 0;
    FakeInternetFlags = 0x02;
    FakeInternetConnected = true;
    FakeLookups = 0;
    FakeLookupReply = IPLocaleInfo{};
    FakeUi = FakeUiRecord{};
}

// The network event lines without their time stamps, newest first.
inline std::vector<std::wstring> net_event_texts() {
    std::vector<std::wstring> texts;
    for (const auto& row : list_rows_copy(LIST_NETWORK_EVENTS)) {
        const auto at = row.find(L" - ");
        texts.push_back(at == std::wstring::npos ? row : row.substr(at + 3));
    }
    return texts;
}
