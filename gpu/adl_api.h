// Our declarations of the AMD display library's binary interface, the table of the functions found in the
// loaded library (nullptr for each one it lacks) and the one lock every call into the library takes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>

#include "gpu/adl_invoke.h"
#include "runtime/leaf_lock.h"

// Calling conventions on i386. Which one the library's functions use is not known (see adl_invoke.h), so no
// call relies on it: every call goes through adl_invoke, and the signatures below, like our own stand-ins for
// library functions (marked ADL_API), are in the compiler's default. The allocation callback that the library
// calls back is stdcall: the library declares it so. On x86-64 there is only one convention.
#define ADL_API
#if defined(__i386__)
#define ADL_CALLBACK __attribute__((stdcall))
#else
#define ADL_CALLBACK
#endif

using AdlResult = int32_t;        // 0 success, > 0 success with a warning, < 0 error
using AdlContext = void*;         // opaque, passed by value after creation
using AdlPmlogDevice = uint32_t;  // 4 bytes on both targets; Create/Start/Stop take its address
using AdlPmlogShared = void*;     // shared-memory handle; Start and Read take its address

enum AdlResultCode : AdlResult {
    ADL_OK = 0,
    ADL_OK_WARNING = 1,
    ADL_ERR = -1,  // also what adl_call gives for a function the library lacks
    ADL_ERR_NOT_SUPPORTED = -8,
};

constexpr int ADL_TEXT_BYTES = 256;  // every text field of the library's records
constexpr int ADL_PMLOG_SENSOR_SLOTS = 256;
constexpr int32_t ADL_AMD_VENDOR_ID = 0x1002;

// ---- Records (same layout on i386 and x86-64) ----

struct AdlAdapterInfo {
    int32_t size;  // caller sets sizeof(AdlAdapterInfo)
    int32_t adapter_index;
    char udid[ADL_TEXT_BYTES];
    int32_t bus_number;
    int32_t device_number;
    int32_t function_number;
    int32_t vendor_id;
    char adapter_name[ADL_TEXT_BYTES];
    char display_name[ADL_TEXT_BYTES];
    int32_t present;
    int32_t exist;
    char driver_path[ADL_TEXT_BYTES];
    char driver_path_ext[ADL_TEXT_BYTES];
    char pnp_string[ADL_TEXT_BYTES];
    int32_t os_display_index;
};
static_assert(sizeof(AdlAdapterInfo) == 1572);
static_assert(offsetof(AdlAdapterInfo, udid) == 8);
static_assert(offsetof(AdlAdapterInfo, bus_number) == 264);
static_assert(offsetof(AdlAdapterInfo, adapter_name) == 280);
static_assert(offsetof(AdlAdapterInfo, present) == 792);
static_assert(offsetof(AdlAdapterInfo, pnp_string) == 1312);
static_assert(offsetof(AdlAdapterInfo, os_display_index) == 1568);

struct AdlMemoryInfo2 {
    int64_t memory_size;  // bytes
    char memory_type[ADL_TEXT_BYTES];
    int64_t memory_bandwidth;  // MB/s
    int64_t hyper_memory_size;
    int64_t invisible_memory_size;
    int64_t visible_memory_size;
};
static_assert(sizeof(AdlMemoryInfo2) == 296);
static_assert(offsetof(AdlMemoryInfo2, memory_bandwidth) == 264);
static_assert(offsetof(AdlMemoryInfo2, visible_memory_size) == 288);

// The current layout (24 bytes); an older driver that writes the 20-byte layout stays inside the record.
struct AdlChipSetInfo {
    int32_t bus_type;
    int32_t bus_speed_type;
    int32_t max_pcie_lane_width;
    int32_t current_pcie_lane_width;
    int32_t supported_agp_speeds;
    int32_t current_agp_speed;
};
static_assert(sizeof(AdlChipSetInfo) == 24);
static_assert(offsetof(AdlChipSetInfo, current_pcie_lane_width) == 12);

struct AdlBiosInfo {
    char part_number[ADL_TEXT_BYTES];
    char version[ADL_TEXT_BYTES];
    char date[ADL_TEXT_BYTES];  // "yyyy/mm/dd hh:mm"
};
static_assert(sizeof(AdlBiosInfo) == 768);

struct AdlAdapterCaps {
    int32_t adapter_id;
    int32_t num_controllers;
    int32_t num_displays;
    int32_t num_overlays;
    int32_t num_glsync_connectors;
    int32_t caps_mask;
    int32_t caps_value;
};
static_assert(sizeof(AdlAdapterCaps) == 28);

struct AdlOdnPerformanceStatus {
    int32_t core_clock;    // 10 kHz
    int32_t memory_clock;  // 10 kHz
    int32_t dcef_clock;
    int32_t gfx_clock;
    int32_t uvd_clock;
    int32_t vce_clock;
    int32_t gpu_activity_percent;
    int32_t current_core_performance_level;
    int32_t current_memory_performance_level;
    int32_t current_dcef_performance_level;
    int32_t current_gfx_performance_level;
    int32_t uvd_performance_level;
    int32_t vce_performance_level;
    int32_t current_bus_speed;
    int32_t current_bus_lanes;
    int32_t maximum_bus_lanes;
    int32_t vddc;  // mV
    int32_t vddci;
};
static_assert(sizeof(AdlOdnPerformanceStatus) == 72);
static_assert(offsetof(AdlOdnPerformanceStatus, current_memory_performance_level) == 32);
static_assert(offsetof(AdlOdnPerformanceStatus, current_bus_lanes) == 56);
static_assert(offsetof(AdlOdnPerformanceStatus, vddc) == 64);

struct AdlOdnFanControl {
    int32_t mode;
    int32_t fan_control_mode;
    int32_t current_fan_speed_mode;
    int32_t current_fan_speed;
    int32_t target_fan_speed;
    int32_t target_temperature;
    int32_t min_performance_clock;
    int32_t min_fan_limit;
};
static_assert(sizeof(AdlOdnFanControl) == 32);
static_assert(offsetof(AdlOdnFanControl, current_fan_speed) == 12);

struct AdlOd6CurrentStatus {
    int32_t engine_clock;  // 10 kHz
    int32_t memory_clock;  // 10 kHz
    int32_t activity_percent;
    int32_t current_performance_level;
    int32_t current_bus_speed;
    int32_t current_bus_lanes;
    int32_t maximum_bus_lanes;
    int32_t ext_value;
    int32_t ext_mask;
};
static_assert(sizeof(AdlOd6CurrentStatus) == 36);
static_assert(offsetof(AdlOd6CurrentStatus, current_bus_lanes) == 20);

constexpr int32_t ADL_OD6_FAN_SPEED_PERCENT = 0x1;  // speed type bit: the percentage is valid

struct AdlOd6FanSpeedInfo {
    int32_t speed_type;
    int32_t fan_speed_percent;
    int32_t fan_speed_rpm;
    int32_t ext_value;
    int32_t ext_mask;
};
static_assert(sizeof(AdlOd6FanSpeedInfo) == 20);

struct AdlPmActivity {
    int32_t size;          // caller sets 40
    int32_t engine_clock;  // 10 kHz
    int32_t memory_clock;  // 10 kHz
    int32_t vddc;          // mV
    int32_t activity_percent;
    int32_t current_performance_level;
    int32_t current_bus_speed;
    int32_t current_bus_lanes;
    int32_t maximum_bus_lanes;
    int32_t reserved;
};
static_assert(sizeof(AdlPmActivity) == 40);
static_assert(offsetof(AdlPmActivity, activity_percent) == 16);
static_assert(offsetof(AdlPmActivity, current_bus_lanes) == 28);

struct AdlTemperature {
    int32_t size;         // caller sets 8
    int32_t temperature;  // millidegrees Celsius
};
static_assert(sizeof(AdlTemperature) == 8);

constexpr int32_t ADL_FAN_SPEED_PERCENT = 1;  // Overdrive 5 speed type: ask for a percentage
constexpr int32_t ADL_FAN_SPEED_RPM = 2;

struct AdlFanSpeedValue {
    int32_t size;        // caller sets 16
    int32_t speed_type;  // unit asked for
    int32_t fan_speed;
    int32_t flags;  // 0 when reading
};
static_assert(sizeof(AdlFanSpeedValue) == 16);

struct AdlVersionsInfoX2 {
    char driver_version[ADL_TEXT_BYTES];
    char catalyst_version[ADL_TEXT_BYTES];
    char crimson_version[ADL_TEXT_BYTES];
    char catalyst_web_link[ADL_TEXT_BYTES];
};
static_assert(sizeof(AdlVersionsInfoX2) == 1024);

struct AdlPmlogSensorValue {
    int32_t supported;
    int32_t value;
};

struct AdlPmlogDataOutput {
    int32_t size;                                         // caller sets sizeof(AdlPmlogDataOutput)
    AdlPmlogSensorValue sensors[ADL_PMLOG_SENSOR_SLOTS];  // indexed by sensor id
};
static_assert(sizeof(AdlPmlogDataOutput) == 2052);
static_assert(offsetof(AdlPmlogDataOutput, sensors) == 4);

struct AdlPmlogSensorLimit {
    int32_t lower;
    int32_t upper;
};

struct AdlPmlogSensorLimits {
    AdlPmlogSensorLimit sensors[ADL_PMLOG_SENSOR_SLOTS];  // indexed by sensor id
};
static_assert(sizeof(AdlPmlogSensorLimits) == 2048);

// ---- Functions ----

using AdlAllocCallback = void*(ADL_CALLBACK*)(int32_t size);

// The address of one library function, nullptr when the library lacks it. It has no call operator on purpose:
// every call goes through adl_call (adl_invoke), the one way that is right for either i386 convention.
template <typename Function>
class AdlFunction {
public:
    using Signature = Function;
    constexpr AdlFunction(Function* address = nullptr) : address_(address) {}
    constexpr Function* address() const { return address_; }
    constexpr explicit operator bool() const { return address_ != nullptr; }
    friend constexpr bool operator==(AdlFunction function, std::nullptr_t) { return function.address_ == nullptr; }

private:
    Function* address_;
};

// Every function returns the library's result; `ctx` first, then the adapter index where there is one.
struct AdlApi {
    AdlFunction<AdlResult(AdlContext, int32_t, int32_t*)> adapter_active_get;
    AdlFunction<AdlResult(AdlContext, AdlAdapterInfo*, int32_t bytes)> adapter_info_get;
    AdlFunction<AdlResult(AdlContext, int32_t, char*, int32_t)> adapter_aspects_get;
    AdlFunction<AdlResult(AdlContext, int32_t, AdlAdapterCaps*)> adapter_caps;
    AdlFunction<AdlResult(AdlContext, int32_t, AdlChipSetInfo*)> adapter_chipset_info_get;
    AdlFunction<AdlResult(AdlContext, int32_t, int32_t*)> adapter_hbc_caps;
    AdlFunction<AdlResult(AdlContext, int32_t, int32_t*)> adapter_headless_get;
    AdlFunction<AdlResult(AdlContext, int32_t, int32_t*, int32_t*)> adapter_gaming_driver_info_get;
    AdlFunction<AdlResult(AdlContext, int32_t, int32_t*, int32_t*, int32_t*)> adapter_led_support_cap;
    AdlFunction<AdlResult(AdlContext, int32_t, AdlMemoryInfo2*)> adapter_memory_info2_get;
    AdlFunction<AdlResult(AdlContext, int32_t*)> adapter_count_get;
    AdlFunction<AdlResult(AdlContext, int32_t, int32_t*, int32_t*)> adapter_observed_clock_get;
    AdlFunction<AdlResult(AdlContext, int32_t, AdlPmlogSensorLimits*)> adapter_pmlog_sensor_limits_get;
    AdlFunction<AdlResult(AdlContext, int32_t, int32_t*, int32_t*)> adapter_speed_caps;
    AdlFunction<AdlResult(AdlContext, int32_t, int32_t*)> adapter_vram_usage_get;
    AdlFunction<AdlResult(AdlContext, int32_t, AdlBiosInfo*)> adapter_video_bios_info_get;
    AdlFunction<AdlResult(AdlContext, int32_t, AdlPmlogDevice*)> pmlog_device_create;
    AdlFunction<AdlResult(AdlContext, AdlPmlogDevice)> pmlog_device_destroy;
    AdlFunction<AdlResult(AdlContext, AdlVersionsInfoX2*)> graphics_versions_x2_get;
    AdlFunction<AdlResult(AdlAllocCallback, int32_t, AdlContext*)> main_control_create;
    AdlFunction<AdlResult(AdlContext)> main_control_destroy;
    AdlFunction<AdlResult(AdlContext, int32_t, AdlPmlogDataOutput*)> new_query_pmlog_data_get;
    AdlFunction<AdlResult(AdlContext, int32_t, AdlPmActivity*)> od5_current_activity_get;
    AdlFunction<AdlResult(AdlContext, int32_t, int32_t, AdlFanSpeedValue*)> od5_fan_speed_get;
    AdlFunction<AdlResult(AdlContext, int32_t, int32_t, AdlTemperature*)> od5_temperature_get;
    AdlFunction<AdlResult(AdlContext, int32_t, int32_t, int32_t*)> od6_current_power_get;
    AdlFunction<AdlResult(AdlContext, int32_t, AdlOd6CurrentStatus*)> od6_current_status_get;
    AdlFunction<AdlResult(AdlContext, int32_t, AdlOd6FanSpeedInfo*)> od6_fan_speed_get;
    AdlFunction<AdlResult(AdlContext, int32_t, int32_t*)> od6_temperature_get;
    AdlFunction<AdlResult(AdlContext, int32_t, int32_t count, int32_t* sensors, AdlPmlogShared*, AdlPmlogDataOutput*)>
        od8_pmlog_read;
    AdlFunction<AdlResult(AdlContext, int32_t, int32_t interval_ms, int32_t count, int32_t* sensors, AdlPmlogDevice*,
                          AdlPmlogShared*, int32_t option)>
        od8_pmlog_start;
    AdlFunction<AdlResult(AdlContext, int32_t, AdlPmlogDevice*)> od8_pmlog_stop;
    AdlFunction<AdlResult(AdlContext, int32_t, AdlOdnFanControl*)> odn_fan_control_get;
    AdlFunction<AdlResult(AdlContext, int32_t, AdlOdnPerformanceStatus*)> odn_performance_status_get;
    AdlFunction<AdlResult(AdlContext, int32_t, int32_t type, int32_t*)> odn_temperature_get;
    AdlFunction<AdlResult(AdlContext, int32_t, int32_t*, int32_t*, int32_t*)> overdrive_caps;
    AdlFunction<AdlResult(AdlContext, int32_t, int32_t*, int32_t*, int32_t*, int32_t*)> adapter_observed_game_clock_get;
};

constexpr int ADL_FUNCTION_COUNT = 37;
static_assert(sizeof(AdlApi) == ADL_FUNCTION_COUNT * sizeof(void*));

// Bound by adl_load; cleared by adl_unload. Read and written only while AdlLock is held.
extern AdlApi Adl;

// The one lock around the library: every call into it, every change of the table and the context's
// destruction hold it; the file is freed only after the table was emptied under it, so no call can run into a
// freed library. A leaf lock: nothing else is locked while it is held, and nothing waits for another thread
// under it.
extern LeafLock AdlLock;

// Calls a function of the table, for a caller that holds AdlLock: the library's result, or ADL_ERR without a
// call when the library lacks the function (or is not bound).
template <typename Function, typename... Args>
AdlResult adl_call_held(AdlFunction<Function> AdlApi::*member, Args... args) {
    const AdlFunction<Function> function = Adl.*member;
    return function ? adl_invoke(function.address(), args...) : ADL_ERR;
}

// The same under AdlLock. Use as adl_call(&AdlApi::adapter_caps, ctx, index, &caps).
template <typename Function, typename... Args>
AdlResult adl_call(AdlFunction<Function> AdlApi::*member, Args... args) {
    std::lock_guard<LeafLock> hold(AdlLock);
    return adl_call_held(member, args...);
}

// True when the bound library has the function.
template <typename Function>
bool adl_has(AdlFunction<Function> AdlApi::*member) {
    std::lock_guard<LeafLock> hold(AdlLock);
    return Adl.*member != nullptr;
}
