// The fake AMD display library's own declarations of the library's records and functions, written from the
// library's published interface apart from the program's (gpu/adl_api.h), with the library's own field
// names: a layout or signature mistake in the program's header cannot hide behind a fake that shares it
// (tests/gpu/adl_layout_test.cpp holds the two against each other). Needs no <windows.h>.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tests/fakes/stdcall_export.h"

// The library's functions in the convention its declarations imply (the compiler default, cdecl on i386), or,
// with FAKE_ADL_STDCALL defined, stdcall as some other builds of it declare them. The allocation callback is
// stdcall on i386 in every build.
#define FAKE_ADL_CALLBACK FAKE_STDCALL
#if defined(FAKE_ADL_STDCALL)
#define FAKE_ADL_API FAKE_STDCALL
#define FAKE_ADL_SYMBOL(name) FAKE_PLAIN_SYMBOL(name)
#else
#define FAKE_ADL_API
#define FAKE_ADL_SYMBOL(name)
#endif

namespace fake_adl {

constexpr int ADL_OK = 0;
constexpr int ADL_OK_WARNING = 1;
constexpr int ADL_ERR = -1;
constexpr int TEXT_BYTES = 256;
constexpr int PMLOG_SENSORS = 256;
constexpr int OD5_SPEED_PERCENT = 1;          // Overdrive 5 iSpeedType
constexpr int OD6_SPEED_PERCENT_VALID = 0x1;  // Overdrive 6 iSpeedType bit

// ---- Records: the same layout on i386 and x86-64 (no pointer or long members) ----

struct AdapterInfo {
    int iSize;
    int iAdapterIndex;
    char strUDID[TEXT_BYTES];
    int iBusNumber;
    int iDeviceNumber;
    int iFunctionNumber;
    int iVendorID;
    char strAdapterName[TEXT_BYTES];
    char strDisplayName[TEXT_BYTES];
    int iPresent;
    int iExist;
    char strDriverPath[TEXT_BYTES];
    char strDriverPathExt[TEXT_BYTES];
    char strPNPString[TEXT_BYTES];
    int iOSDisplayIndex;
};
static_assert(sizeof(AdapterInfo) == 1572);
static_assert(offsetof(AdapterInfo, iBusNumber) == 264 && offsetof(AdapterInfo, strAdapterName) == 280);
static_assert(offsetof(AdapterInfo, iExist) == 796 && offsetof(AdapterInfo, strPNPString) == 1312);
static_assert(offsetof(AdapterInfo, iOSDisplayIndex) == 1568);

struct ADLMemoryInfo2 {
    long long iMemorySize;
    char strMemoryType[TEXT_BYTES];
    long long iMemoryBandwidth;
    long long iHyperMemorySize;
    long long iInvisibleMemorySize;
    long long iVisibleMemorySize;
};
static_assert(sizeof(ADLMemoryInfo2) == 296 && alignof(ADLMemoryInfo2) == 8);
static_assert(offsetof(ADLMemoryInfo2, iMemoryBandwidth) == 264 && offsetof(ADLMemoryInfo2, iVisibleMemorySize) == 288);

struct ADLChipSetInfo {
    int iBusType;
    int iBusSpeedType;
    int iMaxPCIELaneWidth;
    int iCurrentPCIELaneWidth;
    int iSupportedAGPSpeeds;
    int iCurrentAGPSpeed;
};
static_assert(sizeof(ADLChipSetInfo) == 24 && offsetof(ADLChipSetInfo, iCurrentPCIELaneWidth) == 12);

struct ADLBiosInfo {
    char strPartNumber[TEXT_BYTES];
    char strVersion[TEXT_BYTES];
    char strDate[TEXT_BYTES];
};
static_assert(sizeof(ADLBiosInfo) == 768 && offsetof(ADLBiosInfo, strDate) == 512);

struct ADLAdapterCaps {
    int iAdapterID;
    int iNumControllers;
    int iNumDisplays;
    int iNumOverlays;
    int iNumOfGLSyncConnectors;
    int iCapsMask;
    int iCapsValue;
};
static_assert(sizeof(ADLAdapterCaps) == 28);

struct ADLODNPerformanceStatus {
    int iCoreClock;
    int iMemoryClock;
    int iDCEFClock;
    int iGFXClock;
    int iUVDClock;
    int iVCEClock;
    int iGPUActivityPercent;
    int iCurrentCorePerformanceLevel;
    int iCurrentMemoryPerformanceLevel;
    int iCurrentDCEFPerformanceLevel;
    int iCurrentGFXPerformanceLevel;
    int iUVDPerformanceLevel;
    int iVCEPerformanceLevel;
    int iCurrentBusSpeed;
    int iCurrentBusLanes;
    int iMaximumBusLanes;
    int iVDDC;
    int iVDDCI;
};
static_assert(sizeof(ADLODNPerformanceStatus) == 72);
static_assert(offsetof(ADLODNPerformanceStatus, iCurrentMemoryPerformanceLevel) == 32);
static_assert(offsetof(ADLODNPerformanceStatus, iCurrentBusLanes) == 56 &&
              offsetof(ADLODNPerformanceStatus, iVDDC) == 64);

struct ADLODNFanControl {
    int iMode;
    int iFanControlMode;
    int iCurrentFanSpeedMode;
    int iCurrentFanSpeed;
    int iTargetFanSpeed;
    int iTargetTemperature;
    int iMinPerformanceClock;
    int iMinFanLimit;
};
static_assert(sizeof(ADLODNFanControl) == 32 && offsetof(ADLODNFanControl, iCurrentFanSpeed) == 12);

struct ADLOD6CurrentStatus {
    int iEngineClock;
    int iMemoryClock;
    int iActivityPercent;
    int iCurrentPerformanceLevel;
    int iCurrentBusSpeed;
    int iCurrentBusLanes;
    int iMaximumBusLanes;
    int iExtValue;
    int iExtMask;
};
static_assert(sizeof(ADLOD6CurrentStatus) == 36 && offsetof(ADLOD6CurrentStatus, iCurrentBusLanes) == 20);

struct ADLOD6FanSpeedInfo {
    int iSpeedType;
    int iFanSpeedPercent;
    int iFanSpeedRPM;
    int iExtValue;
    int iExtMask;
};
static_assert(sizeof(ADLOD6FanSpeedInfo) == 20);

struct ADLPMActivity {
    int iSize;
    int iEngineClock;
    int iMemoryClock;
    int iVddc;
    int iActivityPercent;
    int iCurrentPerformanceLevel;
    int iCurrentBusSpeed;
    int iCurrentBusLanes;
    int iMaximumBusLanes;
    int iReserved;
};
static_assert(sizeof(ADLPMActivity) == 40 && offsetof(ADLPMActivity, iActivityPercent) == 16);

struct ADLTemperature {
    int iSize;
    int iTemperature;
};
static_assert(sizeof(ADLTemperature) == 8);

struct ADLFanSpeedValue {
    int iSize;
    int iSpeedType;
    int iFanSpeed;
    int iFlags;
};
static_assert(sizeof(ADLFanSpeedValue) == 16);

struct ADLVersionsInfoX2 {
    char strDriverVer[TEXT_BYTES];
    char strCatalystVersion[TEXT_BYTES];
    char strCrimsonVersion[TEXT_BYTES];
    char strCatalystWebLink[TEXT_BYTES];
};
static_assert(sizeof(ADLVersionsInfoX2) == 1024);

struct SensorPair {
    int supported;
    int value;
};

struct ADLPMLogDataOutput {
    int size;
    SensorPair sensors[PMLOG_SENSORS];
};
static_assert(sizeof(ADLPMLogDataOutput) == 2052 && offsetof(ADLPMLogDataOutput, sensors) == 4);

struct ADLPMLogSensorLimits {
    int SensorLimits[PMLOG_SENSORS][2];  // sensor s: lower, upper
};
static_assert(sizeof(ADLPMLogSensorLimits) == 2048);

// ---- Handles and the callback ----

using Context = void*;             // opaque
using PmlogDevice = unsigned int;  // 4 bytes on both targets; Destroy takes it by value
using AllocCallback = void*(FAKE_ADL_CALLBACK*)(int);

// ---- The 37 functions the program looks up ----

extern "C" {
int FAKE_ADL_API ADL2_Adapter_Active_Get(Context, int iAdapterIndex, int* lpStatus)
    FAKE_ADL_SYMBOL(ADL2_Adapter_Active_Get);
int FAKE_ADL_API ADL2_Adapter_AdapterInfo_Get(Context, AdapterInfo* lpInfo, int iInputSize)
    FAKE_ADL_SYMBOL(ADL2_Adapter_AdapterInfo_Get);
int FAKE_ADL_API ADL2_Adapter_Aspects_Get(Context, int iAdapterIndex, char* lpAspects, int iSize)
    FAKE_ADL_SYMBOL(ADL2_Adapter_Aspects_Get);
int FAKE_ADL_API ADL2_Adapter_Caps(Context, int iAdapterIndex, ADLAdapterCaps* adapterCaps)
    FAKE_ADL_SYMBOL(ADL2_Adapter_Caps);
int FAKE_ADL_API ADL2_Adapter_ChipSetInfo_Get(Context, int iAdapterIndex, ADLChipSetInfo* lpChipSetInfo)
    FAKE_ADL_SYMBOL(ADL2_Adapter_ChipSetInfo_Get);
int FAKE_ADL_API ADL2_Adapter_HBC_Caps(Context, int iAdapterIndex, int* lpHbcCapable)
    FAKE_ADL_SYMBOL(ADL2_Adapter_HBC_Caps);
int FAKE_ADL_API ADL2_Adapter_Headless_Get(Context, int iAdapterIndex, int* lpHeadless)
    FAKE_ADL_SYMBOL(ADL2_Adapter_Headless_Get);
int FAKE_ADL_API ADL2_Adapter_IsGamingDriver_Info_Get(Context, int iAdapterIndex, int* lpCwgSupport,
                                                      int* lpIsGamingMode)
    FAKE_ADL_SYMBOL(ADL2_Adapter_IsGamingDriver_Info_Get);
int FAKE_ADL_API ADL2_Adapter_LED_Support_Cap(Context, int iAdapterIndex, int* lpSupported, int* lpEnabled,
                                              int* lpVersion) FAKE_ADL_SYMBOL(ADL2_Adapter_LED_Support_Cap);
int FAKE_ADL_API ADL2_Adapter_MemoryInfo2_Get(Context, int iAdapterIndex, ADLMemoryInfo2* lpMemoryInfo2)
    FAKE_ADL_SYMBOL(ADL2_Adapter_MemoryInfo2_Get);
int FAKE_ADL_API ADL2_Adapter_NumberOfAdapters_Get(Context, int* lpNumAdapters)
    FAKE_ADL_SYMBOL(ADL2_Adapter_NumberOfAdapters_Get);
int FAKE_ADL_API ADL2_Adapter_ObservedClockInfo_Get(Context, int iAdapterIndex, int* lpCoreClock, int* lpMemoryClock)
    FAKE_ADL_SYMBOL(ADL2_Adapter_ObservedClockInfo_Get);
int FAKE_ADL_API ADL2_Adapter_PMLog_SensorLimits_Get(Context, int iAdapterIndex, ADLPMLogSensorLimits* lpDataOutput)
    FAKE_ADL_SYMBOL(ADL2_Adapter_PMLog_SensorLimits_Get);
int FAKE_ADL_API ADL2_Adapter_Speed_Caps(Context, int iAdapterIndex, int* lpCaps, int* lpValid)
    FAKE_ADL_SYMBOL(ADL2_Adapter_Speed_Caps);
int FAKE_ADL_API ADL2_Adapter_VRAMUsage_Get(Context, int iAdapterIndex, int* iVRAMUsageInMB)
    FAKE_ADL_SYMBOL(ADL2_Adapter_VRAMUsage_Get);
int FAKE_ADL_API ADL2_Adapter_VideoBiosInfo_Get(Context, int iAdapterIndex, ADLBiosInfo* lpBiosInfo)
    FAKE_ADL_SYMBOL(ADL2_Adapter_VideoBiosInfo_Get);
int FAKE_ADL_API ADL2_Device_PMLog_Device_Create(Context, int iAdapterIndex, PmlogDevice* pDevice)
    FAKE_ADL_SYMBOL(ADL2_Device_PMLog_Device_Create);
int FAKE_ADL_API ADL2_Device_PMLog_Device_Destroy(Context, PmlogDevice hDevice)
    FAKE_ADL_SYMBOL(ADL2_Device_PMLog_Device_Destroy);
int FAKE_ADL_API ADL2_Graphics_VersionsX2_Get(Context, ADLVersionsInfoX2* lpVersionsInfo)
    FAKE_ADL_SYMBOL(ADL2_Graphics_VersionsX2_Get);
int FAKE_ADL_API ADL2_Main_Control_Create(AllocCallback callback, int iEnumConnectedAdapters, Context* context)
    FAKE_ADL_SYMBOL(ADL2_Main_Control_Create);
int FAKE_ADL_API ADL2_Main_Control_Destroy(Context context) FAKE_ADL_SYMBOL(ADL2_Main_Control_Destroy);
int FAKE_ADL_API ADL2_New_QueryPMLogData_Get(Context, int iAdapterIndex, ADLPMLogDataOutput* lpDataOutput)
    FAKE_ADL_SYMBOL(ADL2_New_QueryPMLogData_Get);
int FAKE_ADL_API ADL2_Overdrive5_CurrentActivity_Get(Context, int iAdapterIndex, ADLPMActivity* lpActivity)
    FAKE_ADL_SYMBOL(ADL2_Overdrive5_CurrentActivity_Get);
int FAKE_ADL_API ADL2_Overdrive5_FanSpeed_Get(Context, int iAdapterIndex, int iThermalControllerIndex,
                                              ADLFanSpeedValue* lpFanSpeedValue)
    FAKE_ADL_SYMBOL(ADL2_Overdrive5_FanSpeed_Get);
int FAKE_ADL_API ADL2_Overdrive5_Temperature_Get(Context, int iAdapterIndex, int iThermalControllerIndex,
                                                 ADLTemperature* lpTemperature)
    FAKE_ADL_SYMBOL(ADL2_Overdrive5_Temperature_Get);
int FAKE_ADL_API ADL2_Overdrive6_CurrentPower_Get(Context, int iAdapterIndex, int iPowerType, int* lpCurrentValue)
    FAKE_ADL_SYMBOL(ADL2_Overdrive6_CurrentPower_Get);
int FAKE_ADL_API ADL2_Overdrive6_CurrentStatus_Get(Context, int iAdapterIndex, ADLOD6CurrentStatus* lpCurrentStatus)
    FAKE_ADL_SYMBOL(ADL2_Overdrive6_CurrentStatus_Get);
int FAKE_ADL_API ADL2_Overdrive6_FanSpeed_Get(Context, int iAdapterIndex, ADLOD6FanSpeedInfo* lpFanSpeedInfo)
    FAKE_ADL_SYMBOL(ADL2_Overdrive6_FanSpeed_Get);
int FAKE_ADL_API ADL2_Overdrive6_Temperature_Get(Context, int iAdapterIndex, int* lpTemperature)
    FAKE_ADL_SYMBOL(ADL2_Overdrive6_Temperature_Get);
int FAKE_ADL_API ADL2_Overdrive8_PMLog_ShareMemory_Read(Context, int iAdapterIndex, int iNumSensor, int* lpSensorList,
                                                        void** lppSharedMemory, ADLPMLogDataOutput* lpDataOutput)
    FAKE_ADL_SYMBOL(ADL2_Overdrive8_PMLog_ShareMemory_Read);
int FAKE_ADL_API ADL2_Overdrive8_PMLog_ShareMemory_Start(Context, int iAdapterIndex, int iSampleRate, int iNumSensor,
                                                         int* lpSensorList, PmlogDevice* lpHDevice,
                                                         void** lppSharedMemory, int iOption)
    FAKE_ADL_SYMBOL(ADL2_Overdrive8_PMLog_ShareMemory_Start);
int FAKE_ADL_API ADL2_Overdrive8_PMLog_ShareMemory_Stop(Context, int iAdapterIndex, PmlogDevice* lpHDevice)
    FAKE_ADL_SYMBOL(ADL2_Overdrive8_PMLog_ShareMemory_Stop);
int FAKE_ADL_API ADL2_OverdriveN_FanControl_Get(Context, int iAdapterIndex, ADLODNFanControl* lpOdFanControl)
    FAKE_ADL_SYMBOL(ADL2_OverdriveN_FanControl_Get);
int FAKE_ADL_API ADL2_OverdriveN_PerformanceStatus_Get(Context, int iAdapterIndex,
                                                       ADLODNPerformanceStatus* lpOdPerformanceStatus)
    FAKE_ADL_SYMBOL(ADL2_OverdriveN_PerformanceStatus_Get);
int FAKE_ADL_API ADL2_OverdriveN_Temperature_Get(Context, int iAdapterIndex, int iTemperatureType, int* iTemperature)
    FAKE_ADL_SYMBOL(ADL2_OverdriveN_Temperature_Get);
int FAKE_ADL_API ADL2_Overdrive_Caps(Context, int iAdapterIndex, int* iSupported, int* iEnabled, int* iVersion)
    FAKE_ADL_SYMBOL(ADL2_Overdrive_Caps);
int FAKE_ADL_API ADL2_Adapter_ObservedGameClockInfo_Get(Context, int iAdapterIndex, int* lpBaseClock, int* lpGameClock,
                                                        int* lpBoostClock, int* lpMemoryClock)
    FAKE_ADL_SYMBOL(ADL2_Adapter_ObservedGameClockInfo_Get);
}

}  // namespace fake_adl
