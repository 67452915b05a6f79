// The real wiring of start-up, shown by what the installed hooks and handlers do: the settings' window hooks,
// each control's events reaching the handler that acts on them, the saved graph colours on the graphs, the
// battery saver in the battery column and the data-file panel redrawn after a log flush and a session-history
// load or save.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
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
#include "core/settings_controls.h"
#include "core/settings_file_hooks.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "runtime/display_probe_win.h"
#include "runtime/gui/canvas/canvas.h"
#include "runtime/gui/canvas/canvas_draw_win.h"
#include "runtime/gui/check_box/check_box.h"
#include "runtime/gui/combo_box/combo_box.h"
#include "runtime/gui/control/control.h"
#include "runtime/gui/event/gui_event.h"
#include "runtime/gui/gui.h"
#include "runtime/gui/list_view/list_view.h"
#include "runtime/gui/panel/panel.h"
#include "runtime/gui/text/text.h"
#include "runtime/gui/track_bar/track_bar.h"
#include "runtime/gui/window/window.h"
#include "runtime/wait_until.h"
#include "system/battery_texts.h"
#include "system/system_monitor.h"
#include "ui/graph_control.h"
#include "ui/graph_descriptor.h"
#include "ui/graph_draw.h"
#include "ui/ping_toolbar.h"

namespace {

constexpr int WINDOW = 530;

void main_window_ensure_stub() {}

int ensure_calls = 0;
void main_window_ensure_counted() { ++ensure_calls; }

std::vector<int> tabs_drawn;

std::wstring main_title() {
    wchar_t text[512] = {};
    GetWindowTextW(reinterpret_cast<HWND>(window_handle(WIN_MAIN)), text, 511);
    return text;
}

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

// The settings' hooks that start-up installs act on the windows: the main window's build that start-up
// passes, a window's position, a track bar's value, a control's text, a graph's plot colour and the Settings
// tab's boxes from the options.
TEST_F(Wiring, TheSettingsHooksActOnTheWindows) {
    ensure_calls = 0;
    startup_ui_hooks_install(main_window_ensure_counted);
    const SettingsUiHooks hooks = settings_ui_hooks();
    ASSERT_NE(hooks.main_window_ensure, nullptr);
    hooks.main_window_ensure();
    EXPECT_EQ(ensure_calls, 1) << "not the main window's build that start-up passed";

    ASSERT_NE(hooks.window_position, nullptr);
    window_move(WINDOW, 50, 90, GUI_KEEP, GUI_KEEP);
    int32_t x = -1, y = -1;
    EXPECT_TRUE(hooks.window_position(WINDOW, &x, &y));
    EXPECT_EQ(x, 50);
    EXPECT_EQ(y, 90);
    EXPECT_FALSE(hooks.window_position(WINDOW + 1, &x, &y)) << "a window that does not exist";

    ASSERT_NE(hooks.trackbar_position, nullptr);
    ASSERT_EQ(track_bar_create(TRACK_TRANSPARENCY, gui_in_window(WINDOW), 0, 0, 150, 30, 1, 9, 0), TRACK_TRANSPARENCY);
    track_bar_value_set(TRACK_TRANSPARENCY, 7);
    EXPECT_EQ(hooks.trackbar_position(TRACK_TRANSPARENCY), 7);
    EXPECT_EQ(hooks.trackbar_position(TRACK_WINDOW_WIDTH), -1) << "a track bar that does not exist";

    ASSERT_NE(hooks.control_text_set, nullptr);
    ASSERT_EQ(text_label_create(TEXT_LOG_BUFFER, gui_in_window(WINDOW), 0, 40, 150, 20, L"", 0), TEXT_LOG_BUFFER);
    hooks.control_text_set(TEXT_LOG_BUFFER, L"42 / 100");
    EXPECT_TRUE(loop_until([] { return control_text(TEXT_LOG_BUFFER) == L"42 / 100"; }))
        << "the text shows " << testing::PrintToString(control_text(TEXT_LOG_BUFFER));
    hooks.control_text_set(TEXT_LOG_FOLDER, L"nowhere to show it");

    ASSERT_NE(hooks.graph_color_set, nullptr);
    ASSERT_NE(hooks.graph_color, nullptr);
    ASSERT_NE(graph_descriptor_create(GRAPH_CPU_SPEED, 10, 0, 0), nullptr);
    hooks.graph_color_set(GRAPH_CPU_SPEED, 0x123456);
    EXPECT_EQ(graph_get_attribute(GRAPH_CPU_SPEED, GRAPH_ATTR_PLOT_COLOR), 0x123456);
    EXPECT_EQ(hooks.graph_color(GRAPH_CPU_SPEED), 0x123456);
    EXPECT_EQ(hooks.graph_color(GRAPH_PAGEFILE), -1) << "a graph that does not exist";

    ASSERT_NE(hooks.settings_controls_refresh, nullptr);
    const OptionCheckBox* sound = option_check_box(CHECK_SOUND);
    ASSERT_NE(sound, nullptr);
    ASSERT_EQ(check_box_create(CHECK_SOUND, gui_in_window(WINDOW), 0, 70, 150, 20, L"Sound", 0), CHECK_SOUND);
    for (const int32_t on : {1, 0, 1}) {
        SharedInts[sound->option] = on;
        hooks.settings_controls_refresh(0);
        EXPECT_EQ(check_box_state(CHECK_SOUND), on) << "the option " << on;
    }
}

// Posts a control event as the runtime reports a user's action and turns the event loop until it is handled.
bool control_event_served(int control, int type, int x = 0, int y = 0) {
    GuiEvent event;
    event.kind = EVENT_CONTROL;
    event.window = WIN_MAIN;
    event.control = control;
    event.type = type;
    event.x = x;
    event.y = y;
    return gui_event_post(event) && loop_until([] { return gui_event_count() == 0; });
}

// A graph of 100 pixels on a canvas as wide, holding five samples of the value.
void graph_with_samples(int graph, float value) {
    ASSERT_EQ(canvas_create(graph, gui_in_window(WINDOW), 0, 100, 100, 40, 0, 0), graph);
    ASSERT_NE(graph_descriptor_create(graph, 100, graph, 0), nullptr);
    graph_add_sample(graph, value, 5);
}

// Each control's events reach the handler that the wiring gave it, shown by what that handler does: the
// read-outs of graphs and strips in the main window's title, the redraw of a chosen tab, and the Ping tab's
// requests and fields. (The compact window's canvas is shown by the clicks of the shortcut tests.)
TEST_F(Wiring, EachControlsEventsReachTheHandlerThatActsOnThem) {
    ASSERT_TRUE(window_open(WIN_MAIN, 60, 60, 500, 300, L"main window", WINDOW_CAPTION | WINDOW_INVISIBLE));
    ASSERT_EQ(panel_create(PANEL_MAIN, gui_in_window(WIN_MAIN), 0, 0, 500, 300), PANEL_MAIN);
    for (const wchar_t* caption :
         {L"System", L"Processors", L"Graphics", L"Storage", L"Networks", L"Ping", L"Events", L"Settings", L"About"}) {
        panel_tab_add(PANEL_MAIN, caption);
    }
    startup_ui_hooks_install(main_window_ensure_stub);
    startup_event_handlers_add();
    GraphsRefreshHooks redraw = tab_redraw_hooks();  // the program's own; only the drawing is counted
    redraw.draw_tab = [](int tab) { tabs_drawn.push_back(tab); };
    graphs_refresh_hooks_set(redraw);

    const int core_graph = SharedInts[CORE_GRAPH_START].load();
    const int gpu_graph = SharedInts[GPU_GRAPH_START].load();
    graph_with_samples(GRAPH_PHYSICAL_MEMORY, 11.0f);
    graph_with_samples(core_graph, 22.0f);
    graph_with_samples(gpu_graph, 33.0f);
    ASSERT_EQ(canvas_create(CANVAS_CPU_TEMPERATURE, gui_in_window(WINDOW), 0, 150, 100, 20, 0, 0),
              CANVAS_CPU_TEMPERATURE);
    {
        std::lock_guard guard(HistoryMutex);
        CpuCoreTable[0].history.assign(5, HistoryPoint{0, date_now(), 45});
    }
    {
        std::lock_guard guard(PingListMutex);
        PingHostList.assign(1, PSys{});
    }
    SharedInts[PING_CHAR_WIDTH] = 8;
    shared_text_set(PING_INTERVAL_CHOICES, L"1,2,5,10");
    ASSERT_EQ(combo_box_create(COMBO_PING_INTERVAL, gui_in_window(WINDOW), 0, 180, 100, 200, 0), COMBO_PING_INTERVAL);
    for (const wchar_t* item : {L"1", L"2", L"5", L"10"}) combo_box_item_add(COMBO_PING_INTERVAL, -1, item);
    ASSERT_EQ(ip_input_create(INPUT_PING_IP_FROM, gui_in_window(WINDOW), 0, 210, 150, 22), INPUT_PING_IP_FROM);
    ASSERT_EQ(ip_input_create(INPUT_PING_IP_TO, gui_in_window(WINDOW), 160, 210, 150, 22), INPUT_PING_IP_TO);
    SharedInts[PING_MODE] = PING_MODE_RANGE;
    gui_event_clear();

    // A pointer over a graph: its newest sample in the title.
    const struct {
        int graph;
        const wchar_t* shown;
    } readouts[] = {{GRAPH_PHYSICAL_MEMORY, L"= 11%"}, {core_graph, L"= 22%"}, {gpu_graph, L"= 33%"}};
    for (const auto& readout : readouts) {
        ASSERT_TRUE(control_event_served(readout.graph, EVENT_TYPE_MOUSE_MOVE, 99));
        const std::wstring shown = readout.shown;
        EXPECT_TRUE(loop_until([&] { return main_title().find(shown) != std::wstring::npos; }))
            << "graph " << readout.graph << ": the title reads " << testing::PrintToString(main_title());
    }
    // The chosen tab is redrawn at once.
    panel_tab_select(PANEL_MAIN, TAB_STORAGE);
    tabs_drawn.clear();
    ASSERT_TRUE(control_event_served(PANEL_MAIN, EVENT_TYPE_CHANGE));
    EXPECT_EQ(tabs_drawn, std::vector<int>{TAB_STORAGE}) << "the tab change did not redraw the chosen tab";
    // A pointer over the CPU strip on the Processors tab: its newest temperature in the title.
    panel_tab_select(PANEL_MAIN, TAB_PROCESSORS);
    ASSERT_TRUE(control_event_served(CANVAS_CPU_TEMPERATURE, EVENT_TYPE_MOUSE_MOVE, 98));
    EXPECT_TRUE(loop_until([] { return main_title().find(L"CPU 45") != std::wstring::npos; }))
        << "the title reads " << testing::PrintToString(main_title());

    // "Ping now" asks the monitor for a round at once.
    SharedQuads[PING_NEXT_ROUND] = date_now() + 3600;
    ASSERT_TRUE(control_event_served(BUTTON_PING_NOW, EVENT_TYPE_LEFT_CLICK));
    EXPECT_LE(SharedQuads[PING_NEXT_ROUND].load(), date_now()) << "no ping round asked for";
    // A click on the ping header's 41st character sorts by the third column.
    SharedInts[PING_REQ_SORT] = 0;
    ASSERT_TRUE(control_event_served(CANVAS_PING_STATUS, EVENT_TYPE_LEFT_CLICK, 8 * 40 + 3));
    EXPECT_EQ(SharedInts[PING_REQ_SORT].load(), 3);
    // The third interval: 5 s between rounds.
    combo_box_select(COMBO_PING_INTERVAL, 2);
    ASSERT_TRUE(control_event_served(COMBO_PING_INTERVAL, EVENT_TYPE_CHANGE));
    EXPECT_EQ(SharedInts[PING_INTERVAL_S].load(), 5);
    EXPECT_EQ(SharedInts[PING_INTERVAL_CHOICE].load(), 2);
    // A new end of the range takes the start into its network, keeping the start's last number.
    ip_input_address_set(INPUT_PING_IP_FROM, 0x0500000A);  // 10.0.0.5
    ip_input_address_set(INPUT_PING_IP_TO, 0x0901A8C0);    // 192.168.1.9
    gui_event_clear();
    ASSERT_TRUE(control_event_served(INPUT_PING_IP_TO, EVENT_TYPE_CHANGE));
    EXPECT_EQ(SharedQuads[PING_RANGE_TO].load(), 0x0901A8C0);
    EXPECT_TRUE(loop_until([] { return ip_input_address(INPUT_PING_IP_FROM) == 0x0501A8C0u; }))
        << "the range's start is " << std::hex << ip_input_address(INPUT_PING_IP_FROM);

    graphs_refresh_hooks_set(GraphsRefreshHooks{});
    {
        std::lock_guard guard(PingListMutex);
        PingHostList.clear();
    }
    window_close(WIN_MAIN);
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

// A double click on the System tab's header asks the sampler for the summary: nothing of it is gathered on the
// main thread (the Windows name and the desktop values stay as they were). A single click asks for nothing.
TEST_F(Wiring, TheHeaderDoubleClickLeavesTheSummaryToTheSampler) {
    startup_ui_hooks_install(main_window_ensure_stub);
    startup_event_handlers_add();
    const struct {
        int type;
        int request;
    } clicks[] = {{EVENT_TYPE_LEFT_CLICK, 0}, {EVENT_TYPE_LEFT_DOUBLE_CLICK, 1}};
    for (const auto& click : clicks) {
        SharedInts[SYSTEM_SUMMARY_REQUEST] = 0;
        shared_text_set(WINDOWS_NAME, L"");
        SharedInts[DESKTOP_WIDTH] = 0;
        ASSERT_TRUE(control_event_served(CANVAS_SYSTEM_HEADER, click.type)) << click.type;
        EXPECT_EQ(SharedInts[SYSTEM_SUMMARY_REQUEST].load(), click.request) << click.type;
        EXPECT_EQ(shared_text(WINDOWS_NAME), L"") << click.type << ": the summary was built on the main thread";
        EXPECT_EQ(SharedInts[DESKTOP_WIDTH].load(), 0) << click.type;
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
