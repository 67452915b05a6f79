// Small questions to Windows: whether a program runs, the boot mode, the monitors and work area, and the
// phase of the millisecond clock against the wall-clock second. Any thread; no locks.
#pragma once

#include <cstdint>
#include <string_view>

// 1 when a running process has that executable file name (no path; case does not matter), else 0.
int64_t is_process_running(std::wstring_view executable);

// 0 normal boot, 1 safe mode, 2 safe mode with networking.
int64_t safe_mode_state();

// Fills MONITOR_COUNT and the right and bottom edges of the primary work area in 96-DPI units
// (WORKAREA_WIDTH, WORKAREA_HEIGHT).
void read_desktop_metrics();

// The left and top edges of the work area at the last read, in 96-DPI units: a taskbar at the top or left
// moves them off 0, and windows placed by the program stay right of and below them.
int work_area_left();
int work_area_top();

// Waits until the wall-clock second changes, then sets SecondPhaseMs to the millisecond clock modulo 1000.
// A quit (the quit event) ends the wait at once and leaves SecondPhaseMs as it was.
void wait_next_second();

// The work area in 96-DPI units from its edges in pixels at a DPI.
struct WorkAreaUnits {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};
WorkAreaUnits work_area_units(int left, int top, int right, int bottom, int dpi);
