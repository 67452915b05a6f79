// The monthly log file and its buffer: lines wait in memory and are appended to their month's file in batches.
#include "core/log_file.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <system_error>
#include <vector>

#include "core/data_file_panel.h"
#include "core/data_folder.h"
#include "core/language.h"
#include "core/settings_file_hooks.h"
#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "core/version.h"
#include "runtime/file_io.h"
#include "runtime/text.h"

// No drawing, no other lock and no call into the windows happens while it is held: the data files' texts
// the log needs are read before it is taken and written after it is let go.
LeafLock LogBufferLock("LogBufferLock");

namespace {

constexpr size_t BUFFER_LARGE = 10000;  // elements, element 0 unused: 9999 lines
constexpr size_t BUFFER_SMALL = 101;    // 100 lines

// Guarded by LogBufferLock, with LogBuffer, LOG_LINE_COUNT and LOG_CAPACITY: the date of each waiting line
// (same index as LogBuffer), whether the final flush has run, and lines lost to a full buffer.
std::vector<Date> line_dates(BUFFER_SMALL, 0);
bool closed = false;
int64_t dropped_lines = 0;

int64_t month_key(Date date) {
    const DateParts parts = date_parts(date);
    return static_cast<int64_t>(parts.year) * 12 + parts.month;
}

std::wstring one_line(std::wstring_view text) {
    std::wstring line(text);
    for (wchar_t& c : line) {
        if (c == L'\r' || c == L'\n') c = L' ';
    }
    return line;
}

std::string header_bytes(Date now) {
    const std::wstring header = L"'File Created by Sotrix " + version_text() + L" on " +
                                date_format(L"%yyyy-%mm-%dd %hh:%ii:%ss", now) + L"\r\n" +
                                L"'Drive Key: ddhhmmss drive: free% bytesavail bytesused bytesdiff\r\n"
                                L"'StMon Key: ddhhmmss drive+ volserial bytesavail bytestotal volname\r\n"
                                L"'NeEvt Key: ddhhmmss n# text\r\n";
    return utf8_from_wide(header);
}

// Appends to the file (created when missing, with the header when empty). On failure the file is cut back to
// its old length, so that lines kept for the next try are never written twice.
bool append_to_file(const std::filesystem::path& path, const std::string& bytes, Date now) {
    std::error_code error;
    const bool exists = std::filesystem::exists(path, error);
    uintmax_t old_size = 0;
    if (exists) {
        old_size = std::filesystem::file_size(path, error);
        if (error) return false;
    }
    {
        std::ofstream out(path, std::ios::binary | std::ios::app);
        if (!out) return false;
        if (old_size == 0) out << header_bytes(now);
        out << bytes;
        out.flush();
        if (out.good()) return true;
    }
    if (exists)
        std::filesystem::resize_file(path, old_size, error);
    else
        std::filesystem::remove(path, error);
    return false;
}

std::wstring closing_line(Date now, const std::wstring& uptime, bool windows_shutdown) {
    std::wstring line = date_format(L"%dd%hh%ii%ss ", now) + L"Sotrix " + version_text() + L" " + tr(L"closed") +
                        L". " + tr_padded(L"Uptime") + L": " + uptime;
    if (windows_shutdown) line += L" [Windows " + tr(L"Shutdown") + L"]";
    return line;
}

void buffer_size_set(size_t elements) {
    const size_t needed = static_cast<size_t>(SharedInts[LOG_LINE_COUNT].load()) + 1;
    if (elements < needed) elements = needed;  // lines that wait for a retry are never cut off
    LogBuffer.resize(elements);
    line_dates.resize(elements, 0);
    SharedInts[LOG_CAPACITY] = static_cast<int32_t>(std::min(elements, BUFFER_LARGE) - 1);
}

size_t buffer_size_wanted() { return SharedInts[OPT_LOG_BUFFERING].load() != 0 ? BUFFER_LARGE : BUFFER_SMALL; }

// The log folder, read before LogBufferLock is taken (a leaf lock: DataFilesLock is never taken inside it).
std::wstring log_folder() {
    std::lock_guard guard(DataFilesLock);
    return DataFiles[DATA_FILE_LOG].folder;
}

// The log file's name in the data-file panel, set after LogBufferLock is let go.
void log_file_name_show(Date now) {
    std::lock_guard guard(DataFilesLock);
    DataFiles[DATA_FILE_LOG].file_name = log_file_name(now);
}

// Writes the waiting lines, month by month into each month's file in the folder. Lines written leave the
// buffer; the rest stay. With LogBufferLock held.
bool flush_locked(LogFlushKind kind, Date now, const std::wstring& folder, const std::wstring& uptime,
                  bool windows_shutdown) {
    if (line_dates.size() < LogBuffer.size()) line_dates.resize(LogBuffer.size(), 0);
    const int count = std::min(SharedInts[LOG_LINE_COUNT].load(), static_cast<int>(LogBuffer.size()) - 1);
    bool ok = true;
    int written = 0;
    if (count > 0) {
        ok = !folder.empty() && folder_exists(folder);
        int first = 1;
        while (ok && first <= count) {
            const int64_t month = month_key(line_dates[first]);
            int last = first;
            while (last < count && month_key(line_dates[last + 1]) == month) ++last;
            std::wstring text;
            for (int i = first; i <= last; ++i) text += LogBuffer[i] + L"\r\n";
            if (last == count) {
                if (dropped_lines > 0) {
                    text += date_format(L"%dd%hh%ii%ss ", now) + std::to_wstring(dropped_lines) +
                            L" lines were not logged: the log file could not be written\r\n";
                }
                if (kind == LOG_FLUSH_FINAL) text += closing_line(now, uptime, windows_shutdown) + L"\r\n";
            }
            const std::wstring path = folder_with_separator(folder) + log_file_name(line_dates[first]);
            ok = append_to_file(file_path(path), utf8_from_wide(text), now);
            if (ok) {
                written = last;
                first = last + 1;
            }
        }
        if (written == count) dropped_lines = 0;
        // Lines not written move to the front, oldest first.
        const int left = count - written;
        for (int i = 1; i <= left; ++i) {
            LogBuffer[i].swap(LogBuffer[written + i]);
            line_dates[i] = line_dates[written + i];
        }
        for (int i = left + 1; i <= count; ++i) LogBuffer[i].clear();
        SharedInts[LOG_LINE_COUNT] = left;
    }
    if (kind == LOG_FLUSH_FINAL) {
        closed = true;
        return ok;
    }
    buffer_size_set(buffer_size_wanted());
    return ok;
}

void status_show() {
    const SettingsUiHooks hooks = settings_ui_hooks();
    if (hooks.control_text_set) hooks.control_text_set(TEXT_LOG_BUFFER, log_buffer_status_text());
}

// The compact window's uptime cell as last drawn, read before LogBufferLock is taken: the drawing threads hold
// CellDrawMutex and may log meanwhile.
std::wstring uptime_text() {
    std::lock_guard guard(CellDrawMutex);
    return text_trim(CompactCells[CELL_UPTIME].drawn_text.view());
}

}  // namespace

std::wstring log_file_name(Date date) { return L"SX" + date_format(L"%yyyy%mm", date) + L".log"; }

std::wstring log_buffer_status_text() {
    return std::to_wstring(SharedInts[LOG_LINE_COUNT].load()) + L" / " +
           std::to_wstring(SharedInts[LOG_CAPACITY].load());
}

void log_line_add(std::wstring_view text) { log_line_add_at(text, date_now()); }

void log_line_add_at(std::wstring_view text, Date now) {
    if (SharedInts[OPT_LOG_FILE].load() == 0) return;
    const std::wstring folder = log_folder();
    bool flushed = false;
    {
        std::lock_guard guard(LogBufferLock);
        if (closed) return;
        if (line_dates.size() < LogBuffer.size()) line_dates.resize(LogBuffer.size(), 0);
        const int hour = date_parts(now).hour;
        int count = SharedInts[LOG_LINE_COUNT].load();
        const int capacity = SharedInts[LOG_CAPACITY].load();
        const bool other_month = count > 0 && month_key(line_dates[count]) != month_key(now);
        if (count >= capacity || hour != SharedQuads[LOG_HOUR].load() || other_month) {
            SharedQuads[LOG_HOUR] = hour;
            flush_locked(LOG_FLUSH_NORMAL, now, folder, {}, false);
            flushed = true;
            count = SharedInts[LOG_LINE_COUNT].load();
        }
        if (count < SharedInts[LOG_CAPACITY].load() && static_cast<size_t>(count) + 1 < LogBuffer.size()) {
            ++count;
            LogBuffer[count] = date_format(L"%dd%hh%ii%ss ", now) + one_line(text);
            line_dates[count] = now;
            SharedInts[LOG_LINE_COUNT] = count;
        } else {
            ++dropped_lines;  // the file cannot be written and the buffer is full
        }
    }
    if (flushed) {
        log_file_name_show(now);
        data_folder_panel_refresh_request();
    }
    status_show();
}

bool log_buffer_flush(LogFlushKind kind) { return log_buffer_flush_at(kind, date_now()); }

bool log_buffer_flush_at(LogFlushKind kind, Date now) {
    return log_buffer_flush_within_at(kind, -1, now) == LOG_FLUSH_WRITTEN;
}

LogFlushResult log_buffer_flush_within(LogFlushKind kind, int milliseconds) {
    return log_buffer_flush_within_at(kind, milliseconds, date_now());
}

LogFlushResult log_buffer_flush_within_at(LogFlushKind kind, int milliseconds, Date now) {
    std::wstring uptime;
    bool windows_shutdown = false;
    if (kind == LOG_FLUSH_FINAL) {
        uptime = uptime_text();
        windows_shutdown = SharedInts[EXIT_LOOP_FLAG].load() != 0;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    // Each lock within what is left of the time (without a time: as long as it takes).
    const auto take = [&](LeafLock& lock) {
        if (milliseconds < 0) {
            lock.lock();
            return true;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        return lock.try_lock_for(static_cast<int>(std::max<int64_t>(0, left.count())));
    };
    std::wstring folder;
    {
        if (!take(DataFilesLock)) return LOG_FLUSH_LOCK_BUSY;
        std::lock_guard guard(DataFilesLock, std::adopt_lock);
        folder = DataFiles[DATA_FILE_LOG].folder;
    }
    bool ok = true;
    {
        if (!take(LogBufferLock)) return LOG_FLUSH_LOCK_BUSY;
        std::lock_guard guard(LogBufferLock, std::adopt_lock);
        if (closed) return LOG_FLUSH_WRITTEN;
        ok = flush_locked(kind, now, folder, uptime, windows_shutdown);
    }
    if (kind == LOG_FLUSH_NORMAL) {
        log_file_name_show(now);
        data_folder_panel_refresh_request();
        status_show();
    }
    return ok ? LOG_FLUSH_WRITTEN : LOG_FLUSH_NOT_WRITTEN;
}

void log_buffer_resize() {
    const std::wstring folder = log_folder();
    bool flushed = false;
    {
        std::lock_guard guard(LogBufferLock);
        if (SharedInts[OPT_LOG_BUFFERING].load() == 0 && SharedInts[LOG_LINE_COUNT].load() > 99 && !closed) {
            flush_locked(LOG_FLUSH_NORMAL, date_now(), folder, {}, false);
            flushed = true;
        }
        buffer_size_set(buffer_size_wanted());
    }
    if (flushed) log_file_name_show(date_now());
    status_show();
}

void log_buffer_reset() {
    std::lock_guard guard(LogBufferLock);
    closed = false;
    dropped_lines = 0;
    SharedInts[LOG_LINE_COUNT] = 0;
    LogBuffer.assign(BUFFER_SMALL, std::wstring());
    line_dates.assign(BUFFER_SMALL, 0);
    SharedInts[LOG_CAPACITY] = static_cast<int32_t>(BUFFER_SMALL - 1);
}
