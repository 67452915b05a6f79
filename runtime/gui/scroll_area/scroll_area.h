// Scroll areas: a window-sized view with both scroll bars onto an inner area that may be larger. Controls
// made with gui_in_container(number) lie on the inner area and move with it.
#pragma once

#include "runtime/gui/gui.h"

// Creates the area (96-DPI units, a thin sunken border) with its inner size and the distance one click on
// a scroll-bar arrow moves. Returns its number, 0 on failure. Main thread.
int scroll_area_create(int number, const GuiParent& parent, int x, int y, int width, int height, int inner_width,
                       int inner_height, int step);

// Any thread, without waiting for the main thread; applied by the main thread. GUI_KEEP keeps a value.
void scroll_area_inner_size_set(int number, int inner_width, int inner_height);
void scroll_area_step_set(int number, int step);
// Scrolls so that the inner point (x, y) in units is at the view's top left, as far as the inner area
// reaches (a large value: the end).
void scroll_area_scroll_to(int number, int x, int y);

// The inner size and the scroll position, in units; false when there is no such area.
bool scroll_area_inner_size(int number, int* inner_width, int* inner_height);
bool scroll_area_position(int number, int* x, int* y);
// The distance one arrow click moves, in units; 0 when there is no such area.
int scroll_area_step(int number);
