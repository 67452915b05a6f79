// Operations common to all numbered controls.
#include <windows.h>

#include <commctrl.h>

#include "runtime/gui/control/control.h"
#include "runtime/gui/dpi/dpi_win.h"
#include "runtime/gui/object/gui_objects_win.h"

namespace {

HWND hwnd_of(int number) { return gui_object_hwnd(false, number); }

}  // namespace

bool control_exists(int number) { return hwnd_of(number) != nullptr; }

void control_free(int number) {
    if (!gui_on_main_thread()) return;
    GuiObject object;
    if (!gui_object_take(false, number, &object)) return;
    // Controls inside a panel or container go with it.
    if (object.hwnd && (object.kind == GUI_KIND_PANEL || object.kind == GUI_KIND_CONTAINER)) {
        for (const int inner : gui_controls_in_window(object.window)) {
            GuiObject child;
            if (gui_object_get(false, inner, &child) && child.hwnd && IsChild(object.hwnd, child.hwnd) &&
                gui_object_take(false, inner, &child)) {
                gui_object_release(child);
            }
        }
    }
    if (object.hwnd) DestroyWindow(object.hwnd);
    gui_object_release(object);
}

intptr_t control_handle(int number) { return reinterpret_cast<intptr_t>(hwnd_of(number)); }

int control_window(int number) {
    GuiObject object;
    return gui_object_get(false, number, &object) ? object.window : -1;
}

void control_text_set(int number, std::wstring_view text) {
    HWND hwnd = nullptr;
    const bool here = gui_on_main_thread();
    gui_object_update(false, number, [&](GuiObject& object) {
        object.text.assign(text);
        object.text_pending = !here;
        hwnd = object.hwnd;
    });
    if (!hwnd) return;
    if (here) {
        SetWindowTextW(hwnd, std::wstring(text).c_str());
    } else {
        gui_texts_post();
    }
}

std::wstring control_text(int number) {
    GuiObject object;
    if (!gui_object_get(false, number, &object)) return {};
    if (!gui_on_main_thread() || object.text_pending || !object.hwnd) return object.text;
    const int length = GetWindowTextLengthW(object.hwnd);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(object.hwnd, text.data(), length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

void control_move(int number, int x, int y, int width, int height) {
    HWND hwnd = hwnd_of(number);
    if (!hwnd) return;
    RECT now{};
    GetWindowRect(hwnd, &now);
    MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&now), 2);
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (!gui_on_main_thread()) flags |= SWP_ASYNCWINDOWPOS;
    SetWindowPos(hwnd, nullptr, x == GUI_KEEP ? now.left : gui_scale(x), y == GUI_KEEP ? now.top : gui_scale(y),
                 width == GUI_KEEP ? now.right - now.left : gui_scale(width),
                 height == GUI_KEEP ? now.bottom - now.top : gui_scale(height), flags);
}

bool control_geometry(int number, int* x, int* y, int* width, int* height) {
    HWND hwnd = hwnd_of(number);
    RECT now{};
    if (!hwnd || !GetWindowRect(hwnd, &now)) return false;
    MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&now), 2);
    if (x) *x = gui_unscale(now.left);
    if (y) *y = gui_unscale(now.top);
    if (width) *width = gui_unscale(now.right - now.left);
    if (height) *height = gui_unscale(now.bottom - now.top);
    return true;
}

void control_enable(int number, bool enabled) {
    if (HWND hwnd = hwnd_of(number)) EnableWindow(hwnd, enabled ? TRUE : FALSE);
}

bool control_enabled(int number) {
    HWND hwnd = hwnd_of(number);
    return hwnd && IsWindowEnabled(hwnd);
}

void control_visible_set(int number, bool visible) {
    HWND hwnd = hwnd_of(number);
    if (!hwnd) return;
    if (gui_on_main_thread()) {
        ShowWindow(hwnd, visible ? SW_SHOWNA : SW_HIDE);
    } else {
        ShowWindowAsync(hwnd, visible ? SW_SHOWNA : SW_HIDE);
    }
}

bool control_visible(int number) {
    HWND hwnd = hwnd_of(number);
    return hwnd && (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
}

void control_colors_set(int number, int32_t text_color, int32_t back_color) {
    HBRUSH brush = back_color >= 0 ? CreateSolidBrush(static_cast<COLORREF>(back_color)) : nullptr;
    HBRUSH old = nullptr;
    HWND hwnd = nullptr;
    GuiKind kind = GUI_KIND_TEXT;
    const bool found = gui_object_update(false, number, [&](GuiObject& object) {
        old = object.back_brush;
        object.back_brush = brush;
        object.text_color = text_color;
        object.back_color = back_color;
        hwnd = object.hwnd;
        kind = object.kind;
    });
    if (!found) {
        if (brush) DeleteObject(brush);
        return;
    }
    if (old) DeleteObject(old);
    if (kind == GUI_KIND_LIST_VIEW && hwnd) {
        SendMessageW(hwnd, LVM_SETTEXTCOLOR, 0, text_color >= 0 ? text_color : CLR_DEFAULT);
        SendMessageW(hwnd, LVM_SETTEXTBKCOLOR, 0, back_color >= 0 ? back_color : CLR_DEFAULT);
        SendMessageW(hwnd, LVM_SETBKCOLOR, 0, back_color >= 0 ? back_color : CLR_DEFAULT);
    }
    if (hwnd) InvalidateRect(hwnd, nullptr, TRUE);
}

void control_font_set(int number, int font) {
    HWND hwnd = hwnd_of(number);
    HFONT handle = gui_font_handle(font);
    if (hwnd && handle) SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(handle), TRUE);
}

void control_focus(int number) {
    if (HWND hwnd = hwnd_of(number)) SetFocus(hwnd);
}

void control_tooltip_set(int number, std::wstring_view text) {
    if (!gui_on_main_thread()) return;
    GuiObject control;
    if (!gui_object_get(false, number, &control)) return;
    GuiObject window;
    if (!gui_object_get(true, control.window, &window)) return;
    HWND tooltip = window.tooltip;
    if (!tooltip) {
        tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window.hwnd, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
        if (!tooltip) return;
        SendMessageW(tooltip, TTM_SETMAXTIPWIDTH, 0, 400);
        gui_object_update(true, control.window, [&](GuiObject& object) { object.tooltip = tooltip; });
    }
    std::wstring copy(text);
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetParent(control.hwnd);
    tool.uId = reinterpret_cast<UINT_PTR>(control.hwnd);
    tool.lpszText = copy.data();
    SendMessageW(tooltip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    if (!copy.empty()) SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void control_data_set(int number, int64_t data) {
    gui_object_update(false, number, [&](GuiObject& object) { object.data = data; });
}

int64_t control_data(int number) {
    GuiObject object;
    return gui_object_get(false, number, &object) ? object.data : 0;
}
