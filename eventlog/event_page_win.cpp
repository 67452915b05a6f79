// The event page thread on the Events tab's controls: its font, the layout of its lists, and its loop.
#include <windows.h>

#include <cmath>

#include "core/control_numbers.h"
#include "core/shared_state.h"
#include "eventlog/event_details.h"
#include "eventlog/event_log_reader.h"
#include "eventlog/event_page.h"
#include "eventlog/event_search.h"
#include "runtime/gui/canvas/canvas.h"
#include "runtime/gui/canvas/canvas_draw_win.h"
#include "runtime/gui/combo_box/combo_box.h"
#include "runtime/gui/control/control.h"
#include "runtime/gui/dpi/dpi_win.h"
#include "runtime/gui/font/font.h"
#include "runtime/gui/gui.h"
#include "runtime/gui/panel/panel.h"
#include "runtime/gui/window/window.h"
#include "runtime/list_model.h"
#include "ui/events_tab_events.h"
#include "ui/events_tab_status.h"
#include "ui/status_title.h"
#include "ui/tab_clipboard.h"

namespace {

void (*disk_watch_starter)() = nullptr;

// The pixel size of a text in FONT_EVENT_LIST, measured on the status line's canvas.
SIZE text_size(const std::wstring& text) {
    SIZE size{0, 0};
    CanvasDraw draw(CANVAS_EVENTS_STATUS);
    if (!draw) return size;
    if (const auto font = reinterpret_cast<HFONT>(font_handle(FONT_EVENT_LIST))) SelectObject(draw.dc(), font);
    GetTextExtentPoint32W(draw.dc(), text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

void font_apply(int size, bool first) {
    font_load(FONT_EVENT_LIST, L"Lucida Console", size, FONT_STYLE_HIGH_QUALITY);
    if (!first) combo_box_select(COMBO_EVENT_FONT_SIZE, size - EVENT_FONT_SIZE_MIN);
    SharedInts[EVENTLOG_LINE_HEIGHT] = static_cast<int32_t>(text_size(shared_text(EVENTLOG_HEADER_TEXT)).cy);
    SharedInts[EVENTLOG_CHAR_WIDTH] = static_cast<int32_t>(text_size(L"A").cx);

    int x = 0, y = 0, width = 0, height = 0;
    if (control_geometry(CANVAS_EVENTS_STATUS, &x, &y, &width, &height)) {
        height = gui_unscale(SharedInts[EVENTLOG_LINE_HEIGHT].load());
        canvas_resize(CANVAS_EVENTS_STATUS, x, y, width, height);
    }
    if (first) events_status_line_draw(EVENT_PAGE_BLUE, L"");
    const EventListsLayout layout =
        event_lists_layout(y, height, SharedInts[PANEL_HEIGHT].load(), SharedInts[EVENTLOG_DETAILS_HEIGHT].load());
    control_move(LIST_EVENT_SEARCH, GUI_KEEP, layout.lists_y, GUI_KEEP, layout.lists_height);
    control_move(LIST_EVENTS, GUI_KEEP, layout.lists_y, GUI_KEEP, layout.lists_height);
    control_move(LIST_EVENT_DETAILS, GUI_KEEP, layout.details_y, GUI_KEEP, layout.details_height);
    for (int list : {LIST_EVENT_SEARCH, LIST_EVENTS, LIST_EVENT_DETAILS}) control_font_set(list, FONT_EVENT_LIST);
}

bool tab_shown() {
    return control_exists(PANEL_MAIN) && panel_tab_selected(PANEL_MAIN) == TAB_EVENTS && window_visible(WIN_MAIN);
}

void lists_clear() {
    combo_box_clear(COMBO_EVENT_TYPE);
    list_rows_clear(LIST_EVENTS);
}

void status_text(std::wstring_view text, int seconds) { status_title_set(text, seconds); }
void copy_tab() { clipboard_copy_tab(TAB_EVENTS); }

}  // namespace

void event_page_disk_watch_starter_set(void (*start)()) { disk_watch_starter = start; }

void event_page_thread(int64_t) {
    const EventPageHooks hooks{.list_fill = event_log_list_fill,
                               .read_new = event_log_read_new,
                               .search = event_search,
                               .details_show = event_details_show,
                               .status_line_draw = events_status_line_draw,
                               .close_request_serve = event_close_request_serve,
                               .tab_shown = tab_shown,
                               .font_apply = font_apply,
                               .lists_clear = lists_clear,
                               .status_text = status_text,
                               .copy_tab = copy_tab,
                               .disk_watch_start = disk_watch_starter};
    event_page_run(hooks);
}
