// Canvases whose picture cannot be made at their whole size: they keep the largest picture that can be made,
// draw into it, show their colour beyond it and say so.
#include <windows.h>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "runtime/display_probe_win.h"
#include "runtime/gui/canvas/canvas.h"
#include "runtime/gui/canvas/canvas_draw_win.h"
#include "runtime/gui/canvas/canvas_surface_win.h"
#include "runtime/gui/control/control.h"
#include "runtime/gui/gui.h"
#include "runtime/gui/image/image_draw_win.h"
#include "runtime/gui/window/window.h"

namespace {

// Pictures of more than this many pixels cannot be made (-1: any can).
int64_t PixelLimit = -1;
std::vector<std::pair<int, int>> Asked;

HBITMAP limited_picture(int width, int height, COLORREF color) {
    Asked.emplace_back(width, height);
    if (PixelLimit >= 0 && int64_t{width} * height > PixelLimit) return nullptr;
    return image_blank_bitmap(width, height, color);
}

class CanvasShort : public ::testing::Test {
protected:
    void SetUp() override {
        PixelLimit = -1;
        Asked.clear();
        canvas_picture_make_set(limited_picture);
    }
    void TearDown() override { canvas_picture_make_set(nullptr); }
};

constexpr COLORREF FILL = 0x00FF00;
constexpr COLORREF RED = 0x0000FF;

// The first picture, made at the first drawing, and a resize of a picture that exists, each against a limit.
TEST_F(CanvasShort, APictureThatCannotBeMadeWholeIsTheLargestThatCan) {
    struct Case {
        const char* name;
        int first_width, first_height;  // the canvas's size at the first drawing
        int64_t first_limit;
        int width, height;  // then resized to this, 0: not resized
        int64_t limit;
        int picture_width, picture_height;  // the picture at the end; 0: none could be made
        bool short_picture;
    };
    const Case cases[] = {
        {"fits", 60, 40, -1, 0, 0, -1, 60, 40, false},
        {"first picture halved until it fits", 60, 400, 3000, 0, 0, -1, 60, 50, true},
        {"the longer side is halved", 400, 60, 3000, 0, 0, -1, 50, 60, true},
        {"no picture at all", 60, 40, 0, 0, 0, -1, 0, 0, false},
        {"grows as far as it can", 60, 40, -1, 60, 400, 6000, 60, 100, true},
        {"keeps the old one when nothing larger can be made", 60, 40, -1, 60, 400, 2400, 60, 40, true},
        {"a smaller canvas keeps a larger picture that cannot be replaced", 60, 40, -1, 30, 20, 0, 60, 40, false},
        {"shrinks as asked", 60, 40, -1, 30, 20, -1, 30, 20, false},
        {"a short picture grows whole once it can", 60, 400, 3000, 60, 400, -1, 60, 400, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CanvasSurface surface;
        surface.fill = FILL;
        ASSERT_TRUE(surface.resize(c.first_width, c.first_height));
        PixelLimit = c.first_limit;
        const bool made = surface.picture_ensure();
        if (made) SetPixelV(surface.dc, 5, 5, RED);
        if (c.width != 0) {
            PixelLimit = c.limit;
            EXPECT_EQ(surface.resize(c.width, c.height), !c.short_picture);
        }
        ASSERT_EQ(made, c.picture_width != 0);
        EXPECT_EQ(surface.bitmap != nullptr, made);
        if (!made) continue;
        EXPECT_EQ(surface.width, c.picture_width);
        EXPECT_EQ(surface.height, c.picture_height);
        EXPECT_EQ(surface.picture_short, c.short_picture);
        BITMAP shape{};
        ASSERT_EQ(GetObjectW(surface.bitmap, sizeof(shape), &shape), static_cast<int>(sizeof(shape)));
        EXPECT_EQ(shape.bmWidth, c.picture_width);
        EXPECT_EQ(shape.bmHeight, c.picture_height);
        // What was drawn stays; the rest of the picture is in the canvas's colour.
        EXPECT_EQ(GetPixel(surface.dc, 5, 5) & 0xFFFFFF, RED);
        EXPECT_EQ(GetPixel(surface.dc, c.picture_width - 1, c.picture_height - 1) & 0xFFFFFF, FILL);
    }
}

// A canvas asked for more than any picture may take never asks for more, whatever its size, and ends with a
// picture.
TEST_F(CanvasShort, AHugeCanvasAsksForNoMoreThanTheLargestPicture) {
    const std::pair<int, int> sizes[] = {{1000, 1'000'000}, {2'000'000'000, 3}, {2'000'000'000, 2'000'000'000}};
    for (const auto& [width, height] : sizes) {
        SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
        Asked.clear();
        PixelLimit = 500'000;
        CanvasSurface surface;
        ASSERT_TRUE(surface.resize(width, height));
        ASSERT_TRUE(surface.picture_ensure());
        ASSERT_FALSE(Asked.empty());
        for (const auto& [w, h] : Asked) {
            EXPECT_GT(w, 0);
            EXPECT_GT(h, 0);
            EXPECT_LE(int64_t{w} * h * 4, CANVAS_PICTURE_MAX_BYTES);
        }
        EXPECT_LE(int64_t{surface.width} * surface.height, PixelLimit);
        EXPECT_TRUE(surface.picture_short);
        EXPECT_LT(Asked.size(), 64u);
    }
}

// Through the control: a worker draws into what fits, the canvas paints it and its colour below, and says that
// its picture is short.
TEST_F(CanvasShort, ACanvasDrawsWhatFitsAndSaysSo) {
    ASSERT_TRUE(display_available()) << NO_DISPLAY_TEXT;
    ASSERT_TRUE(gui_init());
    constexpr int WINDOW = 510;
    constexpr int CANVAS = 610;
    ASSERT_TRUE(window_open(WINDOW, 40, 40, 320, 200, L"canvas test", WINDOW_CAPTION | WINDOW_INVISIBLE));
    ASSERT_EQ(canvas_create(CANVAS, gui_in_window(WINDOW), 0, 0, 60, 90, 0, static_cast<int32_t>(FILL)), CANVAS);
    PixelLimit = 60 * 45;
    int drawn_height = 0;
    std::thread worker([&] {
        CanvasDraw draw(CANVAS);
        if (!draw) return;
        drawn_height = draw.height();
        RECT all{0, 0, draw.width(), 90};  // as far as the canvas goes: GDI keeps to the picture
        HBRUSH red = CreateSolidBrush(RED);
        FillRect(draw.dc(), &all, red);
        DeleteObject(red);
    });
    worker.join();
    EXPECT_EQ(drawn_height, 45);
    EXPECT_TRUE(canvas_picture_short(CANVAS));
    int width = 0;
    int height = 0;
    ASSERT_TRUE(canvas_pixel_size(CANVAS, &width, &height));
    EXPECT_EQ(width, 60);
    EXPECT_EQ(height, 45);

    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP printed = CreateCompatibleBitmap(screen, 100, 100);
    SelectObject(dc, printed);
    SendMessageW(reinterpret_cast<HWND>(control_handle(CANVAS)), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc),
                 PRF_CLIENT);
    EXPECT_EQ(GetPixel(dc, 30, 40) & 0xFFFFFF, RED);
    EXPECT_EQ(GetPixel(dc, 30, 70) & 0xFFFFFF, FILL);
    DeleteDC(dc);
    DeleteObject(printed);
    ReleaseDC(nullptr, screen);

    // Once memory allows, the same size again gives the whole picture, keeping what was drawn.
    PixelLimit = -1;
    ASSERT_TRUE(canvas_resize(CANVAS, GUI_KEEP, GUI_KEEP, 60, 90));
    EXPECT_FALSE(canvas_picture_short(CANVAS));
    ASSERT_TRUE(canvas_pixel_size(CANVAS, &width, &height));
    EXPECT_EQ(height, 90);
    window_close(WINDOW);
    while (wait_window_event(0).kind != EVENT_NONE) {
    }
}

}  // namespace
