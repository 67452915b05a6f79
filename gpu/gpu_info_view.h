// The GPU information view: the Graphics tab's list of every GPU's facts, the vendor software and the
// newest history rows, built anew on a GPU sampler's thread.
#pragma once

#include <cstdint>

// Empties LIST_GPU_INFO and builds it anew under GpuInfoMutex: history rows, the error mode's heading, one
// block per NVIDIA GPU, AMD GPU and legacy AMD card, the software block and, in the error mode, the
// detection logs. Sets GPU_HISTORY_ROWS (500 in the error mode, else 10). Makes each AMD GPU's one-time
// capability queries on its first build.
void gpu_info_view_build();

// The same build with `date` (local seconds since 1970) in the block headings.
void gpu_info_view_build_at(int64_t date);
