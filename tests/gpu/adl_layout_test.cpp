// The program's declarations of the AMD display library (gpu/adl_api.h) against the fake library's own, written
// apart from them (tests/fakes/atiadlxx_dll/fake_adl_api.h): every record's size and alignment, every field's
// offset, size and signedness, and every function's parameters, one by one. Checked while compiling, so the
// i386 build checks its layouts even where its tests cannot run; a mismatch stops the build naming the field or
// function.
#include <cstddef>
#include <type_traits>

#include "gpu/adl_api.h"
#include "tests/fakes/atiadlxx_dll/fake_adl_api.h"

namespace {

// ---- Records ----

#define SAME_RECORD(ours, theirs)                                                                         \
    static_assert(sizeof(ours) == sizeof(fake_adl::theirs) && alignof(ours) == alignof(fake_adl::theirs), \
                  #ours " and " #theirs " differ in size or alignment")

#define SAME_FIELD(ours, our_field, theirs, their_field)                                                        \
    static_assert(offsetof(ours, our_field) == offsetof(fake_adl::theirs, their_field) &&                       \
                      sizeof(ours::our_field) == sizeof(fake_adl::theirs::their_field) &&                       \
                      std::is_signed_v<std::remove_all_extents_t<decltype(ours::our_field)>> ==                 \
                          std::is_signed_v<std::remove_all_extents_t<decltype(fake_adl::theirs::their_field)>>, \
                  #ours "." #our_field " differs from " #theirs "." #their_field)

SAME_RECORD(AdlAdapterInfo, AdapterInfo);
SAME_FIELD(AdlAdapterInfo, size, AdapterInfo, iSize);
SAME_FIELD(AdlAdapterInfo, adapter_index, AdapterInfo, iAdapterIndex);
SAME_FIELD(AdlAdapterInfo, udid, AdapterInfo, strUDID);
SAME_FIELD(AdlAdapterInfo, bus_number, AdapterInfo, iBusNumber);
SAME_FIELD(AdlAdapterInfo, device_number, AdapterInfo, iDeviceNumber);
SAME_FIELD(AdlAdapterInfo, function_number, AdapterInfo, iFunctionNumber);
SAME_FIELD(AdlAdapterInfo, vendor_id, AdapterInfo, iVendorID);
SAME_FIELD(AdlAdapterInfo, adapter_name, AdapterInfo, strAdapterName);
SAME_FIELD(AdlAdapterInfo, display_name, AdapterInfo, strDisplayName);
SAME_FIELD(AdlAdapterInfo, present, AdapterInfo, iPresent);
SAME_FIELD(AdlAdapterInfo, exist, AdapterInfo, iExist);
SAME_FIELD(AdlAdapterInfo, driver_path, AdapterInfo, strDriverPath);
SAME_FIELD(AdlAdapterInfo, driver_path_ext, AdapterInfo, strDriverPathExt);
SAME_FIELD(AdlAdapterInfo, pnp_string, AdapterInfo, strPNPString);
SAME_FIELD(AdlAdapterInfo, os_display_index, AdapterInfo, iOSDisplayIndex);

SAME_RECORD(AdlMemoryInfo2, ADLMemoryInfo2);
SAME_FIELD(AdlMemoryInfo2, memory_size, ADLMemoryInfo2, iMemorySize);
SAME_FIELD(AdlMemoryInfo2, memory_type, ADLMemoryInfo2, strMemoryType);
SAME_FIELD(AdlMemoryInfo2, memory_bandwidth, ADLMemoryInfo2, iMemoryBandwidth);
SAME_FIELD(AdlMemoryInfo2, hyper_memory_size, ADLMemoryInfo2, iHyperMemorySize);
SAME_FIELD(AdlMemoryInfo2, invisible_memory_size, ADLMemoryInfo2, iInvisibleMemorySize);
SAME_FIELD(AdlMemoryInfo2, visible_memory_size, ADLMemoryInfo2, iVisibleMemorySize);

SAME_RECORD(AdlChipSetInfo, ADLChipSetInfo);
SAME_FIELD(AdlChipSetInfo, bus_type, ADLChipSetInfo, iBusType);
SAME_FIELD(AdlChipSetInfo, bus_speed_type, ADLChipSetInfo, iBusSpeedType);
SAME_FIELD(AdlChipSetInfo, max_pcie_lane_width, ADLChipSetInfo, iMaxPCIELaneWidth);
SAME_FIELD(AdlChipSetInfo, current_pcie_lane_width, ADLChipSetInfo, iCurrentPCIELaneWidth);
SAME_FIELD(AdlChipSetInfo, supported_agp_speeds, ADLChipSetInfo, iSupportedAGPSpeeds);
SAME_FIELD(AdlChipSetInfo, current_agp_speed, ADLChipSetInfo, iCurrentAGPSpeed);

SAME_RECORD(AdlBiosInfo, ADLBiosInfo);
SAME_FIELD(AdlBiosInfo, part_number, ADLBiosInfo, strPartNumber);
SAME_FIELD(AdlBiosInfo, version, ADLBiosInfo, strVersion);
SAME_FIELD(AdlBiosInfo, date, ADLBiosInfo, strDate);

SAME_RECORD(AdlAdapterCaps, ADLAdapterCaps);
SAME_FIELD(AdlAdapterCaps, adapter_id, ADLAdapterCaps, iAdapterID);
SAME_FIELD(AdlAdapterCaps, num_controllers, ADLAdapterCaps, iNumControllers);
SAME_FIELD(AdlAdapterCaps, num_displays, ADLAdapterCaps, iNumDisplays);
SAME_FIELD(AdlAdapterCaps, num_overlays, ADLAdapterCaps, iNumOverlays);
SAME_FIELD(AdlAdapterCaps, num_glsync_connectors, ADLAdapterCaps, iNumOfGLSyncConnectors);
SAME_FIELD(AdlAdapterCaps, caps_mask, ADLAdapterCaps, iCapsMask);
SAME_FIELD(AdlAdapterCaps, caps_value, ADLAdapterCaps, iCapsValue);

SAME_RECORD(AdlOdnPerformanceStatus, ADLODNPerformanceStatus);
SAME_FIELD(AdlOdnPerformanceStatus, core_clock, ADLODNPerformanceStatus, iCoreClock);
SAME_FIELD(AdlOdnPerformanceStatus, memory_clock, ADLODNPerformanceStatus, iMemoryClock);
SAME_FIELD(AdlOdnPerformanceStatus, dcef_clock, ADLODNPerformanceStatus, iDCEFClock);
SAME_FIELD(AdlOdnPerformanceStatus, gfx_clock, ADLODNPerformanceStatus, iGFXClock);
SAME_FIELD(AdlOdnPerformanceStatus, uvd_clock, ADLODNPerformanceStatus, iUVDClock);
SAME_FIELD(AdlOdnPerformanceStatus, vce_clock, ADLODNPerformanceStatus, iVCEClock);
SAME_FIELD(AdlOdnPerformanceStatus, gpu_activity_percent, ADLODNPerformanceStatus, iGPUActivityPercent);
SAME_FIELD(AdlOdnPerformanceStatus, current_core_performance_level, ADLODNPerformanceStatus,
           iCurrentCorePerformanceLevel);
SAME_FIELD(AdlOdnPerformanceStatus, current_memory_performance_level, ADLODNPerformanceStatus,
           iCurrentMemoryPerformanceLevel);
SAME_FIELD(AdlOdnPerformanceStatus, current_dcef_performance_level, ADLODNPerformanceStatus,
           iCurrentDCEFPerformanceLevel);
SAME_FIELD(AdlOdnPerformanceStatus, current_gfx_performance_level, ADLODNPerformanceStatus,
           iCurrentGFXPerformanceLevel);
SAME_FIELD(AdlOdnPerformanceStatus, uvd_performance_level, ADLODNPerformanceStatus, iUVDPerformanceLevel);
SAME_FIELD(AdlOdnPerformanceStatus, vce_performance_level, ADLODNPerformanceStatus, iVCEPerformanceLevel);
SAME_FIELD(AdlOdnPerformanceStatus, current_bus_speed, ADLODNPerformanceStatus, iCurrentBusSpeed);
SAME_FIELD(AdlOdnPerformanceStatus, current_bus_lanes, ADLODNPerformanceStatus, iCurrentBusLanes);
SAME_FIELD(AdlOdnPerformanceStatus, maximum_bus_lanes, ADLODNPerformanceStatus, iMaximumBusLanes);
SAME_FIELD(AdlOdnPerformanceStatus, vddc, ADLODNPerformanceStatus, iVDDC);
SAME_FIELD(AdlOdnPerformanceStatus, vddci, ADLODNPerformanceStatus, iVDDCI);

SAME_RECORD(AdlOdnFanControl, ADLODNFanControl);
SAME_FIELD(AdlOdnFanControl, mode, ADLODNFanControl, iMode);
SAME_FIELD(AdlOdnFanControl, fan_control_mode, ADLODNFanControl, iFanControlMode);
SAME_FIELD(AdlOdnFanControl, current_fan_speed_mode, ADLODNFanControl, iCurrentFanSpeedMode);
SAME_FIELD(AdlOdnFanControl, current_fan_speed, ADLODNFanControl, iCurrentFanSpeed);
SAME_FIELD(AdlOdnFanControl, target_fan_speed, ADLODNFanControl, iTargetFanSpeed);
SAME_FIELD(AdlOdnFanControl, target_temperature, ADLODNFanControl, iTargetTemperature);
SAME_FIELD(AdlOdnFanControl, min_performance_clock, ADLODNFanControl, iMinPerformanceClock);
SAME_FIELD(AdlOdnFanControl, min_fan_limit, ADLODNFanControl, iMinFanLimit);

SAME_RECORD(AdlOd6CurrentStatus, ADLOD6CurrentStatus);
SAME_FIELD(AdlOd6CurrentStatus, engine_clock, ADLOD6CurrentStatus, iEngineClock);
SAME_FIELD(AdlOd6CurrentStatus, memory_clock, ADLOD6CurrentStatus, iMemoryClock);
SAME_FIELD(AdlOd6CurrentStatus, activity_percent, ADLOD6CurrentStatus, iActivityPercent);
SAME_FIELD(AdlOd6CurrentStatus, current_performance_level, ADLOD6CurrentStatus, iCurrentPerformanceLevel);
SAME_FIELD(AdlOd6CurrentStatus, current_bus_speed, ADLOD6CurrentStatus, iCurrentBusSpeed);
SAME_FIELD(AdlOd6CurrentStatus, current_bus_lanes, ADLOD6CurrentStatus, iCurrentBusLanes);
SAME_FIELD(AdlOd6CurrentStatus, maximum_bus_lanes, ADLOD6CurrentStatus, iMaximumBusLanes);
SAME_FIELD(AdlOd6CurrentStatus, ext_value, ADLOD6CurrentStatus, iExtValue);
SAME_FIELD(AdlOd6CurrentStatus, ext_mask, ADLOD6CurrentStatus, iExtMask);

SAME_RECORD(AdlOd6FanSpeedInfo, ADLOD6FanSpeedInfo);
SAME_FIELD(AdlOd6FanSpeedInfo, speed_type, ADLOD6FanSpeedInfo, iSpeedType);
SAME_FIELD(AdlOd6FanSpeedInfo, fan_speed_percent, ADLOD6FanSpeedInfo, iFanSpeedPercent);
SAME_FIELD(AdlOd6FanSpeedInfo, fan_speed_rpm, ADLOD6FanSpeedInfo, iFanSpeedRPM);
SAME_FIELD(AdlOd6FanSpeedInfo, ext_value, ADLOD6FanSpeedInfo, iExtValue);
SAME_FIELD(AdlOd6FanSpeedInfo, ext_mask, ADLOD6FanSpeedInfo, iExtMask);

SAME_RECORD(AdlPmActivity, ADLPMActivity);
SAME_FIELD(AdlPmActivity, size, ADLPMActivity, iSize);
SAME_FIELD(AdlPmActivity, engine_clock, ADLPMActivity, iEngineClock);
SAME_FIELD(AdlPmActivity, memory_clock, ADLPMActivity, iMemoryClock);
SAME_FIELD(AdlPmActivity, vddc, ADLPMActivity, iVddc);
SAME_FIELD(AdlPmActivity, activity_percent, ADLPMActivity, iActivityPercent);
SAME_FIELD(AdlPmActivity, current_performance_level, ADLPMActivity, iCurrentPerformanceLevel);
SAME_FIELD(AdlPmActivity, current_bus_speed, ADLPMActivity, iCurrentBusSpeed);
SAME_FIELD(AdlPmActivity, current_bus_lanes, ADLPMActivity, iCurrentBusLanes);
SAME_FIELD(AdlPmActivity, maximum_bus_lanes, ADLPMActivity, iMaximumBusLanes);
SAME_FIELD(AdlPmActivity, reserved, ADLPMActivity, iReserved);

SAME_RECORD(AdlTemperature, ADLTemperature);
SAME_FIELD(AdlTemperature, size, ADLTemperature, iSize);
SAME_FIELD(AdlTemperature, temperature, ADLTemperature, iTemperature);

SAME_RECORD(AdlFanSpeedValue, ADLFanSpeedValue);
SAME_FIELD(AdlFanSpeedValue, size, ADLFanSpeedValue, iSize);
SAME_FIELD(AdlFanSpeedValue, speed_type, ADLFanSpeedValue, iSpeedType);
SAME_FIELD(AdlFanSpeedValue, fan_speed, ADLFanSpeedValue, iFanSpeed);
SAME_FIELD(AdlFanSpeedValue, flags, ADLFanSpeedValue, iFlags);

SAME_RECORD(AdlVersionsInfoX2, ADLVersionsInfoX2);
SAME_FIELD(AdlVersionsInfoX2, driver_version, ADLVersionsInfoX2, strDriverVer);
SAME_FIELD(AdlVersionsInfoX2, catalyst_version, ADLVersionsInfoX2, strCatalystVersion);
SAME_FIELD(AdlVersionsInfoX2, crimson_version, ADLVersionsInfoX2, strCrimsonVersion);
SAME_FIELD(AdlVersionsInfoX2, catalyst_web_link, ADLVersionsInfoX2, strCatalystWebLink);

SAME_RECORD(AdlPmlogDataOutput, ADLPMLogDataOutput);
SAME_FIELD(AdlPmlogDataOutput, size, ADLPMLogDataOutput, size);
SAME_FIELD(AdlPmlogDataOutput, sensors, ADLPMLogDataOutput, sensors);
SAME_RECORD(AdlPmlogSensorValue, SensorPair);
SAME_FIELD(AdlPmlogSensorValue, supported, SensorPair, supported);
SAME_FIELD(AdlPmlogSensorValue, value, SensorPair, value);

// The limits: records of {lower, upper} for us, rows of two integers for the fake.
SAME_RECORD(AdlPmlogSensorLimits, ADLPMLogSensorLimits);
static_assert(offsetof(AdlPmlogSensorLimits, sensors) == offsetof(fake_adl::ADLPMLogSensorLimits, SensorLimits) &&
                  sizeof(AdlPmlogSensorLimits::sensors) == sizeof(fake_adl::ADLPMLogSensorLimits::SensorLimits),
              "AdlPmlogSensorLimits.sensors differs from ADLPMLogSensorLimits.SensorLimits");
static_assert(sizeof(AdlPmlogSensorLimit) == sizeof(fake_adl::ADLPMLogSensorLimits::SensorLimits[0]) &&
                  offsetof(AdlPmlogSensorLimit, upper) == sizeof(fake_adl::ADLPMLogSensorLimits::SensorLimits[0][0]),
              "AdlPmlogSensorLimit differs from a row of SensorLimits");

// ---- Functions ----

template <typename Ours, typename Theirs>
constexpr bool values_agree();

// What a pointer parameter points at: the same type, records of one size, or values that agree.
template <typename Ours, typename Theirs>
constexpr bool pointees_agree() {
    if constexpr (std::is_same_v<Ours, Theirs>) {
        return true;  // also the only way two function types (the callback) agree, convention included
    } else if constexpr (std::is_class_v<Ours> && std::is_class_v<Theirs>) {
        return sizeof(Ours) == sizeof(Theirs) && alignof(Ours) == alignof(Theirs);
    } else {
        return values_agree<Ours, Theirs>();
    }
}

// A parameter or result: the same type, integers of one size and signedness, or pointers whose targets agree.
template <typename Ours, typename Theirs>
constexpr bool values_agree() {
    if constexpr (std::is_same_v<Ours, Theirs>) {
        return true;
    } else if constexpr (std::is_pointer_v<Ours> && std::is_pointer_v<Theirs>) {
        return pointees_agree<std::remove_pointer_t<Ours>, std::remove_pointer_t<Theirs>>();
    } else if constexpr (std::is_integral_v<Ours> && std::is_integral_v<Theirs>) {
        return sizeof(Ours) == sizeof(Theirs) && std::is_signed_v<Ours> == std::is_signed_v<Theirs>;
    } else {
        return false;
    }
}

template <typename OurResult, typename... OurParams, typename TheirResult, typename... TheirParams>
constexpr bool calls_agree(OurResult (*)(OurParams...), TheirResult (*)(TheirParams...)) {
    if constexpr (sizeof...(OurParams) != sizeof...(TheirParams)) {
        return false;
    } else {
        return values_agree<OurResult, TheirResult>() && (values_agree<OurParams, TheirParams>() && ...);
    }
}

// Each member of the program's function table with the fake's export of the name the binding looks up.
#define ADL_CALL_PAIRS(X)                                                   \
    X(adapter_active_get, ADL2_Adapter_Active_Get)                          \
    X(adapter_info_get, ADL2_Adapter_AdapterInfo_Get)                       \
    X(adapter_aspects_get, ADL2_Adapter_Aspects_Get)                        \
    X(adapter_caps, ADL2_Adapter_Caps)                                      \
    X(adapter_chipset_info_get, ADL2_Adapter_ChipSetInfo_Get)               \
    X(adapter_hbc_caps, ADL2_Adapter_HBC_Caps)                              \
    X(adapter_headless_get, ADL2_Adapter_Headless_Get)                      \
    X(adapter_gaming_driver_info_get, ADL2_Adapter_IsGamingDriver_Info_Get) \
    X(adapter_led_support_cap, ADL2_Adapter_LED_Support_Cap)                \
    X(adapter_memory_info2_get, ADL2_Adapter_MemoryInfo2_Get)               \
    X(adapter_count_get, ADL2_Adapter_NumberOfAdapters_Get)                 \
    X(adapter_observed_clock_get, ADL2_Adapter_ObservedClockInfo_Get)       \
    X(adapter_pmlog_sensor_limits_get, ADL2_Adapter_PMLog_SensorLimits_Get) \
    X(adapter_speed_caps, ADL2_Adapter_Speed_Caps)                          \
    X(adapter_vram_usage_get, ADL2_Adapter_VRAMUsage_Get)                   \
    X(adapter_video_bios_info_get, ADL2_Adapter_VideoBiosInfo_Get)          \
    X(pmlog_device_create, ADL2_Device_PMLog_Device_Create)                 \
    X(pmlog_device_destroy, ADL2_Device_PMLog_Device_Destroy)               \
    X(graphics_versions_x2_get, ADL2_Graphics_VersionsX2_Get)               \
    X(main_control_create, ADL2_Main_Control_Create)                        \
    X(main_control_destroy, ADL2_Main_Control_Destroy)                      \
    X(new_query_pmlog_data_get, ADL2_New_QueryPMLogData_Get)                \
    X(od5_current_activity_get, ADL2_Overdrive5_CurrentActivity_Get)        \
    X(od5_fan_speed_get, ADL2_Overdrive5_FanSpeed_Get)                      \
    X(od5_temperature_get, ADL2_Overdrive5_Temperature_Get)                 \
    X(od6_current_power_get, ADL2_Overdrive6_CurrentPower_Get)              \
    X(od6_current_status_get, ADL2_Overdrive6_CurrentStatus_Get)            \
    X(od6_fan_speed_get, ADL2_Overdrive6_FanSpeed_Get)                      \
    X(od6_temperature_get, ADL2_Overdrive6_Temperature_Get)                 \
    X(od8_pmlog_read, ADL2_Overdrive8_PMLog_ShareMemory_Read)               \
    X(od8_pmlog_start, ADL2_Overdrive8_PMLog_ShareMemory_Start)             \
    X(od8_pmlog_stop, ADL2_Overdrive8_PMLog_ShareMemory_Stop)               \
    X(odn_fan_control_get, ADL2_OverdriveN_FanControl_Get)                  \
    X(odn_performance_status_get, ADL2_OverdriveN_PerformanceStatus_Get)    \
    X(odn_temperature_get, ADL2_OverdriveN_Temperature_Get)                 \
    X(overdrive_caps, ADL2_Overdrive_Caps)                                  \
    X(adapter_observed_game_clock_get, ADL2_Adapter_ObservedGameClockInfo_Get)

#define SAME_CALL(member, name)                                                           \
    static_assert(calls_agree(static_cast<decltype(AdlApi::member)::Signature*>(nullptr), \
                              static_cast<decltype(fake_adl::name)*>(nullptr)),           \
                  "AdlApi::" #member " differs from " #name);
ADL_CALL_PAIRS(SAME_CALL)

#define COUNT_ONE(member, name) +1
static_assert(0 ADL_CALL_PAIRS(COUNT_ONE) == ADL_FUNCTION_COUNT, "a function of the table is not compared");

}  // namespace
