// Painting a graph control on its canvas with GDI, from a copy of its samples and the planned paint steps.
#include <windows.h>

#include <mutex>

#include "core/shared_tables.h"
#include "runtime/gui/canvas/canvas.h"
#include "runtime/gui/canvas/canvas_draw_win.h"
#include "ui/graph_descriptor.h"
#include "ui/graph_draw.h"
#include "ui/graph_draw_color.h"
#include "ui/graph_draw_gdi_win.h"
#include "ui/graph_geometry.h"

namespace {

void paint_step(HDC dc, const GraphPaint& step, BlendPixel& blend) {
    switch (step.kind) {
        case GraphPaintKind::FILL: gdi_fill(dc, step.x, step.y, step.width, step.height, step.color); break;
        case GraphPaintKind::LINE: gdi_line(dc, step.x, step.y, step.x2, step.y2, step.color); break;
        case GraphPaintKind::TEXT_BOX:
            gdi_fill(dc, step.x, step.y, step.width, step.height, step.color);
            SetBkMode(dc, OPAQUE);
            SetBkColor(dc, step.color & 0xFFFFFF);
            SetTextColor(dc, step.text_color & 0xFFFFFF);
            TextOutW(dc, step.text_x, step.text_y, step.text.data(), static_cast<int>(step.text.size()));
            break;
        case GraphPaintKind::BLEND_COLUMN:
            blend.blend(dc, step.x, step.y, 1, step.height, step.color, step.alpha);
            break;
        case GraphPaintKind::PIXEL: SetPixelV(dc, step.x, step.y, step.color & 0xFFFFFF); break;
    }
}

}  // namespace

bool graph_draw(int graph, int alpha, std::wstring_view title, std::wstring_view value, std::wstring_view subtitle,
                std::wstring_view footer) {
    const GraphDescriptor* descriptor = graph_descriptor(graph);
    if (!descriptor) return false;
    const int canvas = descriptor->canvas > 0 ? static_cast<int>(descriptor->canvas) : graph;
    GraphDrawTexts texts;
    texts.unit = graph_unit(graph);
    texts.alpha = alpha;
    texts.title = title;
    texts.value = value;
    texts.subtitle = subtitle;
    texts.footer = footer;

    std::lock_guard drawing(GraphDrawMutex);
    int width = 0;
    int height = 0;
    if (!canvas_pixel_size(canvas, &width, &height)) return false;
    // A copy taken under the samples' lock: the painting below holds no lock that a sampler waits for.
    GraphSnapshot snapshot;
    if (!graph_snapshot(graph, width, snapshot)) return false;

    CanvasDraw draw(canvas);
    if (!draw) return false;
    HDC dc = draw.dc();
    const auto font = static_cast<intptr_t>(snapshot.attributes[GRAPH_ATTR_FONT]);
    SelectObject(dc, font ? reinterpret_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    const TextMeasure measure = [dc](std::wstring_view text) {
        SIZE size{};
        GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size);
        return TextExtent{static_cast<double>(size.cx), static_cast<double>(size.cy)};
    };
    std::vector<GraphPaint> plan = graph_plan(snapshot, texts, draw.width(), draw.height(), measure);
    graph_plan_text_colors_mend(plan);
    const PixelRows pixels{static_cast<uint8_t*>(draw.pixels()), draw.width(), draw.height(), draw.width() * 4};
    BlendPixel blend(dc, pixels);
    bool blending = false;
    for (const GraphPaint& step : plan) {
        const bool blend_step = step.kind == GraphPaintKind::BLEND_COLUMN;
        // Mixing writes the picture's memory directly: what GDI may still hold queued goes first.
        if (blend_step && !blending) GdiFlush();
        blending = blend_step;
        paint_step(dc, step, blend);
    }
    return true;
}
