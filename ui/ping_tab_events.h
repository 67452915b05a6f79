// The event loop's handlers of the Ping tab's controls: each click, choice or pointer movement becomes a
// request element of the shared state that the ping monitor serves; the host list is never touched here.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/date.h"
#include "runtime/gui/event/gui_event.h"

// The mode the tool row shows, told by which input control exists (range fields first, then the vendor
// file's label, the host field, the address field); -1 when none does. Both range modes give 2.
int ping_mode_shown(bool to_field, bool vendor_label, bool host_field, bool from_field);

// What an event's handling needs from the windows, read by the caller before the call.
struct PingControlInput {
    GuiEvent event;
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
    int mode_shown = -1;  // ping_mode_shown
    int host_count = 0;   // hosts in PingHostList
    std::wstring host_text;
    std::wstring from_text;  // "a.b.c.d" of INPUT_PING_IP_FROM
    std::wstring description_text;
    std::wstring description_cue;  // the translated cue "Description" in lower case
    uint32_t from_address = 0;     // first octet in the lowest byte
    uint32_t to_address = 0;
    int selected_item = -1;  // of the combo box the event came from
    int scroll_y = 0;        // SCROLL_PING_LIST: position and step, units
    int scroll_step = 0;
    Date now = 0;
};

// What is left to do on the windows afterwards, in this order.
struct PingControlActions {
    bool toolbar_rebuild = false;
    bool vendor_import = false;  // load the MAC vendor list from its file
    bool vendor_clear = false;   // empty it
    bool vendor_page_open = false;
    bool data_panel_draw = false;
    bool lookup_start = false;  // the host-name lookup worker, for the names below
    std::wstring lookup_names;  // blank-separated names for the lookup queue (PING_ADD_QUEUE)
    bool to_address_set = false;
    uint32_t to_address = 0;
    bool from_address_set = false;
    uint32_t from_address = 0;
    bool scroll_set = false;
    int scroll_y = 0;
};

// Handles one event of a Ping tab control: writes the request elements and returns what is left to do.
// Main thread; an event of another control or type changes nothing.
PingControlActions ping_control_event(const PingControlInput& input);

// The sort column of a character column of the status line: 1 address ... 7 lost; 0 from column 77 on.
int ping_sort_column(int character_column);

// The host part of what was typed in the host field: every "https://" and "http://" removed, then only the
// text before the first "/".
std::wstring ping_host_queue_text(std::wstring typed);

// ---- Windows ----

// Outside the ui layer: the MAC vendor list and the host-name lookup worker of the network monitor, which
// the wiring installs; a missing one does nothing.
struct PingTabActions {
    void (*vendor_import)(const std::wstring& file_name) = nullptr;  // empty name: empty the list
    // Adds the names to the lookup queue under its lock and starts the host-name lookup worker.
    void (*lookup_start)(const std::wstring& names) = nullptr;
};
void ping_tab_actions_set(const PingTabActions& actions);

// Return in the address and range modes: the single host of INPUT_PING_IP_FROM (not "0.0.0.0") with the
// description field's text for the monitor to add; never a range. Ctrl+F there: the focus to that field.
void ping_address_enter();
void ping_address_focus();

// The handler of every Ping tab control, and its installation for their numbers.
void ping_control_event_handle(const GuiEvent& event);
void ping_tab_handlers_add();
