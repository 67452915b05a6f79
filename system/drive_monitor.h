// What start-up and the event loop call of the drive monitor.
#pragma once

#include <cstdint>
#include <string>

// The letters of the drives present ("CDZ"); start-up stores them in DRIVE_LETTERS and DRIVE_LETTERS_NEW
// and their count in DRIVE_COUNT. The empty text once QUIT_FLAG is set.
std::wstring drive_letters();

// Rebuilds the drive table and the drive cells from DRIVE_LETTERS, writing the found, lost and error
// blocks to the Storage Monitor list and the log. Start-up calls it once after DriveTypeNames and
// WINDOWS_DRIVE are set, then drive_filter_fill; afterwards only the drive watcher calls it.
void drives_rescan();

// Refills the Storage tab's drive filter and the texts of the drive cells (call right after drives_rescan).
void drive_filter_fill();

// The drive watcher thread (argument ignored): rounds of DRIVE_WATCHER_ROUND_MS until QUIT_FLAG is above 0.
void drive_watcher_thread(int64_t argument);
