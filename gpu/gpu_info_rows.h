// The rows of the GPU information list and the two detection logs that the whole GPU monitor shares.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

enum GpuVendor : int { GPU_VENDOR_NVIDIA = 1, GPU_VENDOR_AMD = 2 };

// Appends "prefix text" to the vendor's log ("N|" or "A|" for an empty prefix); another vendor adds nothing.
// Takes GpuInfoMutex; any thread.
void gpu_report_line_queue(int vendor, std::wstring_view text, std::wstring_view prefix = {});

// The name-and-value row: prefix, label in 20 characters, " ", the number unless hidden, the trimmed value and
// the suffix.
std::wstring gpu_info_row_text(std::wstring_view prefix, std::wstring_view label, int64_t number, bool show_number,
                               std::wstring_view value, std::wstring_view suffix);

enum GpuInfoRowMode : int {
    GPU_ROW_HISTORY = -3,  // the label as it is, also kept in GpuInfoHistory (GPU_HISTORY_ROWS newest)
    GPU_ROW_PLAIN = -2,    // the label as it is
    GPU_ROW_ALWAYS = -1,   // always added, the number also when 0
    GPU_ROW_VALUE = 0,     // left out while empty unless every row is shown
};

// Adds a row at the top of LIST_GPU_INFO. The caller holds GpuInfoMutex.
void gpu_info_row(int mode, std::wstring_view label, int64_t number, std::wstring_view value, std::wstring_view suffix);

// Adds a row for a query whose status is `flag` (0 read): an empty label is a spacer, number -1 the label
// alone; a failed or empty row only while GPU_VIEW_ALL_ROWS is set, marked "1 " or "- ". The caller holds
// GpuInfoMutex.
void gpu_info_row_flagged(uint8_t flag, std::wstring_view label, int64_t number, std::wstring_view value,
                          std::wstring_view suffix);
