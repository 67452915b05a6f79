// The event loop's side of the network monitor: the filter choice and F6's lookup request.
#include "core/shared_state.h"
#include "network/adapter_scan.h"
#include "network/network_monitor.h"

void network_filter_selected(int item) { network_filter_choose(item); }

void network_lookup_ask() {
    SharedInts[IP_LOOKUP_REQUEST] = 1;
    SharedInts[NET_RESCAN_REQUEST] = 1;
}
