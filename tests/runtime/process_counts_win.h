// Counting a process's kernel handles and threads from outside it, as the system lists them for every process.
#pragma once

#include <windows.h>

#include <tlhelp32.h>
#include <winternl.h>

#include <vector>

// The handles the process holds; 0 when the system's list of handles cannot be read.
inline DWORD process_handle_count(DWORD process_id) {
    using Query = LONG(WINAPI*)(SYSTEM_INFORMATION_CLASS, void*, ULONG, ULONG*);
    const auto query = reinterpret_cast<Query>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (!query) return 0;
    constexpr LONG INFO_LENGTH_MISMATCH = static_cast<LONG>(0xC0000004);
    std::vector<char> buffer(1 << 16);
    ULONG needed = 0;
    LONG status = 0;
    while ((status = query(SystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed)) ==
           INFO_LENGTH_MISMATCH)
        buffer.resize(buffer.size() * 2);
    if (status != 0) return 0;
    const auto* list = reinterpret_cast<const SYSTEM_HANDLE_INFORMATION*>(buffer.data());
    DWORD count = 0;
    for (ULONG i = 0; i < list->Count; ++i) count += list->Handle[i].OwnerPid == process_id ? 1 : 0;
    return count;
}

// The threads the process runs; 0 when the system's list of threads cannot be read.
inline DWORD process_thread_count(DWORD process_id) {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    DWORD count = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        count += entry.th32OwnerProcessID == process_id ? 1 : 0;
    CloseHandle(snapshot);
    return count;
}
