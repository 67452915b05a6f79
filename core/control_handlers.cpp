// The tables of control-event and shortcut handlers.
#include "core/control_handlers.h"

#include <atomic>
#include <mutex>
#include <vector>

#include "runtime/leaf_lock.h"

namespace {

struct HandlerRange {
    int first;
    int last;
    ControlHandler handler;
};

LeafLock handlers_lock("ControlHandlersLock");  // handlers are added at start-up, looked up by the main thread
std::vector<HandlerRange> handlers;
std::atomic<ShortcutHandler> shortcut_handler_in_use{nullptr};

}  // namespace

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
