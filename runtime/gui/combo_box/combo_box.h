// Combo boxes (drop-down lists); they report EVENT_TYPE_CHANGE when the user picks an item.
// Item operations from a worker wait for the main thread: call them holding no lock.
#pragma once

#include <string>
#include <string_view>

#include "runtime/gui/gui.h"

enum ComboBoxFlags : int {
    COMBO_BOX_EDITABLE = 0x1,  // the user may also type a text
};

// `height` is that of the closed box; the list drops down below it.
int combo_box_create(int number, const GuiParent& parent, int x, int y, int width, int height, int flags);
// Inserts an item at the position (-1 at the end); returns its index, -1 on failure.
int combo_box_item_add(int number, int position, std::wstring_view text);
void combo_box_clear(int number);
int combo_box_count(int number);
std::wstring combo_box_item(int number, int index);
// The selected item; -1 when none. Another thread gets the selection the main thread last saw, without
// waiting for it: every change of the selection passes through the main thread.
int combo_box_selected(int number);
// Selects an item (-1 none) without reporting a change.
void combo_box_select(int number, int index);
