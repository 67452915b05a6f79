// Keyboard shortcuts of a window, delivered as EVENT_SHORTCUT only while that window is the active one.
#pragma once

#include "runtime/gui/shortcut/shortcut_table.h"

// Adds a shortcut (virtual-key code + SHORTCUT_SHIFT / SHORTCUT_CONTROL / SHORTCUT_ALT) with its event
// number to a window; a later entry for the same code replaces the earlier one.
void shortcut_add(int window, int code, int event);
void shortcut_remove(int window, int code);
