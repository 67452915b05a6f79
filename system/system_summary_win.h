// Facts of the System summary that the sampler's desktop check also reads.
#pragma once

#include <array>
#include <string>

#include "system/system_summary_lines.h"

// The primary monitor's current mode and the screen's DPI.
struct DesktopReading {
    DesktopMetrics metrics;
    int dpi_x = 96;
    int dpi_y = 96;
};
DesktopReading desktop_reading();

// The desktop values the summary stored last (DESKTOP_WIDTH .. DESKTOP_REFRESH), and storing new ones.
DesktopMetrics desktop_metrics_stored();
void desktop_metrics_store(const DesktopMetrics& metrics);

// Draws the three lines on CANVAS_SYSTEM_HEADER; false when the canvas does not exist (yet).
bool system_summary_draw(const std::array<std::wstring, 3>& lines);
