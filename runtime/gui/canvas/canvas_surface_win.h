// Inside the windowing runtime: the off-screen picture behind a canvas.
#pragma once

#include <windows.h>

#include <cstdint>
#include <mutex>

// The largest picture a canvas makes: a canvas asked to be larger keeps a picture of its top left part.
inline constexpr int64_t CANVAS_PICTURE_MAX_BYTES = int64_t{256} << 20;

// What makes a canvas's blank 32-bit top-down picture in the colour, null when it cannot be made: a test puts
// its own in place to make pictures fail (while no canvas draws); null sets the usual one back.
using CanvasPictureMake = HBITMAP (*)(int width, int height, COLORREF color);
void canvas_picture_make_set(CanvasPictureMake make);

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
    int width = 0;  // the picture's pixels; the canvas's until the picture is made
    int height = 0;
    int wanted_width = 0;  // the canvas's pixels
    int wanted_height = 0;
    bool picture_short = false;  // the picture is smaller than the canvas: a larger one could not be made
    COLORREF fill = 0;
    bool tracking = false;  // the pointer is inside and WM_MOUSELEAVE is asked for
    UINT pressed = 0;       // the button pressed on the canvas, for the click on release

    CanvasSurface() = default;
    CanvasSurface(const CanvasSurface&) = delete;
    CanvasSurface& operator=(const CanvasSurface&) = delete;
    ~CanvasSurface();

    // Sets the size; a picture made already is made anew at it, keeping its contents at the top left. When a
    // picture of that size cannot be made, the largest that can be made is, down to the old one, which stays
    // when no larger can be made. False when the picture is smaller than asked. Lock held.
    bool resize(int new_width, int new_height);
    // Makes the picture, all in the fill colour, when there is none yet: at the canvas's size, or the largest
    // part of it that can be made. False when no picture at all can be made. Lock held.
    bool picture_ensure();

private:
    // The largest picture of at most the size asked that can be made (halving its longer side after each
    // failure, down to `floor` pixels); null when none. Its size goes to the arguments.
    HBITMAP picture_fitting(int& fit_width, int& fit_height, int64_t floor) const;
};
