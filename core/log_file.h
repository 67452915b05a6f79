// The monthly log file and its buffer.
#pragma once

#include <string>
#include <string_view>

#include "runtime/date.h"
#include "runtime/leaf_lock.h"

// While the log file is on, adds "%dd%hh%ii%ss " + text to the log buffer, flushing first when the
// buffer is full or the line falls in another hour or month than the buffered ones. Any thread.
void log_line_add(std::wstring_view text);
// The same with the time given (the time the line is stamped with and compared by).
void log_line_add_at(std::wstring_view text, Date now);

enum LogFlushKind : int {
    LOG_FLUSH_NORMAL = 0,  // write the waiting lines, then size the buffer anew
    LOG_FLUSH_FINAL = 1,   // the last flush at exit: add the closing line; nothing is logged afterwards
};

// Appends the waiting lines to their month's file ("SX" + yyyymm + ".log" in the log folder; a new file
// starts with the four header lines). Lines that cannot be written stay in the buffer for the next flush.
// Returns true when nothing was waiting or everything was written. Any thread; serialised with log_line_add.
bool log_buffer_flush(LogFlushKind kind = LOG_FLUSH_NORMAL);
bool log_buffer_flush_at(LogFlushKind kind, Date now);

enum LogFlushResult : int {
    LOG_FLUSH_NOT_WRITTEN = 0,  // the file could not be written: the lines wait for the next flush
    LOG_FLUSH_WRITTEN = 1,      // nothing was waiting, or everything was written
    LOG_FLUSH_LOCK_BUSY = 2,    // the buffer's or the data files' lock was not free in time: nothing was done
};
// The flush with a bound on the wait for its locks: for the exit, where a killed worker may hold one of them
// for ever. A negative time waits as long as it takes (log_buffer_flush).
LogFlushResult log_buffer_flush_within(LogFlushKind kind, int milliseconds);
LogFlushResult log_buffer_flush_within_at(LogFlushKind kind, int milliseconds, Date now);

// Applies OPT_LOG_BUFFERING to the buffer: 9999 lines, or 100 (flushing first when more than 99 wait).
void log_buffer_resize();

// "count / capacity", as the Settings tab shows it.
std::wstring log_buffer_status_text();

// Empties the buffer and forgets a final flush: start-up (before any line) and tests.
void log_buffer_reset();

// The name of the log file of the month the date falls in: "SX" + yyyy + mm + ".log".
std::wstring log_file_name(Date date);

// Serialises appends, flushes and resizes of the log buffer.
extern LeafLock LogBufferLock;
