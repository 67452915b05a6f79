// The controls of the monitoring tabs as control handlers of the event loop: the combo boxes (GPU choice,
// drive filter, byte unit, adapter filter, traffic unit), the system header and the graphs' colour choice.
// Main thread.
#pragma once

// Adds the handlers of the five combo boxes, the system header's double click and the graphs' events (the
// read-out and the colour choice), after the read-outs' own handlers.
void tab_control_handlers_add();
