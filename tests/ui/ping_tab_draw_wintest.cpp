// The Ping tab on real canvases: hosts put in the list are drawn as rows and timelines, the status line shows
// the header or "Ready.", an unchanged list is not drawn again, clicks and pointer movements on the list and
// the status line set the ping monitor's requests, and the tool row is rebuilt per mode.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "core/control_handlers.h"
#include "core/control_numbers.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "runtime/display_probe_win.h"
#include "runtime/gui/button/button.h"
#include "runtime/gui/canvas/canvas.h"
#include "runtime/gui/canvas/canvas_draw_win.h"
#include "runtime/gui/canvas/canvas_surface_win.h"
#include "runtime/gui/combo_box/combo_box.h"
#include "runtime/gui/control/control.h"
#include "runtime/gui/font/font.h"
#include "runtime/gui/gui.h"
#include "runtime/gui/image/image_draw_win.h"
#include "runtime/gui/panel/panel.h"
#include "runtime/gui/scroll_area/scroll_area.h"
#include "runtime/gui/text/text.h"
#include "runtime/gui/window/window.h"
#include "runtime/list_model.h"
#include "ui/ping_tab_draw.h"
#include "ui/ping_tab_events.h"
#include "ui/ping_tab_view.h"
#include "ui/ping_toolbar.h"

namespace {

constexpr int ROW = 12;
constexpr int TIMELINE_X = 560;
constexpr int TIMELINE_WIDTH = 180;
constexpr uint32_t LIST_BACK = 0xF0F0F0;

uint32_t pixel(int canvas, int x, int y) {
    CanvasDraw draw(canvas);
    return draw ? static_cast<uint32_t>(GetPixel(draw.dc(), x, y)) : 0xFFFFFFFFu;
}

// Whether any pixel of the box has the colour.
bool any_pixel(int canvas, int left, int top, int right, int bottom, uint32_t color) {
    CanvasDraw draw(canvas);
    if (!draw) return false;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            if (static_cast<uint32_t>(GetPixel(draw.dc(), x, y)) == color) return true;
    return false;
}

// A picture store that cannot make pictures taller than PICTURE_ROWS_MAX rows of the list.
constexpr int PICTURE_ROWS_MAX = 40;
HBITMAP short_picture(int width, int height, COLORREF color) {
    if (height > PICTURE_ROWS_MAX * ROW + 1) return nullptr;
    return image_blank_bitmap(width, height, color);
}

// The Network Events rows that tell of a list too long to draw.
int short_list_lines() {
    int lines = 0;
    for (const std::wstring& row : list_rows_copy(LIST_NETWORK_EVENTS))
        if (row.find(L"Not enough memory to draw the whole Ping list") != std::wstring::npos) ++lines;
    return lines;
}

PSys host_of(const wchar_t* addr, int actv, int time, int last) {
    PSys host;
    host.Addr = addr;
    host.Actv = actv;
    host.Time = time;
    host.Last = last;
    host.Sent = 5;
    host.Recv = time >= 0 ? 5 : 0;
    host.Lost = time >= 0 ? 0 : 5;
    return host;
}

class PingTabWindows : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(display_available()) << NO_DISPLAY_TEXT;
        ASSERT_TRUE(gui_init());
        shared_state_init(SharedStateFacts{});
        shared_tables_init();
        text_maps_load(LANGUAGE_ENGLISH);
        control_handlers_clear();
        ASSERT_TRUE(font_load(FONT_PING_LIST, L"Lucida Console", 9, 0));
        ASSERT_TRUE(window_open(WIN_MAIN, 20, 20, 800, 320, L"ping tab test", WINDOW_CAPTION | WINDOW_INVISIBLE));
        // Shown, since the list is painted only while the Ping tab can be seen; not activated, so that the
        // tests of other programs on the same screen keep their active windows.
        window_show(WIN_MAIN, WINDOW_SHOW_NO_ACTIVATE);
        ASSERT_EQ(panel_create(PANEL_MAIN, gui_in_window(WIN_MAIN), 0, 0, 800, 320), PANEL_MAIN);
        for (const wchar_t* caption : {L"System", L"Processors", L"Graphics", L"Storage", L"Networks", L"Ping"})
            panel_tab_add(PANEL_MAIN, caption);
        panel_tab_select(PANEL_MAIN, TAB_PING);
        const GuiParent tab = gui_in_tab(PANEL_MAIN, TAB_PING);
        ASSERT_TRUE(combo_box_create(COMBO_PING_MODE, tab, 2, 2, 150, 200, 0));
        for (const wchar_t* item : {L"Ping Host Name", L"Ping IP Address", L"Ping IP Range",
                                    L"Ping IP Range [Keep Active]", L"MAC Vendor CSV File"})
            combo_box_item_add(COMBO_PING_MODE, -1, item);
        for (int button : {BUTTON_PING_ADD, BUTTON_PING_DELETE, BUTTON_PING_RESET})
            ASSERT_TRUE(button_create(button, tab, 560 + 30 * (button - BUTTON_PING_ADD), 2, 26, 20, L"", 0));
        ASSERT_TRUE(canvas_create(CANVAS_PING_STATUS, tab, 0, 30, 760, 14, 0, 0xFFFFFF));
        ASSERT_TRUE(scroll_area_create(SCROLL_PING_LIST, tab, 0, 46, 780, 240, 760, 600, 12));
        ASSERT_TRUE(canvas_create(CANVAS_PING_LIST, gui_in_container(SCROLL_PING_LIST), 0, 0, 760, 600, 0, 0xFFFFFF));
        int height = 0;
        ASSERT_TRUE(canvas_pixel_size(CANVAS_PING_STATUS, &status_width, &height));

        SharedInts[PING_ROW_HEIGHT] = ROW;
        SharedInts[PING_CHAR_WIDTH] = 7;
        SharedInts[PING_TIMELINE_X] = TIMELINE_X;
        SharedInts[PING_TIMELINE_WIDTH] = TIMELINE_WIDTH;
        SharedInts[PING_STATUS_SPAN_WIDTH] = status_width - TIMELINE_X;
        SharedInts[PING_DATE_TEXT_WIDTH] = 40;
        SharedInts[OPT_PING_TIMELINE_FULL] = 1;
        shared_text_set(PING_HEADER_TEXT,
                        L"IP Address (Host Name)               Time(ms)  TTL  TOS   Recv   Lost  Lost%");
        SharedInts[PING_HEADER_LENGTH] = 76;
        ping_tab_handlers_add();
    }
    void TearDown() override {
        canvas_picture_make_set(nullptr);
        control_handlers_clear();
        {
            std::lock_guard hosts(PingListMutex);
            PingHostList.clear();
        }
        window_close(WIN_MAIN);
        wait_window_event(10);
    }
    // Three hosts: one up with five samples, one paused and selected without samples, one down.
    static void hosts_fill() {
        std::lock_guard hosts(PingListMutex);
        PingHostList.clear();
        PSys up = host_of(L"10.0.0.1", 1, 20, 1);
        const Date now = date_now();
        for (int64_t t : {-1, 150, -2, -4, 20}) up.PV.push_back({now, t});
        PSys paused = host_of(L"10.0.0.2", 0, 0, 0);
        paused.HiLi = 1;
        PingHostList.push_back(up);
        PingHostList.push_back(paused);
        PingHostList.push_back(host_of(L"10.0.0.3", 1, -1, -1));
    }
    // Waits for the runtime's event of the control and type and hands it to the control's handler.
    static bool event_dispatch(int control, int type) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline) {
            const GuiEvent event = wait_window_event(50);
            if (event.kind != EVENT_CONTROL || event.control != control || event.type != type) continue;
            if (const ControlHandler handler = control_handler_find(control)) handler(event);
            return true;
        }
        return false;
    }
    static void click(int canvas, UINT down, UINT up, int x, int y) {
        const HWND hwnd = reinterpret_cast<HWND>(control_handle(canvas));
        SendMessageW(hwnd, down, 0, MAKELPARAM(x, y));
        SendMessageW(hwnd, up, 0, MAKELPARAM(x, y));
    }
    int status_width = 0;
};

// The list is painted only where it can be seen: while the main window is hidden or shows another tab, a
// list draw only counts the hosts, and the list's picture (megabytes for a long list) is not made. The
// tab's redraw paints it once it is shown.
TEST_F(PingTabWindows, TheListIsPaintedOnlyWhereItCanBeSeen) {
    hosts_fill();
    window_show(WIN_MAIN, WINDOW_HIDE);
    ping_list_draw();
    EXPECT_EQ(SharedInts[PING_UP_COUNT].load(), 1);
    EXPECT_EQ(SharedInts[PING_DOWN_COUNT].load(), 1);
    window_show(WIN_MAIN, WINDOW_SHOW_NO_ACTIVATE);
    panel_tab_select(PANEL_MAIN, TAB_SYSTEM);
    ping_list_draw();
    EXPECT_FALSE(canvas_picture_made(CANVAS_PING_LIST)) << "painted while it could not be seen";
    panel_tab_select(PANEL_MAIN, TAB_PING);
    ping_tab_draw_lists();
    EXPECT_TRUE(canvas_picture_made(CANVAS_PING_LIST));
    EXPECT_EQ(pixel(CANVAS_PING_LIST, TIMELINE_X + TIMELINE_WIDTH - 1, ROW - 2), 0x00CC00u) << "the first host's bar";
}

TEST_F(PingTabWindows, HostsPutInTheListAreDrawnAsRowsAndTimelines) {
    hosts_fill();
    ping_tab_draw_lists();
    const int right = TIMELINE_X + TIMELINE_WIDTH - 1;
    const int bottom = ROW - 2;  // the lowest line of the first timeline
    EXPECT_EQ(pixel(CANVAS_PING_LIST, right, bottom), 0x00CC00u) << "20 ms of 100: a green bar";
    EXPECT_EQ(pixel(CANVAS_PING_LIST, right, 0), 0x000000u) << "above the short bar";
    EXPECT_EQ(pixel(CANVAS_PING_LIST, right - 1, 0), 0x808080u) << "paused";
    EXPECT_EQ(pixel(CANVAS_PING_LIST, right - 2, 0), 0xFFCC99u) << "resumed";
    EXPECT_EQ(pixel(CANVAS_PING_LIST, right - 3, 0), 0x00FFFFu) << "slow";
    EXPECT_EQ(pixel(CANVAS_PING_LIST, right - 4, 0), 0x0000FFu) << "timed out";
    EXPECT_EQ(pixel(CANVAS_PING_LIST, right - 5, 0), 0x701919u) << "no sample reaches here";
    EXPECT_EQ(pixel(CANVAS_PING_LIST, TIMELINE_X, ROW - 1), 0x606060u) << "the rule under the timeline";
    EXPECT_EQ(pixel(CANVAS_PING_LIST, TIMELINE_X + 1, ROW + 4), 0x701919u) << "the second host has no samples";
    EXPECT_EQ(pixel(CANVAS_PING_LIST, right, ROW + 4), 0x701919u);
    EXPECT_TRUE(any_pixel(CANVAS_PING_LIST, 2, ROW + 1, TIMELINE_X, 2 * ROW - 1, 0xFFCC99))
        << "the selected host's text stands on light blue";
    EXPECT_TRUE(any_pixel(CANVAS_PING_LIST, 2, 2 * ROW + 1, TIMELINE_X, 3 * ROW - 1, 0x0000FF))
        << "the down host's text is red";
    EXPECT_FALSE(any_pixel(CANVAS_PING_LIST, 2, 1, TIMELINE_X, ROW - 1, 0x0000FF)) << "the up host's is not";
    EXPECT_EQ(pixel(CANVAS_PING_LIST, 5, 3 * ROW + 5), LIST_BACK) << "below the last host";
    EXPECT_EQ(SharedInts[PING_UP_COUNT].load(), 1);
    EXPECT_EQ(SharedInts[PING_DOWN_COUNT].load(), 1);
    {
        std::lock_guard hosts(PingListMutex);
        EXPECT_EQ(static_cast<uint32_t>(PingHostList.back().CFor), 0x0000FFu);
        EXPECT_EQ(static_cast<uint32_t>(std::next(PingHostList.begin())->CBak), 0xFFCC99u);
    }
    EXPECT_TRUE(any_pixel(CANVAS_PING_STATUS, 4, 1, 200, ROW, 0xFF0000)) << "the header, in blue";
    EXPECT_TRUE(any_pixel(CANVAS_PING_STATUS, TIMELINE_X, 1, status_width, ROW, 0xFF0000)) << "the time span";
}

TEST_F(PingTabWindows, AnEmptyListReadsReadyAndAMessageIsHeld) {
    ping_tab_draw_lists();
    EXPECT_TRUE(any_pixel(CANVAS_PING_STATUS, 4, 1, 100, ROW, 0x0000FF)) << "\"Ready.\" in red";
    EXPECT_FALSE(any_pixel(CANVAS_PING_STATUS, 0, 0, status_width, ROW, 0xFF0000));
    EXPECT_EQ(pixel(CANVAS_PING_LIST, 5, 5), LIST_BACK);

    hosts_fill();
    ping_status_line_draw(L"5 pings reset");
    EXPECT_GT(SharedQuads[PING_MESSAGE_UNTIL].load(), date_now());
    ping_status_line_draw(L"");
    EXPECT_FALSE(any_pixel(CANVAS_PING_STATUS, 4, 1, 200, ROW, 0xFF0000)) << "the held message was drawn over";
    EXPECT_TRUE(any_pixel(CANVAS_PING_STATUS, 4, 1, 200, ROW, 0x0000FF)) << "the held message, in red, is gone";
    SharedQuads[PING_MESSAGE_UNTIL] = 0;  // the monitor's expiry
    ping_status_line_draw(L"");
    EXPECT_TRUE(any_pixel(CANVAS_PING_STATUS, 4, 1, 200, ROW, 0xFF0000)) << "the header is back";
}

TEST_F(PingTabWindows, AnUnchangedListOrStatusLineIsNotDrawnAgain) {
    hosts_fill();
    ping_list_draw();
    const auto mark = [] {
        CanvasDraw draw(CANVAS_PING_LIST);
        SetPixel(draw.dc(), 5, 3 * ROW + 5, 0x123456);
    };
    mark();
    ping_list_draw();
    EXPECT_EQ(pixel(CANVAS_PING_LIST, 5, 3 * ROW + 5), 0x123456u) << "drawn again though nothing changed";
    {
        std::lock_guard hosts(PingListMutex);
        PingHostList.front().PV.push_back({date_now(), 30});
    }
    ping_list_draw();
    EXPECT_EQ(pixel(CANVAS_PING_LIST, 5, 3 * ROW + 5), LIST_BACK) << "a new sample must be drawn";

    ping_status_line_draw(L"");
    const auto status_mark = [] {
        CanvasDraw draw(CANVAS_PING_STATUS);
        SetPixel(draw.dc(), 2, 1, 0x123456);
    };
    status_mark();
    ping_status_line_draw(L"");
    EXPECT_EQ(pixel(CANVAS_PING_STATUS, 2, 1), 0x123456u) << "the same header drawn again";
    shared_text_set(PING_HEADER_TEXT, L"another header");
    ping_status_line_draw(L"");
    EXPECT_EQ(pixel(CANVAS_PING_STATUS, 2, 1), 0xFFFFFFu) << "a changed header must be drawn";
}

TEST_F(PingTabWindows, ClicksAndPointerOnTheListAndStatusLineSetTheRequests) {
    hosts_fill();
    ping_tab_draw_lists();
    gui_event_clear();

    click(CANVAS_PING_LIST, WM_LBUTTONDOWN, WM_LBUTTONUP, 20, ROW + 4);
    ASSERT_TRUE(event_dispatch(CANVAS_PING_LIST, EVENT_TYPE_LEFT_CLICK)) << "no click event from the list";
    EXPECT_EQ(SharedInts[PING_REQ_SELECT_ROW].load(), 2);

    click(CANVAS_PING_LIST, WM_RBUTTONDOWN, WM_RBUTTONUP, TIMELINE_X + 50, 4);
    ASSERT_TRUE(event_dispatch(CANVAS_PING_LIST, EVENT_TYPE_RIGHT_CLICK)) << "no right click event";
    EXPECT_EQ(SharedInts[PING_REQ_ROW_ACTION].load(), 1);
    EXPECT_EQ(SharedInts[PING_HOVER_X].load(), TIMELINE_X + 50);

    SharedInts[PING_REQ_SELECT_ROW] = 0;  // served by the monitor
    SharedInts[PING_REQ_ROW_ACTION] = 0;
    SharedInts[PING_HOVER_X] = 0;
    const HWND list = reinterpret_cast<HWND>(control_handle(CANVAS_PING_LIST));
    SendMessageW(list, WM_MOUSEMOVE, 0, MAKELPARAM(TIMELINE_X + 10, 2 * ROW + 3));  // entering
    SendMessageW(list, WM_MOUSEMOVE, 0, MAKELPARAM(TIMELINE_X + 11, 2 * ROW + 3));
    ASSERT_TRUE(event_dispatch(CANVAS_PING_LIST, EVENT_TYPE_MOUSE_MOVE)) << "no pointer event";
    EXPECT_EQ(SharedInts[PING_HOVER_ROW].load(), 3);
    EXPECT_EQ(SharedInts[PING_HOVER_X].load(), TIMELINE_X + 11);

    click(CANVAS_PING_LIST, WM_LBUTTONDOWN, WM_LBUTTONUP, 20, 3 * ROW + 4);
    ASSERT_TRUE(event_dispatch(CANVAS_PING_LIST, EVENT_TYPE_LEFT_CLICK));
    EXPECT_EQ(SharedInts[PING_REQ_SELECT_ROW].load(), 0) << "below the last host";

    click(CANVAS_PING_STATUS, WM_LBUTTONDOWN, WM_LBUTTONUP, 7 * 40, 4);
    ASSERT_TRUE(event_dispatch(CANVAS_PING_STATUS, EVENT_TYPE_LEFT_CLICK)) << "no click event from the status line";
    EXPECT_EQ(SharedInts[PING_REQ_SORT].load(), 3);
}

TEST_F(PingTabWindows, TheListCanvasGrowsInStepsOfFiftyRows) {
    hosts_fill();
    int width = 0;
    int height = 0;
    ping_canvas_grow(false);
    EXPECT_EQ(SharedInts[PING_CANVAS_ROWS].load(), 53);
    ASSERT_TRUE(canvas_pixel_size(CANVAS_PING_LIST, &width, &height));
    EXPECT_EQ(height, ROW * 53 + 1);
    int inner_width = 0;
    int inner_height = 0;
    ASSERT_TRUE(scroll_area_inner_size(SCROLL_PING_LIST, &inner_width, &inner_height));
    EXPECT_EQ(inner_height, ROW * 3 + 1) << "the scroll height follows the hosts";

    {
        std::lock_guard hosts(PingListMutex);
        PingHostList.pop_back();
    }
    ping_canvas_grow(false);
    ASSERT_TRUE(canvas_pixel_size(CANVAS_PING_LIST, &width, &height));
    EXPECT_EQ(height, ROW * 53 + 1) << "the canvas never shrinks unforced";
    ASSERT_TRUE(scroll_area_inner_size(SCROLL_PING_LIST, &inner_width, &inner_height));
    EXPECT_EQ(inner_height, ROW * 2 + 1);
    ping_canvas_grow(true);
    EXPECT_EQ(SharedInts[PING_CANVAS_ROWS].load(), 52);
    ASSERT_TRUE(canvas_pixel_size(CANVAS_PING_LIST, &width, &height));
    EXPECT_EQ(height, ROW * 52 + 1);
}

// A list whose whole picture cannot be made is drawn as far as the largest picture that can be made reaches;
// the user is told once, and again only after a whole picture was made in between.
TEST_F(PingTabWindows, AListTooLongForItsPictureIsDrawnAsFarAsItReachesAndSaysSo) {
    canvas_picture_make_set(short_picture);
    {
        std::lock_guard hosts(PingListMutex);
        PingHostList.clear();
        for (int i = 0; i < 120; ++i) {
            const std::wstring address = L"10.0.1." + std::to_wstring(i);
            PingHostList.push_back(host_of(address.c_str(), 1, -1, -1));
        }
    }
    list_rows_clear(LIST_NETWORK_EVENTS);
    ping_canvas_grow(false);
    ping_tab_draw_lists();
    int width = 0;
    int height = 0;
    ASSERT_TRUE(canvas_pixel_size(CANVAS_PING_LIST, &width, &height));
    EXPECT_LE(height, PICTURE_ROWS_MAX * ROW + 1) << "the largest picture that could be made";
    EXPECT_GT(height, ROW * 10);
    EXPECT_TRUE(any_pixel(CANVAS_PING_LIST, 2, 1, TIMELINE_X, ROW - 1, 0x0000FF)) << "the first host is drawn";
    EXPECT_EQ(short_list_lines(), 1);
    const std::vector<std::wstring> rows = list_rows_copy(LIST_NETWORK_EVENTS);
    ASSERT_FALSE(rows.empty());
    EXPECT_NE(rows.front().find(L"of 120 hosts are drawn"), std::wstring::npos) << rows.front();

    ping_canvas_grow(false);
    ping_tab_draw_lists();
    EXPECT_EQ(short_list_lines(), 1) << "told once while it stays short";

    canvas_picture_make_set(nullptr);
    ping_canvas_grow(true);
    ping_tab_draw_lists();
    ASSERT_TRUE(canvas_pixel_size(CANVAS_PING_LIST, &width, &height));
    EXPECT_EQ(height, ROW * 170 + 1) << "memory enough again: the whole picture";
    EXPECT_TRUE(any_pixel(CANVAS_PING_LIST, 2, 119 * ROW + 1, TIMELINE_X, 120 * ROW - 1, 0x0000FF))
        << "the last host is drawn";
    canvas_picture_make_set(short_picture);
    {
        std::lock_guard hosts(PingListMutex);
        for (int i = 120; i < 200; ++i) {
            const std::wstring address = L"10.0.1." + std::to_wstring(i);
            PingHostList.push_back(host_of(address.c_str(), 1, -1, -1));
        }
    }
    ping_canvas_grow(false);
    ping_tab_draw_lists();
    EXPECT_EQ(short_list_lines(), 2) << "short again after a whole picture: told again";
}

TEST_F(PingTabWindows, TheToolRowIsRebuiltPerModeAndTheRangeFieldsStayInOneNetwork) {
    shared_text_set(DEFAULT_GATEWAY_TEXT, L"10.1.2.254");
    SharedInts[PING_MODE] = PING_MODE_RANGE;
    ping_toolbar_build();
    ASSERT_TRUE(control_exists(INPUT_PING_IP_FROM));
    ASSERT_TRUE(control_exists(INPUT_PING_IP_TO));
    EXPECT_TRUE(control_exists(LABEL_PING_HINT));
    EXPECT_EQ(control_text(INPUT_PING_IP_FROM), L"10.1.2.0");
    EXPECT_EQ(control_text(INPUT_PING_IP_TO), L"10.1.2.255");
    EXPECT_EQ(combo_box_selected(COMBO_PING_MODE), PING_MODE_RANGE);

    ip_input_address_set(INPUT_PING_IP_FROM, 0x0500000A);  // 10.0.0.5
    ip_input_address_set(INPUT_PING_IP_TO, 0x1401A8C0);    // 192.168.1.20
    GuiEvent changed;
    changed.kind = EVENT_CONTROL;
    changed.control = INPUT_PING_IP_FROM;
    changed.type = EVENT_TYPE_CHANGE;
    ASSERT_NE(control_handler_find(INPUT_PING_IP_FROM), nullptr);
    control_handler_find(INPUT_PING_IP_FROM)(changed);
    EXPECT_EQ(control_text(INPUT_PING_IP_TO), L"10.0.0.20");

    SharedInts[PING_MODE] = PING_MODE_HOST_NAME;
    ping_toolbar_build();
    EXPECT_TRUE(control_exists(INPUT_PING_HOST));
    // Built again for the same mode: the same window, emptied.
    const intptr_t host_field = control_handle(INPUT_PING_HOST);
    control_text_set(INPUT_PING_HOST, L"typed.example");
    ping_toolbar_build();
    EXPECT_EQ(control_handle(INPUT_PING_HOST), host_field) << "the host field was made anew";
    EXPECT_EQ(control_text(INPUT_PING_HOST), L"");
    for (int gone : {INPUT_PING_IP_FROM, INPUT_PING_IP_TO, LABEL_PING_HINT, INPUT_PING_DESCRIPTION})
        EXPECT_FALSE(control_exists(gone)) << gone;

    SharedInts[PING_MODE] = PING_MODE_MAC_VENDORS;
    ping_toolbar_build();
    EXPECT_FALSE(control_exists(INPUT_PING_HOST));
    ASSERT_TRUE(control_exists(TEXT_MAC_VENDOR_FILE));
    EXPECT_EQ(control_text(TEXT_MAC_VENDOR_FILE), L" - Inactive") << "no data files set up in this test";
}

}  // namespace
