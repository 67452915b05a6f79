// The event loop's side of the network monitor: the filter choice.
#include "core/shared_state.h"
#include "network/adapter_scan.h"
#include "network/network_monitor.h"

void network_filter_selected(int item) { network_filter_choose(item); }
