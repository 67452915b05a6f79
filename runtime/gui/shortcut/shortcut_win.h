// Inside the windowing runtime: the message pump's shortcut check.
#pragma once

#include <windows.h>

// True when the message is a key press that is a shortcut of the active window; the event is queued.
bool shortcut_translate(const MSG& message);
