// Push buttons; they report EVENT_TYPE_LEFT_CLICK.
#pragma once

#include <string_view>

#include "runtime/gui/gui.h"

enum ButtonFlags : int {
    BUTTON_DEFAULT = 0x1,  // the window's default button
    BUTTON_TOGGLE = 0x2,   // stays pressed until clicked again
};

int button_create(int number, const GuiParent& parent, int x, int y, int width, int height, std::wstring_view caption,
                  int flags);
// A toggle button's state: 1 pressed, 0 not.
int button_state(int number);
void button_state_set(int number, int pressed);
