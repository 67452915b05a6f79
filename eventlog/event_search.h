// The event search and the two type filters: which events a query matches in each search mode, the hits
// and counts of a search, the items of the type combos, the result texts, and the emptying of the lists
// when the log is closed. The procedures that work the controls run on the event page thread.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/shared_tables.h"

// The items of COMBO_EVENT_SEARCH_MODE.
enum EventSearchMode : int {
    SEARCH_ALL_FIELDS = 0,
    SEARCH_SOURCE = 1,
    SEARCH_DESCRIPTION = 2,
    SEARCH_RECORD = 3,
    SEARCH_EVENT_ID = 4,
};

// Whether the query occurs in the field(s) of the mode: the lower-cased source or message, or the decimal
// record number or event id (any part of their digits). The query is used as it is: the search field
// lower-cases what is typed in the text modes and takes only digits in the number modes.
bool event_matches(const EventRecord& event, int mode, std::wstring_view query);

// What one pass over the event list found.
struct EventSearchScan {
    int matches = 0;                                      // over all types; 0 when the filter type had none
    std::vector<int64_t> hits;                            // indexes into the list, of the filter type when one is set
    std::array<int32_t, EVENT_TYPE_COUNT> type_counts{};  // matches per type
    bool filter_reset = false;                            // matches of other types only: the filter is dropped
};

// Elements between two progress texts of a search or of the listing of its hits.
inline constexpr int EVENT_SEARCH_PROGRESS_STEP = 49;

// One pass over the events: with a query, the matches in the mode; with an empty query and a filter (0..5),
// every event counts and the events of the filter type are the hits; with neither, nothing. `progress`
// (may be empty) is told the element index and the matches so far at every EVENT_SEARCH_PROGRESS_STEP-th
// element (in the filter pass, at those of the filter type only).
EventSearchScan event_search_scan(const std::vector<EventRecord>& events, std::wstring_view query, int filter, int mode,
                                  const std::function<void(std::size_t, int)>& progress = {});

// The list line of an event, as the event list shows it: generation time, record number, event id, the
// type's padded label, the source in 30 characters, the message.
std::wstring event_search_line(const EventRecord& event, std::wstring_view padded_label);

// The items of a type combo: item 0 the total with its word, then one item per type that has a count, from
// type 5 down to 0, the count right-justified with en spaces to the total's digits. A single type item is
// the only item (no choice to offer). `item_type[n]` is the type of item n (before that removal).
struct EventTypeItems {
    std::vector<std::wstring> items;
    int selected = 0;
    std::array<int32_t, EVENT_TYPE_COUNT + 1> item_type{};
    int digits = 1;
};
EventTypeItems event_type_items(int total, std::wstring_view total_word,
                                const std::array<int32_t, EVENT_TYPE_COUNT>& counts,
                                const std::array<std::wstring, EVENT_TYPE_COUNT>& labels, int selected_type);

// Keeps the items' types in EventTypeTable for the event loop: entry n's list_item_type (the event list's
// combo) or search_item_type (the search combo) for items 1 up to EVENT_TYPE_COUNT, and the count width in
// entry 0's or entry 1's digits.
void event_type_table_map(const EventTypeItems& items, bool search_combo);

// The text that reports a search, P being "[" + seconds with 2 decimals + "s] ".
struct EventSearchReport {
    bool query_empty = true;
    int filter = -1;  // as passed to the search
    int matches = 0;
    int filter_count = 0;  // matches of the filter type
    std::wstring filter_label;
    int event_count = 0;
    double seconds = 0;
};
std::wstring event_search_result_text(const EventSearchReport& report);

// The event page thread's part of closing a log: empties EventList and EventSearchList (under their lock),
// the rows of the event, search and details lists, and the type counts; no details are pending afterwards.
// Only the event page thread changes EventList.
void event_list_close();

// ---- The controls (event page thread) ----

// Searches EventList for the query in the mode of COMBO_EVENT_SEARCH_MODE with the type filter (-1 none),
// shows the hits in LIST_EVENT_SEARCH, or the full list when there are none; returns the matches.
int event_search(const std::wstring& query, int filter);
// Refills COMBO_EVENT_TYPE from the counts of EventList.
void event_type_filter_fill();
// Refills COMBO_EVENT_SEARCH_TYPE from the search counts, with the filter's item selected.
void event_search_filter_fill(int matches, int filter);
// Serves EVENTLOG_CLOSE_REQUEST: the lists as event_list_close leaves them and COMBO_EVENT_TYPE emptied;
// the request goes back to 0. Returns whether there was one to serve.
bool event_close_request_serve();
