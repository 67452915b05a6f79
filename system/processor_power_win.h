// Processor clock and idle states from the power library, the power scheme's throttle, and the clock
// estimate from the time-stamp counter where the library is missing.
#pragma once

#include <cstdint>
#include <vector>

#include "system/cpu_readout.h"

// One reading of all processors. `records` is kept by the caller and reused (zero-filled each time).
// Returns false without the power library (the caller estimates the clock instead).
bool processor_power_read(std::vector<PowerRecord>& records, int64_t logical_count);

// The power scheme's AC throttle setting; false when the scheme cannot be read (the value is kept).
bool processor_throttle_read(int64_t& throttle);

// The clock in MHz measured over 100 ms with the time-stamp counter, on one processor. Measures again when
// the thread moved or the counter wrapped, but gives up after a few tries and returns 0.
int64_t cpu_clock_estimate();
