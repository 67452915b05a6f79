// Folding the AMD display library's adapter entries into GPU records and choosing each GPU's sensor interface.
#include "gpu/amd_gpu.h"

void amd_gpu_enumerate() {}
