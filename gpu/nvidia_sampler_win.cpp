// The NVIDIA sampler thread's loop and the per-second work on each shown NVIDIA entry.
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>

#include "core/control_numbers.h"
#include "core/event_lists.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "gpu/gpu_sampler_rounds_win.h"
#include "gpu/nvidia_gpu.h"
#include "gpu/nvidia_sample.h"
#include "gpu/nvidia_sampler.h"
#include "gpu/nvml_binding.h"
#include "runtime/date.h"
#include "ui/compact_window.h"
#include "ui/graph_control.h"

namespace {

constexpr int ROUND_MS = 100;
constexpr int64_t VIEW_REBUILD_SECONDS = 600;

std::atomic<void (*)(int)> copy_hook{nullptr};
std::atomic<void (*)()> view_hook{nullptr};

struct SamplerState {
    int64_t sampled_seconds = 0;
    std::wstring last_id_line;
};

void history_add(NvidiaGpu& gpu, int32_t color) {
    const int length = SharedInts[HISTORY_LENGTH].load();
    const std::size_t keep = length > 0 ? static_cast<std::size_t>(length) : 0;
    std::lock_guard guard(HistoryMutex);
    // A length of 0 or less keeps only the new point.
    while (!gpu.history.empty() && gpu.history.size() >= keep) gpu.history.pop_front();
    gpu.history.push_back(HistoryPoint{color, date_now(), static_cast<int32_t>(gpu.temperature)});
}

void graphs_add(NvidiaGpu& gpu, int entry) {
    const int first = SharedInts[GPU_GRAPH_START].load() + GPU_SLOT_STEP * entry;
    SharedInts[GPU_GRAPH_CURSOR] = first;
    nvidia_max_clocks_follow(gpu);
    if (gpu.graphics_clock_max != 0) {
        gpu.graphics_clock_pct = ratio_rounded(int64_t{100} * gpu.graphics_clock, gpu.graphics_clock_max);
        graph_add_sample(first + GRAPH_GPU_CLOCK, static_cast<float>(gpu.graphics_clock_pct), 1);
    }
    if (gpu.memory_clock_max != 0) {
        gpu.memory_clock_pct = ratio_rounded(int64_t{100} * gpu.memory_clock, gpu.memory_clock_max);
        graph_add_sample(first + GRAPH_GPU_MEMORY_CLOCK, static_cast<float>(gpu.memory_clock_pct), 1);
    }
    if (gpu.power_mw != 0) {
        gpu.power_w = ratio_rounded(gpu.power_mw, 1000);
        graph_add_sample(first + GRAPH_GPU_POWER, static_cast<float>(gpu.power_w), 1);
    }
    graph_add_sample(first + GRAPH_GPU_UTILISATION, static_cast<float>(gpu.gpu_util), 1);
    graph_add_sample(first + GRAPH_GPU_MEMORY_UTILISATION, static_cast<float>(gpu.memory_util), 1);
    graph_add_sample(first + GRAPH_GPU_FAN, static_cast<float>(gpu.fan_pct), 1);
}

// One shown NVIDIA entry: sample, cell, ID line, and every second time history and graphs.
void entry_sample(SamplerState& state, int entry, int slot, bool graphs_due) {
    NvidiaGpu& gpu = NvidiaGpuTable[static_cast<std::size_t>(slot)];
    const int cell = CELL_GPU_FIRST + entry;
    nvidia_slot_sample(gpu);
    const int32_t color = temperature_color(static_cast<int>(gpu.temperature > 1000 ? 1000 : gpu.temperature));
    const bool selected = SharedInts[GPU_SELECTED].load() == entry;
    if (selected) {
        std::wstring line = nvidia_id_line(gpu);
        if (line != state.last_id_line) {
            state.last_id_line = line;
            event_line_add_quiet(LIST_GPU_ID, 0, line);
        }
    }
    {
        std::lock_guard guard(CellDrawMutex);
        CompactCells[cell].text_color = color;
        CompactCells[cell].value_text = nvidia_cell_text(gpu);
    }
    cell_draw(cell, CELL_DRAW_IF_CHANGED);
    if (!graphs_due) return;
    history_add(gpu, color);
    graphs_add(gpu, entry);
    if (selected) graphs_refresh(TAB_GRAPHICS, REFRESH_IF_VISIBLE, REFRESH_EVERY_CALL);
}

void second_sample(SamplerState& state) {
    const int count = GpuEntryIndex.entry_count;
    const bool graphs_due = state.sampled_seconds % 2 == 0;
    for (int entry = 0; entry < count && entry < GPU_ENTRY_MAX; ++entry) {
        const auto e = static_cast<std::size_t>(entry);
        if (GpuEntryIndex.letters[e] != L'N') continue;
        const int slot = GpuEntryIndex.vendor_index[e];
        if (slot < 0 || slot >= SharedInts[NVIDIA_GPU_COUNT].load() || slot >= NVIDIA_SLOT_COUNT) continue;
        if (CompactCells[CELL_GPU_FIRST + entry].shown != CELL_SHOWN) continue;
        entry_sample(state, entry, slot, graphs_due);
    }
    if (SharedInts[GPU_VIEW_REFRESH_REQUEST].load() != 0 || state.sampled_seconds % VIEW_REBUILD_SECONDS == 0) {
        SharedInts[GPU_VIEW_REFRESH_REQUEST] = 0;
        if (const auto build = view_hook.load()) build();
    }
    ++state.sampled_seconds;
}

}  // namespace

void nvidia_sampler_hooks_set(const NvidiaSamplerHooks& hooks) {
    copy_hook = hooks.copy_tab;
    view_hook = hooks.info_view_build;
}

void nvidia_sampler_thread(int64_t) {
    SamplerState state;
    gpu_sampler_rounds(
        ROUND_MS, NVIDIA_GPU_COUNT, [&state] { second_sample(state); }, [] { return NvmlSystem.device_count > 0; },
        copy_hook);
    nvml_unload();
}
