// Workers' round waits on the native build: steady-clock deadlines that advance by the period, and a quit flag
// with a condition variable that wakes every waiting worker.
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "runtime/worker_timer.h"

using Clock = std::chrono::steady_clock;

struct WorkerTimer {
    Clock::duration period;
    Clock::time_point next;  // the next round's moment
};

namespace {

// A leaf lock: held only to read or change the flag and to wait on the condition.
std::mutex quit_lock;
std::condition_variable quit_changed;
bool quit_set = false;

}  // namespace

void quit_event_set() {
    {
        std::lock_guard guard(quit_lock);
        quit_set = true;
    }
    quit_changed.notify_all();
}

void quit_event_clear() {
    std::lock_guard guard(quit_lock);
    quit_set = false;
}

bool quit_event_is_set() {
    std::lock_guard guard(quit_lock);
    return quit_set;
}

bool quit_event_wait(int timeout_ms) {
    std::unique_lock guard(quit_lock);
    if (timeout_ms < 0) {
        quit_changed.wait(guard, [] { return quit_set; });
        return true;
    }
    return quit_changed.wait_for(guard, std::chrono::milliseconds(timeout_ms), [] { return quit_set; });
}

void WorkerTimerFree::operator()(WorkerTimer* timer) const { delete timer; }

WorkerTimerOwner worker_timer_make(int period_ms) {
    const auto period = std::chrono::milliseconds(period_ms < 1 ? 1 : period_ms);
    return WorkerTimerOwner(new WorkerTimer{period, Clock::now() + period});
}

WorkerWake worker_timer_wait(WorkerTimer* timer) {
    if (!timer) return quit_event_wait(1) ? WORKER_QUIT : WORKER_ROUND;
    {
        std::unique_lock guard(quit_lock);
        if (quit_changed.wait_until(guard, timer->next, [] { return quit_set; })) return WORKER_QUIT;
    }
    // Like a periodic timer: the next round on the same grid, skipping the moments that already passed.
    const Clock::time_point now = Clock::now();
    timer->next += timer->period;
    if (timer->next <= now) timer->next += ((now - timer->next) / timer->period + 1) * timer->period;
    return WORKER_ROUND;
}
