// Starting this program again on Windows: a quoted command line through CreateProcess, or the shell's "RunAS".
#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

#include "core/self_start_line.h"

std::wstring own_program_path() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) return std::wstring(path.data(), length);
        if (path.size() >= 32768) return {};
        path.resize(path.size() * 2);
    }
}

bool program_start_again(std::wstring_view program, bool elevated, int show_command) {
    const std::wstring path(program);
    if (path.empty()) return false;
    if (elevated) {
        // The shell is given the path and the fixed words apart: nothing is read as a command.
        SHELLEXECUTEINFOW start{};
        start.cbSize = sizeof(start);
        start.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
        start.lpVerb = L"RunAS";
        start.lpFile = path.c_str();
        start.lpParameters = L"restart norepair";
        start.nShow = show_command;
        return ShellExecuteExW(&start) != FALSE;
    }
    std::wstring command_line = self_start_command_line(path);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(show_command);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(path.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

bool self_start(bool elevated) { return program_start_again(own_program_path(), elevated, SW_HIDE); }
