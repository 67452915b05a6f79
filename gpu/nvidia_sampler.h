// The NVIDIA sampler thread: the GPUs' live values once a second, their cells, graphs and histories.
#pragma once

#include <cstdint>

// Thread procedure for thread_create (argument unused), priority 16, its number in NVIDIA_SAMPLER_THREAD.
// 100 ms rounds; samples every shown NVIDIA entry at the first round of each new wall-clock second, history
// and graph samples every second sampled second. Ends within one round once QUIT_FLAG is 1 or more, then
// shuts the library down and frees it (nvml_unload). Start it only after nvml_load gave a library,
// nvidia_gpu_enumerate and gpu_entries_assign.
void nvidia_sampler_thread(int64_t argument);

// What the sampler needs of the windowing side; install before it starts. A missing hook leaves its part out.
struct NvidiaSamplerHooks {
    void (*copy_tab)(int tab) = nullptr;  // copies the Graphics tab and sets COPY_TAB_REQUEST back to -1
    void (*info_view_build)() = nullptr;  // rebuilds the GPU information view
};
void nvidia_sampler_hooks_set(const NvidiaSamplerHooks& hooks);
