// Special folders in the native build: the shell does not exist there.
#include "core/shell_folders.h"

std::wstring shell_folder_path(int64_t) { return {}; }
