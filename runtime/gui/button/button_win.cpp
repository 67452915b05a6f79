// Push buttons.
#include <windows.h>

#include "runtime/gui/button/button.h"
#include "runtime/gui/object/gui_objects_win.h"

int button_create(int number, const GuiParent& parent, int x, int y, int width, int height, std::wstring_view caption,
                  int flags) {
    DWORD style = WS_VISIBLE | WS_TABSTOP;
    if (flags & BUTTON_TOGGLE) {
        style |= BS_AUTOCHECKBOX | BS_PUSHLIKE;
    } else {
        style |= (flags & BUTTON_DEFAULT) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    }
    return gui_child_create(number, GUI_KIND_BUTTON, L"BUTTON", parent, x, y, width, height, std::wstring(caption),
                            style, 0, flags);
}

int button_state(int number) {
    HWND hwnd = gui_object_hwnd(false, number);
    return hwnd && SendMessageW(hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

void button_state_set(int number, int pressed) {
    if (HWND hwnd = gui_object_hwnd(false, number))
        SendMessageW(hwnd, BM_SETCHECK, pressed ? BST_CHECKED : BST_UNCHECKED, 0);
}

void button_on_command(const GuiObject& object, int code) {
    if (code != BN_CLICKED) return;
    GuiEvent event;
    event.kind = EVENT_CONTROL;
    event.window = object.window;
    event.control = object.number;
    event.type = EVENT_TYPE_LEFT_CLICK;
    gui_event_post(event);
}
