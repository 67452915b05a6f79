// The network monitor's Windows side: IP Helper (GetAdaptersInfo, GetIfTable and GetIfEntry2 bound by name)
// and WinINet's InternetGetConnectedState, loaded from the system folder.
#include <windows.h>
#include <winsock2.h>
#include <ws2ipdef.h>
// After the Winsock and Windows headers, which they need.
#include <iphlpapi.h>
#include <netioapi.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <mutex>
#include <vector>

#include "core/control_numbers.h"
#include "core/shared_state.h"
#include "network/adapter_scan.h"
#include "network/ip_geolocation.h"
#include "network/network_monitor.h"
#include "network/proxy_switch.h"
#include "runtime/leaf_lock.h"
#include "runtime/system_library_win.h"

namespace {

using GetAdaptersInfoProc = ULONG(WINAPI*)(PIP_ADAPTER_INFO, PULONG);
using GetIfTableProc = DWORD(WINAPI*)(PMIB_IFTABLE, PULONG, BOOL);
using GetIfEntry2Proc = DWORD(WINAPI*)(PMIB_IF_ROW2);
using InternetGetConnectedStateProc = BOOL(WINAPI*)(LPDWORD, DWORD);

static_assert(sizeof(MIB_IF_ROW2) == 1352, "MIB_IF_ROW2 as Windows lays it out");

HMODULE iphlpapi_module = nullptr;
HMODULE wininet_module = nullptr;
GetAdaptersInfoProc get_adapters_info = nullptr;
GetIfTableProc get_if_table = nullptr;
GetIfEntry2Proc get_if_entry2 = nullptr;
InternetGetConnectedStateProc internet_connected_state = nullptr;

std::wstring widen_ansi(std::string_view text) {
    if (text.empty()) return {};
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

bool loaded() { return SharedQuads[IPHLPAPI_LIBRARY].load() != 0; }

bool adapter_infos(std::vector<AdapterInfoFacts>& adapters) {
    adapters.clear();
    if (!get_adapters_info) return false;
    // The list can grow between the size query and the read: ask again with the new size a few times.
    ULONG size = 0;
    if (get_adapters_info(nullptr, &size) != ERROR_BUFFER_OVERFLOW || size == 0) return false;
    for (int attempt = 0; attempt < 3; ++attempt) {
        std::vector<IP_ADAPTER_INFO> buffer((size + sizeof(IP_ADAPTER_INFO) - 1) / sizeof(IP_ADAPTER_INFO));
        ULONG room = static_cast<ULONG>(buffer.size() * sizeof(IP_ADAPTER_INFO));
        const ULONG result = get_adapters_info(buffer.data(), &room);
        if (result == ERROR_BUFFER_OVERFLOW) {
            size = room;
            continue;
        }
        if (result != ERROR_SUCCESS) return false;
        adapters =
            adapter_infos_walk(buffer.data(), buffer.size() * sizeof(IP_ADAPTER_INFO), buffer.data(), widen_ansi);
        return true;
    }
    return false;
}

std::vector<uint32_t> interface_indexes() {
    std::vector<uint32_t> indexes;
    if (!get_if_table) return indexes;
    ULONG size = 0;
    if (get_if_table(nullptr, &size, FALSE) != ERROR_INSUFFICIENT_BUFFER || size == 0) return indexes;
    std::vector<uint8_t> buffer(size + sizeof(MIB_IFROW));
    size = static_cast<ULONG>(buffer.size());
    auto* table = reinterpret_cast<MIB_IFTABLE*>(buffer.data());
    if (get_if_table(table, &size, FALSE) != NO_ERROR) return indexes;
    const std::size_t room = (buffer.size() - offsetof(MIB_IFTABLE, table)) / sizeof(MIB_IFROW);
    const std::size_t count = std::min<std::size_t>(table->dwNumEntries, room);
    for (std::size_t i = 0; i < count; ++i) indexes.push_back(table->table[i].dwIndex);
    return indexes;
}

int64_t signed64(ULONG64 value) { return static_cast<int64_t>(value); }

// The LUIDs of the interfaces read lately, by index. A row asked for by its LUID is found directly; asked for
// by its index, the index is first turned into the LUID, which costs a second trip to the network stack each
// round (under Wine, a second request to its device service).
struct KnownLuid {
    uint32_t index = 0;
    NET_LUID luid{};
};
LeafLock known_luids_lock("KnownLuidsLock");
std::array<KnownLuid, 16> known_luids;
size_t known_luids_next = 0;

ULONG64 luid_known(uint32_t index) {
    std::lock_guard guard(known_luids_lock);
    for (const KnownLuid& known : known_luids) {
        if (known.index == index && known.luid.Value != 0) return known.luid.Value;
    }
    return 0;
}

void luid_remember(uint32_t index, ULONG64 luid) {
    std::lock_guard guard(known_luids_lock);
    for (KnownLuid& known : known_luids) {
        if (known.index == index) {
            known.luid.Value = luid;
            return;
        }
    }
    known_luids[known_luids_next] = KnownLuid{index, NET_LUID{luid}};
    known_luids_next = (known_luids_next + 1) % known_luids.size();
}

// The row of the interface with this index. A LUID is used only while it still names that index: an
// interface that went away and came back under another index is looked up by its index again.
bool if_row_read(uint32_t index, MIB_IF_ROW2& row) {
    if (const ULONG64 luid = luid_known(index)) {
        row = MIB_IF_ROW2{};
        row.InterfaceLuid.Value = luid;
        if (get_if_entry2(&row) == NO_ERROR && row.InterfaceIndex == index) return true;
        luid_remember(index, 0);
    }
    row = MIB_IF_ROW2{};
    row.InterfaceIndex = index;
    if (get_if_entry2(&row) != NO_ERROR) return false;
    luid_remember(index, row.InterfaceLuid.Value);
    return true;
}

bool interface_row(uint32_t index, InterfaceRowFacts& facts) {
    if (!get_if_entry2) return false;
    MIB_IF_ROW2 row;
    if (!if_row_read(index, row)) return false;
    facts = InterfaceRowFacts{};
    facts.index = index;
    std::size_t length = 0;
    while (length < IF_MAX_STRING_SIZE && row.Description[length] != L'\0') ++length;
    facts.description.assign(row.Description, length);
    facts.physical_length = std::min<ULONG>(row.PhysicalAddressLength, IF_MAX_PHYS_ADDRESS_LENGTH);
    std::copy(row.PhysicalAddress, row.PhysicalAddress + IF_MAX_PHYS_ADDRESS_LENGTH, facts.physical.begin());
    std::copy(row.PermanentPhysicalAddress, row.PermanentPhysicalAddress + IF_MAX_PHYS_ADDRESS_LENGTH,
              facts.permanent.begin());
    facts.mtu = row.Mtu;
    facts.type = row.Type;
    facts.tunnel_type = static_cast<uint32_t>(row.TunnelType);
    facts.access_type = static_cast<uint32_t>(row.AccessType);
    facts.direction_type = static_cast<uint32_t>(row.DirectionType);
    uint8_t flags = 0;
    std::memcpy(&flags, &row.InterfaceAndOperStatusFlags, 1);
    facts.flags = flags;
    facts.oper_status = static_cast<int32_t>(row.OperStatus);
    facts.admin_status = static_cast<int32_t>(row.AdminStatus);
    facts.media_state = static_cast<int32_t>(row.MediaConnectState);
    facts.connection_type = static_cast<int32_t>(row.ConnectionType);
    facts.transmit_speed = signed64(row.TransmitLinkSpeed);
    facts.receive_speed = signed64(row.ReceiveLinkSpeed);
    facts.in_octets = signed64(row.InOctets);
    facts.in_packets = signed64(row.InUcastPkts) + signed64(row.InNUcastPkts);
    facts.in_errors = signed64(row.InErrors);
    facts.out_octets = signed64(row.OutOctets);
    facts.out_packets = signed64(row.OutUcastPkts) + signed64(row.OutNUcastPkts);
    facts.out_errors = signed64(row.OutErrors);
    return true;
}

bool internet_state(uint32_t& flags) {
    DWORD value = 0;
    const BOOL connected = internet_connected_state ? internet_connected_state(&value, 0) : FALSE;
    flags = value;
    return connected != FALSE;
}

int32_t lookup(IPLocaleInfo& record) { return ip_geolocation_lookup(L"", record); }

}  // namespace

const NetPlatform& net_platform_default() {
    static const NetPlatform platform{.library_loaded = loaded,
                                      .adapter_infos = adapter_infos,
                                      .interface_indexes = interface_indexes,
                                      .interface_row = interface_row,
                                      .proxy_read = proxy_read,
                                      .internet_state = internet_state,
                                      .geolocation_lookup = lookup};
    return platform;
}

void network_libraries_load() {
    if (!iphlpapi_module) iphlpapi_module = system_library_load(L"iphlpapi.dll");
    library_function_bind(iphlpapi_module, "GetAdaptersInfo", get_adapters_info);
    library_function_bind(iphlpapi_module, "GetIfTable", get_if_table);
    library_function_bind(iphlpapi_module, "GetIfEntry2", get_if_entry2);
    // Without the interface rows nothing can be matched: the library counts as missing.
    SharedQuads[IPHLPAPI_LIBRARY] = get_adapters_info && get_if_table && get_if_entry2 ? LIBRARY_IPHLPAPI : 0;
    if (!wininet_module) wininet_module = system_library_load(L"wininet.dll");
    library_function_bind(wininet_module, "InternetGetConnectedState", internet_connected_state);
}

void network_libraries_free() {
    SharedQuads[IPHLPAPI_LIBRARY] = 0;
    get_adapters_info = nullptr;
    get_if_table = nullptr;
    get_if_entry2 = nullptr;
    internet_connected_state = nullptr;
    if (iphlpapi_module) FreeLibrary(iphlpapi_module);
    if (wininet_module) FreeLibrary(wininet_module);
    iphlpapi_module = nullptr;
    wininet_module = nullptr;
}
