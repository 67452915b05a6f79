// The Events tab built in a real window with the program's handlers: its search field (lower-case text or
// digits per mode, with a grey cue while empty), its status line, and the clicks and Return in the search
// field that become the event page thread's requests.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

#include "app/app_test_support.h"
#include "app/event_loop.h"
#include "app/program_windows_win.h"
#include "app/shortcuts.h"
#include "app/wiring.h"
#include "core/control_handlers.h"
#include "core/control_numbers.h"
#include "core/language.h"
#include "core/settings_file_hooks.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "runtime/display_probe_win.h"
#include "runtime/gui/canvas/canvas_draw_win.h"
#include "runtime/gui/control/control.h"
#include "runtime/gui/font/font.h"
#include "runtime/gui/gui.h"
#include "runtime/gui/list_view/list_view.h"
#include "runtime/gui/panel/panel.h"
#include "runtime/gui/shortcut/shortcut_table.h"
#include "runtime/gui/window/window.h"
#include "runtime/list_model.h"
#include "ui/compact_window.h"
#include "ui/events_tab_status.h"
#include "ui/main_layout.h"
#include "ui/main_window_pages.h"

namespace {

constexpr int WIDTH = 900;
constexpr int HEIGHT = 420;
constexpr COLORREF GREY = 0x808080;
constexpr COLORREF BLUE = 0xFF0000;
constexpr COLORREF RED = 0x0000FF;

bool any_pixel(int canvas, COLORREF color) {
    CanvasDraw draw(canvas);
    if (!draw) return false;
    for (int y = 0; y < draw.height(); ++y)
        for (int x = 0; x < draw.width(); ++x)
            if (GetPixel(draw.dc(), x, y) == color) return true;
    return false;
}

LONG_PTR field_style() {
    return GetWindowLongPtrW(reinterpret_cast<HWND>(control_handle(INPUT_EVENT_SEARCH)), GWL_STYLE);
}

class EventsTab : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(display_available()) << NO_DISPLAY_TEXT;
        ASSERT_TRUE(program_windows_with_tabs_open(40, 40, WIDTH, HEIGHT, L"events tab test"));
        ASSERT_TRUE(font_load(FONT_EVENT_LIST, L"Lucida Console", 9, 0));
        ASSERT_TRUE(font_load(FONT_FIXED_SMALL, L"Lucida Console", 8, 0));
        ASSERT_TRUE(font_load(FONT_CUE, L"Tahoma", 8, 0));
        panel_tab_select(PANEL_MAIN, TAB_EVENTS);
        SharedFloats[TABS_SCALE] = 1.0f;
        MainBuild build;
        build.layout = panel_layout(WIDTH - 10, HEIGHT - 30, 96);
        events_page_build(build);
        ASSERT_TRUE(control_exists(INPUT_EVENT_SEARCH));
        ASSERT_TRUE(control_exists(CANVAS_EVENTS_STATUS));
        startup_ui_hooks_install([] {});
        startup_event_handlers_add();
        shortcuts_register();
    }
    void TearDown() override { program_windows_close(); }
};

TEST_F(EventsTab, TheSearchFieldFollowsItsModeWithACueWhileEmpty) {
    EXPECT_NE(field_style() & ES_LOWERCASE, 0) << "the text modes' field";
    ASSERT_TRUE(control_exists(CANVAS_EVENT_SEARCH_CUE));
    EXPECT_TRUE(any_pixel(CANVAS_EVENT_SEARCH_CUE, GREY)) << "the grey cue";

    const HWND field = reinterpret_cast<HWND>(control_handle(INPUT_EVENT_SEARCH));
    for (const wchar_t c : std::wstring(L"DISK")) SendMessageW(field, WM_CHAR, c, 1);
    EXPECT_EQ(control_text(INPUT_EVENT_SEARCH), L"disk");
    EXPECT_TRUE(loop_until([] { return !control_exists(CANVAS_EVENT_SEARCH_CUE); }))
        << "the cue goes with the first character";

    event_search_field_build(2);
    EXPECT_EQ(control_text(INPUT_EVENT_SEARCH), L"disk") << "text mode to text mode keeps the text";
    EXPECT_FALSE(control_exists(CANVAS_EVENT_SEARCH_CUE));

    event_search_field_build(4);
    EXPECT_EQ(control_text(INPUT_EVENT_SEARCH), L"");
    EXPECT_NE(field_style() & ES_NUMBER, 0) << "the number modes' field";
    ASSERT_TRUE(control_exists(CANVAS_EVENT_SEARCH_CUE));
    EXPECT_TRUE(any_pixel(CANVAS_EVENT_SEARCH_CUE, GREY));
    EXPECT_EQ(SharedInts[EVENTLOG_SEARCH_FIELD_MODE].load(), 4);
}

TEST_F(EventsTab, TheStatusLineShowsThePromptThenAHeldMessage) {
    events_status_line_draw(BLUE, L"");
    EXPECT_TRUE(any_pixel(CANVAS_EVENTS_STATUS, BLUE)) << "the prompt to choose a log";
    EXPECT_EQ(SharedQuads[EVENTLOG_STATUS_UNTIL].load(), 0);

    const Date before = date_now();
    events_status_line_draw(RED, L"Font Size 12");
    EXPECT_TRUE(any_pixel(CANVAS_EVENTS_STATUS, RED));
    EXPECT_FALSE(any_pixel(CANVAS_EVENTS_STATUS, BLUE));
    EXPECT_GE(SharedQuads[EVENTLOG_STATUS_UNTIL].load(), before + 15);

    shared_text_set(EVENTLOG_NAME, L"System");
    events_status_line_draw(BLUE, L"");
    EXPECT_FALSE(any_pixel(CANVAS_EVENTS_STATUS, BLUE)) << "white while the message is held";
    EXPECT_FALSE(any_pixel(CANVAS_EVENTS_STATUS, RED));
}

TEST_F(EventsTab, ClicksAndReturnSetTheRequests) {
    const HWND field = reinterpret_cast<HWND>(control_handle(INPUT_EVENT_SEARCH));
    control_text_set(INPUT_EVENT_SEARCH, L"disk");
    SendMessageW(reinterpret_cast<HWND>(control_handle(BUTTON_EVENT_SEARCH)), BM_CLICK, 0, 0);
    ASSERT_TRUE(loop_until([] { return SharedInts[EVENTLOG_SEARCH_STATE].load() == -1; }))
        << "the search button asks for a search";
    EXPECT_EQ(shared_text(EVENTLOG_SEARCH_TEXT), L"disk");

    SharedInts[EVENTLOG_SEARCH_STATE] = 3;  // served: three hits shown
    control_text_set(INPUT_EVENT_SEARCH, L" error ");
    SetActiveWindow(reinterpret_cast<HWND>(window_handle(WIN_MAIN)));
    SetFocus(field);
    PostMessageW(reinterpret_cast<HWND>(window_handle(WIN_MAIN)), WM_KEYDOWN, VK_RETURN, 1);
    ASSERT_TRUE(loop_until([] { return SharedInts[EVENTLOG_SEARCH_STATE].load() == -1; }))
        << "Return on the Events tab runs the search";
    EXPECT_EQ(shared_text(EVENTLOG_SEARCH_TEXT), L"error");

    SharedInts[EVENTLOG_SEARCH_STATE] = 0;
    SharedInts[EVENTLOG_TYPE_FILTER] = 2;
    EventList.assign(2, EventRecord{});
    SendMessageW(reinterpret_cast<HWND>(control_handle(BUTTON_EVENT_CLEAR)), BM_CLICK, 0, 0);
    ASSERT_TRUE(loop_until([] { return control_text(INPUT_EVENT_SEARCH).empty(); })) << "clear empties the field";
    EXPECT_EQ(shared_text(EVENTLOG_SEARCH_TEXT), L"");
    EXPECT_EQ(SharedInts[EVENTLOG_TYPE_FILTER].load(), -1);
    EXPECT_EQ(SharedInts[EVENTLOG_CLOSE_REQUEST].load(), 0) << "without Shift the log stays open";
    EXPECT_EQ(EventList.size(), 2u);

    list_rows_assign(LIST_EVENTS, {L"first", L"second", L"third"});
    list_view_refresh(LIST_EVENTS);
    list_view_select(LIST_EVENTS, 1);
    EXPECT_TRUE(loop_until([] { return SharedInts[EVENTLOG_DETAILS_INDEX].load() == 1; }))
        << "a selected row asks for its details";
}

}  // namespace
