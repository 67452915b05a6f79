// The proxy switch without Windows: there is no registry, so no proxy is ever read or written.
#include "network/proxy_switch.h"

int32_t proxy_read() { return 0; }
int32_t proxy_remove() { return 0; }
int32_t proxy_restore(const std::wstring&) { return 0; }
