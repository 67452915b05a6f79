// Finding, loading and binding the AMD display library, creating its context and checking the driver.
#include <windows.h>

#include <array>

#include "core/control_numbers.h"
#include "core/data_block.h"
#include "core/shared_state.h"
#include "core/shell_folders.h"
#include "gpu/amd_gpu.h"
#include "gpu/gpu_info_rows.h"
#include "runtime/program_libraries.h"

namespace {

void log_line(std::wstring_view text) { gpu_report_line_queue(GPU_VENDOR_AMD, text); }

bool nonempty_file(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return false;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
    return data.nFileSizeHigh != 0 || data.nFileSizeLow != 0;
}

template <typename Function>
void bind(AdlFunction<Function>& target, const char* name) {
    target = reinterpret_cast<Function*>(library_function(LIBRARY_ADL, name));
}

// Looked up outside AdlLock (the lookup takes the libraries' own lock), then stored under it.
AdlApi functions_find() {
    AdlApi a;
    bind(a.adapter_active_get, "ADL2_Adapter_Active_Get");
    bind(a.adapter_info_get, "ADL2_Adapter_AdapterInfo_Get");
    bind(a.adapter_aspects_get, "ADL2_Adapter_Aspects_Get");
    bind(a.adapter_caps, "ADL2_Adapter_Caps");
    bind(a.adapter_chipset_info_get, "ADL2_Adapter_ChipSetInfo_Get");
    bind(a.adapter_hbc_caps, "ADL2_Adapter_HBC_Caps");
    bind(a.adapter_headless_get, "ADL2_Adapter_Headless_Get");
    bind(a.adapter_gaming_driver_info_get, "ADL2_Adapter_IsGamingDriver_Info_Get");
    bind(a.adapter_led_support_cap, "ADL2_Adapter_LED_Support_Cap");
    bind(a.adapter_memory_info2_get, "ADL2_Adapter_MemoryInfo2_Get");
    bind(a.adapter_count_get, "ADL2_Adapter_NumberOfAdapters_Get");
    bind(a.adapter_observed_clock_get, "ADL2_Adapter_ObservedClockInfo_Get");
    bind(a.adapter_pmlog_sensor_limits_get, "ADL2_Adapter_PMLog_SensorLimits_Get");
    bind(a.adapter_speed_caps, "ADL2_Adapter_Speed_Caps");
    bind(a.adapter_vram_usage_get, "ADL2_Adapter_VRAMUsage_Get");
    bind(a.adapter_video_bios_info_get, "ADL2_Adapter_VideoBiosInfo_Get");
    bind(a.pmlog_device_create, "ADL2_Device_PMLog_Device_Create");
    bind(a.pmlog_device_destroy, "ADL2_Device_PMLog_Device_Destroy");
    bind(a.graphics_versions_x2_get, "ADL2_Graphics_VersionsX2_Get");
    bind(a.main_control_create, "ADL2_Main_Control_Create");
    bind(a.main_control_destroy, "ADL2_Main_Control_Destroy");
    bind(a.new_query_pmlog_data_get, "ADL2_New_QueryPMLogData_Get");
    bind(a.od5_current_activity_get, "ADL2_Overdrive5_CurrentActivity_Get");
    bind(a.od5_fan_speed_get, "ADL2_Overdrive5_FanSpeed_Get");
    bind(a.od5_temperature_get, "ADL2_Overdrive5_Temperature_Get");
    bind(a.od6_current_power_get, "ADL2_Overdrive6_CurrentPower_Get");
    bind(a.od6_current_status_get, "ADL2_Overdrive6_CurrentStatus_Get");
    bind(a.od6_fan_speed_get, "ADL2_Overdrive6_FanSpeed_Get");
    bind(a.od6_temperature_get, "ADL2_Overdrive6_Temperature_Get");
    bind(a.od8_pmlog_read, "ADL2_Overdrive8_PMLog_ShareMemory_Read");
    bind(a.od8_pmlog_start, "ADL2_Overdrive8_PMLog_ShareMemory_Start");
    bind(a.od8_pmlog_stop, "ADL2_Overdrive8_PMLog_ShareMemory_Stop");
    bind(a.odn_fan_control_get, "ADL2_OverdriveN_FanControl_Get");
    bind(a.odn_performance_status_get, "ADL2_OverdriveN_PerformanceStatus_Get");
    bind(a.odn_temperature_get, "ADL2_OverdriveN_Temperature_Get");
    bind(a.overdrive_caps, "ADL2_Overdrive_Caps");
    bind(a.adapter_observed_game_clock_get, "ADL2_Adapter_ObservedGameClockInfo_Get");
    return a;
}

}  // namespace

int64_t adl_load() {
    std::vector<std::wstring> candidates;
    const std::wstring system = shell_folder_path(CSIDL_SYSTEM_FOLDER);
    if (!system.empty()) {
        // A 32-bit process can only use the 32-bit file.
        if constexpr (sizeof(void*) == 8) candidates.push_back(system + L"atiadlxx.dll");
        candidates.push_back(system + L"atiadlxy.dll");
    }
    return adl_load_from(candidates);
}

int64_t adl_load_from(const std::vector<std::wstring>& candidates) {
    adl_unload();
    AdlFacts = AdlState{};
    SharedInts[ADL_CREATE_RESULT] = -1;
    log_line(L"Start AMD GPU Detection");
    std::wstring found;
    for (const std::wstring& path : candidates) {
        if (nonempty_file(path)) {
            found = path;
            break;
        }
    }
    if (found.empty()) {
        log_line(L"AMD drivers not running");
        return 0;
    }
    const bool x64_file = found.size() >= 12 && _wcsicmp(found.c_str() + found.size() - 12, L"atiadlxx.dll") == 0;
    log_line(x64_file ? L"Found AMD x64 Drivers" : L"Found AMD x86 Drivers");
    if (!library_load_file(LIBRARY_ADL, found)) {
        log_line(L"AMD Library failed to load");
        return 0;
    }
    log_line(L"AMD Library Opened");
    const AdlApi found_functions = functions_find();
    {
        std::lock_guard<LeafLock> hold(AdlLock);
        Adl = found_functions;
    }

    if (found_functions.main_control_create) {
        log_line(L"Init ADL2_Main_Control_Create");
        AdlContext context = nullptr;
        const AdlResult created = adl_call(&AdlApi::main_control_create, &adl_memory_alloc, 1, &context);
        SharedInts[ADL_CREATE_RESULT] = created;
        if (created == ADL_OK) {
            std::lock_guard<LeafLock> hold(AdlLock);
            AdlFacts.context = context;
        }
    }
    if (SharedInts[ADL_CREATE_RESULT].load() != 0) {
        adl_unload();
        log_line(L"ADL2 missing");
        return 0;
    }

    const int major = adl_versions_read();
    if (major >= AMD_MIN_DRIVER_MAJOR) {
        log_line(L"Driver Info: v" + std::to_wstring(major));
        DataBlockCursor cursor = data_block_cursor(DATA_AMD_SENSOR_COUNT);
        const int32_t bound = data_block_read_int32(cursor);
        AdlFacts.sensor_scan_bound = bound > 0 && bound < ADL_PMLOG_SENSOR_SLOTS ? bound : AMD_SENSOR_SCAN_BOUND;
        return LIBRARY_ADL;
    }
    log_line(L"Driver Incompatible: v" + std::to_wstring(major));
    adl_unload();
    return 0;
}
