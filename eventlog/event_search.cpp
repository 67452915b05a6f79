// The event search and the type filters without the controls: matching, the pass over the list, the combo
// items, the result texts and the emptying of the lists.
#include "eventlog/event_search.h"

#include <cstdio>
#include <cwctype>
#include <mutex>

#include "core/control_numbers.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "runtime/date.h"
#include "runtime/list_model.h"
#include "runtime/text.h"

namespace {

constexpr wchar_t EN_SPACE = L'\u2002';

static_assert(std::tuple_size_v<decltype(EventTypeTable)> >= EVENT_TYPE_COUNT + 1,
              "the type combos map a total item and one item per type through EventTypeTable");

std::wstring lower(std::wstring_view text) {
    std::wstring result(text);
    for (wchar_t& c : result) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return result;
}

bool contains(std::wstring_view text, std::wstring_view query) { return text.find(query) != std::wstring_view::npos; }

std::wstring left_justified(std::wstring_view text, std::size_t width) {
    std::wstring result(text.substr(0, width));
    result.resize(width, L' ');
    return result;
}

std::wstring decimals(double value) {
    wchar_t buffer[32];
    std::swprintf(buffer, 32, L"%.2f", value);
    return buffer;
}

}  // namespace

bool event_matches(const EventRecord& event, int mode, std::wstring_view query) {
    switch (mode) {
        case SEARCH_ALL_FIELDS:
            return contains(lower(event.source), query) || contains(lower(event.message), query) ||
                   contains(std::to_wstring(event.record_number), query) ||
                   contains(std::to_wstring(event.event_id), query);
        case SEARCH_SOURCE: return contains(lower(event.source), query);
        case SEARCH_DESCRIPTION: return contains(lower(event.message), query);
        case SEARCH_RECORD: return contains(std::to_wstring(event.record_number), query);
        case SEARCH_EVENT_ID: return contains(std::to_wstring(event.event_id), query);
        default: return false;
    }
}

EventSearchScan event_search_scan(const std::vector<EventRecord>& events, std::wstring_view query, int filter, int mode,
                                  const std::function<void(std::size_t, int)>& progress) {
    EventSearchScan scan;
    if (filter >= EVENT_TYPE_COUNT) filter = -1;
    if (query.empty() && filter < 0) return scan;
    for (std::size_t i = 0; i < events.size(); ++i) {
        const EventRecord& event = events[i];
        if (!query.empty() && !event_matches(event, mode, query)) {
            if (progress && i % EVENT_SEARCH_PROGRESS_STEP == 0) progress(i, scan.matches);
            continue;
        }
        const int type = event.type >= 0 && event.type < EVENT_TYPE_COUNT ? event.type : 0;
        ++scan.matches;
        ++scan.type_counts[static_cast<std::size_t>(type)];
        if (filter >= 0 && type != filter) continue;
        scan.hits.push_back(static_cast<int64_t>(i));
        if (progress && i % EVENT_SEARCH_PROGRESS_STEP == 0) progress(i, scan.matches);
    }
    if (scan.matches > 0 && filter >= 0 && scan.type_counts[static_cast<std::size_t>(filter)] == 0) {
        scan.matches = 0;
        scan.filter_reset = true;
    }
    return scan;
}

std::wstring event_search_line(const EventRecord& event, std::wstring_view padded_label) {
    return date_format(L"%yyyy-%mm-%dd %hh:%ii:%ss  ", event.time_generated) +
           left_justified(std::to_wstring(event.record_number), 10) +
           left_justified(std::to_wstring(event.event_id), 7) + std::wstring(padded_label) +
           left_justified(event.source, 30) + L" " + event.message;
}

EventTypeItems event_type_items(int total, std::wstring_view total_word,
                                const std::array<int32_t, EVENT_TYPE_COUNT>& counts,
                                const std::array<std::wstring, EVENT_TYPE_COUNT>& labels, int selected_type) {
    EventTypeItems result;
    const std::wstring total_text = std::to_wstring(total);
    result.digits = static_cast<int>(total_text.size());
    result.items.push_back(total_text + L" - " + std::wstring(total_word));
    int n = 0;
    for (int type = EVENT_TYPE_COUNT - 1; type >= 0; --type) {
        const int32_t count = counts[static_cast<std::size_t>(type)];
        if (count <= 0) continue;
        ++n;
        std::wstring count_text = std::to_wstring(count);
        if (static_cast<int>(count_text.size()) < result.digits)
            count_text.insert(0, static_cast<std::size_t>(result.digits) - count_text.size(), EN_SPACE);
        result.items.push_back(count_text + L" - " + labels[static_cast<std::size_t>(type)]);
        result.item_type[static_cast<std::size_t>(n)] = type;
        if (type == selected_type) result.selected = n;
    }
    if (n == 1) {
        result.items.erase(result.items.begin());
        result.selected = 0;
    }
    return result;
}

void event_type_table_map(const EventTypeItems& items, bool search_combo) {
    EventTypeTable[search_combo ? 1 : 0].digits = items.digits;
    for (std::size_t n = 1; n < items.item_type.size(); ++n) {
        if (search_combo) {
            EventTypeTable[n].search_item_type = items.item_type[n];
        } else {
            EventTypeTable[n].list_item_type = items.item_type[n];
        }
    }
}

std::wstring event_search_result_text(const EventSearchReport& r) {
    const std::wstring p = L"[" + decimals(r.seconds) + L"s] ";
    const std::wstring events = tr(L"Events");
    if (!r.query_empty && r.filter >= 0)
        return p + std::to_wstring(r.filter_count) + L" " + tr(L"Search Results") + L" " + tr(L"in") + L" " +
               text_trim(r.filter_label) + L" " + events;
    if (!r.query_empty)
        return p + std::to_wstring(r.matches) + L" " + tr(L"Search Results") + L" " + tr(L"in") + L" " +
               std::to_wstring(r.event_count) + L" " + events;
    if (r.filter >= 0) return p + std::to_wstring(r.filter_count) + L" " + text_trim(r.filter_label) + L" " + events;
    return p + std::to_wstring(r.event_count) + L" " + events;
}

void event_list_close() {
    {
        std::lock_guard guard(EventListLock);
        EventList.clear();
        EventSearchList.clear();
    }
    for (auto& type : EventTypeTable) {
        type.count = 0;
        type.list_item_type = 0;
        type.search_count = 0;
        type.search_item_type = 0;
    }
    list_rows_clear(LIST_EVENTS);
    list_rows_clear(LIST_EVENT_SEARCH);
    list_rows_clear(LIST_EVENT_DETAILS);
    SharedInts[EVENTLOG_DETAILS_INDEX] = -1;
    SharedInts[EVENTLOG_SEARCH_STATE] = 0;
    SharedQuads[EVENTLOG_RECORD_COUNT] = 0;
    SharedQuads[EVENTLOG_LAST_RECORD] = 0;
    SharedQuads[EVENTLOG_NEWEST_RECORD] = 0;
}
