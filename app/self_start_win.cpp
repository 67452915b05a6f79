// Starting this program again and opening targets with the shell, on Windows.
#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

#include "app/self_start.h"
#include "core/self_start_line.h"

namespace {

std::wstring own_path() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) return std::wstring(path.data(), length);
        if (path.size() >= 32768) return {};
        path.resize(path.size() * 2);
    }
}

}  // namespace

bool self_start(bool elevated) {
    const std::wstring program = own_path();
    if (program.empty()) return false;
    if (elevated) {
        // The shell is given the path and the fixed words apart: nothing is read as a command.
        SHELLEXECUTEINFOW start{};
        start.cbSize = sizeof(start);
        start.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
        start.lpVerb = L"RunAS";
        start.lpFile = program.c_str();
        start.lpParameters = L"restart norepair";
        start.nShow = SW_HIDE;
        return ShellExecuteExW(&start) != FALSE;
    }
    std::wstring command_line = self_start_command_line(program);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

bool shell_target_open(std::wstring_view target) {
    if (!shell_target_allowed(target)) return false;
    const std::wstring text(target);
    const HINSTANCE result = ShellExecuteW(nullptr, L"open", text.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<intptr_t>(result) > 32;
}
