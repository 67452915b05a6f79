// The Events tab's status line and search field on their controls.
#include <windows.h>

#include <cmath>

#include "core/control_numbers.h"
#include "core/language.h"
#include "core/shared_state.h"
#include "runtime/gui/canvas/canvas.h"
#include "runtime/gui/canvas/canvas_draw_win.h"
#include "runtime/gui/control/control.h"
#include "runtime/gui/font/font.h"
#include "runtime/gui/gui.h"
#include "runtime/gui/text/text.h"
#include "ui/events_tab_status.h"
#include "ui/main_layout.h"

namespace {

constexpr COLORREF WHITE = 0xFFFFFF;
constexpr COLORREF CUE_GREY = 0x808080;
constexpr int FIELD_WIDTH = 130;  // at scale 1; the search mode box beside it fits its longest German item
constexpr int FIELD_HEIGHT = 20;

void canvas_text_draw(int canvas, int font, COLORREF color, int x, int y, const std::wstring& text) {
    CanvasDraw draw(canvas);
    if (!draw) return;
    const HDC dc = draw.dc();
    const RECT all{0, 0, draw.width(), draw.height()};
    if (const HBRUSH white = CreateSolidBrush(WHITE)) {
        FillRect(dc, &all, white);
        DeleteObject(white);
    }
    if (text.empty()) return;
    if (const auto handle = reinterpret_cast<HFONT>(font_handle(font))) SelectObject(dc, handle);
    SetTextColor(dc, color);
    SetBkColor(dc, WHITE);
    SetBkMode(dc, OPAQUE);
    TextOutW(dc, x, y, text.c_str(), static_cast<int>(text.size()));
}

}  // namespace

void events_status_line_draw(int32_t color, std::wstring_view message) {
    if (!control_exists(CANVAS_EVENTS_STATUS)) return;
    const EventsStatusLine line = events_status_line_plan(
        message, date_now(), SharedQuads[EVENTLOG_STATUS_UNTIL].load(), shared_text(EVENTLOG_NAME),
        shared_text(EVENTLOG_HEADER_TEXT), tr(L"Choose Event Log File"));
    SharedQuads[EVENTLOG_STATUS_UNTIL] = line.until;
    canvas_text_draw(CANVAS_EVENTS_STATUS, FONT_EVENT_LIST, static_cast<COLORREF>(color), 4, 1, line.text);
}

int event_search_field_build(int mode) {
    const GuiParent tab = gui_in_tab(PANEL_MAIN, TAB_EVENTS);
    if (control_exists(INPUT_EVENT_SEARCH)) {
        shared_text_set(EVENTLOG_SEARCH_TEXT, control_text(INPUT_EVENT_SEARCH));
        control_free(INPUT_EVENT_SEARCH);
    }
    const EventSearchFieldPlan plan =
        event_search_field_plan(mode, SharedInts[EVENTLOG_SEARCH_FIELD_MODE].load(), shared_text(EVENTLOG_SEARCH_TEXT));
    int days_x = 0, days_y = 0, days_width = 0, days_height = 0;
    control_geometry(COMBO_EVENT_DAYS, &days_x, &days_y, &days_width, &days_height);
    const int x = days_x + days_width + 4;
    const int width = static_cast<int>(std::lround(SharedFloats[TABS_SCALE].load() * FIELD_WIDTH));
    if (text_input_create(INPUT_EVENT_SEARCH, tab, x, 2, width, FIELD_HEIGHT, L"", 0)) {
        if (const HWND field = reinterpret_cast<HWND>(control_handle(INPUT_EVENT_SEARCH))) {
            const LONG_PTR kind = plan.number_field ? ES_NUMBER : ES_LOWERCASE;
            SetWindowLongPtrW(field, GWL_STYLE, GetWindowLongPtrW(field, GWL_STYLE) | kind);
        }
        control_font_set(INPUT_EVENT_SEARCH, FONT_FIXED_SMALL);
    }
    if (plan.field_text.empty()) {
        shared_text_set(EVENTLOG_SEARCH_TEXT, L"");
        if (control_exists(CANVAS_EVENT_SEARCH_CUE)) control_free(CANVAS_EVENT_SEARCH_CUE);
        if (canvas_create(CANVAS_EVENT_SEARCH_CUE, tab, x + 4, 4, width - 6, 16, 0, WHITE))
            canvas_text_draw(CANVAS_EVENT_SEARCH_CUE, FONT_CUE, CUE_GREY, 0, 0, tr(plan.cue));
    } else {
        if (control_exists(CANVAS_EVENT_SEARCH_CUE)) control_free(CANVAS_EVENT_SEARCH_CUE);
        control_text_set(INPUT_EVENT_SEARCH, plan.field_text);
        // Emptied so that the next Search sees a changed text and searches in the new mode.
        shared_text_set(EVENTLOG_SEARCH_TEXT, L"");
    }
    SharedInts[EVENTLOG_SEARCH_FIELD_MODE] = mode;
    return 0;
}
