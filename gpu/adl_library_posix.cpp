// The native build loads no library file: nothing to free.
#include "gpu/adl_library.h"

void adl_library_free() {}
