// The AMD sampler thread: the AMD GPUs' live values once a second, their cells, graphs and histories.
#pragma once

#include <cstdint>

// Thread procedure for thread_create (argument unused), priority 16, its number in AMD_SAMPLER_THREAD.
// 100 ms rounds; samples every shown AMD entry at the first round of each new wall-clock second, history and
// graph samples every second sampling round. Ends within one round once QUIT_FLAG is 1 or more, then stops
// the PMLog shared memories, destroys the PMLog devices and the context and frees the library (adl_unload).
// Start it only after adl_load gave a library, amd_gpu_enumerate and gpu_entries_assign.
void amd_sampler_thread(int64_t argument);

// What the sampler needs of the windowing side; install before it starts. A missing hook leaves its part out.
// Both are used only while the NVIDIA library reports no device (the NVIDIA sampler serves them otherwise).
struct AmdSamplerHooks {
    void (*copy_tab)(int tab) = nullptr;  // copies the Graphics tab and sets COPY_TAB_REQUEST back to -1
    void (*info_view_build)() = nullptr;  // rebuilds the GPU information view
};
void amd_sampler_hooks_set(const AmdSamplerHooks& hooks);
