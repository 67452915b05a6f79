// Our stand-in for the NVIDIA management library. Every answer comes from the key=value file that the
// environment variable SOTRIX_FAKE_NVML names, read again at each call so that a test can change the values
// while a sampler runs. Values are per GPU (key + index, falling back to the plain key); a key named after an
// export ("nvmlDeviceGetBoardId=3", or per GPU "nvmlDeviceGetBoardId1=3") makes that export fail with the code
// given. As the library does, it refuses every call but the start with UNINITIALIZED until nvmlInit and after
// the matching nvmlShutdown (starts are counted). Appended to that file's name + ".log": start, shutdown,
// unload and "refused <export>" for each refused call; to its name + ".calls": each export's name at its first
// call that was not refused.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "tests/fakes/fake_config.h"
#include "tests/fakes/nvml_dll/fake_nvml_records.h"

using namespace fake_nvml;

namespace {

std::atomic<int> starts{0};  // nvmlInit calls not yet matched by an nvmlShutdown

const FakeConfig fake_config("SOTRIX_FAKE_NVML");

std::string value(const std::string& key, const std::string& fallback = "") { return fake_config.value(key, fallback); }
long long number(const std::string& key, long long fallback = 0) { return fake_config.number(key, fallback); }
void log_event(const std::string& text) { fake_config.log(text.c_str()); }

// Notes the first call of each export in the ".calls" file.
void call_note(const char* function) {
    static std::mutex guard;
    static std::set<std::string> noted;
    std::lock_guard hold(guard);
    if (!noted.insert(function).second) return;
    const std::string path = fake_config.path();
    if (path.empty()) return;
    if (FILE* file = std::fopen((path + ".calls").c_str(), "ab")) {
        std::fprintf(file, "%s\n", function);
        std::fclose(file);
    }
}

// The device's index from its handle (index + 1), -1 for an unknown handle.
int device_index(void* device) {
    const auto index = static_cast<long long>(reinterpret_cast<intptr_t>(device)) - 1;
    return index >= 0 && index < number("gpus") ? static_cast<int>(index) : -1;
}

std::string per_gpu(void* device, const std::string& key, const std::string& fallback = "") {
    return value(key + std::to_string(device_index(device)), value(key, fallback));
}

// A decimal number, or a hexadecimal one after "0x".
long long per_gpu_number(void* device, const std::string& key, long long fallback = 0) {
    const std::string text = per_gpu(device, key);
    if (text.empty()) return fallback;
    const bool hex = text.rfind("0x", 0) == 0;
    return std::strtoll(text.c_str() + (hex ? 2 : 0), nullptr, hex ? 16 : 10);
}

uint32_t per_gpu_u32(void* device, const std::string& key, long long fallback) {
    return static_cast<uint32_t>(per_gpu_number(device, key, fallback));
}

// What a call gets before its own work: UNINITIALIZED outside a start (noted as refused), else the failure
// that the configuration names for the export, 0 when it names none.
int system_entry(const char* function) {
    if (starts.load() <= 0) {
        log_event(std::string("refused ") + function);
        return UNINITIALIZED;
    }
    call_note(function);
    return static_cast<int>(number(function, SUCCESS));
}

// The same for a device's call, which also refuses a handle the library did not give and a missing output.
int device_entry(const char* function, void* device, bool output_given) {
    if (const int result = system_entry(function)) return result;
    if (device_index(device) < 0 || !output_given) return INVALID_ARGUMENT;
    return static_cast<int>(per_gpu_number(device, function, SUCCESS));
}

// A comma-separated list of whole numbers; empty for an empty text.
std::vector<uint32_t> number_list(const std::string& text) {
    std::vector<uint32_t> numbers;
    const char* at = text.c_str();
    while (*at) {
        char* end = nullptr;
        numbers.push_back(static_cast<uint32_t>(std::strtoul(at, &end, 10)));
        if (end == at) break;
        at = *end == ',' ? end + 1 : end;
    }
    return numbers;
}

// Like the library: a buffer below `needed` bytes, or too small for the text, gets INSUFFICIENT_SIZE and
// nothing written.
int text_out(const std::string& text, char* buffer, unsigned length, unsigned needed) {
    if (!buffer) return INVALID_ARGUMENT;
    if (length < needed || text.size() + 1 > length) return INSUFFICIENT_SIZE;
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return SUCCESS;
}

// Like the library: the list's length on entry is its room; with too little room the needed length comes back
// with INSUFFICIENT_SIZE and nothing written.
int list_out(const std::vector<uint32_t>& values, unsigned* count, unsigned* list) {
    if (!count) return INVALID_ARGUMENT;
    const unsigned room = *count;
    *count = static_cast<unsigned>(values.size());
    if (room < values.size()) return INSUFFICIENT_SIZE;
    if (!list && !values.empty()) return INVALID_ARGUMENT;
    for (std::size_t i = 0; i < values.size(); ++i) list[i] = values[i];
    return SUCCESS;
}

int count_out(unsigned* count) {
    if (!count) return INVALID_ARGUMENT;
    *count = static_cast<unsigned>(number("gpus"));
    return SUCCESS;
}

// A handle is the index + 1, so that no GPU has the null handle.
int handle_out(unsigned index, void** device) {
    if (!device || index >= static_cast<unsigned>(number("gpus"))) return INVALID_ARGUMENT;
    *device = reinterpret_cast<void*>(static_cast<intptr_t>(index) + 1);
    return SUCCESS;
}

// One number of the configuration into an output.
template <typename Out>
int value_out(void* device, const char* key, long long fallback, Out* out) {
    *out = static_cast<Out>(per_gpu_number(device, key, fallback));
    return SUCCESS;
}

int current_clock(void* device, int type, unsigned* mhz) {
    static const char* const keys[4] = {"graphics", "sm", "memory", "video"};
    if (type < 0 || type > 3) return INVALID_ARGUMENT;
    return value_out(device, keys[type], 1000, mhz);
}

void pci_fill(void* device, PciInfo& info) {
    const int index = device_index(device);
    info = PciInfo{};
    info.domain = per_gpu_u32(device, "pci_domain", 0);
    info.bus = per_gpu_u32(device, "pci_bus", index + 1);
    info.device = per_gpu_u32(device, "pci_device", 0);
    info.pci_device_id = per_gpu_u32(device, "pci_device_id", 0x278610DE);
    info.pci_subsystem_id = per_gpu_u32(device, "pci_subsystem_id", 0x16001043);
    char legacy[32];
    std::snprintf(legacy, sizeof legacy, "%04X:%02X:%02X.0", info.domain, info.bus, info.device);
    std::strncpy(info.bus_id_legacy, per_gpu(device, "bus", legacy).c_str(), sizeof info.bus_id_legacy - 1);
    std::snprintf(info.bus_id, sizeof info.bus_id, "%08X:%02X:%02X.0", info.domain, info.bus, info.device);
}

}  // namespace

// Exported by name through the .def file of each variant, so a variant can leave functions out.
#define FAKE_EXPORT extern "C"
// The entry of a system call and of a device call with their outputs, named after the export.
#define FAKE_SYSTEM_ENTRY() \
    if (const int early = system_entry(__func__); early) return early
#define FAKE_DEVICE_ENTRY(device, ...) \
    if (const int early = device_entry(__func__, device, __VA_ARGS__); early) return early

FAKE_EXPORT int nvmlInit() {
    const int result = static_cast<int>(number("nvmlInit", SUCCESS));
    if (result != SUCCESS) return result;
    ++starts;
    log_event("init");
    return SUCCESS;
}
FAKE_EXPORT int nvmlInit_v2() { return nvmlInit(); }
FAKE_EXPORT int nvmlShutdown() {
    FAKE_SYSTEM_ENTRY();
    --starts;
    log_event("shutdown");
    return SUCCESS;
}

// ---- The system ----

FAKE_EXPORT int nvmlSystemGetDriverVersion(char* buffer, unsigned length) {
    FAKE_SYSTEM_ENTRY();
    return text_out(value("driver", "551.23"), buffer, length, DRIVER_VERSION_BYTES);
}
FAKE_EXPORT int nvmlSystemGetNVMLVersion(char* buffer, unsigned length) {
    FAKE_SYSTEM_ENTRY();
    return text_out(value("nvml", "12.551.23"), buffer, length, VERSION_BYTES);
}
// The older export reads the driver's CUDA version, the newer one the CUDA library's: they may differ.
FAKE_EXPORT int nvmlSystemGetCudaDriverVersion(int* version) {
    FAKE_SYSTEM_ENTRY();
    if (!version) return INVALID_ARGUMENT;
    *version = static_cast<int>(number("cuda", 12040));
    return SUCCESS;
}
FAKE_EXPORT int nvmlSystemGetCudaDriverVersion_v2(int* version) {
    FAKE_SYSTEM_ENTRY();
    if (!version) return INVALID_ARGUMENT;
    *version = static_cast<int>(number("cuda_v2", number("cuda", 12040)));
    return SUCCESS;
}
// Both count functions see every GPU, and both handle functions give every one: the fake has no GPU that
// this process may not use.
FAKE_EXPORT int nvmlDeviceGetCount(unsigned* count) {
    FAKE_SYSTEM_ENTRY();
    return count_out(count);
}
FAKE_EXPORT int nvmlDeviceGetCount_v2(unsigned* count) {
    FAKE_SYSTEM_ENTRY();
    return count_out(count);
}
FAKE_EXPORT int nvmlDeviceGetHandleByIndex(unsigned index, void** device) {
    FAKE_SYSTEM_ENTRY();
    return handle_out(index, device);
}
FAKE_EXPORT int nvmlDeviceGetHandleByIndex_v2(unsigned index, void** device) {
    FAKE_SYSTEM_ENTRY();
    return handle_out(index, device);
}

// ---- Texts of a device ----

FAKE_EXPORT int nvmlDeviceGetName(void* device, char* buffer, unsigned length) {
    FAKE_DEVICE_ENTRY(device, true);
    return text_out(per_gpu(device, "name", "Fake  GeForce   " + std::to_string(device_index(device))), buffer, length,
                    NAME_BYTES);
}
FAKE_EXPORT int nvmlDeviceGetBoardPartNumber(void* device, char* buffer, unsigned length) {
    FAKE_DEVICE_ENTRY(device, true);
    return text_out(per_gpu(device, "part", "900-1G133-2530-000"), buffer, length, PART_NUMBER_BYTES);
}
FAKE_EXPORT int nvmlDeviceGetSerial(void* device, char* buffer, unsigned length) {
    FAKE_DEVICE_ENTRY(device, true);
    return text_out(per_gpu(device, "serial", "1320000000001"), buffer, length, SERIAL_BYTES);
}
FAKE_EXPORT int nvmlDeviceGetUUID(void* device, char* buffer, unsigned length) {
    FAKE_DEVICE_ENTRY(device, true);
    return text_out(per_gpu(device, "uuid", "GPU-00000000-1111-2222-3333-444444444444"), buffer, length, UUID_BYTES);
}
FAKE_EXPORT int nvmlDeviceGetVbiosVersion(void* device, char* buffer, unsigned length) {
    FAKE_DEVICE_ENTRY(device, true);
    return text_out(per_gpu(device, "vbios", "95.02.18.80.5F"), buffer, length, VBIOS_BYTES);
}
FAKE_EXPORT int nvmlDeviceGetInforomVersion(void* device, int object, char* buffer, unsigned length) {
    static const char* const keys[3] = {"inforom_oem", "inforom_ecc", "inforom_power"};
    FAKE_DEVICE_ENTRY(device, true);
    if (object < 0 || object > 2) return INVALID_ARGUMENT;
    return text_out(per_gpu(device, keys[object], "G001.0000.03.03"), buffer, length, INFOROM_BYTES);
}
FAKE_EXPORT int nvmlDeviceGetInforomImageVersion(void* device, char* buffer, unsigned length) {
    FAKE_DEVICE_ENTRY(device, true);
    return text_out(per_gpu(device, "inforom_image", "G001.0000.03.04"), buffer, length, INFOROM_BYTES);
}
FAKE_EXPORT int nvmlDeviceGetInforomConfigurationChecksum(void* device, unsigned* checksum) {
    FAKE_DEVICE_ENTRY(device, checksum != nullptr);
    return value_out(device, "inforom_checksum", 0x1A2B3C4D, checksum);
}

// ---- Identity and location ----

FAKE_EXPORT int nvmlDeviceGetBrand(void* device, int* brand) {
    FAKE_DEVICE_ENTRY(device, brand != nullptr);
    return value_out(device, "brand", 5, brand);
}
FAKE_EXPORT int nvmlDeviceGetBoardId(void* device, unsigned* id) {
    FAKE_DEVICE_ENTRY(device, id != nullptr);
    return value_out(device, "board_id", 0x100 + device_index(device), id);
}
FAKE_EXPORT int nvmlDeviceGetPciInfo_v3(void* device, PciInfo* record) {
    FAKE_DEVICE_ENTRY(device, record != nullptr);
    pci_fill(device, *record);
    return SUCCESS;
}
// The older export writes the older, shorter record only.
FAKE_EXPORT int nvmlDeviceGetPciInfo(void* device, PciInfoOld* record) {
    FAKE_DEVICE_ENTRY(device, record != nullptr);
    PciInfo info;
    pci_fill(device, info);
    *record = PciInfoOld{};
    std::memcpy(record->bus_id, info.bus_id_legacy, sizeof record->bus_id);
    record->domain = info.domain;
    record->bus = info.bus;
    record->device = info.device;
    record->pci_device_id = info.pci_device_id;
    record->pci_subsystem_id = info.pci_subsystem_id;
    return SUCCESS;
}
FAKE_EXPORT int nvmlDeviceGetMaxPcieLinkGeneration(void* device, unsigned* generation) {
    FAKE_DEVICE_ENTRY(device, generation != nullptr);
    return value_out(device, "pcie_gen_max", 4, generation);
}
FAKE_EXPORT int nvmlDeviceGetMaxPcieLinkWidth(void* device, unsigned* width) {
    FAKE_DEVICE_ENTRY(device, width != nullptr);
    return value_out(device, "pcie_width_max", 16, width);
}
FAKE_EXPORT int nvmlDeviceGetCurrPcieLinkGeneration(void* device, unsigned* generation) {
    FAKE_DEVICE_ENTRY(device, generation != nullptr);
    return value_out(device, "pcie_gen", 3, generation);
}
FAKE_EXPORT int nvmlDeviceGetCurrPcieLinkWidth(void* device, unsigned* width) {
    FAKE_DEVICE_ENTRY(device, width != nullptr);
    return value_out(device, "pcie_width", 8, width);
}
FAKE_EXPORT int nvmlDeviceGetPcieReplayCounter(void* device, unsigned* count) {
    FAKE_DEVICE_ENTRY(device, count != nullptr);
    return value_out(device, "replay", 0, count);
}

// ---- Memory and clocks ----

FAKE_EXPORT int nvmlDeviceGetMemoryInfo(void* device, Memory* memory) {
    FAKE_DEVICE_ENTRY(device, memory != nullptr);
    memory->total = static_cast<uint64_t>(per_gpu_number(device, "memory_total", 8589934592LL));
    memory->used = static_cast<uint64_t>(per_gpu_number(device, "memory_used", 1073741824LL));
    memory->free = memory->total - memory->used;
    return SUCCESS;
}
FAKE_EXPORT int nvmlDeviceGetMaxClockInfo(void* device, int type, unsigned* mhz) {
    static const char* const keys[4] = {"max_graphics", "max_sm", "max_memory", "max_video"};
    FAKE_DEVICE_ENTRY(device, mhz != nullptr);
    if (type < 0 || type > 3) return INVALID_ARGUMENT;
    return value_out(device, keys[type], 2000, mhz);
}
FAKE_EXPORT int nvmlDeviceGetClockInfo(void* device, int type, unsigned* mhz) {
    FAKE_DEVICE_ENTRY(device, mhz != nullptr);
    return current_clock(device, type, mhz);
}
// Only the current clocks (id 0) are known.
FAKE_EXPORT int nvmlDeviceGetClock(void* device, int type, int id, unsigned* mhz) {
    FAKE_DEVICE_ENTRY(device, mhz != nullptr);
    if (id != 0) return NOT_SUPPORTED;
    return current_clock(device, type, mhz);
}
// The lists run from the highest clock down, as the library gives them.
FAKE_EXPORT int nvmlDeviceGetSupportedMemoryClocks(void* device, unsigned* count, unsigned* list) {
    FAKE_DEVICE_ENTRY(device, true);
    return list_out(number_list(per_gpu(device, "memory_clocks", "7001,5001,810,405")), count, list);
}
// The graphics clocks that go with one of the supported memory clocks; another memory clock is NOT_FOUND.
FAKE_EXPORT int nvmlDeviceGetSupportedGraphicsClocks(void* device, unsigned memory_mhz, unsigned* count,
                                                     unsigned* list) {
    FAKE_DEVICE_ENTRY(device, true);
    const std::vector<uint32_t> memory = number_list(per_gpu(device, "memory_clocks", "7001,5001,810,405"));
    bool known = false;
    for (const uint32_t mhz : memory) known = known || mhz == memory_mhz;
    if (!known) return NOT_FOUND;
    return list_out(number_list(per_gpu(device, "graphics_clocks", "2100,1950,1500,300")), count, list);
}

// ---- Live readings ----

FAKE_EXPORT int nvmlDeviceGetUtilizationRates(void* device, Utilization* rates) {
    FAKE_DEVICE_ENTRY(device, rates != nullptr);
    rates->gpu = per_gpu_u32(device, "util_gpu", 40);
    rates->memory = per_gpu_u32(device, "util_memory", 20);
    return SUCCESS;
}
FAKE_EXPORT int nvmlDeviceGetFanSpeed(void* device, unsigned* percent) {
    FAKE_DEVICE_ENTRY(device, percent != nullptr);
    return value_out(device, "fan", 33, percent);
}
FAKE_EXPORT int nvmlDeviceGetFanSpeed_v2(void* device, unsigned fan, unsigned* percent) {
    FAKE_DEVICE_ENTRY(device, percent != nullptr);
    if (fan != 0) return INVALID_ARGUMENT;  // one fan
    return value_out(device, "fan", 33, percent);
}
FAKE_EXPORT int nvmlDeviceGetTemperature(void* device, int sensor, unsigned* degrees) {
    FAKE_DEVICE_ENTRY(device, degrees != nullptr);
    if (sensor != 0) return INVALID_ARGUMENT;
    return value_out(device, "temperature", 55, degrees);
}
FAKE_EXPORT int nvmlDeviceGetTemperatureThreshold(void* device, int type, unsigned* degrees) {
    static const char* const keys[4] = {"temp_shutdown", "temp_slowdown", "temp_memory_max", "temp_gpu_max"};
    static const long long defaults[4] = {98, 95, 90, 88};
    FAKE_DEVICE_ENTRY(device, degrees != nullptr);
    if (type < 0 || type > 3) return NOT_SUPPORTED;
    return value_out(device, keys[type], defaults[type], degrees);
}
FAKE_EXPORT int nvmlDeviceGetPerformanceState(void* device, int* state) {
    FAKE_DEVICE_ENTRY(device, state != nullptr);
    return value_out(device, "pstate", 2, state);
}
FAKE_EXPORT int nvmlDeviceGetPowerUsage(void* device, unsigned* mw) {
    FAKE_DEVICE_ENTRY(device, mw != nullptr);
    return value_out(device, "power_mw", 123500, mw);
}

// ---- Power limits and energy, in mW and mJ ----

FAKE_EXPORT int nvmlDeviceGetPowerManagementLimit(void* device, unsigned* mw) {
    FAKE_DEVICE_ENTRY(device, mw != nullptr);
    return value_out(device, "power_limit_mw", 250000, mw);
}
FAKE_EXPORT int nvmlDeviceGetPowerManagementDefaultLimit(void* device, unsigned* mw) {
    FAKE_DEVICE_ENTRY(device, mw != nullptr);
    return value_out(device, "power_default_mw", 250000, mw);
}
FAKE_EXPORT int nvmlDeviceGetPowerManagementLimitConstraints(void* device, unsigned* lowest, unsigned* highest) {
    FAKE_DEVICE_ENTRY(device, lowest && highest);
    *lowest = per_gpu_u32(device, "power_min_mw", 100000);
    return value_out(device, "power_max_mw", 300000, highest);
}
FAKE_EXPORT int nvmlDeviceGetEnforcedPowerLimit(void* device, unsigned* mw) {
    FAKE_DEVICE_ENTRY(device, mw != nullptr);
    return value_out(device, "power_enforced_mw", 240000, mw);
}
FAKE_EXPORT int nvmlDeviceGetTotalEnergyConsumption(void* device, unsigned long long* mj) {
    FAKE_DEVICE_ENTRY(device, mj != nullptr);
    return value_out(device, "energy_mj", 123456789LL, mj);
}

// ---- Modes ----

FAKE_EXPORT int nvmlDeviceGetComputeMode(void* device, int* mode) {
    FAKE_DEVICE_ENTRY(device, mode != nullptr);
    return value_out(device, "compute_mode", 0, mode);
}
FAKE_EXPORT int nvmlDeviceGetDisplayMode(void* device, int* mode) {
    FAKE_DEVICE_ENTRY(device, mode != nullptr);
    return value_out(device, "display_mode", 1, mode);
}
FAKE_EXPORT int nvmlDeviceGetDisplayActive(void* device, int* active) {
    FAKE_DEVICE_ENTRY(device, active != nullptr);
    return value_out(device, "display_active", 1, active);
}
FAKE_EXPORT int nvmlDeviceGetPersistenceMode(void* device, int* mode) {
    FAKE_DEVICE_ENTRY(device, mode != nullptr);
    return value_out(device, "persistence_mode", 0, mode);
}
FAKE_EXPORT int nvmlDeviceGetDriverModel(void* device, int* current, int* pending) {
    FAKE_DEVICE_ENTRY(device, current && pending);
    value_out(device, "driver_model_pending", per_gpu_number(device, "driver_model", 0), pending);
    return value_out(device, "driver_model", 0, current);
}
FAKE_EXPORT int nvmlDeviceGetGpuOperationMode(void* device, int* current, int* pending) {
    FAKE_DEVICE_ENTRY(device, current && pending);
    value_out(device, "operation_mode_pending", per_gpu_number(device, "operation_mode", 0), pending);
    return value_out(device, "operation_mode", 0, current);
}
// A GeForce has no ECC memory: both ECC queries are NOT_SUPPORTED unless the configuration names a result for
// them ("nvmlDeviceGetEccMode=0" lets the mode be read).
FAKE_EXPORT int nvmlDeviceGetEccMode(void* device, int* current, int* pending) {
    FAKE_DEVICE_ENTRY(device, current && pending);
    if (per_gpu(device, "nvmlDeviceGetEccMode").empty()) return NOT_SUPPORTED;
    value_out(device, "ecc_mode_pending", per_gpu_number(device, "ecc_mode", 1), pending);
    return value_out(device, "ecc_mode", 1, current);
}
FAKE_EXPORT int nvmlDeviceGetTotalEccErrors(void* device, int type, int counter, unsigned long long* count) {
    FAKE_DEVICE_ENTRY(device, count != nullptr);
    if (per_gpu(device, "nvmlDeviceGetTotalEccErrors").empty()) return NOT_SUPPORTED;
    if (type < 0 || type > 1 || counter < 0 || counter > 1) return INVALID_ARGUMENT;
    *count =
        static_cast<unsigned long long>(per_gpu_number(device, type == 0 ? "ecc_corrected" : "ecc_uncorrected", 0));
    return SUCCESS;
}
FAKE_EXPORT int nvmlDeviceGetCudaComputeCapability(void* device, int* major, int* minor) {
    FAKE_DEVICE_ENTRY(device, major && minor);
    value_out(device, "cuda_major", 8, major);
    return value_out(device, "cuda_minor", 9, minor);
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_DETACH) log_event(starts.load() > 0 ? "unload-started" : "unload");
    return TRUE;
}
