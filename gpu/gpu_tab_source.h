// What the Graphics tab shows of a GPU entry, read from the GPU records.
#pragma once

#include "ui/tab_redraw.h"

// The source that gpu_tab_source_set installs: the NvidiaGpu record of an NVIDIA entry's slot, the AmdGpu record
// of an AMD entry's index; false for an index that was not enumerated. The live fields are read without a lock
// while the samplers write them (each value whole); the history only under HistoryMutex. Any thread.
bool gpu_tab_source(const GpuChoice& choice, GpuTabReading& out);
