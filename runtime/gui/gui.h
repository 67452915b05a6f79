// The windowing runtime: numbered windows, controls, fonts, images and tray icons over Win32, and the one
// event queue the event loop waits on. Include the header of each kind for its operations.
//
// Numbers: a window, control, font, image or tray icon is created under a number of the caller's choice
// and found and freed by that number; GUI_ANY asks for a new number, which is returned. Positions and sizes
// are in 96-DPI units (the runtime scales them to the desktop's DPI); canvas drawing is in device pixels.
//
// Threads: create, close and free on the main thread (the one that called gui_init). Titles and control
// texts may be set from any thread without waiting for the main thread; moves and shows from another
// thread are handed over without waiting. Canvases and images are drawn from any thread. Other
// operations from a worker wait for the main thread: a worker must not hold a lock while it calls them.
#pragma once

#include <climits>
#include <cstdint>

#include "runtime/gui/event/gui_event.h"

constexpr int GUI_ANY = -1;        // create under a new number
constexpr int GUI_KEEP = INT_MIN;  // a position or size that is not to change

// Where a control is created: in a window, on a page (tab) of a panel, or in a container.
struct GuiParent {
    int window = -1;
    int container = -1;  // a panel or container control; -1 for the window itself
    int tab = -1;        // the page of a panel
};
inline GuiParent gui_in_window(int window) { return GuiParent{window, -1, -1}; }
inline GuiParent gui_in_tab(int panel, int tab) { return GuiParent{-1, panel, tab}; }
inline GuiParent gui_in_container(int container) { return GuiParent{-1, container, -1}; }

// Starts the runtime on the calling thread, which becomes the main thread. Idempotent. False when the
// window classes or the runtime's own message window cannot be made.
bool gui_init();
bool gui_on_main_thread();

// Waits for the next event: timeout_ms 0 only looks, a negative timeout waits without limit. Main
// thread. Returns an event of kind EVENT_NONE when the time ran out.
GuiEvent wait_window_event(int timeout_ms);

// Pauses the main thread for about `milliseconds` while still serving messages that other threads send
// to its windows (so a worker that updates a window cannot hang it). From another thread: a plain sleep.
void gui_pause_serving_sent(int milliseconds);

// Messages of a window and its children (canvases, pages) can be seen first by a callback: it returns
// CALLBACK_DEFAULT to let the runtime go on, or the result for Windows.
constexpr intptr_t CALLBACK_DEFAULT = INTPTR_MIN;
using WindowCallback = intptr_t (*)(intptr_t window_handle, uint32_t message, uintptr_t wparam, intptr_t lparam);

// Key state at the moment of the call (GetAsyncKeyState): true while the key is held.
bool gui_key_held(int virtual_key);
