// Loading of system DLLs from the system folder only.
#include "runtime/system_library_win.h"

#include <string>

#include "runtime/system_library.h"

HMODULE system_library_load(const wchar_t* name) {
    if (!name || !system_library_name_plain(name)) return nullptr;
    HMODULE module = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    // Windows 7 without its loader update does not know the flag: then the full path in the system folder.
    if (module || GetLastError() != ERROR_INVALID_PARAMETER) return module;
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    const std::wstring path = system_library_path(std::wstring_view(folder, length), name);
    return path.empty() ? nullptr : LoadLibraryW(path.c_str());
}
