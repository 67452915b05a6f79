// The event loop's decisions.
#include "app/event_loop.h"

CloseAction compact_close_action(int close_to_tray, bool shift_held) {
    return close_to_tray == 1 && !shift_held ? CLOSE_HIDE : CLOSE_EXIT;
}

MinimizeAction compact_minimize_action(int minimize_to_tray) {
    return minimize_to_tray == 1 ? MINIMIZE_HIDE : MINIMIZE_MINIMIZE;
}

bool position_recordable(int x, int y) { return x > -1 && y > -1; }

TrayAction tray_click_action(int click_type, int single_click_option) {
    switch (click_type) {
        case EVENT_TYPE_LEFT_CLICK: return single_click_option == 1 ? TRAY_SHOW_COMPACT : TRAY_NOTHING;
        case EVENT_TYPE_LEFT_DOUBLE_CLICK: return TRAY_SHOW_COMPACT;
        case EVENT_TYPE_RIGHT_CLICK: return TRAY_SHOW_SETTINGS;
        default: return TRAY_NOTHING;
    }
}
