// The runtime's start, its message window, and the window-procedure parts that every container shares.
#include <windows.h>

#include <commctrl.h>

#include <atomic>

#include "runtime/gui/dpi/dpi_win.h"
#include "runtime/gui/object/gui_objects_win.h"
#include "runtime/list_model.h"

namespace {

std::atomic<HWND> message_window{nullptr};
std::atomic<DWORD> main_thread{0};
std::atomic<bool> texts_posted{false};

// Posting a wake-up only matters when the waiting thread is not the one that posted.
void wake_main_thread() {
    if (GetCurrentThreadId() == main_thread.load()) return;
    if (HWND hwnd = message_window.load()) PostMessageW(hwnd, WM_GUI_WAKE, 0, 0);
}

// The list model calls this from any thread, outside its lock. One message per list until it is served.
std::atomic<bool> list_pending[65536];

void on_rows_changed(int control) {
    if (control < 0 || control >= 65536) return;
    if (list_pending[control].exchange(true)) return;
    if (HWND hwnd = message_window.load()) {
        if (!PostMessageW(hwnd, WM_GUI_LIST_CHANGED, static_cast<WPARAM>(control), 0)) list_pending[control] = false;
    }
}

LRESULT CALLBACK message_window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_GUI_WAKE: return 0;
        case WM_GUI_LIST_CHANGED: {
            const int control = static_cast<int>(wparam);
            if (control >= 0 && control < 65536) list_pending[control] = false;
            list_view_on_rows_changed(control);
            return 0;
        }
        case WM_GUI_APPLY_TEXTS: gui_texts_apply_pending(); return 0;
        case WM_GUI_TRAY: tray_on_message(wparam, lparam); return 0;
        default: break;
    }
    if (message != 0 && message == tray_taskbar_created_message()) {
        tray_on_taskbar_created();
        return 0;
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

void apply_text(bool is_window, int number) {
    std::wstring text;
    HWND hwnd = nullptr;
    gui_object_update(is_window, number, [&](GuiObject& object) {
        if (!object.text_pending) return;
        object.text_pending = false;
        text = object.text;
        hwnd = object.hwnd;
    });
    if (hwnd) SetWindowTextW(hwnd, text.c_str());
}

}  // namespace

bool gui_init() {
    if (message_window.load()) return true;
    main_thread = GetCurrentThreadId();
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES | ICC_TAB_CLASSES |
                                                                    ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES |
                                                                    ICC_LINK_CLASS | ICC_INTERNET_CLASSES};
    InitCommonControlsEx(&controls);
    if (!window_class_register() || !canvas_class_register() || !panel_class_register()) return false;

    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof(window_class);
    window_class.lpfnWndProc = message_window_proc;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.lpszClassName = L"SotrixRuntime";
    if (!RegisterClassExW(&window_class) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    // A hidden top-level window rather than a message-only one: only top-level windows hear the
    // "TaskbarCreated" broadcast after Explorer restarts.
    HWND hwnd = CreateWindowExW(WS_EX_TOOLWINDOW, L"SotrixRuntime", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    if (!hwnd) return false;
    message_window = hwnd;
    tray_taskbar_created_message();
    gui_event_set_waker(wake_main_thread);
    list_rows_set_observer(on_rows_changed);
    return true;
}

bool gui_on_main_thread() { return GetCurrentThreadId() == main_thread.load(); }

HWND gui_message_window() { return message_window.load(); }

DWORD gui_main_thread_id() { return main_thread.load(); }

void gui_pause_serving_sent(int milliseconds) {
    if (milliseconds < 0) milliseconds = 0;
    if (!gui_on_main_thread()) {
        Sleep(static_cast<DWORD>(milliseconds));
        return;
    }
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(milliseconds);
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) return;
        // MWMO_INPUTAVAILABLE: a message sent before the pause began is served at once too, even when an
        // earlier look at the queue marked it as seen.
        const DWORD result = MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(deadline - now), QS_SENDMESSAGE,
                                                         MWMO_INPUTAVAILABLE);
        if (result == WAIT_OBJECT_0) {
            // Peeking for sent messages delivers them; posted input stays queued for the event loop.
            MSG message;
            PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        } else if (result == WAIT_FAILED) {
            Sleep(1);
        }
    }
}

bool gui_key_held(int virtual_key) { return (GetAsyncKeyState(virtual_key) & 0x8000) != 0; }

bool gui_parent_resolve(const GuiParent& parent, HWND* parent_hwnd, int* window) {
    GuiObject object;
    if (parent.container < 0) {
        if (!gui_object_get(true, parent.window, &object)) return false;
        *parent_hwnd = object.hwnd;
        *window = object.number;
        return true;
    }
    if (!gui_object_get(false, parent.container, &object)) return false;
    if (object.kind == GUI_KIND_PANEL) {
        if (parent.tab < 0 || parent.tab >= static_cast<int>(object.pages.size())) return false;
        *parent_hwnd = object.pages[static_cast<size_t>(parent.tab)];
    } else if (object.kind == GUI_KIND_CONTAINER) {
        *parent_hwnd = object.hwnd;
    } else {
        return false;
    }
    *window = object.window;
    return *parent_hwnd != nullptr;
}

void gui_object_release(GuiObject& object) {
    if (object.back_brush) {
        DeleteObject(object.back_brush);
        object.back_brush = nullptr;
    }
    object.canvas.reset();
}

int gui_child_create(int number, GuiKind kind, const wchar_t* window_class, const GuiParent& parent, int x, int y,
                     int width, int height, const std::wstring& text, DWORD style, DWORD ex_style, int flags) {
    if (!gui_on_main_thread()) return 0;
    if (number == GUI_ANY) number = gui_dynamic_number();
    if (number < 0 || number >= 65536) return 0;
    HWND parent_hwnd = nullptr;
    int window = -1;
    if (!gui_parent_resolve(parent, &parent_hwnd, &window)) return 0;
    GuiObject old;
    if (gui_object_take(false, number, &old)) {
        if (old.hwnd) DestroyWindow(old.hwnd);
        gui_object_release(old);
    }
    HWND hwnd =
        CreateWindowExW(ex_style, window_class, text.c_str(), style | WS_CHILD, gui_scale(x), gui_scale(y),
                        gui_scale(width), gui_scale(height), parent_hwnd,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(number)), GetModuleHandleW(nullptr), nullptr);
    if (!hwnd) return 0;
    GuiObject object;
    object.number = number;
    object.kind = kind;
    object.hwnd = hwnd;
    object.window = window;
    object.flags = flags;
    object.text = text;
    gui_object_put(object);
    HFONT font = gui_font_handle(gui_default_font());
    if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return number;
}

bool gui_callback_answer(int window, HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
    GuiObject object;
    if (window < 0 || !gui_object_get(true, window, &object) || !object.callback) return false;
    const intptr_t answer = object.callback(reinterpret_cast<intptr_t>(hwnd), message, wparam, lparam);
    if (answer == CALLBACK_DEFAULT) return false;
    *result = static_cast<LRESULT>(answer);
    return true;
}

void gui_texts_post() {
    if (texts_posted.exchange(true)) return;
    HWND hwnd = message_window.load();
    if (!hwnd || !PostMessageW(hwnd, WM_GUI_APPLY_TEXTS, 0, 0)) texts_posted = false;
}

void gui_texts_apply_pending() {
    texts_posted = false;
    for (const int number : gui_windows_with_pending_texts()) apply_text(true, number);
    for (const int number : gui_controls_with_pending_texts()) apply_text(false, number);
}

namespace {

// The deepest of our canvases under a screen point, for wheel messages that Windows gives to the focus.
HWND canvas_under(POINT screen) {
    HWND hwnd = WindowFromPoint(screen);
    GuiObject object;
    if (hwnd && gui_control_by_hwnd(hwnd, &object) && object.kind == GUI_KIND_CANVAS) return hwnd;
    return nullptr;
}

}  // namespace

bool gui_container_message(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
    switch (message) {
        case WM_COMMAND: {
            HWND child = reinterpret_cast<HWND>(lparam);
            GuiObject object;
            if (!child || !gui_control_by_hwnd(child, &object)) return false;
            const int code = HIWORD(wparam);
            switch (object.kind) {
                case GUI_KIND_BUTTON: button_on_command(object, code); break;
                case GUI_KIND_CHECK_BOX: check_box_on_command(object, code); break;
                case GUI_KIND_COMBO_BOX: combo_box_on_command(object, code); break;
                case GUI_KIND_INPUT:
                case GUI_KIND_TEXT: text_on_command(object, code); break;
                case GUI_KIND_LINK_LABEL: link_label_on_command(object, code); break;
                default: return false;
            }
            *result = 0;
            return true;
        }
        case WM_NOTIFY: {
            NMHDR* header = reinterpret_cast<NMHDR*>(lparam);
            GuiObject object;
            if (!header || !gui_control_by_hwnd(header->hwndFrom, &object)) return false;
            if (object.kind == GUI_KIND_LIST_VIEW) return list_view_on_notify(object, header, result);
            if (object.kind == GUI_KIND_PANEL) return panel_on_notify(object, header, result);
            if (object.kind == GUI_KIND_FOLDER_TREE) return folder_tree_on_notify(object, header, result);
            return false;
        }
        case WM_HSCROLL:
        case WM_VSCROLL: {
            GuiObject object;
            if (!lparam || !gui_control_by_hwnd(reinterpret_cast<HWND>(lparam), &object)) return false;
            if (object.kind != GUI_KIND_TRACK_BAR) return false;
            if (LOWORD(wparam) != TB_ENDTRACK) track_bar_on_scroll(object);
            *result = 0;
            return true;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORLISTBOX: {
            GuiObject object;
            if (!gui_control_by_hwnd(reinterpret_cast<HWND>(lparam), &object)) return false;
            if (object.text_color < 0 && object.back_color < 0) return false;
            HDC dc = reinterpret_cast<HDC>(wparam);
            // The default handling sets the system colours; ours go over them.
            *result = DefWindowProcW(hwnd, message, wparam, lparam);
            if (object.text_color >= 0) SetTextColor(dc, static_cast<COLORREF>(object.text_color));
            if (object.back_color >= 0 && object.back_brush) {
                SetBkColor(dc, static_cast<COLORREF>(object.back_color));
                *result = reinterpret_cast<LRESULT>(object.back_brush);
            } else {
                SetBkMode(dc, TRANSPARENT);
            }
            return true;
        }
        case WM_MOUSEWHEEL: {
            POINT screen{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
            HWND canvas = canvas_under(screen);
            if (!canvas || canvas == hwnd) return false;
            SendMessageW(canvas, message, wparam, lparam);
            *result = 0;
            return true;
        }
        default: return false;
    }
}
