// Link labels: a notifying STATIC with its own colour and the hand cursor.
#include <windows.h>

#include <commctrl.h>

#include "runtime/gui/control/control.h"
#include "runtime/gui/link_label/link_label.h"
#include "runtime/gui/object/gui_objects_win.h"

namespace {

LRESULT CALLBACK link_subclass(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR) {
    if (message == WM_SETCURSOR) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
    }
    return DefSubclassProc(hwnd, message, wparam, lparam);
}

}  // namespace

int link_label_create(int number, const GuiParent& parent, int x, int y, int width, int height, std::wstring_view text,
                      int32_t color) {
    number = gui_child_create(number, GUI_KIND_LINK_LABEL, L"STATIC", parent, x, y, width, height, std::wstring(text),
                              WS_VISIBLE | SS_NOTIFY | SS_NOPREFIX, 0, 0);
    if (number == 0) return 0;
    if (HWND hwnd = gui_object_hwnd(false, number)) SetWindowSubclass(hwnd, link_subclass, 1, 0);
    control_colors_set(number, color >= 0 ? color : 0xCC6600, -1);
    return number;
}

void link_label_on_command(const GuiObject& object, int code) {
    if (code != STN_CLICKED) return;
    GuiEvent event;
    event.kind = EVENT_CONTROL;
    event.window = object.window;
    event.control = object.number;
    event.type = EVENT_TYPE_LEFT_CLICK;
    gui_event_post(event);
}
