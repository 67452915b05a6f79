// The AMD GPU record, the bounded tables of AMD GPUs and legacy cards, the facts of the AMD display library as
// a whole, and the PMLog sensor lists.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/fixed_text.h"
#include "core/shared_tables.h"
#include "gpu/adl_api.h"

constexpr int AMD_GPU_MAX = 8;              // records of AmdGpuTable
constexpr int AMD_LEGACY_MAX = 17;          // records of AmdLegacyTable
constexpr int AMD_PMLOG_SLOTS = 16;         // PMLog device and shared-memory slots of AdlState
constexpr int AMD_ADAPTER_ENTRY_MAX = 256;  // adapter entries read from the library at most
constexpr int AMD_MIN_DRIVER_MAJOR = 22;    // the oldest driver (22.11.2) whose library we use
constexpr int AMD_SENSOR_SCAN_BOUND = 73;   // the last PMLog sensor id scanned
constexpr int AMD_MARK_COUNT = 18;
constexpr int AMD_HAS_VALUE_COUNT = 6;
constexpr int PMLOG_REQUEST_COUNT = 12;
constexpr int PMLOG_LIST_GROWTH = 101;  // entries the sensor list grows by

// The sensor interface through which a GPU's live values are read.
enum AmdSensorMethod : int32_t {
    AMD_SENSOR_NONE = 0,
    AMD_SENSOR_PMLOG_QUERY = 1,
    AMD_SENSOR_OD5 = 5,
    AMD_SENSOR_OD6 = 6,
    AMD_SENSOR_ODN = 7,
    AMD_SENSOR_OD8_PMLOG = 8,
};

// Index into AmdGpu::marks: which interface delivers a value group (the value is the interface number), or 1
// for a one-time read that was made.
enum AmdMark : int {
    MARK_OD8_PMLOG = 0,     // 8
    MARK_LIMITS = 1,        // 1: the sensor limits were read
    MARK_ODN_ACTIVITY = 2,  // 7: activity and clocks
    MARK_ODN_TEMPERATURE = 3,
    MARK_ODN_FAN = 4,
    MARK_OD6_ACTIVITY = 5,  // 6
    MARK_OD6_POWER = 6,
    MARK_OD6_TEMPERATURE = 7,
    MARK_OD6_FAN = 8,
    MARK_OD5_ACTIVITY = 9,  // 5
    MARK_OD5_TEMPERATURE = 10,
    MARK_OD5_FAN = 11,
    MARK_PMLOG_QUERY = 12,  // 1
    MARK_LED_READ = 13,     // 1, by the information blocks
    MARK_SPEED_CAPS_READ = 14,
    MARK_GAMING_READ = 15,
    MARK_HEADLESS_READ = 16,
    MARK_HBC_READ = 17,
};

// Index into AmdGpu::has_values: 1 when the GPU delivers the value.
enum AmdHasValue : int {
    HAS_GPU_ACTIVITY = 0,
    HAS_MEMORY_ACTIVITY = 1,
    HAS_FAN = 2,
    HAS_CORE_CLOCK = 3,
    HAS_MEMORY_CLOCK = 4,
    HAS_POWER = 5,
};

// PMLog sensor ids the program reads.
enum AmdPmlogSensor : int {
    PMLOG_CLK_GFXCLK = 1,
    PMLOG_CLK_MEMCLK = 2,
    PMLOG_CLK_UVD1 = 4,
    PMLOG_CLK_UVD2 = 5,
    PMLOG_CLK_VCE = 6,
    PMLOG_TEMPERATURE_EDGE = 8,
    PMLOG_FAN_RPM = 14,
    PMLOG_FAN_PERCENTAGE = 15,
    PMLOG_INFO_ACTIVITY_GFX = 19,
    PMLOG_INFO_ACTIVITY_MEM = 20,
    PMLOG_GFX_VOLTAGE = 21,
    PMLOG_ASIC_POWER = 23,
    PMLOG_TEMPERATURE_HOTSPOT = 27,
    PMLOG_BUS_SPEED = 40,
    PMLOG_BUS_LANES = 41,
};

struct AmdGpu {
    std::array<int8_t, AMD_MARK_COUNT> marks{};
    FixedText<2> label;  // "G" + the 1-based entry number in hexadecimal
    int32_t adapter_index = 0;
    int64_t board_id = 0;  // the adapter id taken as an unsigned 32-bit value
    FixedText<64> bios_part_number;
    int32_t base_clock = 0;  // MHz
    int32_t observed_core_clock = 0;
    int32_t core_clock_max = 0;
    int32_t core_clock = 0;
    int32_t core_clock_pct = 0;
    int32_t game_clock = 0;
    int32_t boost_clock = 0;
    int32_t memory_clock = 0;
    int32_t memory_clock_max = 0;
    int32_t memory_clock_pct = 0;
    int32_t uvd1_clock_max = 0;
    int32_t uvd2_clock_max = 0;
    int32_t vce_clock_max = 0;
    int32_t controllers = 0;
    int32_t compute_workgroup = 0;
    int32_t active = 0;
    int32_t displays = 0;
    int32_t fan_speed_max = 0;
    int32_t fan_pct = 0;
    int32_t glsync_connectors = 0;
    int32_t hbc = 0;
    int32_t headless = 0;
    int32_t gaming_mode = 0;
    int64_t total_memory = 0;  // bytes
    int64_t vram_used_mb = 0;
    std::wstring memory_type;
    int64_t memory_bandwidth = 0;
    int64_t hyper_memory = 0;
    int64_t invisible_memory = 0;
    int64_t visible_memory = 0;
    std::wstring adapter_name;  // empty: the record holds no GPU
    FixedText<4> sensor_label;  // "od" + sensor_method, or "---"
    int32_t os_display_index = 0;
    int32_t overlays = 0;
    int32_t pci_bus = 0;
    FixedText<16> pci_location;
    int32_t bus_speed = 0;
    int32_t bus_speed_max = 0;
    int32_t pci_device = 0;
    int32_t bus_lanes = 0;
    int32_t bus_lanes_max = 0;
    int32_t pci_function = 0;
    std::wstring pnp_string;
    int32_t power_w = 0;  // as last put into the power graph
    int32_t power_now = 0;
    int32_t power_max = 0;
    int32_t force_3d_clock = 0;
    int32_t temperature = 0;  // degrees Celsius; -1: none found at start-up
    int32_t temp_max = 0;
    int32_t hotspot_max = 0;
    int32_t gpu_activity = 0;  // percent
    int32_t memory_activity = 0;
    FixedText<32> bios_version;
    FixedText<32> bios_date;
    int32_t vddc_mv = 0;
    int32_t voltage_max = 0;
    std::wstring aspects;  // commas made semicolons
    int32_t led_supported = 0;
    int32_t led_enabled = 0;
    int32_t led_version = 0;
    int32_t pmlog_last = 0;
    std::array<int32_t, AMD_HAS_VALUE_COUNT> has_values{};
    int32_t pmlog_first = 0;
    int32_t pmlog_count = 0;
    int32_t od_version = 0;
    int32_t sensor_method = AMD_SENSOR_NONE;
    HistoryList history;  // guarded by HistoryMutex
};

struct AmdLegacyCard {
    std::wstring marks_text;  // the 18 marks as decimal numbers one after the other
    int64_t board_id = 0;
    FixedText<64> bios_part_number;
    std::wstring adapter_name;
    int32_t pci_bus = 0;
    int32_t pci_device = 0;
    int32_t pci_function = 0;
    std::wstring pnp_string;
    std::wstring has_values_text;  // the six flags as decimal numbers one after the other
};

// A table of at most N records of which the first `count` are in use. at() refuses every index outside them.
template <typename Record, int N>
struct AmdBoundedTable {
    std::array<Record, N> records{};
    int count = 0;

    static constexpr int capacity() { return N; }
    Record* at(int index) { return index >= 0 && index < count ? &records[static_cast<std::size_t>(index)] : nullptr; }
    const Record* at(int index) const {
        return index >= 0 && index < count ? &records[static_cast<std::size_t>(index)] : nullptr;
    }
    // Every record made anew (texts freed, history lists emptied) and the count 0.
    void release() {
        for (Record& record : records) record = Record{};
        count = 0;
    }
};

// Written by the enumeration on the main thread before the AMD sampler starts; the live fields afterwards by
// the sampler. AmdGpuTable.count equals AMD_GPU_COUNT once the enumeration ends.
extern AmdBoundedTable<AmdGpu, AMD_GPU_MAX> AmdGpuTable;
extern AmdBoundedTable<AmdLegacyCard, AMD_LEGACY_MAX> AmdLegacyTable;

struct AdlState {
    std::wstring driver_version;
    std::wstring driver_date;  // "%yyyy/%mm/%dd" from driver_version; empty when it makes no date
    std::wstring catalyst_version;
    std::wstring crimson_version;
    std::wstring catalyst_web_link;
    int32_t pmlog_used = -1;  // highest used index of PmlogSensorList
    int32_t sensor_scan_bound = AMD_SENSOR_SCAN_BOUND;
    AdlContext context = nullptr;  // written under AdlLock
    std::array<AdlPmlogDevice, AMD_PMLOG_SLOTS> pmlog_devices{};
    int32_t pmlog_request_count = 0;
    std::array<AdlPmlogShared, AMD_PMLOG_SLOTS> pmlog_shared{};
    int32_t gpu_count = 0;
};
extern AdlState AdlFacts;

// The PMLog block every request fills; shared by the enumeration and the AMD sampler, which never run at once.
using PmlogOutputBlock = AdlPmlogDataOutput;
extern PmlogOutputBlock PmlogOutput;

// The sensor ids the Overdrive 8 shared memory is asked to sample.
extern std::array<int32_t, PMLOG_REQUEST_COUNT> PmlogRequestSensors;

struct PmlogSensorEntry {
    int32_t sensor_id = 0;
    int32_t value = 0;  // as last read
};
// All AMD GPUs' supported sensors; each GPU owns the run pmlog_first..pmlog_last. Grows only during the
// enumeration; afterwards only values change.
extern std::vector<PmlogSensorEntry> PmlogSensorList;

// ---- Binding ----

// Finds atiadlxx.dll / atiadlxy.dll in the system folder, binds it as LIBRARY_ADL, creates the context and
// reads the driver's version texts. LIBRARY_ADL when the library is usable (driver 22 or newer), else 0 with
// nothing left loaded. Every step is a line of the AMD detection log. Main thread, at start-up. Windows only.
int64_t adl_load();
// The same with the candidate files given, the first non-empty one bound. Windows only.
int64_t adl_load_from(const std::vector<std::wstring>& candidates);

// Destroys the context (when one was created) and forgets the library's functions under AdlLock, then frees
// the library and sets ADL_LIBRARY to 0. Harmless when nothing is bound.
void adl_unload();

// True exactly for the library's success code 0 (warnings are false).
bool adl_result_ok(AdlResult result);

// Reads the driver's version texts into AdlFacts (and the driver date made of them), each a line of the AMD
// detection log; a warning still gives the texts the library has. Returns the driver's major number (0 without
// a version text). Once the context is created, while the library is being bound.
int adl_versions_read();

// The allocation callback handed to the library: a zero-filled block of `size` bytes, never freed; nullptr
// for a size of 0 or less. Any thread.
void* ADL_CALLBACK adl_memory_alloc(int32_t size);

// ---- Texts of the library ----

// A text in a fixed field of `size` bytes, read only up to the first NUL inside it, from the ANSI code page.
std::wstring adl_text(const char* buffer, std::size_t size);
// The whole-number value of a text: leading spaces, an optional sign, decimal digits ("22.20.1" gives 22).
int adl_driver_major(std::wstring_view version);
// The driver date of a driver version text ("31.0.21001.45002-220315a-..." gives "2022/03/15"); empty when the
// second "-" field makes no valid date.
std::wstring adl_driver_date(std::wstring_view version);

// ---- Enumeration and PMLog ----

// Folds the library's adapter entries into AmdGpuTable and AmdLegacyTable, chooses each GPU's sensor interface
// and reads first values and limits; gives the library up when no GPU is left, keeping the legacy cards it
// found. Main thread, at start-up, while ADL_LIBRARY is not 0.
void amd_gpu_enumerate();

// Appends the sensors `block` supports (ids 0..sensor_scan_bound) to PmlogSensorList as GPU `gpu`'s run and
// sets its has_values flags.
void amd_pmlog_collect_sensors(const AdlPmlogDataOutput& block, int gpu);
// Refreshes GPU `gpu`'s run from `block` and copies the values into its record.
void amd_pmlog_apply_values(const AdlPmlogDataOutput& block, int gpu);
