// The Events tab: the event-log toolbar (log, age, search field and mode, search and clear on the left; font
// size and type filter on the right), the status line, and the event, search and details lists.
#include <windows.h>

#include "core/control_numbers.h"
#include "core/shared_state.h"
#include "runtime/gui/button/button.h"
#include "runtime/gui/canvas/canvas.h"
#include "runtime/gui/combo_box/combo_box.h"
#include "runtime/gui/control/control.h"
#include "ui/events_tab_status.h"
#include "ui/main_layout_choices.h"
#include "ui/main_window_pages.h"

namespace {

constexpr int32_t SEARCH_HIT_TEXT = 0x007000;
constexpr int32_t DETAILS_BACKGROUND = 0xE0E0E0;

void toolbar_button(int number, const UnitRect& place, const wchar_t* caption, std::wstring_view tooltip) {
    if (button_create(number, gui_in_tab(PANEL_MAIN, TAB_EVENTS), place.x, place.y, place.width, place.height, caption,
                      0)) {
        control_tooltip_set(number, shown(tooltip));
    }
}

}  // namespace

void events_page_build(const MainBuild& build) {
    const EventsPage page = events_page(build.layout, SharedInts[EVENTLOG_DETAILS_HEIGHT].load());
    const GuiParent on_page = gui_in_tab(PANEL_MAIN, TAB_EVENTS);

    combo_box_create(COMBO_EVENT_LOG, on_page, page.log_combo.x, page.log_combo.y, page.log_combo.width,
                     page.log_combo.height, 0);
    const std::vector<std::wstring> ages = event_age_items(shared_text(EVENTLOG_AGE_CHOICES), time_words());
    SharedInts[EVENTLOG_AGE_CHOICE] =
        item_index_checked(SharedInts[EVENTLOG_AGE_CHOICE].load(), static_cast<int>(ages.size()), 0);
    page_combo_create(COMBO_EVENT_DAYS, TAB_EVENTS, page.days_combo, ages, SharedInts[EVENTLOG_AGE_CHOICE].load());
    event_search_field_build(0);
    page_combo_create(COMBO_EVENT_SEARCH_MODE, TAB_EVENTS, page.search_mode_combo,
                      {shown(L"in All Fields"), shown(L"in Source"), shown(L"in Description"), shown(L"in Record"),
                       shown(L"in Event ID")},
                      0);
    toolbar_button(BUTTON_EVENT_SEARCH, page.search_button, L"\u2714", L"Search");
    toolbar_button(BUTTON_EVENT_CLEAR, page.clear_button, L"\u2716", L"Clear or Shift-Click = Close");

    combo_box_create(COMBO_EVENT_SEARCH_TYPE, on_page, page.search_type_combo.x, page.search_type_combo.y,
                     page.search_type_combo.width, page.search_type_combo.height, 0);
    control_visible_set(COMBO_EVENT_SEARCH_TYPE, false);
    combo_box_create(COMBO_EVENT_TYPE, on_page, page.type_combo.x, page.type_combo.y, page.type_combo.width,
                     page.type_combo.height, 0);
    const std::vector<std::wstring> sizes = font_size_items();
    page_combo_create(COMBO_EVENT_FONT_SIZE, TAB_EVENTS, page.font_combo, sizes,
                      item_index_checked(SharedInts[EVENTLOG_FONT_SIZE].load() - 9, static_cast<int>(sizes.size()), 0));
    control_tooltip_set(COMBO_EVENT_FONT_SIZE, shown(L"Font Size"));

    canvas_create(CANVAS_EVENTS_STATUS, on_page, page.status_canvas.x, page.status_canvas.y, page.status_canvas.width,
                  page.status_canvas.height, 0, 0xFFFFFF);
    SharedInts[EVENTLOG_DETAILS_HEIGHT] = page.details_height;
    const int32_t list_back = SharedInts[LIST_BACKGROUND_COLOR].load();
    page_list_box_create(LIST_EVENT_SEARCH, TAB_EVENTS, page.search_list, -1);
    control_colors_set(LIST_EVENT_SEARCH, SEARCH_HIT_TEXT, list_back);
    control_visible_set(LIST_EVENT_SEARCH, false);
    page_list_box_create(LIST_EVENTS, TAB_EVENTS, page.events_list, -1);
    control_colors_set(LIST_EVENTS, 0x000000, list_back);
    page_list_box_create(LIST_EVENT_DETAILS, TAB_EVENTS, page.details_list, -1);
    control_colors_set(LIST_EVENT_DETAILS, 0x000000, DETAILS_BACKGROUND);
}
