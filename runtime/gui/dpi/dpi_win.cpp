// The desktop's DPI: GetDpiForSystem where Windows has it, else the screen's logical pixels per inch.
#include <windows.h>

#include <atomic>

#include "runtime/gui/dpi/dpi_units.h"
#include "runtime/gui/dpi/dpi_win.h"

namespace {

int read_desktop_dpi() {
    using GetDpiForSystemProc = UINT(WINAPI*)();
    if (HMODULE user32 = GetModuleHandleW(L"user32.dll")) {
        const auto get_dpi =
            reinterpret_cast<GetDpiForSystemProc>(reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForSystem")));
        if (get_dpi) return dpi_sane(static_cast<int>(get_dpi()));
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
