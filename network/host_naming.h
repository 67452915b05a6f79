// Host naming for the ping monitor: texts from the network made safe, DNS answers followed a bounded number
// of hops, private addresses, hardware addresses from ARP, and the host-name lookup worker with its queue.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Keeps the printable characters of a text that came from outside (a PTR name, a vendor name, a typed
// description): controls (C0, DEL, C1), line and paragraph separators and the direction overrides go.
std::wstring host_text_clean(std::wstring_view text);

// A name from a PTR record as a host description: cleaned, without the trailing ".", lower case, at most
// PING_HOST_TEXT_MAX characters.
std::wstring host_name_from_ptr(std::wstring_view name);

// True for a DNS host name that may be opened: labels of letters, digits and "-" (not at either end), 1 to 63
// characters each, at least two labels, at most 253 characters.
bool dns_name_valid(std::wstring_view name);

// 1 for 10.0.0.0/8, 172.16.0.0/12 and 192.168.0.0/16 (first octet in the lowest byte), else 0.
int is_private_ipv4(uint32_t address);

// "20.1.168.192.IN-ADDR.ARPA" for 192.168.1.20.
std::wstring reverse_query_name(uint32_t address);

// The hardware address SendARP gave as "00:1A:2B:3C:4D:5E"; empty unless the call succeeded with exactly six
// bytes that are neither all zero nor all one (an unanswered or broadcast entry).
std::wstring mac_text_from_arp(uint32_t status, const uint8_t* bytes, uint32_t length);

// The first record of a DNS answer, as the naming reads it.
enum DnsRecordType : uint16_t { DNS_RECORD_A = 1, DNS_RECORD_CNAME = 5, DNS_RECORD_PTR = 12 };
struct DnsFirstRecord {
    bool answered = false;  // the query succeeded with at least one record
    uint16_t type = 0;
    uint32_t address = 0;  // type A
    std::wstring target;   // types CNAME and PTR
};
using DnsQueryFirst = DnsFirstRecord (*)(const std::wstring& name, uint16_t type);

// CNAME answers followed in a row before a name counts as unresolved.
inline constexpr int DNS_CNAME_HOPS_MAX = 8;

// The IPv4 address of a name, following CNAME answers (at most DNS_CNAME_HOPS_MAX); 0 when it does not resolve.
uint32_t dns_resolve_with(DnsQueryFirst query, const std::wstring& name);
// The PTR name of an address, cleaned as host_name_from_ptr; empty when there is none.
std::wstring dns_reverse_with(DnsQueryFirst query, uint32_t address);

// The names waiting for the lookup worker: PING_ADD_QUEUE, changed only under the queue's lock.
// Adds the blank-separated names of a text at the end.
void lookup_queue_add(std::wstring_view names);
// Takes the first name (and removes its first occurrence, compared without regard to case); empty when none.
std::wstring lookup_queue_take();
// Empties the queue (a full list stops the worker after the name in hand).
void lookup_queue_clear();
bool lookup_queue_empty();

// The lookup worker's work: while the queue holds names and QUIT_FLAG is 0, waits until PING_REQ_ADD_HOST is
// free (0), then hands the next name over in PING_ADD_NAME and its address (or -1) in PING_REQ_ADD_HOST.
// `resolve` gives 0 for a name that does not resolve. Returns when the queue is empty or on a quit.
void lookup_worker_run(uint32_t (*resolve)(const std::wstring& name));

// Starts the lookup worker unless one runs: one thread at a time, its number kept in PING_LOOKUP_THREAD (and
// watched by the exit). A worker that finds the queue empty ends. Any thread.
void lookup_worker_start(uint32_t (*resolve)(const std::wstring& name));
// The running worker's thread number, 0 when none runs.
int64_t lookup_worker_thread();
