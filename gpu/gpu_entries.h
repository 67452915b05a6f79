// GPU entries: the numbering of the vendors' GPUs that the cells, graphs, selector and labels share, and the
// requirements text shown when there is no entry.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/shared_tables.h"

// Numbers the named GPUs as entries, NVIDIA first then AMD, at most GPU_ENTRY_MAX: letters and vendor
// indexes of `index`, its entry count, and the result. An unnamed GPU gets no entry.
int gpu_entries_number(GpuEntryIndexRecord& index, std::span<const bool> nvidia_named, std::span<const bool> amd_named);

// "G" and the 1-based entry number in hexadecimal.
std::wstring gpu_entry_label(int entry);

// An AMD GPU's PCI location: "0000:", bus and device in decimal padded to 2 digits, "." and the function
// ("0000:03:00.0").
std::wstring amd_pci_location(int32_t bus, int32_t device, int32_t function);

// A selector item: "Filter G1: [bus] (brand) name memory".
std::wstring gpu_selector_item(std::wstring_view label, std::wstring_view location, std::wstring_view brand,
                               std::wstring_view name, uint64_t memory_bytes);

// What the GPU entries show in LIST_GPU_INFO.
struct GpuEntriesInfo {
    bool all_rows = false;      // the error mode: both detection logs and the heading
    bool requirements = false;  // no GPU entry: the requirements text
    bool safe_mode = false;     // the system runs in a fail-safe mode
    int nvidia_driver_major = 0;
    int amd_driver_major = 0;
};

// Empties LIST_GPU_INFO and fills it anew, all in one hold of GpuInfoMutex, so that a reader under the lock sees
// the whole old list or the whole new one: in the error mode the detection logs below, with no entry the
// requirements text, in the error mode the heading on top.
void gpu_entries_info_rebuild(const GpuEntriesInfo& info);

// Adds the rows that explain what a GPU needs (rows read bottom to top, LIST_GPU_INFO inserts at the top).
// Holds GpuInfoMutex.
void gpu_requirements_rows(bool safe_mode, int nvidia_driver_major, int amd_driver_major);

// Adds both detection logs (error mode), each read in the order written, with spacers. Holds GpuInfoMutex.
void gpu_report_rows();

// The error mode's heading and a spacer. Holds GpuInfoMutex.
void gpu_error_mode_heading();

// Assigns the entries after the enumerations: cells, labels, letters, the selector and the information
// list, GPU_SELECTED and GPU_VIEW_REFRESH_REQUEST. Returns GPU_ENTRY_COUNT (0 when QUIT_FLAG is set).
// Main thread; Windows builds only.
int gpu_entries_assign();
