// Drawing on a canvas from any thread: a scope that holds the canvas's picture while GDI draws on it.
#pragma once

#include <windows.h>

#include <memory>
#include <mutex>

struct CanvasSurface;

// While the object lives, dc() draws on the canvas's picture (device pixels); at its end the canvas is
// repainted. Between, call nothing that waits for the main thread. False when the canvas does not exist.
class CanvasDraw {
public:
    explicit CanvasDraw(int canvas);
    ~CanvasDraw();
    CanvasDraw(const CanvasDraw&) = delete;
    CanvasDraw& operator=(const CanvasDraw&) = delete;

    explicit operator bool() const { return dc_ != nullptr; }
    HDC dc() const { return dc_; }
    int width() const { return width_; }
    int height() const { return height_; }
    // The picture's pixels, to draw on in memory between GDI calls (GdiFlush first): 32 bits each (blue,
    // green, red, a fourth byte), the top row first, rows of width() x 4 bytes. Null when not available.
    void* pixels() const { return bits_; }

private:
    std::shared_ptr<CanvasSurface> surface_;
    std::unique_lock<std::recursive_mutex> hold_;
    HDC dc_ = nullptr;
    void* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    int saved_ = 0;
};
