// One round of the drive watcher: the change pass, the title, the drive-set check, the free-space check,
// the disk-activity tray image and the compact window's font change; and the rescan and filter fill as
// the watcher and start-up run them.
#pragma once

#include <cstdint>
#include <string>

#include "system/drive_cell_text.h"
#include "system/drive_facts.h"
#include "system/drive_work.h"
#include "ui/compact_window.h"

// What the drive monitor does to the windows, the tray and the lists, as a table of procedures that the
// tests replace. None of them may wait for the main thread without a bound.
struct DriveUi {
    void (*cell_draw)(int cell, CellDrawForce force);
    void (*compact_window_fit)();
    void (*compact_window_layout)();
    void (*compact_font_apply)();
    bool (*compact_window_normal)();  // neither minimised nor maximised
    // False when the title could not be shown now (the main thread is busy); it is tried again later.
    bool (*compact_title_set)(const std::wstring& text);
    void (*tray_tooltip_set)(const std::wstring& text);
    void (*tray_image_set)(int image);
    void (*beep)();
    void (*filter_items_set)(const DriveFilterItems& items);
    void (*clipboard_copy)(int tab);  // the copy of the tab, which sets COPY_TAB_REQUEST back to -1
    void (*notes_post)(const DriveNotes& notes);
};

// The windows, tray and lists of the program (Windows); natively only the lists.
const DriveUi& drive_ui_default();

// Private state of the watcher thread: the disk times seen last.
struct DriveWatcherState {
    int64_t last_read_time = 0;
    int64_t last_write_time = 0;
};

// Rebuilds the drive table and posts its lines (start-up and the drive-set check).
void drive_rescan_apply(const DrivePlatform& platform, const DriveUi& ui);

// Rebuilds the drive filter and the drive cells' texts.
void drive_filter_apply(const DriveUi& ui);

// Before the first round: the starting tops of the four rate graphs.
void drive_watcher_start();

// The watcher's rounds come every 100 ms.
inline constexpr int DRIVE_WATCHER_ROUND_MS = 100;

// The work of one round, before its wait.
void drive_watcher_round(DriveWatcherState& state, const DrivePlatform& platform, const DriveUi& ui);

// After the wait (and the Storage tab's clipboard copy when asked): the three countdowns.
void drive_watcher_round_end();

// The watcher thread's loop: a round every DRIVE_WATCHER_ROUND_MS (a worker loop, so the work does not stretch the
// period) until QUIT_FLAG is above 0; the round that sees it still ends, copy included, and the first round runs
// even after a quit. A quit wakes the wait at once, so it ends within one round.
void drive_watcher_run(const DrivePlatform& platform, const DriveUi& ui);

// Text of the tray tooltip for a title: "Sotrix " + title, at most 63 characters.
std::wstring drive_tray_tooltip(const std::wstring& title);
