// The window-size preview's arithmetic: the size two size steps give, the texts of the size box, and the
// places of the picture's parts.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "ui/main_layout.h"

// What the preview shows for the two track-bar positions (0..15).
struct ResizePreviewSize {
    MainWindowSize inner;        // the main window's inner size, units (the size rule of the main window)
    std::wstring size_text;      // inner width " x " outer height (inner height + caption units)
    std::wstring width_percent;  // "40%" .. "100%"
    std::wstring height_percent;
};
ResizePreviewSize resize_preview_size(std::wstring_view command_line, const DesktopFacts& desktop, int width_step,
                                      int height_step);

// The size box's fixed lines: "Max Size" CRLF, the size at 100 %, CRLF CRLF, "Min Size" CRLF, the size at
// 40 %, CRLF CRLF (words already translated). The size words of the command line are not applied.
std::wstring resize_info_limits(const DesktopFacts& desktop, std::wstring_view max_word, std::wstring_view min_word);

// The size box's text after an update, or nothing when it stays. `state` is RESIZE_INFO_STATE, changed
// when the text changes: the restart notice once the chosen size leaves the window's, the active size
// words (or nothing) once it comes back.
struct ResizeInfoWords {
    std::wstring_view restart;  // "Program Restart Required", translated
    std::wstring_view active;   // "Active", translated
};
bool resize_info_update(std::wstring_view limits, std::wstring_view command_line, bool size_is_current,
                        const ResizeInfoWords& words, int* state, std::wstring* text);

// A box of the picture in picture pixels, and its colour (0x00BBGGRR).
struct PreviewBox {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int32_t color = 0;
    int corner = 0;  // corner radius; 0 square
    friend bool operator==(const PreviewBox&, const PreviewBox&) = default;
};
constexpr int32_t PREVIEW_TEXT_COLOR = 0xB469FF;

// The picture: its size (192 x 108 desktop units at the scale), and its boxes in drawing order: desktop,
// task bar, four icons, the window's frame and the window. `inner` is the chosen inner size in units;
// the monitor is that of `desktop`.
struct PreviewPicture {
    int width = 0;
    int height = 0;
    std::array<PreviewBox, 8> boxes;
};
PreviewPicture preview_picture(float scale, const DesktopFacts& desktop, const MainWindowSize& inner);
