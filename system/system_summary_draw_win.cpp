// Draws the System summary's three lines on the System tab's header canvas, right of the logo.
#include <windows.h>

#include <array>
#include <string>

#include "core/control_numbers.h"
#include "runtime/gui/canvas/canvas_draw_win.h"
#include "runtime/gui/dpi/dpi_win.h"
#include "runtime/gui/font/font.h"
#include "system/system_summary_win.h"

namespace {

constexpr int SUMMARY_LEFT_UNITS = 164;  // the logo, name and version are drawn left of this
constexpr COLORREF SUMMARY_BACK = 0xFFFFFF;
constexpr COLORREF SUMMARY_TEXT = 0x000000;

}  // namespace

bool system_summary_draw(const std::array<std::wstring, 3>& lines) {
    CanvasDraw draw(CANVAS_SYSTEM_HEADER);
    if (!draw) return false;
    const HDC dc = draw.dc();
    const int left = gui_scale(SUMMARY_LEFT_UNITS);
    const RECT box{left, 2, draw.width() - 6, draw.height() - 2};
    if (box.right <= box.left || box.bottom <= box.top) return true;  // no room at this size
    if (const HBRUSH white = CreateSolidBrush(SUMMARY_BACK)) {
        FillRect(dc, &box, white);
        DeleteObject(white);
    }
    const auto font = reinterpret_cast<HFONT>(font_handle(FONT_CUE));
    const HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
    SIZE sample{};
    GetTextExtentPoint32W(dc, L"Sotrix", 6, &sample);
    const int line_height = sample.cy + 2;
    const int top = (draw.height() - 3 * line_height) / 2;
    SetTextColor(dc, SUMMARY_TEXT);
    SetBkColor(dc, SUMMARY_BACK);
    SetBkMode(dc, OPAQUE);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        TextOutW(dc, left + 6, top + static_cast<int>(i) * line_height, lines[i].c_str(),
                 static_cast<int>(lines[i].size()));
    }
    if (previous) SelectObject(dc, previous);
    return true;
}
