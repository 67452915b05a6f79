// Our stand-in for the AMD display library: every answer comes from the key=value file that the environment
// variable SOTRIX_FAKE_ADL names, read again at each call. Keys: gpus, and per GPU (key + index, falling back to
// the plain key) outputs, name, udid, bus, od, temperature (millidegrees), fan (percent), power (watts);
// driver, catalyst, crimson, weblink, create_result, and fail (export names, comma separated, that report an
// error), trace (1: every call appends "call " + the export's name to the log). Context creation and destruction
// and the unload are appended to that file's name + ".log". Declared from the library's published interface in
// fake_adl_api.h, not from the program's header; built with FAKE_ADL_STDCALL, every export is stdcall on i386
// (tests/fakes/atiadlxx_stdcall_dll).
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "tests/fakes/atiadlxx_dll/fake_adl_api.h"
#include "tests/fakes/fake_config.h"

namespace fake_adl {
namespace {

int context_token = 0;

const FakeConfig fake_config("SOTRIX_FAKE_ADL");

std::string value(const std::string& key, const std::string& fallback = "") { return fake_config.value(key, fallback); }
long long number(const std::string& key, long long fallback = 0) { return fake_config.number(key, fallback); }
void log_event(const char* text) { fake_config.log(text); }

void trace(const char* name) {
    if (number("trace") == 1) log_event(("call " + std::string(name)).c_str());
}

// Notes the call; true when the configuration names the export among those that fail.
bool failing(const char* name) {
    trace(name);
    const std::string list = "," + value("fail") + ",";
    return list.find("," + std::string(name) + ",") != std::string::npos;
}

std::string per_gpu(int gpu, const std::string& key, const std::string& fallback = "") {
    return value(key + std::to_string(gpu), value(key, fallback));
}
long long per_gpu_number(int gpu, const std::string& key, long long fallback = 0) {
    const std::string text = per_gpu(gpu, key);
    return text.empty() ? fallback : std::strtoll(text.c_str(), nullptr, 10);
}
int per_gpu_int(int gpu, const std::string& key, long long fallback) {
    return static_cast<int>(per_gpu_number(gpu, key, fallback));
}

int gpu_count() { return static_cast<int>(number("gpus")); }
int outputs(int gpu) { return per_gpu_int(gpu, "outputs", 1); }

int entry_count() {
    int entries = 0;
    for (int g = 0; g < gpu_count(); ++g) entries += outputs(g);
    return entries;
}

// The GPU of an adapter index (each GPU's outputs follow each other), -1 for an unknown index.
int gpu_of(int index) {
    int first = 0;
    for (int g = 0; g < gpu_count(); ++g) {
        if (index >= first && index < first + outputs(g)) return g;
        first += outputs(g);
    }
    return -1;
}

void text_copy(char* field, std::size_t size, const std::string& text) {
    std::strncpy(field, text.c_str(), size - 1);
    field[size - 1] = '\0';
}

void pmlog_fill(int gpu, ADLPMLogDataOutput* out) {
    out->sensors[1] = {1, 2100};
    out->sensors[2] = {1, 1000};
    out->sensors[8] = {1, per_gpu_int(gpu, "temperature", 55000) / 1000};
    out->sensors[15] = {1, per_gpu_int(gpu, "fan", 30)};
    out->sensors[19] = {1, 12};
    out->sensors[23] = {1, per_gpu_int(gpu, "power", 120)};
}

}  // namespace

// Exported by name through the .def file.
#define FAKE_EXPORT extern "C" int FAKE_ADL_API
// A failure configured for the export, or an adapter index the library does not know.
#define FAKE_GUARD(index)                                       \
    if (failing(__func__) || gpu_of(index) < 0) return ADL_ERR; \
    const int gpu = gpu_of(index);                              \
    (void)gpu

FAKE_EXPORT ADL2_Main_Control_Create(AllocCallback alloc, int, Context* context) {
    trace(__func__);
    const auto result = static_cast<int>(number("create_result", 0));
    if (!alloc || !context) return ADL_ERR;
    if (result != ADL_OK) return result;
    // Like the library, ask the callback for a block once (stdcall on i386: with a cdecl callback the stack of
    // this call would be off by the argument).
    void* block = alloc(16);
    if (!block) return ADL_ERR;
    *context = &context_token;
    log_event("create");
    return ADL_OK;
}
FAKE_EXPORT ADL2_Main_Control_Destroy(Context context) {
    trace(__func__);
    log_event(context == &context_token ? "destroy" : "destroy-unknown");
    return ADL_OK;
}
FAKE_EXPORT ADL2_Graphics_VersionsX2_Get(Context, ADLVersionsInfoX2* v) {
    if (failing(__func__)) return ADL_ERR;
    text_copy(v->strDriverVer, sizeof v->strDriverVer, value("driver", "31.0.21001.45002-220315a-380243E"));
    text_copy(v->strCatalystVersion, sizeof v->strCatalystVersion, value("catalyst", "22.3.1"));
    text_copy(v->strCrimsonVersion, sizeof v->strCrimsonVersion, value("crimson", "22.3.1"));
    text_copy(v->strCatalystWebLink, sizeof v->strCatalystWebLink, value("weblink", "http://127.0.0.1/"));
    return static_cast<int>(number("versions_result", ADL_OK_WARNING));
}
FAKE_EXPORT ADL2_Adapter_NumberOfAdapters_Get(Context, int* count) {
    if (failing(__func__)) return ADL_ERR;
    *count = entry_count();
    return ADL_OK;
}
FAKE_EXPORT ADL2_Adapter_AdapterInfo_Get(Context, AdapterInfo* infos, int bytes) {
    if (failing(__func__) || bytes < 0) return ADL_ERR;
    const int room = bytes / static_cast<int>(sizeof(AdapterInfo));
    int n = 0;
    for (int g = 0; g < gpu_count(); ++g) {
        for (int o = 0; o < outputs(g) && n < room; ++o, ++n) {
            AdapterInfo& info = infos[n];
            info.iAdapterIndex = n;
            text_copy(info.strUDID, sizeof info.strUDID, per_gpu(g, "udid", "PCI_VEN_1002&DEV_73BF&SUBSYS_0E3A1002"));
            text_copy(info.strAdapterName, sizeof info.strAdapterName, per_gpu(g, "name", "AMD Radeon RX 6800"));
            text_copy(info.strPNPString, sizeof info.strPNPString, "PCI\\VEN_1002&DEV_73BF");
            info.iBusNumber = per_gpu_int(g, "bus", 3 + g);
            info.iOSDisplayIndex = n;
        }
    }
    return ADL_OK;
}
FAKE_EXPORT ADL2_Adapter_Active_Get(Context, int index, int* active) {
    FAKE_GUARD(index);
    *active = 1;
    return ADL_OK;
}
FAKE_EXPORT ADL2_Adapter_Aspects_Get(Context, int index, char* buffer, int size) {
    FAKE_GUARD(index);
    if (size > 0) text_copy(buffer, static_cast<std::size_t>(size), "3D,Video");
    return ADL_OK;
}
FAKE_EXPORT ADL2_Adapter_Caps(Context, int index, ADLAdapterCaps* caps) {
    FAKE_GUARD(index);
    caps->iAdapterID = 0x1234 + gpu;
    caps->iNumControllers = 6;
    caps->iNumDisplays = outputs(gpu);
    return ADL_OK;
}
FAKE_EXPORT ADL2_Adapter_ChipSetInfo_Get(Context, int index, ADLChipSetInfo* info) {
    FAKE_GUARD(index);
    info->iCurrentPCIELaneWidth = 16;
    info->iMaxPCIELaneWidth = 16;
    return ADL_OK;
}
FAKE_EXPORT ADL2_Adapter_HBC_Caps(Context, int index, int* hbc) {
    FAKE_GUARD(index);
    *hbc = 0;
    return ADL_OK;
}
FAKE_EXPORT ADL2_Adapter_Headless_Get(Context, int index, int* headless) {
    FAKE_GUARD(index);
    *headless = 0;
    return ADL_OK;
}
FAKE_EXPORT ADL2_Adapter_IsGamingDriver_Info_Get(Context, int index, int* compute, int* gaming) {
    FAKE_GUARD(index);
    *compute = 1;
    *gaming = 1;
    return ADL_OK;
}
FAKE_EXPORT ADL2_Adapter_LED_Support_Cap(Context, int index, int* supported, int* enabled, int* version) {
    FAKE_GUARD(index);
    *supported = 1;
    *enabled = 0;
    *version = 2;
    return ADL_OK;
}
FAKE_EXPORT ADL2_Adapter_MemoryInfo2_Get(Context, int index, ADLMemoryInfo2* memory) {
    FAKE_GUARD(index);
    memory->iMemorySize = 16LL << 30;
    text_copy(memory->strMemoryType, sizeof memory->strMemoryType, "GDDR6");
    memory->iMemoryBandwidth = 512000;
    return ADL_OK;
}
FAKE_EXPORT ADL2_Adapter_ObservedClockInfo_Get(Context, int index, int* core, int* memory) {
    FAKE_GUARD(index);
    *core = 500;
    *memory = 1000;
    return ADL_OK;
}
FAKE_EXPORT ADL2_Adapter_ObservedGameClockInfo_Get(Context, int index, int* base, int* game, int* boost, int* memory) {
    FAKE_GUARD(index);
    *base = 1700;
    *game = 2015;
    *boost = 2105;
    *memory = 2000;
    return ADL_OK;
}
FAKE_EXPORT ADL2_Adapter_PMLog_SensorLimits_Get(Context, int index, ADLPMLogSensorLimits* limits) {
    FAKE_GUARD(index);
    limits->SensorLimits[1][1] = 2500;
    limits->SensorLimits[8][1] = 110;
    limits->SensorLimits[23][1] = 250;
    return ADL_OK;
}
FAKE_EXPORT ADL2_Adapter_Speed_Caps(Context, int index, int* caps, int* valid) {
    FAKE_GUARD(index);
    *caps = 1;
    *valid = 1;
    return ADL_OK;
}
FAKE_EXPORT ADL2_Adapter_VRAMUsage_Get(Context, int index, int* used) {
    FAKE_GUARD(index);
    *used = 1024;
    return ADL_OK;
}
FAKE_EXPORT ADL2_Adapter_VideoBiosInfo_Get(Context, int index, ADLBiosInfo* bios) {
    FAKE_GUARD(index);
    text_copy(bios->strPartNumber, sizeof bios->strPartNumber, "113-D4120100-101");
    text_copy(bios->strVersion, sizeof bios->strVersion, "020.001.000.038.000000");
    text_copy(bios->strDate, sizeof bios->strDate, "2021/03/10 03:14");
    return ADL_OK;
}
FAKE_EXPORT ADL2_Device_PMLog_Device_Create(Context, int index, PmlogDevice* device) {
    FAKE_GUARD(index);
    *device = 0x80000000u + static_cast<PmlogDevice>(index);
    return ADL_OK;
}
FAKE_EXPORT ADL2_Device_PMLog_Device_Destroy(Context, PmlogDevice device) {
    trace(__func__);
    log_event(device >= 0x80000000u ? "device-destroy" : "device-destroy-unknown");
    return ADL_OK;
}
FAKE_EXPORT ADL2_Overdrive8_PMLog_ShareMemory_Start(Context, int index, int, int count, int* ids, PmlogDevice* device,
                                                    void** shared, int) {
    FAKE_GUARD(index);
    if (count <= 0 || !ids || !device || *device == 0 || !shared) return ADL_ERR;
    *shared = &context_token;
    return ADL_OK;
}
FAKE_EXPORT ADL2_Overdrive8_PMLog_ShareMemory_Stop(Context, int index, PmlogDevice*) {
    FAKE_GUARD(index);
    log_event("pmlog-stop");
    return ADL_OK;
}
FAKE_EXPORT ADL2_Overdrive8_PMLog_ShareMemory_Read(Context, int index, int, int*, void** shared,
                                                   ADLPMLogDataOutput* out) {
    FAKE_GUARD(index);
    if (!shared || *shared != &context_token || !out || out->size != static_cast<int>(sizeof(ADLPMLogDataOutput)))
        return ADL_ERR;
    pmlog_fill(gpu, out);
    return ADL_OK;
}
FAKE_EXPORT ADL2_New_QueryPMLogData_Get(Context, int index, ADLPMLogDataOutput* out) {
    FAKE_GUARD(index);
    if (!out || out->size != static_cast<int>(sizeof(ADLPMLogDataOutput))) return ADL_ERR;
    pmlog_fill(gpu, out);
    return ADL_OK;
}
FAKE_EXPORT ADL2_Overdrive_Caps(Context, int index, int* supported, int* enabled, int* version) {
    FAKE_GUARD(index);
    *supported = 1;
    *enabled = 1;
    *version = per_gpu_int(gpu, "od", 8);
    return ADL_OK;
}
FAKE_EXPORT ADL2_OverdriveN_PerformanceStatus_Get(Context, int index, ADLODNPerformanceStatus* status) {
    FAKE_GUARD(index);
    status->iCoreClock = 210000;
    status->iMemoryClock = 100000;
    status->iGPUActivityPercent = 37;
    status->iCurrentMemoryPerformanceLevel = 2;
    status->iVDDC = 1050;
    return ADL_OK;
}
FAKE_EXPORT ADL2_OverdriveN_Temperature_Get(Context, int index, int, int* temperature) {
    FAKE_GUARD(index);
    *temperature = per_gpu_int(gpu, "temperature", 55000);
    return ADL_OK;
}
FAKE_EXPORT ADL2_OverdriveN_FanControl_Get(Context, int index, ADLODNFanControl* fan) {
    FAKE_GUARD(index);
    fan->iCurrentFanSpeed = per_gpu_int(gpu, "fan", 30);
    return ADL_OK;
}
FAKE_EXPORT ADL2_Overdrive6_CurrentStatus_Get(Context, int index, ADLOD6CurrentStatus* status) {
    FAKE_GUARD(index);
    status->iEngineClock = 110000;
    status->iMemoryClock = 150000;
    status->iActivityPercent = 20;
    return ADL_OK;
}
FAKE_EXPORT ADL2_Overdrive6_Temperature_Get(Context, int index, int* temperature) {
    FAKE_GUARD(index);
    *temperature = per_gpu_int(gpu, "temperature", 55000);
    return ADL_OK;
}
FAKE_EXPORT ADL2_Overdrive6_FanSpeed_Get(Context, int index, ADLOD6FanSpeedInfo* fan) {
    FAKE_GUARD(index);
    fan->iSpeedType = OD6_SPEED_PERCENT_VALID;
    fan->iFanSpeedPercent = per_gpu_int(gpu, "fan", 30);
    return ADL_OK;
}
FAKE_EXPORT ADL2_Overdrive6_CurrentPower_Get(Context, int index, int, int* power) {
    FAKE_GUARD(index);
    *power = per_gpu_int(gpu, "power", 120) * 256;
    return ADL_OK;
}
FAKE_EXPORT ADL2_Overdrive5_CurrentActivity_Get(Context, int index, ADLPMActivity* activity) {
    FAKE_GUARD(index);
    if (activity->iSize != static_cast<int>(sizeof(ADLPMActivity))) return ADL_ERR;
    activity->iEngineClock = 80000;
    activity->iMemoryClock = 120000;
    activity->iActivityPercent = 10;
    return ADL_OK;
}
FAKE_EXPORT ADL2_Overdrive5_Temperature_Get(Context, int index, int, ADLTemperature* temperature) {
    FAKE_GUARD(index);
    if (temperature->iSize != static_cast<int>(sizeof(ADLTemperature))) return ADL_ERR;
    temperature->iTemperature = per_gpu_int(gpu, "temperature", 55000);
    return ADL_OK;
}
FAKE_EXPORT ADL2_Overdrive5_FanSpeed_Get(Context, int index, int, ADLFanSpeedValue* fan) {
    FAKE_GUARD(index);
    if (fan->iSize != static_cast<int>(sizeof(ADLFanSpeedValue)) || fan->iSpeedType != OD5_SPEED_PERCENT)
        return ADL_ERR;
    fan->iFanSpeed = per_gpu_int(gpu, "fan", 30);
    return ADL_OK;
}

}  // namespace fake_adl

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_DETACH) fake_adl::log_event("unload");
    return TRUE;
}
