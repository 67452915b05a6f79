// The keyboard shortcuts of the two windows: their registration at the end of start-up and the handler of
// their events (decisions in core/shortcut_keys.h). Main thread.
#pragma once

#include <string>
#include <string_view>

// What the shortcuts ask of subsystems that serve them through calls rather than request elements. A hook
// that is not installed makes its shortcut do nothing.
struct ShortcutHooks {
    int (*gpu_entries_assign)() = nullptr;   // F5 on the Graphics tab without GPU entries
    void (*ping_toolbar_build)() = nullptr;  // F6 on the Ping tab: its host-name fields
    // Adds blank-separated names to the lookup queue (under its lock) and resolves them (F6, Return on the Ping tab).
    void (*host_lookup_start)(const std::wstring& names) = nullptr;
    void (*ping_address_enter)() = nullptr;  // Return on the Ping tab in address and range mode
    void (*ping_address_focus)() = nullptr;  // Ctrl+F on the Ping tab in address and range mode
    void (*proxy_switch)() = nullptr;        // F7 on the Networks tab: the proxy off, or the last known one on again
    void (*shell_open)(std::wstring_view target) = nullptr;  // a folder or web page (About tab's F6, F7)
};
void shortcut_hooks_set(const ShortcutHooks& hooks);

// Adds every shortcut to WIN_COMPACT and WIN_MAIN (which must exist).
void shortcuts_register();

// The handler of a shortcut event that fired on a window.
void shortcut_event(int shortcut, int window);

// The temperature tool's web page (F7 on the About tab).
constexpr std::wstring_view TEMP_TOOL_PAGE = L"https://www.alcpu.com/CoreTemp/";
