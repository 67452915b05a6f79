// Our declarations of the NVIDIA management library's binary interface and the table of its functions that
// the GPU monitor found in the loaded library (nullptr for each one the library lacks).
#pragma once

#include <cstddef>
#include <cstdint>

using NvmlResult = int32_t;  // 0 success
using NvmlDevice = void*;    // opaque handle, passed by value

enum NvmlResultCode : NvmlResult {
    NVML_OK = 0,
    NVML_INSUFFICIENT_SIZE = 7,
    NVML_FUNCTION_NOT_FOUND = 13,
};

enum NvmlClockType : int32_t {
    NVML_CLOCK_GRAPHICS = 0,
    NVML_CLOCK_SM = 1,
    NVML_CLOCK_MEMORY = 2,
    NVML_CLOCK_VIDEO = 3
};

// Text buffers in bytes with the NUL, as large as the library may fill (newer drivers write names and UUIDs
// of up to 96 bytes).
enum NvmlTextBytes : std::size_t {
    NVML_DRIVER_VERSION_BYTES = 80,
    NVML_VERSION_BYTES = 80,
    NVML_NAME_BYTES = 96,
    NVML_UUID_BYTES = 96,
    NVML_SERIAL_BYTES = 30,
    NVML_PART_NUMBER_BYTES = 80,
    NVML_INFOROM_BYTES = 16,
    NVML_VBIOS_BYTES = 32,
};

struct NvmlMemory {
    uint64_t total;
    uint64_t free;
    uint64_t used;
};
static_assert(sizeof(NvmlMemory) == 24);

struct NvmlUtilization {
    uint32_t gpu;     // percent
    uint32_t memory;  // percent
};
static_assert(sizeof(NvmlUtilization) == 8);

// The layout of the _v3 PCI query; the older query writes only its first 52 bytes.
struct NvmlPciInfo {
    char bus_id_legacy[16];
    uint32_t domain;
    uint32_t bus;
    uint32_t device;
    uint32_t pci_device_id;  // device id high 16 bits, vendor id low 16 bits
    uint32_t pci_subsystem_id;
    char bus_id[32];
};
static_assert(sizeof(NvmlPciInfo) == 68);

// Every function returns the result code; cdecl on i686 is the compiler's default.
struct NvmlApi {
    NvmlResult (*init)() = nullptr;
    NvmlResult (*shutdown)() = nullptr;
    NvmlResult (*system_driver_version)(char*, uint32_t) = nullptr;
    NvmlResult (*system_nvml_version)(char*, uint32_t) = nullptr;
    NvmlResult (*system_cuda_version)(int32_t*) = nullptr;
    NvmlResult (*system_cuda_version_v2)(int32_t*) = nullptr;
    NvmlResult (*device_count)(uint32_t*) = nullptr;
    NvmlResult (*device_count_v2)(uint32_t*) = nullptr;
    NvmlResult (*device_handle)(uint32_t, NvmlDevice*) = nullptr;
    NvmlResult (*device_handle_v2)(uint32_t, NvmlDevice*) = nullptr;
    NvmlResult (*serial)(NvmlDevice, char*, uint32_t) = nullptr;
    NvmlResult (*name)(NvmlDevice, char*, uint32_t) = nullptr;
    NvmlResult (*uuid)(NvmlDevice, char*, uint32_t) = nullptr;
    NvmlResult (*inforom_version)(NvmlDevice, int32_t, char*, uint32_t) = nullptr;
    NvmlResult (*display_mode)(NvmlDevice, int32_t*) = nullptr;
    NvmlResult (*persistence_mode)(NvmlDevice, int32_t*) = nullptr;
    NvmlResult (*pci_info)(NvmlDevice, NvmlPciInfo*) = nullptr;
    NvmlResult (*clock_info)(NvmlDevice, int32_t, uint32_t*) = nullptr;
    NvmlResult (*max_clock_info)(NvmlDevice, int32_t, uint32_t*) = nullptr;
    NvmlResult (*fan_speed)(NvmlDevice, uint32_t*) = nullptr;
    NvmlResult (*temperature)(NvmlDevice, int32_t, uint32_t*) = nullptr;
    NvmlResult (*performance_state)(NvmlDevice, int32_t*) = nullptr;
    NvmlResult (*power_limit)(NvmlDevice, uint32_t*) = nullptr;
    NvmlResult (*power_usage)(NvmlDevice, uint32_t*) = nullptr;
    NvmlResult (*memory_info)(NvmlDevice, NvmlMemory*) = nullptr;
    NvmlResult (*compute_mode)(NvmlDevice, int32_t*) = nullptr;
    NvmlResult (*ecc_mode)(NvmlDevice, int32_t*, int32_t*) = nullptr;
    NvmlResult (*total_ecc_errors)(NvmlDevice, int32_t, int32_t, uint64_t*) = nullptr;
    NvmlResult (*utilization)(NvmlDevice, NvmlUtilization*) = nullptr;
    NvmlResult (*driver_model)(NvmlDevice, int32_t*, int32_t*) = nullptr;
    NvmlResult (*vbios_version)(NvmlDevice, char*, uint32_t) = nullptr;
    NvmlResult (*brand)(NvmlDevice, int32_t*) = nullptr;
    NvmlResult (*board_part_number)(NvmlDevice, char*, uint32_t) = nullptr;
    NvmlResult (*inforom_image_version)(NvmlDevice, char*, uint32_t) = nullptr;
    NvmlResult (*inforom_checksum)(NvmlDevice, uint32_t*) = nullptr;
    NvmlResult (*display_active)(NvmlDevice, int32_t*) = nullptr;
    NvmlResult (*pci_info_v3)(NvmlDevice, NvmlPciInfo*) = nullptr;
    NvmlResult (*max_pcie_generation)(NvmlDevice, uint32_t*) = nullptr;
    NvmlResult (*max_pcie_width)(NvmlDevice, uint32_t*) = nullptr;
    NvmlResult (*pcie_generation)(NvmlDevice, uint32_t*) = nullptr;
    NvmlResult (*pcie_width)(NvmlDevice, uint32_t*) = nullptr;
    NvmlResult (*pcie_replay_counter)(NvmlDevice, uint32_t*) = nullptr;
    NvmlResult (*clock)(NvmlDevice, int32_t, int32_t, uint32_t*) = nullptr;
    NvmlResult (*supported_memory_clocks)(NvmlDevice, uint32_t*, uint32_t*) = nullptr;
    NvmlResult (*supported_graphics_clocks)(NvmlDevice, uint32_t, uint32_t*, uint32_t*) = nullptr;
    NvmlResult (*fan_speed_v2)(NvmlDevice, uint32_t, uint32_t*) = nullptr;
    NvmlResult (*temperature_threshold)(NvmlDevice, int32_t, uint32_t*) = nullptr;
    NvmlResult (*power_limit_constraints)(NvmlDevice, uint32_t*, uint32_t*) = nullptr;
    NvmlResult (*power_default_limit)(NvmlDevice, uint32_t*) = nullptr;
    NvmlResult (*total_energy)(NvmlDevice, uint64_t*) = nullptr;
    NvmlResult (*enforced_power_limit)(NvmlDevice, uint32_t*) = nullptr;
    NvmlResult (*operation_mode)(NvmlDevice, int32_t*, int32_t*) = nullptr;
    NvmlResult (*cuda_capability)(NvmlDevice, int32_t*, int32_t*) = nullptr;
    NvmlResult (*board_id)(NvmlDevice, uint32_t*) = nullptr;
};

// Bound by nvml_load; read by the enumeration and the NVIDIA sampler. Empty while the library is not bound.
extern NvmlApi Nvml;

// Calls through a function that may be missing: the library's result, or NVML_FUNCTION_NOT_FOUND without a
// call when the function is nullptr.
template <typename... Params, typename... Args>
NvmlResult nvml_call(NvmlResult (*function)(Params...), Args... args) {
    return function ? function(args...) : NVML_FUNCTION_NOT_FOUND;
}
