// Time-stamped rows at the top of the event lists, newest first, and the Storage Monitor list.
#pragma once

#include <string_view>

#include "runtime/date.h"

// Inserts "%mm-%dd  %hh:%ii:%ss - " + text at the top of a list (LIST_SYSTEM_EVENTS or LIST_NETWORK_EVENTS) and
// hands the text to the log when that list's log option is on.
void event_line_add(int list, std::wstring_view text);

// Inserts the time stamp, a column separator and the text at the position; never logs.
void event_line_add_plain(int list, int position, std::wstring_view text);

// Inserts "%mm-%dd  %hh:%ii:%ss - " + text at the position; never logs.
void event_line_add_quiet(int list, int position, std::wstring_view text);

// Adds a row to the Storage Monitor list: the text unchanged, or for "--" a numbered separator dated
// `date` (now when 0 or less) with an empty row above it.
void saga_line_add(std::wstring_view text, Date date);
