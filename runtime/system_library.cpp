// Where a DLL of the system folder is taken from when the loader cannot restrict its own search.
#include "runtime/system_library.h"

bool system_library_name_plain(std::wstring_view name) {
    if (name.empty() || name == L"." || name == L"..") return false;
    return name.find_first_of(L"\\/:") == std::wstring_view::npos;
}

std::wstring system_library_path(std::wstring_view system_folder, std::wstring_view name) {
    if (system_folder.empty() || !system_library_name_plain(name)) return {};
    std::wstring path(system_folder);
    if (path.back() != L'\\' && path.back() != L'/') path += L'\\';
    path += name;
    return path;
}
