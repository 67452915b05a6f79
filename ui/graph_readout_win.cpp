// The event loop's side of the pointer read-outs: offsets from the canvas width, the lock, the status title.
#include <mutex>

#include "core/control_handlers.h"
#include "core/control_numbers.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "runtime/gui/canvas/canvas.h"
#include "runtime/gui/panel/panel.h"
#include "ui/graph_control.h"
#include "ui/graph_readout.h"
#include "ui/status_title.h"

namespace {

constexpr int READOUT_SECONDS = 20;

// Main thread only.
ReadoutPosition last_readout;

bool canvas_width(int canvas, int* width) {
    int height = 0;
    return canvas_pixel_size(canvas, width, &height);
}

}  // namespace

void graph_pointer_event(const GuiEvent& event) {
    if (event.type != EVENT_TYPE_MOUSE_MOVE) return;
    if (readout_target(event.control, SharedInts[CORE_GRAPH_START].load(), SharedInts[GPU_GRAPH_START].load()) !=
        ReadoutTarget::GRAPH)
        return;
    std::wstring text;
    {
        // No drawing may be half done while the samples are read for the title.
        std::lock_guard drawing(GraphDrawMutex);
        if (!readout_position_take(last_readout, event.control, event.x)) return;
        int width = 0;
        if (!canvas_width(event.control, &width)) return;
        text = graph_position_text(event.control, graph_readout_offset(width, event.x));
    }
    status_title_set(text, READOUT_SECONDS);
}

void strip_pointer_event(const GuiEvent& event) {
    if (event.type != EVENT_TYPE_MOUSE_MOVE) return;
    if (event.control != CANVAS_CPU_TEMPERATURE && event.control != CANVAS_GPU_TEMPERATURE) return;
    if (!readout_position_take(last_readout, event.control, event.x)) return;
    int width = 0;
    if (!canvas_width(event.control, &width)) return;
    status_title_set(strip_readout_text(panel_tab_selected(PANEL_MAIN), strip_readout_offset(width, event.x)),
                     READOUT_SECONDS);
}

void graph_readout_handlers_add() {
    const int core_start = SharedInts[CORE_GRAPH_START].load();
    const int gpu_start = SharedInts[GPU_GRAPH_START].load();
    control_handler_add(GRAPH_PHYSICAL_MEMORY, FIXED_GRAPH_LAST, graph_pointer_event);
    control_handler_add(core_start, core_start + CORE_GRAPH_SPAN, graph_pointer_event);
    control_handler_add(gpu_start, gpu_start + GPU_GRAPH_SPAN, graph_pointer_event);
    control_handler_add(CANVAS_GPU_TEMPERATURE, CANVAS_CPU_TEMPERATURE, strip_pointer_event);
}
