// Inside the windowing runtime: the off-screen picture behind a canvas.
#pragma once

#include <windows.h>

#include <mutex>

// Drawing and painting take the lock; nothing that waits for another thread happens while it is held. The
// picture is made when something is first drawn: until then the canvas paints its fill colour, and a canvas
// of a page never shown costs no picture memory.
struct CanvasSurface {
    std::recursive_mutex lock;
    HWND hwnd = nullptr;
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    void* bits = nullptr;  // the picture's pixels: 32-bit, top row first, rows of width x 4 bytes
    HGDIOBJ original_bitmap = nullptr;
    int width = 0;  // pixels, also before the picture is made
    int height = 0;
    COLORREF fill = 0;
    bool tracking = false;  // the pointer is inside and WM_MOUSELEAVE is asked for
    UINT pressed = 0;       // the button pressed on the canvas, for the click on release

    CanvasSurface() = default;
    CanvasSurface(const CanvasSurface&) = delete;
    CanvasSurface& operator=(const CanvasSurface&) = delete;
    ~CanvasSurface();

    // Sets the size; a picture made already is made anew at it, keeping its contents at the top left. Lock held.
    bool resize(int new_width, int new_height);
    // Makes the picture, all in the fill colour, when there is none yet; false when it cannot be made. Lock held.
    bool picture_ensure();
};
