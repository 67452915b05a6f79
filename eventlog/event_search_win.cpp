// The event search and the type filters on the Events tab's controls (event page thread).
#include <windows.h>

#include <mutex>

#include "core/control_numbers.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "eventlog/event_search.h"
#include "runtime/date.h"
#include "runtime/gui/combo_box/combo_box.h"
#include "runtime/gui/control/control.h"
#include "runtime/list_model.h"
#include "runtime/text.h"
#include "ui/events_tab_status.h"
#include "ui/status_title.h"

namespace {

constexpr int32_t RED = 0x0000FF;

// The controls that would start another read or search; off while one runs.
void search_controls_enable(bool enabled) {
    for (int control :
         {COMBO_EVENT_LOG, COMBO_EVENT_DAYS, INPUT_EVENT_SEARCH, COMBO_EVENT_SEARCH_MODE, BUTTON_EVENT_SEARCH})
        control_enable(control, enabled);
}

double seconds_since(int64_t start_ms) { return static_cast<double>(millisecond_clock() - start_ms) / 1000.0; }

std::wstring two_decimals(double value) {
    wchar_t buffer[32];
    swprintf(buffer, 32, L"%.2f", value);
    return buffer;
}

void search_list_empty() {
    bool had_hits = false;
    {
        std::lock_guard guard(EventListLock);
        had_hits = !EventSearchList.empty();
        EventSearchList.clear();
    }
    if (had_hits) list_rows_clear(LIST_EVENT_SEARCH);
}

void search_view_show(bool hits) {
    control_visible_set(LIST_EVENTS, !hits);
    control_visible_set(COMBO_EVENT_TYPE, !hits);
    control_visible_set(LIST_EVENT_SEARCH, hits);
    control_visible_set(COMBO_EVENT_SEARCH_TYPE, hits);
}

void combo_fill(int combo, const EventTypeItems& items) {
    combo_box_clear(combo);
    for (const std::wstring& item : items.items) combo_box_item_add(combo, -1, item);
    combo_box_select(combo, items.selected);
}

std::array<std::wstring, EVENT_TYPE_COUNT> type_labels() {
    std::array<std::wstring, EVENT_TYPE_COUNT> labels;
    for (int t = 0; t < EVENT_TYPE_COUNT; ++t)
        labels[static_cast<std::size_t>(t)] = EventTypeTable[static_cast<std::size_t>(t)].label;
    return labels;
}

}  // namespace

int event_search(const std::wstring& query, int filter) {
    const int64_t start = millisecond_clock();
    const int mode = combo_box_selected(COMBO_EVENT_SEARCH_MODE);
    if (EventList.empty()) return 0;
    search_controls_enable(false);
    search_list_empty();
    for (auto& type : EventTypeTable) {
        type.search_count = 0;
        type.search_item_type = 0;
    }
    combo_box_clear(COMBO_EVENT_SEARCH_TYPE);
    SharedInts[EVENTLOG_SEARCH_FILTER_USED] = filter;

    const std::wstring shown_query = shared_text(EVENTLOG_SEARCH_TEXT);
    const std::size_t count = EventList.size();
    const EventSearchScan scan = event_search_scan(
        EventList, query, filter, mode < 0 ? SEARCH_ALL_FIELDS : mode, [&](std::size_t i, int matches) {
            status_title_set(L"[" + two_decimals(seconds_since(start)) + L"s] " + tr(L"Searching for") + L" '" +
                                 shown_query + L"' " + std::to_wstring(i) + L" / " + std::to_wstring(count) + L" (" +
                                 two_decimals(100.0 * static_cast<double>(i) / static_cast<double>(count)) + L"%) " +
                                 tr(L"Found") + L" " + std::to_wstring(matches) + L" " + tr(L"Results"),
                             STATUS_SECONDS);
        });
    for (int t = 0; t < EVENT_TYPE_COUNT; ++t)
        EventTypeTable[static_cast<std::size_t>(t)].search_count = scan.type_counts[static_cast<std::size_t>(t)];
    if (scan.filter_reset) SharedInts[EVENTLOG_TYPE_FILTER] = -1;

    if (scan.matches > 0) {
        search_view_show(true);
        std::vector<std::wstring> rows;
        rows.reserve(scan.hits.size());
        const std::wstring listing = tr(L"Listing Search Results");
        for (std::size_t j = 0; j < scan.hits.size(); ++j) {
            const EventRecord& event = EventList[static_cast<std::size_t>(scan.hits[j])];
            const int type = event.type >= 0 && event.type < EVENT_TYPE_COUNT ? event.type : 0;
            rows.push_back(event_search_line(event, EventTypeTable[static_cast<std::size_t>(type)].padded_label));
            if (j % EVENT_SEARCH_PROGRESS_STEP == 0)
                status_title_set(
                    L"[" + two_decimals(seconds_since(start)) + L"s] " + listing + L" " + std::to_wstring(j),
                    STATUS_SECONDS);
        }
        {
            std::lock_guard guard(EventListLock);
            EventSearchList = scan.hits;
        }
        list_rows_assign(LIST_EVENT_SEARCH, std::move(rows));
        status_title_set(
            L"[" + two_decimals(seconds_since(start)) + L"s] " + listing + L" " + std::to_wstring(scan.hits.size()),
            STATUS_SECONDS);
        event_search_filter_fill(scan.matches, filter);
    } else {
        search_view_show(false);
        combo_box_select(COMBO_EVENT_TYPE, 0);
        SharedInts[EVENTLOG_TYPE_FILTER] = -1;
        search_list_empty();
    }

    EventSearchReport report;
    report.query_empty = query.empty();
    report.filter = filter >= 0 && filter < EVENT_TYPE_COUNT ? filter : -1;
    report.matches = scan.matches;
    if (report.filter >= 0) {
        report.filter_count = scan.type_counts[static_cast<std::size_t>(report.filter)];
        report.filter_label = EventTypeTable[static_cast<std::size_t>(report.filter)].label;
    }
    report.event_count = static_cast<int>(count);
    report.seconds = seconds_since(start);
    const std::wstring text = event_search_result_text(report);
    status_title_set(text, STATUS_SECONDS);
    if (!query.empty()) events_status_line_draw(RED, text);
    search_controls_enable(true);
    return scan.matches;
}

void event_type_filter_fill() {
    std::array<int32_t, EVENT_TYPE_COUNT> counts{};
    for (int t = 0; t < EVENT_TYPE_COUNT; ++t)
        counts[static_cast<std::size_t>(t)] = EventTypeTable[static_cast<std::size_t>(t)].count;
    const EventTypeItems items =
        event_type_items(static_cast<int>(EventList.size()), tr(L"Events"), counts, type_labels(), -1);
    event_type_table_map(items, false);
    combo_fill(COMBO_EVENT_TYPE, items);
}

void event_search_filter_fill(int matches, int filter) {
    std::array<int32_t, EVENT_TYPE_COUNT> counts{};
    for (int t = 0; t < EVENT_TYPE_COUNT; ++t)
        counts[static_cast<std::size_t>(t)] = EventTypeTable[static_cast<std::size_t>(t)].search_count;
    const std::wstring word =
        text_trim(shared_text(EVENTLOG_SEARCH_TEXT)).empty() ? tr(L"No Filter") : tr(L"Search Mode");
    const EventTypeItems items = event_type_items(matches, word, counts, type_labels(), filter);
    event_type_table_map(items, true);
    combo_fill(COMBO_EVENT_SEARCH_TYPE, items);
}

bool event_close_request_serve() {
    if (SharedInts[EVENTLOG_CLOSE_REQUEST].load(std::memory_order_acquire) == 0) return false;
    event_list_close();
    combo_box_clear(COMBO_EVENT_TYPE);
    search_view_show(false);
    SharedInts[EVENTLOG_CLOSE_REQUEST].store(0, std::memory_order_release);
    return true;
}
