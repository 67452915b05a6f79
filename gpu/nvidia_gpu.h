// The NVIDIA GPU record, the table of them and the facts of the library as a whole.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/fixed_text.h"
#include "core/shared_tables.h"
#include "gpu/nvml_api.h"

constexpr int NVIDIA_SLOT_COUNT = 8;  // records of NvidiaGpuTable
constexpr int NVIDIA_SLOTS_USED = 7;  // a larger device count is cut to this
constexpr int NVML_STATUS_COUNT = 70;
constexpr int NVML_MIN_DRIVER_MAJOR = 285;

// Index of the result code of each query in NvidiaGpu::query_status.
enum NvmlStatusIndex : int {
    NVS_NAME = 2,
    NVS_BRAND = 3,
    NVS_SERIAL = 4,
    NVS_UUID = 5,
    NVS_PART_NUMBER = 6,
    NVS_INFOROM_OEM = 7,
    NVS_INFOROM_ECC = 8,
    NVS_INFOROM_POWER = 9,
    NVS_INFOROM_IMAGE = 10,
    NVS_INFOROM_CHECKSUM = 11,
    NVS_DISPLAY_MODE = 12,
    NVS_DISPLAY_ACTIVE = 13,
    NVS_PERSISTENCE = 14,
    NVS_PCIE_GEN_MAX = 17,
    NVS_PCIE_WIDTH_MAX = 18,
    NVS_PCIE_GEN = 19,
    NVS_PCIE_WIDTH = 20,
    NVS_REPLAY = 22,
    NVS_TEMP_LIMIT = 35,
    NVS_TEMP_MEMORY_MAX = 36,
    NVS_TEMP_SHUTDOWN = 37,
    NVS_TEMP_SLOWDOWN = 38,
    NVS_POWER_CONSTRAINTS = 43,
    NVS_POWER_USAGE = 45,
    NVS_ENERGY = 46,
    NVS_ENFORCED_LIMIT = 47,
    NVS_OPERATION_MODE = 48,
    NVS_COMPUTE_MODE = 50,
    NVS_CUDA_CAPABILITY = 51,
    NVS_ECC_MODE = 52,
    NVS_BOARD_ID = 53,
    NVS_ECC_ERRORS = 55,
    NVS_UTILIZATION = 57,
    NVS_DRIVER_MODEL = 65,
    NVS_VBIOS = 66,
};

struct NvmlSystemInfo {
    int32_t cuda_version = 0;  // as the library gives it: 12040 is 12.4
    FixedText<80> driver_version;
    FixedText<80> nvml_version;
    int32_t device_count = 0;  // before the cut to NVIDIA_SLOTS_USED
};

struct NvidiaGpu {
    std::array<uint8_t, NVML_STATUS_COUNT> query_status{};  // low 8 bits of each query's result; 0 read
    FixedText<2> label;                                     // "G" + the 1-based entry number in hexadecimal
    uint32_t board_id = 0;
    FixedText<80> part_number;
    int32_t brand = 0;
    uint32_t graphics_clock = 0;  // MHz
    uint32_t graphics_clock_max = 0;
    int32_t graphics_clock_pct = 0;
    uint32_t memory_clock = 0;
    uint32_t memory_clock_max = 0;
    int32_t memory_clock_pct = 0;
    uint32_t sm_clock = 0;
    uint32_t sm_clock_max = 0;
    uint32_t video_clock = 0;
    uint32_t video_clock_max = 0;
    int32_t max_clocks_guessed = 0;  // 1: the highest clocks follow the current clocks seen
    int32_t compute_mode = 0;
    FixedText<6> cuda_capability;
    NvmlDevice handle = nullptr;
    int32_t display_active = 0;
    int32_t display_mode = 0;
    int32_t driver_model = 0;
    int32_t driver_model_pending = 0;
    int32_t ecc_mode = 0;
    int32_t ecc_mode_pending = 0;
    uint64_t ecc_corrected = 0;
    uint64_t ecc_uncorrected = 0;
    int32_t fan_pct = 0;
    FixedText<96> name;  // runs of spaces collapsed; empty: the slot gives no GPU entry
    FixedText<4> brand_text;
    uint32_t inforom_checksum = 0;
    FixedText<16> inforom_ecc;
    FixedText<16> inforom_image;
    FixedText<16> inforom_oem;
    FixedText<16> inforom_power;
    uint64_t memory_total = 0;  // bytes
    uint64_t memory_free = 0;
    uint64_t memory_used = 0;
    int32_t operation_mode = 0;
    int32_t operation_mode_pending = 0;
    FixedText<16> bus_id;
    NvmlPciInfo pci_info{};
    uint32_t pcie_gen = 0;
    uint32_t pcie_gen_max = 0;
    uint32_t pcie_width = 0;
    uint32_t pcie_width_max = 0;
    uint32_t replay_counter = 0;
    int32_t persistence_mode = 0;
    uint32_t power_limit_enforced = 0;  // mW
    uint32_t power_limit_min = 0;
    uint32_t power_limit_max = 0;
    uint32_t power_limit = 0;
    uint32_t power_mw = 0;
    int32_t power_w = 0;  // as last put into the power graph
    uint64_t energy_mj = 0;
    int32_t pstate = 0;
    FixedText<30> serial;
    uint32_t temperature = 0;  // degrees Celsius
    uint32_t temp_limit = 0;
    uint32_t temp_memory_max = 0;
    uint32_t temp_shutdown = 0;
    uint32_t temp_slowdown = 0;
    uint32_t gpu_util = 0;  // percent
    uint32_t memory_util = 0;
    FixedText<80> uuid;
    FixedText<32> vbios;
    HistoryList history;  // guarded by HistoryMutex
};

extern NvmlSystemInfo NvmlSystem;
extern std::array<NvidiaGpu, NVIDIA_SLOT_COUNT> NvidiaGpuTable;

// Reads the driver, NVML and CUDA versions into NvmlSystem, each step a line of the NVIDIA detection log, and
// returns the driver's major number (0 without a version text). Once the library is initialised, while it is
// being bound.
int nvml_versions_read();

// ---- Texts and numbers of the library ----

// A text the library wrote into a buffer of `size` bytes, read only up to the first NUL inside it (a buffer
// without one is read whole) and converted from the ANSI code page.
std::wstring nvml_text(const char* buffer, std::size_t size);

// The whole number of the leading decimal digits ("285.62" gives 285); 0 when the text starts otherwise.
int nvml_driver_major(std::wstring_view version);

// A CUDA driver version number as "major.minor" (12040 gives "12.4"); empty for 0 or less.
std::wstring cuda_version_text(int32_t version);

// numerator / denominator to the nearest whole number, halves away from zero; 0 for a denominator of 0.
int32_t ratio_rounded(int64_t numerator, int64_t denominator);

// A name with every run of spaces made one space.
std::wstring spaces_collapsed(std::wstring_view text);
