// The window-size preview's sizes, texts and picture layout.
#include "ui/resize_preview.h"

#include <algorithm>
#include <cmath>

#include "runtime/gui/dpi/dpi_units.h"

namespace {

constexpr int DESKTOP_WIDTH = 192;  // the picture's desktop, in desktop units
constexpr int DESKTOP_HEIGHT = 108;

bool contains(std::wstring_view text, std::wstring_view word) { return text.find(word) != std::wstring_view::npos; }

int caption_units(const DesktopFacts& desktop) { return dpi_unscale(std::max(desktop.caption_height, 0), desktop.dpi); }

std::wstring size_text(const MainWindowSize& inner, const DesktopFacts& desktop) {
    return std::to_wstring(inner.width) + L" x " + std::to_wstring(inner.height + caption_units(desktop));
}

std::wstring upper(std::wstring_view text) {
    std::wstring result(text);
    for (wchar_t& c : result) {
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    }
    return result;
}

int rounded(double value) { return static_cast<int>(std::lround(value)); }

}  // namespace

ResizePreviewSize resize_preview_size(std::wstring_view command_line, const DesktopFacts& desktop, int width_step,
                                      int height_step) {
    ResizePreviewSize result;
    result.inner = main_window_size(command_line, desktop, width_step, height_step);
    result.size_text = size_text(result.inner, desktop);
    result.width_percent = std::to_wstring(4 * std::clamp(width_step, 0, MAIN_SIZE_STEPS) + 40) + L"%";
    result.height_percent = std::to_wstring(4 * std::clamp(height_step, 0, MAIN_SIZE_STEPS) + 40) + L"%";
    return result;
}

std::wstring resize_info_limits(const DesktopFacts& desktop, std::wstring_view max_word, std::wstring_view min_word) {
    const MainWindowSize largest = main_window_size(L"", desktop, MAIN_SIZE_STEPS, MAIN_SIZE_STEPS);
    const MainWindowSize smallest = main_window_size(L"", desktop, 0, 0);
    return std::wstring(max_word) + L"\r\n" + size_text(largest, desktop) + L"\r\n\r\n" + std::wstring(min_word) +
           L"\r\n" + size_text(smallest, desktop) + L"\r\n\r\n";
}

bool resize_info_update(std::wstring_view limits, std::wstring_view command_line, bool size_is_current,
                        const ResizeInfoWords& words, int* state, std::wstring* text) {
    if (!size_is_current) {
        if (*state != 1) return false;
        *text = std::wstring(limits) + std::wstring(words.restart);
        *state = 0;
        return true;
    }
    if (*state != 0) return false;
    std::wstring mode;
    if (contains(command_line, L"minsize")) {
        mode = L"minsize";
    } else if (contains(command_line, L"maxsize")) {
        mode = L"maxsize";
    } else {
        if (contains(command_line, L"maxheight")) mode = L"maxheight ";
        if (contains(command_line, L"maxwidth")) mode += L"maxwidth";
    }
    *text = std::wstring(limits);
    if (!mode.empty()) *text += upper(mode) + L"\r\n" + std::wstring(words.active);
    *state = 1;
    return true;
}

PreviewPicture preview_picture(float scale, const DesktopFacts& desktop, const MainWindowSize& inner) {
    PreviewPicture picture;
    const double s = scale;
    picture.width = rounded(DESKTOP_WIDTH * s);
    picture.height = rounded(DESKTOP_HEIGHT * s);
    const int w = picture.width;
    const int h = picture.height;
    const double monitor_width = std::max(dpi_unscale(std::max(desktop.monitor_width, 1), desktop.dpi), 1);
    const double monitor_height = std::max(dpi_unscale(std::max(desktop.monitor_height, 1), desktop.dpi), 1);
    const double pw = inner.width / (monitor_width / DESKTOP_WIDTH);
    const double ph = inner.height / (monitor_height / DESKTOP_HEIGHT);
    const double left = w / 2 - s * pw / 2;
    const double top = h / 2 - s * ph / 2;
    picture.boxes = {{
        {0, 0, w, h, 0xE08B1B, 0},
        {0, h - 10, w, 10, 0xB9B9B9, 0},
        {5, 5, 12, 12, 0x80FFFF, 2},
        {5, 25, 12, 12, 0xE6E6E6, 2},
        {5, 45, 12, 12, 0x00FF00, 2},
        {5, 65, 12, 12, 0xFFCC99, 2},
        {rounded(left - 1), rounded(top - 1), rounded(s * pw + 2), rounded(s * ph + 2), 0x000000, 0},
        {rounded(left), rounded(top), rounded(s * pw), rounded(s * ph), 0xFFFFFF, 0},
    }};
    return picture;
}
