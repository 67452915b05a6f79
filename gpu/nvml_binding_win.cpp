// Finding, loading and initialising nvml.dll, and shutting it down before it is freed.
#include <windows.h>

#include <shlobj.h>

#include "core/control_numbers.h"
#include "core/shared_state.h"
#include "core/shell_folders.h"
#include "gpu/gpu_info_rows.h"
#include "gpu/nvidia_gpu.h"
#include "gpu/nvml_binding.h"
#include "runtime/program_libraries.h"

namespace {

bool initialised = false;  // main thread at start-up, then the sampler's end

void log_line(std::wstring_view text) { gpu_report_line_queue(GPU_VENDOR_NVIDIA, text); }

bool nonempty_file(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return false;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
    return data.nFileSizeHigh != 0 || data.nFileSizeLow != 0;
}

std::wstring program_files_folder() {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
    std::wstring folder(path);
    if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
    return folder;
}

template <typename Proc>
void bind(Proc& target, const char* name) {
    target = reinterpret_cast<Proc>(library_function(LIBRARY_NVML, name));
}

void functions_bind() {
    NvmlApi& a = Nvml;
    bind(a.init, "nvmlInit");
    bind(a.shutdown, "nvmlShutdown");
    bind(a.system_driver_version, "nvmlSystemGetDriverVersion");
    bind(a.system_nvml_version, "nvmlSystemGetNVMLVersion");
    bind(a.device_count, "nvmlDeviceGetCount");
    bind(a.device_handle, "nvmlDeviceGetHandleByIndex");
    bind(a.serial, "nvmlDeviceGetSerial");
    bind(a.name, "nvmlDeviceGetName");
    bind(a.uuid, "nvmlDeviceGetUUID");
    bind(a.inforom_version, "nvmlDeviceGetInforomVersion");
    bind(a.display_mode, "nvmlDeviceGetDisplayMode");
    bind(a.persistence_mode, "nvmlDeviceGetPersistenceMode");
    bind(a.pci_info, "nvmlDeviceGetPciInfo");
    bind(a.clock_info, "nvmlDeviceGetClockInfo");
    bind(a.max_clock_info, "nvmlDeviceGetMaxClockInfo");
    bind(a.fan_speed, "nvmlDeviceGetFanSpeed");
    bind(a.temperature, "nvmlDeviceGetTemperature");
    bind(a.performance_state, "nvmlDeviceGetPerformanceState");
    bind(a.power_limit, "nvmlDeviceGetPowerManagementLimit");
    bind(a.power_usage, "nvmlDeviceGetPowerUsage");
    bind(a.memory_info, "nvmlDeviceGetMemoryInfo");
    bind(a.compute_mode, "nvmlDeviceGetComputeMode");
    bind(a.ecc_mode, "nvmlDeviceGetEccMode");
    bind(a.total_ecc_errors, "nvmlDeviceGetTotalEccErrors");
    bind(a.utilization, "nvmlDeviceGetUtilizationRates");
    bind(a.driver_model, "nvmlDeviceGetDriverModel");
    bind(a.vbios_version, "nvmlDeviceGetVbiosVersion");
    bind(a.system_cuda_version, "nvmlSystemGetCudaDriverVersion");
    bind(a.system_cuda_version_v2, "nvmlSystemGetCudaDriverVersion_v2");
    bind(a.device_count_v2, "nvmlDeviceGetCount_v2");
    bind(a.device_handle_v2, "nvmlDeviceGetHandleByIndex_v2");
    bind(a.brand, "nvmlDeviceGetBrand");
    bind(a.board_part_number, "nvmlDeviceGetBoardPartNumber");
    bind(a.inforom_image_version, "nvmlDeviceGetInforomImageVersion");
    bind(a.inforom_checksum, "nvmlDeviceGetInforomConfigurationChecksum");
    bind(a.display_active, "nvmlDeviceGetDisplayActive");
    bind(a.pci_info_v3, "nvmlDeviceGetPciInfo_v3");
    bind(a.max_pcie_generation, "nvmlDeviceGetMaxPcieLinkGeneration");
    bind(a.max_pcie_width, "nvmlDeviceGetMaxPcieLinkWidth");
    bind(a.pcie_generation, "nvmlDeviceGetCurrPcieLinkGeneration");
    bind(a.pcie_width, "nvmlDeviceGetCurrPcieLinkWidth");
    bind(a.pcie_replay_counter, "nvmlDeviceGetPcieReplayCounter");
    bind(a.clock, "nvmlDeviceGetClock");
    bind(a.supported_memory_clocks, "nvmlDeviceGetSupportedMemoryClocks");
    bind(a.supported_graphics_clocks, "nvmlDeviceGetSupportedGraphicsClocks");
    bind(a.fan_speed_v2, "nvmlDeviceGetFanSpeed_v2");
    bind(a.temperature_threshold, "nvmlDeviceGetTemperatureThreshold");
    bind(a.power_limit_constraints, "nvmlDeviceGetPowerManagementLimitConstraints");
    bind(a.power_default_limit, "nvmlDeviceGetPowerManagementDefaultLimit");
    bind(a.total_energy, "nvmlDeviceGetTotalEnergyConsumption");
    bind(a.enforced_power_limit, "nvmlDeviceGetEnforcedPowerLimit");
    bind(a.operation_mode, "nvmlDeviceGetGpuOperationMode");
    bind(a.cuda_capability, "nvmlDeviceGetCudaComputeCapability");
    bind(a.board_id, "nvmlDeviceGetBoardId");
}

// Frees what was loaded after a failed step; shuts the library down first when its start succeeded.
int64_t refused(std::wstring_view line) {
    nvml_unload();
    log_line(line);
    return 0;
}

}  // namespace

int64_t nvml_load() {
    std::vector<std::wstring> candidates;
    const std::wstring program_files = program_files_folder();
    if (!program_files.empty()) candidates.push_back(program_files + L"NVIDIA Corporation\\NVSMI\\nvml.dll");
    const std::wstring system = shell_folder_path(CSIDL_SYSTEM_FOLDER);
    if (!system.empty()) candidates.push_back(system + L"nvml.dll");
    return nvml_load_from(candidates);
}

int64_t nvml_load_from(const std::vector<std::wstring>& candidates) {
    nvml_unload();
    NvmlSystem = NvmlSystemInfo{};
    log_line(L"Start NVidia GPU Detection");
    if constexpr (sizeof(void*) < 8) {
        // NVIDIA publishes the library for 64-bit Windows only; a 32-bit process cannot use it.
        log_line(L"NVidia drivers not running");
        return 0;
    }
    std::wstring found;
    for (const std::wstring& path : candidates) {
        if (nonempty_file(path)) {
            found = path;
            break;
        }
    }
    if (found.empty()) {
        log_line(L"NVidia drivers not running");
        return 0;
    }
    log_line(L"Found NVidia Drivers");
    if (!library_load_file(LIBRARY_NVML, found)) {
        log_line(L"Error NVML");
        return 0;
    }
    log_line(L"NVidia Library Opened");
    functions_bind();
    if (!Nvml.init || !Nvml.shutdown || Nvml.init() != NVML_OK) return refused(L"Error NVML");
    initialised = true;

    log_line(L"Init NVML");
    const int major = nvml_versions_read();
    const std::wstring driver_text = NvmlSystem.driver_version.str();
    if (major < NVML_MIN_DRIVER_MAJOR) return refused(L"NVML version too old: v" + driver_text);
    log_line(L"NVML version: v" + driver_text);
    return LIBRARY_NVML;
}

void nvml_unload() {
    if (initialised && Nvml.shutdown) Nvml.shutdown();
    initialised = false;
    library_free(LIBRARY_NVML);
    Nvml = NvmlApi{};
    SharedQuads[NVML_LIBRARY] = 0;
}
