// The NVIDIA, AMD and legacy AMD blocks of the GPU information list and the texts of their rows.
#include "gpu/gpu_info_blocks.h"

#include <cinttypes>
#include <cstdio>
#include <mutex>
#include <vector>

#include "core/format_number.h"
#include "core/format_text.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "gpu/amd_gpu.h"
#include "gpu/gpu_info_rows.h"
#include "gpu/nvidia_gpu.h"
#include "runtime/date.h"
#include "runtime/text.h"

namespace {

constexpr int64_t MIB = 1048576;
constexpr double GIB = 1073741824.0;
constexpr uint8_t NVML_CORRUPTED_INFOROM = 14;  // the result of the checksum query on a damaged InfoROM

// How a row is added, as the row procedures know it.
enum RowKind : int {
    KIND_VALUE,    // shown with a number or value, or in the error mode
    KIND_ALWAYS,   // always, the number also when 0
    KIND_PLAIN,    // the text as it is
    KIND_FLAGGED,  // a query's row: hidden after a failed query unless every row is shown
    KIND_HEADING,  // the label alone, always
    KIND_SPACER,   // an empty row
};

struct BlockRow {
    RowKind kind = KIND_VALUE;
    uint8_t status = 0;
    std::wstring label;
    int64_t number = 0;
    std::wstring value;
    std::wstring suffix;
};

// Adds the rows of a block given top to bottom: the list grows at the top, so the last row goes in first.
void block_add(const std::vector<BlockRow>& rows) {
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        switch (row->kind) {
            case KIND_VALUE: gpu_info_row(GPU_ROW_VALUE, row->label, row->number, row->value, row->suffix); break;
            case KIND_ALWAYS: gpu_info_row(GPU_ROW_ALWAYS, row->label, row->number, row->value, row->suffix); break;
            case KIND_PLAIN: gpu_info_row(GPU_ROW_PLAIN, row->label, 0, L"", L""); break;
            case KIND_FLAGGED:
                // The row procedure takes a number of -1 for a heading; a value of -1 goes in as text, so its
                // row keeps its flag and its mark.
                if (row->number == -1)
                    gpu_info_row_flagged(row->status, row->label, 0, L"-1" + row->value, row->suffix);
                else
                    gpu_info_row_flagged(row->status, row->label, row->number, row->value, row->suffix);
                break;
            case KIND_HEADING: gpu_info_row_flagged(0, row->label, -1, L"", L""); break;
            case KIND_SPACER: gpu_info_row_flagged(0, L"", 0, L"", L""); break;
        }
    }
}

BlockRow flagged(uint8_t status, std::wstring_view key, int64_t number, std::wstring value = {},
                 std::wstring suffix = {}) {
    return {KIND_FLAGGED, status, tr(key), number, std::move(value), std::move(suffix)};
}

// 32-bit values of the library are shown as signed numbers.
int64_t signed32(uint32_t value) { return static_cast<int32_t>(value); }

std::wstring field_of(std::wstring_view list, int index) {
    const std::vector<std::wstring> fields = text_split(list, L',');
    if (index < 0 || static_cast<std::size_t>(index) >= fields.size()) return {};
    return fields[static_cast<std::size_t>(index)];
}

int64_t sum_capped(uint64_t a, uint64_t b) {
    const uint64_t sum = a > UINT64_MAX - b ? UINT64_MAX : a + b;
    return sum > static_cast<uint64_t>(INT64_MAX) ? INT64_MAX : static_cast<int64_t>(sum);
}

int64_t capped(uint64_t value) {
    return value > static_cast<uint64_t>(INT64_MAX) ? INT64_MAX : static_cast<int64_t>(value);
}

}  // namespace

std::wstring gpu_block_date_text(int64_t date) { return date_format(L" %yyyy-%mm-%dd %hh:%ii:%ss", date); }

std::wstring gpu_index3(int index) {
    std::wstring text = std::to_wstring(index);
    if (text.size() < 3) text.insert(0, 3 - text.size(), L'0');
    return text;
}

int64_t gpu_mib(int64_t bytes) { return bytes / MIB; }

std::wstring gpu_gib_suffix(int64_t bytes) {
    return L"M (" + format_fixed(static_cast<float>(static_cast<double>(bytes) / GIB), 2) + L"G)";
}

std::wstring gpu_watts_suffix(int32_t milliwatts) { return L"mW (" + std::to_wstring(milliwatts / 1000) + L"W)"; }

std::wstring gpu_hex8(int64_t value) {
    wchar_t digits[16] = {};
    std::swprintf(digits, 16, L"%08" PRIX32, static_cast<uint32_t>(value));
    return L" (" + std::wstring(digits) + L")";
}

std::wstring gpu_pnp_text(std::wstring_view pnp) {
    const std::size_t first = pnp.find(L'\\');
    if (first == std::wstring_view::npos) return {};
    std::wstring_view field = pnp.substr(first + 1);
    field = field.substr(0, field.find(L'\\'));
    std::wstring text(field);
    for (wchar_t& c : text)
        if (c == L'&') c = L' ';
    return text;
}

std::wstring gpu_cuda_view_text(int32_t version) {
    // The whole part loses only its leading zeros and the fraction only its trailing ones, so 10000 keeps
    // its "10." and 500 gives ".5".
    const int64_t v = version;
    const int64_t magnitude = v < 0 ? -v : v;
    std::wstring whole = std::to_wstring(magnitude / 1000);
    std::wstring fraction = std::to_wstring(magnitude % 1000 * 10);
    fraction.insert(0, 4 - fraction.size(), L'0');
    whole.erase(0, whole.find_first_not_of(L'0') == std::wstring::npos ? whole.size() : whole.find_first_not_of(L'0'));
    const std::size_t last = fraction.find_last_not_of(L'0');
    fraction.resize(last == std::wstring::npos ? 0 : last + 1);
    return (v < 0 ? L"-" : L"") + whole + L"." + fraction;
}

void gpu_info_nvidia_block(int slot, std::wstring_view date_text) {
    if (slot < 0 || slot >= NVIDIA_SLOT_COUNT) return;
    const NvidiaGpu& gpu = NvidiaGpuTable[static_cast<std::size_t>(slot)];
    const auto& status = gpu.query_status;
    const auto st = [&](NvmlStatusIndex index) { return status[static_cast<std::size_t>(index)]; };
    const std::wstring guessed = gpu.max_clocks_guessed != 0 ? L"MHz (?)" : L"MHz";
    const auto power = [](uint32_t milliwatts) { return gpu_watts_suffix(static_cast<int32_t>(milliwatts)); };
    const auto temperature = [](std::wstring_view key) { return L"C (" + tr(key) + L")"; };

    // A corrupted InfoROM is worth seeing in both modes; any other failure hides the row as usual.
    BlockRow checksum = flagged(st(NVS_INFOROM_CHECKSUM), L"InfoRom Checksum", signed32(gpu.inforom_checksum));
    if (st(NVS_INFOROM_CHECKSUM) == NVML_CORRUPTED_INFOROM) {
        checksum.status = 0;
        checksum.value = L" *" + tr(L"Corrupted") + L"*";
    }
    const int64_t device_handle = static_cast<int64_t>(reinterpret_cast<uintptr_t>(gpu.handle));
    const double energy_kj = static_cast<double>(gpu.energy_mj) / 1000000.0;

    block_add({
        {KIND_SPACER},
        {KIND_HEADING, 0, L"-- " + gpu.label.str() + L":" + gpu_index3(slot) + std::wstring(date_text)},
        {KIND_HEADING, 0, gpu.name.str()},
        {KIND_HEADING, 0, gpu.uuid.str()},
        flagged(st(NVS_SERIAL), L"Serial Number", 0, gpu.serial.str()),
        flagged(st(NVS_BRAND), L"Brand", gpu.brand, {},
                L" (" + field_of(shared_text(NVIDIA_BRAND_NAMES), gpu.brand) + L")"),
        flagged(st(NVS_PART_NUMBER), L"Board Part Number", 0, gpu.part_number.str()),
        flagged(st(NVS_BOARD_ID), L"Board ID", gpu.board_id),
        flagged(0, L"Device ID", device_handle),
        flagged(0, L"PCI Bus ID", 0, gpu.bus_id.str()),
        flagged(0, L"PCI Device ID", signed32(gpu.pci_info.pci_device_id)),
        flagged(st(NVS_PCIE_GEN), L"PCIe Link Gen", signed32(gpu.pcie_gen)),
        flagged(st(NVS_PCIE_GEN_MAX), L"PCIe Link Gen Max", signed32(gpu.pcie_gen_max)),
        flagged(st(NVS_PCIE_WIDTH), L"PCIe Link Width", signed32(gpu.pcie_width)),
        flagged(st(NVS_PCIE_WIDTH_MAX), L"PCIe Link Width Max", signed32(gpu.pcie_width_max)),
        flagged(st(NVS_REPLAY), L"PCIe Replay Counter", signed32(gpu.replay_counter)),
        flagged(0, L"Total Memory", gpu_mib(capped(gpu.memory_total)), {}, gpu_gib_suffix(capped(gpu.memory_total))),
        flagged(0, L"GPU Clock Max", signed32(gpu.graphics_clock_max), {}, guessed),
        flagged(0, L"Memory Clock Max", signed32(gpu.memory_clock_max), {}, guessed),
        flagged(0, L"SM Clock Max", signed32(gpu.sm_clock_max), {}, guessed),
        flagged(0, L"Video Clock Max", signed32(gpu.video_clock_max), {}, guessed),
        flagged(st(NVS_TEMP_SLOWDOWN), L"Temperature Max", signed32(gpu.temp_slowdown), {}, temperature(L"Slowdown")),
        flagged(st(NVS_TEMP_SHUTDOWN), L"Temperature Max", signed32(gpu.temp_shutdown), {}, temperature(L"Shutdown")),
        flagged(st(NVS_TEMP_MEMORY_MAX), L"Temperature Max", signed32(gpu.temp_memory_max), {}, temperature(L"Mem")),
        flagged(st(NVS_TEMP_LIMIT), L"Temperature Max", signed32(gpu.temp_limit), {}, temperature(L"GPU")),
        flagged(0, L"Power Limit Default", signed32(gpu.power_limit), {}, power(gpu.power_limit)),
        flagged(st(NVS_POWER_CONSTRAINTS), L"Power Limit Min", signed32(gpu.power_limit_min), {},
                power(gpu.power_limit_min)),
        flagged(st(NVS_POWER_CONSTRAINTS), L"Power Limit Max", signed32(gpu.power_limit_max), {},
                power(gpu.power_limit_max)),
        flagged(st(NVS_ENFORCED_LIMIT), L"Power Limit Enforced", signed32(gpu.power_limit_enforced), {},
                power(gpu.power_limit_enforced)),
        flagged(st(NVS_ENERGY), L"Total Energy Used", 0, format_fixed(static_cast<float>(energy_kj), 2), L"kJ"),
        flagged(st(NVS_COMPUTE_MODE), L"Compute Mode", 0, yes_no_text(gpu.compute_mode)),
        flagged(st(NVS_DISPLAY_ACTIVE), L"Display Active", 0, yes_no_text(gpu.display_active)),
        flagged(st(NVS_DISPLAY_MODE), L"Display Mode", 0, yes_no_text(gpu.display_mode)),
        flagged(st(NVS_PERSISTENCE), L"Persistence Mode", 0, yes_no_text(gpu.persistence_mode)),
        flagged(st(NVS_OPERATION_MODE), L"Operation Mode", 0, yes_no_text(gpu.operation_mode)),
        flagged(st(NVS_ECC_MODE), L"ECC Mode", 0, yes_no_text(gpu.ecc_mode)),
        flagged(st(NVS_ECC_ERRORS), L"ECC Errors", sum_capped(gpu.ecc_corrected, gpu.ecc_uncorrected)),
        checksum,
        flagged(st(NVS_INFOROM_IMAGE), L"InfoRom Image", 0, gpu.inforom_image.str()),
        flagged(st(NVS_INFOROM_POWER), L"InfoRom Power", 0, gpu.inforom_power.str()),
        flagged(st(NVS_INFOROM_ECC), L"InfoRom ECC", 0, gpu.inforom_ecc.str()),
        flagged(st(NVS_INFOROM_OEM), L"InfoRom OEM", 0, gpu.inforom_oem.str()),
        flagged(st(NVS_CUDA_CAPABILITY), L"Cuda Capability", 0, gpu.cuda_capability.str()),
        flagged(st(NVS_VBIOS), L"VBIOS", 0, gpu.vbios.str()),
        flagged(st(NVS_DRIVER_MODEL), L"Driver Model", 0, gpu.driver_model == 0 ? L"WDDM" : L"WDM"),
    });
}

namespace {

// A capability query made once per GPU: `mark` is set whether or not the call could be made or succeeded, so
// later builds show the stored values without asking the library again. The library is asked only while it
// is bound and the GPU is one of the enumerated ones; every call goes through the library's lock.
template <typename Query>
void capability_once(AmdGpu& gpu, AmdMark mark, bool library_usable, Query query) {
    int8_t& made = gpu.marks[static_cast<std::size_t>(mark)];
    if (made != 0) return;
    if (library_usable) query();
    made = 1;
}

void amd_capabilities_query(int index) {
    AmdGpu* found = AmdGpuTable.at(index);
    if (!found) return;
    AmdGpu& gpu = *found;
    const bool usable = SharedQuads[ADL_LIBRARY].load() != 0 && index < SharedInts[AMD_GPU_COUNT].load();
    AdlContext context = nullptr;
    if (usable) {
        std::lock_guard<LeafLock> hold(AdlLock);
        context = AdlFacts.context;
    }
    const int32_t adapter = gpu.adapter_index;
    capability_once(gpu, MARK_LED_READ, usable, [&] {
        int32_t supported = 0, enabled = 0, version = 0;
        if (!adl_result_ok(
                adl_call(&AdlApi::adapter_led_support_cap, context, adapter, &supported, &enabled, &version)))
            return;
        gpu.led_supported = supported;
        gpu.led_enabled = enabled;
        gpu.led_version = version;
    });
    capability_once(gpu, MARK_SPEED_CAPS_READ, usable, [&] {
        int32_t caps = 0, valid = 0;
        if (adl_result_ok(adl_call(&AdlApi::adapter_speed_caps, context, adapter, &caps, &valid)))
            gpu.force_3d_clock = caps;
    });
    capability_once(gpu, MARK_GAMING_READ, usable, [&] {
        int32_t workgroup = 0, gaming = 0;
        if (!adl_result_ok(adl_call(&AdlApi::adapter_gaming_driver_info_get, context, adapter, &workgroup, &gaming)))
            return;
        gpu.compute_workgroup = workgroup;
        gpu.gaming_mode = gaming;
    });
    capability_once(gpu, MARK_HEADLESS_READ, usable, [&] {
        int32_t headless = 0;
        if (adl_result_ok(adl_call(&AdlApi::adapter_headless_get, context, adapter, &headless)))
            gpu.headless = headless;
    });
    capability_once(gpu, MARK_HBC_READ, usable, [&] {
        int32_t hbc = 0;
        if (adl_result_ok(adl_call(&AdlApi::adapter_hbc_caps, context, adapter, &hbc))) gpu.hbc = hbc;
    });
}

BlockRow value_row(std::wstring_view key, int64_t number, std::wstring value = {}, std::wstring suffix = {}) {
    return {KIND_VALUE, 0, tr(key), number, std::move(value), std::move(suffix)};
}
BlockRow always_row(std::wstring_view key, int64_t number) { return {KIND_ALWAYS, 0, tr(key), number, {}, {}}; }
BlockRow plain_row(std::wstring text) { return {KIND_PLAIN, 0, std::move(text), 0, {}, {}}; }

// A part number that does not fit the row's value goes on a row of its own.
BlockRow part_number_row(std::wstring_view part_number) {
    if (part_number.size() > 19) return plain_row(std::wstring(part_number));
    return value_row(L"Board Part Number", 0, std::wstring(part_number));
}

// The head rows every AMD block shares, down to the part number.
void card_head_add(std::vector<BlockRow>& rows, std::wstring heading, std::wstring_view name, std::wstring_view pnp,
                   std::wstring_view part_number) {
    rows.push_back(plain_row(L""));
    rows.push_back(plain_row(std::move(heading)));
    rows.push_back(plain_row(std::wstring(name)));
    rows.push_back(plain_row(gpu_pnp_text(pnp)));
    rows.push_back(part_number_row(part_number));
}

// The rows of the board id and PCI location that every AMD block ends or goes on with.
void card_location_add(std::vector<BlockRow>& rows, int64_t board_id, int32_t bus, int32_t device, int32_t function) {
    rows.push_back({KIND_VALUE, 0, tr(L"Board ID") + L" (" + tr(L"Hex") + L")", board_id, {}, gpu_hex8(board_id)});
    rows.push_back(always_row(L"PCI Bus ID", bus));
    rows.push_back(always_row(L"PCI Device ID", device));
    rows.push_back(always_row(L"PCI Function ID", function));
}

template <typename Numbers>
std::wstring digits_of(const Numbers& numbers) {
    std::wstring text;
    for (const auto n : numbers) text += std::to_wstring(static_cast<int>(n));
    return text;
}

std::wstring millivolts_text(int32_t millivolts) {
    std::wstring fraction = std::to_wstring(millivolts % 1000);
    fraction.insert(0, 3 - fraction.size(), L'0');
    return std::to_wstring(millivolts / 1000) + L"." + fraction;
}

}  // namespace

std::vector<std::wstring> gpu_aspect_pair_rows(std::wstring_view aspects, bool all_rows) {
    const std::vector<std::wstring> fields = text_split(aspects, L';');
    std::size_t n = fields.size();
    if (n % 2 != 0) --n;
    std::vector<std::wstring> rows;
    for (std::size_t k = 2; k <= n; k += 2) {
        std::wstring pair = L"  " + std::to_wstring(k) + L"-" + fields[k - 1];
        pair.resize(18, L' ');
        std::wstring row = all_rows ? L"  " : L"";
        row += pair;
        if (k < fields.size() && !fields[k].empty()) row += L" " + std::to_wstring(k + 1) + L"-" + fields[k];
        rows.push_back(std::move(row));
    }
    return rows;
}

void gpu_info_amd_block(int index, std::wstring_view date_text) {
    amd_capabilities_query(index);
    const AmdGpu* found = AmdGpuTable.at(index);
    if (!found) return;
    const AmdGpu& gpu = *found;
    const bool all_rows = SharedInts[GPU_VIEW_ALL_ROWS].load() != 0;
    const auto mhz = [](std::wstring_view key, int32_t clock) { return value_row(key, clock, {}, L"MHz"); };
    const auto memory = [](std::wstring_view key, int64_t bytes) {
        return value_row(key, gpu_mib(bytes), {}, gpu_gib_suffix(bytes));
    };
    const auto yes_no = [](std::wstring_view key, int32_t flag) { return value_row(key, 0, yes_no_text(flag)); };

    std::vector<BlockRow> rows;
    card_head_add(rows, L"-- " + gpu.label.str() + L":" + gpu_index3(index) + std::wstring(date_text), gpu.adapter_name,
                  gpu.pnp_string, gpu.bios_part_number.view());
    if (all_rows) {
        rows.push_back({KIND_VALUE, 0, L"Sotrix Sensors 1", 0, digits_of(gpu.has_values), {}});
        rows.push_back({KIND_VALUE, 0, L"Sotrix Sensors 2", 0, digits_of(gpu.marks), {}});
    }
    card_location_add(rows, gpu.board_id, gpu.pci_bus, gpu.pci_device, gpu.pci_function);
    rows.insert(rows.end(), {
                                value_row(L"Overdrive Version", gpu.od_version),
                                value_row(L"OS Display Index", gpu.os_display_index),
                                yes_no(L"Display Active", gpu.active),
                                value_row(L"Display Num Max", gpu.displays),
                                value_row(L"Controllers Max", gpu.controllers),
                                value_row(L"Overlays Num Max", gpu.overlays),
                                value_row(L"GLSync Connectors", gpu.glsync_connectors),
                                value_row(L"PCIe Link Gen", gpu.bus_lanes),
                                value_row(L"PCIe Link Gen Max", gpu.bus_lanes_max),
                                value_row(L"PCIe Bus Speed", gpu.bus_speed),
                                value_row(L"PCIe Bus Speed Max", gpu.bus_speed_max),
                                memory(L"Total Memory", gpu.total_memory),
                                memory(L"Hyper Memory", gpu.hyper_memory),
                                memory(L"Invisible Memory", gpu.invisible_memory),
                                memory(L"Visible Memory", gpu.visible_memory),
                                value_row(L"Memory Bandwidth", gpu.memory_bandwidth, {}, L"MB/s"),
                                value_row(L"Memory Type", 0, gpu.memory_type),
                                mhz(L"Core Clock", gpu.observed_core_clock),
                                mhz(L"Core Clock Max", gpu.core_clock_max),
                                mhz(L"Base Clock", gpu.base_clock),
                                mhz(L"Game Clock", gpu.game_clock),
                                mhz(L"Boost Clock", gpu.boost_clock),
                                mhz(L"Memory Clock", gpu.memory_clock),
                                mhz(L"Memory Clock Max", gpu.memory_clock_max),
                                mhz(L"UVD-1 Clock Max", gpu.uvd1_clock_max),
                                mhz(L"UVD-2 Clock Max", gpu.uvd2_clock_max),
                                mhz(L"VCE Clock Max", gpu.vce_clock_max),
                                value_row(L"Temperature Max", gpu.temp_max, {}, L"C"),
                                value_row(L"Temperature HS Max", gpu.hotspot_max, {}, L"C (" + tr(L"Hotspot") + L")"),
                                value_row(L"Fan Speed Max", gpu.fan_speed_max, {}, L"RPM"),
                                value_row(L"Power Wattage Max", gpu.power_max, {}, L"W"),
                            });
    if (gpu.voltage_max > 0) rows.push_back(value_row(L"Voltage Max", 0, millivolts_text(gpu.voltage_max), L"V"));
    rows.insert(rows.end(), {
                                yes_no(L"High Bandwidth Cache", gpu.hbc),
                                yes_no(L"Headless", gpu.headless),
                                yes_no(L"Gaming Mode", gpu.gaming_mode),
                                yes_no(L"Compute Workgroup", gpu.compute_workgroup),
                                yes_no(L"Force3DClock", gpu.force_3d_clock),
                            });
    if (gpu.led_supported != 0) {
        rows.push_back(value_row(L"LED Version", gpu.led_version));
        rows.push_back(yes_no(L"LED Enabled", gpu.led_enabled));
    }
    rows.push_back(yes_no(L"LED SW Supported", gpu.led_supported));
    rows.push_back(value_row(L"BIOS Version", 0, gpu.bios_version.str()));
    rows.push_back(value_row(L"BIOS Date", 0, gpu.bios_date.str()));
    if (!gpu.aspects.empty()) {
        rows.push_back(value_row(L"Aspect List", 0, L"1-" + text_split(gpu.aspects, L';').front()));
        for (std::wstring& pair : gpu_aspect_pair_rows(gpu.aspects, all_rows))
            rows.push_back(plain_row(std::move(pair)));
    }
    block_add(rows);
}

void gpu_info_legacy_block(int card, std::wstring_view date_text) {
    const AmdLegacyCard* found = AmdLegacyTable.at(card);
    if (!found) return;
    const AmdLegacyCard& legacy = *found;
    std::vector<BlockRow> rows;
    card_head_add(rows, L"-- GX:" + gpu_index3(card) + std::wstring(date_text) + L" (" + tr(L"Legacy") + L")",
                  legacy.adapter_name, legacy.pnp_string, legacy.bios_part_number.view());
    if (SharedInts[GPU_VIEW_ALL_ROWS].load() != 0) {
        rows.push_back({KIND_VALUE, 0, L"Sotrix Sensors A1", 0, legacy.has_values_text, {}});
        rows.push_back({KIND_VALUE, 0, L"Sotrix Sensors A2", 0, legacy.marks_text, {}});
    }
    card_location_add(rows, legacy.board_id, legacy.pci_bus, legacy.pci_device, legacy.pci_function);
    block_add(rows);
}
