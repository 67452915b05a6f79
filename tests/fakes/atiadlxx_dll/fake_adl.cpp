// Our stand-in for the AMD display library: every answer comes from the key=value file that the environment
// variable SOTRIX_FAKE_ADL names, read again at each call. Keys: gpus, and per GPU (key + index, falling back to
// the plain key) outputs, name, udid, bus, od, temperature (millidegrees), fan (percent), power (watts);
// driver, catalyst, crimson, weblink, create_result, and fail (export names, comma separated, that report an
// error). Context creation and destruction and the unload are appended to that file's name + ".log".
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "tests/fakes/fake_config.h"

#include "gpu/adl_api.h"

namespace {

int context_token = 0;

const FakeConfig fake_config("SOTRIX_FAKE_ADL");

std::string value(const std::string& key, const std::string& fallback = "") { return fake_config.value(key, fallback); }
long long number(const std::string& key, long long fallback = 0) { return fake_config.number(key, fallback); }
void log_event(const char* text) { fake_config.log(text); }

// True when the configuration names the export among those that fail.
bool failing(const char* name) {
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

int gpu_count() { return static_cast<int>(number("gpus")); }
int outputs(int gpu) { return static_cast<int>(per_gpu_number(gpu, "outputs", 1)); }

int entry_count() {
    int entries = 0;
    for (int g = 0; g < gpu_count(); ++g) entries += outputs(g);
    return entries;
}

// The GPU of an adapter index (each GPU's outputs follow each other), -1 for an unknown index.
int gpu_of(int32_t index) {
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

}  // namespace

// Exported by name through the .def file, so a variant can leave functions out.
#define FAKE_EXPORT extern "C" AdlResult ADL_API
// A failure configured for the export, or an adapter index the library does not know.
#define FAKE_GUARD(index)                                       \
    if (failing(__func__) || gpu_of(index) < 0) return ADL_ERR; \
    const int gpu = gpu_of(index);                              \
    (void)gpu

FAKE_EXPORT ADL2_Main_Control_Create(AdlAllocCallback alloc, int32_t, AdlContext* context) {
    const auto result = static_cast<AdlResult>(number("create_result", 0));
    if (!alloc || !context) return ADL_ERR;
    if (result != ADL_OK) return result;
    // Like the library, ask the callback for a block once (it must be stdcall on i386, or this unbalances).
    void* block = alloc(16);
    if (!block) return ADL_ERR;
    *context = &context_token;
    log_event("create");
    return ADL_OK;
}
FAKE_EXPORT ADL2_Main_Control_Destroy(AdlContext context) {
    log_event(context == &context_token ? "destroy" : "destroy-unknown");
    return ADL_OK;
}
FAKE_EXPORT ADL2_Graphics_VersionsX2_Get(AdlContext, AdlVersionsInfoX2* v) {
    if (failing(__func__)) return ADL_ERR;
    text_copy(v->driver_version, sizeof v->driver_version, value("driver", "31.0.21001.45002-220315a-380243E"));
    text_copy(v->catalyst_version, sizeof v->catalyst_version, value("catalyst", "22.3.1"));
    text_copy(v->crimson_version, sizeof v->crimson_version, value("crimson", "22.3.1"));
    text_copy(v->catalyst_web_link, sizeof v->catalyst_web_link, value("weblink", "http://127.0.0.1/"));
    return static_cast<AdlResult>(number("versions_result", ADL_OK_WARNING));
}
FAKE_EXPORT ADL2_Adapter_NumberOfAdapters_Get(AdlContext, int32_t* count) {
    if (failing(__func__)) return ADL_ERR;
    *count = entry_count();
    return ADL_OK;
}
FAKE_EXPORT ADL2_Adapter_AdapterInfo_Get(AdlContext, AdlAdapterInfo* infos, int32_t bytes) {
    if (failing(__func__) || bytes < 0) return ADL_ERR;
    const int room = bytes / static_cast<int>(sizeof(AdlAdapterInfo));
    int n = 0;
    for (int g = 0; g < gpu_count(); ++g) {
        for (int o = 0; o < outputs(g) && n < room; ++o, ++n) {
            AdlAdapterInfo& info = infos[n];
            info.adapter_index = n;
            text_copy(info.udid, sizeof info.udid, per_gpu(g, "udid", "PCI_VEN_1002&DEV_73BF&SUBSYS_0E3A1002"));
            text_copy(info.adapter_name, sizeof info.adapter_name, per_gpu(g, "name", "AMD Radeon RX 6800"));
            text_copy(info.pnp_string, sizeof info.pnp_string, "PCI\\VEN_1002&DEV_73BF");
            info.bus_number = static_cast<int32_t>(per_gpu_number(g, "bus", 3 + g));
            info.os_display_index = n;
        }
    }
    return ADL_OK;
}
FAKE_EXPORT ADL2_Adapter_Active_Get(AdlContext, int32_t index, int32_t* active) {
    FAKE_GUARD(index);
    *active = 1;
    return ADL_OK;
}
FAKE_EXPORT ADL2_Adapter_Aspects_Get(AdlContext, int32_t index, char* buffer, int32_t size) {
    FAKE_GUARD(index);
    if (size > 0) text_copy(buffer, static_cast<std::size_t>(size), "3D,Video");
    return ADL_OK;
}
FAKE_EXPORT ADL2_Adapter_Caps(AdlContext, int32_t index, AdlAdapterCaps* caps) {
    FAKE_GUARD(index);
    caps->adapter_id = 0x1234 + gpu;
    caps->num_controllers = 6;
    caps->num_displays = outputs(gpu);
    return ADL_OK;
}
FAKE_EXPORT ADL2_Adapter_ChipSetInfo_Get(AdlContext, int32_t index, AdlChipSetInfo* info) {
    FAKE_GUARD(index);
    info->current_pcie_lane_width = 16;
    info->max_pcie_lane_width = 16;
    return ADL_OK;
}
FAKE_EXPORT ADL2_Adapter_HBC_Caps(AdlContext, int32_t index, int32_t* hbc) {
    FAKE_GUARD(index);
    *hbc = 0;
    return ADL_OK;
}
FAKE_EXPORT ADL2_Adapter_Headless_Get(AdlContext, int32_t index, int32_t* headless) {
    FAKE_GUARD(index);
    *headless = 0;
    return ADL_OK;
}
FAKE_EXPORT ADL2_Adapter_IsGamingDriver_Info_Get(AdlContext, int32_t index, int32_t* compute, int32_t* gaming) {
    FAKE_GUARD(index);
    *compute = 1;
    *gaming = 1;
    return ADL_OK;
}
FAKE_EXPORT ADL2_Adapter_LED_Support_Cap(AdlContext, int32_t index, int32_t* supported, int32_t* enabled,
                                         int32_t* version) {
    FAKE_GUARD(index);
    *supported = 1;
    *enabled = 0;
    *version = 2;
    return ADL_OK;
}
FAKE_EXPORT ADL2_Adapter_MemoryInfo2_Get(AdlContext, int32_t index, AdlMemoryInfo2* memory) {
    FAKE_GUARD(index);
    memory->memory_size = 16LL << 30;
    text_copy(memory->memory_type, sizeof memory->memory_type, "GDDR6");
    memory->memory_bandwidth = 512000;
    return ADL_OK;
}
FAKE_EXPORT ADL2_Adapter_ObservedClockInfo_Get(AdlContext, int32_t index, int32_t* core, int32_t* memory) {
    FAKE_GUARD(index);
    *core = 500;
    *memory = 1000;
    return ADL_OK;
}
FAKE_EXPORT ADL2_Adapter_ObservedGameClockInfo_Get(AdlContext, int32_t index, int32_t* base, int32_t* game,
                                                   int32_t* boost, int32_t* memory) {
    FAKE_GUARD(index);
    *base = 1700;
    *game = 2015;
    *boost = 2105;
    *memory = 2000;
    return ADL_OK;
}
FAKE_EXPORT ADL2_Adapter_PMLog_SensorLimits_Get(AdlContext, int32_t index, AdlPmlogSensorLimits* limits) {
    FAKE_GUARD(index);
    limits->sensors[1].upper = 2500;
    limits->sensors[8].upper = 110;
    limits->sensors[23].upper = 250;
    return ADL_OK;
}
FAKE_EXPORT ADL2_Adapter_Speed_Caps(AdlContext, int32_t index, int32_t* caps, int32_t* valid) {
    FAKE_GUARD(index);
    *caps = 1;
    *valid = 1;
    return ADL_OK;
}
FAKE_EXPORT ADL2_Adapter_VRAMUsage_Get(AdlContext, int32_t index, int32_t* used) {
    FAKE_GUARD(index);
    *used = 1024;
    return ADL_OK;
}
FAKE_EXPORT ADL2_Adapter_VideoBiosInfo_Get(AdlContext, int32_t index, AdlBiosInfo* bios) {
    FAKE_GUARD(index);
    text_copy(bios->part_number, sizeof bios->part_number, "113-D4120100-101");
    text_copy(bios->version, sizeof bios->version, "020.001.000.038.000000");
    text_copy(bios->date, sizeof bios->date, "2021/03/10 03:14");
    return ADL_OK;
}
FAKE_EXPORT ADL2_Device_PMLog_Device_Create(AdlContext, int32_t index, AdlPmlogDevice* device) {
    FAKE_GUARD(index);
    *device = 0x80000000u + static_cast<AdlPmlogDevice>(index);
    return ADL_OK;
}
FAKE_EXPORT ADL2_Device_PMLog_Device_Destroy(AdlContext, AdlPmlogDevice device) {
    log_event(device >= 0x80000000u ? "device-destroy" : "device-destroy-unknown");
    return ADL_OK;
}
FAKE_EXPORT ADL2_Overdrive8_PMLog_ShareMemory_Start(AdlContext, int32_t index, int32_t, int32_t count, int32_t* ids,
                                                    AdlPmlogDevice* device, AdlPmlogShared* shared, int32_t) {
    FAKE_GUARD(index);
    if (count <= 0 || !ids || !device || *device == 0 || !shared) return ADL_ERR;
    *shared = &context_token;
    return ADL_OK;
}
FAKE_EXPORT ADL2_Overdrive8_PMLog_ShareMemory_Stop(AdlContext, int32_t index, AdlPmlogDevice*) {
    FAKE_GUARD(index);
    log_event("pmlog-stop");
    return ADL_OK;
}
namespace {
void pmlog_fill(int gpu, AdlPmlogDataOutput* out) {
    out->sensors[1] = {1, 2100};
    out->sensors[2] = {1, 1000};
    out->sensors[8] = {1, static_cast<int32_t>(per_gpu_number(gpu, "temperature", 55000) / 1000)};
    out->sensors[15] = {1, static_cast<int32_t>(per_gpu_number(gpu, "fan", 30))};
    out->sensors[19] = {1, 12};
    out->sensors[23] = {1, static_cast<int32_t>(per_gpu_number(gpu, "power", 120))};
}
}  // namespace
FAKE_EXPORT ADL2_Overdrive8_PMLog_ShareMemory_Read(AdlContext, int32_t index, int32_t, int32_t*, AdlPmlogShared* shared,
                                                   AdlPmlogDataOutput* out) {
    FAKE_GUARD(index);
    if (!shared || *shared != &context_token || !out || out->size != 2052) return ADL_ERR;
    pmlog_fill(gpu, out);
    return ADL_OK;
}
FAKE_EXPORT ADL2_New_QueryPMLogData_Get(AdlContext, int32_t index, AdlPmlogDataOutput* out) {
    FAKE_GUARD(index);
    if (!out || out->size != 2052) return ADL_ERR;
    pmlog_fill(gpu, out);
    return ADL_OK;
}
FAKE_EXPORT ADL2_Overdrive_Caps(AdlContext, int32_t index, int32_t* supported, int32_t* enabled, int32_t* version) {
    FAKE_GUARD(index);
    *supported = 1;
    *enabled = 1;
    *version = static_cast<int32_t>(per_gpu_number(gpu, "od", 8));
    return ADL_OK;
}
FAKE_EXPORT ADL2_OverdriveN_PerformanceStatus_Get(AdlContext, int32_t index, AdlOdnPerformanceStatus* status) {
    FAKE_GUARD(index);
    status->core_clock = 210000;
    status->memory_clock = 100000;
    status->gpu_activity_percent = 37;
    status->current_memory_performance_level = 2;
    status->vddc = 1050;
    return ADL_OK;
}
FAKE_EXPORT ADL2_OverdriveN_Temperature_Get(AdlContext, int32_t index, int32_t, int32_t* temperature) {
    FAKE_GUARD(index);
    *temperature = static_cast<int32_t>(per_gpu_number(gpu, "temperature", 55000));
    return ADL_OK;
}
FAKE_EXPORT ADL2_OverdriveN_FanControl_Get(AdlContext, int32_t index, AdlOdnFanControl* fan) {
    FAKE_GUARD(index);
    fan->current_fan_speed = static_cast<int32_t>(per_gpu_number(gpu, "fan", 30));
    return ADL_OK;
}
FAKE_EXPORT ADL2_Overdrive6_CurrentStatus_Get(AdlContext, int32_t index, AdlOd6CurrentStatus* status) {
    FAKE_GUARD(index);
    status->engine_clock = 110000;
    status->memory_clock = 150000;
    status->activity_percent = 20;
    return ADL_OK;
}
FAKE_EXPORT ADL2_Overdrive6_Temperature_Get(AdlContext, int32_t index, int32_t* temperature) {
    FAKE_GUARD(index);
    *temperature = static_cast<int32_t>(per_gpu_number(gpu, "temperature", 55000));
    return ADL_OK;
}
FAKE_EXPORT ADL2_Overdrive6_FanSpeed_Get(AdlContext, int32_t index, AdlOd6FanSpeedInfo* fan) {
    FAKE_GUARD(index);
    fan->speed_type = ADL_OD6_FAN_SPEED_PERCENT;
    fan->fan_speed_percent = static_cast<int32_t>(per_gpu_number(gpu, "fan", 30));
    return ADL_OK;
}
FAKE_EXPORT ADL2_Overdrive6_CurrentPower_Get(AdlContext, int32_t index, int32_t, int32_t* power) {
    FAKE_GUARD(index);
    *power = static_cast<int32_t>(per_gpu_number(gpu, "power", 120) * 256);
    return ADL_OK;
}
FAKE_EXPORT ADL2_Overdrive5_CurrentActivity_Get(AdlContext, int32_t index, AdlPmActivity* activity) {
    FAKE_GUARD(index);
    if (activity->size != 40) return ADL_ERR;
    activity->engine_clock = 80000;
    activity->memory_clock = 120000;
    activity->activity_percent = 10;
    return ADL_OK;
}
FAKE_EXPORT ADL2_Overdrive5_Temperature_Get(AdlContext, int32_t index, int32_t, AdlTemperature* temperature) {
    FAKE_GUARD(index);
    if (temperature->size != 8) return ADL_ERR;
    temperature->temperature = static_cast<int32_t>(per_gpu_number(gpu, "temperature", 55000));
    return ADL_OK;
}
FAKE_EXPORT ADL2_Overdrive5_FanSpeed_Get(AdlContext, int32_t index, int32_t, AdlFanSpeedValue* fan) {
    FAKE_GUARD(index);
    if (fan->size != 16 || fan->speed_type != ADL_FAN_SPEED_PERCENT) return ADL_ERR;
    fan->fan_speed = static_cast<int32_t>(per_gpu_number(gpu, "fan", 30));
    return ADL_OK;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_DETACH) log_event("unload");
    return TRUE;
}
