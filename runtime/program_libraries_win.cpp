// Numbered libraries of the system folder, so that no DLL of the same name in the program's folder or the
// current folder is picked up.
#include <windows.h>

#include <atomic>
#include <map>
#include <mutex>
#include <string>

#include "runtime/program_libraries.h"
#include "runtime/system_library_win.h"

LeafLock ProgramLibrariesLock("ProgramLibrariesLock");

namespace {

std::map<int, HMODULE> libraries;
std::atomic<LibraryFreeObserver> free_observer{nullptr};

}  // namespace

int64_t library_load(int number, std::wstring_view file_name) {
    library_free(number);
    HMODULE module = system_library_load(std::wstring(file_name).c_str());
    if (!module) return 0;
    std::lock_guard guard(ProgramLibrariesLock);
    libraries[number] = module;
    return number;
}

int64_t library_load_file(int number, std::wstring_view full_path) {
    library_free(number);
    if (full_path.empty()) return 0;
    HMODULE module = LoadLibraryExW(std::wstring(full_path).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!module) return 0;
    std::lock_guard guard(ProgramLibrariesLock);
    libraries[number] = module;
    return number;
}

void* library_function(int number, const char* name) {
    std::lock_guard guard(ProgramLibrariesLock);
    const auto found = libraries.find(number);
    if (found == libraries.end()) return nullptr;
    void* function = nullptr;
    library_function_bind(found->second, name, function);
    return function;
}

bool library_loaded(int number) {
    std::lock_guard guard(ProgramLibrariesLock);
    return libraries.count(number) > 0;
}

void library_free(int number) {
    HMODULE module = nullptr;
    {
        std::lock_guard guard(ProgramLibrariesLock);
        const auto found = libraries.find(number);
        if (found == libraries.end()) return;
        module = found->second;
        libraries.erase(found);
    }
    if (const LibraryFreeObserver observer = free_observer.load()) observer(number);
    FreeLibrary(module);
}

void library_free_observer_set(LibraryFreeObserver observer) { free_observer = observer; }
