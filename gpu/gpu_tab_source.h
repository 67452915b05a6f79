// What the Graphics tab shows of a GPU entry, read from the GPU records.
#pragma once

#include "ui/tab_redraw.h"

// The source that gpu_tab_source_set installs: the NVIDIA record of the entry's slot; false for a slot that
// is not enumerated and for AMD entries, whose records this build does not keep. Any thread.
bool gpu_tab_source(const GpuChoice& choice, GpuTabReading& out);
