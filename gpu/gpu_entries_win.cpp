// Assigning the GPU entries at start-up (and again on F5/F6 while there is none): cells, selector, list.
#include <array>
#include <mutex>

#include "core/control_numbers.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "core/system_query.h"
#include "gpu/amd_gpu.h"
#include "gpu/gpu_entries.h"
#include "gpu/nvidia_gpu.h"
#include "runtime/gui/combo_box/combo_box.h"

namespace {

constexpr int32_t CELL_TEXT_DEFAULT = 0xF0F0F0;

void cell_show(int cell, bool shown) {
    CompactCell& c = CompactCells[cell];
    c.shown = shown ? CELL_SHOWN : CELL_HIDDEN;
    if (shown) {
        if (c.text_color == 0) c.text_color = CELL_TEXT_DEFAULT;
    } else {
        c.text_color = 0;
    }
    c.back_color = 0;
}

}  // namespace

int gpu_entries_assign() {
    if (SharedInts[QUIT_FLAG].load() != 0) return 0;
    const bool nvidia = SharedQuads[NVML_LIBRARY].load() != 0;
    const bool amd = SharedQuads[ADL_LIBRARY].load() != 0;

    std::array<bool, NVIDIA_SLOT_COUNT> nvidia_named{};
    if (nvidia)
        for (int s = 0; s < SharedInts[NVIDIA_GPU_COUNT].load() && s < NVIDIA_SLOT_COUNT; ++s)
            nvidia_named[static_cast<std::size_t>(s)] = !NvidiaGpuTable[static_cast<std::size_t>(s)].name.empty();
    std::array<bool, AMD_GPU_MAX> amd_named{};
    if (amd)
        for (int i = 0; i < AmdGpuTable.count && i < AMD_GPU_MAX; ++i)
            amd_named[static_cast<std::size_t>(i)] =
                !AmdGpuTable.records[static_cast<std::size_t>(i)].adapter_name.empty();
    GpuEntryIndexRecord index;
    const int count = gpu_entries_number(index, nvidia_named, amd_named);
    SharedInts[GPU_ENTRY_COUNT] = count;
    int nvidia_entries = 0;
    while (nvidia_entries < count && index.letters[static_cast<std::size_t>(nvidia_entries)] == L'N') ++nvidia_entries;
    if (amd) SharedInts[AMD_ENTRY_BASE] = nvidia_entries;

    combo_box_clear(COMBO_GPU);
    {
        std::lock_guard guard(CellDrawMutex);
        for (int entry = 0; entry < count; ++entry) {
            const auto e = static_cast<std::size_t>(entry);
            const auto vendor_index = static_cast<std::size_t>(index.vendor_index[e]);
            if (index.letters[e] == L'N') {
                NvidiaGpuTable[vendor_index].label = gpu_entry_label(entry);
            } else {
                AmdGpu& gpu = AmdGpuTable.records[vendor_index];
                gpu.label = gpu_entry_label(entry);
                gpu.pci_location = amd_pci_location(gpu.pci_bus, gpu.pci_device, gpu.pci_function);
            }
            cell_show(CELL_GPU_FIRST + entry, true);
        }
        if (nvidia || amd)
            for (int cell = CELL_GPU_FIRST + count; cell <= CELL_GPU_LAST; ++cell) cell_show(cell, false);
    }
    GpuEntryIndex = index;
    for (int entry = 0; entry < count; ++entry) {
        const auto e = static_cast<std::size_t>(entry);
        const auto vendor_index = static_cast<std::size_t>(index.vendor_index[e]);
        if (index.letters[e] == L'N') {
            const NvidiaGpu& gpu = NvidiaGpuTable[vendor_index];
            combo_box_item_add(COMBO_GPU, -1,
                               gpu_selector_item(gpu.label.view(), gpu.bus_id.view(), gpu.brand_text.view(),
                                                 gpu.name.view(), gpu.memory_total));
        } else {
            const AmdGpu& gpu = AmdGpuTable.records[vendor_index];
            const uint64_t memory = gpu.total_memory > 0 ? static_cast<uint64_t>(gpu.total_memory) : 0;
            combo_box_item_add(COMBO_GPU, -1,
                               gpu_selector_item(gpu.label.view(), gpu.pci_location.view(), gpu.sensor_label.view(),
                                                 gpu.adapter_name, memory));
        }
    }

    if (count == 0) combo_box_item_add(COMBO_GPU, 0, tr(L"No Supported Video Cards"));
    GpuEntriesInfo info;
    info.all_rows = SharedInts[GPU_VIEW_ALL_ROWS].load() != 0;
    info.requirements = count == 0;
    if (info.requirements) {
        info.safe_mode = safe_mode_state() != 0;
        info.nvidia_driver_major = nvml_driver_major(NvmlSystem.driver_version.view());
        info.amd_driver_major = adl_driver_major(AdlFacts.crimson_version);
    }
    gpu_entries_info_rebuild(info);

    if (SharedInts[GPU_SELECTED].load() >= count) SharedInts[GPU_SELECTED] = 0;
    SharedInts[GPU_VIEW_REFRESH_REQUEST] = 0;
    combo_box_select(COMBO_GPU, SharedInts[GPU_SELECTED].load());
    return count;
}
