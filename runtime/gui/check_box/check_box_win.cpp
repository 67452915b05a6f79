// Check boxes. They do not tick themselves: the program sets the state it means after each click.
#include <windows.h>

#include "runtime/gui/check_box/check_box.h"
#include "runtime/gui/object/gui_objects_win.h"

int check_box_create(int number, const GuiParent& parent, int x, int y, int width, int height,
                     std::wstring_view caption, int flags) {
    const DWORD style = WS_VISIBLE | WS_TABSTOP | ((flags & CHECK_BOX_THREE_STATE) ? BS_3STATE : BS_CHECKBOX);
    return gui_child_create(number, GUI_KIND_CHECK_BOX, L"BUTTON", parent, x, y, width, height, std::wstring(caption),
                            style, 0, flags);
}

int check_box_state(int number) {
    HWND hwnd = gui_object_hwnd(false, number);
    if (!hwnd) return 0;
    const LRESULT state = SendMessageW(hwnd, BM_GETCHECK, 0, 0);
    return state == BST_CHECKED ? 1 : (state == BST_INDETERMINATE ? -1 : 0);
}

void check_box_state_set(int number, int state) {
    HWND hwnd = gui_object_hwnd(false, number);
    if (!hwnd) return;
    const WPARAM check = state > 0 ? BST_CHECKED : (state < 0 ? BST_INDETERMINATE : BST_UNCHECKED);
    SendMessageW(hwnd, BM_SETCHECK, check, 0);
}

void check_box_on_command(const GuiObject& object, int code) {
    if (code != BN_CLICKED) return;
    GuiEvent event;
    event.kind = EVENT_CONTROL;
    event.window = object.window;
    event.control = object.number;
    event.type = EVENT_TYPE_LEFT_CLICK;
    gui_event_post(event);
}
