// The sampler's client of the outside temperature tool's shared memory.
#pragma once

// One temperature sub-step of the processor step (every SAMPLER_CPU_STEP_MS): count down, look for the tool, or read it
// and add the CPU temperature history point. Sampler thread (and tests); serialised by its own lock.
void temp_tool_step();

// Unmaps the view and closes the mapping, clearing the temperatures (the sampler's end).
void temp_tool_close();
