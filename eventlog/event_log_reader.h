// The log selector's list of logs that hold records, and the incremental reader that adds the records
// written since its last read to EventList and LIST_EVENTS (event page thread only).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/shared_tables.h"
#include "eventlog/event_log_api.h"
#include "eventlog/event_record.h"

// The logs tried when the service's names cannot be read.
inline constexpr std::wstring_view EVENT_LOG_FALLBACK_NAMES = L"Application,System,Security";

// What the log selector shows: the logs that open and hold records, in the service's order.
struct EventLogChoice {
    std::vector<std::wstring> names;
    int selected = -1;            // index of the wanted log (exact name), -1 when it is not among them
    bool system_present = false;  // a log named exactly "System" holds records
};
EventLogChoice event_log_choice(const EventLogApi& api, std::wstring_view wanted);

// The local date of a UTC moment with the zone rule in force at that moment (date_from_utc in the program).
using LocalFromUtc = Date (*)(int64_t utc_seconds);

// The record as EventList keeps it: the fields of event_record_fill with both times in local time, each by
// the zone rule of its own date. The list rows and the details show these times as they are.
EventRecord event_record_stored(const EventRecordView& view, LocalFromUtc local_from_utc);

// The oldest UTC time an age item lets in: now minus the item's days (comma field item + 1 of the choices),
// or 0 (no limit) for the last item of the combo (item_count items) and for an item without a number.
int64_t event_age_cutoff(std::wstring_view choices, int item, int item_count, int64_t utc_now);

// What the reader does on the Events tab's controls, as a table that the tests replace.
struct EventReaderHooks {
    int (*days_count)();                          // items of COMBO_EVENT_DAYS
    void (*days_select)(int item);                // select an item of COMBO_EVENT_DAYS
    void (*controls_enable)(bool enabled);        // the log, age, search field, mode and search controls
    void (*search_view_hide)();                   // show LIST_EVENTS in place of LIST_EVENT_SEARCH
    void (*status_text)(std::wstring_view text);  // the main window's title for 20 s
    bool (*row_selected)();                       // LIST_EVENTS has a selected row
    void (*row_select)(int row);
    int (*details_show)(int row);  // event_details_show
    void (*type_filter_fill)();    // event_type_filter_fill
    int64_t (*utc_now)();
    LocalFromUtc local_from_utc;
};

// Reads the records of the log written since the last read (EVENTLOG_LAST_RECORD), newest first, back to the
// age limit of EVENTLOG_AGE_CHOICE (widened for this read until the newest record is inside it), into
// EventList (appended on a first fill, else inserted on top, under EventListLock) and LIST_EVENTS.
// After a first fill the log is read when its newest record number (oldest + count - 1) moved past the
// highest one listed, also at a constant count: a full log overwrites its oldest records. A newest number
// below the highest listed, or an emptied log, means the log was cleared: a reload is asked for
// (EVENTLOG_RELOAD_STATE 1) and nothing is read. Record numbers are 32-bit and compared across their wrap.
// Returns the number of records inserted on top: 0 on a first fill, when nothing was new, on quit and on
// failure.
int event_log_read_new_with(const EventLogApi& api, const std::wstring& name, const EventReaderHooks& hooks);

// ---- The controls (event page thread) ----

// Refills COMBO_EVENT_LOG with event_log_choice, selects the wanted log and sets EVENTLOG_NAME to it (empty
// when it is not listed) and SYSTEM_LOG_PRESENT. Returns 0.
int event_log_list_fill(const std::wstring& wanted);

// event_log_read_new_with on the installed event-log calls and the Events tab's controls.
int event_log_read_new(const std::wstring& name);
