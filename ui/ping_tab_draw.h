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

// The visible-tab redraw's drawing of the Ping tab: the status line with an empty message, then the list.
void ping_tab_draw_lists();
