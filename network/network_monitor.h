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
