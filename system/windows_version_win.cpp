// Windows identification: the build from kernel32.dll's version, RtlGetVersion, the edition from the registry.
#include <windows.h>

#include "core/file_version.h"
#include "core/shared_state.h"
#include "core/shell_folders.h"
#include "runtime/system_library_win.h"
#include "system/system_monitor.h"
#include "system/windows_name.h"

namespace {

constexpr int64_t VERSION_FIELD_PRODUCT_VERSION = 64;
constexpr LONG STATUS_OK = 0;

using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOEXW*);
using GetVersionExFunction = BOOL(WINAPI*)(OSVERSIONINFOEXW*);

std::wstring edition_id() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", 0,
                      KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) {
        return {};
    }
    // Room for 127 characters and a terminator that the read can never overwrite.
    wchar_t value[128] = {};
    DWORD size = sizeof value - sizeof(wchar_t);
    const LONG result = RegQueryValueExW(key, L"EditionID", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? std::wstring(value) : std::wstring();
}

WindowsVersionFacts version_facts() {
    WindowsVersionFacts facts;
    const std::wstring system_folder = shell_folder_path(CSIDL_SYSTEM_FOLDER);
    if (!system_folder.empty()) {
        facts.file_build = build_from_product_version(
            file_version_field(system_folder + L"kernel32.dll", VERSION_FIELD_PRODUCT_VERSION));
    }

    OSVERSIONINFOEXW info{};
    info.dwOSVersionInfoSize = sizeof info;
    // ntdll and kernel32 are mapped into every process: no load and free needed.
    RtlGetVersionFunction rtl_get_version = nullptr;
    if (library_function_bind(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion", rtl_get_version)) {
        facts.query_ok = rtl_get_version(&info) == STATUS_OK && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
    }
    if (facts.query_ok) {
        facts.major = info.dwMajorVersion;
        facts.minor = info.dwMinorVersion;
        facts.build = info.dwBuildNumber;
        facts.product_type = info.wProductType;
        facts.edition_id = edition_id();
        return facts;
    }

    OSVERSIONINFOEXW fallback{};
    fallback.dwOSVersionInfoSize = sizeof fallback;
    GetVersionExFunction get_version = nullptr;
    if (library_function_bind(GetModuleHandleW(L"kernel32.dll"), "GetVersionExW", get_version)) {
        facts.fallback_ok = get_version(&fallback) != 0;
    }
    if (facts.fallback_ok) {
        facts.fallback_major = fallback.dwMajorVersion;
        facts.fallback_minor = fallback.dwMinorVersion;
        OSVERSIONINFOEXW wanted{};
        wanted.dwOSVersionInfoSize = sizeof wanted;
        wanted.wProductType = VER_NT_WORKSTATION;
        const DWORDLONG condition = VerSetConditionMask(0, VER_PRODUCT_TYPE, VER_EQUAL);
        facts.fallback_workstation = VerifyVersionInfoW(&wanted, VER_PRODUCT_TYPE, condition) != 0;
    }
    return facts;
}

}  // namespace

std::wstring windows_version_text(WindowsEditionNames editions) {
    const WindowsName name = windows_name_compose(version_facts(), editions == EDITION_NAMES_SHORT);
    SharedInts[WINDOWS_BUILD] = name.build;
    return name.text;
}
