// The monthly log file and its buffer.
#pragma once

#include <string_view>

// While the log file is on, adds "%dd%hh%ii%ss " + text to the log buffer, flushing first when the
// buffer is full or the line falls in another hour or month than the buffered ones. Any thread.
void log_line_add(std::wstring_view text);
