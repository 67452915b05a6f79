// The Events tab's control events turned into request elements of the shared state.
#include "ui/events_tab_events.h"

#include <algorithm>

#include "core/control_numbers.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "core/shortcut_keys.h"
#include "runtime/text.h"

namespace {

// Requests carry no data of their own; data written before one is seen by the event page thread with it.
void request_set(SharedIntIndex index, int32_t value) { SharedInts[index].store(value, std::memory_order_release); }

// The type filter becomes t; a change runs the filter as a search.
void type_filter_choose(int type) {
    if (type == SharedInts[EVENTLOG_TYPE_FILTER].load()) return;
    SharedInts[EVENTLOG_TYPE_FILTER] = type;
    request_set(EVENTLOG_SEARCH_STATE, -1);
}

int item_type(int item, bool search_combo) {
    if (item < 0 || item >= static_cast<int>(EventTypeTable.size())) return -1;
    const EventTypeInfo& info = EventTypeTable[static_cast<std::size_t>(item)];
    return search_combo ? info.search_item_type : info.list_item_type;
}

// The event page thread stores its results in the search state at any moment: the new state is decided from
// the state seen and stored only while that is still the state (compare and exchange), else decided again.
void search_start(const EventsControlInput& in) {
    const std::wstring text = text_trim(in.field_text);
    int seen = SharedInts[EVENTLOG_SEARCH_STATE].load(std::memory_order_acquire);
    while (true) {
        bool text_changed = false;
        const int state =
            event_search_state_after(text, shared_text(EVENTLOG_SEARCH_TEXT), SharedInts[EVENTLOG_TYPE_FILTER].load(),
                                     SharedInts[EVENTLOG_SEARCH_FILTER_USED].load(), seen, &text_changed);
        if (text_changed) shared_text_set(EVENTLOG_SEARCH_TEXT, text);
        if (state == seen) return;
        if (SharedInts[EVENTLOG_SEARCH_STATE].compare_exchange_weak(seen, state, std::memory_order_release,
                                                                    std::memory_order_acquire))
            return;
    }
}

void clear_click(const EventsControlInput& in, EventsControlActions& actions) {
    actions.field_clear = true;
    shared_text_set(EVENTLOG_SEARCH_TEXT, L"");
    SharedInts[EVENTLOG_TYPE_FILTER] = -1;
    SharedQuads[EVENTLOG_LAST_RECORD] = SharedQuads[EVENTLOG_NEWEST_RECORD].load();
    const int search = SharedInts[EVENTLOG_SEARCH_STATE].load();
    if (search > 0 || search == EVENT_SEARCH_RUNNING) {
        request_set(EVENTLOG_SEARCH_STATE, -1);  // the full list again, searched with nothing
        return;
    }
    if (!in.shift) return;
    // Closing the log: the event page thread empties the lists, which it alone writes.
    actions.log_deselect = true;
    shared_text_set(EVENTLOG_NAME, L"");
    actions.status_line_draw = true;
    request_set(EVENTLOG_CLOSE_REQUEST, 1);
}

}  // namespace

int event_font_size_clamped(int size) { return std::clamp(size, EVENT_FONT_SIZE_MIN, EVENT_FONT_SIZE_MAX); }

EventsControlActions events_control_event(const EventsControlInput& in) {
    EventsControlActions actions;
    switch (in.event.control) {
        case COMBO_EVENT_LOG:
            if (in.selected_item < 0 || in.selected_text == shared_text(EVENTLOG_NAME)) break;
            shared_text_set(EVENTLOG_NAME, in.selected_text);
            request_set(EVENTLOG_RELOAD_STATE, 1);
            actions.status_line_draw = true;
            break;
        case COMBO_EVENT_DAYS:
            if (in.selected_item < 0) break;
            SharedInts[EVENTLOG_AGE_CHOICE] = in.selected_item;
            request_set(EVENTLOG_RELOAD_STATE, 1);
            break;
        case COMBO_EVENT_SEARCH_MODE:
            if (in.selected_item >= 0) actions.field_build_mode = std::min(in.selected_item, 4);
            break;
        case LIST_EVENTS:
        case LIST_EVENT_SEARCH:
            if (in.selected_item >= 0) request_set(EVENTLOG_DETAILS_INDEX, in.selected_item);
            break;
        case BUTTON_EVENT_SEARCH: search_start(in); break;
        case BUTTON_EVENT_CLEAR: clear_click(in, actions); break;
        case INPUT_EVENT_SEARCH: actions.cue_destroy = in.cue_exists && !in.field_text.empty(); break;
        case COMBO_EVENT_FONT_SIZE:
            if (in.selected_item >= 0)
                SharedInts[EVENTLOG_FONT_SIZE] = event_font_size_clamped(in.selected_item + EVENT_FONT_SIZE_MIN);
            break;
        case COMBO_EVENT_SEARCH_TYPE:
            if (in.selected_item == 0) {
                type_filter_choose(-1);
            } else if (in.selected_item > 0) {
                const int type = item_type(in.selected_item, true);
                if (type >= 0) type_filter_choose(type);
            }
            break;
        case COMBO_EVENT_TYPE:
            if (in.selected_item > 0) {
                const int type = item_type(in.selected_item, false);
                if (type >= 0) type_filter_choose(type);
            }
            break;
        default: break;
    }
    return actions;
}
