// The AMD sampler's readings of one GPU through the library, the clock percentages and the cell, ID and
// latency texts made of them.
#include "gpu/amd_sample.h"

#include <climits>

#include "core/format_text.h"
#include "core/language.h"

namespace {

constexpr int32_t PMLOG_BLOCK_BYTES = static_cast<int32_t>(sizeof(AdlPmlogDataOutput));
constexpr int32_t ODN_TEMPERATURE_EDGE = 1;
constexpr int32_t OD6_POWER_TOTAL = 0;
constexpr int32_t THERMAL_CONTROLLER = 0;
constexpr int32_t CLOCK_UNITS_PER_MHZ = 100;  // Overdrive clocks come in 10 kHz
constexpr int32_t MILLIDEGREES = 1000;
constexpr int32_t OD6_POWER_UNITS_PER_WATT = 256;  // watts with 8 fractional bits
constexpr std::size_t CELL_TEXT_MAX = 60;

bool marked(const AmdGpu& gpu, AmdMark mark) { return gpu.marks[mark] != 0; }
bool has(const AmdGpu& gpu, AmdHasValue value) { return gpu.has_values[value] != 0; }

// Fills PmlogOutput through the read the GPU's method names and, on success, applies it to the record.
void pmlog_sample(AmdGpu& gpu, int index) {
    PmlogOutput = AdlPmlogDataOutput{};
    PmlogOutput.size = PMLOG_BLOCK_BYTES;
    AdlResult result = ADL_ERR;
    if (gpu.sensor_method >= AMD_SENSOR_OD8_PMLOG) {
        if (!marked(gpu, MARK_OD8_PMLOG) || index < 0 || index >= AMD_PMLOG_SLOTS) return;
        result =
            adl_call(&AdlApi::od8_pmlog_read, AdlFacts.context, gpu.adapter_index, AdlFacts.pmlog_request_count,
                     PmlogRequestSensors.data(), &AdlFacts.pmlog_shared[static_cast<std::size_t>(index)], &PmlogOutput);
    } else {
        if (!marked(gpu, MARK_PMLOG_QUERY)) return;
        result = adl_call(&AdlApi::new_query_pmlog_data_get, AdlFacts.context, gpu.adapter_index, &PmlogOutput);
    }
    if (adl_result_ok(result)) amd_pmlog_apply_values(PmlogOutput, index);
}

void activity_sample(AmdGpu& gpu) {
    int32_t core = 0;
    int32_t memory = 0;
    int32_t activity = 0;
    if (marked(gpu, MARK_ODN_ACTIVITY)) {
        AdlOdnPerformanceStatus status{};
        if (!adl_result_ok(adl_call(&AdlApi::odn_performance_status_get, AdlFacts.context, gpu.adapter_index, &status)))
            return;
        core = status.core_clock;
        memory = status.memory_clock;
        activity = status.gpu_activity_percent;
        if (has(gpu, HAS_MEMORY_ACTIVITY)) gpu.memory_activity = status.current_memory_performance_level;
        gpu.vddc_mv = status.vddc;
    } else if (marked(gpu, MARK_OD6_ACTIVITY)) {
        AdlOd6CurrentStatus status{};
        if (!adl_result_ok(adl_call(&AdlApi::od6_current_status_get, AdlFacts.context, gpu.adapter_index, &status)))
            return;
        core = status.engine_clock;
        memory = status.memory_clock;
        activity = status.activity_percent;
    } else if (marked(gpu, MARK_OD5_ACTIVITY)) {
        AdlPmActivity status{};
        status.size = static_cast<int32_t>(sizeof status);
        if (!adl_result_ok(adl_call(&AdlApi::od5_current_activity_get, AdlFacts.context, gpu.adapter_index, &status)))
            return;
        core = status.engine_clock;
        memory = status.memory_clock;
        activity = status.activity_percent;
    } else {
        return;
    }
    if (has(gpu, HAS_CORE_CLOCK)) gpu.core_clock = core / CLOCK_UNITS_PER_MHZ;
    if (has(gpu, HAS_MEMORY_CLOCK)) gpu.memory_clock = memory / CLOCK_UNITS_PER_MHZ;
    if (has(gpu, HAS_GPU_ACTIVITY)) gpu.gpu_activity = activity;
}

void temperature_sample(AmdGpu& gpu) {
    int32_t millidegrees = 0;
    AdlResult result = ADL_ERR;
    if (marked(gpu, MARK_ODN_TEMPERATURE)) {
        result = adl_call(&AdlApi::odn_temperature_get, AdlFacts.context, gpu.adapter_index, ODN_TEMPERATURE_EDGE,
                          &millidegrees);
    } else if (marked(gpu, MARK_OD6_TEMPERATURE)) {
        result = adl_call(&AdlApi::od6_temperature_get, AdlFacts.context, gpu.adapter_index, &millidegrees);
    } else if (marked(gpu, MARK_OD5_TEMPERATURE)) {
        AdlTemperature temperature{};
        temperature.size = static_cast<int32_t>(sizeof temperature);
        result = adl_call(&AdlApi::od5_temperature_get, AdlFacts.context, gpu.adapter_index, THERMAL_CONTROLLER,
                          &temperature);
        millidegrees = temperature.temperature;
    } else {
        return;
    }
    if (adl_result_ok(result)) gpu.temperature = millidegrees / MILLIDEGREES;
}

void fan_sample(AmdGpu& gpu) {
    if (marked(gpu, MARK_ODN_FAN)) {
        AdlOdnFanControl fan{};
        if (adl_result_ok(adl_call(&AdlApi::odn_fan_control_get, AdlFacts.context, gpu.adapter_index, &fan)))
            gpu.fan_pct = fan.current_fan_speed;
    } else if (marked(gpu, MARK_OD6_FAN)) {
        AdlOd6FanSpeedInfo fan{};
        fan.speed_type = ADL_OD6_FAN_SPEED_PERCENT;
        if (adl_result_ok(adl_call(&AdlApi::od6_fan_speed_get, AdlFacts.context, gpu.adapter_index, &fan)))
            gpu.fan_pct = fan.fan_speed_percent;
    } else if (marked(gpu, MARK_OD5_FAN)) {
        AdlFanSpeedValue fan{};
        fan.size = static_cast<int32_t>(sizeof fan);
        fan.speed_type = ADL_FAN_SPEED_PERCENT;
        if (adl_result_ok(
                adl_call(&AdlApi::od5_fan_speed_get, AdlFacts.context, gpu.adapter_index, THERMAL_CONTROLLER, &fan)))
            gpu.fan_pct = fan.fan_speed;
    }
}

void power_sample(AmdGpu& gpu) {
    if (!marked(gpu, MARK_OD6_POWER)) return;
    int32_t power = 0;
    if (adl_result_ok(
            adl_call(&AdlApi::od6_current_power_get, AdlFacts.context, gpu.adapter_index, OD6_POWER_TOTAL, &power)))
        gpu.power_now = power / OD6_POWER_UNITS_PER_WATT;
}

// value x 100 / reference to the nearest whole number, halves away from zero, kept within int32; 0 for a
// reference of 0.
int32_t percent_of(int64_t value, int64_t reference) {
    if (reference == 0) return 0;
    const bool negative = (value < 0) != (reference < 0);
    const int64_t n = value < 0 ? -value : value;
    const int64_t d = reference < 0 ? -reference : reference;
    const int64_t whole = (200 * n + d) / (2 * d);
    const int64_t result = negative ? -whole : whole;
    if (result > INT32_MAX) return INT32_MAX;
    if (result < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(result);
}

}  // namespace

void amd_gpu_sample(AmdGpu& gpu, int index) {
    if (gpu.sensor_method == AMD_SENSOR_PMLOG_QUERY || gpu.sensor_method >= AMD_SENSOR_OD8_PMLOG) {
        pmlog_sample(gpu, index);
        return;
    }
    activity_sample(gpu);
    temperature_sample(gpu);
    fan_sample(gpu);
    power_sample(gpu);
}

void amd_vram_refresh(AmdGpu& gpu) {
    int32_t used = 0;
    if (adl_result_ok(adl_call(&AdlApi::adapter_vram_usage_get, AdlFacts.context, gpu.adapter_index, &used)))
        gpu.vram_used_mb = used;
}

int32_t amd_core_clock_pct(const AmdGpu& gpu) {
    if (gpu.core_clock == 0) return gpu.core_clock_pct;
    if (gpu.boost_clock != 0) return percent_of(gpu.core_clock, gpu.boost_clock);
    if (gpu.observed_core_clock != 0) return percent_of(gpu.core_clock, gpu.observed_core_clock);
    return 0;
}

int32_t amd_memory_clock_pct(const AmdGpu& gpu) { return percent_of(gpu.memory_clock, gpu.memory_clock_max); }

std::wstring amd_cell_text(const AmdGpu& gpu) {
    std::wstring text = gpu.label.str() + L" ";
    text += gpu.gpu_activity == 0 ? L" --" : format_percent(gpu.gpu_activity);
    text += format_frequency(gpu.core_clock);
    text += format_frequency(gpu.memory_clock);
    if (gpu.temperature == 0) {
        text += L"  --  ";
    } else {
        std::wstring degrees = std::to_wstring(gpu.temperature);
        if (degrees.size() < 4) degrees.insert(0, 4 - degrees.size(), L' ');
        text += degrees + L"C ";
    }
    text += gpu.fan_pct == 0 ? L" --" : format_percent(gpu.fan_pct);
    return text.substr(0, CELL_TEXT_MAX);
}

std::wstring amd_id_row(const AmdGpu& gpu) {
    std::wstring row = gpu.label.str() + L"\n" + std::to_wstring(gpu.gpu_activity) + L"%  " +
                       std::to_wstring(gpu.core_clock) + L"MHz\n" + std::to_wstring(gpu.memory_activity) + L"%  " +
                       std::to_wstring(gpu.memory_clock) + L"MHz  " + std::to_wstring(gpu.vram_used_mb) + L"M\n" +
                       std::to_wstring(gpu.temperature) + L"C  " + std::to_wstring(gpu.fan_pct) + L"%\n" +
                       std::to_wstring(gpu.power_now) + L"W";
    if (gpu.vddc_mv != 0) row += L" " + std::to_wstring(gpu.vddc_mv) + L"mV";
    return row;
}

std::wstring amd_latency_row(Date now, std::wstring_view label, int64_t ms) {
    return date_format(L"%mm-%dd %hh:%ii:%ss ", now) + std::wstring(label) + L" " + tr(L"High Latency") + L": " +
           std::to_wstring(ms) + L"ms";
}
