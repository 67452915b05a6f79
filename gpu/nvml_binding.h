// Binding the NVIDIA management library at start-up and letting it go at the end. Windows builds only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Looks for nvml.dll below the Program Files folder, then in the system folder, and binds the first that is a
// file of more than 0 bytes (nvml_load_from). Main thread, once at start-up, before the AMD library.
int64_t nvml_load();

// Binds the first candidate that is a non-empty file: loads it as library LIBRARY_NVML, finds its functions,
// initialises it and reads the driver, NVML and CUDA versions into NvmlSystem. LIBRARY_NVML when the
// library can be used, else 0 with nothing left loaded. Refuses a library without its start and end
// functions and drivers older than NVML_MIN_DRIVER_MAJOR; the i386 build binds nothing, the library being
// published for 64-bit Windows only. Every step is a line of the NVIDIA detection log.
int64_t nvml_load_from(const std::vector<std::wstring>& candidates);

// Shuts the library down when it was initialised, frees it, forgets its functions and sets NVML_LIBRARY to 0.
// Harmless when nothing is bound. The sampler calls it when it ends; tests between runs.
void nvml_unload();
