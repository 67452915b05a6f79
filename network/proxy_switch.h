// The proxy switch: the current user's proxy setting (Internet Settings: ProxyEnable, ProxyServer), read at
// every scan and turned off and on again with F7 on the Networks tab.
#pragma once

#include <cstdint>
#include <string>

// ProxyEnable (0 when the key or the value cannot be read); a non-empty ProxyServer goes into PROXY_SERVER
// without surrounding spaces, so that the last known server survives a switch-off.
int32_t proxy_read();

// Sets ProxyEnable to 0 and leaves ProxyServer as it is, so that the user's server is never lost. 1 on success.
int32_t proxy_remove();

// Sets ProxyEnable to 1 and ProxyServer to the server; 0 at once for an empty server. 1 on success.
int32_t proxy_restore(const std::wstring& server);

// F7 on the Networks tab: removes an enabled proxy, or restores the last known server; reports the outcome
// in the network events and asks the adapter thread for a rescan. Does nothing when no proxy is enabled
// and none is known.
void proxy_switch_toggle();
