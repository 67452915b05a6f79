// Drawing of the Ping tab: the host list with its timelines, the status line, and the list canvas's size.
// Any thread; each takes PingListMutex only to copy what it draws, and skips the canvas when nothing it
// shows has changed since it last drew.
#pragma once

#include <string_view>

// Draws every row of CANVAS_PING_LIST and recounts the up and down hosts. Nothing without WIN_MAIN.
void ping_list_draw();

// Draws CANVAS_PING_STATUS: a message (held for 15 s), or with an empty message the header ("Ready." for an
// empty list) unless a message is held, and on the right the time span of the timelines.
void ping_status_line_draw(std::wstring_view message);

// Grows CANVAS_PING_LIST in steps of 50 rows (or, forced, to the host count + 50) and sets the scroll
// height of SCROLL_PING_LIST to the hosts' rows.
void ping_canvas_grow(bool force);

// The layout metrics of the list's font, measured on CANVAS_PING_STATUS: PING_ROW_HEIGHT, PING_CHAR_WIDTH,
// PING_TIMELINE_X and PING_TIMELINE_WIDTH (from PING_HEADER_LENGTH blanks), PING_STATUS_SPAN_WIDTH and
// PING_DATE_TEXT_WIDTH; the list's scroll step follows the row height. Nothing changes when the canvas
// cannot be drawn on. Any thread.
void ping_layout_measure();

// Loads FONT_PING_LIST again at `size` points, shows the size in COMBO_PING_FONT_SIZE and measures the
// layout again.
void ping_list_font_apply(int size);

// Scrolls the host list to its end (after an added host).
void ping_list_scroll_to_end();

// The visible-tab redraw's drawing of the Ping tab: the status line with an empty message, then the list.
void ping_tab_draw_lists();
