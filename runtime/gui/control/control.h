// Operations every numbered control has: existence, freeing, text, geometry, state, colours, font, focus,
// tooltip and a value of the user's.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/gui/gui.h"

bool control_exists(int number);
// Frees the control and its window. Main thread.
void control_free(int number);
// The HWND as an integer; 0 when there is none.
intptr_t control_handle(int number);
// The window the control lives in; -1 when there is no such control.
int control_window(int number);

// Any thread without waiting: from a worker the text is applied by the main thread, and reads back at once.
void control_text_set(int number, std::wstring_view text);
// The control's text: read from the control on the main thread (what the user typed), else the last set.
std::wstring control_text(int number);

// Geometry in 96-DPI units relative to the parent; GUI_KEEP for what stays. Any thread; a worker does not wait.
void control_move(int number, int x, int y, int width, int height);
bool control_geometry(int number, int* x, int* y, int* width, int* height);

void control_enable(int number, bool enabled);
bool control_enabled(int number);
void control_visible_set(int number, bool visible);
bool control_visible(int number);

// Colours 0x00BBGGRR, -1 for the system's (text labels, inputs, check boxes, links, list views).
void control_colors_set(int number, int32_t text_color, int32_t back_color);
void control_font_set(int number, int font);
void control_focus(int number);
void control_tooltip_set(int number, std::wstring_view text);

void control_data_set(int number, int64_t data);
int64_t control_data(int number);
