// The system queries over Win32: Toolhelp snapshots, system metrics, the monitors and the work area.
#include <windows.h>

#include <tlhelp32.h>

#include <atomic>
#include <string>

#include "core/shared_state.h"
#include "core/shared_tables.h"
#include "core/system_query.h"
#include "runtime/date.h"
#include "runtime/gui/dpi/dpi_win.h"
#include "runtime/worker_timer.h"

namespace {

std::atomic<int> last_left{0};
std::atomic<int> last_top{0};

std::wstring windows_lower(std::wstring_view text) {
    std::wstring lower(text);
    if (!lower.empty()) CharLowerBuffW(lower.data(), static_cast<DWORD>(lower.size()));
    return lower;
}

BOOL CALLBACK count_monitor(HMONITOR, HDC, LPRECT, LPARAM counter) {
    ++*reinterpret_cast<int*>(counter);
    return TRUE;
}

// Milliseconds of the wall clock (UTC since 1601); its seconds turn together with the local time's.
int64_t wall_clock_ms() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const uint64_t ticks = (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return static_cast<int64_t>(ticks / 10000);
}

}  // namespace

int64_t is_process_running(std::wstring_view executable) {
    if (executable.empty()) return 0;
    const std::wstring wanted = windows_lower(executable);
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    int64_t found = 0;
    for (BOOL more = Process32FirstW(snapshot, &entry); more && !found; more = Process32NextW(snapshot, &entry)) {
        entry.szExeFile[MAX_PATH - 1] = L'\0';
        if (windows_lower(entry.szExeFile) == wanted) found = 1;
    }
    CloseHandle(snapshot);
    return found;
}

int64_t safe_mode_state() { return GetSystemMetrics(SM_CLEANBOOT); }

void read_desktop_metrics() {
    int monitors = 0;
    EnumDisplayMonitors(nullptr, nullptr, count_monitor, reinterpret_cast<LPARAM>(&monitors));
    SharedInts[MONITOR_COUNT] = monitors;
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    const WorkAreaUnits units = work_area_units(area.left, area.top, area.right, area.bottom, gui_dpi());
    last_left = units.left;
    last_top = units.top;
    SharedInts[WORKAREA_HEIGHT] = units.bottom;
    SharedInts[WORKAREA_WIDTH] = units.right;
}

int work_area_left() { return last_left.load(); }

int work_area_top() { return last_top.load(); }

void wait_next_second() {
    // The second and its milliseconds come from one reading, so a turn between two reads cannot be missed.
    const int64_t start_second = wall_clock_ms() / 1000;
    for (;;) {
        const int64_t now = wall_clock_ms();
        if (now / 1000 != start_second) break;
        // To the boundary by the clock's own milliseconds; a wait that ends a moment early waits the rest.
        if (quit_event_wait(static_cast<int>(1000 - now % 1000))) return;
    }
    SecondPhaseMs = millisecond_clock() % 1000;
}
