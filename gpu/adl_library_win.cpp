// Freeing the AMD display library file in the Windows builds.
#include "core/control_numbers.h"
#include "gpu/adl_library.h"
#include "runtime/program_libraries.h"

void adl_library_free() { library_free(LIBRARY_ADL); }
