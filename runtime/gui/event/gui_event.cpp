// The event queue: a FIFO behind a leaf lock, with pointer and window-geometry events merged.
#include "runtime/gui/event/gui_event.h"

#include <atomic>
#include <deque>
#include <mutex>

namespace {

std::mutex queue_lock;  // leaf lock: held only while an event is copied in or out
std::deque<GuiEvent> queue;
std::atomic<GuiEventWaker> waker{nullptr};

bool merges_with(const GuiEvent& waiting, const GuiEvent& event) {
    if (waiting.kind != event.kind || waiting.window != event.window) return false;
    if (event.kind == EVENT_MOVE_WINDOW || event.kind == EVENT_SIZE_WINDOW) return true;
    return event.kind == EVENT_CONTROL && event.type == EVENT_TYPE_MOUSE_MOVE &&
           waiting.type == EVENT_TYPE_MOUSE_MOVE && waiting.control == event.control;
}

}  // namespace

bool gui_event_post(const GuiEvent& event) {
    {
        std::lock_guard guard(queue_lock);
        if (!queue.empty() && merges_with(queue.back(), event)) {
            queue.back() = event;
        } else {
            if (queue.size() >= GUI_EVENT_QUEUE_LIMIT) return false;
            queue.push_back(event);
        }
    }
    if (const GuiEventWaker wake = waker.load()) wake();
    return true;
}

bool gui_event_take(GuiEvent* event) {
    std::lock_guard guard(queue_lock);
    if (queue.empty()) return false;
    *event = queue.front();
    queue.pop_front();
    return true;
}

std::size_t gui_event_count() {
    std::lock_guard guard(queue_lock);
    return queue.size();
}

void gui_event_clear() {
    std::lock_guard guard(queue_lock);
    queue.clear();
}

void gui_event_set_waker(GuiEventWaker wake) { waker = wake; }
