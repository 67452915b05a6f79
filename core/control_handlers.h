// The handlers of control events and of shortcut events, by control number: the tables the event loop
// dispatches through. The pages register their handlers here; the event loop only looks them up.
#pragma once

#include "runtime/gui/event/gui_event.h"

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
