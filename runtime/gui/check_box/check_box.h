// Check boxes with an optional third state; they report EVENT_TYPE_LEFT_CLICK.
#pragma once

#include <string_view>

#include "runtime/gui/gui.h"

enum CheckBoxFlags : int {
    CHECK_BOX_THREE_STATE = 0x1,  // can show the third (indeterminate) state
};

int check_box_create(int number, const GuiParent& parent, int x, int y, int width, int height,
                     std::wstring_view caption, int flags);
// 1 ticked, 0 not, -1 the third state.
int check_box_state(int number);
void check_box_state_set(int number, int state);
