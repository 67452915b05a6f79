// The benchmark's yardstick: a window that does nothing but run its message loop.
#include <windows.h>

namespace {

LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

int wmain() {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = window_procedure;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.lpszClassName = L"IdleLoop";
    if (!RegisterClassW(&window_class)) return 1;
    // Hidden, like the program's main window in the benchmark.
    if (!CreateWindowExW(0, L"IdleLoop", L"Idle loop", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 400, 300,
                         nullptr, nullptr, window_class.hInstance, nullptr)) {
        return 2;
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
