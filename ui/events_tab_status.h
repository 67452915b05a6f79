// The Events tab's status line (the list's column header, the prompt to choose a log, or a held message) and
// its search field (a text or a number field per search mode, with a grey cue while empty).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/date.h"

constexpr int EVENTS_STATUS_HOLD_SECONDS = 15;

// What the status line shows after a draw: the text (empty: the line stays white) and the end of the hold.
struct EventsStatusLine {
    std::wstring text;
    Date until = 0;
};

// A message is shown as ">> " + message and held 15 s from now (a new one replaces a held one); without a
// message the header shows, or "▲ " + the prompt when no log is chosen, unless a message is still held.
EventsStatusLine events_status_line_plan(std::wstring_view message, Date now, Date until, std::wstring_view log_name,
                                         std::wstring_view header, std::wstring_view prompt);

// How the search field is rebuilt for a mode.
struct EventSearchFieldPlan {
    bool number_field = false;  // digits only (modes 3 and 4); otherwise lower-case text
    std::wstring cue;           // English; translated when shown
    std::wstring field_text;    // put into the new field; empty: the cue shows
};

// The new field for a mode, given the mode it was built for last and the text it held: a text keeps its
// text between the text modes and between the number modes, and loses it across the two kinds.
EventSearchFieldPlan event_search_field_plan(int mode, int last_mode, std::wstring_view text);

// ---- Windows ----

// Redraws CANVAS_EVENTS_STATUS in the colour (0x00BBGGRR) with FONT_EVENT_LIST; keeps EVENTLOG_STATUS_UNTIL.
// Event page thread and main thread.
void events_status_line_draw(int32_t color, std::wstring_view message);

// Rebuilds INPUT_EVENT_SEARCH for the search mode (0..4) and, while it is empty, CANVAS_EVENT_SEARCH_CUE.
// Main thread. Returns 0.
int event_search_field_build(int mode);
