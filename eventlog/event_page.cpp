// The event page thread's start, rounds and loop over the shared state.
#include "eventlog/event_page.h"

#include <algorithm>
#include <mutex>

#include "core/control_numbers.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "core/shortcut_keys.h"
#include "eventlog/event_details.h"
#include "runtime/date.h"
#include "runtime/text.h"
#include "runtime/worker_loop.h"
#include "ui/events_tab_events.h"

namespace {

constexpr std::wstring_view HEADER =
    L"TimeStamp            Record    Event  Type     Source                         Description";
constexpr std::wstring_view PADDED_KEYS[EVENT_TYPE_COUNT] = {L"",          L"Error    ", L"Warning  ",
                                                             L"Info     ", L"Success  ", L"Failure  "};

bool quitting() { return SharedInts[QUIT_FLAG].load() > 0; }

// A text of the table, or the English key when the table has none (before the texts are loaded).
std::wstring text_or_key(const std::wstring& text, std::wstring_view key) {
    return text.empty() ? std::wstring(key) : text;
}

std::wstring trailing_spaces_cut(std::wstring text) {
    while (!text.empty() && text.back() == L' ') text.pop_back();
    return text;
}

void type_labels_set() {
    EventTypeTable[0].padded_label = L"--       ";
    EventTypeTable[0].label = L"(" + text_or_key(tr(L"None"), L"None") + L")";
    for (int t = 1; t < EVENT_TYPE_COUNT; ++t) {
        auto& type = EventTypeTable[static_cast<std::size_t>(t)];
        type.padded_label = text_or_key(tr_padded(PADDED_KEYS[t]), PADDED_KEYS[t]);
        type.label = trailing_spaces_cut(type.padded_label);
    }
}

// Runs the search while the state is still `seen`: the state says the search runs, and the hits are stored only
// while it still says so. Return, the Search button or Clear pressed meanwhile leave a new request (-1) that the
// next round serves with what they asked for; nothing they asked is overwritten by a search of the old text.
void search_run(int seen, const EventPageHooks& hooks) {
    if (!SharedInts[EVENTLOG_SEARCH_STATE].compare_exchange_strong(seen, EVENT_SEARCH_RUNNING)) return;
    const int hits = hooks.search(shared_text(EVENTLOG_SEARCH_TEXT), SharedInts[EVENTLOG_TYPE_FILTER].load());
    int running = EVENT_SEARCH_RUNNING;
    SharedInts[EVENTLOG_SEARCH_STATE].compare_exchange_strong(running, hits);
}

void periodic_read(EventPageState& state, const EventPageHooks& hooks) {
    if (state.countdown > 0) {
        --state.countdown;
        return;
    }
    if (!hooks.tab_shown()) return;
    const int reload = SharedInts[EVENTLOG_RELOAD_STATE].load();
    if (SharedInts[EVENTLOG_SEARCH_STATE].load() == 0 || reload == 2) {
        hooks.read_new(shared_text(EVENTLOG_NAME));
        const int search = SharedInts[EVENTLOG_SEARCH_STATE].load();
        const std::wstring query = shared_text(EVENTLOG_SEARCH_TEXT);
        const int filter = SharedInts[EVENTLOG_TYPE_FILTER].load();
        // A search survives a reload: its text or filter is run again on the new list.
        if (search > 0 || (search == 0 && reload == 2 && (!text_trim(query).empty() || filter >= 0)))
            search_run(search, hooks);
        // Idle again, unless a reload was asked for while this read ran: that one is served right after it.
        int served = reload;
        SharedInts[EVENTLOG_RELOAD_STATE].compare_exchange_strong(served, 0);
    }
    state.countdown = EVENT_PAGE_READ_ROUNDS;
}

void reload_serve(EventPageState& state, const EventPageHooks& hooks) {
    SharedInts[EVENTLOG_RELOAD_STATE] = 2;
    SharedInts[EVENTLOG_DETAILS_INDEX] = -1;
    bool had_events = false;
    {
        std::lock_guard guard(EventListLock);
        had_events = !EventList.empty();
        EventList.clear();
        EventSearchList.clear();
    }
    if (had_events) hooks.status_text(tr(L"Clearing List"), EVENT_PAGE_STATUS_SECONDS);
    SharedQuads[EVENTLOG_RECORD_COUNT] = 0;
    SharedQuads[EVENTLOG_LAST_RECORD] = 0;
    SharedQuads[EVENTLOG_NEWEST_RECORD] = 0;
    for (int t = 0; t < EVENT_TYPE_COUNT; ++t) {
        EventTypeTable[static_cast<std::size_t>(t)].count = 0;
        EventTypeTable[static_cast<std::size_t>(t)].list_item_type = 0;
    }
    hooks.lists_clear();
    state.countdown = 0;
}

void font_size_serve(int size, const EventPageHooks& hooks) {
    hooks.font_apply(size, false);
    SharedInts[EVENTLOG_FONT_APPLIED] = size;
    hooks.status_line_draw(EVENT_PAGE_RED, tr(L"Font Size") + L" " + std::to_wstring(size));
    // The details are rebuilt for the new character width; a row selected meanwhile stays asked for.
    int asked = SharedInts[EVENTLOG_DETAILS_INDEX].load();
    const int served = hooks.details_show(SharedInts[EVENTLOG_DETAILS_SHOWN].load());
    SharedInts[EVENTLOG_DETAILS_INDEX].compare_exchange_strong(asked, asked >= 0 ? asked : served);
}

}  // namespace

EventListsLayout event_lists_layout(int status_y, int status_height, int panel_height, int details_height) {
    EventListsLayout layout;
    panel_height = std::max(panel_height, 0);
    layout.lists_y = std::clamp(status_y + std::max(status_height, 0), 0, panel_height);
    details_height = std::clamp(details_height, 0, panel_height - layout.lists_y);
    layout.lists_height = panel_height - layout.lists_y - details_height;
    layout.details_y = layout.lists_y + layout.lists_height;
    layout.details_height = panel_height - layout.details_y;
    return layout;
}

void event_page_start(const EventPageHooks& hooks) {
    SharedQuads[EVENTLOG_UTC_OFFSET] = utc_seconds_now() - date_now();
    hooks.list_fill(shared_text(EVENTLOG_NAME));
    shared_text_set(EVENTLOG_HEADER_TEXT, text_or_key(tr(HEADER), HEADER));
    const int size = event_font_size_clamped(SharedInts[EVENTLOG_FONT_SIZE].load());
    hooks.font_apply(size, true);
    SharedInts[EVENTLOG_FONT_APPLIED] = size;
    type_labels_set();
    if (SharedInts[SYSTEM_LOG_PRESENT].load() == 1 && hooks.disk_watch_start) hooks.disk_watch_start();
}

bool event_page_round(EventPageState& state, const EventPageHooks& hooks) {
    periodic_read(state, hooks);
    if (quitting()) return false;

    const int64_t until = SharedQuads[EVENTLOG_STATUS_UNTIL].load();
    if (until > 0 && until < date_now()) {
        SharedQuads[EVENTLOG_STATUS_UNTIL] = 0;
        hooks.status_line_draw(EVENT_PAGE_BLUE, L"");
    }
    // A closed log empties the lists here, the one thread that changes EventList.
    hooks.close_request_serve();

    const int size = event_font_size_clamped(SharedInts[EVENTLOG_FONT_SIZE].load());
    if (SharedInts[EVENTLOG_REFILL_REQUEST].load() == 1) {
        SharedInts[EVENTLOG_REFILL_REQUEST] = 0;
        hooks.list_fill(shared_text(EVENTLOG_NAME));
        SharedInts[EVENTLOG_RELOAD_STATE] = 1;
    } else if (SharedInts[EVENTLOG_RELOAD_STATE].load() == 1) {
        reload_serve(state, hooks);
    } else if (const int row = SharedInts[EVENTLOG_DETAILS_INDEX].load(); row >= 0) {
        event_details_request_serve(row, hooks.details_show);
    } else if (SharedInts[EVENTLOG_SEARCH_STATE].load() == -1) {
        search_run(-1, hooks);
        state.countdown = EVENT_PAGE_READ_ROUNDS;
    } else if (size != SharedInts[EVENTLOG_FONT_APPLIED].load()) {
        font_size_serve(size, hooks);
    }
    return !quitting();
}

void event_page_run(const EventPageHooks& hooks) {
    const WorkerLoop loop{.period_ms = EVENT_PAGE_ROUND_MS,
                          .quit_order = WORKER_QUIT_AT_ONCE,
                          .quit_flag = &SharedInts[QUIT_FLAG],
                          .copy_request = &SharedInts[COPY_TAB_REQUEST],
                          .copy_tab = TAB_EVENTS};
    event_page_start(hooks);
    EventPageState state;
    worker_loop_run(
        loop, [&](bool) { return event_page_round(state, hooks); }, [&hooks](int) { hooks.copy_tab(); });
}
