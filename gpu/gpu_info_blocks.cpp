// The NVIDIA, AMD and legacy AMD blocks of the GPU information list and the texts of their rows.
#include "gpu/gpu_info_blocks.h"

#include <cinttypes>
#include <cstdio>
#include <vector>

#include "core/format_number.h"
#include "core/format_text.h"
#include "core/language.h"
#include "core/shared_state.h"
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
