// Taking and writing back the working copy of the drive table and the drive cells.
#include "system/drive_work.h"

#include <mutex>

void drive_work_load(DriveWork& work) {
    {
        std::lock_guard guard(DriveTableLock);
        work.drives = DriveTable;
    }
    std::lock_guard guard(CellDrawMutex);
    for (int i = 0; i < DRIVE_ENTRY_COUNT; ++i) {
        const CompactCell& cell = CompactCells[i];
        DriveCellState& state = work.cells[i];
        state.shown = cell.shown;
        state.drive_row = cell.drive_row;
        state.text_color = cell.text_color;
        state.back_color = cell.back_color;
        state.value_text = cell.value_text.view();
    }
}

void drive_work_store(DriveWork& work, DriveWork& base) {
    {
        std::lock_guard guard(DriveTableLock);
        for (int i = 0; i < DRIVE_ENTRY_COUNT; ++i) {
            DriveEntry& live = DriveTable[i];
            const DriveEntry& mine = work.drives[i];
            const DriveEntry& before = base.drives[i];
            const int32_t error_count = live.error_count;
            const Date error_until = live.error_until;
            live = mine;
            if (mine.error_count == before.error_count) live.error_count = error_count;
            if (mine.error_until == before.error_until) live.error_until = error_until;
        }
        // Both copies take the live marks: they are what the next change is measured against.
        work.drives = DriveTable;
        base.drives = DriveTable;
    }
    std::lock_guard guard(CellDrawMutex);
    for (int i = 0; i < DRIVE_ENTRY_COUNT; ++i) {
        CompactCell& cell = CompactCells[i];
        const DriveCellState& state = work.cells[i];
        cell.shown = state.shown;
        cell.drive_row = state.drive_row;
        cell.text_color = state.text_color;
        cell.back_color = state.back_color;
        cell.value_text = state.value_text.view();
    }
    base.cells = work.cells;
}
