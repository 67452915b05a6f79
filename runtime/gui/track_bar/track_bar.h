// Track bars (sliders); they report EVENT_TYPE_CHANGE while the user moves them.
#pragma once

#include "runtime/gui/gui.h"

enum TrackBarFlags : int {
    TRACK_BAR_TICKS = 0x1,
    TRACK_BAR_VERTICAL = 0x2,  // the value grows upwards
};

int track_bar_create(int number, const GuiParent& parent, int x, int y, int width, int height, int minimum, int maximum,
                     int flags);
// The position; -1 when there is no such control.
int track_bar_value(int number);
void track_bar_value_set(int number, int value);
