// The benchmark programs' window: one hidden top-level window and its message loop, as the program's main
// window is at start. Header only: each benchmark program is one source file.
#pragma once

#include <windows.h>

namespace hidden_window {

inline LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

// Makes the window and serves its messages until it is closed; the exit code of the program (1 and 2 when
// the class or the window cannot be made).
inline int run(const wchar_t* class_name, const wchar_t* title) {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = procedure;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.lpszClassName = class_name;
    if (!RegisterClassW(&window_class)) return 1;
    if (!CreateWindowExW(0, class_name, title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 400, 300, nullptr,
                         nullptr, window_class.hInstance, nullptr)) {
        return 2;
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

}  // namespace hidden_window
