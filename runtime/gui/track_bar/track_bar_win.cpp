// Track bars. Windows counts a vertical bar from the top; ours grow upwards, so the position is mirrored.
#include <windows.h>

#include <commctrl.h>

#include "runtime/gui/object/gui_objects_win.h"
#include "runtime/gui/track_bar/track_bar.h"

namespace {

int mirrored(const GuiObject& object, int position) {
    return (object.flags & TRACK_BAR_VERTICAL) ? object.range_max - (position - object.range_min) : position;
}

}  // namespace

int track_bar_create(int number, const GuiParent& parent, int x, int y, int width, int height, int minimum, int maximum,
                     int flags) {
    DWORD style = WS_VISIBLE | WS_TABSTOP | ((flags & TRACK_BAR_VERTICAL) ? TBS_VERT : TBS_HORZ);
    style |= (flags & TRACK_BAR_TICKS) ? TBS_AUTOTICKS : TBS_NOTICKS;
    number = gui_child_create(number, GUI_KIND_TRACK_BAR, TRACKBAR_CLASSW, parent, x, y, width, height, L"", style, 0,
                              flags);
    if (number == 0) return 0;
    gui_object_update(false, number, [&](GuiObject& object) {
        object.range_min = minimum;
        object.range_max = maximum;
    });
    if (HWND hwnd = gui_object_hwnd(false, number))
        SendMessageW(hwnd, TBM_SETRANGE, TRUE, MAKELPARAM(minimum, maximum));
    track_bar_value_set(number, minimum);
    return number;
}

int track_bar_value(int number) {
    GuiObject object;
    if (!gui_object_get(false, number, &object) || !object.hwnd) return -1;
    return mirrored(object, static_cast<int>(SendMessageW(object.hwnd, TBM_GETPOS, 0, 0)));
}

void track_bar_value_set(int number, int value) {
    GuiObject object;
    if (!gui_object_get(false, number, &object) || !object.hwnd) return;
    SendMessageW(object.hwnd, TBM_SETPOS, TRUE, mirrored(object, value));
}

void track_bar_on_scroll(const GuiObject& object) {
    GuiEvent event;
    event.kind = EVENT_CONTROL;
    event.window = object.window;
    event.control = object.number;
    event.type = EVENT_TYPE_CHANGE;
    gui_event_post(event);
}
