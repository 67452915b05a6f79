// Numbered top-level windows over Win32; the window procedure turns the frame's buttons into events.
#include <windows.h>

#include "runtime/gui/dpi/dpi_win.h"
#include "runtime/gui/object/gui_objects_win.h"
#include "runtime/gui/shortcut/shortcut_table.h"
#include "runtime/gui/window/window.h"

namespace {

constexpr wchar_t WINDOW_CLASS[] = L"SotrixWindow";

// The number is kept in the window's user data, plus one so that 0 means "not ours yet".
int number_of(HWND hwnd) { return static_cast<int>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)) - 1; }

void post_window_event(GuiEventKind kind, int number, int timer = 0) {
    GuiEvent event;
    event.kind = kind;
    event.window = number;
    event.number = timer;
    gui_event_post(event);
}

// True when the registry's window of that number is this very handle (a number may have been reopened).
bool is_current(int number, HWND hwnd) { return number >= 0 && gui_object_hwnd(true, number) == hwnd; }

LRESULT CALLBACK window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    const int number = number_of(hwnd);
    LRESULT result = 0;
    if (is_current(number, hwnd)) {
        if (gui_callback_answer(number, hwnd, message, wparam, lparam, &result)) return result;
        switch (message) {
            case WM_CLOSE: post_window_event(EVENT_CLOSE_WINDOW, number); return 0;
            case WM_SYSCOMMAND:
                if ((wparam & 0xFFF0) == SC_MINIMIZE) {
                    post_window_event(EVENT_MINIMIZE_WINDOW, number);
                    return 0;
                }
                if ((wparam & 0xFFF0) == SC_MAXIMIZE) {
                    post_window_event(EVENT_MAXIMIZE_WINDOW, number);
                    return 0;
                }
                break;
            case WM_MOVE: post_window_event(EVENT_MOVE_WINDOW, number); break;
            case WM_SIZE: post_window_event(EVENT_SIZE_WINDOW, number); break;
            case WM_TIMER: post_window_event(EVENT_TIMER, number, static_cast<int>(wparam) - 1); return 0;
            case WM_ERASEBKGND: {
                GuiObject object;
                if (gui_object_get(true, number, &object) && object.back_brush) {
                    RECT area;
                    GetClientRect(hwnd, &area);
                    FillRect(reinterpret_cast<HDC>(wparam), &area, object.back_brush);
                    return 1;
                }
                break;
            }
            default:
                if (gui_container_message(hwnd, message, wparam, lparam, &result)) return result;
                break;
        }
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

DWORD style_of(int flags) {
    DWORD style = WS_CLIPCHILDREN;
    if (flags & WINDOW_CAPTION) {
        style |= WS_CAPTION;
    } else {
        style |= WS_POPUP;
    }
    if (flags & WINDOW_SYSTEM_MENU) style |= WS_SYSMENU;
    if (flags & WINDOW_MINIMIZE_BUTTON) style |= WS_MINIMIZEBOX;
    if (flags & WINDOW_MAXIMIZE_BUTTON) style |= WS_MAXIMIZEBOX;
    if (flags & WINDOW_SIZEABLE) style |= WS_THICKFRAME;
    return style;
}

RECT primary_work_area() {
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

// The outer size in pixels for an inner size in pixels, from the window's present frame.
SIZE outer_for_inner(HWND hwnd, int inner_width, int inner_height) {
    RECT outer{};
    RECT inner{};
    GetWindowRect(hwnd, &outer);
    GetClientRect(hwnd, &inner);
    const int frame_width = (outer.right - outer.left) - (inner.right - inner.left);
    const int frame_height = (outer.bottom - outer.top) - (inner.bottom - inner.top);
    return SIZE{inner_width + frame_width, inner_height + frame_height};
}

}  // namespace

bool window_class_register() {
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof(window_class);
    window_class.style = CS_DBLCLKS;
    window_class.lpfnWndProc = window_proc;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    window_class.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    window_class.lpszClassName = WINDOW_CLASS;
    return RegisterClassExW(&window_class) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool window_open(int number, int x, int y, int inner_width, int inner_height, std::wstring_view title, int flags) {
    if (!gui_on_main_thread() || number < 0) return false;
    window_close(number);
    const DWORD style = style_of(flags);
    RECT frame{0, 0, gui_scale(inner_width), gui_scale(inner_height)};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    const int outer_width = frame.right - frame.left;
    const int outer_height = frame.bottom - frame.top;
    int left = gui_scale(x);
    int top = gui_scale(y);
    if (flags & WINDOW_CENTERED) {
        const RECT area = primary_work_area();
        left = area.left + ((area.right - area.left) - outer_width) / 2;
        top = area.top + ((area.bottom - area.top) - outer_height) / 2;
    }
    const std::wstring text(title);
    HWND hwnd = CreateWindowExW(0, WINDOW_CLASS, text.c_str(), style, left, top, outer_width, outer_height, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!hwnd) return false;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, static_cast<LONG_PTR>(number) + 1);
    GuiObject object;
    object.number = number;
    object.kind = GUI_KIND_WINDOW;
    object.hwnd = hwnd;
    object.window = number;
    object.flags = flags;
    object.text = text;
    gui_object_put(object);
    if (flags & WINDOW_MINIMIZED) {
        ShowWindow(hwnd, SW_SHOWMINNOACTIVE);
    } else if (!(flags & WINDOW_INVISIBLE)) {
        ShowWindow(hwnd, (flags & WINDOW_NO_ACTIVATE) ? SW_SHOWNA : SW_SHOW);
        UpdateWindow(hwnd);
    }
    return true;
}

void window_close(int number) {
    if (!gui_on_main_thread()) return;
    GuiObject window;
    if (!gui_object_take(true, number, &window)) return;
    for (const int control : gui_controls_in_window(number)) {
        GuiObject object;
        if (gui_object_take(false, control, &object)) gui_object_release(object);
    }
    shortcut_table_clear(number);
    if (window.hwnd) DestroyWindow(window.hwnd);  // takes the child windows with it
    gui_object_release(window);
}

bool window_exists(int number) { return gui_object_hwnd(true, number) != nullptr; }

intptr_t window_handle(int number) { return reinterpret_cast<intptr_t>(gui_object_hwnd(true, number)); }

int window_number_of(intptr_t handle) { return gui_window_number_of(reinterpret_cast<HWND>(handle)); }

void window_show(int number, WindowShow show) {
    HWND hwnd = gui_object_hwnd(true, number);
    if (!hwnd) return;
    const int command = show == WINDOW_HIDE ? SW_HIDE : (show == WINDOW_SHOW_NO_ACTIVATE ? SW_SHOWNA : SW_SHOW);
    if (gui_on_main_thread()) {
        ShowWindow(hwnd, command);
    } else {
        ShowWindowAsync(hwnd, command);
    }
}

bool window_visible(int number) {
    HWND hwnd = gui_object_hwnd(true, number);
    return hwnd && IsWindowVisible(hwnd);
}

WindowState window_state(int number) {
    HWND hwnd = gui_object_hwnd(true, number);
    if (hwnd && IsIconic(hwnd)) return WINDOW_STATE_MINIMIZED;
    if (hwnd && IsZoomed(hwnd)) return WINDOW_STATE_MAXIMIZED;
    return WINDOW_STATE_NORMAL;
}

void window_state_set(int number, WindowState state) {
    HWND hwnd = gui_object_hwnd(true, number);
    if (!hwnd) return;
    int command = SW_RESTORE;
    if (state == WINDOW_STATE_NORMAL) {
        if (!IsIconic(hwnd) && !IsZoomed(hwnd)) return;
    } else {
        command = state == WINDOW_STATE_MINIMIZED ? SW_MINIMIZE : SW_MAXIMIZE;
    }
    if (gui_on_main_thread()) {
        ShowWindow(hwnd, command);
    } else {
        ShowWindowAsync(hwnd, command);
    }
}

void window_activate(int number) {
    HWND hwnd = gui_object_hwnd(true, number);
    if (hwnd) SetForegroundWindow(hwnd);
}

void window_repaint_now(int number) {
    HWND hwnd = gui_object_hwnd(true, number);
    if (hwnd) RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void window_title_set(int number, std::wstring_view title) {
    HWND hwnd = nullptr;
    const bool here = gui_on_main_thread();
    gui_object_update(true, number, [&](GuiObject& object) {
        object.text.assign(title);
        object.text_pending = !here;
        hwnd = object.hwnd;
    });
    if (!hwnd) return;
    if (here) {
        SetWindowTextW(hwnd, std::wstring(title).c_str());
    } else {
        gui_texts_post();
    }
}

std::wstring window_title(int number) {
    GuiObject object;
    return gui_object_get(true, number, &object) ? object.text : std::wstring();
}

bool window_outer_position(int number, int* x, int* y) {
    HWND hwnd = gui_object_hwnd(true, number);
    RECT outer{};
    if (!hwnd || !GetWindowRect(hwnd, &outer)) return false;
    *x = gui_unscale(outer.left);
    *y = gui_unscale(outer.top);
    return true;
}

bool window_inner_size(int number, int* width, int* height) {
    HWND hwnd = gui_object_hwnd(true, number);
    RECT inner{};
    if (!hwnd || !GetClientRect(hwnd, &inner)) return false;
    *width = gui_unscale(inner.right - inner.left);
    *height = gui_unscale(inner.bottom - inner.top);
    return true;
}

bool window_frame_size(int number, int* width, int* height) {
    HWND hwnd = gui_object_hwnd(true, number);
    if (!hwnd) return false;
    const SIZE outer = outer_for_inner(hwnd, 0, 0);
    *width = gui_unscale(outer.cx);
    *height = gui_unscale(outer.cy);
    return true;
}

void window_move(int number, int x, int y, int inner_width, int inner_height) {
    HWND hwnd = gui_object_hwnd(true, number);
    if (!hwnd) return;
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (!gui_on_main_thread()) flags |= SWP_ASYNCWINDOWPOS;
    RECT outer{};
    RECT inner{};
    GetWindowRect(hwnd, &outer);
    GetClientRect(hwnd, &inner);
    const int left = x == GUI_KEEP ? outer.left : gui_scale(x);
    const int top = y == GUI_KEEP ? outer.top : gui_scale(y);
    const int width = inner_width == GUI_KEEP ? inner.right - inner.left : gui_scale(inner_width);
    const int height = inner_height == GUI_KEEP ? inner.bottom - inner.top : gui_scale(inner_height);
    if (x == GUI_KEEP && y == GUI_KEEP) flags |= SWP_NOMOVE;
    if (inner_width == GUI_KEEP && inner_height == GUI_KEEP) flags |= SWP_NOSIZE;
    const SIZE size = outer_for_inner(hwnd, width, height);
    SetWindowPos(hwnd, nullptr, left, top, size.cx, size.cy, flags);
}

int64_t window_style(int number) {
    HWND hwnd = gui_object_hwnd(true, number);
    return hwnd ? static_cast<int64_t>(static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE))) : 0;
}

void window_style_set(int number, int64_t style) {
    HWND hwnd = gui_object_hwnd(true, number);
    if (!hwnd) return;
    RECT inner{};
    GetClientRect(hwnd, &inner);
    // Visibility and the minimised or maximised state stay as they are.
    constexpr DWORD KEPT = WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE;
    const DWORD current = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE));
    const DWORD wanted = (static_cast<DWORD>(style) & ~KEPT) | (current & KEPT);
    SetWindowLongPtrW(hwnd, GWL_STYLE, static_cast<LONG_PTR>(wanted));
    RECT frame{0, 0, inner.right - inner.left, inner.bottom - inner.top};
    AdjustWindowRectEx(&frame, wanted, FALSE, static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE)));
    SetWindowPos(hwnd, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void window_color_set(int number, int32_t color) {
    HWND hwnd = nullptr;
    HBRUSH old = nullptr;
    HBRUSH brush = color >= 0 ? CreateSolidBrush(static_cast<COLORREF>(color)) : nullptr;
    const bool found = gui_object_update(true, number, [&](GuiObject& object) {
        old = object.back_brush;
        object.back_brush = brush;
        object.back_color = color;
        hwnd = object.hwnd;
    });
    if (!found) {
        if (brush) DeleteObject(brush);
        return;
    }
    if (old) DeleteObject(old);
    if (hwnd) InvalidateRect(hwnd, nullptr, TRUE);
}

void window_topmost_set(int number, bool topmost) {
    HWND hwnd = gui_object_hwnd(true, number);
    if (!hwnd) return;
    UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    if (!gui_on_main_thread()) flags |= SWP_ASYNCWINDOWPOS;
    SetWindowPos(hwnd, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, flags);
}

void window_alpha_set(int number, int alpha) {
    HWND hwnd = gui_object_hwnd(true, number);
    if (!hwnd) return;
    alpha = alpha < 0 ? 0 : (alpha > 255 ? 255 : alpha);
    const LONG_PTR ex_style = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
    if (!(ex_style & WS_EX_LAYERED)) SetWindowLongPtrW(hwnd, GWL_EXSTYLE, ex_style | WS_EX_LAYERED);
    SetLayeredWindowAttributes(hwnd, 0, static_cast<BYTE>(alpha), LWA_ALPHA);
}

bool window_timer_add(int number, int timer, int milliseconds) {
    HWND hwnd = gui_object_hwnd(true, number);
    if (!hwnd || timer < 0 || milliseconds < 1) return false;
    return SetTimer(hwnd, static_cast<UINT_PTR>(timer) + 1, static_cast<UINT>(milliseconds), nullptr) != 0;
}

void window_timer_remove(int number, int timer) {
    HWND hwnd = gui_object_hwnd(true, number);
    if (hwnd && timer >= 0) KillTimer(hwnd, static_cast<UINT_PTR>(timer) + 1);
}

void window_callback_set(int number, WindowCallback callback) {
    gui_object_update(true, number, [&](GuiObject& object) { object.callback = callback; });
}
