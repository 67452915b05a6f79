// The functions of the DNS client library, bound by name at start-up (dns_library_load).
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <windns.h>

// The headers make DnsRecordListFree a macro over DnsFree; the DLL still exports the function.
using DnsRecordListFreeProc = VOID(WINAPI*)(PDNS_RECORD records, DNS_FREE_TYPE free_type);

// Both null until dns_library_load bound them; read-only afterwards.
struct DnsFunctions {
    decltype(&::DnsQuery_W) query = nullptr;
    DnsRecordListFreeProc record_list_free = nullptr;
};

const DnsFunctions& dns_functions();
