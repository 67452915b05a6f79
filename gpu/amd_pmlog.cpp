// The PMLog sensor lists: which sensors a GPU's block supports, and copying a block's values into its record.
#include <algorithm>

#include "gpu/amd_gpu.h"

namespace {

// The last sensor id scanned, kept inside the block's 256 slots whatever the state says.
int scan_bound() { return std::clamp(AdlFacts.sensor_scan_bound, 0, ADL_PMLOG_SENSOR_SLOTS - 1); }

}  // namespace

void amd_pmlog_collect_sensors(const AdlPmlogDataOutput& block, int gpu) {
    AmdGpu* record = AmdGpuTable.at(gpu);
    if (!record) return;
    record->pmlog_count = 0;
    record->pmlog_first = AdlFacts.pmlog_used + 1;
    const int bound = scan_bound();
    for (int sensor = 0; sensor <= bound; ++sensor) {
        if (block.sensors[sensor].supported == 0) continue;
        const int n = ++AdlFacts.pmlog_used;
        if (static_cast<std::size_t>(n) >= PmlogSensorList.size())
            PmlogSensorList.resize(static_cast<std::size_t>(n) + PMLOG_LIST_GROWTH);
        PmlogSensorList[static_cast<std::size_t>(n)] = {sensor, block.sensors[sensor].value};
        ++record->pmlog_count;
        switch (sensor) {
            case PMLOG_CLK_GFXCLK: record->has_values[HAS_CORE_CLOCK] = 1; break;
            case PMLOG_CLK_MEMCLK: record->has_values[HAS_MEMORY_CLOCK] = 1; break;
            case PMLOG_FAN_PERCENTAGE: record->has_values[HAS_FAN] = 1; break;
            case PMLOG_INFO_ACTIVITY_GFX: record->has_values[HAS_GPU_ACTIVITY] = 1; break;
            case PMLOG_INFO_ACTIVITY_MEM: record->has_values[HAS_MEMORY_ACTIVITY] = 1; break;
            case PMLOG_ASIC_POWER: record->has_values[HAS_POWER] = 1; break;
            default: break;
        }
    }
    if (record->pmlog_count == 0) {
        record->pmlog_first = 0;
        record->pmlog_last = 0;
    } else {
        record->pmlog_last = record->pmlog_first + record->pmlog_count - 1;
    }
}

void amd_pmlog_apply_values(const AdlPmlogDataOutput& block, int gpu) {
    AmdGpu* record = AmdGpuTable.at(gpu);
    if (!record) return;
    record->temperature = 0;
    if (record->pmlog_count <= 0 || record->pmlog_first < 0) return;
    const std::size_t first = static_cast<std::size_t>(record->pmlog_first);
    const std::size_t end = std::min(first + static_cast<std::size_t>(record->pmlog_count), PmlogSensorList.size());
    for (std::size_t n = first; n < end; ++n) {
        PmlogSensorEntry& entry = PmlogSensorList[n];
        if (entry.sensor_id < 0 || entry.sensor_id >= ADL_PMLOG_SENSOR_SLOTS) continue;
        entry.value = block.sensors[entry.sensor_id].value;
        const int32_t value = entry.value;
        switch (entry.sensor_id) {
            case PMLOG_CLK_GFXCLK: record->core_clock = value; break;
            case PMLOG_CLK_MEMCLK: record->memory_clock = value; break;
            case PMLOG_TEMPERATURE_EDGE:
            case PMLOG_TEMPERATURE_HOTSPOT:
                if (record->temperature == 0) record->temperature = value;
                break;
            case PMLOG_FAN_PERCENTAGE: record->fan_pct = value; break;
            case PMLOG_INFO_ACTIVITY_GFX: record->gpu_activity = value; break;
            case PMLOG_INFO_ACTIVITY_MEM: record->memory_activity = value; break;
            case PMLOG_GFX_VOLTAGE: record->vddc_mv = value; break;
            case PMLOG_ASIC_POWER: record->power_now = value; break;
            case PMLOG_BUS_SPEED: record->bus_speed_max = value; break;
            case PMLOG_BUS_LANES: record->bus_lanes_max = value; break;
            default: break;
        }
    }
}
