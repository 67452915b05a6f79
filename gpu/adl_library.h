// Freeing the loaded AMD display library file: FreeLibrary in the Windows builds, a counter in the native one.
#pragma once

// Frees library LIBRARY_ADL. Called without AdlLock, after the function table was emptied under it.
void adl_library_free();
