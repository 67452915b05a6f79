// Combo boxes.
#include <windows.h>

#include "runtime/gui/combo_box/combo_box.h"
#include "runtime/gui/dpi/dpi_win.h"
#include "runtime/gui/object/gui_objects_win.h"

namespace {

HWND hwnd_of(int number) { return gui_object_hwnd(false, number); }

// Asks the box for its selection and remembers it for the other threads.
int selection_read(HWND hwnd, int number) {
    const LRESULT index = hwnd ? SendMessageW(hwnd, CB_GETCURSEL, 0, 0) : CB_ERR;
    const int selected = index < 0 ? -1 : static_cast<int>(index);
    gui_selection_remember(number, selected);
    return selected;
}

}  // namespace

int combo_box_create(int number, const GuiParent& parent, int x, int y, int width, int height, int flags) {
    const DWORD style =
        WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ((flags & COMBO_BOX_EDITABLE) ? CBS_DROPDOWN : CBS_DROPDOWNLIST);
    // The window's height includes the dropped-down list.
    number = gui_child_create(number, GUI_KIND_COMBO_BOX, L"COMBOBOX", parent, x, y, width, height + 300, L"", style, 0,
                              flags);
    if (number == 0) return 0;
    if (HWND hwnd = hwnd_of(number)) {
        const int box = gui_scale(height) - 6;
        if (box > 8) SendMessageW(hwnd, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), box);
    }
    return number;
}

int combo_box_item_add(int number, int position, std::wstring_view text) {
    HWND hwnd = hwnd_of(number);
    if (!hwnd) return -1;
    const std::wstring item(text);
    const LRESULT index = SendMessageW(hwnd, CB_INSERTSTRING, static_cast<WPARAM>(position < 0 ? -1 : position),
                                       reinterpret_cast<LPARAM>(item.c_str()));
    // An item inserted above the selected one moves the selection down.
    selection_read(hwnd, number);
    return index < 0 ? -1 : static_cast<int>(index);
}

void combo_box_clear(int number) {
    if (HWND hwnd = hwnd_of(number)) SendMessageW(hwnd, CB_RESETCONTENT, 0, 0);
    gui_selection_remember(number, -1);
}

int combo_box_count(int number) {
    HWND hwnd = hwnd_of(number);
    const LRESULT count = hwnd ? SendMessageW(hwnd, CB_GETCOUNT, 0, 0) : 0;
    return count < 0 ? 0 : static_cast<int>(count);
}

std::wstring combo_box_item(int number, int index) {
    HWND hwnd = hwnd_of(number);
    if (!hwnd || index < 0) return {};
    const LRESULT length = SendMessageW(hwnd, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length < 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied =
        SendMessageW(hwnd, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied < 0 ? 0 : static_cast<size_t>(copied));
    return text;
}

int combo_box_selected(int number) {
    // Every change of the selection passes through the main thread, which remembers it.
    if (!gui_on_main_thread()) return gui_selection_remembered(number);
    return selection_read(hwnd_of(number), number);
}

void combo_box_select(int number, int index) {
    HWND hwnd = hwnd_of(number);
    if (!hwnd) return;
    SendMessageW(hwnd, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    selection_read(hwnd, number);
}

void combo_box_on_command(const GuiObject& object, int code) {
    if (code != CBN_SELCHANGE && !(code == CBN_EDITCHANGE && (object.flags & COMBO_BOX_EDITABLE))) return;
    selection_read(object.hwnd, object.number);
    GuiEvent event;
    event.kind = EVENT_CONTROL;
    event.window = object.window;
    event.control = object.number;
    event.type = EVENT_TYPE_CHANGE;
    gui_event_post(event);
}
