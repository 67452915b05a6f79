// Freeing the loaded AMD display library file: FreeLibrary in the Windows builds, a counter in the native one.
#pragma once

// Frees library LIBRARY_ADL. The caller holds AdlLock.
void adl_library_free();
