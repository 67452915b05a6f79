// The controls of the monitoring tabs as control handlers of the event loop: the combo boxes (GPU choice,
// drive filter, byte unit, adapter filter, traffic unit), the system header and the graphs' colour choice.
// Main thread.
#pragma once

#include <string>

// What the adapter filter needs of the network monitor: the MAC text of the adapter with this number, or
// the empty text when no adapter has it. Without it the MAC text of the filter keeps its value.
using AdapterMacLookup = std::wstring (*)(int adapter_number);
void adapter_mac_lookup_set(AdapterMacLookup lookup);

// Adds the handlers of the five combo boxes, the system header's double click and the graphs' events (the
// read-out and the colour choice), after the read-outs' own handlers.
void tab_control_handlers_add();
