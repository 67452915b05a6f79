// The monitoring tabs' combo boxes on Windows: the selection read from the control, checked against its
// list (core/tab_choices.h) and stored in the shared state.
#include <windows.h>

#include <mutex>

#include "app/tab_controls.h"
#include "core/control_handlers.h"
#include "core/control_numbers.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "core/tab_choices.h"
#include "network/adapter_scan.h"
#include "runtime/gui/color_chooser/color_chooser.h"
#include "runtime/gui/combo_box/combo_box.h"
#include "runtime/gui/control/control.h"
#include "runtime/gui/panel/panel.h"
#include "system/system_monitor.h"
#include "ui/graph_control.h"
#include "ui/graph_descriptor.h"
#include "ui/graph_readout.h"
#include "ui/main_window_pages.h"

namespace {

constexpr int BYTE_UNIT_CHOICES = 6;     // Auto, Byte, KB, MB, GB, TB
constexpr int TRAFFIC_UNIT_CHOICES = 2;  // bytes, packets

void gpu_slot_show(int slot, bool shown) {
    const int first = SharedInts[GPU_GRAPH_START].load() + GPU_SLOT_STEP * slot;
    for (int graph = first; graph < first + GPU_GRAPHS_PER_SLOT; ++graph) control_visible_set(graph, shown);
}

void on_gpu(const GuiEvent&) {
    const int item = combo_box_selected(COMBO_GPU);
    const int selected = SharedInts[GPU_SELECTED].load();
    if (!gpu_choice_switches(item, selected, SharedInts[GPU_ENTRY_COUNT].load())) return;
    // The GPU samplers extend and draw the histories under this lock.
    std::lock_guard guard(HistoryMutex);
    gpu_slot_placeholders_draw(item);
    gpu_slot_show(item, true);
    gpu_slot_show(selected, false);
    SharedInts[GPU_SELECTED] = item;
    graphs_refresh(TAB_GRAPHICS, REFRESH_IF_VISIBLE, REFRESH_EVERY_CALL);
}

void on_drive_filter(const GuiEvent&) {
    const int item = combo_box_selected(COMBO_DRIVE_FILTER);
    int drive = -1;
    if (!drive_filter_choice(item, shared_text(DRIVE_FILTER_LETTERS), &drive)) return;
    std::wstring serial;
    if (drive > 0) {
        std::lock_guard guard(DriveTableLock);
        serial = DriveTable[drive].serial.str();
    }
    SharedInts[DRIVE_FILTER_ITEM] = item;
    shared_text_set(DRIVE_FILTER_SERIAL, serial);
    SharedInts[DRIVE_FILTER_INDEX] = drive;
}

void on_byte_unit(const GuiEvent&) {
    const int item = combo_box_selected(COMBO_BYTE_UNIT);
    if (unit_choice_valid(item, BYTE_UNIT_CHOICES)) SharedInts[BYTE_UNIT] = item;
}

void on_network_filter(const GuiEvent&) {
    const int item = combo_box_selected(COMBO_NETWORK_FILTER);
    int adapter = -1;
    // An item the list does not hold (-1 while nothing is chosen, or one past its end) changes nothing.
    if (!network_filter_choice(item, shared_text(NET_FILTER_ADAPTERS), &adapter)) return;
    network_filter_choose(item);
}

void on_network_unit(const GuiEvent&) {
    const int item = combo_box_selected(COMBO_NETWORK_UNIT);
    if (unit_choice_valid(item, TRAFFIC_UNIT_CHOICES)) SharedInts[NET_SHOW_PACKETS] = item;
}

// The colour choice of a right click; the settings save takes the colours from the graphs.
void graph_color_choose(int control) {
    const int gpu_start = SharedInts[GPU_GRAPH_START].load();
    const int kind = graph_color_kind(control, gpu_start, SharedInts[GPU_SELECTED].load());
    const int32_t fallback = kind >= 0 && kind < SHARED_INTS_COUNT ? SharedInts[kind].load() : 0;
    const int32_t picked = graph_color_picked(color_choose(fallback), fallback);
    SharedInts[PICKED_COLOR] = picked;
    if (picked < 0) return;
    if (graph_is_gpu(control, gpu_start)) {
        for (int slot = 0; slot < GRAPH_GPU_SLOTS; ++slot) {
            graph_set_attribute(kind + GPU_SLOT_STEP * slot, GRAPH_ATTR_PLOT_COLOR, picked);
        }
    } else {
        graph_set_attribute(control, GRAPH_ATTR_PLOT_COLOR, picked);
    }
    graphs_refresh(panel_tab_selected(PANEL_MAIN), REFRESH_IF_VISIBLE, REFRESH_EVERY_CALL);
}

// The graphs' events: the read-out under the pointer and the colour choice.
void on_graph(const GuiEvent& event) {
    if (event.type == EVENT_TYPE_RIGHT_CLICK) {
        graph_color_choose(event.control);
    } else {
        graph_pointer_event(event);
    }
}

// The sampler builds and draws the summary anew: its facts are slow to gather and the sampler writes them too.
void on_system_header(const GuiEvent& event) {
    if (event.type == EVENT_TYPE_LEFT_DOUBLE_CLICK) system_summary_request();
}

}  // namespace

void tab_control_handlers_add() {
    control_handler_add(COMBO_GPU, COMBO_GPU, on_gpu);
    control_handler_add(COMBO_DRIVE_FILTER, COMBO_DRIVE_FILTER, on_drive_filter);
    control_handler_add(COMBO_BYTE_UNIT, COMBO_BYTE_UNIT, on_byte_unit);
    control_handler_add(COMBO_NETWORK_FILTER, COMBO_NETWORK_FILTER, on_network_filter);
    control_handler_add(COMBO_NETWORK_UNIT, COMBO_NETWORK_UNIT, on_network_unit);
    control_handler_add(CANVAS_SYSTEM_HEADER, CANVAS_SYSTEM_HEADER, on_system_header);
    const int core_start = SharedInts[CORE_GRAPH_START].load();
    const int gpu_start = SharedInts[GPU_GRAPH_START].load();
    control_handler_add(GRAPH_PHYSICAL_MEMORY, FIXED_GRAPH_LAST, on_graph);
    control_handler_add(core_start, core_start + CORE_GRAPH_SPAN, on_graph);
    control_handler_add(gpu_start, gpu_start + GPU_GRAPH_SPAN, on_graph);
}
