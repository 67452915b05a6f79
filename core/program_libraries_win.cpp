// Numbered libraries over LoadLibraryExW, restricted to the system folder so that no DLL of the same name
// in the program's folder or the current folder is picked up.
#include <windows.h>

#include <map>
#include <mutex>
#include <string>

#include "core/program_libraries.h"

namespace {

std::mutex libraries_lock;  // leaf lock
std::map<int, HMODULE> libraries;

HMODULE load_from_system_folder(const std::wstring& name) {
    // LOAD_LIBRARY_SEARCH_SYSTEM32 needs an update that old Windows 7 may lack; fall back to the full path.
    if (HMODULE module = LoadLibraryExW(name.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) return module;
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    return LoadLibraryW((std::wstring(folder) + L"\\" + name).c_str());
}

}  // namespace

int64_t library_load(int number, std::wstring_view file_name) {
    library_free(number);
    HMODULE module = load_from_system_folder(std::wstring(file_name));
    if (!module) return 0;
    std::lock_guard guard(libraries_lock);
    libraries[number] = module;
    return number;
}

void* library_function(int number, const char* name) {
    std::lock_guard guard(libraries_lock);
    const auto found = libraries.find(number);
    if (found == libraries.end()) return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(found->second, name));
}

bool library_loaded(int number) {
    std::lock_guard guard(libraries_lock);
    return libraries.count(number) > 0;
}

void library_free(int number) {
    HMODULE module = nullptr;
    {
        std::lock_guard guard(libraries_lock);
        const auto found = libraries.find(number);
        if (found == libraries.end()) return;
        module = found->second;
        libraries.erase(found);
    }
    FreeLibrary(module);
}
