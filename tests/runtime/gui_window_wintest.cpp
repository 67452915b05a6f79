// The windowing runtime under Wine: window events, cross-thread texts and moves, canvases, list views fed by
// the list model, shortcuts, panels and the other controls.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "runtime/display_probe_win.h"
#include "runtime/gui/button/button.h"
#include "runtime/gui/canvas/canvas.h"
#include "runtime/gui/canvas/canvas_draw_win.h"
#include "runtime/gui/check_box/check_box.h"
#include "runtime/gui/combo_box/combo_box.h"
#include "runtime/gui/control/control.h"
#include "runtime/gui/font/font.h"
#include "runtime/gui/gui.h"
#include "runtime/gui/image/image.h"
#include "runtime/gui/image/image_draw_win.h"
#include "runtime/gui/list_view/list_view.h"
#include "runtime/gui/panel/panel.h"
#include "runtime/gui/shortcut/shortcut.h"
#include "runtime/gui/text/text.h"
#include "runtime/gui/track_bar/track_bar.h"
#include "runtime/gui/window/window.h"
#include "runtime/list_model.h"
#include "runtime/wait_until.h"

namespace {

constexpr int WINDOW = 500;
constexpr int OTHER_WINDOW = 501;

HWND hwnd_of_window(int number) { return reinterpret_cast<HWND>(window_handle(number)); }
HWND hwnd_of_control(int number) { return reinterpret_cast<HWND>(control_handle(number)); }

// A pixel of what the canvas paints (its WM_PRINTCLIENT into a bitmap), 0x00BBGGRR.
uint32_t printed_pixel(int canvas, int x, int y) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 100, 100);
    SelectObject(dc, bitmap);
    SendMessageW(hwnd_of_control(canvas), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    const COLORREF pixel = GetPixel(dc, x, y);
    DeleteDC(dc);
    DeleteObject(bitmap);
    ReleaseDC(nullptr, screen);
    return pixel & 0xFFFFFF;
}

// Serves what is waiting for the main thread until nothing is: the events it made are let go.
void events_drain() {
    while (wait_window_event(0).kind != EVENT_NONE) {
    }
}

// Serves the window events until `reached` gives true or the wait limit has passed; true when reached.
template <typename Condition>
bool serve_until(Condition reached) {
    const auto deadline = std::chrono::steady_clock::now() + WAIT_LIMIT;
    while (!reached()) {
        if (std::chrono::steady_clock::now() >= deadline) return reached();
        wait_window_event(10);
    }
    return true;
}

// The events up to and including the first one that `last` picks, or all until the wait limit has passed.
template <typename Pick>
std::vector<GuiEvent> events_until(Pick last) {
    std::vector<GuiEvent> events;
    const auto deadline = std::chrono::steady_clock::now() + WAIT_LIMIT;
    while (std::chrono::steady_clock::now() < deadline) {
        const GuiEvent event = wait_window_event(10);
        if (event.kind == EVENT_NONE) continue;
        events.push_back(event);
        if (last(event)) break;
    }
    return events;
}

// Runs work on another thread and reports whether it finished within the time, without serving messages.
bool finishes_without_main_thread(const std::function<void()>& work, int milliseconds) {
    std::packaged_task<void()> task(work);
    std::future<void> done = task.get_future();
    std::thread worker(std::move(task));
    const bool finished = done.wait_for(std::chrono::milliseconds(milliseconds)) == std::future_status::ready;
    if (!finished) {
        // Let it finish now, so the test ends instead of hanging.
        while (done.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready) wait_window_event(10);
    }
    worker.join();
    return finished;
}

class GuiWindows : public ::testing::Test {
protected:
    void SetUp() override {
        // Without a display (Wine started without X) no window can be made, and nothing here can be tested.
        ASSERT_TRUE(display_available()) << NO_DISPLAY_TEXT;
        ASSERT_TRUE(gui_init());
        // Hidden unless a test needs it shown: without a window manager Wine waits two seconds for every
        // shown window it takes off the screen.
        ASSERT_TRUE(window_open(
            WINDOW, 40, 40, 320, 200, L"runtime test",
            WINDOW_CAPTION | WINDOW_SYSTEM_MENU | WINDOW_MINIMIZE_BUTTON | WINDOW_MAXIMIZE_BUTTON | WINDOW_INVISIBLE));
        events_drain();
    }
    void TearDown() override {
        window_close(WINDOW);
        window_close(OTHER_WINDOW);
        events_drain();
    }
};

TEST_F(GuiWindows, FrameButtonsBecomeEventsAndLeaveTheDecisionToTheProgram) {
    HWND hwnd = hwnd_of_window(WINDOW);
    SendMessageW(hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    SendMessageW(hwnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    SendMessageW(hwnd, WM_CLOSE, 0, 0);
    std::vector<GuiEventKind> kinds;
    for (const GuiEvent& event : events_until([](const GuiEvent& event) { return event.kind == EVENT_CLOSE_WINDOW; })) {
        if (event.window == WINDOW && event.kind != EVENT_MOVE_WINDOW && event.kind != EVENT_SIZE_WINDOW)
            kinds.push_back(event.kind);
    }
    EXPECT_EQ(kinds, (std::vector<GuiEventKind>{EVENT_MINIMIZE_WINDOW, EVENT_MAXIMIZE_WINDOW, EVENT_CLOSE_WINDOW}));
    EXPECT_TRUE(window_exists(WINDOW));
    EXPECT_EQ(window_state(WINDOW), WINDOW_STATE_NORMAL);
    window_state_set(WINDOW, WINDOW_STATE_MINIMIZED);
    EXPECT_EQ(window_state(WINDOW), WINDOW_STATE_MINIMIZED);
    window_state_set(WINDOW, WINDOW_STATE_NORMAL);
    EXPECT_EQ(window_state(WINDOW), WINDOW_STATE_NORMAL);
}

TEST_F(GuiWindows, GeometryIsInNinetySixDpiUnits) {
    int width = 0, height = 0, x = 0, y = 0;
    ASSERT_TRUE(window_inner_size(WINDOW, &width, &height));
    EXPECT_EQ(width, 320);
    EXPECT_EQ(height, 200);
    window_move(WINDOW, 70, 80, 300, 150);
    ASSERT_TRUE(window_outer_position(WINDOW, &x, &y));
    ASSERT_TRUE(window_inner_size(WINDOW, &width, &height));
    EXPECT_EQ(x, 70);
    EXPECT_EQ(y, 80);
    EXPECT_EQ(width, 300);
    EXPECT_EQ(height, 150);
    // Removing the caption keeps the inner area.
    window_style_set(WINDOW, window_style(WINDOW) & ~static_cast<int64_t>(WS_CAPTION));
    ASSERT_TRUE(window_inner_size(WINDOW, &width, &height));
    EXPECT_EQ(width, 300);
    EXPECT_EQ(height, 150);
}

TEST_F(GuiWindows, WorkersSetTitlesTextsAndPlacesWithoutWaitingForTheMainThread) {
    ASSERT_NE(text_label_create(10, gui_in_window(WINDOW), 5, 5, 200, 20, L"before", 0), 0);
    const bool finished = finishes_without_main_thread(
        [] {
            window_title_set(WINDOW, L"title from a worker");
            control_text_set(10, L"text from a worker");
            window_move(WINDOW, 90, 90, 250, 120);
            window_show(WINDOW, WINDOW_SHOW);
        },
        2000);
    EXPECT_TRUE(finished);
    // The texts read back at once and reach the windows once the main thread serves its messages.
    EXPECT_EQ(window_title(WINDOW), L"title from a worker");
    const auto shown_title = [] {
        wchar_t title[64] = {};
        GetWindowTextW(hwnd_of_window(WINDOW), title, 64);
        return std::wstring(title);
    };
    EXPECT_TRUE(serve_until([&] { return shown_title() == L"title from a worker"; })) << shown_title();
    EXPECT_EQ(control_text(10), L"text from a worker");
    int width = 0, height = 0;
    window_inner_size(WINDOW, &width, &height);
    EXPECT_EQ(width, 250);
}

TEST_F(GuiWindows, ThePauseServesOtherThreadsMessages) {
    HWND hwnd = hwnd_of_window(WINDOW);
    std::atomic<bool> answered{false};
    std::thread worker([&] {
        wchar_t title[32] = {};
        SendMessageW(hwnd, WM_GETTEXT, 32, reinterpret_cast<LPARAM>(title));  // waits for the main thread
        answered = std::wstring(title) == L"runtime test";
    });
    // Only looking at the queue: nothing here serves the message before the pause does.
    const bool sent = wait_until([] { return (HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE) != 0; });
    EXPECT_TRUE(sent) << "the worker's message did not arrive";
    gui_pause_serving_sent(100);
    // After the pause the main thread serves nothing more: the worker has its answer or never gets it.
    const bool served = wait_until([&] { return answered.load(); });
    EXPECT_TRUE(served) << "the pause did not serve the worker's message";
    if (!served) serve_until([&] { return answered.load(); });
    worker.join();
}

TEST_F(GuiWindows, ACanvasKeepsWhatAnyThreadDrewAndPaintsFromIt) {
    ASSERT_EQ(canvas_create(600, gui_in_window(WINDOW), 0, 0, 60, 40, 0, 0x000000), 600);
    std::thread worker([] {
        CanvasDraw draw(600);
        ASSERT_TRUE(draw);
        RECT box{10, 10, 30, 30};
        HBRUSH red = CreateSolidBrush(0x0000FF);
        FillRect(draw.dc(), &box, red);
        DeleteObject(red);
    });
    worker.join();
    EXPECT_EQ(printed_pixel(600, 15, 15), 0x0000FFu);
    EXPECT_EQ(printed_pixel(600, 5, 5), 0x000000u);
    // A larger canvas keeps its picture at the top left.
    ASSERT_TRUE(canvas_resize(600, GUI_KEEP, GUI_KEEP, 90, 70));
    int width = 0, height = 0;
    ASSERT_TRUE(canvas_pixel_size(600, &width, &height));
    EXPECT_EQ(width, 90);
    EXPECT_EQ(printed_pixel(600, 15, 15), 0x0000FFu);
    EXPECT_EQ(printed_pixel(600, 80, 60), 0x000000u);
    CanvasDraw missing(601);
    EXPECT_FALSE(missing);
}

// A canvas nothing was drawn on holds no picture: it paints its colour, at any size. The first drawing makes
// the picture, in that colour at the canvas's size.
TEST_F(GuiWindows, ACanvasMakesItsPictureAtTheFirstDrawing) {
    ASSERT_EQ(canvas_create(602, gui_in_window(WINDOW), 0, 0, 60, 40, 0, 0x00FF00), 602);
    EXPECT_FALSE(canvas_picture_made(602));
    EXPECT_EQ(printed_pixel(602, 30, 20), 0x00FF00u);
    ASSERT_TRUE(canvas_resize(602, GUI_KEEP, GUI_KEEP, 80, 50));
    EXPECT_FALSE(canvas_picture_made(602));
    EXPECT_EQ(printed_pixel(602, 70, 45), 0x00FF00u);
    {
        CanvasDraw draw(602);
        ASSERT_TRUE(draw);
        EXPECT_EQ(draw.width(), 80);
        EXPECT_EQ(draw.height(), 50);
        EXPECT_EQ(GetPixel(draw.dc(), 79, 49) & 0xFFFFFF, 0x00FF00u);
        SetPixelV(draw.dc(), 5, 5, 0x0000FF);
    }
    EXPECT_TRUE(canvas_picture_made(602));
    EXPECT_EQ(printed_pixel(602, 5, 5), 0x0000FFu);
    EXPECT_EQ(printed_pixel(602, 70, 45), 0x00FF00u);
}

TEST_F(GuiWindows, CanvasPointerEvents) {
    ASSERT_EQ(canvas_create(600, gui_in_window(WINDOW), 0, 0, 100, 50, 0), 600);
    HWND canvas = hwnd_of_control(600);
    events_drain();
    SendMessageW(canvas, WM_MOUSEMOVE, 0, MAKELPARAM(3, 4));
    SendMessageW(canvas, WM_MOUSEMOVE, 0, MAKELPARAM(5, 6));
    SendMessageW(canvas, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 6));
    SendMessageW(canvas, WM_LBUTTONUP, 0, MAKELPARAM(7, 8));
    SendMessageW(canvas, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 6));
    SendMessageW(canvas, WM_RBUTTONUP, 0, MAKELPARAM(500, 8));  // released outside: no click
    SendMessageW(canvas, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(9, 9));
    POINT screen{20, 10};
    ClientToScreen(canvas, &screen);
    SendMessageW(canvas, WM_MOUSEWHEEL, MAKEWPARAM(0, 2 * WHEEL_DELTA), MAKELPARAM(screen.x, screen.y));
    std::vector<GuiEvent> events;
    for (const GuiEvent& event : events_until([](const GuiEvent& event) {
             return event.kind == EVENT_CONTROL && event.type == EVENT_TYPE_MOUSE_WHEEL;
         })) {
        if (event.kind == EVENT_CONTROL && event.control == 600) events.push_back(event);
    }
    ASSERT_EQ(events.size(), 5u);
    EXPECT_EQ(events[0].type, EVENT_TYPE_MOUSE_ENTER);
    EXPECT_EQ(events[1].type, EVENT_TYPE_MOUSE_MOVE);
    EXPECT_EQ(events[2].type, EVENT_TYPE_LEFT_CLICK);
    EXPECT_EQ(events[2].x, 7);
    EXPECT_EQ(events[2].y, 8);
    EXPECT_EQ(events[2].window, WINDOW);
    EXPECT_EQ(events[3].type, EVENT_TYPE_LEFT_DOUBLE_CLICK);
    EXPECT_EQ(events[4].type, EVENT_TYPE_MOUSE_WHEEL);
    EXPECT_EQ(events[4].wheel, 2);
    EXPECT_EQ(events[4].x, 20);
}

std::wstring list_cell(int control, int row, int column) {
    wchar_t text[64] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 64;
    SendMessageW(hwnd_of_control(control), LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

TEST_F(GuiWindows, AListViewShowsTheModelsRowsAndFollowsWorkers) {
    list_rows_assign(700, {L"a\n1", L"b\n2"});
    ASSERT_EQ(list_view_create(700, gui_in_window(WINDOW), 0, 0, 300, 150, L"Name", 100, LIST_VIEW_GRID), 700);
    ASSERT_TRUE(list_view_column_add(700, -1, L"Value", 80));
    HWND list = hwnd_of_control(700);
    EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(list_cell(700, 1, 1), L"2");
    EXPECT_EQ(list_cell(700, 1, 2), L"");
    const bool finished = finishes_without_main_thread(
        [] {
            for (int i = 0; i < 100; ++i) list_rows_insert(700, 0, L"c\n" + std::to_wstring(i));
        },
        2000);
    EXPECT_TRUE(finished);
    EXPECT_TRUE(serve_until([list] { return SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == 102; }))
        << SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
    EXPECT_EQ(list_cell(700, 0, 1), L"99");
    list_view_select(700, 3);
    EXPECT_EQ(list_view_selected(700), 3);
    list_rows_clear(700);
    EXPECT_TRUE(serve_until([list] { return SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == 0; }))
        << SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
}

TEST_F(GuiWindows, ShortcutsFireForTheActiveWindowOnly) {
    ASSERT_TRUE(window_open(OTHER_WINDOW, 400, 40, 200, 100, L"other", WINDOW_CAPTION));
    window_show(WINDOW, WINDOW_SHOW);
    shortcut_add(WINDOW, VK_F5, 305);
    shortcut_add(OTHER_WINDOW, VK_F6, 306);
    SetForegroundWindow(hwnd_of_window(WINDOW));
    SetActiveWindow(hwnd_of_window(WINDOW));
    ASSERT_TRUE(serve_until([] { return GetActiveWindow() == hwnd_of_window(WINDOW); }))
        << "the window could not be activated on this display";
    // Both windows belong to this thread and its queue keeps the order: once F5 has come through, F6 was
    // handled before it.
    PostMessageW(hwnd_of_window(OTHER_WINDOW), WM_KEYDOWN, VK_F6, 0);  // not active: no shortcut
    PostMessageW(hwnd_of_window(WINDOW), WM_KEYDOWN, VK_F5, 0);
    std::vector<GuiEvent> shortcuts;
    for (const GuiEvent& event :
         events_until([](const GuiEvent& event) { return event.kind == EVENT_SHORTCUT && event.number == 305; })) {
        if (event.kind == EVENT_SHORTCUT) shortcuts.push_back(event);
    }
    ASSERT_EQ(shortcuts.size(), 1u);
    EXPECT_EQ(shortcuts[0].number, 305);
    EXPECT_EQ(shortcuts[0].window, WINDOW);
}

TEST_F(GuiWindows, PanelPagesHoldTheirControls) {
    window_show(WINDOW, WINDOW_SHOW);
    ASSERT_EQ(panel_create(102, gui_in_window(WINDOW), 1, 1, 300, 180), 102);
    EXPECT_EQ(panel_tab_add(102, L" System "), 0);
    EXPECT_EQ(panel_tab_add(102, L" Ping "), 1);
    EXPECT_EQ(panel_tab_count(102), 2);
    EXPECT_EQ(panel_tab_caption(102, 1), L" Ping ");
    int width = 0, height = 0;
    ASSERT_TRUE(panel_page_size(102, &width, &height));
    EXPECT_GT(width, 250);
    EXPECT_GT(height, 100);
    ASSERT_EQ(button_create(144, gui_in_tab(102, 1), 5, 5, 60, 22, L"Add", 0), 144);
    EXPECT_EQ(control_window(144), WINDOW);
    EXPECT_FALSE(IsWindowVisible(hwnd_of_control(144)));
    panel_tab_select(102, 1);
    EXPECT_EQ(panel_tab_selected(102), 1);
    EXPECT_TRUE(IsWindowVisible(hwnd_of_control(144)));
    events_drain();
    SendMessageW(hwnd_of_control(144), BM_CLICK, 0, 0);
    const std::vector<GuiEvent> events = events_until([](const GuiEvent& event) {
        return event.kind == EVENT_CONTROL && event.control == 144 && event.type == EVENT_TYPE_LEFT_CLICK;
    });
    EXPECT_TRUE(!events.empty() && events.back().control == 144 && events.back().type == EVENT_TYPE_LEFT_CLICK);
    control_free(102);  // the page's controls go with the panel
    EXPECT_FALSE(control_exists(144));
}

TEST_F(GuiWindows, ComboCheckBoxAndTrackBarStates) {
    ASSERT_EQ(combo_box_create(184, gui_in_window(WINDOW), 5, 5, 120, 22, 0), 184);
    EXPECT_EQ(combo_box_item_add(184, -1, L"first"), 0);
    EXPECT_EQ(combo_box_item_add(184, -1, L"second"), 1);
    EXPECT_EQ(combo_box_item_add(184, 0, L"zeroth"), 0);
    EXPECT_EQ(combo_box_count(184), 3);
    EXPECT_EQ(combo_box_item(184, 2), L"second");
    EXPECT_EQ(combo_box_selected(184), -1);
    combo_box_select(184, 1);
    EXPECT_EQ(combo_box_selected(184), 1);
    combo_box_clear(184);
    EXPECT_EQ(combo_box_count(184), 0);

    ASSERT_EQ(check_box_create(159, gui_in_window(WINDOW), 5, 40, 120, 20, L"Option", CHECK_BOX_THREE_STATE), 159);
    for (const int state : {1, -1, 0}) {
        check_box_state_set(159, state);
        EXPECT_EQ(check_box_state(159), state);
    }

    ASSERT_EQ(
        track_bar_create(253, gui_in_window(WINDOW), 200, 5, 20, 120, 0, 15, TRACK_BAR_VERTICAL | TRACK_BAR_TICKS),
        253);
    track_bar_value_set(253, 5);
    EXPECT_EQ(track_bar_value(253), 5);
    // Windows counts a vertical bar from the top; ours grows upwards.
    EXPECT_EQ(SendMessageW(hwnd_of_control(253), TBM_GETPOS, 0, 0), 10);
    EXPECT_EQ(track_bar_value(9999), -1);
}

// A worker that asks for a selection every round must not wait for the main thread each time: it reads what
// the main thread last saw, whether the program or the user changed it.
TEST_F(GuiWindows, WorkersReadSelectionsWithoutWaitingForTheMainThread) {
    window_show(WINDOW, WINDOW_SHOW_NO_ACTIVATE);
    ASSERT_EQ(combo_box_create(185, gui_in_window(WINDOW), 5, 5, 120, 22, 0), 185);
    for (const wchar_t* item : {L"one", L"two", L"three"}) combo_box_item_add(185, -1, item);
    ASSERT_EQ(panel_create(103, gui_in_window(WINDOW), 1, 40, 300, 150), 103);
    for (const wchar_t* caption : {L"A", L"B", L"C"}) panel_tab_add(103, caption);
    HWND combo = hwnd_of_control(185);
    HWND panel = hwnd_of_control(103);

    int combo_seen = -2, tab_seen = -2;
    const auto read_on_a_worker = [&] {
        return finishes_without_main_thread(
            [&] {
                combo_seen = combo_box_selected(185);
                tab_seen = panel_tab_selected(103);
            },
            2000);
    };
    ASSERT_TRUE(read_on_a_worker());
    EXPECT_EQ(combo_seen, -1);
    EXPECT_EQ(tab_seen, 0);

    combo_box_select(185, 2);
    panel_tab_select(103, 1);
    ASSERT_TRUE(read_on_a_worker());
    EXPECT_EQ(combo_seen, 2);
    EXPECT_EQ(tab_seen, 1);

    // The user's choices reach the runtime as the controls' notifications.
    SendMessageW(combo, CB_SETCURSEL, 0, 0);
    SendMessageW(hwnd_of_window(WINDOW), WM_COMMAND, MAKEWPARAM(185, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    SendMessageW(panel, TCM_SETCURSEL, 2, 0);
    NMHDR header{panel, 103, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(GetParent(panel), WM_NOTIFY, 103, reinterpret_cast<LPARAM>(&header));
    ASSERT_TRUE(read_on_a_worker());
    EXPECT_EQ(combo_seen, 0);
    EXPECT_EQ(tab_seen, 2);

    // An item inserted above the selected one moves the selection; emptying the box clears it.
    combo_box_item_add(185, 0, L"zero");
    ASSERT_TRUE(read_on_a_worker());
    EXPECT_EQ(combo_seen, 1);
    combo_box_clear(185);
    ASSERT_TRUE(read_on_a_worker());
    EXPECT_EQ(combo_seen, -1);
    events_drain();
}

TEST_F(GuiWindows, ImagesAndFontsByNumber) {
    ASSERT_TRUE(image_create(104, 16, 16, 0xFFFFFF));
    {
        ImageDraw draw(104);
        ASSERT_TRUE(draw);
        RECT inner{1, 1, 15, 15};
        FillRect(draw.dc(), &inner, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    EXPECT_NE(image_icon(104), nullptr);
    int width = 0, height = 0;
    ASSERT_TRUE(image_size(104, &width, &height));
    EXPECT_EQ(width, 16);
    image_free(104);
    EXPECT_FALSE(image_exists(104));
    EXPECT_EQ(image_icon(104), nullptr);

    ASSERT_TRUE(font_load(203, L"Lucida Console", 10, FONT_STYLE_FIXED_PITCH));
    const HFONT first = reinterpret_cast<HFONT>(font_handle(203));
    ASSERT_TRUE(font_load(203, L"Lucida Console", 12, FONT_STYLE_FIXED_PITCH));
    EXPECT_NE(reinterpret_cast<HFONT>(font_handle(203)), first);
    LOGFONTW description{};
    // The replaced font still works for a thread that drew with it.
    EXPECT_EQ(GetObjectW(first, sizeof(description), &description), static_cast<int>(sizeof(description)));
    font_free(203);
    EXPECT_FALSE(font_exists(203));
}

}  // namespace
