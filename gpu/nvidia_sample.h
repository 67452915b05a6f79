// One sampled second of one NVIDIA GPU: its live readings and the texts made of them.
#pragma once

#include <string>

#include "gpu/nvidia_gpu.h"

// Reads clocks, utilisation, fan, performance state, power, temperature and memory into the record, with the
// older query where a newer one is missing or fails. Status bytes NVS_UTILIZATION and NVS_POWER_USAGE get
// their results.
void nvidia_slot_sample(NvidiaGpu& gpu);

// Raises the guessed highest clocks to the current ones (only while max_clocks_guessed is 1).
void nvidia_max_clocks_follow(NvidiaGpu& gpu);

// The compact cell's text: label, utilisation, graphics and memory clock, temperature, fan.
std::wstring nvidia_cell_text(const NvidiaGpu& gpu);

// The "Graphics ID" line, its columns separated by line feeds.
std::wstring nvidia_id_line(const NvidiaGpu& gpu);
