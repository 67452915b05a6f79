// The Ping tab: its toolbar (mode, host field, add/delete/reset on the left; font size, slow-reply limit,
// interval and ping-now on the right), the status line and the scrolled host list.
#include <windows.h>

#include "core/control_numbers.h"
#include "core/shared_state.h"
#include "runtime/gui/button/button.h"
#include "runtime/gui/canvas/canvas.h"
#include "runtime/gui/control/control.h"
#include "runtime/gui/scroll_area/scroll_area.h"
#include "runtime/gui/text/text.h"
#include "ui/main_layout_choices.h"
#include "ui/main_window_pages.h"

namespace {

constexpr int PING_MODES = 5;
constexpr int PING_SCROLL_STEP = 12;

void toolbar_button(int number, const UnitRect& place, const wchar_t* caption) {
    if (button_create(number, gui_in_tab(PANEL_MAIN, TAB_PING), place.x, place.y, place.width, place.height, caption,
                      0)) {
        control_font_set(number, FONT_FIXED_SMALL);
    }
}

}  // namespace

void ping_page_build(const MainBuild& build) {
    const PingPage page = ping_page(build.layout, build.panel_main_width);
    const GuiParent on_page = gui_in_tab(PANEL_MAIN, TAB_PING);

    SharedInts[PING_MODE] = item_index_checked(SharedInts[PING_MODE].load(), PING_MODES, 0);
    page_combo_create(COMBO_PING_MODE, TAB_PING, page.mode_combo,
                      {shown(L"Ping Host Name"), shown(L"Ping IP Address"), shown(L"Ping IP Range"),
                       shown(L"Ping IP Range [Keep Active]"), shown(L"MAC Vendor CSV File")},
                      SharedInts[PING_MODE].load());
    if (text_input_create(INPUT_PING_HOST, on_page, page.host_input.x, page.host_input.y, page.host_input.width,
                          page.host_input.height, L"", 0)) {
        if (const HWND field = reinterpret_cast<HWND>(control_handle(INPUT_PING_HOST))) {
            SetWindowLongPtrW(field, GWL_STYLE, GetWindowLongPtrW(field, GWL_STYLE) | ES_LOWERCASE);
        }
    }
    toolbar_button(BUTTON_PING_ADD, page.add_button, L"\u2714");
    toolbar_button(BUTTON_PING_DELETE, page.delete_button, L"\u2716");
    toolbar_button(BUTTON_PING_RESET, page.reset_button, L"//");

    if (button_create(BUTTON_PING_NOW, on_page, page.now_button.x, page.now_button.y, page.now_button.width,
                      page.now_button.height, L"", 0)) {
        control_tooltip_set(BUTTON_PING_NOW, shown(L"Click to Ping now"));
    }

    const ChoiceItems intervals =
        ping_interval_items(shared_text(PING_INTERVAL_CHOICES), SharedInts[PING_INTERVAL_S].load(), time_words());
    // A choice that the settings file gave stays; the default interval only without a settings file.
    const int interval = built_choice(SharedInts[PING_INTERVAL_CHOICE].load(), build.settings_given,
                                      intervals.default_index, static_cast<int>(intervals.items.size()));
    SharedInts[PING_INTERVAL_CHOICE] = interval;
    page_combo_create(COMBO_PING_INTERVAL, TAB_PING, page.interval_combo, intervals.items, interval);
    control_tooltip_set(COMBO_PING_INTERVAL, shown(L"Ping Intervals"));

    const std::vector<std::wstring> slow = ping_slow_items();
    SharedInts[PING_SLOW_CHOICE] =
        item_index_checked(SharedInts[PING_SLOW_CHOICE].load(), static_cast<int>(slow.size()), 1);
    page_combo_create(COMBO_PING_SLOW, TAB_PING, page.slow_combo, slow, SharedInts[PING_SLOW_CHOICE].load());
    control_tooltip_set(COMBO_PING_SLOW, shown(L"Slow Response Time (Yellow Bars)"));

    const std::vector<std::wstring> sizes = font_size_items();
    page_combo_create(COMBO_PING_FONT_SIZE, TAB_PING, page.font_combo, sizes,
                      item_index_checked(SharedInts[PING_FONT_SIZE].load() - 9, static_cast<int>(sizes.size()), 0));
    control_tooltip_set(COMBO_PING_FONT_SIZE, shown(L"Font Size"));

    canvas_create(CANVAS_PING_STATUS, on_page, page.status_canvas.x, page.status_canvas.y, page.status_canvas.width,
                  page.status_canvas.height, 0, 0xFFFFFF);
    if (scroll_area_create(SCROLL_PING_LIST, on_page, page.scroll_area.x, page.scroll_area.y, page.scroll_area.width,
                           page.scroll_area.height, page.inner_width, page.inner_height, PING_SCROLL_STEP)) {
        canvas_create(CANVAS_PING_LIST, gui_in_container(SCROLL_PING_LIST), page.list_canvas.x, page.list_canvas.y,
                      page.list_canvas.width, page.list_canvas.height, 0, 0xFFFFFF);
    }
}
