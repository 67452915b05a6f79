// The combo boxes of the monitoring tabs (GPU choice, drive filter, byte unit, adapter filter, traffic unit)
// as control handlers of the event loop. Main thread.
#pragma once

#include <string>

// What the adapter filter needs of the network monitor: the MAC text of the adapter with this number, or
// the empty text when no adapter has it. Without it the MAC text of the filter keeps its value.
using AdapterMacLookup = std::wstring (*)(int adapter_number);
void adapter_mac_lookup_set(AdapterMacLookup lookup);

// Adds the handlers of the five combo boxes.
void tab_control_handlers_add();
