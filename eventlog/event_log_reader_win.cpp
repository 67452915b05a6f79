// The log selector and the reader on the Events tab's controls (event page thread).
#include <windows.h>

#include "core/control_numbers.h"
#include "core/shared_state.h"
#include "eventlog/event_details.h"
#include "eventlog/event_log_reader.h"
#include "eventlog/event_search.h"
#include "runtime/date.h"
#include "runtime/gui/combo_box/combo_box.h"
#include "runtime/gui/control/control.h"
#include "runtime/gui/list_view/list_view.h"
#include "ui/status_title.h"

namespace {

int days_count() { return combo_box_count(COMBO_EVENT_DAYS); }
void days_select(int item) { combo_box_select(COMBO_EVENT_DAYS, item); }

void controls_enable(bool enabled) {
    for (int control :
         {COMBO_EVENT_LOG, COMBO_EVENT_DAYS, INPUT_EVENT_SEARCH, COMBO_EVENT_SEARCH_MODE, BUTTON_EVENT_SEARCH})
        control_enable(control, enabled);
}

void search_view_hide() {
    control_visible_set(LIST_EVENTS, true);
    control_visible_set(COMBO_EVENT_TYPE, true);
    control_visible_set(LIST_EVENT_SEARCH, false);
    control_visible_set(COMBO_EVENT_SEARCH_TYPE, false);
}

void status_text(std::wstring_view text) { status_title_set(text, STATUS_SECONDS); }
bool row_selected() { return list_view_selected(LIST_EVENTS) >= 0; }
void row_select(int row) { list_view_select(LIST_EVENTS, row); }

const EventReaderHooks windows_hooks{.days_count = days_count,
                                     .days_select = days_select,
                                     .controls_enable = controls_enable,
                                     .search_view_hide = search_view_hide,
                                     .status_text = status_text,
                                     .row_selected = row_selected,
                                     .row_select = row_select,
                                     .details_show = event_details_show,
                                     .type_filter_fill = event_type_filter_fill,
                                     .utc_now = utc_seconds_now,
                                     .local_from_utc = date_from_utc};

}  // namespace

int event_log_list_fill(const std::wstring& wanted) {
    combo_box_clear(COMBO_EVENT_LOG);
    shared_text_set(EVENTLOG_NAME, L"");
    const EventLogChoice choice = event_log_choice(event_log_api(), wanted);
    for (const std::wstring& name : choice.names) combo_box_item_add(COMBO_EVENT_LOG, -1, name);
    if (choice.selected >= 0) {
        combo_box_select(COMBO_EVENT_LOG, choice.selected);
        shared_text_set(EVENTLOG_NAME, choice.names[static_cast<std::size_t>(choice.selected)]);
    }
    if (choice.system_present) SharedInts[SYSTEM_LOG_PRESENT] = 1;
    return 0;
}

int event_log_read_new(const std::wstring& name) {
    return event_log_read_new_with(event_log_api(), name, windows_hooks);
}
