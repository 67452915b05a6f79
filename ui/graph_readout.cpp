// The read-out of the graph sample or temperature point under the pointer: which control, which offset, which text.
#include "ui/graph_readout.h"

#include <optional>

#include "core/control_numbers.h"
#include "core/shared_tables.h"
#include "ui/history_strip.h"
#include "ui/tab_redraw.h"

namespace {

bool within(int control, int first, int span) { return control >= first && control - first <= span; }

}  // namespace

ReadoutTarget readout_target(int control, int core_graph_start, int gpu_graph_start) {
    if (control == CANVAS_CPU_TEMPERATURE || control == CANVAS_GPU_TEMPERATURE) return ReadoutTarget::STRIP;
    if (within(control, GRAPH_PHYSICAL_MEMORY, FIXED_GRAPH_LAST - GRAPH_PHYSICAL_MEMORY) ||
        within(control, core_graph_start, CORE_GRAPH_SPAN) || within(control, gpu_graph_start, GPU_GRAPH_SPAN))
        return ReadoutTarget::GRAPH;
    return ReadoutTarget::NONE;
}

bool readout_position_take(ReadoutPosition& last, int control, int x) {
    if (last.control == control && last.x == x) return false;
    last.control = control;
    last.x = x;
    return true;
}

int64_t graph_readout_offset(int canvas_width, int x) { return static_cast<int64_t>(canvas_width) - x; }

int64_t strip_readout_offset(int canvas_width, int x) { return static_cast<int64_t>(canvas_width) - x - 1; }

std::wstring strip_readout_text(int shown_tab, int64_t offset) {
    if (shown_tab == TAB_GRAPHICS) {
        const std::optional<GpuChoice> choice = gpu_choice_current();
        GpuTabReading reading;
        if (!choice || !gpu_tab_reading(*choice, reading) || !reading.history) return {};
        return temperature_position_text(*reading.history, offset, reading.label);
    }
    if (shown_tab == TAB_PROCESSORS) return cpu_temperature_position_text(CANVAS_CPU_TEMPERATURE, offset, 0);
    return {};
}
