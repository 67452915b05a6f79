// What the compact window's cell logic needs of the window system; the Windows build installs the real
// window and canvas, tests install a recording fake.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ui/compact_layout.h"

// One cell's text at its place on the canvas (device pixels).
struct CompactPaint {
    int x = 0;
    int y = 0;
    std::wstring text;
    int32_t text_color = 0;
    int32_t back_color = 0;
};

struct CompactSurface {
    // Paints on the canvas in the compact font, the canvas first cleared to black when asked; false (nothing
    // drawn) when the window or its canvas does not exist or cannot be drawn on. Never waits for another thread.
    bool (*paint)(const std::vector<CompactPaint>& cells, bool clear) = nullptr;
    // Loads the compact font at a size in points.
    bool (*font_load)(int points) = nullptr;
    // The pixel width of COMPACT_CANVAS_CHARACTERS blanks and the pixel height of "W" in the compact font; false when
    // the canvas cannot be drawn on.
    bool (*font_measure)(int* blanks_width, int* glyph_height) = nullptr;
    // The window's outer position and inner size (96-DPI units); false when it does not exist. A minimised
    // window has no inner size.
    bool (*window_frame)(CompactFrame* frame) = nullptr;
    // Places the window (96-DPI units); without waiting for the main thread when called from a worker.
    void (*window_place)(const CompactFrame& frame) = nullptr;
    // Restores the window's own frame (true) or removes its caption and border (false), keeping its inner size.
    void (*window_caption_set)(bool caption) = nullptr;
    // Places the canvas (96-DPI units).
    void (*canvas_place)(const CompactCanvasPlace& place) = nullptr;
    // Reads the desktop's monitors and work area into the shared state.
    void (*desktop_refresh)() = nullptr;
    // The work area's left and top edges.
    void (*work_area_origin)(int* left, int* top) = nullptr;
    // Shows the two windows' positions on the Settings tab when that text exists.
    void (*positions_show)(std::wstring_view text) = nullptr;
    int dpi = 96;
};

// Installs the surface (start-up, main thread, before the workers start). Without one nothing is drawn.
void compact_surface_set(const CompactSurface& surface);
