// Starting the program again on Windows.
#include <windows.h>

#include <shellapi.h>

#include <string>

#include "core/program_restart.h"

bool program_start_again(std::wstring_view program, bool elevated, int show_command) {
    const std::wstring path(program);
    SHELLEXECUTEINFOW start{};
    start.cbSize = sizeof(start);
    start.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    start.lpVerb = elevated ? L"RunAS" : nullptr;
    start.lpFile = path.c_str();
    start.lpParameters = L"restart norepair";
    start.lpDirectory = L"";
    start.nShow = show_command;
    if (!ShellExecuteExW(&start)) return false;
    if (start.hProcess) CloseHandle(start.hProcess);
    return true;
}
