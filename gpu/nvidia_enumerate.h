// Reading the NVIDIA GPUs' static facts into NvidiaGpuTable once at start-up.
#pragma once

// Sets NvmlSystem.device_count and NVIDIA_GPU_COUNT (at most NVIDIA_SLOTS_USED), makes NvidiaGpuTable anew
// and fills one record per GPU, logging each step. Calls only functions the binding found; a missing one
// counts as a failed query. Main thread, once, after nvml_load gave a library and before any sampler.
void nvidia_gpu_enumerate();
