// Canvases: controls that show an off-screen picture, so that what was drawn once stays until drawn over.
// Any thread may draw on them (canvas_draw_win.h); the control paints itself from the picture. They report
// clicks (EVENT_TYPE_LEFT_CLICK on release), double clicks, pointer entry, movement and leaving, and the
// wheel, with the pointer in device pixels in the event.
#pragma once

#include <cstdint>

#include "runtime/gui/gui.h"

enum CanvasFlags : int {
    CANVAS_BORDER = 0x1,
    CANVAS_KEYBOARD = 0x2,  // takes the keyboard focus when clicked
};

// Creates a canvas (96-DPI units); its picture has the control's size in pixels, filled with the colour
// (0x00BBGGRR) until something is drawn. Returns its number, 0 on failure. Main thread.
int canvas_create(int number, const GuiParent& parent, int x, int y, int width, int height, int flags,
                  int32_t color = 0);

// Moves and resizes the canvas (GUI_KEEP for what stays) and its picture, which keeps what it holds at the
// top left. Any thread; from a worker without waiting.
bool canvas_resize(int number, int x, int y, int width, int height);

// The picture's size in device pixels (what can be drawn on); false when there is no such canvas.
bool canvas_pixel_size(int number, int* width, int* height);

// Whether anything was drawn on the canvas yet. Its picture is made at the first drawing; until then the
// canvas shows its colour and holds no picture memory.
bool canvas_picture_made(int number);

// Whether the canvas's picture is smaller than the canvas: a picture of the canvas's whole size could not be
// made, so the canvas keeps the largest that could, at its top left, draws into that and shows its colour
// beyond it. Stays so until a resize makes a picture of the whole size.
bool canvas_picture_short(int number);
