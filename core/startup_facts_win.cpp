// Start-up facts on Windows: affinity mask, local time, the roaming application data folder.
#include <shlobj.h>
#include <windows.h>

#include "core/startup_facts.h"

namespace {

int usable_processor_count() {
    DWORD_PTR process_mask = 0;
    DWORD_PTR system_mask = 0;
    if (!GetProcessAffinityMask(GetCurrentProcess(), &process_mask, &system_mask) || process_mask == 0) {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        return static_cast<int>(info.dwNumberOfProcessors);
    }
    int count = 0;
    for (; process_mask; process_mask &= process_mask - 1) ++count;
    return count;
}

std::wstring roaming_folder() {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
    std::wstring folder(path);
    if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
    return folder;
}

}  // namespace

std::wstring program_path() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

SharedStateFacts startup_facts_gather() {
    SharedStateFacts facts;
    facts.cpu_count = usable_processor_count();
    SYSTEMTIME now;
    GetLocalTime(&now);
    facts.current_hour = now.wHour;
    facts.current_second = now.wSecond;
    facts.appdata_folder = roaming_folder();
    facts.log_folder = facts.appdata_folder + L"Brindale\\";
    facts.cpu_brand = cpu_brand_text();
    return facts;
}
