// Without Windows there is no DNS client library to load.
#include "network/network_monitor.h"

int64_t dns_library_load(int) { return 0; }
void dns_library_free() {}
