// The network adapter table: one record per adapter of the last scan, guarded by its own leaf lock.
#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <string>

#include "core/fixed_text.h"
#include "core/shared_tables.h"
#include "runtime/leaf_lock.h"

// One adapter: its adapter-information facts (description, IPv4 addresses, DHCP and WINS) joined with its
// interface row (physical address, type, status, speeds and counters).
struct NetAdapter {
    int32_t number = 0;       // interface index of the matched row; 0: no row matched
    uint32_t info_index = 0;  // the interface index the adapter-information record names
    std::wstring description;
    FixedText<17> mac_text;
    FixedText<17> current_mac_text;
    int32_t mtu = 0;
    FixedText<17> type_text;
    FixedText<13> tunnel_text;
    FixedText<20> access_text;
    FixedText<20> direction_text;
    int32_t hardware_interface = 0;
    int32_t filter_interface = 0;
    int32_t connector_present = 0;
    int32_t not_authenticated = 0;
    int32_t not_media_connected = 0;
    int32_t paused = 0;
    int32_t low_power = 0;
    int32_t end_point = 0;
    int32_t oper_status = 0;  // 1 = up
    FixedText<16> oper_text;
    FixedText<7> admin_text;
    int32_t media_state = 0;  // 1 = connected
    FixedText<9> connection_text;
    int64_t transmit_speed = 0;  // bits per second
    int64_t receive_speed = 0;
    int32_t status_slot = 0;  // 1-based among the active adapters of the scan
    FixedText<2> tag;         // "N" + slot in hexadecimal, cut to 2; "NX" inactive
    int64_t sent_delta = 0;
    int64_t received_delta = 0;
    int64_t sent_total = 0;
    int64_t received_total = 0;
    int64_t packets_sent_delta = 0;
    int64_t packets_received_delta = 0;
    int64_t packets_sent_total = 0;
    int64_t packets_received_total = 0;
    int64_t send_errors_delta = 0;
    int64_t receive_errors_delta = 0;
    int64_t send_errors_total = 0;
    int64_t receive_errors_total = 0;
    int32_t counters_stale = 0;  // the last interface read found no row of this adapter
    int32_t active = 0;
    int32_t dhcp_enabled = 0;
    FixedText<30> lease_obtained_text;
    FixedText<30> lease_expires_text;
    int32_t have_wins = 0;
    FixedText<15> ip_address;
    FixedText<15> gateway;
    FixedText<15> dhcp_server;
    FixedText<15> wins1;
    FixedText<15> wins2;
    FixedText<15> ip_mask;
    FixedText<15> gateway_mask;
    FixedText<15> dhcp_mask;
    FixedText<15> wins1_mask;
    FixedText<15> wins2_mask;
    int32_t cell = 0;  // CompactCells index CELL_NETWORK_FIRST..CELL_NETWORK_LAST; 0: none
};

using NetAdapters = std::array<NetAdapter, NET_ADAPTER_COUNT>;

// Position 0 stays empty; adapters at 1..ADAPTER_COUNT. The adapter thread works on its own copy and
// replaces the table whole under NetAdapterLock (a leaf lock), so a reader on another thread never sees
// a table half rebuilt.
extern NetAdapters NetAdapterTable;
extern LeafLock NetAdapterLock;

// The whole table, copied under the lock.
NetAdapters net_adapters_copy();

// Replaces the whole table under the lock.
void net_adapters_publish(const NetAdapters& adapters);

// The permanent address text of the adapter with that interface number; the empty text when none has it.
std::wstring net_adapter_mac_of(int32_t number);
