// Where a DLL of the system folder is taken from when the loader cannot restrict its own search.
#pragma once

#include <string>
#include <string_view>

// True for a plain file name ("version.dll"): not empty, no folder part, no drive, not "." or "..". A name
// with a folder part would make the loader take that file wherever it lies.
bool system_library_name_plain(std::wstring_view name);

// The full path of the DLL in the system folder ("C:\Windows\system32" + "\" + "version.dll"); the empty text
// when the folder is empty or the name is not plain. Never the bare name: that would search the program's
// folder and the current folder first.
std::wstring system_library_path(std::wstring_view system_folder, std::wstring_view name);
