// The keyboard shortcuts: which keys go to which event on which window, and what an event asks for on the
// selected tab, with the arithmetic of tab steps, font sizes and the compact window's moves. No Windows.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// One registration: a key code (virtual key + SHORTCUT_SHIFT/CONTROL/ALT) with its event on a window.
struct ShortcutKey {
    int window = 0;
    int code = 0;
    int event = 0;
};

// Every registration in start-up order: the compact window's first, then the main window's.
std::span<const ShortcutKey> shortcut_keys();

// What a shortcut event asks for. The requests are served by the worker that owns the work.
enum ShortcutAction : int {
    SHORTCUT_NOTHING = 0,
    SHORTCUT_DRIVES_AND_NETWORKS_RESCAN,  // F5 on the compact window
    SHORTCUT_DRIVES_FULL_CHECK,           // F6 on the compact window: rescan and clear the change counters
    SHORTCUT_SYSTEM_SUMMARY,
    SHORTCUT_MEMORY_RECORDS_RESET,
    SHORTCUT_GPU_VIEW_REFRESH,      // or the GPU entries assigned again while there are none
    SHORTCUT_GPU_VIEW_ROWS_TOGGLE,  // then as SHORTCUT_GPU_VIEW_REFRESH
    SHORTCUT_DRIVE_RESCAN,
    SHORTCUT_DISK_ERRORS_CLEAR,
    SHORTCUT_NET_RESCAN,
    SHORTCUT_IP_LOOKUP,  // with a rescan
    SHORTCUT_PROXY_SWITCH,
    SHORTCUT_PING_NOW,
    SHORTCUT_PING_SITES,
    SHORTCUT_EVENTLOG_RELOAD,
    SHORTCUT_EVENTLOG_REFILL,
    SHORTCUT_TEMP_TOOL_RETRY,
    SHORTCUT_SETTINGS_FOLDER_OPEN,
    SHORTCUT_TEMP_TOOL_PAGE_OPEN,
    SHORTCUT_CLIPBOARD_CLEAR,  // the copy keys on a tab that is not copied
    SHORTCUT_TAB_COPY,         // CLIPBOARD_TEXT emptied, then the tab's copy requested
    SHORTCUT_PING_COPY_TABBED,
    SHORTCUT_GRAPHS_SMOOTH,
    SHORTCUT_GRAPHS_INVERT,
    SHORTCUT_TAB_STEP,         // `step` is +1 or -1
    SHORTCUT_COMPACT_MOVE,     // `step` is the event
    SHORTCUT_PING_ENTER,       // Return on the Ping tab
    SHORTCUT_EVENT_SEARCH,     // Return on the Events tab
    SHORTCUT_COMPACT_FONT,     // `step` is a FontStep
    SHORTCUT_PING_FIND,        // focus to the Ping tab's input field
    SHORTCUT_EVENT_FIND,       // focus to the event search field
    SHORTCUT_PING_LIST_FONT,   // `step` is a FontStep
    SHORTCUT_EVENT_LIST_FONT,  // `step` is a FontStep
};

enum FontStep : int { FONT_LARGER = 1, FONT_SMALLER = -1, FONT_RESET = 0 };

struct ShortcutDecision {
    ShortcutAction action = SHORTCUT_NOTHING;
    int step = 0;
};

// The action of a shortcut event that fired on a window while `tab` is the main window's selected tab.
ShortcutDecision shortcut_decide(int event, int window, int tab);

// The tab after a Ctrl+Tab (+1) or Ctrl+Shift+Tab (-1), wrapping between TAB_ABOUT and TAB_SYSTEM.
int tab_stepped(int tab, int step);

// The compact window's font size after a step: 10 to 26 points; the reset goes back to 10.
int compact_font_stepped(int size, FontStep step);
// A list's font size after a step: 9 to 28 points; the reset goes back to 9.
int list_font_stepped(int size, FontStep step);

// The compact window's place after an arrow shortcut (Ctrl: 1 unit, Shift: 10), in 96-DPI units of the
// work area, never beyond 0 and the limits (work area size minus window size). At the bottom and right
// edges nothing moves and the work area is to be read again.
struct CompactMove {
    bool move = false;
    bool desktop_reread = false;
    int x = 0;
    int y = 0;
};
CompactMove compact_move(int event, int x, int y, int limit_x, int limit_y);

// A colour with its 24 bits complemented (Ctrl+I); twice gives the colour back.
int32_t color_inverted(int32_t color);

// The host name part of what the Ping tab's host field holds: without "https://" and "http://", up to the
// first "/".
std::wstring ping_host_from_input(std::wstring_view text);

// The queue of host names that F6 on the Ping tab resolves: the built-in site list as "www." names.
std::wstring ping_site_queue();

// EVENTLOG_SEARCH_STATE while the event page thread runs a search: a request made meanwhile (-1) replaces it,
// and the thread then leaves its result aside and searches again.
inline constexpr int EVENT_SEARCH_RUNNING = -2;

// Return on the Events tab: the search state afterwards, given the trimmed field text and what the last
// search used. `text_changed` is set when EVENTLOG_SEARCH_TEXT is to take the text.
int event_search_state_after(std::wstring_view text, std::wstring_view last_text, int type_filter, int filter_used,
                             int state, bool* text_changed);
