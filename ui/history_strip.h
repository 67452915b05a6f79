// Temperature histories and their strips: bounded appends, the band's colour runs and texts, the read-out.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/shared_tables.h"

constexpr uint32_t STRIP_EMPTY_COLOR = 0xE0E0E0;

// Appends a point under HistoryMutex after dropping the oldest points so that the history never holds
// more than HISTORY_LENGTH points; a HISTORY_LENGTH below 1 keeps only the newest point.
void history_point_add(HistoryList& history, const HistoryPoint& point);

// Columns x to x + width - 1, rows 1 to the band height, in one colour.
struct StripRun {
    int x = 0;
    int width = 0;
    int32_t color = 0;
};

// What a strip drawing paints. The band is columns 1..band_width and rows 1..band_height: first all of it
// in STRIP_EMPTY_COLOR, then, unless `blank`, the runs and the two texts over them.
struct StripPicture {
    bool blank = true;  // only the grey band: no history, no current temperature, or no source
    int band_width = 0;
    int band_height = 0;
    int start = 1;               // first column of the newest points; columns left of it stay grey
    std::vector<StripRun> runs;  // newest first
    int newest = 0;              // degrees
    int minimum = 0;
    int maximum = 0;
    std::wstring now_text;    // "48C", centred at the top
    std::wstring range_text;  // "Min 45C   Max 52C   Limit 100C", at x = 10
};

// The picture of a strip canvas of canvas_width x canvas_height device pixels (a one-pixel frame around
// the band) over a history, newest point at the right. `source_ready` false gives the blank band; with
// `ignore_cold_extremes` points below 1 degree do not count for the minimum and maximum (the CPU source
// writes 0 when it has no reading). A limit of 0 is not shown. Takes HistoryMutex.
StripPicture temperature_strip_plan(const HistoryList& history, int canvas_width, int canvas_height, bool source_ready,
                                    bool ignore_cold_extremes, int limit);

// The CPU strip: the history of CpuCoreTable entry `core` (only entry 0 gets points), shown while the
// temperature tool is connected (TEMP_TOOL_STATE 3), with CPU_TEMP_LIMIT.
StripPicture cpu_temperature_strip_plan(int canvas_width, int canvas_height, int core);

// Left edge of the now text of a given width, centred over the band.
int strip_now_text_x(int band_width, double text_width);

// The read-out of the point `offset` pixels from the strip's right edge (1: the newest):
// "Position: 5/1499 = 2024-05-01  14:03:27  CPU 48C ~", with AGE_STAMP set to the point's date; the empty
// text, AGE_STAMP unchanged, when no point is there. source_label is "CPU" or the GPU's label. Takes
// HistoryMutex.
std::wstring temperature_position_text(const HistoryList& history, int64_t offset, std::wstring_view source_label);

// The CPU strip's read-out; the canvas number is accepted and not used.
std::wstring cpu_temperature_position_text(int canvas, int64_t offset, int core);
