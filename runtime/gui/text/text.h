// Text labels and text input fields.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/gui/gui.h"

enum TextFlags : int {
    TEXT_CENTER = 0x1,
    TEXT_RIGHT = 0x2,
    TEXT_BORDER = 0x4,
    TEXT_CENTER_VERTICAL = 0x8,  // one line, centred between top and bottom
    TEXT_NOTIFY = 0x10,          // reports left clicks
};

enum InputFlags : int {
    INPUT_NUMBER = 0x1,  // digits only
    INPUT_READ_ONLY = 0x2,
    INPUT_MULTILINE = 0x4,
    INPUT_PASSWORD = 0x8,
};

// A label (96-DPI units). Returns its number, 0 on failure. Main thread.
int text_label_create(int number, const GuiParent& parent, int x, int y, int width, int height, std::wstring_view text,
                      int flags);

// A text field; reports EVENT_TYPE_CHANGE when its text changes. Returns its number, 0 on failure.
int text_input_create(int number, const GuiParent& parent, int x, int y, int width, int height, std::wstring_view text,
                      int flags);

// The most characters a text field takes.
void text_input_limit(int number, int characters);
// A grey hint shown while the field is empty (Windows' cue banner).
void text_input_cue(int number, std::wstring_view cue);

// An IPv4 address field (four octet boxes); reports EVENT_TYPE_CHANGE when its address changes, and its
// text reads "a.b.c.d" ("0.0.0.0" while empty). Returns its number, 0 on failure. Main thread.
int ip_input_create(int number, const GuiParent& parent, int x, int y, int width, int height);
// The address as a number whose lowest byte is the first octet (1.2.3.4 is 0x04030201); 0 while the field
// is empty or does not exist. Main thread.
uint32_t ip_input_address(int number);
void ip_input_address_set(int number, uint32_t address);

// A frame with a caption around other controls (a group box); it reports nothing and is drawn behind the
// controls created after it. Returns its number, 0 on failure.
int text_frame_create(int number, const GuiParent& parent, int x, int y, int width, int height,
                      std::wstring_view caption);

// A picture control that shows a numbered image; it reports nothing. Returns its number, 0 on failure.
int picture_create(int number, const GuiParent& parent, int x, int y, int width, int height);
// Shows a copy of the image stretched to the control's size; the copy shown before is freed, so repeated
// updates keep the process's count of GDI objects. False when the control or the image is missing.
bool picture_image_show(int number, int image);
