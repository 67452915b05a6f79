// The compact window on Windows: its set-up and the surface through which the cell logic draws and fits.
#include <windows.h>

#include "core/control_numbers.h"
#include "core/shared_state.h"
#include "core/system_query.h"
#include "runtime/gui/canvas/canvas.h"
#include "runtime/gui/canvas/canvas_draw_win.h"
#include "runtime/gui/control/control.h"
#include "runtime/gui/dpi/dpi_win.h"
#include "runtime/gui/font/font.h"
#include "runtime/gui/window/window.h"
#include "ui/compact_window.h"
#include "ui/compact_window_surface.h"

namespace {

// The window style at the end of the set-up; the compact mode removes the caption from it.
int64_t compact_window_style = 0;

bool surface_paint(const std::vector<CompactPaint>& cells, bool clear) {
    if (!window_exists(WIN_COMPACT)) return false;
    CanvasDraw draw(CANVAS_COMPACT);
    if (!draw) return false;
    HDC dc = draw.dc();
    if (clear) {
        RECT all{0, 0, draw.width(), draw.height()};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    if (HFONT font = reinterpret_cast<HFONT>(font_handle(FONT_COMPACT))) SelectObject(dc, font);
    SetBkMode(dc, OPAQUE);
    for (const CompactPaint& cell : cells) {
        SetTextColor(dc, static_cast<COLORREF>(cell.text_color & 0xFFFFFF));
        SetBkColor(dc, static_cast<COLORREF>(cell.back_color & 0xFFFFFF));
        TextOutW(dc, cell.x, cell.y, cell.text.c_str(), static_cast<int>(cell.text.size()));
    }
    return true;
}

bool surface_font_load(int points) {
    if (!font_load(FONT_COMPACT, L"Lucida Console", points, FONT_STYLE_PROOF | FONT_STYLE_FIXED_PITCH)) return false;
    gui_default_font_set(FONT_COMPACT);
    return true;
}

bool surface_font_measure(int* blanks_width, int* glyph_height) {
    CanvasDraw draw(CANVAS_COMPACT);
    if (!draw) return false;
    if (HFONT font = reinterpret_cast<HFONT>(font_handle(FONT_COMPACT))) SelectObject(draw.dc(), font);
    const std::wstring blanks(60, L' ');
    SIZE blank_size{};
    SIZE glyph_size{};
    if (!GetTextExtentPoint32W(draw.dc(), blanks.c_str(), 60, &blank_size) ||
        !GetTextExtentPoint32W(draw.dc(), L"W", 1, &glyph_size)) {
        return false;
    }
    *blanks_width = blank_size.cx;
    *glyph_height = glyph_size.cy;
    return true;
}

bool surface_window_frame(CompactFrame* frame) {
    if (!window_exists(WIN_COMPACT)) return false;
    window_outer_position(WIN_COMPACT, &frame->x, &frame->y);
    window_inner_size(WIN_COMPACT, &frame->inner_width, &frame->inner_height);
    if (window_state(WIN_COMPACT) == WINDOW_STATE_MINIMIZED) frame->inner_width = frame->inner_height = 0;
    return true;
}

void surface_window_place(const CompactFrame& frame) {
    window_move(WIN_COMPACT, frame.x, frame.y, frame.inner_width, frame.inner_height);
}

void surface_window_caption_set(bool caption) {
    window_style_set(WIN_COMPACT,
                     caption ? compact_window_style : (compact_window_style & ~static_cast<int64_t>(WS_CAPTION)));
}

void surface_canvas_place(const CompactCanvasPlace& place) {
    canvas_resize(CANVAS_COMPACT, place.x, place.y, place.width, place.height);
}

void surface_desktop_refresh() { read_desktop_metrics(); }

void surface_work_area_origin(int* left, int* top) {
    *left = work_area_left();
    *top = work_area_top();
}

void surface_positions_show(std::wstring_view text) {
    if (control_exists(TEXT_POSITIONS_VALUES)) control_text_set(TEXT_POSITIONS_VALUES, text);
}

}  // namespace

void compact_window_setup(int font_points) {
    CompactSurface surface;
    surface.paint = surface_paint;
    surface.font_load = surface_font_load;
    surface.font_measure = surface_font_measure;
    surface.window_frame = surface_window_frame;
    surface.window_place = surface_window_place;
    surface.window_caption_set = surface_window_caption_set;
    surface.canvas_place = surface_canvas_place;
    surface.desktop_refresh = surface_desktop_refresh;
    surface.work_area_origin = surface_work_area_origin;
    surface.positions_show = surface_positions_show;
    surface.dpi = gui_dpi();
    compact_surface_set(surface);

    surface_font_load(font_points);
    window_color_set(WIN_COMPACT, 0x000000);
    int alpha = 255;
    if (SharedInts[OPT_TRANSPARENT].load() == 1) {
        SharedInts[OPACITY_PERCENT] = 10 * SharedInts[OPACITY_STEP].load();
        alpha = SharedInts[OPACITY_PERCENT].load() * 255 / 100;
    }
    window_alpha_set(WIN_COMPACT, alpha);
    if (SharedInts[OPT_ALWAYS_ON_TOP].load() == 1) window_topmost_set(WIN_COMPACT, true);
    int width = 0;
    int height = 0;
    window_inner_size(WIN_COMPACT, &width, &height);
    canvas_create(CANVAS_COMPACT, gui_in_window(WIN_COMPACT), 1, 1, width, height, 0, 0x000000);
    compact_font_measure();  // also places the canvas for the measured font
    compact_window_style = window_style(WIN_COMPACT);
    compact_cells_setup();
}
