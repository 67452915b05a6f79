// Turning key presses into shortcut events for the active window.
#include <windows.h>

#include "runtime/gui/object/gui_objects_win.h"
#include "runtime/gui/shortcut/shortcut.h"
#include "runtime/gui/shortcut/shortcut_win.h"

void shortcut_add(int window, int code, int event) { shortcut_table_add(window, code, event); }

void shortcut_remove(int window, int code) { shortcut_table_remove(window, code); }

bool shortcut_translate(const MSG& message) {
    if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) return false;
    HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (!root || root != GetActiveWindow()) return false;
    const int window = gui_window_number_of(root);
    if (window < 0) return false;
    const int code = shortcut_code(static_cast<int>(message.wParam), GetKeyState(VK_SHIFT) < 0,
                                   GetKeyState(VK_CONTROL) < 0, GetKeyState(VK_MENU) < 0);
    const int event_number = shortcut_table_find(window, code);
    if (event_number < 0) return false;
    GuiEvent event;
    event.kind = EVENT_SHORTCUT;
    event.window = window;
    event.number = event_number;
    gui_event_post(event);
    return true;
}
