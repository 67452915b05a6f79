// Dark mode over the registry and the Desktop Window Manager, which is loaded only for the call.
#include <windows.h>

#include "core/shared_state.h"
#include "runtime/gui/window/window.h"
#include "runtime/system_library_win.h"
#include "ui/dark_mode.h"

namespace {

// RtlGetVersion tells the truth about the version whatever the manifest says.
bool windows_10_or_later() {
    using RtlGetVersionProc = LONG(WINAPI*)(OSVERSIONINFOW*);
    RtlGetVersionProc get_version = nullptr;
    if (!library_function_bind(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion", get_version)) return false;
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof(version);
    return get_version(&version) == 0 && version.dwMajorVersion >= 10;
}

}  // namespace

int apps_dark_theme_query() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize", 0,
                      KEY_READ, &key) != ERROR_SUCCESS) {
        return 0;
    }
    DWORD value = 0;
    DWORD size = sizeof(value);
    DWORD type = 0;
    const bool read = RegQueryValueExW(key, L"AppsUseLightTheme", nullptr, &type, reinterpret_cast<BYTE*>(&value),
                                       &size) == ERROR_SUCCESS &&
                      type == REG_DWORD && size == sizeof(value);
    RegCloseKey(key);
    return dark_theme_from_value(read, value);
}

void dark_title_bar_apply(int window, int repaint) {
    HWND hwnd = reinterpret_cast<HWND>(window_handle(window));
    if (!hwnd || !windows_10_or_later()) return;
    HMODULE dwmapi = system_library_load(L"dwmapi.dll");
    if (!dwmapi) return;
    using DwmSetWindowAttributeProc = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
    DwmSetWindowAttributeProc set_attribute = nullptr;
    if (library_function_bind(dwmapi, "DwmSetWindowAttribute", set_attribute) && SharedInts[DARK_MODE].load() != 0) {
        constexpr DWORD USE_IMMERSIVE_DARK_MODE = 20;
        const BOOL dark = TRUE;
        set_attribute(hwnd, USE_IMMERSIVE_DARK_MODE, &dark, sizeof(dark));
        if (repaint) {
            window_color_set(window, DARK_BACKGROUND);
            // Hiding and showing again makes Windows draw the title bar anew in the dark colours.
            window_show(window, WINDOW_HIDE);
            window_show(window, WINDOW_SHOW);
        }
    }
    FreeLibrary(dwmapi);
}
