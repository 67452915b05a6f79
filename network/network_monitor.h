// What start-up, the event loop and the exit call of the network monitor.
#pragma once

#include <cstdint>

#include "network/adapter_scan.h"
#include "network/adapter_thread.h"
#include "network/proxy_switch.h"

// Loads IP Helper (IPHLPAPI_LIBRARY is LIBRARY_IPHLPAPI when GetAdaptersInfo, GetIfTable and GetIfEntry2 are
// bound, else 0) and WinINet for the connection state. Start-up, before the first scan.
void network_libraries_load();
// The exit, after the adapter thread has ended.
void network_libraries_free();

// Loads the DNS client library and binds DnsQuery_W and DnsRecordListFree; the library's handle when both
// are bound, else 0 (the library is freed again). Start-up passes LIBRARY_DNSAPI and keeps the result in
// DNSAPI_LIBRARY.
int64_t dns_library_load(int number);
void dns_library_free();

// The user picked an item of the network filter (the combo box's change).
void network_filter_selected(int item);

// F6 on the Networks tab: a rescan with a geolocation lookup.
void network_lookup_ask();
