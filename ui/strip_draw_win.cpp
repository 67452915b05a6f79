// Painting the CPU and GPU temperature strips on their canvases from the strip pictures.
#include <windows.h>

#include "core/control_numbers.h"
#include "runtime/gui/canvas/canvas.h"
#include "runtime/gui/canvas/canvas_draw_win.h"
#include "runtime/gui/font/font.h"
#include "ui/graph_draw.h"
#include "ui/graph_draw_gdi_win.h"
#include "ui/history_strip.h"
#include "ui/shadowed_text_draw_win.h"
#include "ui/tab_redraw.h"

namespace {

constexpr uint32_t FRAME_COLOR = 0x808080;
constexpr int CAPTION_ALPHA = 32;
constexpr uint32_t CAPTION_COLOR = 0x000000;
constexpr uint32_t CAPTION_SHADOW = 0xFFFFFF;
constexpr int RANGE_TEXT_X = 10;
constexpr int CAPTION_Y = 1;

// The picture is planned before the canvas is opened, so the history lock is never taken while the
// canvas's picture is held (the main thread paints from it and may hold the history lock).
void strip_picture_paint(int canvas, const StripPicture& picture) {
    CanvasDraw draw(canvas);
    if (!draw) return;
    HDC dc = draw.dc();
    gdi_fill(dc, 1, 1, picture.band_width, picture.band_height, STRIP_EMPTY_COLOR);
    if (picture.blank) return;
    for (const StripRun& run : picture.runs)
        gdi_fill(dc, run.x, 1, run.width, picture.band_height, static_cast<uint32_t>(run.color));

    const intptr_t font = font_handle(FONT_STRIP);
    SelectObject(dc, font ? reinterpret_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    SIZE now_size{};
    GetTextExtentPoint32W(dc, picture.now_text.data(), static_cast<int>(picture.now_text.size()), &now_size);
    draw_shadowed_text(dc, strip_now_text_x(picture.band_width, now_size.cx), CAPTION_Y, CAPTION_ALPHA,
                       picture.now_text, CAPTION_COLOR, CAPTION_SHADOW);
    draw_shadowed_text(dc, RANGE_TEXT_X, CAPTION_Y, CAPTION_ALPHA, picture.range_text, CAPTION_COLOR, CAPTION_SHADOW);
}

}  // namespace

void cpu_temperature_strip_draw(int canvas, int core) {
    int width = 0;
    int height = 0;
    if (!canvas_pixel_size(canvas, &width, &height)) return;
    strip_picture_paint(canvas, cpu_temperature_strip_plan(width, height, core));
}

void strip_paint_gpu(int canvas, int gpu) {
    int width = 0;
    int height = 0;
    if (!canvas_pixel_size(canvas, &width, &height)) return;
    const std::optional<GpuChoice> choice = gpu_choice_of(gpu);
    GpuTabReading reading;
    const bool ready = choice && gpu_tab_reading(*choice, reading) && reading.history;
    static const HistoryList none;
    strip_picture_paint(canvas, temperature_strip_plan(ready ? *reading.history : none, width, height, ready, false,
                                                       reading.temperature_limit));
}

void strip_frame_paint(int canvas) {
    CanvasDraw draw(canvas);
    if (!draw) return;
    gdi_fill(draw.dc(), 0, 0, draw.width(), draw.height(), FRAME_COLOR);
    gdi_fill(draw.dc(), 1, 1, draw.width() - 2, draw.height() - 2, STRIP_EMPTY_COLOR);
}
