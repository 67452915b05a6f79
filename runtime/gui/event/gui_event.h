// The events of the windowing layer and the one queue the event loop waits on.
#pragma once

#include <cstddef>

enum GuiEventKind : int {
    EVENT_NONE = 0,         // the wait timed out
    EVENT_CONTROL,          // control: its number, type: what happened
    EVENT_SHORTCUT,         // number: the shortcut's event number, window: the active window it fired on
    EVENT_CLOSE_WINDOW,     // the close box or Alt+F4; the window stays until the program closes it
    EVENT_MINIMIZE_WINDOW,  // the minimise box; the program decides whether to minimise or hide
    EVENT_MAXIMIZE_WINDOW,  // the maximise box; the program decides what it means
    EVENT_MOVE_WINDOW,
    EVENT_SIZE_WINDOW,
    EVENT_TIMER,  // window and number: the timer of that window
    EVENT_TRAY,   // control: the tray icon's number, window: its window, type: the click
};

// Types of control and tray events. Canvases report clicks, double clicks, pointer and wheel; buttons,
// check boxes and links report left clicks; combo boxes, text fields, track bars, panels and list
// selections report changes.
enum GuiEventType : int {
    EVENT_TYPE_LEFT_CLICK = 0,  // the left button released over the control it was pressed on
    EVENT_TYPE_RIGHT_CLICK = 1,
    EVENT_TYPE_LEFT_DOUBLE_CLICK = 2,
    EVENT_TYPE_RIGHT_DOUBLE_CLICK = 3,
    EVENT_TYPE_CHANGE = 768,
    EVENT_TYPE_MOUSE_ENTER = 65537,
    EVENT_TYPE_MOUSE_LEAVE = 65538,
    EVENT_TYPE_MOUSE_MOVE = 65539,
    EVENT_TYPE_MOUSE_WHEEL = 65546,
};

struct GuiEvent {
    GuiEventKind kind = EVENT_NONE;
    int window = -1;   // window number
    int control = -1;  // control or tray icon number
    int type = 0;      // GuiEventType
    int number = 0;    // shortcut event or timer number
    int x = 0;         // pointer on the control, device pixels (canvas events)
    int y = 0;
    int wheel = 0;  // wheel notches, positive away from the user
};

// Adds an event at the end of the queue. Any thread. A move or size of the same window, and a pointer
// movement over the same control, replace the same event still waiting at the end, so a drag does not
// flood the queue. Returns false when the queue is full (the event is dropped).
bool gui_event_post(const GuiEvent& event);

// Takes the oldest event; false when none waits.
bool gui_event_take(GuiEvent* event);

std::size_t gui_event_count();
void gui_event_clear();

// Called after an event is posted from another thread than the one that waits, so that its wait ends.
using GuiEventWaker = void (*)();
void gui_event_set_waker(GuiEventWaker waker);

constexpr std::size_t GUI_EVENT_QUEUE_LIMIT = 4096;
