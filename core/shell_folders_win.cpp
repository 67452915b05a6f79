// Paths of the shell's special folders.
#include "core/shell_folders.h"

#include <shlobj.h>
#include <windows.h>

std::wstring shell_folder_path(int64_t csidl) {
    if (csidl < 0 || csidl > 0xFFFF) return {};
    PIDLIST_ABSOLUTE items = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, static_cast<int>(csidl), &items)) || !items) return {};
    wchar_t buffer[MAX_PATH + 1] = {};
    const bool found = SHGetPathFromIDListW(items, buffer) != 0;
    CoTaskMemFree(items);
    if (!found) return {};
    std::wstring path = buffer;
    if (path.empty()) return {};
    if (path.back() != L'\\') path += L'\\';
    return path;
}
