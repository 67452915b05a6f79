// The desktop's DPI: GetDpiForSystem where Windows has it, else the screen's logical pixels per inch.
#include <windows.h>

#include <atomic>

#include "runtime/gui/dpi/dpi_units.h"
#include "runtime/gui/dpi/dpi_win.h"
#include "runtime/system_library_win.h"

namespace {

int read_desktop_dpi() {
    using GetDpiForSystemProc = UINT(WINAPI*)();
    GetDpiForSystemProc get_dpi = nullptr;
    if (library_function_bind(GetModuleHandleW(L"user32.dll"), "GetDpiForSystem", get_dpi)) {
        return dpi_sane(static_cast<int>(get_dpi()));
    }
    HDC screen = GetDC(nullptr);
    if (!screen) return 96;
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi_sane(dpi);
}

}  // namespace

int gui_dpi() {
    static std::atomic<int> cached{0};
    int dpi = cached.load(std::memory_order_relaxed);
    if (dpi == 0) {
        dpi = read_desktop_dpi();
        cached.store(dpi, std::memory_order_relaxed);
    }
    return dpi;
}

int gui_scale(int units) { return dpi_scale(units, gui_dpi()); }

int gui_unscale(int pixels) { return dpi_unscale(pixels, gui_dpi()); }
