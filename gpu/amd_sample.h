// One sampling round of one AMD GPU: its live readings through the sensor interface the enumeration chose, the
// clock percentages, and the cell, ID and latency texts made of them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "gpu/amd_gpu.h"
#include "runtime/date.h"

// Reads the live values of AMD GPU `index` into its record through its sensor_method and marks: the PMLog
// block (shared memory or query) for the two PMLog methods, otherwise activity and clocks, temperature, fan
// and power from the first Overdrive interface marked for each. A failed call leaves its fields as they were.
void amd_gpu_sample(AmdGpu& gpu, int index);

// Refreshes vram_used_mb of the selected GPU when the library has the call.
void amd_vram_refresh(AmdGpu& gpu);

// Core clock in percent of the boost clock, else of the clock observed at start-up, else 0, rounded with
// halves away from zero; a core clock of 0 keeps the last percentage.
int32_t amd_core_clock_pct(const AmdGpu& gpu);

// Memory clock in percent of memory_clock_max, 0 without one.
int32_t amd_memory_clock_pct(const AmdGpu& gpu);

// The compact cell's text: label, activity, core and memory clock, temperature, fan; at most 60 characters.
std::wstring amd_cell_text(const AmdGpu& gpu);

// The "Graphics ID" row, its five columns separated by line feeds.
std::wstring amd_id_row(const AmdGpu& gpu);

// The history row noting that one GPU took `ms` milliseconds to sample.
std::wstring amd_latency_row(Date now, std::wstring_view label, int64_t ms);
