// Our stand-in for the NVIDIA management library: every answer comes from the key=value file that the
// environment variable SOTRIX_FAKE_NVML names, read again at each call so that a test can change the values
// while a sampler runs. Start, shutdown and unload are appended to that file's name + ".log".
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "tests/fakes/fake_config.h"

namespace {

bool started = false;

const FakeConfig fake_config("SOTRIX_FAKE_NVML");

std::string value(const std::string& key, const std::string& fallback = "") { return fake_config.value(key, fallback); }
long long number(const std::string& key, long long fallback = 0) { return fake_config.number(key, fallback); }
void log_event(const char* text) { fake_config.log(text); }

// The device's index from its handle (index + 1), -1 for an unknown handle.
int device_index(void* device) {
    const auto index = static_cast<long long>(reinterpret_cast<intptr_t>(device)) - 1;
    return index >= 0 && index < number("gpus") ? static_cast<int>(index) : -1;
}

std::string per_gpu(void* device, const std::string& key, const std::string& fallback = "") {
    const int index = device_index(device);
    return value(key + std::to_string(index), value(key, fallback));
}

long long per_gpu_number(void* device, const std::string& key, long long fallback = 0) {
    const std::string text = per_gpu(device, key);
    return text.empty() ? fallback : std::strtoll(text.c_str(), nullptr, 10);
}

// Like the library: a buffer below `needed` bytes gets result 7 and nothing written.
int text_out(const std::string& text, char* buffer, unsigned length, unsigned needed) {
    if (!buffer) return 2;
    if (length < needed || text.size() + 1 > length) return 7;
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return 0;
}

}  // namespace

// Exported by name through the .def file of each variant, so a variant can leave functions out.
#define FAKE_EXPORT extern "C"

FAKE_EXPORT int nvmlInit() {
    const int result = static_cast<int>(number("init_result", 0));
    if (result == 0) {
        started = true;
        log_event("init");
    }
    return result;
}
FAKE_EXPORT int nvmlInit_v2() { return nvmlInit(); }
FAKE_EXPORT int nvmlShutdown() {
    log_event(started ? "shutdown" : "shutdown-unstarted");
    started = false;
    return 0;
}
FAKE_EXPORT int nvmlSystemGetDriverVersion(char* buffer, unsigned length) {
    return text_out(value("driver", "551.23"), buffer, length, 80);
}
FAKE_EXPORT int nvmlSystemGetNVMLVersion(char* buffer, unsigned length) {
    return text_out(value("nvml", "12.551.23"), buffer, length, 80);
}
FAKE_EXPORT int nvmlSystemGetCudaDriverVersion(int* version) {
    *version = static_cast<int>(number("cuda", 12040));
    return 0;
}
FAKE_EXPORT int nvmlSystemGetCudaDriverVersion_v2(int* version) { return nvmlSystemGetCudaDriverVersion(version); }
FAKE_EXPORT int nvmlDeviceGetCount(unsigned* count) {
    *count = static_cast<unsigned>(number("gpus"));
    return 0;
}
FAKE_EXPORT int nvmlDeviceGetCount_v2(unsigned* count) { return nvmlDeviceGetCount(count); }
FAKE_EXPORT int nvmlDeviceGetHandleByIndex(unsigned index, void** device) {
    if (index >= static_cast<unsigned>(number("gpus"))) return 2;
    *device = reinterpret_cast<void*>(static_cast<intptr_t>(index) + 1);
    return 0;
}
FAKE_EXPORT int nvmlDeviceGetHandleByIndex_v2(unsigned index, void** device) {
    return nvmlDeviceGetHandleByIndex(index, device);
}
FAKE_EXPORT int nvmlDeviceGetName(void* device, char* buffer, unsigned length) {
    if (device_index(device) < 0) return 2;
    const std::string name = per_gpu(device, "name", "Fake  GeForce   " + std::to_string(device_index(device)));
    if (name == "-") return 3;  // a GPU whose name cannot be read
    return text_out(name, buffer, length, 96);
}
FAKE_EXPORT int nvmlDeviceGetBoardPartNumber(void* device, char* buffer, unsigned length) {
    return text_out(per_gpu(device, "part", "900-1G133-2530-000"), buffer, length, 80);
}
FAKE_EXPORT int nvmlDeviceGetSerial(void* device, char* buffer, unsigned length) {
    return text_out(per_gpu(device, "serial", "1320000000001"), buffer, length, 30);
}
FAKE_EXPORT int nvmlDeviceGetUUID(void* device, char* buffer, unsigned length) {
    return text_out(per_gpu(device, "uuid", "GPU-00000000-1111-2222-3333-444444444444"), buffer, length, 96);
}
FAKE_EXPORT int nvmlDeviceGetVbiosVersion(void* device, char* buffer, unsigned length) {
    return text_out(per_gpu(device, "vbios", "95.02.18.80.5F"), buffer, length, 32);
}
FAKE_EXPORT int nvmlDeviceGetInforomVersion(void*, int, char* buffer, unsigned length) {
    return text_out("G001.0000.03.03", buffer, length, 16);
}
FAKE_EXPORT int nvmlDeviceGetBrand(void* device, int* brand) {
    *brand = static_cast<int>(per_gpu_number(device, "brand", 5));
    return 0;
}
FAKE_EXPORT int nvmlDeviceGetPciInfo_v3(void* device, unsigned char* record) {
    std::memset(record, 0, 68);
    const std::string bus = per_gpu(device, "bus", "0000:0" + std::to_string(device_index(device) + 1) + ":00.0");
    std::strncpy(reinterpret_cast<char*>(record), bus.c_str(), 15);
    return 0;
}
FAKE_EXPORT int nvmlDeviceGetPciInfo(void* device, unsigned char* record) {
    unsigned char full[68];
    nvmlDeviceGetPciInfo_v3(device, full);
    std::memcpy(record, full, 52);
    return 0;
}
FAKE_EXPORT int nvmlDeviceGetMemoryInfo(void* device, unsigned long long* memory) {
    memory[0] = static_cast<unsigned long long>(per_gpu_number(device, "memory_total", 8589934592LL));
    memory[2] = static_cast<unsigned long long>(per_gpu_number(device, "memory_used", 1073741824LL));
    memory[1] = memory[0] - memory[2];
    return 0;
}
FAKE_EXPORT int nvmlDeviceGetMaxClockInfo(void* device, int type, unsigned* mhz) {
    static const char* keys[4] = {"max_graphics", "max_sm", "max_memory", "max_video"};
    if (type < 0 || type > 3) return 2;
    *mhz = static_cast<unsigned>(per_gpu_number(device, keys[type], 2000));
    return 0;
}
FAKE_EXPORT int nvmlDeviceGetClockInfo(void* device, int type, unsigned* mhz) {
    static const char* keys[4] = {"graphics", "sm", "memory", "video"};
    if (type < 0 || type > 3) return 2;
    *mhz = static_cast<unsigned>(per_gpu_number(device, keys[type], 1000));
    return 0;
}
FAKE_EXPORT int nvmlDeviceGetClock(void* device, int type, int id, unsigned* mhz) {
    if (id != 0) return 3;
    return nvmlDeviceGetClockInfo(device, type, mhz);
}
FAKE_EXPORT int nvmlDeviceGetUtilizationRates(void* device, unsigned* rates) {
    rates[0] = static_cast<unsigned>(per_gpu_number(device, "util_gpu", 40));
    rates[1] = static_cast<unsigned>(per_gpu_number(device, "util_memory", 20));
    return 0;
}
FAKE_EXPORT int nvmlDeviceGetFanSpeed(void* device, unsigned* percent) {
    *percent = static_cast<unsigned>(per_gpu_number(device, "fan", 33));
    return 0;
}
FAKE_EXPORT int nvmlDeviceGetFanSpeed_v2(void* device, unsigned, unsigned* percent) {
    return nvmlDeviceGetFanSpeed(device, percent);
}
FAKE_EXPORT int nvmlDeviceGetTemperature(void* device, int, unsigned* degrees) {
    *degrees = static_cast<unsigned>(per_gpu_number(device, "temperature", 55));
    return 0;
}
FAKE_EXPORT int nvmlDeviceGetTemperatureThreshold(void*, int type, unsigned* degrees) {
    static const unsigned values[4] = {98, 95, 90, 88};
    if (type < 0 || type > 3) return 3;
    *degrees = values[type];
    return 0;
}
FAKE_EXPORT int nvmlDeviceGetPerformanceState(void* device, int* state) {
    *state = static_cast<int>(per_gpu_number(device, "pstate", 2));
    return 0;
}
FAKE_EXPORT int nvmlDeviceGetPowerUsage(void* device, unsigned* mw) {
    *mw = static_cast<unsigned>(per_gpu_number(device, "power_mw", 123500));
    return 0;
}
FAKE_EXPORT int nvmlDeviceGetPowerManagementLimit(void*, unsigned* mw) {
    *mw = 250000;
    return 0;
}
FAKE_EXPORT int nvmlDeviceGetComputeMode(void*, int* mode) {
    *mode = 0;
    return 0;
}
FAKE_EXPORT int nvmlDeviceGetDisplayMode(void*, int* mode) {
    *mode = 1;
    return 0;
}
FAKE_EXPORT int nvmlDeviceGetPersistenceMode(void*, int* mode) {
    *mode = 0;
    return 0;
}
FAKE_EXPORT int nvmlDeviceGetEccMode(void*, int*, int*) { return 3; }
FAKE_EXPORT int nvmlDeviceGetTotalEccErrors(void*, int, int, unsigned long long*) { return 3; }
FAKE_EXPORT int nvmlDeviceGetDriverModel(void*, int* current, int* pending) {
    *current = 0;
    *pending = 0;
    return 0;
}
FAKE_EXPORT int nvmlDeviceGetCudaComputeCapability(void*, int* major, int* minor) {
    *major = 8;
    *minor = 9;
    return 0;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_DETACH) log_event(started ? "unload-started" : "unload");
    return TRUE;
}
