// The event loop's decisions and its table of handlers by control number.
#include "core/event_loop.h"

#include <atomic>
#include <mutex>
#include <vector>

namespace {

struct HandlerRange {
    int first;
    int last;
    ControlHandler handler;
};

std::mutex handlers_lock;  // leaf lock; handlers are added at start-up and looked up by the main thread
std::vector<HandlerRange> handlers;
std::atomic<ShortcutHandler> shortcut_handler_in_use{nullptr};

}  // namespace

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

void control_handler_add(int first, int last, ControlHandler handler) {
    std::lock_guard guard(handlers_lock);
    handlers.push_back(HandlerRange{first, last, handler});
}

ControlHandler control_handler_find(int control) {
    std::lock_guard guard(handlers_lock);
    for (auto range = handlers.rbegin(); range != handlers.rend(); ++range) {
        if (control >= range->first && control <= range->last) return range->handler;
    }
    return nullptr;
}

void control_handlers_clear() {
    std::lock_guard guard(handlers_lock);
    handlers.clear();
}

void shortcut_handler_set(ShortcutHandler handler) { shortcut_handler_in_use = handler; }

ShortcutHandler shortcut_handler() { return shortcut_handler_in_use.load(); }
