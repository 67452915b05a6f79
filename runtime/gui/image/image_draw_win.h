// Drawing on a numbered image, and drawing an image onto a device context (Windows).
#pragma once

#include <windows.h>

#include <memory>
#include <mutex>

struct ImageRecord;

// While the object lives, dc() draws on the picture of an image made with image_create.
class ImageDraw {
public:
    explicit ImageDraw(int image);
    ~ImageDraw();
    ImageDraw(const ImageDraw&) = delete;
    ImageDraw& operator=(const ImageDraw&) = delete;

    explicit operator bool() const { return dc_ != nullptr; }
    HDC dc() const { return dc_; }

private:
    std::shared_ptr<ImageRecord> image_;
    std::unique_lock<std::mutex> hold_;
    HDC dc_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

// A new top-down 32-bit picture of the size, filled with the colour; nullptr when it cannot be made.
HBITMAP image_blank_bitmap(int width, int height, COLORREF color);

// Draws the image at (x, y) in device pixels. False when there is no such image.
bool image_draw_to(HDC target, int image, int x, int y);

// An icon of the image for tray icons and window icons; owned by the image (valid until it is replaced,
// freed, or drawn on again). Nullptr when there is none.
HICON image_icon(int image);
