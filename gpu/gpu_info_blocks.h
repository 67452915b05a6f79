// The blocks of the GPU information list: one per NVIDIA GPU, per AMD GPU and per legacy AMD card, and the
// small texts their rows are made of.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The date of a block heading: " 2026-12-11 00:00:00" (a leading space).
std::wstring gpu_block_date_text(int64_t date);

// The decimal number padded on the left with "0" to 3 digits: 7 gives "007".
std::wstring gpu_index3(int index);

// The number of whole MiB in `bytes` (truncated).
int64_t gpu_mib(int64_t bytes);

// The suffix of a memory row: "M (8.00G)", the GiB with two decimals.
std::wstring gpu_gib_suffix(int64_t bytes);

// The suffix of a power row in milliwatts: "mW (250W)", the whole watts truncated.
std::wstring gpu_watts_suffix(int32_t milliwatts);

// " (" + the value in upper-case hexadecimal padded to 8 digits + ")"; the low 32 bits of the value.
std::wstring gpu_hex8(int64_t value);

// The second "\"-separated field of a plug-and-play id with every "&" made a space; empty without one.
std::wstring gpu_pnp_text(std::wstring_view pnp);

// A CUDA driver version in thousandths with its zeros trimmed: 12040 "12.04", 11000 "11.", 500 ".5".
std::wstring gpu_cuda_view_text(int32_t version);

// The rows of NVIDIA slot `slot` (0-based), bottom row first into LIST_GPU_INFO. The caller holds
// GpuInfoMutex.
void gpu_info_nvidia_block(int slot, std::wstring_view date_text);

// The rows after an AMD GPU's "Aspect List" row: aspects 2 and 3, 4 and 5 ... two to a row, the first of
// each pair padded to 18 characters; an odd last aspect stands alone. Two more leading spaces in the error
// mode.
std::vector<std::wstring> gpu_aspect_pair_rows(std::wstring_view aspects, bool all_rows);

// The rows of AMD GPU `index` (0-based). Before them, the GPU's one-time capability queries, each made once in
// the run, only while the library is bound and the index is an enumerated GPU. The caller holds GpuInfoMutex.
void gpu_info_amd_block(int index, std::wstring_view date_text);

// The rows of legacy AMD card `card` (0-based). The caller holds GpuInfoMutex.
void gpu_info_legacy_block(int card, std::wstring_view date_text);
