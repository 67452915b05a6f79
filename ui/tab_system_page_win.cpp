// The System tab: the header with the logo, four graphs over the battery list, and the memory, processor and
// event lists in the right-hand column.
#include <windows.h>

#include <cmath>
#include <string>

#include "core/control_numbers.h"
#include "core/shared_state.h"
#include "core/version.h"
#include "runtime/gui/canvas/canvas.h"
#include "runtime/gui/canvas/canvas_draw_win.h"
#include "runtime/gui/dpi/dpi_win.h"
#include "runtime/gui/font/font.h"
#include "runtime/gui/image/image_draw_win.h"
#include "ui/graph_descriptor.h"
#include "ui/main_window_pages.h"

namespace {

constexpr int HEADER_PANEL_UNITS = 160;  // the left panel; the system summary draws right of it
constexpr int LOGO_UNITS = 64;
constexpr COLORREF OUTLINE_OUTER = 0x808080;
constexpr COLORREF OUTLINE_INNER = 0xE0E0E0;
constexpr COLORREF HEADER_TEXT = 0x808040;
constexpr COLORREF HEADER_SHADOW = 0xC0C0C0;

void outline(HDC dc, int x, int y, int width, int height, COLORREF color) {
    if (width <= 0 || height <= 0) return;
    const RECT box{x, y, x + width, y + height};
    if (HBRUSH brush = CreateSolidBrush(color)) {
        FrameRect(dc, &box, brush);
        DeleteObject(brush);
    }
}

SIZE text_size(HDC dc, const std::wstring& text) {
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

// A header text: its light shadow one pixel right, the text one pixel up.
void shadowed(HDC dc, int x, int y, const std::wstring& text) {
    SetTextColor(dc, HEADER_SHADOW);
    TextOutW(dc, x + 1, y, text.c_str(), static_cast<int>(text.size()));
    SetTextColor(dc, HEADER_TEXT);
    TextOutW(dc, x, y - 1, text.c_str(), static_cast<int>(text.size()));
}

// "v1.0.0": the first word of the version text, with one "v" before the number.
std::wstring header_version() {
    const std::wstring text = version_text();
    std::wstring word = text.substr(0, text.find(L' '));
    if (word.empty() || word[0] != L'v') word.insert(0, 1, L'v');
    return word;
}

void header_draw() {
    CanvasDraw draw(CANVAS_SYSTEM_HEADER);
    if (!draw) return;
    const HDC dc = draw.dc();
    const int width = draw.width();
    const int height = draw.height();
    const int panel = gui_scale(HEADER_PANEL_UNITS);
    outline(dc, 0, 0, panel, height, OUTLINE_OUTER);
    outline(dc, panel + 2, 0, width - panel - 2, height, OUTLINE_OUTER);
    outline(dc, 1, 1, panel - 2, height - 2, OUTLINE_INNER);
    outline(dc, panel + 3, 1, width - panel - 4, height - 2, OUTLINE_INNER);

    const HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HGDIOBJ>(font_handle(FONT_HEADER)));
    SetBkMode(dc, TRANSPARENT);
    const std::wstring name = program_name();
    const std::wstring version = header_version();
    const SIZE name_size = text_size(dc, name);
    const SIZE version_size = text_size(dc, version);
    const int logo = gui_scale(LOGO_UNITS);
    const int gap = gui_scale(1);
    const int left = (panel - logo - gap - name_size.cx) / 2;
    if (const HICON icon = image_icon(IMAGE_LOGO)) {
        DrawIconEx(dc, left, (height - logo) / 2, icon, logo, logo, 0, nullptr, DI_NORMAL);
    }
    const int name_x = left + logo + gap;
    const int top = (height - 2 * name_size.cy) / 2;
    shadowed(dc, name_x, top, name);
    shadowed(dc, name_x + (name_size.cx - version_size.cx) / 2, top + name_size.cy, version);
    if (previous) SelectObject(dc, previous);
}

// Three lines of the default font, less the space they share: from this graph height on, the processor
// graphs have room for a clock line.
int header_text_height() {
    const HDC screen = GetDC(nullptr);
    if (!screen) return SharedInts[HEADER_TEXT_HEIGHT].load();
    const HGDIOBJ previous = SelectObject(screen, reinterpret_cast<HGDIOBJ>(font_handle(FONT_DEFAULT)));
    const SIZE size = text_size(screen, L"000");
    if (previous) SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
    return static_cast<int>(std::lround(3.0 * size.cy - 3.0));
}

}  // namespace

void system_page_build(const MainBuild& build) {
    const SystemPage page = system_page(build.layout);
    const int s = build.layout.side_column_width;
    const int w = build.layout.graph_column_width;

    canvas_create(CANVAS_SYSTEM_HEADER, gui_in_tab(PANEL_MAIN, TAB_SYSTEM), page.header.x, page.header.y,
                  page.header.width, page.header.height, 0, 0xFFFFFF);
    header_draw();
    SharedInts[HEADER_TEXT_HEIGHT] = header_text_height();

    // The first columns hold a time stamp and the longest titles ("Auslagerungsspeicher"); the numbers after
    // them are short.
    page_list_create(LIST_PHYSICAL_MEMORY, TAB_SYSTEM, page.physical_list, s,
                     {{L"Physical Memory", 0.44}, {L"Free", 0.24}, {L"Used", 0.22}});
    page_list_create(LIST_PAGEFILE_MEMORY, TAB_SYSTEM, page.pagefile_list, s,
                     {{L"PageFile Memory", 0.44}, {L"Free", 0.24}, {L"Used", 0.22}});
    page_list_create(LIST_PROCESSORS, TAB_SYSTEM, page.processors_list, s,
                     {{L"Processors", 0.42}, {L"Avg%", 0.22}, {L"Speed", 0.26}});
    page_list_create(LIST_SYSTEM_EVENTS, TAB_SYSTEM, page.events_list, s, {{L"System Events", 0.9}});

    const struct {
        int number;
        UnitRect place;
    } graphs[] = {{GRAPH_PHYSICAL_MEMORY, page.physical_graph},
                  {GRAPH_PAGEFILE, page.pagefile_graph},
                  {GRAPH_CPU_SPEED, page.speed_graph},
                  {GRAPH_CPU_AVERAGE, page.average_graph}};
    for (const auto& graph : graphs) {
        graph_create(graph.number, TAB_SYSTEM, graph.place, SharedInts[graph.number].load());
        graph_set_attribute(graph.number, GRAPH_ATTR_VERTICAL_DIVISIONS, 10);
    }
    page_list_create(LIST_BATTERY, TAB_SYSTEM, page.battery_list, w,
                     {{L"Battery", 0.48}, {L"Uptime", 0.2}, {L"Idle", 0.3}});
}
