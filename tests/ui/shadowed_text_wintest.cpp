// A shadowed caption blends its backdrop into what the canvas held.
#include <windows.h>

#include <gtest/gtest.h>

#include "ui/shadowed_text_draw_win.h"

namespace {

TEST(ShadowedTextWindows, BackdropIsBlendedAndDensestInTheMiddle) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = 80;
    info.bmiHeader.biHeight = -40;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(bitmap, nullptr);
    SelectObject(dc, bitmap);
    auto* pixels = static_cast<uint32_t*>(bits);
    for (int i = 0; i < 80 * 40; ++i) pixels[i] = 0xFFFFFF;  // white canvas

    draw_shadowed_text(dc, 20, 1, 128, L"", 0x000000, 0x000000);
    GdiFlush();
    auto red = [&](int x, int y) { return static_cast<int>((pixels[y * 80 + x] >> 16) & 0xFF); };
    // Empty text: boxes 2, 4 and 6 pixels wide around x = 20; the middle lies under all three.
    const int middle = red(20, 20);
    const int outer = red(17, 20);  // under the widest box only
    const int outside = red(40, 20);
    EXPECT_EQ(outside, 255);
    EXPECT_LT(outer, 255);
    EXPECT_LT(middle, outer);
    EXPECT_EQ(red(20, 39), 255);  // below the boxes' bottom at H - 3

    DeleteDC(dc);
    DeleteObject(bitmap);
}

}  // namespace
