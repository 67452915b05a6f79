// The disk-error watcher: scans the System log for "disk" events once a minute, marks the drives on the disk
// that each one names and writes an alert for each of the first five errors of a drive.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "eventlog/event_log_api.h"
#include "runtime/date.h"

// What the watcher does outside the event log, as a table that the tests replace.
struct DiskErrorHooks {
    void (*line_add)(std::wstring_view text, Date date);  // a line of the Storage Monitor list (saga_line_add)
    int64_t (*utc_now)();                                 // seconds since 1970, UTC
    Date (*local_from_utc)(int64_t utc_seconds);          // with the daylight-saving rule of that moment
};

// The program's hooks: saga_line_add, the system clock, date_from_utc.
const DiskErrorHooks& disk_error_hooks_default();

// The watcher's own state between rounds.
struct DiskErrorWatchState {
    int countdown = 8;     // rounds until the next scan
    bool scanned = false;  // a scan has read the log before
    bool emptied = false;  // the last scan found the log empty (cleared): everything after it is new
    uint32_t highest = 0;  // highest record number seen (record numbers are compared modulo 2^32)
    uint32_t oldest = 0;   // oldest record number of the log at the last scan
};

// Rounds of 250 ms, a scan every 240 rounds (60 s).
inline constexpr int DISK_ERROR_ROUND_MS = 250;
inline constexpr int DISK_ERROR_SCAN_ROUNDS = 240;
inline constexpr int64_t DISK_ERROR_LOOKBACK_S = 604800;  // 7 days

// The physical disk number a "disk" event's message names (\Device\Harddisk<n>\...), or -1 when the message
// names no device or no number can be read from it.
int disk_error_disk_number(std::wstring_view message);

// One round (before its wait): counts down, or scans the log "System" for records newer than those of the
// last scan by record number, back to the boot (uptime_s) and at most 7 days. A log that was cleared is
// noticed by its oldest record number moving back or its newest (oldest + count - 1) falling below the highest
// seen; its records all count as new. Numbers are compared across their 32-bit wrap.
void disk_error_watch_round(DiskErrorWatchState& state, const EventLogApi& api, const DiskErrorHooks& hooks,
                            int64_t uptime_s);

// The watcher's loop: waits for the uptime, then rounds until QUIT_FLAG; a quit ends every wait at once.
void disk_error_watch_run(const EventLogApi& api, const DiskErrorHooks& hooks);

// The thread procedure the event page thread starts (argument ignored): disk_error_watch_run with the
// installed event-log calls and the program's hooks.
void disk_error_watch_thread(int64_t argument);
