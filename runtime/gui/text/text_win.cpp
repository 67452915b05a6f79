// Labels (STATIC), text fields (EDIT) and IPv4 address fields.
#include <windows.h>

#include <commctrl.h>

#include "runtime/gui/object/gui_objects_win.h"
#include "runtime/gui/text/text.h"

int text_label_create(int number, const GuiParent& parent, int x, int y, int width, int height, std::wstring_view text,
                      int flags) {
    DWORD style = WS_VISIBLE | SS_NOPREFIX;
    if (flags & TEXT_CENTER) style |= SS_CENTER;
    if (flags & TEXT_RIGHT) style |= SS_RIGHT;
    if (flags & TEXT_CENTER_VERTICAL) style |= SS_CENTERIMAGE;
    if (flags & TEXT_NOTIFY) style |= SS_NOTIFY;
    const DWORD ex_style = (flags & TEXT_BORDER) ? WS_EX_STATICEDGE : 0;
    return gui_child_create(number, GUI_KIND_TEXT, L"STATIC", parent, x, y, width, height, std::wstring(text), style,
                            ex_style, flags);
}

int text_input_create(int number, const GuiParent& parent, int x, int y, int width, int height, std::wstring_view text,
                      int flags) {
    DWORD style = WS_VISIBLE | WS_TABSTOP;
    if (flags & INPUT_NUMBER) style |= ES_NUMBER;
    if (flags & INPUT_READ_ONLY) style |= ES_READONLY;
    if (flags & INPUT_PASSWORD) style |= ES_PASSWORD;
    style |= (flags & INPUT_MULTILINE) ? (ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL) : ES_AUTOHSCROLL;
    return gui_child_create(number, GUI_KIND_INPUT, L"EDIT", parent, x, y, width, height, std::wstring(text), style,
                            WS_EX_CLIENTEDGE, flags);
}

void text_input_limit(int number, int characters) {
    if (HWND hwnd = gui_object_hwnd(false, number))
        SendMessageW(hwnd, EM_SETLIMITTEXT, static_cast<WPARAM>(characters), 0);
}

void text_input_cue(int number, std::wstring_view cue) {
    HWND hwnd = gui_object_hwnd(false, number);
    if (!hwnd) return;
    const std::wstring text(cue);
    SendMessageW(hwnd, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

int ip_input_create(int number, const GuiParent& parent, int x, int y, int width, int height) {
    return gui_child_create(number, GUI_KIND_INPUT, WC_IPADDRESSW, parent, x, y, width, height, L"",
                            WS_VISIBLE | WS_TABSTOP, 0, 0);
}

// The control keeps the first octet in the highest byte (MAKEIPADDRESS); ours keeps it in the lowest.
uint32_t ip_input_address(int number) {
    HWND hwnd = gui_object_hwnd(false, number);
    if (!hwnd) return 0;
    DWORD address = 0;
    if (SendMessageW(hwnd, IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address)) == 0) return 0;
    return (address >> 24) | ((address >> 8) & 0xFF00u) | ((address << 8) & 0xFF0000u) | (address << 24);
}

void ip_input_address_set(int number, uint32_t address) {
    HWND hwnd = gui_object_hwnd(false, number);
    if (!hwnd) return;
    const DWORD packed = MAKEIPADDRESS(address & 0xFF, (address >> 8) & 0xFF, (address >> 16) & 0xFF, address >> 24);
    SendMessageW(hwnd, IPM_SETADDRESS, 0, static_cast<LPARAM>(packed));
}

void text_on_command(const GuiObject& object, int code) {
    GuiEvent event;
    event.kind = EVENT_CONTROL;
    event.window = object.window;
    event.control = object.number;
    if (object.kind == GUI_KIND_INPUT && code == EN_CHANGE) {
        event.type = EVENT_TYPE_CHANGE;
    } else if (object.kind == GUI_KIND_TEXT && code == STN_CLICKED) {
        event.type = EVENT_TYPE_LEFT_CLICK;
    } else if (object.kind == GUI_KIND_TEXT && code == STN_DBLCLK) {
        event.type = EVENT_TYPE_LEFT_DOUBLE_CLICK;
    } else {
        return;
    }
    gui_event_post(event);
}
