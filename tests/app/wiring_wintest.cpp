// The real wiring of start-up: every hook that the program needs installed, and through it the saved graph
// colours on the graphs, the battery saver in the battery column and the data-file panel redrawn after a
// log flush and a session-history load or save.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/app_test_support.h"
#include "app/event_loop.h"
#include "app/wiring.h"
#include "core/color_lists.h"
#include "core/control_handlers.h"
#include "core/control_numbers.h"
#include "core/data_file_panel.h"
#include "core/language.h"
#include "core/log_file.h"
#include "core/saga_store.h"
#include "core/settings_file_hooks.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "runtime/display_probe_win.h"
#include "runtime/gui/canvas/canvas.h"
#include "runtime/gui/canvas/canvas_draw_win.h"
#include "runtime/gui/control/control.h"
#include "runtime/gui/event/gui_event.h"
#include "runtime/gui/gui.h"
#include "runtime/gui/list_view/list_view.h"
#include "runtime/gui/panel/panel.h"
#include "runtime/gui/window/window.h"
#include "runtime/wait_until.h"
#include "system/battery_texts.h"
#include "system/system_monitor.h"
#include "ui/graph_control.h"
#include "ui/graph_descriptor.h"
#include "ui/graph_draw.h"

namespace {

constexpr int WINDOW = 530;

void main_window_ensure_stub() {}

class Wiring : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(display_available()) << NO_DISPLAY_TEXT;
        ASSERT_TRUE(gui_init());
        program_state_fresh();
        ASSERT_TRUE(window_open(WINDOW, 40, 40, 400, 300, L"wiring test", WINDOW_CAPTION | WINDOW_INVISIBLE));
    }
    void TearDown() override {
        settings_ui_hooks_set(SettingsUiHooks{});
        system_monitor_hooks_set(SystemMonitorHooks{});
        data_file_panel_set_drawer(nullptr);
        control_handlers_clear();
        window_close(WINDOW);
        graph_descriptors_clear();
    }
};

TEST_F(Wiring, EveryHookThatTheProgramNeedsIsInstalled) {
    startup_ui_hooks_install(main_window_ensure_stub);
    startup_monitor_hooks_install();
    startup_event_handlers_add();

    const SettingsUiHooks settings = settings_ui_hooks();
    EXPECT_EQ(settings.main_window_ensure, main_window_ensure_stub);
    EXPECT_NE(settings.window_position, nullptr);
    EXPECT_NE(settings.graph_color, nullptr) << "the saved graph colours would never reach the graphs";
    EXPECT_NE(settings.graph_color_set, nullptr) << "the saved graph colours would never reach the graphs";
    EXPECT_NE(settings.trackbar_position, nullptr);
    EXPECT_NE(settings.control_text_set, nullptr);
    EXPECT_NE(system_monitor_hooks().battery_column_set, nullptr) << "the battery column would not show the saver";

    struct Handled {
        int control;
        const char* what;
    };
    const int core_graph = SharedInts[CORE_GRAPH_START].load();
    const int gpu_graph = SharedInts[GPU_GRAPH_START].load();
    for (const Handled& handled :
         {Handled{CANVAS_COMPACT, "the compact window's canvas"}, Handled{PANEL_MAIN, "the main panel's tab change"},
          Handled{GRAPH_PHYSICAL_MEMORY, "a graph's read-out"}, Handled{core_graph, "a processor graph's read-out"},
          Handled{gpu_graph, "a GPU graph's read-out"}, Handled{CANVAS_CPU_TEMPERATURE, "the CPU strip's read-out"},
          Handled{CANVAS_PING_LIST, "the ping list"}, Handled{CANVAS_PING_STATUS, "the ping status line's sort"},
          Handled{BUTTON_PING_ADD, "the ping add button"}, Handled{BUTTON_PING_NOW, "the ping-now button"},
          Handled{COMBO_PING_INTERVAL, "the ping interval"}, Handled{INPUT_PING_IP_TO, "the ping range fields"}}) {
        EXPECT_NE(control_handler_find(handled.control), nullptr) << handled.what;
    }
}

TEST_F(Wiring, SavedGraphColoursReachTheGraphsAndComeBackForTheSave) {
    startup_ui_hooks_install(main_window_ensure_stub);
    for (int graph = GRAPH_PHYSICAL_MEMORY; graph <= GRAPH_DISK_WRITE; ++graph) {
        GraphDescriptor* descriptor = graph_descriptor_create(graph, 10, 0, 0);
        ASSERT_NE(descriptor, nullptr) << graph;
        graph_set_attribute(graph, GRAPH_ATTR_PLOT_COLOR, SharedInts[graph].load());
    }
    // What settings_load does with "ColorBar = FF00$$C0": green for the first graph, the default for the
    // second, dark red for the third.
    color_list_apply(L"FF00$$C0", GRAPH_PHYSICAL_MEMORY);
    EXPECT_EQ(graph_get_attribute(GRAPH_PHYSICAL_MEMORY, GRAPH_ATTR_PLOT_COLOR), 0xFF00);
    EXPECT_EQ(graph_get_attribute(GRAPH_PAGEFILE, GRAPH_ATTR_PLOT_COLOR), SharedInts[GRAPH_PAGEFILE].load());
    EXPECT_EQ(graph_get_attribute(GRAPH_CPU_SPEED, GRAPH_ATTR_PLOT_COLOR), 0xC0);
    EXPECT_EQ(color_list_build_bar(), L"FF00$$C0");
}

std::wstring column_title(int list) {
    wchar_t text[128] = {};
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT;
    column.pszText = text;
    column.cchTextMax = 127;
    SendMessageW(reinterpret_cast<HWND>(control_handle(list)), LVM_GETCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    return text;
}

TEST_F(Wiring, TheBatteryColumnShowsTheSaver) {
    ASSERT_EQ(list_view_create(LIST_BATTERY, gui_in_window(WINDOW), 0, 0, 300, 100, L"Battery", 100, 0), LIST_BATTERY);
    startup_monitor_hooks_install();
    const auto set = system_monitor_hooks().battery_column_set;
    ASSERT_NE(set, nullptr) << "the system monitor's battery column hook is not installed";
    for (const bool saver_on : {true, false, true}) {
        set(battery_column_title(saver_on), 120);
        EXPECT_EQ(column_title(LIST_BATTERY), saver_on ? L"Battery (Saver On)" : L"Battery") << saver_on;
    }
}

uint32_t panel_pixel() {
    CanvasDraw draw(CANVAS_DATA_FILES);
    return draw ? static_cast<uint32_t>(GetPixel(draw.dc(), 2, 2)) : 0xFFFFFFFFu;
}

void panel_blacken() {
    CanvasDraw draw(CANVAS_DATA_FILES);
    if (!draw) return;
    const RECT all{0, 0, draw.width(), draw.height()};
    FillRect(draw.dc(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

TEST_F(Wiring, TheDataFilePanelIsRedrawnAfterAFlushAndAHistoryLoadOrSave) {
    ASSERT_EQ(canvas_create(CANVAS_DATA_FILES, gui_in_window(WINDOW), 0, 0, 300, 140, 0, 0), CANVAS_DATA_FILES);
    startup_ui_hooks_install(main_window_ensure_stub);
    const std::wstring missing = L"C:\\sotrix-no-such-folder\\SX-Saga.json";
    struct Action {
        const char* what;
        std::function<void()> run;
    };
    const Action actions[] = {
        {"log flush", [] { log_buffer_flush(LOG_FLUSH_NORMAL); }},
        {"history load", [&] { saga_lists_load(missing); }},
        {"history save", [&] { saga_lists_save(missing); }},
    };
    for (const Action& action : actions) {
        data_folder_panel_draw(1);  // drawn now: the next unforced redraw would be due in 5 s
        ASSERT_EQ(panel_pixel(), static_cast<uint32_t>(PANEL_BACK_COLOR)) << action.what;
        panel_blacken();
        ASSERT_EQ(panel_pixel(), 0u) << action.what;
        action.run();
        // The request wakes the loop: its turn waits without a limit, and a watchdog that has to wake it
        // instead fails the test.
        std::atomic<bool> turned{false};
        std::atomic<bool> woken_by_watchdog{false};
        std::thread watchdog([&] {
            if (wait_until([&] { return turned.load(); })) return;
            woken_by_watchdog = true;
            gui_event_post(GuiEvent{});
        });
        event_loop_turn(-1);
        turned = true;
        watchdog.join();
        EXPECT_FALSE(woken_by_watchdog.load()) << "the " << action.what << " did not wake the event loop";
        EXPECT_EQ(panel_pixel(), static_cast<uint32_t>(PANEL_BACK_COLOR))
            << "the panel was not redrawn after the " << action.what;
    }
}

std::vector<int> tabs_drawn;

TEST_F(Wiring, TheShownTabIsRedrawnWhenTheMainWindowComesBack) {
    ASSERT_TRUE(window_open(WIN_MAIN, 60, 60, 400, 300, L"main window", WINDOW_CAPTION | WINDOW_INVISIBLE));
    ASSERT_EQ(panel_create(PANEL_MAIN, gui_in_window(WIN_MAIN), 0, 0, 400, 300), PANEL_MAIN);
    for (const wchar_t* caption : {L"System", L"Processors", L"Graphics", L"Storage"})
        panel_tab_add(PANEL_MAIN, caption);
    panel_tab_select(PANEL_MAIN, TAB_STORAGE);
    // The program's own redraw hooks; only the drawing itself is counted here.
    GraphsRefreshHooks hooks = tab_redraw_hooks();
    hooks.draw_tab = [](int tab) { tabs_drawn.push_back(tab); };
    graphs_refresh_hooks_set(hooks);
    const HWND main = reinterpret_cast<HWND>(window_handle(WIN_MAIN));
    const auto events_drain = [] {
        for (int turn = 0; turn < 50; ++turn) event_loop_turn(0);
    };
    window_show(WIN_MAIN, WINDOW_SHOW);
    ShowWindow(main, SW_MINIMIZE);
    events_drain();
    ASSERT_EQ(window_state(WIN_MAIN), WINDOW_STATE_MINIMIZED);
    tabs_drawn.clear();

    ShowWindow(main, SW_RESTORE);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (tabs_drawn.empty() && std::chrono::steady_clock::now() < deadline) event_loop_turn(10);
    graphs_refresh_hooks_set(GraphsRefreshHooks{});
    window_close(WIN_MAIN);
    ASSERT_FALSE(tabs_drawn.empty()) << "restoring the main window did not redraw its tab";
    EXPECT_EQ(tabs_drawn.front(), TAB_STORAGE);
}

}  // namespace
