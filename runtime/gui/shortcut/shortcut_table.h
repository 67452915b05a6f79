// Keyboard shortcuts per window: a key code with modifier bits mapped to an event number.
#pragma once

// Modifier bits added to a virtual-key code.
constexpr int SHORTCUT_SHIFT = 0x10000;
constexpr int SHORTCUT_CONTROL = 0x20000;
constexpr int SHORTCUT_ALT = 0x40000;

// The shortcut code of a key press.
int shortcut_code(int virtual_key, bool shift, bool control, bool alt);

// Adds a shortcut to a window's table; a later entry for the same code replaces the earlier one.
void shortcut_table_add(int window, int code, int event);
bool shortcut_table_remove(int window, int code);
void shortcut_table_clear(int window);

// The event number of a code on a window; -1 when the window has no such shortcut.
int shortcut_table_find(int window, int code);
