// The three lines of the System tab's summary and the desktop-change lines, from facts gathered elsewhere.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The primary monitor's current mode as the summary stores it and the sampler compares it.
struct DesktopMetrics {
    int32_t width = 0;    // pixels
    int32_t height = 0;   // pixels
    int32_t scale = 0;    // percent, 100 at 96 DPI
    int32_t depth = 0;    // bits per pixel
    int32_t refresh = 0;  // Hz
    friend bool operator==(const DesktopMetrics&, const DesktopMetrics&) = default;
};

struct SystemSummaryFacts {
    std::wstring cpu_brand;  // runs of spaces are collapsed by the builder
    int32_t cpu_count = 0;
    uint64_t total_memory = 0;  // bytes
    std::wstring adapter;       // display adapter name, as Windows gives it
    DesktopMetrics desktop;
    int32_t dpi_x = 96;
    int32_t dpi_y = 96;
    std::wstring windows_name;
    int32_t windows_build = 0;
    int64_t safe_mode = 0;  // 0 normal, 1 safe mode, 2 safe mode with networking
    std::wstring computer_name;
    std::wstring user_name;
};

// The desktop scale in percent for a DPI: 100 × dpi / 96, rounded; 100 for a DPI that is not positive.
int32_t desktop_scale_percent(int32_t dpi);

// The summary: processor and memory; display; Windows, computer and user. Labels are translated.
std::array<std::wstring, 3> system_summary_lines(const SystemSummaryFacts& facts);

// The three lines each followed by "\r\n", as the clipboard copy takes them.
std::wstring system_summary_joined(const std::array<std::wstring, 3>& lines);

// One translated line per value that differs between the stored and the current desktop, in the order
// width, height, scale, colours, frequency.
std::vector<std::wstring> desktop_change_lines(const DesktopMetrics& stored, const DesktopMetrics& current);

// The text with every run of spaces reduced to one space.
std::wstring collapse_spaces(std::wstring text);
