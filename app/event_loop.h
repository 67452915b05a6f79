// The event loop: waits for the windowing runtime's next event and dispatches it: shortcuts, control events
// by control number (core/control_handlers.h), window events of the two windows and tray-icon clicks.
#pragma once

#include "runtime/gui/event/gui_event.h"

// ---- Decisions (no Windows) ----

enum CloseAction : int { CLOSE_EXIT = 0, CLOSE_HIDE = 1 };
// Closing the compact window ends the program unless close-to-tray is on and Shift is not held.
CloseAction compact_close_action(int close_to_tray, bool shift_held);

enum MinimizeAction : int { MINIMIZE_HIDE = 0, MINIMIZE_MINIMIZE = 1 };
MinimizeAction compact_minimize_action(int minimize_to_tray);

// A moved window's position is recorded only when neither coordinate is negative (a minimised window
// reports negative ones).
bool position_recordable(int x, int y);

enum TrayAction : int { TRAY_NOTHING = 0, TRAY_SHOW_COMPACT = 1, TRAY_SHOW_SETTINGS = 2 };
TrayAction tray_click_action(int click_type, int single_click_option);

// ---- Windows ----

// One turn of the loop: waits up to wait_ms (-1: without limit) for an event and dispatches it, then redraws
// the data-file panel when a redraw was asked for or its refresh time has passed (data_folder_panel_draw 0).
void event_loop_turn(int wait_ms);

// Turns until EXIT_LOOP_FLAG is 1 after a turn, or a handler ends the program; then the exit sequence.
[[noreturn]] void event_loop_run();

// The handler of the compact window's canvas (cells, "[-]", "[+]", "[X]", Ctrl with the wheel).
void compact_canvas_event(const GuiEvent& event);

// Shows the main window on a tab and brings it to the front (when it exists).
void main_window_show_tab(int tab);
