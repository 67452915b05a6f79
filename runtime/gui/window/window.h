// Numbered top-level windows: open, close, show, state, title, geometry, style, timers and the message callback.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/gui/gui.h"

enum WindowFlags : int {
    WINDOW_CAPTION = 0x1,      // a title bar with a border
    WINDOW_SYSTEM_MENU = 0x2,  // the close box (and the system menu)
    WINDOW_MINIMIZE_BUTTON = 0x4,
    WINDOW_MAXIMIZE_BUTTON = 0x8,
    WINDOW_SIZEABLE = 0x10,
    WINDOW_INVISIBLE = 0x20,     // opened hidden
    WINDOW_MINIMIZED = 0x40,     // opened minimised
    WINDOW_CENTERED = 0x80,      // centred on the primary work area; x and y are ignored
    WINDOW_POPUP = 0x100,        // no frame of its own beyond what the other flags ask for
    WINDOW_NO_ACTIVATE = 0x200,  // shown without taking the focus
};

enum WindowShow : int { WINDOW_HIDE = 0, WINDOW_SHOW = 1, WINDOW_SHOW_NO_ACTIVATE = 2 };
enum WindowState : int { WINDOW_STATE_NORMAL = 0, WINDOW_STATE_MINIMIZED = 1, WINDOW_STATE_MAXIMIZED = 2 };

// Opens a window: x, y its outer position, width and height its inner (client) size, all in 96-DPI units.
// A window already open under the number is closed first. Main thread. False on failure.
bool window_open(int number, int x, int y, int inner_width, int inner_height, std::wstring_view title, int flags);

// Closes the window and frees its controls, timers and shortcuts. Main thread.
void window_close(int number);

bool window_exists(int number);
// The window's HWND as an integer; 0 when it does not exist.
intptr_t window_handle(int number);
// The number of our window with that handle; -1 for none.
int window_number_of(intptr_t handle);

// Any thread; from a worker the change is handed to the main thread without waiting.
void window_show(int number, WindowShow show);
bool window_visible(int number);
WindowState window_state(int number);
void window_state_set(int number, WindowState state);
// Brings the window to the front and activates it.
void window_activate(int number);
// Paints the window and its controls now, for a window shown while the main thread has no time to wait
// for events (a splash during start-up). Main thread.
void window_repaint_now(int number);

// Any thread without waiting; the title reads back at once.
void window_title_set(int number, std::wstring_view title);
std::wstring window_title(int number);

// Geometry in 96-DPI units: outer position, inner size. Any thread.
bool window_outer_position(int number, int* x, int* y);
bool window_inner_size(int number, int* width, int* height);
// The frame around the inner area: outer size minus inner size.
bool window_frame_size(int number, int* width, int* height);
// Moves and resizes (GUI_KEEP for what stays). Any thread; from a worker without waiting.
void window_move(int number, int x, int y, int inner_width, int inner_height);

// The Windows style bits (GWL_STYLE); setting them rebuilds the frame around the same inner size. Main thread.
int64_t window_style(int number);
void window_style_set(int number, int64_t style);

// Background colour 0x00BBGGRR (-1 the system's).
void window_color_set(int number, int32_t color);
void window_topmost_set(int number, bool topmost);
// Layered transparency: 255 opaque. Main thread.
void window_alpha_set(int number, int alpha);

// A timer of the window: EVENT_TIMER with the window and the timer's number every `milliseconds`.
bool window_timer_add(int number, int timer, int milliseconds);
void window_timer_remove(int number, int timer);

// Binds a callback that sees the window's messages (and its canvases' and pages') first.
void window_callback_set(int number, WindowCallback callback);
