// The event loop's handlers of the Events tab's controls: each click or choice becomes a request element of
// the shared state that the event page thread serves; the event lists are never touched here.
#pragma once

#include <string>

#include "runtime/gui/event/gui_event.h"

// The list font sizes that the combo and the settings may give: 9..28 points.
constexpr int EVENT_FONT_SIZE_MIN = 9;
constexpr int EVENT_FONT_SIZE_MAX = 28;
int event_font_size_clamped(int size);

// What an event's handling needs from the windows, read by the caller before the call.
struct EventsControlInput {
    GuiEvent event;
    bool shift = false;
    int selected_item = -1;      // of the combo box or list the event came from
    std::wstring selected_text;  // COMBO_EVENT_LOG: the selected item's text
    std::wstring field_text;     // INPUT_EVENT_SEARCH as typed
    bool cue_exists = false;     // CANVAS_EVENT_SEARCH_CUE
};

// What is left to do on the windows afterwards, in this order.
struct EventsControlActions {
    bool field_clear = false;       // empty INPUT_EVENT_SEARCH
    bool log_deselect = false;      // COMBO_EVENT_LOG without a selected item
    bool status_line_draw = false;  // events_status_line_draw(blue, no message)
    int field_build_mode = -1;      // event_search_field_build(mode) when 0 or more
    bool cue_destroy = false;
};

// Handles one event of an Events tab control: writes the request elements and the shared texts, returns
// what is left to do. Main thread; an event of another control changes nothing.
EventsControlActions events_control_event(const EventsControlInput& input);

// ---- Windows ----

// The handler of every Events tab control, and its installation for their numbers.
void events_control_event_handle(const GuiEvent& event);
void events_tab_handlers_add();
