// The read-out of the graph sample or temperature point under the pointer, shown in the main window's title.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/gui/event/gui_event.h"

enum class ReadoutTarget : uint8_t { NONE, GRAPH, STRIP };

// What a control is for the read-out, with the graph ranges as they stand: 301..399, the processor graphs
// core_graph_start..+CORE_GRAPH_SPAN and the GPU graphs gpu_graph_start..+GPU_GRAPH_SPAN; the two temperature strips.
ReadoutTarget readout_target(int control, int core_graph_start, int gpu_graph_start);

// The control and pointer x of the last read-out, shared by graphs and strips so that moving from one to
// the other always reads anew. True (and remembered) when the pair differs from the last one.
struct ReadoutPosition {
    int control = 0;
    int x = 0;
};
bool readout_position_take(ReadoutPosition& last, int control, int x);

// The pointer's distance from the right edge of a graph canvas, 1 over the newest sample.
int64_t graph_readout_offset(int canvas_width, int x);
// The same for a strip, whose newest point lies inside a one-pixel frame.
int64_t strip_readout_offset(int canvas_width, int x);

// The read-out of the strip that the shown tab has: the selected GPU's on the Graphics tab (nothing when
// no GPU entry or reading is there), the CPU's on the Processors tab, else nothing. Sets AGE_STAMP.
std::wstring strip_readout_text(int shown_tab, int64_t offset);

// ---- Windows: the event loop's side ----

// Pointer movement over a graph: the sample under the pointer goes to the status title for 20 seconds.
// Main thread; other event types are ignored. Takes GraphDrawMutex, then the samples' lock.
void graph_pointer_event(const GuiEvent& event);
// Pointer movement over a temperature strip: the point under the pointer of the shown tab's strip.
void strip_pointer_event(const GuiEvent& event);
// Adds both as control handlers for the graph ranges (as they stand now) and the two strip canvases.
void graph_readout_handlers_add();
