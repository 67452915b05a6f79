// What the tests of the program's real windows share: the compact window and the main window built as at
// start-up, with the program's own hooks and control handlers, or the main window with only its panel of tabs
// for a test that builds one page; their closing; and the modifier keys that the shortcut check reads.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <initializer_list>

#include "app/app_test_support.h"
#include "app/wiring.h"
#include "core/control_handlers.h"
#include "core/control_numbers.h"
#include "core/settings_file_hooks.h"
#include "core/shared_state.h"
#include "runtime/display_probe_win.h"
#include "runtime/gui/gui.h"
#include "runtime/gui/panel/panel.h"
#include "runtime/gui/shortcut/shortcut_table.h"
#include "runtime/gui/window/window.h"
#include "ui/compact_window.h"
#include "ui/main_window.h"

// A fresh program state and the runtime, before the windows are built.
inline void program_windows_prepare() {
    ASSERT_TRUE(display_available()) << NO_DISPLAY_TEXT;
    ASSERT_TRUE(gui_init());
    program_state_fresh();
    gui_event_clear();
    SharedInts[CAPTION_HEIGHT] = GetSystemMetrics(SM_CYCAPTION);
}

// Builds both windows and installs the program's hooks and control handlers.
inline void program_windows_build() {
    ASSERT_TRUE(window_open(WIN_COMPACT, 300, 300, 420, 120, L"compact", WINDOW_CAPTION));
    compact_window_setup(10);
    main_window_build(0, 0);
    ASSERT_TRUE(window_exists(WIN_MAIN));
    startup_ui_hooks_install([] {});
    startup_event_handlers_add();
}

// Posts an event of a main-window control, as the runtime reports a user's action, and turns the event loop
// until it has been handled; false when it was not within the loop's limit.
inline bool main_window_event_served(int control, int type) {
    GuiEvent event;
    event.kind = EVENT_CONTROL;
    event.window = WIN_MAIN;
    event.control = control;
    event.type = type;
    return gui_event_post(event) && loop_until([] { return gui_event_count() == 0; });
}

// A fresh program state, the compact window at (300, 300) and the main window at (x, y) holding only the
// panel of nine tabs; the test builds the page it needs. False when a window or the panel cannot be made.
inline bool program_windows_with_tabs_open(int x, int y, int width, int height, const wchar_t* title) {
    if (!gui_init()) return false;
    program_state_fresh();
    shortcut_table_clear(WIN_MAIN);
    shortcut_table_clear(WIN_COMPACT);
    if (!window_open(WIN_COMPACT, 300, 300, 420, 120, L"compact", WINDOW_CAPTION)) return false;
    compact_window_setup(10);
    if (!window_open(WIN_MAIN, x, y, width, height, title, WINDOW_CAPTION)) return false;
    if (panel_create(PANEL_MAIN, gui_in_window(WIN_MAIN), 0, 0, width, height) != PANEL_MAIN) return false;
    for (const wchar_t* caption :
         {L"System", L"Processors", L"Graphics", L"Storage", L"Networks", L"Ping", L"Events", L"Settings", L"About"}) {
        panel_tab_add(PANEL_MAIN, caption);
    }
    return true;
}

// Closes both windows and clears what the build and the start-up's installers left behind.
inline void program_windows_close() {
    settings_ui_hooks_set(SettingsUiHooks{});
    control_handlers_clear();
    shortcut_handler_set(nullptr);
    shortcut_table_clear(WIN_MAIN);
    shortcut_table_clear(WIN_COMPACT);
    window_close(WIN_MAIN);
    window_close(WIN_COMPACT);
    graph_descriptors_clear();
    gui_event_clear();
}

// This thread's modifier keys, as GetKeyState reports them to the shortcut check.
inline void modifiers_set(std::initializer_list<int> held) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    for (const int key : {VK_SHIFT, VK_CONTROL, VK_MENU, VK_LSHIFT, VK_LCONTROL, VK_LMENU}) keys[key] = 0;
    for (const int key : held) keys[key] = 0x80;
    SetKeyboardState(keys);
}
