// The ping monitor's questions to Windows: ICMP echoes, DNS queries and ARP, each function found by name.
#include <windows.h>
#include <winsock2.h>
// ipexport.h and windns.h need the types of windows.h first.
#include <ipexport.h>
#include <windns.h>

#include <atomic>
#include <cstring>
#include <vector>

#include "core/control_numbers.h"
#include "core/shared_state.h"
#include "core/system_query.h"
#include "network/host_naming.h"
#include "network/ping_monitor.h"
#include "runtime/program_libraries.h"
#include "runtime/system_library_win.h"
#include "runtime/text.h"

namespace {

using IcmpCreateFileProc = HANDLE(WINAPI*)();
using IcmpCloseHandleProc = BOOL(WINAPI*)(HANDLE);
using IcmpSendEchoProc = DWORD(WINAPI*)(HANDLE, IPAddr, LPVOID, WORD, PIP_OPTION_INFORMATION, LPVOID, DWORD, DWORD);
using DnsQueryProc = DNS_STATUS(WINAPI*)(PCWSTR, WORD, DWORD, PVOID, PDNS_RECORD*, PVOID*);
using DnsRecordListFreeProc = VOID(WINAPI*)(PDNS_RECORD, DNS_FREE_TYPE);
using SendArpProc = DWORD(WINAPI*)(IPAddr, IPAddr, PVOID, PULONG);

// The echo's 32 request bytes: "Sotrix echo data" in UTF-16.
constexpr char16_t ECHO_DATA[] = u"Sotrix echo data";
constexpr WORD ECHO_DATA_BYTES = 32;
static_assert(sizeof(ECHO_DATA) - sizeof(char16_t) == ECHO_DATA_BYTES);
// An ICMP error (time exceeded, unreachable) returns the original IP header and 8 data bytes as well: the
// reply record, the request's bytes, 8 bytes of an ICMP error and the largest IP header (60 bytes).
constexpr DWORD ECHO_REPLY_BYTES = sizeof(ICMP_ECHO_REPLY) + ECHO_DATA_BYTES + 8 + 60;

struct IcmpFunctions {
    IcmpCreateFileProc create = nullptr;
    IcmpCloseHandleProc close = nullptr;
    IcmpSendEchoProc send = nullptr;
};

// Bound once, on first use, from icmp.dll (or iphlpapi.dll, which holds the same functions); never freed.
const IcmpFunctions& icmp_functions() {
    static const IcmpFunctions functions = [] {
        IcmpFunctions found;
        for (const wchar_t* name : {L"icmp.dll", L"iphlpapi.dll"}) {
            HMODULE module = system_library_load(name);
            if (!module) continue;
            if (library_function_bind(module, "IcmpCreateFile", found.create) &&
                library_function_bind(module, "IcmpCloseHandle", found.close) &&
                library_function_bind(module, "IcmpSendEcho", found.send)) {
                return found;
            }
            FreeLibrary(module);
            found = {};
        }
        return found;
    }();
    return functions;
}

std::atomic<DnsQueryProc> dns_query{nullptr};
std::atomic<DnsRecordListFreeProc> dns_list_free{nullptr};
std::atomic<SendArpProc> send_arp{nullptr};

EchoResult echo(uint32_t address, int timeout_ms) {
    EchoResult result;
    const IcmpFunctions& icmp = icmp_functions();
    if (!icmp.create || !icmp.send || !icmp.close) return result;
    HANDLE handle = icmp.create();
    if (handle == INVALID_HANDLE_VALUE) return result;
    std::vector<unsigned char> reply(ECHO_REPLY_BYTES, 0);
    char16_t data[ECHO_DATA_BYTES / 2];
    std::memcpy(data, ECHO_DATA, ECHO_DATA_BYTES);
    const DWORD count = icmp.send(handle, address, data, ECHO_DATA_BYTES, nullptr, reply.data(),
                                  static_cast<DWORD>(reply.size()), static_cast<DWORD>(timeout_ms));
    ICMP_ECHO_REPLY first;
    std::memcpy(&first, reply.data(), sizeof(first));
    result.answered = count > 0 && first.Status == IP_SUCCESS;
    result.time_ms = result.answered ? static_cast<int32_t>(first.RoundTripTime) : -1;
    result.ttl = first.Options.Ttl;
    result.tos = first.Options.Tos;
    icmp.close(handle);
    return result;
}

DnsFirstRecord dns_first(const std::wstring& name, uint16_t type) {
    DnsFirstRecord first;
    const DnsQueryProc query = dns_query.load();
    const DnsRecordListFreeProc list_free = dns_list_free.load();
    if (!query || !list_free) return first;
    PDNS_RECORD records = nullptr;
    const DNS_STATUS status = query(name.c_str(), type, DNS_QUERY_STANDARD, nullptr, &records, nullptr);
    if (status == 0 && records) {
        first.answered = true;
        first.type = records->wType;
        if (records->wType == DNS_TYPE_A) {
            first.address = records->Data.A.IpAddress;
        } else if ((records->wType == DNS_TYPE_CNAME || records->wType == DNS_TYPE_PTR) &&
                   records->Data.PTR.pNameHost) {
            // The target ends within the record list; it is cut to a DNS name's length in any case.
            const wchar_t* target = records->Data.PTR.pNameHost;
            first.target.assign(target, wcsnlen(target, 256));
        }
    }
    if (records) list_free(records, DnsFreeRecordList);
    return first;
}

std::wstring arp_mac_address(uint32_t address) {
    const SendArpProc arp = send_arp.load();
    if (!arp || SharedQuads[PING_IPHLPAPI_LIBRARY].load() == 0 || !is_private_ipv4(address)) return {};
    unsigned char bytes[8] = {};  // room beyond the six bytes asked for, should the length come back larger
    ULONG length = 6;
    const DWORD status = arp(address, 0, bytes, &length);
    return mac_text_from_arp(status, bytes, length);
}

void arp_bind() {
    if (library_load(LIBRARY_PING_IPHLPAPI, L"iphlpapi.dll") == 0) return;
    SharedQuads[PING_IPHLPAPI_LIBRARY] = LIBRARY_PING_IPHLPAPI;
    send_arp = reinterpret_cast<SendArpProc>(library_function(LIBRARY_PING_IPHLPAPI, "SendARP"));
}

uint64_t address_space_left() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof(status);
    return GlobalMemoryStatusEx(&status) ? status.ullAvailVirtual : 0;
}

}  // namespace

const PingPlatform& ping_platform_default() {
    static const PingPlatform platform{echo,     dns_first,        arp_mac_address,
                                       arp_bind, wait_next_second, address_space_left};
    return platform;
}

int64_t dns_library_load(int number) {
    if (library_load(number, L"Dnsapi.dll") == 0) return 0;
    auto query = reinterpret_cast<DnsQueryProc>(library_function(number, "DnsQuery_W"));
    auto list_free = reinterpret_cast<DnsRecordListFreeProc>(library_function(number, "DnsRecordListFree"));
    if (!query || !list_free) {
        library_free(number);
        return 0;
    }
    dns_list_free = list_free;
    dns_query = query;
    return number;
}

uint32_t dns_resolve_ipv4(const std::wstring& name) { return dns_resolve_with(dns_first, name); }

std::wstring dns_reverse_lookup(uint32_t address) { return dns_reverse_with(dns_first, address); }
