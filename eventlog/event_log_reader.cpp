// The log selector's list of logs and the incremental reader of the selected log.
#include "eventlog/event_log_reader.h"

#include <cstdio>
#include <cwchar>
#include <mutex>

#include "core/control_numbers.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "eventlog/event_details.h"
#include "eventlog/event_log_read.h"
#include "eventlog/event_search.h"
#include "runtime/date.h"
#include "runtime/list_model.h"
#include "runtime/text.h"

namespace {

constexpr int64_t DAY_S = 86400;

std::wstring two_decimals(double value) {
    wchar_t buffer[32];
    std::swprintf(buffer, 32, L"%.2f", value);
    return buffer;
}

std::wstring elapsed_prefix(int64_t start_ms) {
    return L"[" + two_decimals(static_cast<double>(millisecond_clock() - start_ms) / 1000.0) + L"s] ";
}

// Closes the log however the read ends.
struct LogOpen {
    const EventLogApi& api;
    EventLogHandle handle;
    ~LogOpen() {
        if (handle) api.close(handle);
    }
};

// Record numbers are 32-bit and wrap: a is newer than b when it lies less than half the range ahead.
bool number_newer(uint32_t a, uint32_t b) { return static_cast<int32_t>(a - b) > 0; }

enum class LogChange { NONE, NEW_RECORDS, CLEARED };

// What happened to the log since the last read, from its record count and oldest record number. Before the
// first fill (nothing listed) only a count above the one of the last read asks for a read.
LogChange log_change(const EventLogApi& api, EventLogHandle log, int64_t last_known, uint32_t& count) {
    if (!api.record_count(log, count)) return LogChange::NONE;
    if (last_known == 0)
        return static_cast<int64_t>(count) > SharedQuads[EVENTLOG_RECORD_COUNT].load() ? LogChange::NEW_RECORDS
                                                                                       : LogChange::NONE;
    if (count == 0) return LogChange::CLEARED;
    uint32_t oldest = 0;
    if (!api.oldest_record(log, oldest)) {
        // Without the oldest number only a growing count shows new records.
        return static_cast<int64_t>(count) > SharedQuads[EVENTLOG_RECORD_COUNT].load() ? LogChange::NEW_RECORDS
                                                                                       : LogChange::NONE;
    }
    const uint32_t highest = static_cast<uint32_t>(last_known);
    const uint32_t newest = oldest + count - 1;
    if (number_newer(highest, newest)) return LogChange::CLEARED;
    return number_newer(newest, highest) ? LogChange::NEW_RECORDS : LogChange::NONE;
}

const std::wstring& padded_label_of(int type) {
    const int t = type >= 0 && type < EVENT_TYPE_COUNT ? type : 0;
    return EventTypeTable[static_cast<std::size_t>(t)].padded_label;
}

}  // namespace

EventLogChoice event_log_choice(const EventLogApi& api, std::wstring_view wanted) {
    std::vector<std::wstring> names = api.log_names();
    if (names.empty()) names = text_split(EVENT_LOG_FALLBACK_NAMES, L',');
    EventLogChoice choice;
    for (const std::wstring& name : names) {
        if (name.empty()) continue;
        const EventLogHandle log = api.open(name);
        if (!log) continue;
        uint32_t count = 0;
        const bool counted = api.record_count(log, count);
        api.close(log);
        if (!counted || count == 0) continue;
        if (name == L"System") choice.system_present = true;
        if (name == wanted) choice.selected = static_cast<int>(choice.names.size());
        choice.names.push_back(name);
    }
    return choice;
}

EventRecord event_record_stored(const EventRecordView& view, LocalFromUtc local_from_utc) {
    EventRecord record;
    event_record_fill(view, record);
    record.time_generated = local_from_utc(view.time_generated);
    record.time_written = local_from_utc(view.time_written);
    return record;
}

int64_t event_age_cutoff(std::wstring_view choices, int item, int item_count, int64_t utc_now) {
    if (item < 0 || item >= item_count - 1) return 0;
    const std::vector<std::wstring> fields = text_split(choices, L',');
    if (static_cast<std::size_t>(item) >= fields.size()) return 0;
    const long days = std::wcstol(text_trim(fields[static_cast<std::size_t>(item)]).c_str(), nullptr, 10);
    if (days <= 0) return 0;
    return utc_now - static_cast<int64_t>(days) * DAY_S;
}

int event_log_read_new_with(const EventLogApi& api, const std::wstring& name, const EventReaderHooks& hooks) {
    const int days_count = hooks.days_count();
    int age_item = SharedInts[EVENTLOG_AGE_CHOICE].load();
    hooks.days_select(age_item);
    const std::wstring choices = shared_text(EVENTLOG_AGE_CHOICES);
    int64_t cutoff = event_age_cutoff(choices, age_item, days_count, hooks.utc_now());
    if (name.empty()) return 0;
    const LogOpen log{api, api.open(name)};
    if (!log.handle) return 0;

    int inserted_at = -1;  // p: the row of the last record inserted on top
    const int64_t last_known = SharedQuads[EVENTLOG_LAST_RECORD].load();
    uint32_t count = 0;
    const LogChange change = log_change(api, log.handle, last_known, count);
    if (change == LogChange::CLEARED) {
        // The list holds records the log no longer has: read it again from the top.
        int idle = 0;
        SharedInts[EVENTLOG_RELOAD_STATE].compare_exchange_strong(idle, 1);
    }
    if (change == LogChange::NEW_RECORDS) {
        hooks.controls_enable(false);
        SharedQuads[EVENTLOG_RECORD_COUNT] = count;
        SharedQuads[EVENTLOG_RECORDS_READ] = 0;
        // Hits shown are hidden; a search asked for meanwhile stays asked for.
        int shown = SharedInts[EVENTLOG_SEARCH_STATE].load();
        if (shown > 0 && SharedInts[EVENTLOG_SEARCH_STATE].compare_exchange_strong(shown, 0)) {
            hooks.search_view_hide();
            bool had_hits = false;
            {
                std::lock_guard guard(EventListLock);
                had_hits = !EventSearchList.empty();
                EventSearchList.clear();
            }
            if (had_hits) list_rows_clear(LIST_EVENT_SEARCH);
        }
        const int64_t start = millisecond_clock();
        const bool first_fill = last_known == 0;
        const uint32_t highest = static_cast<uint32_t>(last_known);
        bool newest_set = !first_fill;
        uint32_t newest = static_cast<uint32_t>(SharedQuads[EVENTLOG_NEWEST_RECORD].load());
        bool first = true;

        auto progress = [&](int64_t) {
            const int64_t read = SharedQuads[EVENTLOG_RECORDS_READ].load();
            const int64_t total = SharedQuads[EVENTLOG_RECORD_COUNT].load();
            hooks.status_text(
                elapsed_prefix(start) + tr(L"Reading") + L" " + name + L": " + std::to_wstring(read) + L" / " +
                std::to_wstring(total) + L" (" +
                two_decimals(total > 0 ? 100.0 * static_cast<double>(read) / static_cast<double>(total) : 0.0) + L"%)");
        };
        auto visit = [&](const EventRecordView& view) {
            SharedQuads[EVENTLOG_RECORDS_READ].fetch_add(1);
            if (!first_fill && !number_newer(view.record_number, highest)) return false;
            if (!newest_set || number_newer(view.record_number, newest)) {
                newest = view.record_number;
                newest_set = true;
                SharedQuads[EVENTLOG_NEWEST_RECORD] = newest;
            }
            if (first) {
                first = false;
                // The newest record outside the chosen age widens the age for this read, so that a quiet log
                // still shows its last events.
                while (cutoff > 0 && static_cast<int64_t>(view.time_generated) < cutoff) {
                    ++age_item;
                    hooks.days_select(age_item);
                    cutoff = event_age_cutoff(choices, age_item, days_count, hooks.utc_now());
                }
            }
            if (static_cast<int64_t>(view.time_generated) < cutoff) return false;
            if (!view.source.empty()) {
                EventRecord record = event_record_stored(view, hooks.local_from_utc);
                const std::wstring line = event_search_line(record, padded_label_of(record.type));
                const int type = record.type >= 0 && record.type < EVENT_TYPE_COUNT ? record.type : 0;
                int row = -1;
                {
                    std::lock_guard guard(EventListLock);
                    if (!first_fill) {
                        row = ++inserted_at;
                        EventList.insert(EventList.begin() + row, std::move(record));
                    } else {
                        EventList.push_back(std::move(record));
                    }
                }
                ++EventTypeTable[static_cast<std::size_t>(type)].count;
                if (row >= 0) {
                    list_rows_insert(LIST_EVENTS, row, line);
                } else {
                    list_rows_insert(LIST_EVENTS, list_rows_count(LIST_EVENTS), line);
                }
            }
            // The cheap test first: asking the list for its selection waits for the main thread.
            if (SharedInts[EVENTLOG_DETAILS_INDEX].load() == -2 && list_rows_count(LIST_EVENTS) > 0 &&
                !hooks.row_selected()) {
                hooks.row_select(0);
                int unshown = -2;
                SharedInts[EVENTLOG_DETAILS_INDEX].compare_exchange_strong(unshown, 0);
            }
            if (const int row = SharedInts[EVENTLOG_DETAILS_INDEX].load(); row >= 0)
                event_details_request_serve(row, hooks.details_show);
            return true;
        };
        event_log_read_backwards(api, log.handle, visit, progress);

        SharedQuads[EVENTLOG_LAST_RECORD] = SharedQuads[EVENTLOG_NEWEST_RECORD].load();
        std::size_t events = 0;
        {
            std::lock_guard guard(EventListLock);
            events = EventList.size();
        }
        std::wstring report =
            elapsed_prefix(start) + tr(L"Read") + L" " + name + L": " + std::to_wstring(events) + L" " + tr(L"Events");
        if (inserted_at + 1 > 0) report += L", " + std::to_wstring(inserted_at + 1) + L" " + tr(L"New");
        hooks.status_text(report);
    }
    hooks.controls_enable(true);
    hooks.type_filter_fill();
    return inserted_at + 1;
}
