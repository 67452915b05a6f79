// The event page thread: it owns the Events tab, reads the selected log every 20 s while the tab shows, and
// serves the tab's requests (refill, reload, close, details, search, font size, copy) in rounds of 250 ms.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

inline constexpr int EVENT_PAGE_ROUND_MS = 250;
inline constexpr int EVENT_PAGE_READ_ROUNDS = 80;  // 20 s between two periodic reads
inline constexpr int32_t EVENT_PAGE_BLUE = 0xFF0000;
inline constexpr int32_t EVENT_PAGE_RED = 0x0000FF;
inline constexpr int EVENT_PAGE_STATUS_SECONDS = 3;

// What the thread does beyond the shared state, as a table: the Windows procedures in the program, stand-ins
// in the tests. Texts pass as copies: the thread reads the search text and the log name from the shared
// texts at the moment it calls.
struct EventPageHooks {
    int (*list_fill)(const std::wstring& wanted);                // event_log_list_fill
    int (*read_new)(const std::wstring& name);                   // event_log_read_new
    int (*search)(const std::wstring& query, int filter);        // event_search
    int (*details_show)(int row);                                // event_details_show
    void (*status_line_draw)(int32_t color, std::wstring_view);  // events_status_line_draw
    bool (*close_request_serve)();                               // event_close_request_serve
    bool (*tab_shown)();                       // PANEL_MAIN shows the Events tab and the main window is visible
    void (*font_apply)(int size, bool first);  // load FONT_EVENT_LIST at the size and lay the tab out
    void (*lists_clear)();                     // the items of COMBO_EVENT_TYPE and LIST_EVENTS
    void (*status_text)(std::wstring_view text, int seconds);  // status_title_set
    void (*copy_tab)();                                        // the clipboard copy of the Events tab
    void (*disk_watch_start)();  // starts the disk-error watcher; may be null (not started)
};

// The place of the Events tab's lists below the status line (96-DPI units): the event and search lists
// fill the panel down to the details list, which takes the rest. Heights never go below 0, and the details
// list never reaches past the panel.
struct EventListsLayout {
    int lists_y = 0;
    int lists_height = 0;
    int details_y = 0;
    int details_height = 0;
};
EventListsLayout event_lists_layout(int status_y, int status_height, int panel_height, int details_height);

// The thread's state between rounds.
struct EventPageState {
    int countdown = 0;  // rounds until the next periodic read
};

// The start: the UTC offset, the log selector, the header text, the font and layout, the type labels, and
// the disk-error watcher when a "System" log holds records.
void event_page_start(const EventPageHooks& hooks);

// One round before its wait: the periodic read, the status hold, a close request, and at most one other
// request. Returns false when QUIT_FLAG was raised (the loop ends).
bool event_page_round(EventPageState& state, const EventPageHooks& hooks);

// The thread's loop on its 250 ms clock until QUIT_FLAG; a quit ends the wait at once.
void event_page_run(const EventPageHooks& hooks);

// ---- Windows ----

// Installs what starts the disk-error watcher (the wiring: its thread, number and priority). Before start-up.
void event_page_disk_watch_starter_set(void (*start)());

// The thread procedure (argument ignored): event_page_run with the Events tab's controls.
void event_page_thread(int64_t argument);
