// The Events tab's control handler on Windows: reads the controls an event needs, then acts on what is left.
#include <windows.h>

#include "core/control_handlers.h"
#include "core/control_numbers.h"
#include "runtime/gui/combo_box/combo_box.h"
#include "runtime/gui/control/control.h"
#include "runtime/gui/gui.h"
#include "runtime/gui/list_view/list_view.h"
#include "ui/events_tab_events.h"
#include "ui/events_tab_status.h"

namespace {

constexpr int32_t BLUE = 0xFF0000;

EventsControlInput input_read(const GuiEvent& event) {
    EventsControlInput in;
    in.event = event;
    in.shift = gui_key_held(VK_SHIFT);
    switch (event.control) {
        case COMBO_EVENT_LOG:
            in.selected_item = combo_box_selected(event.control);
            if (in.selected_item >= 0) in.selected_text = combo_box_item(event.control, in.selected_item);
            break;
        case COMBO_EVENT_DAYS:
        case COMBO_EVENT_SEARCH_MODE:
        case COMBO_EVENT_FONT_SIZE:
        case COMBO_EVENT_TYPE:
        case COMBO_EVENT_SEARCH_TYPE: in.selected_item = combo_box_selected(event.control); break;
        case LIST_EVENTS:
        case LIST_EVENT_SEARCH: in.selected_item = list_view_selected(event.control); break;
        case BUTTON_EVENT_SEARCH:
        case INPUT_EVENT_SEARCH:
            in.field_text = control_text(INPUT_EVENT_SEARCH);
            in.cue_exists = control_exists(CANVAS_EVENT_SEARCH_CUE);
            break;
        default: break;
    }
    return in;
}

void actions_do(const EventsControlActions& actions) {
    if (actions.field_clear) control_text_set(INPUT_EVENT_SEARCH, L"");
    if (actions.log_deselect) combo_box_select(COMBO_EVENT_LOG, -1);
    if (actions.status_line_draw) events_status_line_draw(BLUE, L"");
    if (actions.field_build_mode >= 0) event_search_field_build(actions.field_build_mode);
    if (actions.cue_destroy && control_exists(CANVAS_EVENT_SEARCH_CUE)) control_free(CANVAS_EVENT_SEARCH_CUE);
}

}  // namespace

void events_control_event_handle(const GuiEvent& event) { actions_do(events_control_event(input_read(event))); }

void events_tab_handlers_add() {
    control_handler_add(BUTTON_EVENT_SEARCH, BUTTON_EVENT_CLEAR, events_control_event_handle);
    control_handler_add(CANVAS_EVENTS_STATUS, CANVAS_EVENTS_STATUS, events_control_event_handle);
    control_handler_add(COMBO_EVENT_LOG, COMBO_EVENT_SEARCH_TYPE, events_control_event_handle);
    control_handler_add(LIST_EVENTS, LIST_EVENT_SEARCH, events_control_event_handle);
    control_handler_add(INPUT_EVENT_SEARCH, INPUT_EVENT_SEARCH, events_control_event_handle);
}
