// What the tests of the program's real windows share: the compact window and the main window built as at
// start-up, with the program's own hooks and control handlers.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include "app/app_test_support.h"
#include "app/wiring.h"
#include "core/control_numbers.h"
#include "core/shared_state.h"
#include "runtime/display_probe_win.h"
#include "runtime/gui/gui.h"
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

// Closes both windows and clears what the build left behind.
inline void program_windows_close() {
    control_handlers_clear();
    window_close(WIN_MAIN);
    window_close(WIN_COMPACT);
    graph_descriptors_clear();
    gui_event_clear();
}
