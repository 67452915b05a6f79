// The System summary: processor and memory, display, Windows, computer and user; built on one thread at a time.
#include "system/system_summary_win.h"

#include <windows.h>

#include <mutex>

#include "core/shared_state.h"
#include "core/system_query.h"
#include "runtime/text.h"
#include "system/system_monitor.h"

namespace {

std::mutex summary_lock;  // one build at a time, whoever asks

std::wstring adapter_name() {
    DISPLAY_DEVICEW device{};
    device.cb = sizeof device;
    if (!EnumDisplayDevicesW(nullptr, 0, &device, 0)) return {};
    device.DeviceString[127] = L'\0';
    return std::wstring(device.DeviceString);
}

std::wstring computer_name() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    return GetComputerNameW(name, &size) ? std::wstring(name, size < MAX_COMPUTERNAME_LENGTH + 1 ? size : 0)
                                         : std::wstring();
}

std::wstring user_name() {
    wchar_t name[1025] = {};
    DWORD size = 1025;
    return GetUserNameW(name, &size) ? std::wstring(name) : std::wstring();
}

}  // namespace

DesktopReading desktop_reading() {
    DesktopReading reading;
    DISPLAY_DEVICEW device{};
    device.cb = sizeof device;
    for (DWORD index = 0; EnumDisplayDevicesW(nullptr, index, &device, 0); ++index) {
        if (device.StateFlags & DISPLAY_DEVICE_PRIMARY_DEVICE) {
            DEVMODEW mode{};
            mode.dmSize = sizeof mode;
            if (EnumDisplaySettingsW(device.DeviceName, ENUM_CURRENT_SETTINGS, &mode)) {
                reading.metrics.width = static_cast<int32_t>(mode.dmPelsWidth);
                reading.metrics.height = static_cast<int32_t>(mode.dmPelsHeight);
                reading.metrics.depth = static_cast<int32_t>(mode.dmBitsPerPel);
                reading.metrics.refresh = static_cast<int32_t>(mode.dmDisplayFrequency);
            }
            break;
        }
        device = DISPLAY_DEVICEW{};
        device.cb = sizeof device;
    }
    if (const HDC screen = GetDC(nullptr)) {
        reading.dpi_x = GetDeviceCaps(screen, LOGPIXELSX);
        reading.dpi_y = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
    }
    reading.metrics.scale = desktop_scale_percent(reading.dpi_x);
    return reading;
}

DesktopMetrics desktop_metrics_stored() {
    return DesktopMetrics{SharedInts[DESKTOP_WIDTH].load(), SharedInts[DESKTOP_HEIGHT].load(),
                          SharedInts[DESKTOP_SCALE].load(), SharedInts[DESKTOP_DEPTH].load(),
                          SharedInts[DESKTOP_REFRESH].load()};
}

void desktop_metrics_store(const DesktopMetrics& metrics) {
    SharedInts[DESKTOP_WIDTH] = metrics.width;
    SharedInts[DESKTOP_HEIGHT] = metrics.height;
    SharedInts[DESKTOP_SCALE] = metrics.scale;
    SharedInts[DESKTOP_DEPTH] = metrics.depth;
    SharedInts[DESKTOP_REFRESH] = metrics.refresh;
}

void system_summary_request() { SharedInts[SYSTEM_SUMMARY_REQUEST].store(1, std::memory_order_release); }

std::wstring system_summary_text() {
    std::lock_guard guard(summary_lock);
    SystemSummaryFacts facts;
    facts.cpu_brand = collapse_spaces(shared_text(CPU_BRAND_TEXT));
    shared_text_set(CPU_BRAND_TEXT, facts.cpu_brand);
    facts.cpu_count = SharedInts[CPU_COUNT].load();
    MEMORYSTATUSEX memory{};
    memory.dwLength = sizeof memory;
    if (GlobalMemoryStatusEx(&memory)) facts.total_memory = memory.ullTotalPhys;
    facts.adapter = adapter_name();
    read_desktop_metrics();
    const DesktopReading desktop = desktop_reading();
    facts.desktop = desktop.metrics;
    facts.dpi_x = desktop.dpi_x;
    facts.dpi_y = desktop.dpi_y;
    // Stored whether or not the header can be drawn, so that the sampler's desktop check sees its change
    // only once.
    desktop_metrics_store(desktop.metrics);
    facts.windows_name = windows_version_text(EDITION_NAMES_LONG);
    shared_text_set(WINDOWS_NAME, facts.windows_name);
    facts.windows_build = SharedInts[WINDOWS_BUILD].load();
    facts.safe_mode = safe_mode_state();
    facts.computer_name = computer_name();
    facts.user_name = user_name();
    const auto lines = system_summary_lines(facts);
    system_summary_draw(lines);
    return system_summary_joined(lines);
}
