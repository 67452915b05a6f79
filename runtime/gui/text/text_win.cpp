// Labels (STATIC), text fields (EDIT) and IPv4 address fields.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>

#include "runtime/gui/image/image.h"
#include "runtime/gui/image/image_draw_win.h"
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

int text_frame_create(int number, const GuiParent& parent, int x, int y, int width, int height,
                      std::wstring_view caption) {
    // Created last in the Z order would cover the rows inside; a frame goes to the bottom.
    const int created = gui_child_create(number, GUI_KIND_TEXT, L"BUTTON", parent, x, y, width, height,
                                         std::wstring(caption), WS_VISIBLE | BS_GROUPBOX, 0, 0);
    if (created) {
        if (HWND hwnd = gui_object_hwnd(false, created))
            SetWindowPos(hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    return created;
}

int picture_create(int number, const GuiParent& parent, int x, int y, int width, int height) {
    return gui_child_create(number, GUI_KIND_TEXT, L"STATIC", parent, x, y, width, height, std::wstring(),
                            WS_VISIBLE | SS_BITMAP | SS_REALSIZECONTROL, 0, 0);
}

bool picture_image_show(int number, int image) {
    HWND hwnd = gui_object_hwnd(false, number);
    int image_width = 0;
    int image_height = 0;
    if (!hwnd || !image_size(image, &image_width, &image_height)) return false;
    RECT client{};
    GetClientRect(hwnd, &client);
    const int width = std::max(static_cast<int>(client.right), 1);
    const int height = std::max(static_cast<int>(client.bottom), 1);
    HBITMAP copy = image_blank_bitmap(width, height, 0);
    if (!copy) return false;
    {
        ImageDraw source(image);
        HDC target = source ? CreateCompatibleDC(source.dc()) : nullptr;
        if (!target) {
            DeleteObject(copy);
            return false;
        }
        const HGDIOBJ previous = SelectObject(target, copy);
        SetStretchBltMode(target, HALFTONE);
        StretchBlt(target, 0, 0, width, height, source.dc(), 0, 0, image_width, image_height, SRCCOPY);
        SelectObject(target, previous);
        DeleteDC(target);
    }
    const HBITMAP old =
        reinterpret_cast<HBITMAP>(SendMessageW(hwnd, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(copy)));
    if (old && old != copy) DeleteObject(old);
    // A static control may show a copy of its own of a 32-bit picture; then ours is not used.
    const HBITMAP shown = reinterpret_cast<HBITMAP>(SendMessageW(hwnd, STM_GETIMAGE, IMAGE_BITMAP, 0));
    if (shown != copy) DeleteObject(copy);
    return true;
}
