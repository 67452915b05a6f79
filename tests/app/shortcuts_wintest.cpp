// Keys and clicks on the real windows: key presses posted to the main and the compact window go through the
// runtime's shortcut check and the event loop to the program's handler, and clicks posted to the compact
// window's canvas open the main window on the cell's tab. The modifiers are this thread's key state.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <initializer_list>
#include <string>

#include "app/app_test_support.h"
#include "app/event_loop.h"
#include "app/program_windows_win.h"
#include "app/shortcuts.h"
#include "app/wiring.h"
#include "core/color_lists.h"
#include "core/control_handlers.h"
#include "core/control_numbers.h"
#include "core/language.h"
#include "core/settings_file_hooks.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "runtime/display_probe_win.h"
#include "runtime/gui/control/control.h"
#include "runtime/gui/gui.h"
#include "runtime/gui/panel/panel.h"
#include "runtime/gui/shortcut/shortcut_table.h"
#include "runtime/gui/window/window.h"
#include "system/system_monitor.h"
#include "system/temp_tool_record.h"
#include "system/temp_tool_win.h"
#include "ui/compact_window.h"
#include "ui/graph_control.h"
#include "ui/graph_descriptor.h"

namespace {

constexpr int MAIN_X = 60;
constexpr int MAIN_Y = 60;

// Turns the loop until the posted messages are handled (a marker key without a shortcut comes back).
void loop_drain() {
    for (int turn = 0; turn < 20; ++turn) event_loop_turn(0);
}

void key_press(int window, int virtual_key, std::initializer_list<int> held = {}) {
    const HWND hwnd = reinterpret_cast<HWND>(window_handle(window));
    SetActiveWindow(hwnd);
    modifiers_set(held);
    const UINT message = std::find(held.begin(), held.end(), VK_MENU) != held.end() ? WM_SYSKEYDOWN : WM_KEYDOWN;
    PostMessageW(hwnd, message, static_cast<WPARAM>(virtual_key), 1);
}

class Shortcuts : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(display_available()) << NO_DISPLAY_TEXT;
        ASSERT_TRUE(program_windows_with_tabs_open(MAIN_X, MAIN_Y, 500, 300, L"main"));
        startup_ui_hooks_install([] {});
        startup_event_handlers_add();
        shortcuts_register();
    }
    void TearDown() override {
        modifiers_set({});
        program_windows_close();
        graph_descriptors_clear();
        graph_colors_inverted_set(false);
    }
};

TEST_F(Shortcuts, CtrlTabWalksTheTabsAndWrapsAround) {
    panel_tab_select(PANEL_MAIN, TAB_ABOUT);
    key_press(WIN_MAIN, VK_TAB, {VK_CONTROL});
    EXPECT_TRUE(loop_until([] { return panel_tab_selected(PANEL_MAIN) == TAB_SYSTEM; }))
        << "Ctrl+Tab on About: tab " << panel_tab_selected(PANEL_MAIN);
    key_press(WIN_MAIN, VK_TAB, {VK_CONTROL, VK_SHIFT});
    EXPECT_TRUE(loop_until([] { return panel_tab_selected(PANEL_MAIN) == TAB_ABOUT; }))
        << "Ctrl+Shift+Tab on System: tab " << panel_tab_selected(PANEL_MAIN);
    key_press(WIN_MAIN, VK_TAB);  // Tab alone is no shortcut
    loop_drain();
    EXPECT_EQ(panel_tab_selected(PANEL_MAIN), TAB_ABOUT);
}

TEST_F(Shortcuts, FontKeysStepTheCompactFontOnBothWindowsAndTheListFontOnItsTab) {
    SharedInts[COMPACT_FONT_SIZE] = 25;
    SharedInts[COMPACT_RELAYOUT_REQUEST] = 0;
    key_press(WIN_COMPACT, VK_OEM_PLUS, {VK_CONTROL});
    ASSERT_TRUE(loop_until([] { return SharedInts[COMPACT_FONT_SIZE].load() == 26; }));
    EXPECT_EQ(SharedInts[COMPACT_RELAYOUT_REQUEST].load(), 1);
    SharedInts[COMPACT_RELAYOUT_REQUEST] = 0;
    key_press(WIN_MAIN, VK_ADD, {VK_CONTROL});
    loop_drain();
    EXPECT_EQ(SharedInts[COMPACT_FONT_SIZE].load(), 26) << "26 is the largest";
    EXPECT_EQ(SharedInts[COMPACT_RELAYOUT_REQUEST].load(), 0) << "no change, no request";
    key_press(WIN_MAIN, '0', {VK_CONTROL});
    EXPECT_TRUE(loop_until([] { return SharedInts[COMPACT_FONT_SIZE].load() == 10; }));

    panel_tab_select(PANEL_MAIN, TAB_PING);
    SharedInts[PING_FONT_SIZE] = 9;
    key_press(WIN_MAIN, VK_OEM_PLUS, {VK_MENU});
    EXPECT_TRUE(loop_until([] { return SharedInts[PING_FONT_SIZE].load() == 10; }));
    panel_tab_select(PANEL_MAIN, TAB_SYSTEM);
    key_press(WIN_MAIN, VK_OEM_PLUS, {VK_MENU});
    loop_drain();
    EXPECT_EQ(SharedInts[PING_FONT_SIZE].load(), 10) << "Alt+plus on the System tab does nothing";
}

TEST_F(Shortcuts, ArrowKeysMoveTheCompactWindowInsideTheWorkArea) {
    SharedInts[WORKAREA_WIDTH] = 1000;
    SharedInts[WORKAREA_HEIGHT] = 700;
    int width = 0;
    int height = 0;
    ASSERT_TRUE(window_frame_size(WIN_COMPACT, &width, &height));
    SharedInts[COMPACT_WIDTH] = width;
    SharedInts[COMPACT_HEIGHT] = height;
    int inner_width = 0;
    int inner_height = 0;
    ASSERT_TRUE(window_inner_size(WIN_COMPACT, &inner_width, &inner_height));
    window_move(WIN_COMPACT, 200, 700 - height - 5, inner_width, inner_height);
    const auto at = [](int x, int y) {
        return [x, y] {
            int wx = -1;
            int wy = -1;
            window_outer_position(WIN_COMPACT, &wx, &wy);
            return SharedInts[COMPACT_X].load() == x && SharedInts[COMPACT_Y].load() == y && wx == x && wy == y;
        };
    };
    const auto where = [] {
        int wx = -1;
        int wy = -1;
        window_outer_position(WIN_COMPACT, &wx, &wy);
        return " (window at " + std::to_string(wx) + "," + std::to_string(wy) + ", recorded " +
               std::to_string(SharedInts[COMPACT_X].load()) + "," + std::to_string(SharedInts[COMPACT_Y].load()) + ")";
    };
    // The loop records where the window went, as it does when the user drags it.
    ASSERT_TRUE(loop_until(at(200, 700 - height - 5))) << where();
    key_press(WIN_COMPACT, VK_RIGHT, {VK_CONTROL});
    EXPECT_TRUE(loop_until(at(201, 700 - height - 5))) << "Ctrl+Right moves one unit" << where();
    key_press(WIN_MAIN, VK_DOWN, {VK_SHIFT});
    EXPECT_TRUE(loop_until(at(201, 700 - height))) << "Shift+Down 5 above the edge lands on it" << where();
    key_press(WIN_COMPACT, VK_LEFT, {VK_SHIFT});
    EXPECT_TRUE(loop_until(at(191, 700 - height))) << "Shift+Left moves ten units" << where();
}

TEST_F(Shortcuts, CtrlIInvertsTheGraphsButNotTheSavedColours) {
    for (int graph = GRAPH_PHYSICAL_MEMORY; graph <= GRAPH_DISK_WRITE; ++graph) {
        ASSERT_NE(graph_descriptor_create(graph, 10, 0, 0), nullptr) << graph;
        graph_set_attribute(graph, GRAPH_ATTR_PLOT_COLOR, SharedInts[graph].load());
    }
    graph_set_attribute(GRAPH_PAGEFILE, GRAPH_ATTR_PLOT_COLOR, 0x123456);
    const std::wstring saved = color_list_build_bar();
    ASSERT_EQ(saved, L"$123456");
    key_press(WIN_MAIN, 'I', {VK_CONTROL});
    ASSERT_TRUE(
        loop_until([] { return graph_get_attribute(GRAPH_PAGEFILE, GRAPH_ATTR_PLOT_COLOR) == 0xFFFFFF - 0x123456; }));
    EXPECT_EQ(graph_get_attribute(GRAPH_DISK_WRITE, GRAPH_ATTR_PLOT_COLOR),
              0xFFFFFF - SharedInts[GRAPH_DISK_WRITE].load());
    EXPECT_EQ(color_list_build_bar(), saved) << "the inverted colours would be saved as the user's";
    key_press(WIN_MAIN, 'I', {VK_CONTROL});
    ASSERT_TRUE(loop_until([] { return graph_get_attribute(GRAPH_PAGEFILE, GRAPH_ATTR_PLOT_COLOR) == 0x123456; }));
    EXPECT_EQ(color_list_build_bar(), saved);
}

TEST_F(Shortcuts, FKeysOnTheCompactWindowAskForRescans) {
    key_press(WIN_COMPACT, VK_F6);
    ASSERT_TRUE(loop_until([] { return SharedInts[DRIVE_CHANGES_RESET_REQUEST].load() == 1; }));
    EXPECT_EQ(SharedInts[DRIVE_RESCAN_REQUEST].load(), 1);
    EXPECT_EQ(SharedInts[NET_RESCAN_REQUEST].load(), 0);
    key_press(WIN_COMPACT, VK_F5);
    EXPECT_TRUE(loop_until([] { return SharedInts[NET_RESCAN_REQUEST].load() == 1; }));
}

// F5 on the About tab asks the sampler to look for the temperature tool at its next step: the main thread does not
// touch the tool's state (the sampler may be connecting at that moment), and the sampler's next step looks at once
// instead of counting down.
TEST_F(Shortcuts, F5OnTheAboutTabLeavesTheTemperatureToolToTheSampler) {
    temp_tool_set_intervals(24, 4);
    SharedInts[TEMP_TOOL_STATE] = -20;  // 50 s before the sampler would look again
    panel_tab_select(PANEL_MAIN, TAB_ABOUT);
    key_press(WIN_MAIN, VK_F5);
    loop_drain();
    EXPECT_EQ(SharedInts[TEMP_TOOL_STATE].load(), -20) << "the main thread wrote the tool's state";
    temp_tool_step();  // the sampler's next step
    const int state = SharedInts[TEMP_TOOL_STATE].load();
    EXPECT_NE(state, -19) << "the sampler went on counting down: no recheck was asked for";
    EXPECT_TRUE(state == -24 || state == TEMP_TOOL_CONNECTED) << "the sampler did not look: state " << state;
    temp_tool_close();
}

// The canvas pixel of a character cell's middle at 96 DPI.
POINT cell_point(int column, int line) {
    const float width = SharedFloats[COMPACT_CHAR_WIDTH].load();
    const int height = SharedInts[COMPACT_LINE_HEIGHT].load();
    return POINT{static_cast<LONG>((column + 30 + 0.5f) * width), static_cast<LONG>((line - 1) * height + height / 2)};
}

void canvas_click(int column, int line) {
    const HWND canvas = reinterpret_cast<HWND>(control_handle(CANVAS_COMPACT));
    const POINT point = cell_point(column, line);
    const LPARAM at = MAKELPARAM(point.x, point.y);
    PostMessageW(canvas, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(canvas, WM_LBUTTONUP, 0, at);
}

TEST_F(Shortcuts, ClicksOnTheCompactCellsOpenTheirTabs) {
    ASSERT_GT(SharedFloats[COMPACT_CHAR_WIDTH].load(), 0.0f) << "the compact font was not measured";
    SharedInts[GPU_ENTRY_COUNT] = 1;
    SharedInts[ACTIVE_CONNECTIONS] = 1;
    const struct {
        int column;
        int line;
        int tab;
    } cases[] = {
        {1, 2, TAB_PROCESSORS},  // "CPU"
        {5, 1, TAB_SYSTEM},      // "Phys"
        {1, 5, TAB_GRAPHICS},    // the GPU line
        {1, 6, TAB_NETWORKS},    // the network line
        {1, 7, TAB_STORAGE},     // drive row 1, no modifier
    };
    for (const auto& c : cases) {
        window_show(WIN_MAIN, WINDOW_HIDE);
        panel_tab_select(PANEL_MAIN, TAB_ABOUT);
        SetActiveWindow(reinterpret_cast<HWND>(window_handle(WIN_COMPACT)));
        modifiers_set({});
        canvas_click(c.column, c.line);
        EXPECT_TRUE(loop_until([] { return window_visible(WIN_MAIN); }))
            << "line " << c.line << " column " << c.column << ": the main window did not open";
        EXPECT_EQ(panel_tab_selected(PANEL_MAIN), c.tab) << "line " << c.line << " column " << c.column;
        const HWND main = reinterpret_cast<HWND>(window_handle(WIN_MAIN));
        EXPECT_FALSE(GetWindowLongPtrW(main, GWL_EXSTYLE) & WS_EX_TOPMOST) << "brought to the front, not kept on top";
    }
}

}  // namespace
