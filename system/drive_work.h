// A working copy of the drive table and the drive cells, taken and written back under their locks, and
// the lines the drive monitor has to report.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/shared_tables.h"

// The parts of a drive cell (CompactCells CELL_DRIVE_SUMMARY to CELL_DRIVE_LAST) that the drive monitor writes.
struct DriveCellState {
    int32_t shown = CELL_HIDDEN;  // CompactCellShown; hidden: never seen
    int32_t drive_row = 0;
    int32_t text_color = 0;
    int32_t back_color = 0;
    FixedText<60> value_text;
};

struct DriveWork {
    std::array<DriveEntry, DRIVE_ENTRY_COUNT> drives;
    std::array<DriveCellState, DRIVE_ENTRY_COUNT> cells;
};

// Copies DriveTable under DriveTableLock, then the drive cells under CellDrawMutex (never both at once).
void drive_work_load(DriveWork& work);

// Writes the copy back. The disk-error marks (error_count, error_until) are written only where the copy
// changed them since `base`, so that marks set or cleared by another thread meanwhile survive. Afterwards
// work and base both hold what the table now holds.
void drive_work_store(DriveWork& work, DriveWork& base);

// Where a line goes: the Storage Monitor list (saga_line_add, "--" ends a block), the log file
// (log_line_add), or the top of the Drive ID list (event_line_add_quiet).
enum DriveNoteTarget : int { NOTE_STORAGE_MONITOR = 0, NOTE_LOG = 1, NOTE_DRIVE_ID = 2 };

struct DriveNote {
    DriveNoteTarget target;
    std::wstring text;
    friend bool operator==(const DriveNote&, const DriveNote&) = default;
};
using DriveNotes = std::vector<DriveNote>;

// Hands the lines to the Storage Monitor list, the log and the Drive ID list, in order.
void drive_notes_post(const DriveNotes& notes);

inline constexpr wchar_t NO_VOLUME_SERIAL[] = L"0000-0000";
