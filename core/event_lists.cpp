// Time-stamped rows at the top of the event lists, and the Storage Monitor list with its separators.
#include "core/event_lists.h"

#include <mutex>
#include <string>
#include <vector>

#include "core/control_numbers.h"
#include "core/log_file.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "runtime/list_model.h"

namespace {

constexpr std::wstring_view STAMP_MASK = L"%mm-%dd  %hh:%ii:%ss - ";
constexpr std::wstring_view PLAIN_STAMP_MASK = L"%mm-%dd  %hh:%ii:%ss";

// Trims the list to MAX_EVENT_LINES rows and inserts in one step, so that rows other threads insert at the
// same moment can neither be lost nor push the list past its limit.
void insert_rows(int list, int position, const std::vector<std::wstring>& rows) {
    list_rows_trim_insert(list, position, rows, SharedInts[MAX_EVENT_LINES].load(std::memory_order_relaxed));
}

// The counter in four digits with leading zeros; a longer number keeps its first four digits.
std::wstring separator_number(int64_t count) {
    std::wstring digits = std::to_wstring(count);
    if (digits.size() < 4) digits.insert(0, 4 - digits.size(), L'0');
    return digits.substr(0, 4);
}

}  // namespace

void event_line_add(int list, std::wstring_view text) {
    insert_rows(list, 0, {date_format(STAMP_MASK, date_now()) + std::wstring(text)});
    const bool logged = (list == LIST_SYSTEM_EVENTS && SharedInts[OPT_LOG_SYSTEM_EVENTS].load() != 0) ||
                        (list == LIST_NETWORK_EVENTS && SharedInts[OPT_LOG_NETWORK_EVENTS].load() != 0);
    if (logged) log_line_add(text);
}

void event_line_add_plain(int list, int position, std::wstring_view text) {
    insert_rows(list, position, {date_format(PLAIN_STAMP_MASK, date_now()) + L"\n" + std::wstring(text)});
}

void event_line_add_quiet(int list, int position, std::wstring_view text) {
    insert_rows(list, position, {date_format(STAMP_MASK, date_now()) + std::wstring(text)});
}

void saga_line_add(std::wstring_view text, Date date) {
    if (text != L"--") {
        insert_rows(LIST_STORAGE_MONITOR, 0, {std::wstring(text)});
        return;
    }
    // Counted while the rows' lock is held, so that a separator, its number and its empty row stay together
    // and the count a save reads with the rows matches them.
    const Date when = date > 0 ? date : date_now();
    const std::wstring stamp = date_format(L" %yyyy-%mm-%dd %hh:%ii:%ss", when);
    list_rows_trim_insert_made(
        LIST_STORAGE_MONITOR, 0,
        [&stamp] {
            const int64_t count = SharedQuads[SAGA_SEPARATOR_COUNT].fetch_add(1) + 1;
            return std::vector<std::wstring>{std::wstring(), L"-- #" + separator_number(count) + stamp};
        },
        SharedInts[MAX_EVENT_LINES].load(std::memory_order_relaxed));
}
