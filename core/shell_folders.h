// Paths of the shell's special folders.
#pragma once

#include <cstdint>
#include <string>

constexpr int64_t CSIDL_WINDOWS_FOLDER = 36;
constexpr int64_t CSIDL_SYSTEM_FOLDER = 37;
constexpr int64_t CSIDL_APPDATA_FOLDER = 26;

// The folder's full path ending with "\"; the empty text when Windows cannot give it (and always natively).
std::wstring shell_folder_path(int64_t csidl);
