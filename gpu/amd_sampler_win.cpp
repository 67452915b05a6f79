// The AMD sampler thread's loop, the per-second work on each shown AMD entry, and the release of the library
// when it ends.
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>

#include "core/control_numbers.h"
#include "core/event_lists.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "gpu/adl_api.h"
#include "gpu/amd_gpu.h"
#include "gpu/amd_sample.h"
#include "gpu/amd_sampler.h"
#include "gpu/gpu_info_rows.h"
#include "gpu/gpu_sampler_rounds_win.h"
#include "gpu/nvidia_gpu.h"
#include "runtime/date.h"
#include "ui/compact_window.h"
#include "ui/graph_control.h"

namespace {

constexpr int ROUND_MS = 100;
constexpr int64_t VIEW_REBUILD_ROUNDS = 600;
constexpr int64_t HIGH_LATENCY_MS = 250;

std::atomic<void (*)(int)> copy_hook{nullptr};
std::atomic<void (*)()> view_hook{nullptr};

struct SamplerState {
    int64_t rounds = 0;  // sampling rounds done
    std::wstring last_id_row;
};

// The NVIDIA sampler serves the view and the Graphics tab's copy while the NVIDIA library reports a device.
bool nvidia_present() { return NvmlSystem.device_count > 0; }

void history_add(AmdGpu& gpu, int32_t color) {
    const int length = SharedInts[HISTORY_LENGTH].load();
    const std::size_t keep = length > 0 ? static_cast<std::size_t>(length) : 0;
    std::lock_guard guard(HistoryMutex);
    // A length of 0 or less keeps only the new point.
    while (!gpu.history.empty() && gpu.history.size() >= keep) gpu.history.pop_front();
    gpu.history.push_back(HistoryPoint{color, date_now(), gpu.temperature});
}

void graphs_add(AmdGpu& gpu, int entry) {
    const int first = SharedInts[GPU_GRAPH_START].load() + GPU_SLOT_STEP * entry;
    SharedInts[GPU_GRAPH_CURSOR] = first;
    const auto& has = gpu.has_values;
    if (has[HAS_GPU_ACTIVITY] != 0)
        graph_add_sample(first + GRAPH_GPU_UTILISATION, static_cast<float>(gpu.gpu_activity), 1);
    if (has[HAS_MEMORY_ACTIVITY] != 0)
        graph_add_sample(first + GRAPH_GPU_MEMORY_UTILISATION, static_cast<float>(gpu.memory_activity), 1);
    if (has[HAS_FAN] != 0) graph_add_sample(first + GRAPH_GPU_FAN, static_cast<float>(gpu.fan_pct), 1);
    if (has[HAS_CORE_CLOCK] != 0) {
        gpu.core_clock_pct = amd_core_clock_pct(gpu);
        graph_add_sample(first + GRAPH_GPU_CLOCK, static_cast<float>(gpu.core_clock_pct), 1);
    }
    if (has[HAS_MEMORY_CLOCK] != 0) {
        gpu.memory_clock_pct = amd_memory_clock_pct(gpu);
        graph_add_sample(first + GRAPH_GPU_MEMORY_CLOCK, static_cast<float>(gpu.memory_clock_pct), 1);
    }
    if (has[HAS_POWER] != 0) {
        gpu.power_w = gpu.power_now;
        graph_add_sample(first + GRAPH_GPU_POWER, static_cast<float>(gpu.power_w), 1);
    }
}

// One shown AMD entry: sample, cell, ID row, every second round history and graphs, and a note when it was slow.
void entry_sample(SamplerState& state, AmdGpu& gpu, int entry, int index, bool graphs_due) {
    const int64_t started = millisecond_clock();
    const int cell = CELL_GPU_FIRST + entry;
    amd_gpu_sample(gpu, index);
    const int32_t color = temperature_color(gpu.temperature > 1000 ? 1000 : gpu.temperature);
    const bool selected = SharedInts[GPU_SELECTED].load() == entry;
    if (selected) {
        amd_vram_refresh(gpu);
        std::wstring row = amd_id_row(gpu);
        if (row != state.last_id_row) {
            state.last_id_row = row;
            event_line_add_quiet(LIST_GPU_ID, 0, row);
        }
    }
    {
        std::lock_guard guard(CellDrawMutex);
        CompactCells[cell].text_color = color;
        CompactCells[cell].value_text = amd_cell_text(gpu);
    }
    cell_draw(cell, CELL_DRAW_IF_CHANGED);
    if (graphs_due) {
        history_add(gpu, color);
        graphs_add(gpu, entry);
        if (selected) graphs_refresh(TAB_GRAPHICS, REFRESH_IF_VISIBLE, REFRESH_EVERY_CALL);
    }
    const int64_t spent = millisecond_clock() - started;
    if (spent > HIGH_LATENCY_MS) {
        const std::wstring row = amd_latency_row(date_now(), gpu.label.view(), spent);
        std::lock_guard guard(GpuInfoMutex);
        gpu_info_row(GPU_ROW_HISTORY, row, 0, L"", L"");
    }
}

void round_sample(SamplerState& state) {
    const int count = GpuEntryIndex.entry_count;
    const int gpus = SharedInts[AMD_GPU_COUNT].load();
    const bool graphs_due = state.rounds % 2 == 0;
    for (int entry = 0; entry < count && entry < GPU_ENTRY_MAX; ++entry) {
        const auto e = static_cast<std::size_t>(entry);
        if (GpuEntryIndex.letters[e] != L'A') continue;
        const int index = GpuEntryIndex.vendor_index[e];
        AmdGpu* gpu = index < gpus ? AmdGpuTable.at(index) : nullptr;
        if (!gpu || CompactCells[CELL_GPU_FIRST + entry].shown != CELL_SHOWN) continue;
        entry_sample(state, *gpu, entry, index, graphs_due);
    }
    if ((SharedInts[GPU_VIEW_REFRESH_REQUEST].load() != 0 || state.rounds % VIEW_REBUILD_ROUNDS == 0) &&
        !nvidia_present()) {
        SharedInts[GPU_VIEW_REFRESH_REQUEST] = 0;
        if (const auto build = view_hook.load()) build();
    }
    ++state.rounds;
}

// The end: every PMLog shared memory stopped and its device destroyed, then the context destroyed and the
// library freed. The teardown of adl_unload holds AdlLock, so no other thread calls into a freed library.
void library_release() {
    {
        std::lock_guard<LeafLock> hold(AdlLock);
        const int gpus = AmdGpuTable.count < AMD_PMLOG_SLOTS ? AmdGpuTable.count : AMD_PMLOG_SLOTS;
        for (int index = 0; index < gpus; ++index) {
            const AmdGpu* gpu = AmdGpuTable.at(index);
            if (!gpu || gpu->sensor_method < AMD_SENSOR_OD8_PMLOG) continue;
            AdlPmlogDevice& device = AdlFacts.pmlog_devices[static_cast<std::size_t>(index)];
            adl_call_held(&AdlApi::od8_pmlog_stop, AdlFacts.context, gpu->adapter_index, &device);
            adl_call_held(&AdlApi::pmlog_device_destroy, AdlFacts.context, device);
        }
    }
    adl_unload();
}

}  // namespace

void amd_sampler_hooks_set(const AmdSamplerHooks& hooks) {
    copy_hook = hooks.copy_tab;
    view_hook = hooks.info_view_build;
}

void amd_sampler_thread(int64_t) {
    SamplerState state;
    gpu_sampler_rounds(
        ROUND_MS, AMD_GPU_COUNT, [&state] { round_sample(state); }, [] { return !nvidia_present(); }, copy_hook);
    library_release();
}
