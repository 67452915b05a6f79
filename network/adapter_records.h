// The two Windows views of the network adapters as plain facts, and the walk over the adapter-information
// records by their Next links.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One adapter-information record (IP_ADAPTER_INFO): the first entry of each address list.
struct AdapterInfoFacts {
    uint32_t index = 0;  // the interface index Windows gives the adapter
    std::wstring description;
    std::wstring ip_address, ip_mask, gateway, gateway_mask, dhcp_server, dhcp_mask;
    std::wstring wins1, wins1_mask, wins2, wins2_mask;
    int32_t dhcp_enabled = 0;
    int32_t have_wins = 0;
    int64_t lease_obtained = 0;  // seconds since 1970 as Windows stores them
    int64_t lease_expires = 0;
};

// One interface row (MIB_IF_ROW2): the facts the scan and the adapter thread use.
struct InterfaceRowFacts {
    uint32_t index = 0;
    std::wstring description;
    uint32_t physical_length = 0;
    std::array<uint8_t, 32> physical{};
    std::array<uint8_t, 32> permanent{};
    uint32_t mtu = 0;
    uint32_t type = 0;
    uint32_t tunnel_type = 0;
    uint32_t access_type = 0;
    uint32_t direction_type = 0;
    uint8_t flags = 0;  // InterfaceAndOperStatusFlags, bits 0..7
    int32_t oper_status = 0;
    int32_t admin_status = 0;
    int32_t media_state = 0;
    int32_t connection_type = 0;
    int64_t transmit_speed = 0;
    int64_t receive_speed = 0;
    int64_t in_octets = 0, in_packets = 0, in_errors = 0;
    int64_t out_octets = 0, out_packets = 0, out_errors = 0;
};

// The most adapter records a scan takes (NetAdapterTable positions 1..31).
inline constexpr std::size_t ADAPTER_RECORDS_MAX = 31;

// The text of a fixed char array up to its first zero, never beyond the array.
template <std::size_t N>
std::string_view fixed_chars(const char (&chars)[N]) {
    std::size_t length = 0;
    while (length < N && chars[length] != '\0') ++length;
    return std::string_view(chars, length);
}

// Walks the records from `first` by their Next links, each of which must lie whole inside the buffer
// [buffer, buffer + size) at an address aligned for a record: a record with a second address or gateway keeps
// those in the same buffer, between the records, so the records are not at fixed distances. A link outside the
// buffer, or to a place where no record can start, ends the walk; at most ADAPTER_RECORDS_MAX records are taken.
// `Info` is IP_ADAPTER_INFO or a record of the same members; `widen` turns the ANSI texts into wide ones.
template <typename Info, typename Widen>
std::vector<AdapterInfoFacts> adapter_infos_walk(const void* buffer, std::size_t size, const Info* first, Widen widen) {
    std::vector<AdapterInfoFacts> facts;
    const auto* begin = static_cast<const unsigned char*>(buffer);
    const auto inside = [begin, size](const void* record) {
        const auto* at = static_cast<const unsigned char*>(record);
        return record != nullptr && at >= begin && size >= sizeof(Info) &&
               static_cast<std::size_t>(at - begin) <= size - sizeof(Info) &&
               reinterpret_cast<std::uintptr_t>(record) % alignof(Info) == 0;
    };
    for (const Info* info = first; inside(info) && facts.size() < ADAPTER_RECORDS_MAX; info = info->Next) {
        AdapterInfoFacts adapter;
        adapter.index = static_cast<uint32_t>(info->Index);
        adapter.description = widen(fixed_chars(info->Description));
        adapter.ip_address = widen(fixed_chars(info->IpAddressList.IpAddress.String));
        adapter.ip_mask = widen(fixed_chars(info->IpAddressList.IpMask.String));
        adapter.gateway = widen(fixed_chars(info->GatewayList.IpAddress.String));
        adapter.gateway_mask = widen(fixed_chars(info->GatewayList.IpMask.String));
        adapter.dhcp_server = widen(fixed_chars(info->DhcpServer.IpAddress.String));
        adapter.dhcp_mask = widen(fixed_chars(info->DhcpServer.IpMask.String));
        adapter.wins1 = widen(fixed_chars(info->PrimaryWinsServer.IpAddress.String));
        adapter.wins1_mask = widen(fixed_chars(info->PrimaryWinsServer.IpMask.String));
        adapter.wins2 = widen(fixed_chars(info->SecondaryWinsServer.IpAddress.String));
        adapter.wins2_mask = widen(fixed_chars(info->SecondaryWinsServer.IpMask.String));
        adapter.dhcp_enabled = info->DhcpEnabled ? 1 : 0;
        adapter.have_wins = info->HaveWins ? 1 : 0;
        // Lower 32 bits, signed: 64-bit Windows stores a 64-bit time_t, i386 a 32-bit one.
        adapter.lease_obtained = static_cast<int32_t>(static_cast<uint32_t>(info->LeaseObtained));
        adapter.lease_expires = static_cast<int32_t>(static_cast<uint32_t>(info->LeaseExpires));
        facts.push_back(std::move(adapter));
    }
    return facts;
}
