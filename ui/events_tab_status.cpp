// The Events tab's status line and search field without the windows: what each shows.
#include "ui/events_tab_status.h"

EventsStatusLine events_status_line_plan(std::wstring_view message, Date now, Date until, std::wstring_view log_name,
                                         std::wstring_view header, std::wstring_view prompt) {
    EventsStatusLine line;
    line.until = until;
    if (!message.empty()) {
        line.text = L">> " + std::wstring(message);
        line.until = now + EVENTS_STATUS_HOLD_SECONDS;
    } else if (until == 0) {
        line.text = log_name.empty() ? L"\u25B2 " + std::wstring(prompt) : std::wstring(header);
    }
    return line;
}

EventSearchFieldPlan event_search_field_plan(int mode, int last_mode, std::wstring_view text) {
    EventSearchFieldPlan plan;
    plan.number_field = mode >= 3;
    plan.cue = plan.number_field ? L"ID Search" : L"Text Search";
    const bool was_number_field = last_mode >= 3;
    if (plan.number_field == was_number_field) plan.field_text = std::wstring(text);
    return plan;
}
