// Folding the AMD display library's adapter entries into GPU records and choosing each GPU's sensor interface.
#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "core/shared_state.h"
#include "gpu/amd_gpu.h"
#include "gpu/gpu_info_rows.h"

namespace {

constexpr int PMLOG_INTERVAL_MS = 1000;
constexpr int ASPECTS_BYTES = 255;

void log_line(std::wstring_view text) { gpu_report_line_queue(GPU_VENDOR_AMD, text); }
void gpu_line(int g, std::wstring_view text) { gpu_report_line_queue(GPU_VENDOR_AMD, text, L"G" + std::to_wstring(g)); }

bool within(int32_t value, int32_t low, int32_t high) { return value >= low && value <= high; }

// Gives the library up when no GPU is left to sample: no GPU record, the context destroyed and the library
// freed, ADL_LIBRARY and the counts 0. The legacy cards found stay: the information view lists them without the
// library.
void give_up() {
    AmdGpuTable.release();
    SharedInts[AMD_GPU_COUNT] = 0;
    AdlFacts.gpu_count = 0;
    adl_unload();
}

// Stops and destroys what the PMLog set-up of GPU slot `g` made, and clears both slots.
void pmlog_release(int g, bool started) {
    const auto slot = static_cast<std::size_t>(g);
    if (started)
        adl_call(&AdlApi::od8_pmlog_stop, AdlFacts.context, AmdGpuTable.records[slot].adapter_index,
                 &AdlFacts.pmlog_devices[slot]);
    if (AdlFacts.pmlog_devices[slot] != 0)
        adl_call(&AdlApi::pmlog_device_destroy, AdlFacts.context, AdlFacts.pmlog_devices[slot]);
    AdlFacts.pmlog_devices[slot] = 0;
    AdlFacts.pmlog_shared[slot] = nullptr;
}

void static_facts(AmdGpu& gpu, const AdlAdapterInfo& info) {
    AdlContext ctx = AdlFacts.context;
    const int32_t index = info.adapter_index;
    gpu.adapter_index = index;
    gpu.pci_bus = info.bus_number;
    gpu.pci_device = info.device_number;
    gpu.pci_function = info.function_number;
    gpu.os_display_index = info.os_display_index;
    gpu.adapter_name = adl_text(info.adapter_name, sizeof info.adapter_name);
    gpu.pnp_string = adl_text(info.pnp_string, sizeof info.pnp_string);

    // The library writes 4 bytes; the room for 8 keeps a driver that writes more inside the buffer.
    std::array<int32_t, 2> active{};
    if (adl_result_ok(adl_call(&AdlApi::adapter_active_get, ctx, index, active.data()))) gpu.active = active[0];

    AdlMemoryInfo2 memory{};
    if (adl_result_ok(adl_call(&AdlApi::adapter_memory_info2_get, ctx, index, &memory))) {
        gpu.total_memory = memory.memory_size;
        gpu.memory_type = adl_text(memory.memory_type, sizeof memory.memory_type);
        gpu.memory_bandwidth = memory.memory_bandwidth;
        gpu.hyper_memory = memory.hyper_memory_size;
        gpu.invisible_memory = memory.invisible_memory_size;
        gpu.visible_memory = memory.visible_memory_size;
    }

    int32_t core = 0;
    int32_t mem = 0;
    if (adl_result_ok(adl_call(&AdlApi::adapter_observed_clock_get, ctx, index, &core, &mem))) {
        gpu.observed_core_clock = core;
        gpu.memory_clock = mem;
    }

    int32_t base = 0;
    int32_t game = 0;
    int32_t boost = 0;
    int32_t game_mem = 0;
    if (adl_result_ok(
            adl_call(&AdlApi::adapter_observed_game_clock_get, ctx, index, &base, &game, &boost, &game_mem)) &&
        base > 0 && game > 0 && boost > 0 && game_mem > 0) {
        gpu.base_clock = base;
        gpu.game_clock = game;
        gpu.boost_clock = boost;
        gpu.memory_clock = game_mem;
    }

    AdlChipSetInfo chipset{};
    if (adl_result_ok(adl_call(&AdlApi::adapter_chipset_info_get, ctx, index, &chipset))) {
        gpu.bus_lanes = chipset.current_pcie_lane_width;
        gpu.bus_lanes_max = chipset.max_pcie_lane_width;
    }

    AdlBiosInfo bios{};
    if (adl_result_ok(adl_call(&AdlApi::adapter_video_bios_info_get, ctx, index, &bios))) {
        gpu.bios_part_number = adl_text(bios.part_number, sizeof bios.part_number);
        gpu.bios_version = adl_text(bios.version, sizeof bios.version);
        gpu.bios_date = adl_text(bios.date, sizeof bios.date);
    }

    AdlAdapterCaps caps{};
    if (adl_result_ok(adl_call(&AdlApi::adapter_caps, ctx, index, &caps))) {
        gpu.board_id = static_cast<int64_t>(static_cast<uint32_t>(caps.adapter_id));
        gpu.controllers = caps.num_controllers;
        gpu.displays = caps.num_displays;
        gpu.overlays = caps.num_overlays;
        gpu.glsync_connectors = caps.num_glsync_connectors;
    }

    // One byte more than the library is told, so the text always ends inside the buffer.
    std::array<char, ASPECTS_BYTES + 1> aspects{};
    std::fill_n(aspects.begin(), ASPECTS_BYTES, ' ');
    if (adl_result_ok(adl_call(&AdlApi::adapter_aspects_get, ctx, index, aspects.data(), ASPECTS_BYTES))) {
        aspects[ASPECTS_BYTES] = '\0';
        std::wstring text = adl_text(aspects.data(), aspects.size());
        std::replace(text.begin(), text.end(), L',', L';');
        gpu.aspects = text;
    }
}

// Overdrive 8: a PMLog device and its shared memory. Whatever was made is released when a later step fails.
void try_od8(AmdGpu& gpu, int g) {
    if (gpu.od_version < 8 || gpu.sensor_method != AMD_SENSOR_NONE || !adl_has(&AdlApi::pmlog_device_create)) return;
    const auto slot = static_cast<std::size_t>(g);
    AdlContext ctx = AdlFacts.context;
    AdlFacts.pmlog_devices[slot] = 0;
    if (!adl_result_ok(adl_call(&AdlApi::pmlog_device_create, ctx, gpu.adapter_index, &AdlFacts.pmlog_devices[slot]))) {
        pmlog_release(g, false);
        return;
    }
    AdlFacts.pmlog_shared[slot] = nullptr;
    if (!adl_result_ok(adl_call(&AdlApi::od8_pmlog_start, ctx, gpu.adapter_index, PMLOG_INTERVAL_MS,
                                AdlFacts.pmlog_request_count, PmlogRequestSensors.data(), &AdlFacts.pmlog_devices[slot],
                                &AdlFacts.pmlog_shared[slot], 0))) {
        pmlog_release(g, false);
        return;
    }
    PmlogOutput = AdlPmlogDataOutput{};
    PmlogOutput.size = sizeof(AdlPmlogDataOutput);
    if (!adl_result_ok(adl_call(&AdlApi::od8_pmlog_read, ctx, gpu.adapter_index, AdlFacts.pmlog_request_count,
                                PmlogRequestSensors.data(), &AdlFacts.pmlog_shared[slot], &PmlogOutput))) {
        pmlog_release(g, true);
        return;
    }
    gpu.sensor_method = AMD_SENSOR_OD8_PMLOG;
    amd_pmlog_collect_sensors(PmlogOutput, g);
    amd_pmlog_apply_values(PmlogOutput, g);
    gpu.marks[MARK_OD8_PMLOG] = AMD_SENSOR_OD8_PMLOG;
}

// The lane widths an activity record reports, each only where the chipset query gave none.
void lanes_take(AmdGpu& gpu, int32_t current, int32_t maximum) {
    if (current > 0 && gpu.bus_lanes == 0) gpu.bus_lanes = current;
    if (maximum > 0 && gpu.bus_lanes_max == 0) gpu.bus_lanes_max = maximum;
}

void try_odn(AmdGpu& gpu) {
    if (gpu.od_version < 7 || gpu.sensor_method >= AMD_SENSOR_OD8_PMLOG) return;
    AdlContext ctx = AdlFacts.context;
    auto& has = gpu.has_values;
    AdlOdnPerformanceStatus status{};
    if (adl_result_ok(adl_call(&AdlApi::odn_performance_status_get, ctx, gpu.adapter_index, &status))) {
        if (status.core_clock >= 0) {
            gpu.core_clock = status.core_clock / 100;
            has[HAS_CORE_CLOCK] = 1;
        }
        if (status.memory_clock >= 0) {
            gpu.memory_clock = status.memory_clock / 100;
            has[HAS_MEMORY_CLOCK] = 1;
        }
        if (within(status.gpu_activity_percent, 0, 100)) {
            gpu.gpu_activity = status.gpu_activity_percent;
            has[HAS_GPU_ACTIVITY] = 1;
        }
        if (status.current_memory_performance_level >= 0) {
            gpu.memory_activity = status.current_memory_performance_level;
            has[HAS_MEMORY_ACTIVITY] = 1;
        }
        lanes_take(gpu, status.current_bus_lanes, status.maximum_bus_lanes);
        if (status.vddc > 0) gpu.vddc_mv = status.vddc;
        if (has[HAS_GPU_ACTIVITY] + has[HAS_MEMORY_ACTIVITY] + has[HAS_CORE_CLOCK] + has[HAS_MEMORY_CLOCK] > 0) {
            gpu.sensor_method = AMD_SENSOR_ODN;
            gpu.marks[MARK_ODN_ACTIVITY] = AMD_SENSOR_ODN;
        }
    }
    int32_t millidegrees = 0;
    if (adl_result_ok(adl_call(&AdlApi::odn_temperature_get, ctx, gpu.adapter_index, 1, &millidegrees))) {
        gpu.temperature = millidegrees / 1000;
        if (within(gpu.temperature, 0, 255)) gpu.marks[MARK_ODN_TEMPERATURE] = AMD_SENSOR_ODN;
    }
    AdlOdnFanControl fan{};
    if (adl_result_ok(adl_call(&AdlApi::odn_fan_control_get, ctx, gpu.adapter_index, &fan)) &&
        within(fan.current_fan_speed, 0, 32000)) {
        gpu.fan_pct = fan.current_fan_speed;
        has[HAS_FAN] = 1;
        gpu.marks[MARK_ODN_FAN] = AMD_SENSOR_ODN;
    }
}

void try_od6(AmdGpu& gpu) {
    if (gpu.od_version < 6 || gpu.sensor_method >= AMD_SENSOR_OD8_PMLOG) return;
    AdlContext ctx = AdlFacts.context;
    auto& has = gpu.has_values;
    AdlOd6CurrentStatus status{};
    if (gpu.marks[MARK_ODN_ACTIVITY] == 0 &&
        adl_result_ok(adl_call(&AdlApi::od6_current_status_get, ctx, gpu.adapter_index, &status))) {
        if (status.engine_clock >= 0) has[HAS_CORE_CLOCK] = 1;
        if (status.memory_clock >= 0) has[HAS_MEMORY_CLOCK] = 1;
        if (within(status.activity_percent, 0, 100)) has[HAS_GPU_ACTIVITY] = 1;
        lanes_take(gpu, status.current_bus_lanes, status.maximum_bus_lanes);
        if (has[HAS_GPU_ACTIVITY] + has[HAS_CORE_CLOCK] + has[HAS_MEMORY_CLOCK] > 0) {
            gpu.marks[MARK_OD6_ACTIVITY] = AMD_SENSOR_OD6;
            gpu.sensor_method = AMD_SENSOR_OD6;
        }
    }
    int32_t millidegrees = 0;
    if (gpu.marks[MARK_ODN_TEMPERATURE] == 0 &&
        adl_result_ok(adl_call(&AdlApi::od6_temperature_get, ctx, gpu.adapter_index, &millidegrees))) {
        gpu.temperature = millidegrees / 1000;
        if (within(gpu.temperature, 0, 255)) gpu.marks[MARK_OD6_TEMPERATURE] = AMD_SENSOR_OD6;
    }
    AdlOd6FanSpeedInfo fan{};
    fan.speed_type = ADL_OD6_FAN_SPEED_PERCENT;
    if (gpu.marks[MARK_ODN_FAN] == 0 &&
        adl_result_ok(adl_call(&AdlApi::od6_fan_speed_get, ctx, gpu.adapter_index, &fan)) &&
        within(fan.fan_speed_percent, 0, 100)) {
        gpu.fan_pct = fan.fan_speed_percent;
        has[HAS_FAN] = 1;
        gpu.marks[MARK_OD6_FAN] = AMD_SENSOR_OD6;
    }
    int32_t power = 0;
    if (adl_result_ok(adl_call(&AdlApi::od6_current_power_get, ctx, gpu.adapter_index, 0, &power))) {
        gpu.power_now = power / 256;  // watts with 8 fractional bits
        has[HAS_POWER] = 1;
        gpu.marks[MARK_OD6_POWER] = AMD_SENSOR_OD6;
    }
}

void try_od5(AmdGpu& gpu) {
    if (gpu.od_version < 5 || gpu.sensor_method >= AMD_SENSOR_OD8_PMLOG) return;
    AdlContext ctx = AdlFacts.context;
    auto& has = gpu.has_values;
    AdlPmActivity activity{};
    activity.size = sizeof(AdlPmActivity);
    if (gpu.marks[MARK_ODN_ACTIVITY] == 0 && gpu.marks[MARK_OD6_ACTIVITY] == 0 &&
        adl_result_ok(adl_call(&AdlApi::od5_current_activity_get, ctx, gpu.adapter_index, &activity))) {
        if (within(activity.activity_percent, 0, 100)) has[HAS_GPU_ACTIVITY] = 1;
        lanes_take(gpu, activity.current_bus_lanes, activity.maximum_bus_lanes);
        if (activity.engine_clock >= 0) has[HAS_CORE_CLOCK] = 1;
        if (activity.memory_clock >= 0) has[HAS_MEMORY_CLOCK] = 1;
        if (has[HAS_GPU_ACTIVITY] + has[HAS_CORE_CLOCK] + has[HAS_MEMORY_CLOCK] > 0) {
            gpu.marks[MARK_OD5_ACTIVITY] = AMD_SENSOR_OD5;
            gpu.sensor_method = AMD_SENSOR_OD5;
        }
    }
    AdlTemperature temperature{};
    temperature.size = sizeof(AdlTemperature);
    if (gpu.marks[MARK_ODN_TEMPERATURE] == 0 && gpu.marks[MARK_OD6_TEMPERATURE] == 0 &&
        adl_result_ok(adl_call(&AdlApi::od5_temperature_get, ctx, gpu.adapter_index, 0, &temperature))) {
        gpu.temperature = temperature.temperature / 1000;
        if (within(gpu.temperature, 0, 255)) {
            gpu.sensor_method = AMD_SENSOR_OD5;
            gpu.marks[MARK_OD5_TEMPERATURE] = AMD_SENSOR_OD5;
        }
    }
    AdlFanSpeedValue fan{};
    fan.size = sizeof(AdlFanSpeedValue);
    fan.speed_type = ADL_FAN_SPEED_PERCENT;
    fan.flags = 0;
    if (gpu.marks[MARK_ODN_FAN] == 0 && gpu.marks[MARK_OD6_FAN] == 0 &&
        adl_result_ok(adl_call(&AdlApi::od5_fan_speed_get, ctx, gpu.adapter_index, 0, &fan)) &&
        within(fan.fan_speed, 0, 100)) {
        gpu.fan_pct = fan.fan_speed;
        has[HAS_FAN] = 1;
        gpu.marks[MARK_OD5_FAN] = AMD_SENSOR_OD5;
    }
}

void try_pmlog_query(AmdGpu& gpu, int g) {
    if (gpu.sensor_method != AMD_SENSOR_NONE) return;
    PmlogOutput = AdlPmlogDataOutput{};
    PmlogOutput.size = sizeof(AdlPmlogDataOutput);
    if (!adl_result_ok(adl_call(&AdlApi::new_query_pmlog_data_get, AdlFacts.context, gpu.adapter_index, &PmlogOutput)))
        return;
    amd_pmlog_collect_sensors(PmlogOutput, g);
    gpu.sensor_method = AMD_SENSOR_PMLOG_QUERY;
    gpu.marks[MARK_PMLOG_QUERY] = 1;
}

void sensor_limits(AmdGpu& gpu) {
    AdlPmlogSensorLimits limits{};
    if (!adl_result_ok(
            adl_call(&AdlApi::adapter_pmlog_sensor_limits_get, AdlFacts.context, gpu.adapter_index, &limits)))
        return;
    const int bound = std::clamp(AdlFacts.sensor_scan_bound, 0, ADL_PMLOG_SENSOR_SLOTS);
    for (int sensor = 0; sensor < bound; ++sensor) {
        const int32_t upper = limits.sensors[sensor].upper;
        if (upper <= 0) continue;
        switch (sensor) {
            case PMLOG_CLK_GFXCLK: gpu.core_clock_max = upper; break;
            case PMLOG_CLK_MEMCLK: gpu.memory_clock_max = upper; break;
            case PMLOG_CLK_UVD1: gpu.uvd1_clock_max = upper; break;
            case PMLOG_CLK_UVD2: gpu.uvd2_clock_max = upper; break;
            case PMLOG_CLK_VCE: gpu.vce_clock_max = upper; break;
            case PMLOG_TEMPERATURE_EDGE: gpu.temp_max = upper; break;
            case PMLOG_FAN_RPM: gpu.fan_speed_max = upper; break;
            case PMLOG_GFX_VOLTAGE: gpu.voltage_max = upper; break;
            case PMLOG_ASIC_POWER: gpu.power_max = upper; break;
            case PMLOG_TEMPERATURE_HOTSPOT: gpu.hotspot_max = upper; break;
            case PMLOG_BUS_SPEED: gpu.bus_speed = upper; break;
            case PMLOG_BUS_LANES: gpu.bus_lanes = upper; break;
            default: break;
        }
    }
    gpu.marks[MARK_LIMITS] = 1;
}

template <typename Values>
std::wstring numbers_text(const Values& values) {
    std::wstring text;
    for (const auto value : values) text += std::to_wstring(static_cast<int>(value));
    return text;
}

}  // namespace

void amd_gpu_enumerate() {
    std::set<std::wstring> seen;
    log_line(L"Start AMD GPU Count");
    AmdGpuTable.release();
    AmdLegacyTable.release();
    if (!adl_has(&AdlApi::adapter_count_get) || !adl_has(&AdlApi::adapter_info_get) ||
        !adl_has(&AdlApi::adapter_active_get)) {
        log_line(L"Missing AMD Get Commands");
        give_up();
        return;
    }
    log_line(L"Init ADL2_Adapter_NumberOfAdapters_Get");
    int32_t entries = 0;
    if (!adl_result_ok(adl_call(&AdlApi::adapter_count_get, AdlFacts.context, &entries))) {
        give_up();
        return;
    }
    SharedInts[AMD_GPU_COUNT] = entries;
    log_line(L"AMD GPU Output Count:" + std::to_wstring(entries));
    // The count sizes a buffer: a negative or absurd one must not.
    const int count = std::clamp(entries, 0, AMD_ADAPTER_ENTRY_MAX);

    std::vector<AdlAdapterInfo> infos(static_cast<std::size_t>(count) + 1, AdlAdapterInfo{});
    for (int i = 0; i < count; ++i) infos[static_cast<std::size_t>(i)].size = sizeof(AdlAdapterInfo);
    log_line(L"Init ADL2_Adapter_AdapterInfo_Get");
    if (!adl_result_ok(adl_call(&AdlApi::adapter_info_get, AdlFacts.context, infos.data(),
                                static_cast<int32_t>(count * static_cast<int>(sizeof(AdlAdapterInfo)))))) {
        log_line(L"Failed ADL2_Adapter_AdapterInfo_Get");
        give_up();
        return;
    }
    log_line(L"Success, Reading Adapter Info");

    int g = -1;
    int legacy = -1;
    AdlFacts.pmlog_used = -1;
    AdlFacts.pmlog_devices = {};
    AdlFacts.pmlog_shared = {};
    PmlogSensorList.assign(PMLOG_LIST_GROWTH, PmlogSensorEntry{});
    PmlogRequestSensors = {PMLOG_CLK_GFXCLK,     PMLOG_CLK_MEMCLK,          PMLOG_TEMPERATURE_EDGE,  PMLOG_FAN_RPM,
                           PMLOG_FAN_PERCENTAGE, PMLOG_INFO_ACTIVITY_GFX,   PMLOG_INFO_ACTIVITY_MEM, PMLOG_GFX_VOLTAGE,
                           PMLOG_ASIC_POWER,     PMLOG_TEMPERATURE_HOTSPOT, PMLOG_BUS_SPEED,         PMLOG_BUS_LANES};
    AdlFacts.pmlog_request_count = PMLOG_REQUEST_COUNT;
    log_line(L"Assign GPU od_sensors");

    for (int i = 0; i < count; ++i) {
        AdlAdapterInfo& info = infos[static_cast<std::size_t>(i)];
        info.udid[sizeof info.udid - 1] = '\0';
        if (adl_text(info.udid, sizeof info.udid).find(L"VEN_1002") == std::wstring::npos) continue;
        const std::wstring key = adl_text(info.adapter_name, sizeof info.adapter_name) + L"_" +
                                 std::to_wstring(info.bus_number) + L"_" + std::to_wstring(info.device_number) + L"_" +
                                 std::to_wstring(info.function_number);
        if (!seen.insert(key).second) continue;  // another output of a GPU already taken
        if (g + 1 >= AMD_GPU_MAX) break;         // the table is full: later GPUs are not looked at

        ++g;
        AmdGpuTable.count = g + 1;
        AmdGpu& gpu = AmdGpuTable.records[static_cast<std::size_t>(g)];
        gpu = AmdGpu{};
        gpu_line(g, L"Adding AMD Adapter " + std::to_wstring(i) + L" as AMD-G" + std::to_wstring(g));
        static_facts(gpu, info);

        gpu.sensor_method = AMD_SENSOR_NONE;
        gpu.temperature = -1;
        int32_t supported = 0;
        int32_t enabled = 0;
        int32_t version = 0;
        if (adl_result_ok(adl_call(&AdlApi::overdrive_caps, AdlFacts.context, gpu.adapter_index, &supported, &enabled,
                                   &version))) {
            gpu.od_version = version;
            gpu_line(g, L"OD_Version = " + std::to_wstring(gpu.od_version));
        }

        try_od8(gpu, g);
        try_odn(gpu);
        try_od6(gpu);
        try_od5(gpu);
        try_pmlog_query(gpu, g);
        sensor_limits(gpu);

        if (gpu.sensor_method > AMD_SENSOR_NONE) {
            gpu.sensor_label = L"od" + std::to_wstring(gpu.sensor_method);
        } else if (gpu.temperature == -1) {
            log_line(L"Add Legacy Card Entry");
            ++legacy;
            if (legacy < AMD_LEGACY_MAX) {
                AmdLegacyCard& card = AmdLegacyTable.records[static_cast<std::size_t>(legacy)];
                AmdLegacyTable.count = legacy + 1;
                card.board_id = gpu.board_id;
                card.bios_part_number = gpu.bios_part_number;
                card.adapter_name = gpu.adapter_name;
                card.pci_bus = gpu.pci_bus;
                card.pci_device = gpu.pci_device;
                card.pci_function = gpu.pci_function;
                card.pnp_string = gpu.pnp_string;
                card.marks_text = numbers_text(gpu.marks);
                card.has_values_text = numbers_text(gpu.has_values);
            }
            gpu = AmdGpu{};
            --g;
            AmdGpuTable.count = g + 1;
        } else {
            gpu.sensor_label = L"---";
        }
    }

    if (AdlFacts.pmlog_used > -1) PmlogSensorList.resize(static_cast<std::size_t>(AdlFacts.pmlog_used) + 1);
    AmdLegacyTable.count = std::min(legacy + 1, AMD_LEGACY_MAX);
    const int found = g + 1;
    AmdGpuTable.count = found;
    SharedInts[AMD_GPU_COUNT] = found;
    log_line(L"AMD Adapters Found: " + std::to_wstring(found));
    AdlFacts.gpu_count = found;
    if (found == 0) give_up();
}
