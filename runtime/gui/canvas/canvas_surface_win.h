// Inside the windowing runtime: the off-screen picture behind a canvas.
#pragma once

#include <windows.h>

#include <mutex>

// Drawing and painting take the lock; nothing that waits for another thread happens while it is held.
struct CanvasSurface {
    std::recursive_mutex lock;
    HWND hwnd = nullptr;
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ original_bitmap = nullptr;
    int width = 0;  // pixels
    int height = 0;
    COLORREF fill = 0;
    bool tracking = false;  // the pointer is inside and WM_MOUSELEAVE is asked for
    UINT pressed = 0;       // the button pressed on the canvas, for the click on release

    CanvasSurface() = default;
    CanvasSurface(const CanvasSurface&) = delete;
    CanvasSurface& operator=(const CanvasSurface&) = delete;
    ~CanvasSurface();

    // (Re)makes the picture at the size, keeping the old one's contents at the top left. Lock held.
    bool resize(int new_width, int new_height);
};
