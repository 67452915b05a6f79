// Panels: a Windows tab control whose pages are child windows of our page class laid over its display area.
#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "runtime/gui/dpi/dpi_win.h"
#include "runtime/gui/object/gui_objects_win.h"
#include "runtime/gui/panel/panel.h"

namespace {

constexpr wchar_t PAGE_CLASS[] = L"SotrixPage";

// Pages and containers hand their children's notifications and colours to the runtime.
LRESULT CALLBACK page_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    LRESULT result = 0;
    GuiObject owner;
    HWND owner_hwnd = GetWindowLongPtrW(hwnd, GWLP_USERDATA) ? GetParent(hwnd) : hwnd;
    if (gui_control_by_hwnd(owner_hwnd, &owner)) {
        if (gui_callback_answer(owner.window, hwnd, message, wparam, lparam, &result)) return result;
        if (message == WM_ERASEBKGND && owner.back_brush && owner_hwnd == hwnd) {
            RECT area;
            GetClientRect(hwnd, &area);
            FillRect(reinterpret_cast<HDC>(wparam), &area, owner.back_brush);
            return 1;
        }
    }
    if (gui_container_message(hwnd, message, wparam, lparam, &result)) return result;
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

RECT page_area(HWND tab) {
    RECT area{};
    GetClientRect(tab, &area);
    SendMessageW(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    return area;
}

void pages_show(const GuiObject& panel, int selected) {
    for (size_t index = 0; index < panel.pages.size(); ++index) {
        ShowWindow(panel.pages[index], static_cast<int>(index) == selected ? SW_SHOW : SW_HIDE);
    }
}

// Keeps the pages over the display area when the panel is resized.
LRESULT CALLBACK panel_subclass(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR) {
    if (message == WM_SIZE) {
        GuiObject panel;
        if (gui_control_by_hwnd(hwnd, &panel)) {
            const RECT area = page_area(hwnd);
            for (HWND page : panel.pages) {
                SetWindowPos(page, nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                             SWP_NOZORDER | SWP_NOACTIVATE);
            }
        }
    }
    return DefSubclassProc(hwnd, message, wparam, lparam);
}

}  // namespace

bool panel_class_register() {
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof(window_class);
    window_class.lpfnWndProc = page_proc;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    window_class.lpszClassName = PAGE_CLASS;
    return RegisterClassExW(&window_class) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

int panel_create(int number, const GuiParent& parent, int x, int y, int width, int height) {
    number = gui_child_create(number, GUI_KIND_PANEL, WC_TABCONTROLW, parent, x, y, width, height, L"",
                              WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_TABSTOP, 0, 0);
    if (number == 0) return 0;
    if (HWND hwnd = gui_object_hwnd(false, number)) SetWindowSubclass(hwnd, panel_subclass, 1, 0);
    return number;
}

int panel_tab_add(int number, std::wstring_view caption) {
    GuiObject panel;
    if (!gui_on_main_thread() || !gui_object_get(false, number, &panel) || panel.kind != GUI_KIND_PANEL) return -1;
    std::wstring text(caption);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text.data();
    const int index = static_cast<int>(panel.pages.size());
    if (SendMessageW(panel.hwnd, TCM_INSERTITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) < 0)
        return -1;
    const RECT area = page_area(panel.hwnd);
    HWND page = CreateWindowExW(WS_EX_CONTROLPARENT, PAGE_CLASS, L"", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                                area.left, area.top, area.right - area.left, area.bottom - area.top, panel.hwnd,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!page) return -1;
    SetWindowLongPtrW(page, GWLP_USERDATA, 1);  // a page: its owner is the panel, its parent
    gui_object_update(false, number, [&](GuiObject& object) { object.pages.push_back(page); });
    if (index == 0) {
        ShowWindow(page, SW_SHOW);
        gui_selection_remember(number, static_cast<int>(SendMessageW(panel.hwnd, TCM_GETCURSEL, 0, 0)));
    }
    return index;
}

int panel_tab_count(int number) {
    GuiObject panel;
    return gui_object_get(false, number, &panel) ? static_cast<int>(panel.pages.size()) : 0;
}

std::wstring panel_tab_caption(int number, int tab) {
    HWND hwnd = gui_object_hwnd(false, number);
    if (!hwnd) return {};
    wchar_t buffer[256] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = buffer;
    item.cchTextMax = 255;
    if (!SendMessageW(hwnd, TCM_GETITEMW, static_cast<WPARAM>(tab), reinterpret_cast<LPARAM>(&item))) return {};
    return std::wstring(item.pszText ? item.pszText : L"");
}

int panel_tab_selected(int number) {
    // Every change of the tab passes through the main thread, which remembers it.
    if (!gui_on_main_thread()) return gui_selection_remembered(number);
    HWND hwnd = gui_object_hwnd(false, number);
    const int selected = hwnd ? static_cast<int>(SendMessageW(hwnd, TCM_GETCURSEL, 0, 0)) : -1;
    gui_selection_remember(number, selected);
    return selected;
}

void panel_tab_select(int number, int tab) {
    GuiObject panel;
    if (!gui_object_get(false, number, &panel) || panel.kind != GUI_KIND_PANEL) return;
    SendMessageW(panel.hwnd, TCM_SETCURSEL, static_cast<WPARAM>(tab), 0);
    gui_selection_remember(number, static_cast<int>(SendMessageW(panel.hwnd, TCM_GETCURSEL, 0, 0)));
    pages_show(panel, tab);
}

bool panel_page_size(int number, int* width, int* height) {
    HWND hwnd = gui_object_hwnd(false, number);
    if (!hwnd) return false;
    const RECT area = page_area(hwnd);
    *width = gui_unscale(area.right - area.left);
    *height = gui_unscale(area.bottom - area.top);
    return true;
}

bool panel_on_notify(const GuiObject& object, NMHDR* header, LRESULT* result) {
    if (header->code != TCN_SELCHANGE) return false;
    const int selected = static_cast<int>(SendMessageW(object.hwnd, TCM_GETCURSEL, 0, 0));
    gui_selection_remember(object.number, selected);
    pages_show(object, selected);
    GuiEvent event;
    event.kind = EVENT_CONTROL;
    event.window = object.window;
    event.control = object.number;
    event.type = EVENT_TYPE_CHANGE;
    gui_event_post(event);
    *result = 0;
    return true;
}

int container_create(int number, const GuiParent& parent, int x, int y, int width, int height, int flags) {
    const DWORD ex_style = WS_EX_CONTROLPARENT | ((flags & CONTAINER_BORDER) ? WS_EX_STATICEDGE : 0);
    return gui_child_create(number, GUI_KIND_CONTAINER, PAGE_CLASS, parent, x, y, width, height, L"",
                            WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, ex_style, flags);
}
