// The event loop: waits for the windowing runtime's next event and dispatches it: shortcuts, control events
// by control number, window events of the two windows and tray-icon clicks.
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

// ---- Handlers ----

// A handler of control events; it runs on the main thread inside the loop.
using ControlHandler = void (*)(const GuiEvent& event);
// Handles the events of the controls first to last (inclusive). The handler added last wins where ranges
// overlap, so a later part can take over a control. An event of a control without a handler is ignored.
void control_handler_add(int first, int last, ControlHandler handler);
ControlHandler control_handler_find(int control);
void control_handlers_clear();

// The handler of shortcut events (event number, window number); none ignores them.
using ShortcutHandler = void (*)(int shortcut, int window);
void shortcut_handler_set(ShortcutHandler handler);
ShortcutHandler shortcut_handler();

// ---- Windows ----

// Runs until EXIT_LOOP_FLAG is 1 after an event, or a handler ends the program; then the exit sequence.
[[noreturn]] void event_loop_run();

// The handler of the compact window's canvas (cells, "[-]", "[+]", "[X]", Ctrl with the wheel).
void compact_canvas_event(const GuiEvent& event);

// Shows the main window on a tab and brings it to the front (when it exists).
void main_window_show_tab(int tab);
