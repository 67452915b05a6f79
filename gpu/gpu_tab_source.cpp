// The Graphics tab's readings of an NVIDIA GPU entry.
#include "gpu/gpu_tab_source.h"

#include "core/shared_state.h"
#include "gpu/nvidia_gpu.h"

bool gpu_tab_source(const GpuChoice& choice, GpuTabReading& out) {
    if (choice.amd) return false;
    const int slot = choice.vendor_index;
    if (slot < 0 || slot >= NVIDIA_SLOT_COUNT || slot >= SharedInts[NVIDIA_GPU_COUNT].load()) return false;
    const NvidiaGpu& gpu = NvidiaGpuTable[static_cast<std::size_t>(slot)];
    out.label = gpu.label.str();
    const bool utilization = gpu.query_status[NVS_UTILIZATION] == 0;
    out.graph_live = {utilization, utilization, true, true, true, gpu.query_status[NVS_POWER_USAGE] == 0};
    out.gpu_percent = gpu.gpu_util;
    out.memory_percent = gpu.memory_util;
    out.fan_percent = gpu.fan_pct;
    out.core_clock_mhz = gpu.graphics_clock;
    out.core_clock_percent = gpu.graphics_clock_pct;
    out.memory_clock_mhz = gpu.memory_clock;
    out.memory_clock_percent = gpu.memory_clock_pct;
    out.power_w = gpu.power_mw / 1000;
    out.history = &gpu.history;
    out.temperature_limit = static_cast<int>(gpu.temp_limit > 1000 ? 1000 : gpu.temp_limit);
    return true;
}
