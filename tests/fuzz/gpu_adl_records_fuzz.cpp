// Fuzz target: the AMD display library's answers as the program reads them. A table of our own library
// functions answers every call from the input: version texts without their terminator, adapter counts of any size,
// adapter-information records with texts that lack their terminator, Overdrive records and PMLog blocks of any content,
// results that fail at any step. Then the version texts, the enumeration, a few sampling rounds, the cell and ID texts,
// the information blocks and the detection logs. Every answer is written over the whole buffer the program names (so a
// buffer smaller than its stated size stops the run), the tables stay within their bounds, every GPU's sensor run lies
// inside the sensor list and names sensors it scanned, and each GPU's interface, label and marks agree.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "core/control_numbers.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "gpu/amd_gpu.h"
#include "gpu/amd_sample.h"
#include "gpu/gpu_entries.h"
#include "gpu/gpu_info_blocks.h"
#include "runtime/list_model.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

FuzzedDataProvider* answers = nullptr;
int context_token = 0;
int shared_token = 0;

FuzzedDataProvider& in() { return *answers; }

// Mostly success; now and then a warning (which the program must not take for success) or an error.
AdlResult result() {
    const uint8_t byte = in().ConsumeIntegral<uint8_t>();
    if (byte < 192) return ADL_OK;
    if (byte < 224) return ADL_OK_WARNING;
    return byte < 240 ? ADL_ERR : ADL_ERR_NOT_SUPPORTED;
}

// Writes all `size` bytes at `out`: the input's bytes, then a filler without any NUL.
void bytes_fill(void* out, std::size_t size) {
    std::memset(out, 'a', size);
    const std::vector<uint8_t> bytes = in().ConsumeBytes<uint8_t>(size);
    if (!bytes.empty()) std::memcpy(out, bytes.data(), bytes.size());
}

template <typename Record>
AdlResult record_fill(Record* out) {
    bytes_fill(out, sizeof(Record));
    return result();
}

AdlResult int_fill(int32_t* out) {
    *out = in().ConsumeIntegral<int32_t>();
    return result();
}

// A text field written from the input: up to the field's size, without a terminator when it fills the field.
void text_fill(char* field, std::size_t size, std::string_view prefix = {}) {
    std::memset(field, 0, size);
    const std::string text = std::string(prefix) + in().ConsumeRandomLengthString(size + 8);
    std::memcpy(field, text.data(), std::min(text.size(), size));
}

AdlResult ADL_API count_get(AdlContext, int32_t* count) {
    const uint8_t mode = in().ConsumeIntegral<uint8_t>();
    *count = mode < 240 ? mode % 24 : in().ConsumeIntegral<int32_t>();
    return result();
}

AdlResult ADL_API info_get(AdlContext, AdlAdapterInfo* infos, int32_t bytes) {
    if (bytes < 0) return ADL_ERR;
    const std::size_t entries = static_cast<std::size_t>(bytes) / sizeof(AdlAdapterInfo);
    for (std::size_t i = 0; i < entries; ++i) {
        AdlAdapterInfo& info = infos[i];
        const uint8_t shape = in().ConsumeIntegral<uint8_t>();
        if (shape & 1) {
            bytes_fill(&info, sizeof info);
            continue;
        }
        std::memset(&info, 0, sizeof info);
        info.size = sizeof info;
        info.adapter_index = (shape & 2) ? static_cast<int32_t>(i) : in().ConsumeIntegral<int32_t>();
        text_fill(info.udid, sizeof info.udid, (shape & 4) ? "PCI_VEN_1002&DEV_" : "PCI_VEN_10DE&DEV_");
        text_fill(info.adapter_name, sizeof info.adapter_name);
        info.bus_number = in().ConsumeIntegralInRange<int32_t>(0, 3);
        info.device_number = in().ConsumeIntegralInRange<int32_t>(0, 2);
        info.function_number = (shape & 8) ? in().ConsumeIntegral<int32_t>() : 0;
        text_fill(info.pnp_string, sizeof info.pnp_string, "PCI\\VEN_1002&");
        info.os_display_index = in().ConsumeIntegral<int32_t>();
    }
    return result();
}

AdlResult ADL_API active_get(AdlContext, int32_t, int32_t* active) { return int_fill(active); }
AdlResult ADL_API aspects_get(AdlContext, int32_t, char* buffer, int32_t size) {
    if (size > 0) bytes_fill(buffer, static_cast<std::size_t>(size));
    return result();
}
AdlResult ADL_API caps(AdlContext, int32_t, AdlAdapterCaps* out) { return record_fill(out); }
AdlResult ADL_API chipset(AdlContext, int32_t, AdlChipSetInfo* out) { return record_fill(out); }
AdlResult ADL_API memory_info(AdlContext, int32_t, AdlMemoryInfo2* out) { return record_fill(out); }
AdlResult ADL_API bios_info(AdlContext, int32_t, AdlBiosInfo* out) { return record_fill(out); }
AdlResult ADL_API observed_clocks(AdlContext, int32_t, int32_t* core, int32_t* memory) {
    *core = in().ConsumeIntegral<int32_t>();
    return int_fill(memory);
}
AdlResult ADL_API game_clocks(AdlContext, int32_t, int32_t* base, int32_t* game, int32_t* boost, int32_t* memory) {
    *base = in().ConsumeIntegral<int32_t>();
    *game = in().ConsumeIntegral<int32_t>();
    *boost = in().ConsumeIntegral<int32_t>();
    return int_fill(memory);
}
AdlResult ADL_API overdrive_caps(AdlContext, int32_t, int32_t* supported, int32_t* enabled, int32_t* version) {
    *supported = in().ConsumeIntegral<int32_t>();
    *enabled = in().ConsumeIntegral<int32_t>();
    const uint8_t mode = in().ConsumeIntegral<uint8_t>();
    *version = mode < 240 ? mode % 10 : in().ConsumeIntegral<int32_t>();
    return result();
}
AdlResult ADL_API device_create(AdlContext, int32_t, AdlPmlogDevice* device) {
    *device = in().ConsumeIntegral<uint32_t>();
    return result();
}
AdlResult ADL_API device_destroy(AdlContext, AdlPmlogDevice) { return result(); }
AdlResult ADL_API pmlog_start(AdlContext, int32_t, int32_t, int32_t count, int32_t* ids, AdlPmlogDevice*,
                              AdlPmlogShared* shared, int32_t) {
    // The library reads the list of sensor ids it is given.
    for (int32_t i = 0; i < count; ++i) PROPERTY(ids[i] >= 0 && ids[i] < ADL_PMLOG_SENSOR_SLOTS);
    *shared = in().ConsumeBool() ? &shared_token : nullptr;
    return result();
}
AdlResult ADL_API pmlog_stop(AdlContext, int32_t, AdlPmlogDevice*) { return result(); }

// A PMLog block: the whole of it from the input, or some sensors, each with a support flag and a value.
void pmlog_block_fill(AdlPmlogDataOutput* out) {
    const uint8_t shape = in().ConsumeIntegral<uint8_t>();
    if (shape & 1) {
        bytes_fill(out, sizeof *out);
        return;
    }
    for (int n = shape >> 1; n > 0; --n) {
        const uint8_t sensor = in().ConsumeIntegral<uint8_t>();
        out->sensors[sensor].supported = in().ConsumeBool() ? 1 : in().ConsumeIntegral<int32_t>();
        out->sensors[sensor].value = in().ConsumeIntegral<int32_t>();
    }
}
AdlResult ADL_API pmlog_read(AdlContext, int32_t, int32_t count, int32_t* ids, AdlPmlogShared*,
                             AdlPmlogDataOutput* out) {
    for (int32_t i = 0; i < count; ++i) PROPERTY(ids[i] >= 0 && ids[i] < ADL_PMLOG_SENSOR_SLOTS);
    pmlog_block_fill(out);
    return result();
}
AdlResult ADL_API pmlog_query(AdlContext, int32_t, AdlPmlogDataOutput* out) {
    pmlog_block_fill(out);
    return result();
}
AdlResult ADL_API limits_get(AdlContext, int32_t, AdlPmlogSensorLimits* out) {
    const uint8_t shape = in().ConsumeIntegral<uint8_t>();
    if (shape & 1) return record_fill(out);
    for (int n = shape >> 1; n > 0; --n) {
        const uint8_t sensor = in().ConsumeIntegral<uint8_t>();
        out->sensors[sensor].lower = in().ConsumeIntegral<int32_t>();
        out->sensors[sensor].upper = in().ConsumeIntegral<int32_t>();
    }
    return result();
}
AdlResult ADL_API odn_performance(AdlContext, int32_t, AdlOdnPerformanceStatus* out) { return record_fill(out); }
AdlResult ADL_API odn_temperature(AdlContext, int32_t, int32_t, int32_t* out) { return int_fill(out); }
AdlResult ADL_API odn_fan(AdlContext, int32_t, AdlOdnFanControl* out) { return record_fill(out); }
AdlResult ADL_API od6_status(AdlContext, int32_t, AdlOd6CurrentStatus* out) { return record_fill(out); }
AdlResult ADL_API od6_temperature(AdlContext, int32_t, int32_t* out) { return int_fill(out); }
AdlResult ADL_API od6_fan(AdlContext, int32_t, AdlOd6FanSpeedInfo* out) { return record_fill(out); }
AdlResult ADL_API od6_power(AdlContext, int32_t, int32_t, int32_t* out) { return int_fill(out); }
AdlResult ADL_API od5_activity(AdlContext, int32_t, AdlPmActivity* out) { return record_fill(out); }
AdlResult ADL_API od5_temperature(AdlContext, int32_t, int32_t, AdlTemperature* out) { return record_fill(out); }
AdlResult ADL_API od5_fan(AdlContext, int32_t, int32_t, AdlFanSpeedValue* out) { return record_fill(out); }
AdlResult ADL_API vram_usage(AdlContext, int32_t, int32_t* out) { return int_fill(out); }
AdlResult ADL_API two_ints(AdlContext, int32_t, int32_t* a, int32_t* b) {
    *a = in().ConsumeIntegral<int32_t>();
    return int_fill(b);
}
AdlResult ADL_API led_support(AdlContext, int32_t, int32_t* a, int32_t* b, int32_t* c) {
    *a = in().ConsumeIntegral<int32_t>();
    *b = in().ConsumeIntegral<int32_t>();
    return int_fill(c);
}
AdlResult ADL_API one_int(AdlContext, int32_t, int32_t* out) { return int_fill(out); }
AdlResult ADL_API control_destroy(AdlContext) { return ADL_OK; }
AdlResult ADL_API versions(AdlContext, AdlVersionsInfoX2* out) { return record_fill(out); }

AdlApi fake_api() {
    AdlApi a;
    a.adapter_count_get = count_get;
    a.adapter_info_get = info_get;
    a.adapter_active_get = active_get;
    a.adapter_aspects_get = aspects_get;
    a.adapter_caps = caps;
    a.adapter_chipset_info_get = chipset;
    a.adapter_memory_info2_get = memory_info;
    a.adapter_video_bios_info_get = bios_info;
    a.adapter_observed_clock_get = observed_clocks;
    a.adapter_observed_game_clock_get = game_clocks;
    a.overdrive_caps = overdrive_caps;
    a.pmlog_device_create = device_create;
    a.pmlog_device_destroy = device_destroy;
    a.od8_pmlog_start = pmlog_start;
    a.od8_pmlog_stop = pmlog_stop;
    a.od8_pmlog_read = pmlog_read;
    a.new_query_pmlog_data_get = pmlog_query;
    a.adapter_pmlog_sensor_limits_get = limits_get;
    a.odn_performance_status_get = odn_performance;
    a.odn_temperature_get = odn_temperature;
    a.odn_fan_control_get = odn_fan;
    a.od6_current_status_get = od6_status;
    a.od6_temperature_get = od6_temperature;
    a.od6_fan_speed_get = od6_fan;
    a.od6_current_power_get = od6_power;
    a.od5_current_activity_get = od5_activity;
    a.od5_temperature_get = od5_temperature;
    a.od5_fan_speed_get = od5_fan;
    a.adapter_vram_usage_get = vram_usage;
    a.adapter_speed_caps = two_ints;
    a.adapter_gaming_driver_info_get = two_ints;
    a.adapter_led_support_cap = led_support;
    a.adapter_headless_get = one_int;
    a.adapter_hbc_caps = one_int;
    a.main_control_destroy = control_destroy;
    if (in().ConsumeBool()) a.graphics_versions_x2_get = versions;
    return a;
}

bool mark_known(int8_t mark) { return mark == 0 || mark == 1 || (mark >= 5 && mark <= 8); }

void tables_check() {
    const int count = AmdGpuTable.count;
    PROPERTY(count >= 0 && count <= AMD_GPU_MAX);
    PROPERTY(SharedInts[AMD_GPU_COUNT].load() == count && AdlFacts.gpu_count == count);
    PROPERTY(AmdLegacyTable.count >= 0 && AmdLegacyTable.count <= AMD_LEGACY_MAX);
    if (count == 0) PROPERTY(SharedQuads[ADL_LIBRARY].load() == 0 && AdlFacts.context == nullptr);

    int next_first = 0;
    for (int g = 0; g < count; ++g) {
        const AmdGpu& gpu = *AmdGpuTable.at(g);
        PROPERTY(gpu.adapter_name.size() <= ADL_TEXT_BYTES && gpu.pnp_string.size() <= ADL_TEXT_BYTES);
        PROPERTY(gpu.memory_type.size() <= ADL_TEXT_BYTES && gpu.aspects.size() < ADL_TEXT_BYTES);
        for (const int8_t mark : gpu.marks) PROPERTY(mark_known(mark));
        const int32_t method = gpu.sensor_method;
        PROPERTY(method == AMD_SENSOR_NONE || method == AMD_SENSOR_PMLOG_QUERY ||
                 (method >= AMD_SENSOR_OD5 && method <= AMD_SENSOR_OD8_PMLOG));
        PROPERTY(gpu.sensor_label == (method > AMD_SENSOR_NONE ? L"od" + std::to_wstring(method) : L"---"));
        // A GPU without a sensor interface is kept only when it read a temperature; otherwise it is a legacy card.
        if (method == AMD_SENSOR_NONE) PROPERTY(gpu.temperature != -1);
        const auto slot = static_cast<std::size_t>(g);
        if (method != AMD_SENSOR_OD8_PMLOG) PROPERTY(AdlFacts.pmlog_devices[slot] == 0);
        if (gpu.pmlog_count == 0) {
            PROPERTY(gpu.pmlog_first == 0 && gpu.pmlog_last == 0);
            continue;
        }
        PROPERTY(gpu.pmlog_count > 0 && gpu.pmlog_count <= AMD_SENSOR_SCAN_BOUND + 1);
        PROPERTY(gpu.pmlog_first == next_first && gpu.pmlog_last == gpu.pmlog_first + gpu.pmlog_count - 1);
        PROPERTY(static_cast<std::size_t>(gpu.pmlog_last) < PmlogSensorList.size());
        int previous = -1;
        for (int n = gpu.pmlog_first; n <= gpu.pmlog_last; ++n) {
            const int sensor = PmlogSensorList[static_cast<std::size_t>(n)].sensor_id;
            PROPERTY(sensor > previous && sensor <= AMD_SENSOR_SCAN_BOUND);
            previous = sensor;
        }
        next_first += gpu.pmlog_count;
    }
    PROPERTY(AdlFacts.pmlog_used + 1 == next_first);
    for (std::size_t slot = static_cast<std::size_t>(count); slot < AdlFacts.pmlog_devices.size(); ++slot)
        PROPERTY(AdlFacts.pmlog_devices[slot] == 0 && AdlFacts.pmlog_shared[slot] == nullptr);
    for (int c = 0; c < AmdLegacyTable.count; ++c) {
        const AmdLegacyCard& card = *AmdLegacyTable.at(c);
        PROPERTY(card.adapter_name.size() <= ADL_TEXT_BYTES && card.pnp_string.size() <= ADL_TEXT_BYTES);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fuzz_state_init_once();
    FuzzedDataProvider input(data, size);
    answers = &input;
    {
        std::lock_guard<LeafLock> hold(AdlLock);
        Adl = fake_api();
        AdlFacts = AdlState{};
        AdlFacts.context = &context_token;
    }
    SharedQuads[ADL_LIBRARY] = 122;
    {
        std::lock_guard guard(GpuInfoMutex);
        AmdReportLines.clear();
    }

    const int major = adl_versions_read();
    PROPERTY(major == adl_driver_major(AdlFacts.driver_version));
    for (const std::wstring* text :
         {&AdlFacts.driver_version, &AdlFacts.catalyst_version, &AdlFacts.crimson_version, &AdlFacts.catalyst_web_link})
        PROPERTY(text->size() <= ADL_TEXT_BYTES && text->find(L'\0') == std::wstring::npos);
    PROPERTY(AdlFacts.driver_date.empty() || AdlFacts.driver_date.size() == 10);

    amd_gpu_enumerate();
    tables_check();

    const int rounds = input.ConsumeIntegralInRange(0, 3);
    for (int round = 0; round < rounds; ++round) {
        for (int g = 0; g < AmdGpuTable.count; ++g) {
            AmdGpu& gpu = *AmdGpuTable.at(g);
            amd_gpu_sample(gpu, g);
            amd_vram_refresh(gpu);
            gpu.core_clock_pct = amd_core_clock_pct(gpu);
            gpu.memory_clock_pct = amd_memory_clock_pct(gpu);
            PROPERTY(amd_cell_text(gpu).size() <= 60);
            const std::wstring row = amd_id_row(gpu);
            PROPERTY(std::count(row.begin(), row.end(), L'\n') == 4);
            amd_pci_location(gpu.pci_bus, gpu.pci_device, gpu.pci_function);
            gpu_selector_item(gpu.label.view(), L"0000:03:00.0", L"AMD", gpu.adapter_name, gpu.total_memory);
        }
    }

    SharedInts[GPU_VIEW_ALL_ROWS] = input.ConsumeBool() ? 1 : 0;
    {
        std::lock_guard guard(GpuInfoMutex);
        for (int g = 0; g < AmdGpuTable.count; ++g) gpu_info_amd_block(g, L" 2026-03-04 05:06:07");
        for (int c = 0; c < AmdLegacyTable.count; ++c) gpu_info_legacy_block(c, L" 2026-03-04 05:06:07");
    }
    gpu_entries_info_rebuild(GpuEntriesInfo{.all_rows = true, .amd_driver_major = major});
    list_rows_clear(LIST_GPU_INFO);

    std::lock_guard<LeafLock> hold(AdlLock);
    Adl = AdlApi{};
    return 0;
}
