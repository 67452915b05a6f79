// The ping monitor's questions to Windows: ICMP echoes, DNS queries and ARP, each function found by name.
#include <windows.h>
#include <winsock2.h>
// ipexport.h and windns.h need the types of windows.h first.
#include <ipexport.h>
#include <windns.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <memory>

#include "core/control_numbers.h"
#include "core/shared_state.h"
#include "core/system_query.h"
#include "network/host_naming.h"
#include "network/ping_monitor.h"
#include "runtime/program_libraries.h"
#include "runtime/system_library_win.h"
#include "runtime/text.h"
#include "runtime/worker_timer.h"

namespace {

using IcmpCreateFileProc = HANDLE(WINAPI*)();
using IcmpCloseHandleProc = BOOL(WINAPI*)(HANDLE);
// The APC routine (a PIO_APC_ROUTINE of winternl.h) is passed as a plain pointer.
using IcmpSendEcho2Proc = DWORD(WINAPI*)(HANDLE, HANDLE, PVOID, PVOID, IPAddr, LPVOID, WORD, PIP_OPTION_INFORMATION,
                                         LPVOID, DWORD, DWORD);
using IcmpParseRepliesProc = DWORD(WINAPI*)(LPVOID, DWORD);
using DnsQueryProc = DNS_STATUS(WINAPI*)(PCWSTR, WORD, DWORD, PVOID, PDNS_RECORD*, PVOID*);
using DnsRecordListFreeProc = VOID(WINAPI*)(PDNS_RECORD, DNS_FREE_TYPE);
using SendArpProc = DWORD(WINAPI*)(IPAddr, IPAddr, PVOID, PULONG);

// The echo's 32 request bytes: "Sotrix echo data" in UTF-16.
constexpr char16_t ECHO_DATA[] = u"Sotrix echo data";
constexpr WORD ECHO_DATA_BYTES = 32;
static_assert(sizeof(ECHO_DATA) - sizeof(char16_t) == ECHO_DATA_BYTES);
// An ICMP error (time exceeded, unreachable) returns the original IP header and 8 data bytes as well: the
// reply record, the request's bytes, 8 bytes of an ICMP error and the largest IP header (60 bytes); an echo
// sent asynchronously also keeps its I/O status block (two pointers) in the buffer. Each echo's buffer starts
// on a 16-byte boundary of the batch's block, as the reply record's pointer needs.
constexpr DWORD ECHO_REPLY_BYTES =
    static_cast<DWORD>((sizeof(ICMP_ECHO_REPLY) + ECHO_DATA_BYTES + 8 + 60 + 2 * sizeof(void*) + 15) / 16 * 16);
// The longest wait for the APCs of ended echoes (each normally comes with its echo's event), and the pause
// before echoes turned away unsent go again.
constexpr DWORD ECHO_APC_WAIT_MS = 100;
constexpr int ECHO_RESEND_PAUSE_MS = 50;
static_assert(PING_ECHO_BATCH <= MAXIMUM_WAIT_OBJECTS);

struct IcmpFunctions {
    IcmpCreateFileProc create = nullptr;
    IcmpCloseHandleProc close = nullptr;
    IcmpSendEcho2Proc send = nullptr;
    IcmpParseRepliesProc parse = nullptr;
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
                library_function_bind(module, "IcmpSendEcho2", found.send) &&
                library_function_bind(module, "IcmpParseReplies", found.parse)) {
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

// The outcome in a reply buffer that holds `count` reply records; the first one's options also with none (an
// ICMP error's), and zero where nothing was written.
EchoResult echo_reply_record(const unsigned char* reply, DWORD count) {
    EchoResult result;
    ICMP_ECHO_REPLY first;
    std::memcpy(&first, reply, sizeof(first));
    result.answered = count > 0 && first.Status == IP_SUCCESS;
    result.time_ms = result.answered ? static_cast<int32_t>(first.RoundTripTime) : -1;
    result.ttl = first.Options.Ttl;
    result.tos = first.Options.Tos;
    return result;
}

// An ended echo whose buffer holds no reply record, not even a time-out's: the system turned it away unsent.
bool echo_turned_away(const unsigned char* reply, DWORD count) {
    ICMP_ECHO_REPLY first;
    std::memcpy(&first, reply, sizeof(first));
    return count == 0 && first.Status == IP_SUCCESS;
}

// Each echo also has an APC routine, which only counts the calling thread's echoes whose APC has not run yet.
// Wine 8 keeps its own record of an echo, where the echo's I/O status lands at its end, until that APC has run;
// for an echo sent with an event alone it frees the record at once, and the late status then overwrites freed
// heap memory. So the batch waits alertably, letting the APCs run.
thread_local size_t echo_apcs_due = 0;
void NTAPI echo_apc_count(void*, void*, ULONG) { --echo_apcs_due; }

// A batch's echoes on one ICMP handle, each with its event and a reply buffer in one block.
struct EchoBatch {
    const IcmpFunctions& icmp;
    HANDLE handle = INVALID_HANDLE_VALUE;
    size_t count = 0;
    std::unique_ptr<unsigned char[]> replies;
    std::array<HANDLE, PING_ECHO_BATCH> events{};
    std::array<bool, PING_ECHO_BATCH> to_send{};  // the echoes of the next wave

    unsigned char* reply(size_t n) const { return replies.get() + n * ECHO_REPLY_BYTES; }
};

// Sends the wave's echoes; those now pending are listed in `waits` and `waited`, and their number returned. An
// echo refused at once stays unanswered, one answered at once (not asynchronously) is recorded.
size_t echo_wave_send(EchoBatch& batch, const uint32_t* addresses, DWORD timeout, EchoResult* results,
                      std::array<HANDLE, PING_ECHO_BATCH>& waits, std::array<size_t, PING_ECHO_BATCH>& waited) {
    char16_t data[ECHO_DATA_BYTES / 2];
    std::memcpy(data, ECHO_DATA, ECHO_DATA_BYTES);
    size_t waiting = 0;
    for (size_t n = 0; n < batch.count; ++n) {
        if (!batch.to_send[n]) continue;
        batch.to_send[n] = false;
        ResetEvent(batch.events[n]);
        std::memset(batch.reply(n), 0, ECHO_REPLY_BYTES);
        const DWORD sent =
            batch.icmp.send(batch.handle, batch.events[n], reinterpret_cast<PVOID>(echo_apc_count), nullptr,
                            addresses[n], data, ECHO_DATA_BYTES, nullptr, batch.reply(n), ECHO_REPLY_BYTES, timeout);
        if (sent == 0 && GetLastError() == ERROR_IO_PENDING) {
            ++echo_apcs_due;
            waits[waiting] = batch.events[n];
            waited[waiting] = n;
            ++waiting;
        } else if (sent != 0) {
            results[n] = echo_reply_record(batch.reply(n), sent);  // the records are parsed already
        }
    }
    return waiting;
}

// Waits for a wave's pending echoes, up to their time-out and the margin, then lets their APCs run. False when
// the bound ended the wait.
bool echo_wave_wait(const std::array<HANDLE, PING_ECHO_BATCH>& waits, size_t waiting, DWORD timeout) {
    const size_t apcs_due_before = echo_apcs_due - waiting;
    const ULONGLONG deadline = GetTickCount64() + timeout + PING_ECHO_MARGIN_MS;
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        const DWORD left = now < deadline ? static_cast<DWORD>(deadline - now) : 0;
        const DWORD wait = WaitForMultipleObjectsEx(static_cast<DWORD>(waiting), waits.data(), TRUE, left, TRUE);
        if (wait == WAIT_IO_COMPLETION) continue;
        if (wait >= WAIT_OBJECT_0 + waiting) return false;
        break;
    }
    // Each APC comes with its echo's event or just after.
    while (echo_apcs_due > apcs_due_before && SleepEx(ECHO_APC_WAIT_MS, TRUE) == WAIT_IO_COMPLETION) {
    }
    return true;
}

// The batch's echoes, all sent at once and waited for together. An echo that the system turned away unsent goes
// again in a later wave (Wine's ICMP service holds at most 256 echoes at once, of every program of its session,
// and turns more away): after a pause, and only while the batch is within PING_ECHO_WAVES time-outs of its start.
void echo_batch(const uint32_t* addresses, size_t count, int timeout_ms, EchoResult* results) {
    count = std::min(count, PING_ECHO_BATCH);
    for (size_t n = 0; n < count; ++n) results[n] = EchoResult{false, -1, 0, 0};
    EchoBatch batch{icmp_functions()};
    if (count == 0 || !batch.icmp.create || !batch.icmp.send || !batch.icmp.close || !batch.icmp.parse) return;
    batch.handle = batch.icmp.create();
    if (batch.handle == INVALID_HANDLE_VALUE) return;
    batch.count = count;
    batch.replies = std::make_unique<unsigned char[]>(count * ECHO_REPLY_BYTES);
    for (size_t n = 0; n < count; ++n) {
        batch.events[n] = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        batch.to_send[n] = batch.events[n] != nullptr;
    }
    const DWORD timeout = static_cast<DWORD>(std::max(timeout_ms, 1));
    const ULONGLONG last_wave = GetTickCount64() + static_cast<ULONGLONG>(PING_ECHO_WAVES - 1) * timeout;
    std::array<HANDLE, PING_ECHO_BATCH> waits{};
    std::array<size_t, PING_ECHO_BATCH> waited{};
    bool all_ended = true;
    for (;;) {
        const size_t waiting = echo_wave_send(batch, addresses, timeout, results, waits, waited);
        if (waiting == 0) break;
        all_ended = echo_wave_wait(waits, waiting, timeout);
        bool resend = false;
        for (size_t w = 0; w < waiting; ++w) {
            const size_t n = waited[w];
            if (WaitForSingleObject(waits[w], 0) != WAIT_OBJECT_0) continue;
            // The driver's reply becomes reply records here; a time-out counts none.
            const DWORD replies = batch.icmp.parse(batch.reply(n), ECHO_REPLY_BYTES);
            results[n] = echo_reply_record(batch.reply(n), replies);
            if (echo_turned_away(batch.reply(n), replies)) batch.to_send[n] = resend = true;
        }
        if (!all_ended || !resend || GetTickCount64() >= last_wave) break;
        if (quit_event_wait(ECHO_RESEND_PAUSE_MS)) break;
    }
    for (HANDLE event : batch.events) {
        if (event) CloseHandle(event);
    }
    batch.icmp.close(batch.handle);
    // An echo that has not ended by now may still write its reply: its buffer is never freed.
    if (!all_ended) batch.replies.release();
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
    static const PingPlatform platform{echo_batch, dns_first,        arp_mac_address,
                                       arp_bind,   wait_next_second, address_space_left};
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
