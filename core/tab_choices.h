// The choices of the monitoring tabs' combo boxes as the shared state takes them: the drive filter, the
// adapter filter, the GPU and the units. A selection of -1 (none) or past the end of its list is ignored.
// No Windows.
#pragma once

#include <cstdint>
#include <string_view>

// The drive filter's item: 0 all drives (index -1), n > 0 the n-th letter of `letters` (index 1 for A to
// 26 for Z). False when the item names no letter of the list; nothing is to change then.
bool drive_filter_choice(int item, std::wstring_view letters, int* drive_index);

// The adapter filter's item: 0 all adapters (-1), n > 0 the three-digit adapter number at item n of
// `adapters`. False when the item is past the list or its digits are not a number.
bool network_filter_choice(int item, std::wstring_view adapters, int* adapter_number);

// A GPU slot to switch to: one of the `entry_count` entries (at most GRAPH_GPU_SLOTS) other than the selected one.
bool gpu_choice_switches(int item, int selected, int entry_count);

// An item of a list of `count` fixed choices (byte unit: 6, traffic unit: 2).
bool unit_choice_valid(int item, int count);

// A right click on a graph chooses its plot colour. A GPU graph (gpu_start to gpu_start + GPU_GRAPH_SPAN) counts as the
// same graph of slot 0 of the selected GPU, whose colour every slot takes; other graphs as themselves.
bool graph_is_gpu(int control, int gpu_start);
int graph_color_kind(int control, int gpu_start, int gpu_selected);

// The plot colour a choice gives: -1 when cancelled; black becomes 1 (0 means "no graph"), and white
// gives the default colour back.
int32_t graph_color_picked(int32_t chosen, int32_t default_color);
