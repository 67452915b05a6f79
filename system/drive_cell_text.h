// The value text of a drive cell of the compact window (and of the fixed-drive summary), and the items of
// the Storage tab's drive filter.
#pragma once

#include <string>
#include <vector>

#include "system/drive_work.h"

// The value text of drive k (1..26) or of the summary (0). Sets free_percent and, while no highlight
// shows, the cell's text colour by the free space; for 0 also the summary's space sums (each volume once:
// an alias letter is not counted again).
std::wstring drive_line_text(DriveWork& work, int k);

struct DriveFilterItems {
    std::vector<std::wstring> items;  // item 0 is "Show ALL Active Drives"
    int selected = 0;
};

// Rebuilds the filter items from the placed drives, keeping the drive chosen before (by index, or by
// serial from an earlier run), and the value texts of the placed cells and of the summary. Sets
// DRIVE_FILTER_ITEM, DRIVE_FILTER_INDEX, DRIVE_FILTER_LETTERS and DRIVE_FILTER_ITEM_COUNT.
DriveFilterItems drive_filter_build(DriveWork& work);
