// Opening targets with the shell, on Windows.
#include <windows.h>

#include <shellapi.h>

#include <string>

#include "app/shell_target.h"
#include "core/self_start_line.h"

bool shell_target_open(std::wstring_view target) {
    if (!shell_target_allowed(target)) return false;
    const std::wstring text(target);
    const HINSTANCE result = ShellExecuteW(nullptr, L"open", text.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<intptr_t>(result) > 32;
}
