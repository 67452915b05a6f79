// The Graphics tab's readings of a GPU entry, from the record of its vendor: NVIDIA or AMD.
#include "gpu/gpu_tab_source.h"

#include <tuple>

#include "core/control_numbers.h"
#include "core/shared_state.h"
#include "gpu/amd_gpu.h"
#include "gpu/nvidia_gpu.h"

namespace {

// A limit beyond any temperature is drawn as this one.
constexpr int TEMPERATURE_LIMIT_SHOWN_MAX = 1000;

bool nvidia_reading(int slot, GpuTabReading& out) {
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
    out.temperature_limit =
        static_cast<int>(gpu.temp_limit > TEMPERATURE_LIMIT_SHOWN_MAX ? TEMPERATURE_LIMIT_SHOWN_MAX : gpu.temp_limit);
    return true;
}

// A graph is live while the GPU's sensor interface delivers its value (the enumeration's has-value flags); the
// others keep their last picture.
bool amd_reading(int index, GpuTabReading& out) {
    if (index < 0 || index >= SharedInts[AMD_GPU_COUNT].load()) return false;
    const AmdGpu* found = AmdGpuTable.at(index);
    if (!found) return false;
    const AmdGpu& gpu = *found;
    out.label = gpu.label.str();
    static_assert(AMD_HAS_VALUE_COUNT == std::tuple_size_v<decltype(out.graph_live)>, "one flag per graph, in order");
    static_assert(HAS_GPU_ACTIVITY == GRAPH_GPU_UTILISATION && HAS_MEMORY_ACTIVITY == GRAPH_GPU_MEMORY_UTILISATION &&
                  HAS_FAN == GRAPH_GPU_FAN && HAS_CORE_CLOCK == GRAPH_GPU_CLOCK &&
                  HAS_MEMORY_CLOCK == GRAPH_GPU_MEMORY_CLOCK && HAS_POWER == GRAPH_GPU_POWER);
    for (std::size_t j = 0; j < out.graph_live.size(); ++j) out.graph_live[j] = gpu.has_values[j] != 0;
    out.gpu_percent = gpu.gpu_activity;
    out.memory_percent = gpu.memory_activity;
    out.fan_percent = gpu.fan_pct;
    out.core_clock_mhz = gpu.core_clock;
    out.core_clock_percent = gpu.core_clock_pct;
    out.memory_clock_mhz = gpu.memory_clock;
    out.memory_clock_percent = gpu.memory_clock_pct;
    out.power_w = gpu.power_w;
    out.history = &gpu.history;
    out.temperature_limit = gpu.temp_max > TEMPERATURE_LIMIT_SHOWN_MAX ? TEMPERATURE_LIMIT_SHOWN_MAX : gpu.temp_max;
    return true;
}

}  // namespace

bool gpu_tab_source(const GpuChoice& choice, GpuTabReading& out) {
    return choice.amd ? amd_reading(choice.vendor_index, out) : nvidia_reading(choice.vendor_index, out);
}
